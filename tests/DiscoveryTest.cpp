// Settings and Word discovery, against the in-memory hive natively and the
// real registry of the throwaway Wine prefix on Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "TestFileSystem.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"

namespace lexiphon {
namespace {

using testing::AddWordVersion;
using testing::CountingRegistry;
using testing::kOfficeKey;
using testing::kRegBinary, testing::kRegDword, testing::kRegExpandSz, testing::kRegMultiSz,
    testing::kRegNone, testing::kRegSz;
using testing::TestRegistry;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = TestRegistry::Create();
    registry_->DeleteOffice();
    counting_ = std::make_unique<CountingRegistry>(registry_->Api());
    engine_ = std::make_unique<SharedSubs>(*counting_, files_);
    // The Word folders these tests register exist.
    for (const wchar_t* folder : {L"C:\\Office", L"C:\\Office11", L"C:\\Office12"})
      files_.AddFolder(folder);
  }
  void TearDown() override {
    registry_->DeleteOffice();
    EXPECT_EQ(0, counting_->opened) << "a key was left open";
  }

  std::unique_ptr<TestRegistry> registry_;
  std::unique_ptr<CountingRegistry> counting_;
  testing::MemoryFileSystem files_;
  std::unique_ptr<SharedSubs> engine_;
};

TEST_F(DiscoveryTest, InitSettingsFillsThePackageSettings) {
  AddWordVersion(*registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
  files_.AddFolder(L"C:\\Program Files\\Microsoft Office\\OFFICE11");
  EXPECT_EQ(0, engine_->InitSettings());
  EXPECT_EQ(L"Lx*.zip", engine_->ZipPattern);
  EXPECT_EQ(L"Lexiphon.dot", engine_->TemplateName);
  EXPECT_EQ(L"Software\\Microsoft\\Office", engine_->OfficeRegKey);
  EXPECT_EQ(L"Word\\InstallRoot", engine_->InstallRootKey);
  EXPECT_EQ(L"Path", engine_->InstallRootValue);
  EXPECT_EQ(L"\\Startup", engine_->StartupSubDir);
  EXPECT_EQ(L"SortTxtFile.bat", engine_->PackageFiles[0]);
  EXPECT_EQ(engine_->TemplateName, engine_->PackageFiles[1]);
  EXPECT_EQ(L"Lexiphon.exp", engine_->PackageFiles[2]);
  EXPECT_EQ(L"Lexiphon.ini", engine_->PackageFiles[3]);
  EXPECT_EQ(L"", engine_->PackageFiles[4]);
  EXPECT_EQ(L"Dictionaries", engine_->PackageDirs[0]);
  EXPECT_EQ(L"", engine_->PackageDirs[1]);
  EXPECT_EQ(L"C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup", engine_->TargetDir);
}

TEST_F(DiscoveryTest, NoOfficeKeyMeansNoWord) {
  EXPECT_EQ(-100, engine_->InitSettings());
  EXPECT_EQ(L"", engine_->TargetDir);
  EXPECT_EQ(std::vector<std::wstring>{L""}, engine_->WordRoots);
  EXPECT_EQ(-1, engine_->GetWordInstallRoots(L"Software\\Microsoft\\Office", L"Word\\InstallRoot",
                                              L"Path"));
}

TEST_F(DiscoveryTest, OfficeWithoutVersionsMeansNoWord) {
  registry_->CreateKey(kOfficeKey);
  EXPECT_EQ(-100, engine_->InitSettings());
  EXPECT_EQ(std::vector<std::wstring>{L""}, engine_->WordRoots);
  EXPECT_EQ(L"", engine_->TargetDir);
}

TEST_F(DiscoveryTest, DecidesByTheNumberOfWordFolders) {
  struct Version {
    const char* name;
    const char* path;  // nullptr: the version has no Word folder
  };
  struct Row {
    const char* label;
    std::vector<Version> versions;
    std::vector<std::wstring> onDisk;
    ResultCode expected;
    std::wstring targetDir;
  };
  const Row rows[] = {
      {"one version", {{"11.0", "C:\\Office11\\"}}, {L"C:\\Office11"}, 0, L"C:\\Office11\\Startup"},
      {"leftover before the real one",
       {{"10.0", nullptr}, {"11.0", "C:\\Office11\\"}},
       {L"C:\\Office11"},
       0,
       L"C:\\Office11\\Startup"},
      {"leftover after the real one",
       {{"11.0", "C:\\Office11\\"}, {"12.0", nullptr}},
       {L"C:\\Office11"},
       0,
       L"C:\\Office11\\Startup"},
      {"two Words: the last one enumerated names TargetDir",
       {{"11.0", "C:\\Office11\\"}, {"12.0", "D:\\Office12"}},
       {L"C:\\Office11", L"D:\\Office12"},
       -200,
       L"D:\\Office12\\Startup"},
      // Enumeration order is the registry's sorted order: "10.0" < "12.0" < "8.0" < "9.0".
      {"several in registry order",
       {{"9.0", "C:\\Office9\\"}, {"8.0", nullptr}, {"12.0", nullptr}, {"10.0", "C:\\Office10\\"}},
       {L"C:\\Office9", L"C:\\Office10"},
       -200,
       L"C:\\Office9\\Startup"},
      {"only relative and too short values",
       {{"10.0", "Office10\\"}, {"11.0", "C"}, {"12.0", ""}},
       {L"C:\\Office10"},
       -100,
       L""},
      {"a relative value does not count",
       {{"10.0", "Office10\\"}, {"11.0", "C:\\Office11\\"}},
       {L"C:\\Office10", L"C:\\Office11"},
       0,
       L"C:\\Office11\\Startup"},
      {"a version left behind, its folder gone, beside the real one",
       {{"11.0", "C:\\Office11\\"}, {"12.0", "C:\\Office12\\"}},
       {L"C:\\Office12"},
       0,
       L"C:\\Office12\\Startup"},
      {"only versions whose folders are gone",
       {{"11.0", "C:\\Office11\\"}, {"12.0", "Q:\\Office12\\"}},
       {},
       -100,
       L""},
      // Windows drops spaces and dots at the end of a path, not before a "\\".
      {"a space or a dot at the end: the folder without them",
       {{"11.0", "C:\\Office11 "}, {"12.0", "C:\\Office11."}},
       {L"C:\\Office11"},
       0,
       L"C:\\Office11\\Startup"},
      {"a space before the last separator", {{"11.0", "C:\\Office11 \\"}}, {L"C:\\Office11"}, -100, L""},
      {"one folder named by two versions, spelt differently",
       {{"11.0", "C:\\Office\\"}, {"12.0", "\"c:\\OFFICE\""}, {"14.0", "C:\\Office\\.\\"}},
       {L"C:\\Office"},
       0,
       L"C:\\Office\\Startup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    registry_->DeleteOffice();
    registry_->CreateKey(kOfficeKey);
    for (const Version& version : row.versions) {
      if (version.path)
        AddWordVersion(*registry_, version.name, version.path);
      else
        registry_->CreateKey(std::string(kOfficeKey) + "\\" + version.name + "\\Common");
    }
    testing::MemoryFileSystem files;
    for (const std::wstring& folder : row.onDisk) files.AddFolder(folder);
    SharedSubs engine(*counting_, files);
    EXPECT_EQ(row.expected, engine.InitSettings());
    EXPECT_EQ(row.targetDir, engine.TargetDir);
    EXPECT_EQ(row.versions.size(), engine.WordRoots.size());
  }
}

// 64-bit Office registers in the 64-bit registry view, 32-bit Office in the
// 32-bit one; both are read, whichever view this program has. Run on the
// real registry under Wine and natively for a 64-bit and a 32-bit program.
TEST_F(DiscoveryTest, ReadsBothRegistryViews) {
  constexpr std::uint32_t k64 = kKeyWow64_64Key;
  constexpr std::uint32_t k32 = kKeyWow64_32Key;
  const std::string office16 = "C:\\Program Files\\Microsoft Office\\root\\Office16\\";
  const std::wstring word16 = L"C:\\Program Files\\Microsoft Office\\root\\Office16";
  const std::wstring startup16 = word16 + L"\\Startup";
  struct Key {
    std::uint32_t view;
    std::string name;   // below the Office key
    const char* value;  // "Path" of <name>\Word\InstallRoot; nullptr: just the key
  };
  struct Row {
    const char* label;
    std::vector<Key> keys;
    std::vector<std::wstring> onDisk;
    ResultCode expected;
    std::wstring targetDir;
  };
  const Row rows[] = {
      {"only in the 64-bit view", {{k64, "16.0", office16.c_str()}}, {word16}, 0, startup16},
      {"only in the 32-bit view", {{k32, "16.0", office16.c_str()}}, {word16}, 0, startup16},
      {"the same folder in both views, spelt differently",
       {{k64, "16.0", "C:\\Office16\\"}, {k32, "16.0", "c:\\OFFICE16"}},
       {L"C:\\Office16"},
       0,
       L"C:\\Office16\\Startup"},
      {"different folders in the two views: the 32-bit one is read last",
       {{k64, "16.0", "C:\\Office64\\"}, {k32, "16.0", "C:\\Office32\\"}},
       {L"C:\\Office64", L"C:\\Office32"},
       -200,
       L"C:\\Office32\\Startup"},
      {"a key left behind in one view, the real Word in the other",
       {{k64, "15.0", "C:\\Office15\\"}, {k32, "16.0", "C:\\Office16\\"}},
       {L"C:\\Office16"},
       0,
       L"C:\\Office16\\Startup"},
      {"only keys left behind, in both views",
       {{k64, "15.0", "C:\\Office15\\"}, {k32, "14.0", "C:\\Office14\\"}},
       {},
       -100,
       L""},
      {"an Office key in one view only, without Word", {{k32, "Common", nullptr}}, {}, -100, L""},
      {"today's layout: 64-bit Office 16.0 among keys without Word",
       {{k64, "ClickToRun\\Configuration", nullptr},
        {k64, "Common\\General", nullptr},
        {k64, "Excel\\Addins", nullptr},
        {k64, "Outlook\\Addins", nullptr},
        {k64, "Teams", nullptr},
        {k64, "16.0\\Common\\InstallRoot", nullptr},
        {k64, "16.0", office16.c_str()},
        {k32, "ClickToRun\\REGISTRY", nullptr},
        {k32, "16.0\\Common", nullptr}},
       {word16},
       0,
       startup16},
  };
  std::vector<std::unique_ptr<TestRegistry>> machines;
  machines.push_back(TestRegistry::Create());
  if (!machines[0]->IsReal())
    machines.push_back(TestRegistry::CreateMemory(TestRegistry::Machine::Program32OnWindows64));
  for (const auto& machine : machines) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.label) + (machine->OwnView() == k64 ? ", 64-bit" : ", 32-bit") +
                   " program");
      machine->DeleteOffice();
      for (const Key& key : row.keys) {
        const std::string path = std::string(kOfficeKey) + "\\" + key.name;
        if (key.value)
          machine->SetString(path + "\\Word\\InstallRoot", "Path", key.value, key.view);
        else
          machine->CreateKey(path, key.view);
      }
      testing::MemoryFileSystem files;
      for (const std::wstring& folder : row.onDisk) files.AddFolder(folder);
      CountingRegistry counting(machine->Api());
      SharedSubs engine(counting, files);
      EXPECT_EQ(row.expected, engine.InitSettings());
      EXPECT_EQ(row.targetDir, engine.TargetDir);
      EXPECT_EQ(0, counting.opened) << "a key was left open";
    }
    machine->DeleteOffice();
  }
}

// 32-bit Windows has one view: both reads see the same keys, and the Word
// found twice counts once.
TEST(DiscoveryOn32BitWindowsTest, OneViewReadTwiceFindsWordOnce) {
  const auto registry = TestRegistry::CreateMemory(TestRegistry::Machine::Windows32);
  AddWordVersion(*registry, "11.0", "C:\\Office11\\", kKeyWow64_64Key);
  registry->CreateKey(std::string(kOfficeKey) + "\\Common", kKeyWow64_32Key);
  testing::MemoryFileSystem files;
  files.AddFolder(L"C:\\Office11");
  SharedSubs engine(registry->Api(), files);
  EXPECT_EQ(0, engine.InitSettings());
  const std::vector<std::wstring> roots{L"C:\\Office11\\", L"", L"C:\\Office11\\", L""};
  EXPECT_EQ(roots, engine.WordRoots);
  EXPECT_EQ(L"C:\\Office11\\Startup", engine.TargetDir);
}

// Whatever Office or another program left in the "Path" value: the data is
// taken as text, and only a usable folder counts as a Word.
TEST_F(DiscoveryTest, PathValuesOfEveryKindAndSize) {
  const std::string longFolder = "C:\\" + std::string(1016, 'w') + "\\";  // 1,021 bytes
  auto bytes = [](const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
  };
  struct Row {
    const char* label;
    std::uint32_t type;
    std::vector<unsigned char> data;
    ResultCode expected;
    std::wstring targetDir;
  };
  const Row rows[] = {
      {"REG_EXPAND_SZ, taken as it stands", kRegExpandSz, bytes(std::string("C:\\Office\\\0", 11)), 0,
       L"C:\\Office\\Startup"},
      {"REG_EXPAND_SZ with a variable is no folder", kRegExpandSz,
       bytes(std::string("%ProgramFiles%\\Office\0", 22)), -100, L""},
      {"REG_MULTI_SZ gives its first string", kRegMultiSz,
       bytes(std::string("C:\\A\0C:\\B\0\0", 10)), 0, L"C:\\A\\Startup"},
      {"REG_DWORD", kRegDword, {0x01, 0x00, 0x00, 0x00}, -100, L""},
      {"REG_BINARY holding a path without NUL", kRegBinary, bytes("D:\\Word"), 0,
       L"D:\\Word\\Startup"},
      {"REG_NONE, empty", kRegNone, {}, -100, L""},
      // Every type's data is text here: a path in them counts like any other.
      {"REG_NONE holding a path", kRegNone, bytes(std::string("C:\\Word\\\0", 9)), 0,
       L"C:\\Word\\Startup"},
      {"REG_DWORD whose four bytes spell C:\\W", kRegDword, {'C', ':', '\\', 'W'}, 0,
       L"C:\\W\\Startup"},
      {"a path with spaces", kRegSz, bytes(std::string("C:\\Program Files\\MS Office\\\0", 28)), 0,
       L"C:\\Program Files\\MS Office\\Startup"},
      {"a quoted path", kRegSz, bytes(std::string("\"C:\\Office\\\"\0", 13)), 0,
       L"C:\\Office\\Startup"},
      {"Latin-1 letters", kRegSz, bytes(std::string("C:\\B\xFCro\\\0", 9)), 0,
       L"C:\\B\u00FCro\\Startup"},
      {"1,022 bytes with the NUL", kRegSz, bytes(longFolder + std::string("\0", 1)), 0,
       std::wstring(L"C:\\") + std::wstring(1016, L'w') + L"\\Startup"},
      {"1,024 bytes with the NUL", kRegSz, bytes("C:\\" + std::string(1020, 'x') + std::string("\0", 1)),
       0, std::wstring(L"C:\\") + std::wstring(1020, L'x') + L"\\Startup"},
      {"1,025 bytes: too large to read", kRegSz,
       bytes("C:\\" + std::string(1021, 'x') + std::string("\0", 1)), -100, L""},
      {"5,000 bytes", kRegSz, bytes("C:\\" + std::string(4996, 'x') + std::string("\0", 1)), -100,
       L""},
  };
  // The folders the values too large to read would name, so that only the
  // reading can make those rows -100.
  files_.AddFolder(L"C:\\" + std::wstring(1021, L'x'));
  files_.AddFolder(L"C:\\" + std::wstring(4996, L'x'));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    registry_->DeleteTree(kOfficeKey);
    registry_->SetValue(std::string(kOfficeKey) + "\\11.0\\Word\\InstallRoot", "Path", row.type,
                        row.data);
    const std::wstring startup = L"\\Startup";
    if (!row.targetDir.empty())
      files_.AddFolder(row.targetDir.substr(0, row.targetDir.size() - startup.size()));
    SharedSubs engine(*counting_, files_);
    EXPECT_EQ(row.expected, engine.InitSettings());
    EXPECT_EQ(row.targetDir, engine.TargetDir);
  }
}

TEST_F(DiscoveryTest, OfficeSubkeyNames) {
  // 254 characters fit the enumeration buffer, and the versions after it
  // are seen. (Word is not put under the long name itself: Wine's A
  // functions refuse a whole key path longer than MAX_PATH.)
  registry_->CreateKey(std::string(kOfficeKey) + "\\" + std::string(254, '1'));
  AddWordVersion(*registry_, "2.0", "C:\\Office\\");
  EXPECT_EQ(0, engine_->InitSettings());
  EXPECT_EQ(L"C:\\Office\\Startup", engine_->TargetDir);
  EXPECT_EQ(2u, engine_->WordRoots.size());

  // A 255-character name does not: the enumeration ends there, as it does
  // past the last subkey, and the versions after it are not seen.
  registry_->CreateKey(std::string(kOfficeKey) + "\\" + std::string(255, '0'));
  EXPECT_EQ(-100, engine_->InitSettings());
  EXPECT_EQ(1u, engine_->WordRoots.size());
}

TEST_F(DiscoveryTest, AThousandOfficeVersions) {
  for (int i = 0; i < 1000; ++i)
    registry_->CreateKey(std::string(kOfficeKey) + "\\v" + std::to_string(1000 + i));
  AddWordVersion(*registry_, "v1500", "C:\\Office\\");
  EXPECT_EQ(0, engine_->InitSettings());
  EXPECT_EQ(1000u, engine_->WordRoots.size());
  EXPECT_EQ(L"C:\\Office\\", engine_->WordRoots[500]);
  EXPECT_EQ(L"C:\\Office\\Startup", engine_->TargetDir);
}

TEST_F(DiscoveryTest, WordRootsHoldOneFolderPerVersionInRegistryOrder) {
  AddWordVersion(*registry_, "11.0", "C:\\Office11\\");
  registry_->CreateKey(std::string(kOfficeKey) + "\\Common");
  registry_->SetString(std::string(kOfficeKey) + "\\12.0\\Word\\InstallRoot", "Other", "x");
  EXPECT_EQ(0, engine_->GetWordInstallRoots(L"Software\\Microsoft\\Office", L"Word\\InstallRoot",
                                             L"Path"));
  const std::vector<std::wstring> expected{L"C:\\Office11\\", L"", L""};
  EXPECT_EQ(expected, engine_->WordRoots);
}

TEST_F(DiscoveryTest, RepeatedRunsGiveTheSameResult) {
  AddWordVersion(*registry_, "11.0", "C:\\Office11\\");
  AddWordVersion(*registry_, "12.0", "C:\\Office12\\");
  EXPECT_EQ(-200, engine_->InitSettings());
  EXPECT_EQ(-200, engine_->FindWordStartup());
  EXPECT_EQ(-200, engine_->FindWordStartup());
  EXPECT_EQ(2u, engine_->WordRoots.size());
  EXPECT_EQ(L"C:\\Office12\\Startup", engine_->TargetDir);
}

TEST_F(DiscoveryTest, TargetDirOutlivesARunThatFindsNoWord) {
  AddWordVersion(*registry_, "11.0", "C:\\Office11\\");
  EXPECT_EQ(0, engine_->InitSettings());
  registry_->DeleteTree(kOfficeKey);
  EXPECT_EQ(-100, engine_->InitSettings());
  EXPECT_EQ(L"C:\\Office11\\Startup", engine_->TargetDir);
}

TEST(StartupFolderTest, DerivesWordsStartupFolderFromTheRegistryValue) {
  struct Row {
    std::wstring value;
    std::wstring expected;
  };
  const Row rows[] = {
      {L"C:\\Program Files\\Microsoft Office\\OFFICE11\\",
       L"C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup"},
      {L"C:\\Program Files\\Microsoft Office\\OFFICE11",
       L"C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup"},
      {L"C:\\", L"C:\\Startup"},
      {L"\"C:\\Office 11\\\"", L"C:\\Office 11\\Startup"},
      {L"\"C:\\Office\"", L"C:\\Office\\Startup"},
      {L"\\\\server\\share\\Office\\", L"\\\\server\\share\\Office\\Startup"},
      {L"d:\\Büro\\Wörd\\", L"d:\\Büro\\Wörd\\Startup"},
      {L"C:\\Office\\\\", L"C:\\Office\\\\Startup"},  // only one separator is dropped
      // Nothing that would be taken relative to the current folder.
      {L"Office11\\", L""},
      {L"C:Office11", L""},
      {L"\\Office11", L""},
      {L"\\\\\\x", L""},
      {L"C:", L""},
      {L"C", L""},
      {L"", L""},
      {L"\"\"", L""},
      {L"\"", L""},
      {L" C:\\Office", L""},
      {L"1:\\Office", L""},
      // Not a folder name: wildcards, a name the ANSI code page could not
      // carry, control characters, a second colon.
      {L"C:\\Office*\\", L""},
      {L"C:\\????\\", L""},
      {L"C:\\Office\n", L""},
      {L"C:\\Office\\a\"b", L""},
      {L"C:\\Office:stream", L""},
      {L"C:\\Office <11>", L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Narrow(row.value));
    EXPECT_EQ(row.expected, StartupFolderFor(row.value, L"\\Startup"));
  }
}

}  // namespace
}  // namespace lexiphon
