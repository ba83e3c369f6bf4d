#include "registry/WindowsRegistry_win.h"

#include "platform/WinApi.h"

namespace lexiphon {
namespace {

static_assert(sizeof(SecurityAttributes) == sizeof(SECURITY_ATTRIBUTES),
              "SecurityAttributes must mirror SECURITY_ATTRIBUTES");
static_assert(sizeof(FileTime) == sizeof(FILETIME), "FileTime must mirror FILETIME");

HKEY ToHkey(KeyHandle key) {
  // Sign extension: the predefined roots are negative 32-bit values.
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(key));
}

KeyHandle FromHkey(HKEY key) {
  return static_cast<KeyHandle>(reinterpret_cast<LONG_PTR>(key));
}

}  // namespace

long WindowsRegistry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                                    std::uint32_t access, KeyHandle* result) {
  HKEY opened = nullptr;
  const LONG rc = ::RegOpenKeyExA(ToHkey(key), subKey, options, access, &opened);
  if (result) *result = rc == ERROR_SUCCESS ? FromHkey(opened) : 0;
  return rc;
}

long WindowsRegistry::RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name,
                                    std::uint32_t* nameLength, std::uint32_t* reserved,
                                    char* className, std::uint32_t* classLength,
                                    FileTime* lastWriteTime) {
  DWORD length = nameLength ? *nameLength : 0;
  DWORD classChars = classLength ? *classLength : 0;
  const LONG rc = ::RegEnumKeyExA(ToHkey(key), index, name, nameLength ? &length : nullptr,
                                  reinterpret_cast<LPDWORD>(reserved), className,
                                  classLength ? &classChars : nullptr,
                                  reinterpret_cast<FILETIME*>(lastWriteTime));
  if (nameLength) *nameLength = length;
  if (classLength) *classLength = classChars;
  return rc;
}

long WindowsRegistry::RegQueryValueExA(KeyHandle key, const char* valueName,
                                       std::uint32_t* reserved, std::uint32_t* type,
                                       unsigned char* data, std::uint32_t* dataLength) {
  DWORD valueType = type ? *type : 0;
  DWORD size = dataLength ? *dataLength : 0;
  const LONG rc = ::RegQueryValueExA(ToHkey(key), valueName, reinterpret_cast<LPDWORD>(reserved),
                                     type ? &valueType : nullptr, data,
                                     dataLength ? &size : nullptr);
  if (type) *type = valueType;
  if (dataLength) *dataLength = size;
  return rc;
}

long WindowsRegistry::RegCloseKey(KeyHandle key) { return ::RegCloseKey(ToHkey(key)); }

long WindowsRegistry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                      char* className, std::uint32_t options,
                                      std::uint32_t access, SecurityAttributes* security,
                                      KeyHandle* result, std::uint32_t* disposition) {
  HKEY created = nullptr;
  DWORD how = 0;
  const LONG rc = ::RegCreateKeyExA(ToHkey(key), subKey, reserved, className, options, access,
                                    reinterpret_cast<SECURITY_ATTRIBUTES*>(security), &created,
                                    &how);
  if (result) *result = rc == ERROR_SUCCESS ? FromHkey(created) : 0;
  if (disposition) *disposition = how;
  return rc;
}

long WindowsRegistry::RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                                     std::uint32_t type, const unsigned char* data,
                                     std::uint32_t dataLength) {
  return ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataLength);
}

long WindowsRegistry::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  return ::RegDeleteKeyA(ToHkey(key), subKey);
}

std::string WindowsRegistry::ToAnsi(const std::wstring& text) const {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr,
                                          nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, &out[0], bytes, nullptr, nullptr);
  return out;
}

std::wstring WindowsRegistry::FromAnsi(const std::string& text) const {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, &out[0], chars);
  return out;
}

}  // namespace lexiphon
