#pragma once
// A small, stateless class over the registry. It hides Win32 error codes
// behind simple results (a handle or 0, True or False, a string that is empty
// on failure) and converts every string to and from the ANSI code page of
// the A functions. This header must stay free of <windows.h>: its macros
// would rename RegOpenKey and RegEnumKey.
#include <cstdint>
#include <string>

#include "platform/MessageBoxFn.h"
#include "registry/RegistryApi.h"

namespace lexiphon {

// Truth values of the class's results, 32 bits wide as its callers expect
// them: True is -1, False is 0.
constexpr std::int32_t kRegistryTrue = -1;
constexpr std::int32_t kRegistryFalse = 0;

class clsRegistryAccess {
 public:
  clsRegistryAccess(RegistryApi& registry, MessageBoxFn messageBox);

  // Opens KeyName under hKey; the opened handle, or 0. KeyName is rewritten
  // with its ANSI round trip. A handle of 0 makes no registry call.
  KeyHandle RegOpenKey(const KeyHandle& hKey, std::wstring& KeyName, const std::uint32_t& Access);

  // True when the key was closed. Does not clear the caller's handle.
  std::int32_t RegCloseKey(const KeyHandle& hKey);

  // Creates or opens KeyName and writes one REG_SZ value; the disposition
  // (1 created, 2 opened), 0 when the value was not written, or 0 after
  // showing "clsRegistryError !!!" when the key could not be created.
  std::int32_t CreateRegEntry(KeyHandle hKeyName, const std::wstring& KeyName,
                              const std::wstring& ValueName, const std::wstring& Value);

  // The Win32 error code of deleting KeyName, 0 on success.
  std::int32_t DeleteRegEntry(KeyHandle hKeyName, const std::wstring& KeyName);

  // One value as text; empty when the key or value is missing, the read
  // fails or the data exceeds 1024 bytes. Data of any type is taken as text.
  // View (kKeyWow64_64Key or kKeyWow64_32Key) reads in that registry view;
  // 0 in the program's own.
  std::wstring QueryRegEntry(KeyHandle hKeyName, const std::wstring& KeyName,
                             const std::wstring& ValueName, std::uint32_t View = 0);

  // Name of the subkey at Index. On True, SubKey holds the name; on False
  // after a registry call it holds the 255-character buffer (255 spaces past
  // the last subkey); with a handle of 0 it is left as it was.
  std::int32_t RegEnumKey(const KeyHandle& hKey, const std::int32_t& Index, std::wstring& SubKey);

 private:
  RegistryApi& registry_;
  MessageBoxFn messageBox_;
};

}  // namespace lexiphon
