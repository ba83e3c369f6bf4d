#pragma once
// Registry scenarios for the tests. Natively they are built in the
// in-memory hive; under Wine in the real registry of the throwaway prefix,
// so the same tests prove both.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/MemoryRegistry.h"
#include "registry/RegistryApi.h"

namespace lexiphon::testing {

// On Windows, ends the test program with a message unless it runs in a
// throwaway Wine prefix: one whose ntdll exports wine_get_version and that
// scripts/wine-run marked with HKLM\Software\LexiphonTestPrefix. Every test
// that changes the registry or the disk passes here first. Natively, where
// both are doubles, it does nothing.
void RequireThrowawayPrefix();

class TestRegistry {
 public:
  // The real registry on Windows, behind RequireThrowawayPrefix, with the
  // prefix's Office key of both views put back when the program ends; natively an
  // in-memory hive seen by a 64-bit program.
  static std::unique_ptr<TestRegistry> Create();
  // An in-memory hive on any platform.
  static std::unique_ptr<TestRegistry> CreateMemory(MemoryRegistry::Machine machine);
  virtual ~TestRegistry() = default;

  virtual RegistryApi& Api() = 0;
  virtual bool IsReal() const = 0;
  // The view this program sees without asking (kKeyWow64_64Key or
  // kKeyWow64_32Key), and the other one.
  virtual std::uint32_t OwnView() const = 0;
  std::uint32_t OtherView() const {
    return OwnView() == kKeyWow64_64Key ? kKeyWow64_32Key : kKeyWow64_64Key;
  }

  // All paths are below HKEY_LOCAL_MACHINE, in `view` (0: the program's own).
  void CreateKey(const std::string& path, std::uint32_t view = 0);
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<unsigned char>& data, std::uint32_t view = 0);
  // A REG_SZ value stored with its NUL (ANSI bytes as given).
  void SetString(const std::string& path, const std::string& name, const std::string& value,
                 std::uint32_t view = 0);
  // Removes the key and everything below it; a missing key is fine.
  void DeleteTree(const std::string& path, std::uint32_t view = 0);
  // The Office key of both views.
  void DeleteOffice();
  bool KeyExists(const std::string& path, std::uint32_t view = 0);
  // The raw bytes and type of a value; false when it cannot be read.
  bool ReadValue(const std::string& path, const std::string& name, std::uint32_t* type,
                 std::vector<unsigned char>* data);
};

// Word's registration as Office leaves it: <office>\<version>\Word\InstallRoot,
// value "Path".
void AddWordVersion(TestRegistry& registry, const std::string& version, const std::string& path,
                    std::uint32_t view = 0);
constexpr const char* kOfficeKey = "Software\\Microsoft\\Office";

// Counts the calls that reach the registry, on top of any implementation.
class CountingRegistry : public RegistryApi {
 public:
  explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}
  std::size_t calls = 0;
  long opened = 0;  // handles opened minus handles closed

  long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                     std::uint32_t access, KeyHandle* result) override;
  long RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                     std::uint32_t* reserved, char* className, std::uint32_t* classLength,
                     FileTime* lastWriteTime) override;
  long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* dataLength) override;
  long RegCloseKey(KeyHandle key) override;
  long RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved, char* className,
                       std::uint32_t options, std::uint32_t access, SecurityAttributes* security,
                       KeyHandle* result, std::uint32_t* disposition) override;
  long RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                      std::uint32_t type, const unsigned char* data,
                      std::uint32_t dataLength) override;
  long RegDeleteKeyA(KeyHandle key, const char* subKey) override;
  std::string ToAnsi(const std::wstring& text) const override { return inner_.ToAnsi(text); }
  std::wstring FromAnsi(const std::string& text) const override { return inner_.FromAnsi(text); }

 private:
  RegistryApi& inner_;
};

}  // namespace lexiphon::testing
