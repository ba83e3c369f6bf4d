#include "registry/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

namespace lexiphon {
namespace {

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

// Registry names compare without regard to case. The C library's towupper
// knows only ASCII in the "C" locale, so Latin-1 letters are mapped here.
wchar_t UpperChar(wchar_t ch) {
  if (ch >= L'a' && ch <= L'z') return static_cast<wchar_t>(ch - 0x20);
  if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) return static_cast<wchar_t>(ch - 0x20);
  if (ch == 0xFF) return 0x178;
  if (ch == 0x161 || ch == 0x153 || ch == 0x17E) return static_cast<wchar_t>(ch - 1);
  return ch;
}

std::wstring Upper(const std::string& ansi) {
  std::wstring out;
  out.reserve(ansi.size());
  for (unsigned char byte : ansi) out += UpperChar(DecodeByte(byte));
  return out;
}

std::vector<std::string> SplitPath(const std::string& path, bool* ok) {
  std::vector<std::string> parts;
  *ok = true;
  if (path.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = path.find('\\', start);
    const std::string part = path.substr(start, slash == std::string::npos ? slash : slash - start);
    // A trailing separator is tolerated; an empty name elsewhere is not.
    if (part.empty() && slash != std::string::npos) *ok = false;
    if (!part.empty()) parts.push_back(part);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

}  // namespace

struct MemoryRegistry::Key {
  struct Value {
    std::uint32_t type;
    std::vector<unsigned char> data;
  };
  std::string name;
  bool deleted = false;
  bool software = false;  // HKLM\Software, where the views part
  std::map<std::wstring, std::shared_ptr<Key>> subkeys;  // by upper-case name: sorted
  std::map<std::wstring, std::pair<std::string, Value>> values;  // by upper-case name
};

MemoryRegistry::MemoryRegistry(Machine machine) : machine_(machine) {
  for (KeyHandle root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers})
    roots_[root] = std::make_shared<Key>();
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Resolve(KeyHandle key, std::uint32_t needed,
                                                             long* error) const {
  const auto root = roots_.find(key);
  if (root != roots_.end()) return root->second;
  const auto open = handles_.find(key);
  if (open == handles_.end()) {
    *error = win32::kInvalidHandle;
    return nullptr;
  }
  if (open->second.key->deleted) {
    *error = 1018;  // ERROR_KEY_DELETED
    return nullptr;
  }
  if ((open->second.access & needed) != needed) {
    *error = win32::kAccessDenied;
    return nullptr;
  }
  return open->second.key;
}

bool MemoryRegistry::Sees32BitView(std::uint32_t access) const {
  if (machine_ == Machine::Windows32 || (access & kKeyWow64_64Key)) return false;
  return (access & kKeyWow64_32Key) || machine_ == Machine::Program32OnWindows64;
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::Walk(std::shared_ptr<Key> from,
                                                          const std::string& path,
                                                          std::uint32_t access, bool create,
                                                          bool* created, long* error) const {
  bool ok = true;
  const std::vector<std::string> parts = SplitPath(path, &ok);
  if (!ok) {
    *error = win32::kFileNotFound;
    return nullptr;
  }
  const std::shared_ptr<Key>& machineRoot = roots_.at(kHkeyLocalMachine);
  const bool view32 = Sees32BitView(access);
  const auto step = [&](const std::string& part) {
    const std::wstring upper = Upper(part);
    auto found = from->subkeys.find(upper);
    if (found == from->subkeys.end()) {
      if (!create) return false;
      auto key = std::make_shared<Key>();
      key->name = part;
      key->software = from == machineRoot && upper == L"SOFTWARE";
      found = from->subkeys.emplace(upper, key).first;
      if (created) *created = true;
    }
    from = found->second;
    return true;
  };
  for (std::size_t i = 0; i <= parts.size(); ++i) {
    const bool named = i < parts.size() && Upper(parts[i]) == L"WOW6432NODE";
    if (view32 && from->software && !named && !step("Wow6432Node")) break;
    if (i == parts.size()) return from;
    if (!step(parts[i])) break;
  }
  *error = win32::kFileNotFound;
  return nullptr;
}

KeyHandle MemoryRegistry::NewHandle(std::shared_ptr<Key> key, std::uint32_t access) {
  const KeyHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{std::move(key), access};
  return handle;
}

long MemoryRegistry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t,
                                   std::uint32_t access, KeyHandle* result) {
  ++calls_;
  if (result == nullptr) return win32::kInvalidParameter;
  *result = 0;
  long error = win32::kSuccess;
  auto from = Resolve(key, 0, &error);
  if (!from) return error;
  auto target = Walk(from, subKey ? subKey : "", access, false, nullptr, &error);
  if (!target) return error;
  *result = NewHandle(target, access);
  return win32::kSuccess;
}

long MemoryRegistry::RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name,
                                   std::uint32_t* nameLength, std::uint32_t*, char* className,
                                   std::uint32_t* classLength, FileTime* lastWriteTime) {
  ++calls_;
  long error = win32::kSuccess;
  auto from = Resolve(key, kKeyEnumerateSubKeys, &error);
  if (!from) return error;
  if (name == nullptr || nameLength == nullptr) return win32::kInvalidParameter;
  if (index >= from->subkeys.size()) return win32::kNoMoreItems;
  auto it = from->subkeys.begin();
  std::advance(it, index);
  const std::string& subName = it->second->name;
  // The buffer must hold the name and its NUL.
  if (subName.size() + 1 > *nameLength) return win32::kMoreData;
  std::memcpy(name, subName.c_str(), subName.size() + 1);
  *nameLength = static_cast<std::uint32_t>(subName.size());
  if (className && classLength && *classLength > 0) {
    className[0] = '\0';
    *classLength = 0;
  }
  if (lastWriteTime) *lastWriteTime = FileTime{};
  return win32::kSuccess;
}

long MemoryRegistry::RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t*,
                                      std::uint32_t* type, unsigned char* data,
                                      std::uint32_t* dataLength) {
  ++calls_;
  long error = win32::kSuccess;
  auto from = Resolve(key, kKeyQueryValue, &error);
  if (!from) return error;
  const auto found = from->values.find(Upper(valueName ? valueName : ""));
  if (found == from->values.end()) return win32::kFileNotFound;
  std::vector<unsigned char> bytes = found->second.second.data;
  const std::uint32_t valueType = found->second.second.type;
  // Like advapi32, the A function hands out string data terminated even
  // when it was stored without its NUL.
  const bool isString = valueType == kRegSz || valueType == kRegExpandSz || valueType == kRegMultiSz;
  if (isString && (bytes.empty() || bytes.back() != 0)) bytes.push_back(0);
  if (type) *type = valueType;
  const auto size = static_cast<std::uint32_t>(bytes.size());
  if (data == nullptr) {
    if (dataLength) *dataLength = size;
    return win32::kSuccess;
  }
  if (dataLength == nullptr) return win32::kInvalidParameter;
  if (*dataLength < size) {
    *dataLength = size;
    return win32::kMoreData;
  }
  std::copy(bytes.begin(), bytes.end(), data);
  *dataLength = size;
  return win32::kSuccess;
}

long MemoryRegistry::RegCloseKey(KeyHandle key) {
  ++calls_;
  if (roots_.count(key)) return win32::kSuccess;
  return handles_.erase(key) ? win32::kSuccess : win32::kInvalidHandle;
}

long MemoryRegistry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t, char*,
                                     std::uint32_t, std::uint32_t access, SecurityAttributes*,
                                     KeyHandle* result, std::uint32_t* disposition) {
  ++calls_;
  if (result == nullptr) return win32::kInvalidParameter;
  *result = 0;
  long error = win32::kSuccess;
  auto from = Resolve(key, 0x0004 /* KEY_CREATE_SUB_KEY */, &error);
  if (!from) return error;
  bool created = false;
  auto target = Walk(from, subKey ? subKey : "", access, true, &created, &error);
  if (!target) return error;
  *result = NewHandle(target, access);
  if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
  return win32::kSuccess;
}

long MemoryRegistry::RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t,
                                    std::uint32_t type, const unsigned char* data,
                                    std::uint32_t dataLength) {
  ++calls_;
  long error = win32::kSuccess;
  auto from = Resolve(key, 0x0002 /* KEY_SET_VALUE */, &error);
  if (!from) return error;
  const std::string name = valueName ? valueName : "";
  Key::Value value{type, {}};
  if (data) value.data.assign(data, data + dataLength);
  from->values[Upper(name)] = {name, std::move(value)};
  return win32::kSuccess;
}

long MemoryRegistry::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  ++calls_;
  long error = win32::kSuccess;
  auto from = Resolve(key, 0, &error);
  if (!from) return error;
  const std::string path = subKey ? subKey : "";
  const std::size_t slash = path.find_last_of('\\');
  auto parent = slash == std::string::npos
                    ? from
                    : Walk(from, path.substr(0, slash), 0, false, nullptr, &error);
  if (!parent) return error;
  const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  if (leaf.empty()) return win32::kAccessDenied;  // a key cannot delete itself here
  const auto found = parent->subkeys.find(Upper(leaf));
  if (found == parent->subkeys.end()) return win32::kFileNotFound;
  if (!found->second->subkeys.empty()) return win32::kAccessDenied;
  found->second->deleted = true;
  parent->subkeys.erase(found);
  return win32::kSuccess;
}

std::string MemoryRegistry::ToAnsi(const std::wstring& text) const {
  std::string out;
  out.reserve(text.size());
  for (wchar_t ch : text) out += EncodeChar(ch);
  return out;
}

std::wstring MemoryRegistry::FromAnsi(const std::string& text) const {
  std::wstring out;
  out.reserve(text.size());
  for (unsigned char byte : text) out += DecodeByte(byte);
  return out;
}

}  // namespace lexiphon
