// clsRegistryAccess against the in-memory hive natively and against the
// real registry of the throwaway Wine prefix on Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRegistry.h"
#include "TestSupport.h"
#include "registry/clsRegistryAccess.h"

namespace lexiphon {
namespace {

using testing::CountingRegistry;
using testing::kRegBinary, testing::kRegDword, testing::kRegExpandSz, testing::kRegMultiSz,
    testing::kRegSz;
using testing::TestRegistry;

constexpr const char* kScratch = "Software\\LexiphonTests";
const std::wstring kScratchW = L"Software\\LexiphonTests";

class RegistryAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = TestRegistry::Create();
    registry_->DeleteTree(kScratch, kKeyWow64_64Key);
    registry_->DeleteTree(kScratch, kKeyWow64_32Key);
    counting_ = std::make_unique<CountingRegistry>(registry_->Api());
    access_ = std::make_unique<clsRegistryAccess>(*counting_, boxes_.Seam());
  }
  void TearDown() override {
    registry_->DeleteTree(kScratch, kKeyWow64_64Key);
    registry_->DeleteTree(kScratch, kKeyWow64_32Key);
    EXPECT_EQ(0, counting_->opened) << "a key was left open";
  }

  std::wstring Query(const std::string& value) {
    registry_->SetValue(kScratch, "v", kRegSz, std::vector<unsigned char>(value.begin(), value.end()));
    return access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"v");
  }

  std::unique_ptr<TestRegistry> registry_;
  std::unique_ptr<CountingRegistry> counting_;
  std::unique_ptr<clsRegistryAccess> access_;
  testing::BoxRecorder boxes_;
};

// Each registry view keeps its own HKLM\Software, as Windows and Wine keep
// them: the same test proves the in-memory hive against Wine's registry.
TEST_F(RegistryAccessTest, EachRegistryViewKeepsItsOwnKeys) {
  registry_->SetString(kScratch, "v", "64-bit", kKeyWow64_64Key);
  registry_->SetString(kScratch, "v", "32-bit", kKeyWow64_32Key);
  EXPECT_EQ(L"64-bit", access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"v", kKeyWow64_64Key));
  EXPECT_EQ(L"32-bit", access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"v", kKeyWow64_32Key));
  EXPECT_EQ(registry_->OwnView() == kKeyWow64_64Key ? L"64-bit" : L"32-bit",
            access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"v"));
  EXPECT_EQ(L"32-bit", access_->QueryRegEntry(kHkeyLocalMachine,
                                              L"Software\\Wow6432Node\\LexiphonTests", L"v",
                                              kKeyWow64_64Key));
  // A key stays in the view it was opened in; so do the keys below it.
  std::wstring software = L"Software";
  const KeyHandle key =
      access_->RegOpenKey(kHkeyLocalMachine, software, kKeyEnumerateSubKeys | kKeyWow64_32Key);
  EXPECT_EQ(L"32-bit", access_->QueryRegEntry(key, L"LexiphonTests", L"v"));
  access_->RegCloseKey(key);
}

TEST_F(RegistryAccessTest, HandleOfZeroMakesNoRegistryCall) {
  std::wstring name = L"Software";
  std::wstring subKey = L"untouched";
  EXPECT_EQ(0, access_->RegOpenKey(0, name, kKeyEnumerateSubKeys));
  EXPECT_EQ(kRegistryFalse, access_->RegCloseKey(0));
  EXPECT_EQ(kRegistryFalse, access_->RegEnumKey(0, 0, subKey));
  EXPECT_EQ(L"untouched", subKey);
  EXPECT_EQ(0u, counting_->calls);

  // The other three pass the 0 on and the registry rejects it.
  EXPECT_EQ(L"", access_->QueryRegEntry(0, L"Software", L"Path"));
  EXPECT_NE(0, access_->DeleteRegEntry(0, L"Software\\Nothing"));
  EXPECT_EQ(0, access_->CreateRegEntry(0, L"Software\\Nothing", L"v", L"x"));
  ASSERT_EQ(1u, boxes_.shown.size());
  EXPECT_EQ(L"Error while creating key:Software\\Nothing", boxes_.shown[0].text);
  EXPECT_EQ(L"clsRegistryError !!!", boxes_.shown[0].title);
  EXPECT_EQ(0u, boxes_.shown[0].style);
}

TEST_F(RegistryAccessTest, OpenEnumerateAndClose) {
  registry_->CreateKey(std::string(kScratch) + "\\Beta");
  registry_->CreateKey(std::string(kScratch) + "\\alpha");
  std::wstring name = kScratchW;
  const KeyHandle key = access_->RegOpenKey(kHkeyLocalMachine, name, kKeyEnumerateSubKeys);
  ASSERT_NE(0, key);
  EXPECT_EQ(kScratchW, name);

  std::wstring subKey;
  std::int32_t index = 0;
  EXPECT_EQ(kRegistryTrue, access_->RegEnumKey(key, index, subKey));
  EXPECT_EQ(L"alpha", subKey);
  EXPECT_EQ(0, index) << "the index is the caller's to advance";
  EXPECT_EQ(kRegistryTrue, access_->RegEnumKey(key, 1, subKey));
  EXPECT_EQ(L"Beta", subKey);
  EXPECT_EQ(kRegistryFalse, access_->RegEnumKey(key, 2, subKey));
  EXPECT_EQ(std::wstring(255, L' '), subKey) << "past the last subkey the buffer stays blank";

  EXPECT_EQ(kRegistryTrue, access_->RegCloseKey(key));
  EXPECT_EQ(kRegistryFalse, access_->RegCloseKey(key)) << "a closed handle cannot be closed again";

  std::wstring missing = kScratchW + L"\\Nope";
  EXPECT_EQ(0, access_->RegOpenKey(kHkeyLocalMachine, missing, kKeyEnumerateSubKeys));
}

TEST_F(RegistryAccessTest, SubkeyNamesUpTo254CharactersFitTheBuffer) {
  const std::string name254(254, 'k');
  const std::string name255(255, 'z');  // sorts after the first
  registry_->CreateKey(std::string(kScratch) + "\\" + name254);
  registry_->CreateKey(std::string(kScratch) + "\\" + name255);
  std::wstring base = kScratchW;
  const KeyHandle key = access_->RegOpenKey(kHkeyLocalMachine, base, kKeyEnumerateSubKeys);
  ASSERT_NE(0, key);
  std::wstring subKey;
  EXPECT_EQ(kRegistryTrue, access_->RegEnumKey(key, 0, subKey));
  EXPECT_EQ(std::wstring(254, L'k'), subKey);
  // 255 characters leave no room for the NUL: reported like the end.
  EXPECT_EQ(kRegistryFalse, access_->RegEnumKey(key, 1, subKey));
  EXPECT_EQ(255u, subKey.size());
  access_->RegCloseKey(key);
}

TEST_F(RegistryAccessTest, QueryGivesTheTextOrNothing) {
  registry_->CreateKey(kScratch);
  EXPECT_EQ(L"", access_->QueryRegEntry(kHkeyLocalMachine, kScratchW + L"\\Nope", L"v"));
  EXPECT_EQ(L"", access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"missing"));

  struct Row {
    std::string stored;  // raw REG_SZ bytes
    std::wstring expected;
  };
  const Row rows[] = {
      {std::string("C:\\Office\\\0", 11), L"C:\\Office\\"},
      {std::string("\0", 1), L""},
      {std::string("  padded  \0", 11), L"  padded  "},
      {std::string("   \0", 4), L"   "},
      {std::string("no terminator"), L"no terminator"},
      {std::string(1023, 'a') + std::string("\0", 1), std::wstring(1023, L'a')},
      {std::string(1024, 'c') + std::string("\0", 1), L""},  // larger than the buffer
      {std::string(5000, 'd') + std::string("\0", 1), L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stored.substr(0, 20) + " (" + std::to_string(row.stored.size()) + " bytes)");
    EXPECT_EQ(row.expected, Query(row.stored));
  }
}

TEST_F(RegistryAccessTest, QueryTakesDataOfAnyTypeAsText) {
  struct Row {
    std::uint32_t type;
    std::vector<unsigned char> data;
    std::wstring expected;
  };
  const Row rows[] = {
      {kRegDword, {'D', 'C', 'B', 'A'}, L"DCBA"},
      {kRegDword, {1, 0, 0, 0}, L"\x01"},
      {kRegBinary, {'x', 'y', 0, 'z'}, L"xy"},
      // A full buffer without any NUL: the data up to the size read.
      {kRegBinary, std::vector<unsigned char>(1024, 'b'), std::wstring(1024, L'b')},
      {kRegExpandSz, {'%', 'P', '%', 0}, L"%P%"},
      {kRegMultiSz, {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}, L"one"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    registry_->SetValue(kScratch, "v", row.type, row.data);
    EXPECT_EQ(row.expected, access_->QueryRegEntry(kHkeyLocalMachine, kScratchW, L"v"));
  }
}

// The disposition says that the string is stored, with its terminator.
TEST_F(RegistryAccessTest, CreateGivesTheDispositionOnlyOnceTheValueIsStored) {
  const struct {
    const char* what;
    long writeError;
    const wchar_t* value;
    std::int32_t result;
    const char* stored;  // without its NUL
  } rows[] = {{"a new key", win32::kSuccess, L"C:\\Office", 1, "C:\\Office"},
              {"the key exists", win32::kSuccess, L"D:\\Office", 2, "D:\\Office"},
              {"the value write fails", 5 /* access denied */, L"E:\\Office", 0, "D:\\Office"}};
  const std::wstring key = kScratchW + L"\\Created";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    counting_->setStringError = row.writeError;
    EXPECT_EQ(row.result, access_->CreateRegEntry(kHkeyLocalMachine, key, L"Path", row.value));
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(registry_->ReadValue(std::string(kScratch) + "\\Created", "Path", &type, &data));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ(std::string(row.stored) + '\0', std::string(data.begin(), data.end()));
  }
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(RegistryAccessTest, DeletePassesTheErrorCodeThrough) {
  registry_->CreateKey(std::string(kScratch) + "\\Doomed");
  EXPECT_EQ(0, access_->DeleteRegEntry(kHkeyLocalMachine, kScratchW + L"\\Doomed"));
  EXPECT_FALSE(registry_->KeyExists(std::string(kScratch) + "\\Doomed"));
  EXPECT_EQ(2, access_->DeleteRegEntry(kHkeyLocalMachine, kScratchW + L"\\Doomed"));
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(RegistryAccessTest, AnsiTextRoundTrips) {
  // Latin-1 letters survive the trip through the ANSI code page.
  const std::wstring text = L"C:\\Programme\\Müller Straße\\Ação";
  const std::wstring key = kScratchW + L"\\Umlaut ÄÖÜ";
  EXPECT_EQ(1, access_->CreateRegEntry(kHkeyLocalMachine, key, L"Päth", text));
  EXPECT_EQ(text, access_->QueryRegEntry(kHkeyLocalMachine, key, L"Päth"));
  std::wstring name = key;
  const KeyHandle opened = access_->RegOpenKey(kHkeyLocalMachine, name, kKeyQueryValue);
  EXPECT_NE(0, opened);
  EXPECT_EQ(key, name);
  access_->RegCloseKey(opened);

  // Names compare without regard to case, as on Windows.
  EXPECT_EQ(text, access_->QueryRegEntry(kHkeyLocalMachine, kScratchW + L"\\UMLAUT äöü", L"PÄTH"));
}

}  // namespace
}  // namespace lexiphon
