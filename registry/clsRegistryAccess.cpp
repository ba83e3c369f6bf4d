#include "registry/clsRegistryAccess.h"

#include <utility>

namespace lexiphon {
namespace {

constexpr std::uint32_t kEnumBufferChars = 255;  // includes room for the NUL
constexpr std::uint32_t kValueBufferBytes = 1024;

bool OnlySpaces(const std::wstring& text) {
  return text.find_first_not_of(L' ') == std::wstring::npos;
}

}  // namespace

clsRegistryAccess::clsRegistryAccess(RegistryApi& registry, MessageBoxFn messageBox)
    : registry_(registry), messageBox_(std::move(messageBox)) {}

KeyHandle clsRegistryAccess::RegOpenKey(const KeyHandle& hKey, std::wstring& KeyName,
                                        const std::uint32_t& Access) {
  if (hKey == 0) return 0;
  const std::string ansiName = registry_.ToAnsi(KeyName);
  KeyHandle opened = 0;
  const long rc = registry_.OpenKey(hKey, ansiName.c_str(), Access, opened);
  KeyName = registry_.FromAnsi(ansiName);
  return rc == win32::kSuccess ? opened : 0;
}

std::int32_t clsRegistryAccess::RegCloseKey(const KeyHandle& hKey) {
  if (hKey == 0) return kRegistryFalse;
  return registry_.CloseKey(hKey) == win32::kSuccess ? kRegistryTrue : kRegistryFalse;
}

std::int32_t clsRegistryAccess::CreateRegEntry(KeyHandle hKeyName, const std::wstring& KeyName,
                                               const std::wstring& ValueName,
                                               const std::wstring& Value) {
  KeyHandle created = 0;
  std::uint32_t disposition = 0;
  if (registry_.CreateKey(hKeyName, registry_.ToAnsi(KeyName).c_str(), created, disposition) !=
      win32::kSuccess) {
    if (messageBox_) messageBox_(L"Error while creating key:" + KeyName, L"clsRegistryError !!!", 0);
    return 0;
  }
  const long written =
      registry_.SetString(created, registry_.ToAnsi(ValueName).c_str(), registry_.ToAnsi(Value));
  registry_.CloseKey(created);
  // A key without its value is no entry: the caller must not take it for one.
  return written == win32::kSuccess ? static_cast<std::int32_t>(disposition) : 0;
}

std::int32_t clsRegistryAccess::DeleteRegEntry(KeyHandle hKeyName, const std::wstring& KeyName) {
  return static_cast<std::int32_t>(
      registry_.DeleteKey(hKeyName, registry_.ToAnsi(KeyName).c_str()));
}

std::wstring clsRegistryAccess::QueryRegEntry(KeyHandle hKeyName, const std::wstring& KeyName,
                                              const std::wstring& ValueName,
                                              std::uint32_t View) {
  std::string buffer(kValueBufferBytes, ' ');
  KeyHandle key = 0;
  registry_.OpenKey(hKeyName, registry_.ToAnsi(KeyName).c_str(), kKeyQueryValue | View, key);
  std::uint32_t type = 0;  // data of any type is taken as text
  std::uint32_t size = 0;
  const long rc = registry_.QueryValue(key, registry_.ToAnsi(ValueName).c_str(), type,
                                       buffer.data(), kValueBufferBytes, size);
  registry_.CloseKey(key);
  // A failed read may leave anything in the buffer; it yields nothing.
  if (rc != win32::kSuccess) return std::wstring();

  const std::wstring text = registry_.FromAnsi(buffer);
  if (OnlySpaces(text)) return std::wstring();
  const std::size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) return text.substr(0, nul);
  // Data without a terminator: take what the call said it wrote.
  return registry_.FromAnsi(buffer.substr(0, size < kValueBufferBytes ? size : kValueBufferBytes));
}

std::int32_t clsRegistryAccess::RegEnumKey(const KeyHandle& hKey, const std::int32_t& Index,
                                           std::wstring& SubKey) {
  if (hKey == 0) return kRegistryFalse;
  std::string buffer(kEnumBufferChars, ' ');
  std::uint32_t nameLength = 0;
  const long rc = registry_.SubkeyName(hKey, static_cast<std::uint32_t>(Index), buffer.data(),
                                       kEnumBufferChars, nameLength);
  SubKey = registry_.FromAnsi(buffer);
  if (rc != win32::kSuccess) return kRegistryFalse;
  SubKey = registry_.FromAnsi(
      buffer.substr(0, nameLength < kEnumBufferChars ? nameLength : kEnumBufferChars));
  return kRegistryTrue;
}

}  // namespace lexiphon
