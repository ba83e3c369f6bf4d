#include "registry/WindowsRegistry_win.h"

#include "platform/WinApi.h"

namespace lexiphon {
namespace {

HKEY ToHkey(KeyHandle key) {
  // Sign extension: the predefined roots are negative 32-bit values.
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(key));
}

KeyHandle FromHkey(HKEY key) {
  return static_cast<KeyHandle>(reinterpret_cast<LONG_PTR>(key));
}

}  // namespace

long WindowsRegistry::OpenKey(KeyHandle parent, const char* path, std::uint32_t access,
                              KeyHandle& key) {
  HKEY opened = nullptr;
  const LONG rc = ::RegOpenKeyExA(ToHkey(parent), path, 0, access, &opened);
  key = rc == ERROR_SUCCESS ? FromHkey(opened) : 0;
  return rc;
}

long WindowsRegistry::SubkeyName(KeyHandle key, std::uint32_t index, char* name,
                                 std::uint32_t capacity, std::uint32_t& length) {
  DWORD chars = capacity;
  const LONG rc =
      ::RegEnumKeyExA(ToHkey(key), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
  length = chars;
  return rc;
}

long WindowsRegistry::QueryValue(KeyHandle key, const char* name, std::uint32_t& type,
                                 char* data, std::uint32_t capacity, std::uint32_t& size) {
  DWORD valueType = REG_NONE;
  DWORD bytes = capacity;
  const LONG rc = ::RegQueryValueExA(ToHkey(key), name, nullptr, &valueType,
                                     reinterpret_cast<BYTE*>(data), &bytes);
  type = valueType;
  size = bytes;
  return rc;
}

long WindowsRegistry::CloseKey(KeyHandle key) { return ::RegCloseKey(ToHkey(key)); }

long WindowsRegistry::CreateKey(KeyHandle parent, const char* path, KeyHandle& key,
                                std::uint32_t& disposition) {
  // An empty class, and a handle that child processes may inherit.
  char emptyClass[1] = {'\0'};
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HKEY created = nullptr;
  DWORD how = 0;
  const LONG rc = ::RegCreateKeyExA(ToHkey(parent), path, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                                    KEY_WRITE, &security, &created, &how);
  key = rc == ERROR_SUCCESS ? FromHkey(created) : 0;
  disposition = how;
  return rc;
}

long WindowsRegistry::SetString(KeyHandle key, const char* name, const std::string& text) {
  // With its terminating NUL, as REG_SZ data is expected to be stored.
  return ::RegSetValueExA(ToHkey(key), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

long WindowsRegistry::DeleteKey(KeyHandle parent, const char* path) {
  return ::RegDeleteKeyA(ToHkey(parent), path);
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
