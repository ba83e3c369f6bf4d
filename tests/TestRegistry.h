#pragma once
// Registry scenarios for the tests. Natively they are built in the
// in-memory hive; under Wine in the real registry of the throwaway prefix,
// so the same tests prove both.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace lexiphon::testing {

class TestRegistry {
 public:
  // The in-memory hive natively, the real registry on Windows.
  static std::unique_ptr<TestRegistry> Create();
  virtual ~TestRegistry() = default;

  virtual RegistryApi& Api() = 0;
  virtual bool IsReal() const = 0;

  // All paths are below HKEY_LOCAL_MACHINE.
  void CreateKey(const std::string& path);
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<unsigned char>& data);
  // A REG_SZ value stored with its NUL (ANSI bytes as given).
  void SetString(const std::string& path, const std::string& name, const std::string& value);
  // Removes the key and everything below it; a missing key is fine.
  void DeleteTree(const std::string& path);
  bool KeyExists(const std::string& path);
  // The raw bytes and type of a value; false when it cannot be read.
  bool ReadValue(const std::string& path, const std::string& name, std::uint32_t* type,
                 std::vector<unsigned char>* data);
};

// Word's registration as Office leaves it: <office>\<version>\Word\InstallRoot,
// value "Path".
void AddWordVersion(TestRegistry& registry, const std::string& version, const std::string& path);
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
