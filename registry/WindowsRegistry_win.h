#pragma once
#include "registry/RegistryApi.h"

namespace lexiphon {

// The real registry of advapi32, through its ANSI functions. Key handles
// cross as 32-bit integers and are sign-extended back to HKEY, so
// HKEY_LOCAL_MACHINE (0x80000002) stays itself on Win64 too.
class WindowsRegistry : public RegistryApi {
 public:
  long OpenKey(KeyHandle parent, const char* path, std::uint32_t access, KeyHandle& key) override;
  long SubkeyName(KeyHandle key, std::uint32_t index, char* name, std::uint32_t capacity,
                  std::uint32_t& length) override;
  long QueryValue(KeyHandle key, const char* name, std::uint32_t& type, char* data,
                  std::uint32_t capacity, std::uint32_t& size) override;
  long CloseKey(KeyHandle key) override;
  long CreateKey(KeyHandle parent, const char* path, KeyHandle& key,
                 std::uint32_t& disposition) override;
  long SetString(KeyHandle key, const char* name, const std::string& text) override;
  long DeleteKey(KeyHandle parent, const char* path) override;

  std::string ToAnsi(const std::wstring& text) const override;
  std::wstring FromAnsi(const std::string& text) const override;
};

}  // namespace lexiphon
