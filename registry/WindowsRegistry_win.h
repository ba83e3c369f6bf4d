#pragma once
#include "registry/RegistryApi.h"

namespace lexiphon {

// The real registry of advapi32. Key handles cross as 32-bit integers and
// are sign-extended back to HKEY, so HKEY_LOCAL_MACHINE (0x80000002) stays
// itself on Win64 too.
class WindowsRegistry : public RegistryApi {
 public:
  long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                     std::uint32_t access, KeyHandle* result) override;
  long RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength,
                     std::uint32_t* reserved, char* className, std::uint32_t* classLength,
                     FileTime* lastWriteTime) override;
  long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                        std::uint32_t* type, unsigned char* data,
                        std::uint32_t* dataLength) override;
  long RegCloseKey(KeyHandle key) override;
  long RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved, char* className,
                       std::uint32_t options, std::uint32_t access, SecurityAttributes* security,
                       KeyHandle* result, std::uint32_t* disposition) override;
  long RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                      std::uint32_t type, const unsigned char* data,
                      std::uint32_t dataLength) override;
  long RegDeleteKeyA(KeyHandle key, const char* subKey) override;

  std::string ToAnsi(const std::wstring& text) const override;
  std::wstring FromAnsi(const std::string& text) const override;
};

}  // namespace lexiphon
