#pragma once
// An in-memory hive: the stand-in where no Windows registry exists. A tree
// of keys with typed values, case-insensitive names, subkeys enumerated in
// sorted order and predefined root handles, answering with the Win32 error
// codes of the real functions. ANSI is Windows-1252 here.
//
// It keeps the two registry views of 64-bit Windows as Windows and Wine do:
// in the 32-bit view, HKLM\Software\X is HKLM\Software\Wow6432Node\X, also
// through a handle to HKLM\Software. RegDeleteKeyA works in the program's
// own view.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace lexiphon {

class MemoryRegistry : public RegistryApi {
 public:
  // Whose registry this is, which decides the views.
  enum class Machine {
    Program64,             // 64-bit Windows, a 64-bit program: its own view is the 64-bit one
    Program32OnWindows64,  // 64-bit Windows, a 32-bit program: its own view is the 32-bit one
    Windows32,             // one view; KEY_WOW64_64KEY and KEY_WOW64_32KEY are ignored
  };

  explicit MemoryRegistry(Machine machine = Machine::Program64);
  ~MemoryRegistry() override;

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

  // Number of handles opened and not yet closed; lets tests prove that
  // every key is closed by the code that opened it.
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Number of calls made through the registry functions above.
  std::size_t CallCount() const { return calls_; }

 private:
  struct Key;
  struct Handle {
    std::shared_ptr<Key> key;
    std::uint32_t access;
  };
  std::shared_ptr<Key> Resolve(KeyHandle key, std::uint32_t needed, long* error) const;
  // The key `path` names below `from` in the view that `access` asks for.
  std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::string& path,
                            std::uint32_t access, bool create, bool* created, long* error) const;
  bool Sees32BitView(std::uint32_t access) const;
  KeyHandle NewHandle(std::shared_ptr<Key> key, std::uint32_t access);

  Machine machine_;
  std::map<KeyHandle, std::shared_ptr<Key>> roots_;
  std::map<KeyHandle, Handle> handles_;
  KeyHandle nextHandle_ = 0x100;
  std::size_t calls_ = 0;
};

}  // namespace lexiphon
