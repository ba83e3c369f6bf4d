#include "TestRegistry.h"

#include <gtest/gtest.h>

namespace lexiphon::testing {

namespace {

constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Creates the key one level at a time: Wine's A functions refuse a whole
// path longer than MAX_PATH, and the tests need 255-character names. Each
// level asks for the view, as each open below HKLM\Software decides it.
KeyHandle CreatePath(RegistryApi& api, const std::string& path, std::uint32_t view) {
  KeyHandle current = kHkeyLocalMachine;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('\\', start);
    if (slash == std::string::npos) slash = path.size();
    KeyHandle next = 0;
    std::uint32_t disposition = 0;
    const long rc =
        api.RegCreateKeyExA(current, path.substr(start, slash - start).c_str(), 0, nullptr, 0,
                            kKeyAllAccess | view, nullptr, &next, &disposition);
    if (current != kHkeyLocalMachine) api.RegCloseKey(current);
    EXPECT_EQ(0, rc) << path;
    if (rc != 0) return 0;
    current = next;
    start = slash + 1;
  }
  return current;
}

class MemoryTestRegistry : public TestRegistry {
 public:
  explicit MemoryTestRegistry(MemoryRegistry::Machine machine) : hive_(machine), machine_(machine) {}
  RegistryApi& Api() override { return hive_; }
  bool IsReal() const override { return false; }
  std::uint32_t OwnView() const override {
    return machine_ == MemoryRegistry::Machine::Program64 ? kKeyWow64_64Key : kKeyWow64_32Key;
  }

 private:
  MemoryRegistry hive_;
  MemoryRegistry::Machine machine_;
};

}  // namespace

std::unique_ptr<TestRegistry> TestRegistry::CreateMemory(MemoryRegistry::Machine machine) {
  return std::make_unique<MemoryTestRegistry>(machine);
}

void TestRegistry::CreateKey(const std::string& path, std::uint32_t view) {
  const KeyHandle key = CreatePath(Api(), path, view);
  if (key) Api().RegCloseKey(key);
}

void TestRegistry::SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                            const std::vector<unsigned char>& data, std::uint32_t view) {
  const KeyHandle key = CreatePath(Api(), path, view);
  if (!key) return;
  EXPECT_EQ(0, Api().RegSetValueExA(key, name.c_str(), 0, type, data.data(),
                                    static_cast<std::uint32_t>(data.size())));
  Api().RegCloseKey(key);
}

void TestRegistry::SetString(const std::string& path, const std::string& name,
                             const std::string& value, std::uint32_t view) {
  std::vector<unsigned char> data(value.begin(), value.end());
  data.push_back(0);
  SetValue(path, name, kRegSz, data, view);
}

namespace {

// Deletes `name` under `parent` with everything below it, relative to open
// handles so that long names stay within Wine's path limit.
void DeleteBelow(RegistryApi& api, KeyHandle parent, const std::string& name,
                 std::uint32_t view) {
  KeyHandle key = 0;
  if (api.RegOpenKeyExA(parent, name.c_str(), 0, kKeyAllAccess | view, &key) != 0) return;
  std::vector<std::string> children;
  for (std::uint32_t i = 0;; ++i) {
    char child[256];
    std::uint32_t length = sizeof child;
    if (api.RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != 0) break;
    children.emplace_back(child, length);
  }
  for (const std::string& child : children) DeleteBelow(api, key, child, view);
  api.RegCloseKey(key);
  api.RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

void TestRegistry::DeleteTree(const std::string& path, std::uint32_t view) {
  // From the parent, opened in the view: RegDeleteKeyA knows no views.
  const std::size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) {
    DeleteBelow(Api(), kHkeyLocalMachine, path, view);
    return;
  }
  KeyHandle parent = 0;
  if (Api().RegOpenKeyExA(kHkeyLocalMachine, path.substr(0, slash).c_str(), 0,
                          kKeyAllAccess | view, &parent) != 0)
    return;
  DeleteBelow(Api(), parent, path.substr(slash + 1), view);
  Api().RegCloseKey(parent);
}

void TestRegistry::DeleteOffice() {
  DeleteTree(kOfficeKey, kKeyWow64_64Key);
  DeleteTree(kOfficeKey, kKeyWow64_32Key);
}

bool TestRegistry::KeyExists(const std::string& path, std::uint32_t view) {
  KeyHandle key = 0;
  if (Api().RegOpenKeyExA(kHkeyLocalMachine, path.c_str(), 0, kKeyQueryValue | view, &key) != 0)
    return false;
  Api().RegCloseKey(key);
  return true;
}

bool TestRegistry::ReadValue(const std::string& path, const std::string& name,
                             std::uint32_t* type, std::vector<unsigned char>* data) {
  KeyHandle key = 0;
  if (Api().RegOpenKeyExA(kHkeyLocalMachine, path.c_str(), 0, kKeyQueryValue, &key) != 0)
    return false;
  std::uint32_t size = 0;
  long rc = Api().RegQueryValueExA(key, name.c_str(), nullptr, type, nullptr, &size);
  if (rc == 0) {
    data->assign(size, 0);
    rc = Api().RegQueryValueExA(key, name.c_str(), nullptr, type, data->data(), &size);
    data->resize(size);
  }
  Api().RegCloseKey(key);
  return rc == 0;
}

void AddWordVersion(TestRegistry& registry, const std::string& version, const std::string& path,
                    std::uint32_t view) {
  registry.SetString(std::string(kOfficeKey) + "\\" + version + "\\Word\\InstallRoot", "Path",
                     path, view);
}

long CountingRegistry::RegOpenKeyExA(KeyHandle key, const char* subKey, std::uint32_t options,
                                     std::uint32_t access, KeyHandle* result) {
  ++calls;
  const long rc = inner_.RegOpenKeyExA(key, subKey, options, access, result);
  if (rc == 0) ++opened;
  return rc;
}

long CountingRegistry::RegEnumKeyExA(KeyHandle key, std::uint32_t index, char* name,
                                     std::uint32_t* nameLength, std::uint32_t* reserved,
                                     char* className, std::uint32_t* classLength,
                                     FileTime* lastWriteTime) {
  ++calls;
  return inner_.RegEnumKeyExA(key, index, name, nameLength, reserved, className, classLength,
                              lastWriteTime);
}

long CountingRegistry::RegQueryValueExA(KeyHandle key, const char* valueName,
                                        std::uint32_t* reserved, std::uint32_t* type,
                                        unsigned char* data, std::uint32_t* dataLength) {
  ++calls;
  return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataLength);
}

long CountingRegistry::RegCloseKey(KeyHandle key) {
  ++calls;
  const long rc = inner_.RegCloseKey(key);
  if (rc == 0) --opened;
  return rc;
}

long CountingRegistry::RegCreateKeyExA(KeyHandle key, const char* subKey, std::uint32_t reserved,
                                       char* className, std::uint32_t options,
                                       std::uint32_t access, SecurityAttributes* security,
                                       KeyHandle* result, std::uint32_t* disposition) {
  ++calls;
  const long rc = inner_.RegCreateKeyExA(key, subKey, reserved, className, options, access,
                                         security, result, disposition);
  if (rc == 0) ++opened;
  return rc;
}

long CountingRegistry::RegSetValueExA(KeyHandle key, const char* valueName, std::uint32_t reserved,
                                      std::uint32_t type, const unsigned char* data,
                                      std::uint32_t dataLength) {
  ++calls;
  return inner_.RegSetValueExA(key, valueName, reserved, type, data, dataLength);
}

long CountingRegistry::RegDeleteKeyA(KeyHandle key, const char* subKey) {
  ++calls;
  return inner_.RegDeleteKeyA(key, subKey);
}

}  // namespace lexiphon::testing
