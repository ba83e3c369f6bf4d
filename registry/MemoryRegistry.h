#pragma once
// An in-memory hive: the stand-in where no Windows registry exists. A tree
// of keys with typed values, case-insensitive names, subkeys enumerated in
// sorted order and predefined root handles, answering with the Win32 error
// codes of the real functions. ANSI is Windows-1252 here.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace lexiphon {

class MemoryRegistry : public RegistryApi {
 public:
  MemoryRegistry();
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
  static std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::string& path,
                                   bool create, bool* created, long* error);
  KeyHandle NewHandle(std::shared_ptr<Key> key, std::uint32_t access);

  std::map<KeyHandle, std::shared_ptr<Key>> roots_;
  std::map<KeyHandle, Handle> handles_;
  KeyHandle nextHandle_ = 0x100;
  std::size_t calls_ = 0;
};

}  // namespace lexiphon
