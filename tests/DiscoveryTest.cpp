// Settings and Word discovery, against the in-memory hive natively and the
// real registry of the throwaway Wine prefix on Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"

namespace lexiphon {
namespace {

using testing::AddWordVersion;
using testing::CountingRegistry;
using testing::kOfficeKey;
using testing::TestRegistry;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_ = TestRegistry::Create();
    registry_->DeleteTree(kOfficeKey);
    counting_ = std::make_unique<CountingRegistry>(registry_->Api());
    engine_ = std::make_unique<SharedSubs>(*counting_, files_);
  }
  void TearDown() override {
    registry_->DeleteTree(kOfficeKey);
    EXPECT_EQ(0, counting_->opened) << "a key was left open";
  }

  std::unique_ptr<TestRegistry> registry_;
  std::unique_ptr<CountingRegistry> counting_;
  testing::MemoryFileSystem files_;
  std::unique_ptr<SharedSubs> engine_;
};

TEST_F(DiscoveryTest, InitSettingsFillsThePackageSettings) {
  AddWordVersion(*registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
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
    ResultCode expected;
    std::wstring targetDir;
  };
  const Row rows[] = {
      {"one version", {{"11.0", "C:\\Office11\\"}}, 0, L"C:\\Office11\\Startup"},
      {"leftover before the real one",
       {{"10.0", nullptr}, {"11.0", "C:\\Office11\\"}},
       0,
       L"C:\\Office11\\Startup"},
      {"leftover after the real one",
       {{"11.0", "C:\\Office11\\"}, {"12.0", nullptr}},
       0,
       L"C:\\Office11\\Startup"},
      {"two Words: the last one enumerated names TargetDir",
       {{"11.0", "C:\\Office11\\"}, {"12.0", "D:\\Office12"}},
       -200,
       L"D:\\Office12\\Startup"},
      // Enumeration order is the registry's sorted order: "10.0" < "12.0" < "8.0" < "9.0".
      {"several in registry order",
       {{"9.0", "C:\\Office9\\"}, {"8.0", nullptr}, {"12.0", nullptr}, {"10.0", "C:\\Office10\\"}},
       -200,
       L"C:\\Office9\\Startup"},
      {"only relative and too short values",
       {{"10.0", "Office10\\"}, {"11.0", "C"}, {"12.0", ""}},
       -100,
       L""},
      {"a relative value does not count",
       {{"10.0", "Office10\\"}, {"11.0", "C:\\Office11\\"}},
       0,
       L"C:\\Office11\\Startup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    registry_->DeleteTree(kOfficeKey);
    registry_->CreateKey(kOfficeKey);
    for (const Version& version : row.versions) {
      if (version.path)
        AddWordVersion(*registry_, version.name, version.path);
      else
        registry_->CreateKey(std::string(kOfficeKey) + "\\" + version.name + "\\Common");
    }
    SharedSubs engine(*counting_, files_);
    EXPECT_EQ(row.expected, engine.InitSettings());
    EXPECT_EQ(row.targetDir, engine.TargetDir);
    EXPECT_EQ(row.versions.size(), engine.WordRoots.size());
  }
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
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.value.begin(), row.value.end()));
    EXPECT_EQ(row.expected, StartupFolderFor(row.value, L"\\Startup"));
  }
}

}  // namespace
}  // namespace lexiphon
