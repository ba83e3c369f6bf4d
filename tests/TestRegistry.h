#pragma once
// Registry scenarios for the tests. Natively they are built in the
// in-memory registry; under Wine in the real registry of the throwaway
// prefix, so the same tests prove both.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace lexiphon::testing {

// On Windows, ends the test program with a message unless it runs in a
// throwaway Wine prefix: one whose ntdll exports wine_get_version and that
// scripts/wine-run marked with HKLM\Software\LexiphonTestPrefix. Every test
// that changes the registry or the disk passes here first. Natively, where
// both are doubles, it does nothing.
void RequireThrowawayPrefix();

constexpr const char* kOfficeKey = "Software\\Microsoft\\Office";

// Registry value types, as a value read reports them.
enum RegistryValueType : std::uint32_t {
  kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7,
};

class TestRegistry {
 public:
  // Whose registry the in-memory one stands for, which decides its views.
  enum class Machine {
    Program64,             // 64-bit Windows, a 64-bit program: its own view is the 64-bit one
    Program32OnWindows64,  // 64-bit Windows, a 32-bit program: its own view is the 32-bit one
    Windows32,             // one view; kKeyWow64_64Key and kKeyWow64_32Key are ignored
  };

  // The real registry on Windows, behind RequireThrowawayPrefix, with the
  // prefix's Office key of both views put back when the program ends;
  // natively the in-memory one of a 64-bit program.
  static std::unique_ptr<TestRegistry> Create();
  // The in-memory registry, on any platform.
  static std::unique_ptr<TestRegistry> CreateMemory(Machine machine);
  virtual ~TestRegistry() = default;

  virtual RegistryApi& Api() = 0;
  virtual bool IsReal() const = 0;
  // The view this program sees without asking (kKeyWow64_64Key or
  // kKeyWow64_32Key), and the other one.
  virtual std::uint32_t OwnView() const = 0;
  std::uint32_t OtherView() const {
    return OwnView() == kKeyWow64_64Key ? kKeyWow64_32Key : kKeyWow64_64Key;
  }

  // All paths are below HKEY_LOCAL_MACHINE, in `view` (0: the program's
  // own); names and data are ANSI bytes as given. A key is created with
  // the keys above it.
  virtual void CreateKey(const std::string& path, std::uint32_t view = 0) = 0;
  virtual void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::vector<unsigned char>& data, std::uint32_t view = 0) = 0;
  // Removes the key and everything below it; a missing key is fine.
  virtual void DeleteTree(const std::string& path, std::uint32_t view = 0) = 0;
  virtual bool KeyExists(const std::string& path, std::uint32_t view = 0) = 0;
  // The raw bytes and type of a value; false when it cannot be read.
  virtual bool ReadValue(const std::string& path, const std::string& name, std::uint32_t* type,
                         std::vector<unsigned char>* data) = 0;

  // A REG_SZ value stored with its NUL.
  void SetString(const std::string& path, const std::string& name, const std::string& value,
                 std::uint32_t view = 0) {
    std::vector<unsigned char> data(value.begin(), value.end());
    data.push_back(0);
    SetValue(path, name, kRegSz, data, view);
  }
  // The Office key of both views.
  void DeleteOffice() {
    DeleteTree(kOfficeKey, kKeyWow64_64Key);
    DeleteTree(kOfficeKey, kKeyWow64_32Key);
  }
};

// Word's registration as Office leaves it: <office>\<version>\Word\InstallRoot,
// value "Path".
inline void AddWordVersion(TestRegistry& registry, const std::string& version,
                           const std::string& path, std::uint32_t view = 0) {
  registry.SetString(std::string(kOfficeKey) + "\\" + version + "\\Word\\InstallRoot", "Path",
                     path, view);
}

// Counts the calls that reach the registry, on top of any implementation,
// and the keys they leave open.
class CountingRegistry : public RegistryApi {
 public:
  explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}
  std::size_t calls = 0;
  long opened = 0;  // keys opened minus keys closed
  // Any other code fails every SetString with it, writing nothing.
  long setStringError = win32::kSuccess;

  long OpenKey(KeyHandle parent, const char* path, std::uint32_t access, KeyHandle& key) override {
    return Opening(inner_.OpenKey(parent, path, access, key));
  }
  long SubkeyName(KeyHandle key, std::uint32_t index, char* name, std::uint32_t capacity,
                  std::uint32_t& length) override {
    return Count(inner_.SubkeyName(key, index, name, capacity, length));
  }
  long QueryValue(KeyHandle key, const char* name, std::uint32_t& type, char* data,
                  std::uint32_t capacity, std::uint32_t& size) override {
    return Count(inner_.QueryValue(key, name, type, data, capacity, size));
  }
  long CloseKey(KeyHandle key) override {
    const long rc = Count(inner_.CloseKey(key));
    if (rc == win32::kSuccess && key != kHkeyLocalMachine) --opened;
    return rc;
  }
  long CreateKey(KeyHandle parent, const char* path, KeyHandle& key,
                 std::uint32_t& disposition) override {
    return Opening(inner_.CreateKey(parent, path, key, disposition));
  }
  long SetString(KeyHandle key, const char* name, const std::string& text) override {
    return Count(setStringError != win32::kSuccess ? setStringError
                                                   : inner_.SetString(key, name, text));
  }
  long DeleteKey(KeyHandle parent, const char* path) override {
    return Count(inner_.DeleteKey(parent, path));
  }
  std::string ToAnsi(const std::wstring& text) const override { return inner_.ToAnsi(text); }
  std::wstring FromAnsi(const std::string& text) const override { return inner_.FromAnsi(text); }

 private:
  long Count(long rc) {
    ++calls;
    return rc;
  }
  long Opening(long rc) {
    if (Count(rc) == win32::kSuccess) ++opened;
    return rc;
  }

  RegistryApi& inner_;
};

}  // namespace lexiphon::testing
