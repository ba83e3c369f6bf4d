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

// One key with its values and subkeys, read whole.
struct SavedKey {
  struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  std::wstring name;
  std::vector<Value> values;
  std::vector<SavedKey> subkeys;

  static SavedKey Read(HKEY key, std::wstring name) {
    SavedKey saved;
    saved.name = std::move(name);
    for (DWORD i = 0;; ++i) {
      wchar_t valueName[16384];
      DWORD nameLength = 16384;
      Value value;
      DWORD size = 0;
      if (::RegEnumValueW(key, i, valueName, &nameLength, nullptr, &value.type, nullptr, &size) !=
          ERROR_SUCCESS)
        break;
      value.name.assign(valueName, nameLength);
      value.data.resize(size);
      ::RegQueryValueExW(key, value.name.c_str(), nullptr, nullptr, value.data.data(), &size);
      value.data.resize(size);
      saved.values.push_back(std::move(value));
    }
    for (DWORD i = 0;; ++i) {
      wchar_t subName[256];
      DWORD nameLength = 256;
      if (::RegEnumKeyExW(key, i, subName, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      const std::wstring sub(subName, nameLength);
      const RegistryKey child = Open(key, sub.c_str(), KEY_READ);
      if (child.Valid()) saved.subkeys.push_back(Read(child.Get(), sub));
    }
    return saved;
  }

  void Write(HKEY parent) const {
    HKEY created = nullptr;
    if (::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                          nullptr) != ERROR_SUCCESS)
      return;
    const RegistryKey key(created);
    for (const Value& value : values)
      ::RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const SavedKey& sub : subkeys) sub.Write(key.Get());
  }
};

struct OfficeKeySnapshot::Saved {
  struct View {
    REGSAM flag;
    bool existed;
    SavedKey office;
  };
  std::vector<View> views;
};

OfficeKeySnapshot::OfficeKeySnapshot() : saved_(std::make_unique<Saved>()) {
  RequireThrowawayPrefix();
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    const RegistryKey parent = Open(HKEY_LOCAL_MACHINE, kOfficeParent, KEY_READ | view);
    const RegistryKey office = Open(parent.Get(), kOffice, KEY_READ);
    saved_->views.push_back(
        {view, office.Valid(), office.Valid() ? SavedKey::Read(office.Get(), kOffice) : SavedKey{}});
  }
}

OfficeKeySnapshot::~OfficeKeySnapshot() {
  for (const Saved::View& view : saved_->views) {
    const RegistryKey parent =
        Open(HKEY_LOCAL_MACHINE, kOfficeParent, KEY_ALL_ACCESS | view.flag);
    if (!parent.Valid()) continue;
    ::RegDeleteTreeW(parent.Get(), kOffice);
    if (view.existed) view.office.Write(parent.Get());
  }
}

namespace {

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
