#include <cstdio>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <utility>

#include <gtest/gtest.h>

#include "TestRegistry.h"
#include "platform/WinApi.h"
#include "registry/WindowsRegistry_win.h"

namespace lexiphon::testing {
namespace {

constexpr wchar_t kOfficeParent[] = L"Software\\Microsoft";
constexpr wchar_t kOffice[] = L"Office";
constexpr wchar_t kOfficePath[] = L"Software\\Microsoft\\Office";
constexpr wchar_t kBackupPath[] = L"Software\\LexiphonTestBackup";

// A key the tests opened, closed on every way out.
struct KeyCloser {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using RegistryKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

RegistryKey Open(HKEY parent, const wchar_t* name, REGSAM access) {
  HKEY key = nullptr;
  return RegistryKey(::RegOpenKeyExW(parent, name, 0, access, &key) == ERROR_SUCCESS ? key
                                                                                     : nullptr);
}

// Through the wide functions: Wine's ANSI ones refuse a whole path longer
// than MAX_PATH, and the tests need 255-character names.
RegistryKey CreateOrOpen(const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, access, nullptr, &key, nullptr);
  return RegistryKey(key);
}

}  // namespace

void RequireThrowawayPrefix() {
  static const bool allowed = [] {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    // Looked for in both views, by either build: Debian's `wine reg add`
    // runs the 32-bit reg.exe, which writes to the 32-bit view, while a
    // 64-bit reg.exe (wine64, or /reg:64) writes to the 64-bit one.
    const auto marked = [](REGSAM view) {
      return Open(HKEY_LOCAL_MACHINE, L"Software\\LexiphonTestPrefix", KEY_QUERY_VALUE | view) !=
             nullptr;
    };
    return wine && (marked(KEY_WOW64_64KEY) || marked(KEY_WOW64_32KEY));
  }();
  if (allowed) return;
  std::fprintf(stderr,
               "Refusing to run: these tests change the registry and the disk, so they run only "
               "in a throwaway Wine prefix made by scripts/wine-run (Wine's ntdll and the key "
               "HKLM\\Software\\LexiphonTestPrefix). Run them through ctest or scripts/test.\n");
  std::fflush(stderr);
  std::exit(1);
}

namespace {

// The Office key of both registry views as it was when this was made, kept
// in a key of its own and put back when it is destroyed.
class OfficeKeySnapshot {
 public:
  OfficeKeySnapshot() {
    RequireThrowawayPrefix();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBackupPath);
    for (View& view : views_) {
      const RegistryKey office = Open(HKEY_LOCAL_MACHINE, kOfficePath, KEY_READ | view.flag);
      view.existed = office != nullptr;
      if (view.existed)
        ::RegCopyTreeW(office.get(), nullptr, CreateOrOpen(view.backup, KEY_ALL_ACCESS).get());
    }
  }
  ~OfficeKeySnapshot() {
    for (const View& view : views_) {
      const RegistryKey parent =
          Open(HKEY_LOCAL_MACHINE, kOfficeParent, KEY_ALL_ACCESS | view.flag);
      ::RegDeleteTreeW(parent.get(), kOffice);
      if (!view.existed) continue;
      const RegistryKey backup = Open(HKEY_LOCAL_MACHINE, view.backup, KEY_READ);
      ::RegCopyTreeW(backup.get(), nullptr,
                     CreateOrOpen(kOfficePath, KEY_ALL_ACCESS | view.flag).get());
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kBackupPath);
  }
  OfficeKeySnapshot(const OfficeKeySnapshot&) = delete;
  OfficeKeySnapshot& operator=(const OfficeKeySnapshot&) = delete;

 private:
  struct View {
    REGSAM flag;
    const wchar_t* backup;  // in the program's own view
    bool existed;
  };
  View views_[2] = {{KEY_WOW64_64KEY, L"Software\\LexiphonTestBackup\\Office64", false},
                    {KEY_WOW64_32KEY, L"Software\\LexiphonTestBackup\\Office32", false}};
};

class RealTestRegistry : public TestRegistry {
 public:
  RegistryApi& Api() override { return registry_; }
  bool IsReal() const override { return true; }
  std::uint32_t OwnView() const override {
    return sizeof(void*) == 8 ? kKeyWow64_64Key : kKeyWow64_32Key;
  }

  void CreateKey(const std::string& path, std::uint32_t view) override {
    EXPECT_TRUE(CreateOrOpen(Wide(path).c_str(), KEY_ALL_ACCESS | view) != nullptr) << path;
  }
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<unsigned char>& data, std::uint32_t view) override {
    const RegistryKey key = CreateOrOpen(Wide(path).c_str(), KEY_ALL_ACCESS | view);
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), name.c_str(), 0, type, data.data(),
                                              static_cast<DWORD>(data.size())))
        << path;
  }
  void DeleteTree(const std::string& path, std::uint32_t view) override {
    // From the parent, opened in the view: RegDeleteTree knows no views.
    const std::size_t slash = path.find_last_of('\\');
    const std::wstring parent = slash == std::string::npos ? L"" : Wide(path.substr(0, slash));
    ::RegDeleteTreeW(Open(HKEY_LOCAL_MACHINE, parent.c_str(), KEY_ALL_ACCESS | view).get(),
                     Wide(path.substr(slash + 1)).c_str());
  }
  bool KeyExists(const std::string& path, std::uint32_t view) override {
    return Open(HKEY_LOCAL_MACHINE, Wide(path).c_str(), KEY_QUERY_VALUE | view) != nullptr;
  }
  bool ReadValue(const std::string& path, const std::string& name, std::uint32_t* type,
                 std::vector<unsigned char>* data) override {
    const RegistryKey key = Open(HKEY_LOCAL_MACHINE, Wide(path).c_str(), KEY_QUERY_VALUE);
    DWORD valueType = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &valueType, nullptr, &size) !=
        ERROR_SUCCESS)
      return false;
    data->assign(size, 0);
    const LONG rc =
        ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &valueType, data->data(), &size);
    data->resize(size);
    *type = valueType;
    return rc == ERROR_SUCCESS;
  }

 private:
  std::wstring Wide(const std::string& ansi) const { return registry_.FromAnsi(ansi); }

  WindowsRegistry registry_;
};

}  // namespace

std::unique_ptr<TestRegistry> TestRegistry::Create() {
  // Kept from the first test that writes until the program ends, whatever
  // order the tests make and drop their registries in.
  static const OfficeKeySnapshot officeKeyBefore;
  return std::make_unique<RealTestRegistry>();
}

}  // namespace lexiphon::testing
