#pragma once
// What clsRegistryAccess asks of a registry: open a key, name its subkeys,
// read a value, close; and, for writing, create a key, store a string and
// delete a key. Two implementations: the real registry on Windows, and an
// in-memory one in the tests.
#include <cstdint>
#include <string>

namespace lexiphon {

// A registry key handle as the class passes it around: a 32-bit signed
// integer, 0 meaning "no key". HKEY_LOCAL_MACHINE keeps its Windows value.
using KeyHandle = std::int32_t;
constexpr KeyHandle kHkeyLocalMachine = static_cast<KeyHandle>(0x80000002u);

namespace win32 {
constexpr long kSuccess = 0;
}  // namespace win32

// Access rights for opening a key.
constexpr std::uint32_t kKeyQueryValue = 0x0001;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
// The two registry views of 64-bit Windows, asked for in the access mask:
// HKLM\Software as 64-bit programs see it, and as 32-bit programs see it
// (HKLM\Software\Wow6432Node). 32-bit Windows has one view and ignores both.
constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// Each call answers with a Win32 error code, win32::kSuccess when it worked.
// A key is named by a path below `parent`, HKEY_LOCAL_MACHINE or a key
// opened here; "" names `parent` itself. Names are text in the ANSI code
// page, ending at their first NUL.
class RegistryApi {
 public:
  virtual ~RegistryApi() = default;

  // Opens a key for `access`, which may ask for a view. `key` is 0 on failure.
  virtual long OpenKey(KeyHandle parent, const char* path, std::uint32_t access,
                       KeyHandle& key) = 0;
  // Writes the name of the subkey at `index`, with its NUL, into `name` when
  // both fit in `capacity` bytes; `length` is then the name's length.
  virtual long SubkeyName(KeyHandle key, std::uint32_t index, char* name, std::uint32_t capacity,
                          std::uint32_t& length) = 0;
  // Reads the type and data of a value into `data` when the data fits in
  // `capacity` bytes; `size` is the data's size, also when it does not fit.
  virtual long QueryValue(KeyHandle key, const char* name, std::uint32_t& type, char* data,
                          std::uint32_t capacity, std::uint32_t& size) = 0;
  virtual long CloseKey(KeyHandle key) = 0;

  // The write half, in the program's own view. Creates a key for writing,
  // or opens it when it exists (`disposition` says which).
  virtual long CreateKey(KeyHandle parent, const char* path, KeyHandle& key,
                         std::uint32_t& disposition) = 0;
  // Stores `text`, embedded NULs included, as a REG_SZ value with a
  // terminating NUL.
  virtual long SetString(KeyHandle key, const char* name, const std::string& text) = 0;
  // Deletes a key that has no subkeys.
  virtual long DeleteKey(KeyHandle parent, const char* path) = 0;

  // The ANSI code page of the names and data: the system's on Windows.
  // Conversion is character for character over the whole text, embedded
  // NULs and spaces included.
  virtual std::string ToAnsi(const std::wstring& text) const = 0;
  virtual std::wstring FromAnsi(const std::string& text) const = 0;
};

}  // namespace lexiphon
