#include <cstdio>
#include <cstdlib>
#include <utility>

#include "TestRegistry.h"
#include "platform/ScopedHandle_win.h"
#include "platform/WinApi.h"
#include "registry/WindowsRegistry_win.h"

namespace lexiphon::testing {
namespace {

constexpr wchar_t kOfficeParent[] = L"Software\\Microsoft";
constexpr wchar_t kOffice[] = L"Office";
constexpr wchar_t kOfficePath[] = L"Software\\Microsoft\\Office";
constexpr wchar_t kBackupPath[] = L"Software\\LexiphonTestBackup";

RegistryKey Open(HKEY parent, const wchar_t* name, REGSAM access) {
  HKEY key = nullptr;
  return RegistryKey(::RegOpenKeyExW(parent, name, 0, access, &key) == ERROR_SUCCESS ? key
                                                                                     : nullptr);
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
      return Open(HKEY_LOCAL_MACHINE, L"Software\\LexiphonTestPrefix", KEY_QUERY_VALUE | view)
          .Valid();
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
      view.existed = office.Valid();
      if (view.existed) ::RegCopyTreeW(office.Get(), nullptr, Create(view.backup, 0).Get());
    }
  }
  ~OfficeKeySnapshot() {
    for (const View& view : views_) {
      const RegistryKey parent =
          Open(HKEY_LOCAL_MACHINE, kOfficeParent, KEY_ALL_ACCESS | view.flag);
      ::RegDeleteTreeW(parent.Get(), kOffice);
      if (!view.existed) continue;
      const RegistryKey backup = Open(HKEY_LOCAL_MACHINE, view.backup, KEY_READ);
      ::RegCopyTreeW(backup.Get(), nullptr, Create(kOfficePath, view.flag).Get());
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
  static RegistryKey Create(const wchar_t* path, REGSAM view) {
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                      &key, nullptr);
    return RegistryKey(key);
  }
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

 private:
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
