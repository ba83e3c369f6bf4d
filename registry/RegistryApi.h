#pragma once
// The seven ANSI registry functions that clsRegistryAccess calls, with the
// arguments and Win32 error codes of advapi32. Two implementations: the real
// registry on Windows, and an in-memory hive where there is none.
#include <cstdint>
#include <string>

namespace lexiphon {

// A registry key handle as the class passes it around: a 32-bit signed
// integer, 0 meaning "no key". Predefined roots keep their Windows values.
using KeyHandle = std::int32_t;
constexpr KeyHandle kHkeyClassesRoot = static_cast<KeyHandle>(0x80000000u);
constexpr KeyHandle kHkeyCurrentUser = static_cast<KeyHandle>(0x80000001u);
constexpr KeyHandle kHkeyLocalMachine = static_cast<KeyHandle>(0x80000002u);
constexpr KeyHandle kHkeyUsers = static_cast<KeyHandle>(0x80000003u);

// Win32 error codes the stand-in hive produces, same values as winerror.h.
namespace win32 {
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
}  // namespace win32

// Registry value types, access rights and options used by the class.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
constexpr std::uint32_t kKeyWrite = 0x20006;
// The two registry views of 64-bit Windows, asked for in the access mask:
// HKLM\Software as 64-bit programs see it, and as 32-bit programs see it
// (HKLM\Software\Wow6432Node). 32-bit Windows has one view and ignores both.
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
constexpr std::uint32_t kRegOptionNonVolatile = 0;
constexpr std::uint32_t kRegCreatedNewKey = 1;
constexpr std::uint32_t kRegOpenedExistingKey = 2;

struct FileTime {
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

// Same layout as SECURITY_ATTRIBUTES; `length` is filled with this struct's
// real size, which differs between 32- and 64-bit code.
struct SecurityAttributes {
  std::uint32_t length = 0;
  void* securityDescriptor = nullptr;
  std::int32_t inheritHandle = 0;
};

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  virtual long RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                             std::uint32_t access, KeyHandle* result) = 0;
  virtual long RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name,
                             std::uint32_t* nameLength, std::uint32_t* reserved, char* className,
                             std::uint32_t* classLength, FileTime* lastWriteTime) = 0;
  virtual long RegQueryValueExA(KeyHandle key, const char* valueName, std::uint32_t* reserved,
                                std::uint32_t* type, unsigned char* data,
                                std::uint32_t* dataLength) = 0;
  virtual long RegCloseKey(KeyHandle key) = 0;
  virtual long RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                               char* className, std::uint32_t options, std::uint32_t access,
                               SecurityAttributes* security, KeyHandle* result,
                               std::uint32_t* disposition) = 0;
  virtual long RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                              std::uint32_t type, const unsigned char* data,
                              std::uint32_t dataLength) = 0;
  virtual long RegDeleteKeyA(KeyHandle key, const char* subKey) = 0;

  // The ANSI code page that the A functions speak: the system's on Windows,
  // Windows-1252 in the stand-in. Conversion is character for character over
  // the whole text, embedded NULs and spaces included.
  virtual std::string ToAnsi(const std::wstring& text) const = 0;
  virtual std::wstring FromAnsi(const std::string& text) const = 0;
};

}  // namespace lexiphon
