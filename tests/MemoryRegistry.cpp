// The registry of the native tests and the fuzzers: HKEY_LOCAL_MACHINE as
// one sorted map of key paths per registry view, kept as the machine it
// stands for keeps its views. Names compare without regard to case, subkeys
// come in sorted order, ANSI is Windows-1252, and the answers are the Win32
// error codes of the real registry.
#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "TestRegistry.h"
#include "TestSupport.h"

namespace lexiphon::testing {
namespace {

// Win32 error codes, as in winerror.h.
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
// What creating a key found.
constexpr std::uint32_t kRegCreatedNewKey = 1;
constexpr std::uint32_t kRegOpenedExistingKey = 2;

// Windows-1252 bytes 0x80..0x9F; the rest of the page equals Latin-1.
// 0 marks the five bytes that the code page leaves undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

wchar_t DecodeByte(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    const char16_t mapped = kCp1252High[byte - 0x80];
    return mapped ? static_cast<wchar_t>(mapped) : static_cast<wchar_t>(byte);
  }
  return static_cast<wchar_t>(byte);
}

char EncodeChar(wchar_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<char>(ch);
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] != 0 && static_cast<wchar_t>(kCp1252High[i]) == ch)
      return static_cast<char>(0x80 + i);
  }
  // Undefined bytes round-trip as themselves, as Windows does.
  if (ch < 0xA0) return static_cast<char>(ch);
  return '?';  // not representable, like WideCharToMultiByte's default char
}

// Registry names compare without regard to case.
std::wstring Upper(const std::string& ansi) {
  std::wstring out;
  out.reserve(ansi.size());
  for (unsigned char byte : ansi) out += FoldCase(DecodeByte(byte));
  return out;
}

class MemoryRegistry : public TestRegistry, public RegistryApi {
 public:
  explicit MemoryRegistry(Machine machine) : machine_(machine) {
    for (View& view : views_) view[L""];  // HKEY_LOCAL_MACHINE itself, first in sorted order
  }

  RegistryApi& Api() override { return *this; }
  bool IsReal() const override { return false; }
  std::uint32_t OwnView() const override {
    return machine_ == Machine::Program64 ? kKeyWow64_64Key : kKeyWow64_32Key;
  }

  void CreateKey(const std::string& path, std::uint32_t view) override {
    Place place;
    if (Locate(kHkeyLocalMachine, path.c_str(), view, place) == win32::kSuccess) Make(place);
  }
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<unsigned char>& data, std::uint32_t view) override {
    Place place;
    if (Locate(kHkeyLocalMachine, path.c_str(), view, place) != win32::kSuccess) return;
    Make(place);
    Find(place)->values[Upper(name)] = Value{type, data};
  }
  void DeleteTree(const std::string& path, std::uint32_t view) override {
    Place place;
    if (Locate(kHkeyLocalMachine, path.c_str(), view, place) != win32::kSuccess ||
        place.names.empty())
      return;
    View& keys = views_[place.view];
    const std::wstring top = PathOf(place);
    const auto [first, last] = Below(keys, top);
    keys.erase(first, last);
    keys.erase(top);
  }
  bool KeyExists(const std::string& path, std::uint32_t view) override {
    Place place;
    return Locate(kHkeyLocalMachine, path.c_str(), view, place) == win32::kSuccess &&
           Find(place) != nullptr;
  }
  bool ReadValue(const std::string& path, const std::string& name, std::uint32_t* type,
                 std::vector<unsigned char>* data) override {
    const Value* value = Lookup(kHkeyLocalMachine, path.c_str(), name.c_str());
    if (value == nullptr) return false;
    *type = value->type;
    *data = value->data;
    return true;
  }

  long OpenKey(KeyHandle parent, const char* path, std::uint32_t access, KeyHandle& key) override {
    key = 0;
    Place place;
    if (const long rc = Locate(parent, path, access, place)) return rc;
    if (Find(place) == nullptr) return kFileNotFound;
    key = NewHandle(std::move(place));
    return win32::kSuccess;
  }
  long SubkeyName(KeyHandle key, std::uint32_t index, char* name, std::uint32_t capacity,
                  std::uint32_t& length) override {
    Place place;
    if (const long rc = Locate(key, "", 0, place)) return rc;
    const std::wstring path = PathOf(place);
    const std::size_t nameStart = path.empty() ? 0 : path.size() + 1;
    auto [below, last] = Below(views_[place.view], path);
    for (; below != last; ++below) {
      if (below->first.find(L'\\', nameStart) != std::wstring::npos) continue;  // further down
      if (index > 0) {
        --index;
        continue;
      }
      const std::string& found = below->second.name;
      if (found.size() + 1 > capacity) return kMoreData;  // no room for the NUL
      std::memcpy(name, found.c_str(), found.size() + 1);
      length = static_cast<std::uint32_t>(found.size());
      return win32::kSuccess;
    }
    return kNoMoreItems;
  }
  long QueryValue(KeyHandle key, const char* name, std::uint32_t& type, char* data,
                  std::uint32_t capacity, std::uint32_t& size) override {
    const Value* value = Lookup(key, "", name);
    if (value == nullptr) return kFileNotFound;
    type = value->type;
    size = static_cast<std::uint32_t>(value->data.size());
    if (size > capacity) return kMoreData;
    std::copy(value->data.begin(), value->data.end(), data);
    return win32::kSuccess;
  }
  long CloseKey(KeyHandle key) override {
    return key == kHkeyLocalMachine || handles_.erase(key) > 0 ? win32::kSuccess : kInvalidHandle;
  }
  long CreateKey(KeyHandle parent, const char* path, KeyHandle& key,
                 std::uint32_t& disposition) override {
    key = 0;
    Place place;
    if (const long rc = Locate(parent, path, 0, place)) return rc;
    disposition = Make(place) ? kRegCreatedNewKey : kRegOpenedExistingKey;
    key = NewHandle(std::move(place));
    return win32::kSuccess;
  }
  long SetString(KeyHandle key, const char* name, const std::string& text) override {
    Place place;
    if (const long rc = Locate(key, "", 0, place)) return rc;
    Key* found = Find(place);
    if (found == nullptr) return kFileNotFound;
    found->values[Upper(name)] = Value{kRegSz, {text.c_str(), text.c_str() + text.size() + 1}};
    return win32::kSuccess;
  }
  long DeleteKey(KeyHandle parent, const char* path) override {
    Place place;
    if (const long rc = Locate(parent, path, 0, place)) return rc;
    View& keys = views_[place.view];
    const std::wstring target = PathOf(place);
    const auto key = keys.find(target);
    if (key == keys.end()) return kFileNotFound;
    const auto [first, last] = Below(keys, target);
    // HKEY_LOCAL_MACHINE and keys with subkeys stay, as in the real registry.
    if (place.names.empty() || first != last) return kAccessDenied;
    keys.erase(key);
    return win32::kSuccess;
  }

  std::string ToAnsi(const std::wstring& text) const override {
    std::string out;
    for (wchar_t ch : text) out += EncodeChar(ch);
    return out;
  }
  std::wstring FromAnsi(const std::string& text) const override {
    std::wstring out;
    for (unsigned char byte : text) out += DecodeByte(byte);
    return out;
  }

 private:
  struct Value {
    std::uint32_t type;
    std::vector<unsigned char> data;
  };
  struct Key {
    std::string name;                      // as created
    std::map<std::wstring, Value> values;  // by upper-case name
  };
  // By upper-case path: the keys below a key follow it in sorted order.
  using View = std::map<std::wstring, Key>;
  struct Place {
    std::size_t view = 0;            // 0: the 64-bit view (or the only one), 1: the 32-bit view
    std::vector<std::string> names;  // the key's path below HKEY_LOCAL_MACHINE
  };

  std::size_t ViewFor(std::uint32_t access) const {
    if (machine_ == Machine::Windows32 || (access & kKeyWow64_64Key)) return 0;
    return (access & kKeyWow64_32Key) || machine_ == Machine::Program32OnWindows64 ? 1 : 0;
  }

  // Where `path` below `parent` leads. A key stays in the view it was
  // opened in; so do the keys below it.
  long Locate(KeyHandle parent, const char* path, std::uint32_t access, Place& place) const {
    if (parent == kHkeyLocalMachine) {
      place = Place{ViewFor(access), {}};
    } else {
      const auto open = handles_.find(parent);
      if (open == handles_.end()) return kInvalidHandle;
      place = open->second;
    }
    // A trailing separator is tolerated; an empty name elsewhere is not.
    const std::string text = path;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = std::min(text.find('\\', start), text.size());
      if (end == start) return kFileNotFound;
      place.names.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    // HKLM\Software\Wow6432Node is the 32-bit view's HKLM\Software.
    if (machine_ != Machine::Windows32 && place.names.size() >= 2 &&
        Upper(place.names[0]) == L"SOFTWARE" && Upper(place.names[1]) == L"WOW6432NODE") {
      place.view = 1;
      place.names.erase(place.names.begin() + 1);
    }
    return win32::kSuccess;
  }

  static std::wstring PathOf(const Place& place) {
    std::wstring path;
    for (const std::string& name : place.names) path += (path.empty() ? L"" : L"\\") + Upper(name);
    return path;
  }

  // The keys below `path` at any depth: "P\..." sorts from "P\" to "P]".
  static std::pair<View::iterator, View::iterator> Below(View& keys, const std::wstring& path) {
    if (path.empty()) return {std::next(keys.begin()), keys.end()};
    return {keys.lower_bound(path + L'\\'), keys.lower_bound(path + L']')};
  }

  Key* Find(const Place& place) {
    const auto key = views_[place.view].find(PathOf(place));
    return key == views_[place.view].end() ? nullptr : &key->second;
  }

  // Creates the key with the missing keys above it; true when it is new.
  bool Make(const Place& place) {
    std::wstring path;
    bool created = false;
    for (const std::string& name : place.names) {
      path += (path.empty() ? L"" : L"\\") + Upper(name);
      created = views_[place.view].emplace(path, Key{name, {}}).second;
    }
    return created;
  }

  const Value* Lookup(KeyHandle parent, const char* path, const char* name) {
    Place place;
    const Key* key = Locate(parent, path, 0, place) == win32::kSuccess ? Find(place) : nullptr;
    if (key == nullptr) return nullptr;
    const auto value = key->values.find(Upper(name));
    return value == key->values.end() ? nullptr : &value->second;
  }

  KeyHandle NewHandle(Place place) {
    const KeyHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_.emplace(handle, std::move(place));
    return handle;
  }

  Machine machine_;
  View views_[2];
  std::map<KeyHandle, Place> handles_;
  KeyHandle nextHandle_ = 0x100;
};

}  // namespace

std::unique_ptr<TestRegistry> TestRegistry::CreateMemory(Machine machine) {
  return std::make_unique<MemoryRegistry>(machine);
}

}  // namespace lexiphon::testing
