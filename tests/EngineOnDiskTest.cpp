// Install and uninstall on a disk: the real file system of the Wine prefix
// on Windows (with the prefix's real registry), the in-memory one natively.
// Faults the disk cannot produce on demand are in InstallTest/UninstallTest.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestFileSystem.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"

namespace lexiphon {
namespace {

using testing::kHidden, testing::kReadOnly, testing::kSystem;
using Tree = std::vector<std::wstring>;

using testing::Narrow;

class EngineOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override { UsePackageFolder(L"Lx110"); }

  void UsePackageFolder(const std::wstring& name, bool withDictionaries = true) {
    registry_ = testing::TestRegistry::Create();
    registry_->DeleteOffice();
    disk_ = testing::TestFileSystem::Create();
    package_ = disk_->At(name);
    word_ = disk_->At(L"OFFICE11");
    target_ = word_ + L"\\Startup";
    engine_ = std::make_unique<SharedSubs>(registry_->Api(), disk_->Api(), package_);
    // The registry speaks ANSI; the scenario's own folder is plain ASCII.
    testing::AddWordVersion(*registry_, "11.0", Narrow(word_) + "\\");
    disk_->MakeFolder(word_);
    disk_->MakeFile(package_ + L"\\LexiphonSetup.exe", "MZ");
    for (const std::wstring& file : testing::kPackageFiles)
      disk_->MakeFile(package_ + L"\\" + file, "package");
    disk_->MakeFolder(package_ + L"\\Dictionaries");
    if (!withDictionaries) return;
    disk_->MakeFile(package_ + L"\\Dictionaries\\deutsch.dic", "de");
    disk_->MakeFile(package_ + L"\\Dictionaries\\english.dic", "en");
  }
  void TearDown() override {
    disk_->ReleaseAll();
    registry_->DeleteOffice();
  }

  Tree Below(const std::wstring& folder) { return disk_->Below(folder); }

  const Tree kDictionaries{L"deutsch.dic", L"english.dic"};
  const Tree kInstalled = testing::InstalledTree(kDictionaries);

  std::unique_ptr<testing::TestRegistry> registry_;
  std::unique_ptr<testing::TestFileSystem> disk_;
  std::unique_ptr<SharedSubs> engine_;
  std::wstring package_, word_, target_;
};

TEST_F(EngineOnDiskTest, InstallThenUninstallLeavesForeignFilesAlone) {
  disk_->MakeFile(target_ + L"\\Normal.dot", "someone else's");
  disk_->MakeFile(target_ + L"\\Other\\macro.dot", "someone else's");
  const Tree package = Below(package_);

  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(testing::InstalledTree(kDictionaries, {L"Normal.dot", L"Other\\", L"Other\\macro.dot"}),
            Below(target_));
  EXPECT_EQ("de", disk_->Contents(target_ + L"\\Dictionaries\\deutsch.dic"));

  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_EQ((Tree{L"Normal.dot", L"Other\\", L"Other\\macro.dot"}), Below(target_));
  EXPECT_EQ(-2, engine_->DoUninstall()) << "a second uninstall finds the items missing";
  EXPECT_EQ(package, Below(package_)) << "the program's folder is never changed";
}

TEST_F(EngineOnDiskTest, InstallCreatesTheStartupFolderAndReplacesAnEarlierInstall) {
  EXPECT_FALSE(disk_->IsFolder(target_));
  EXPECT_EQ(0, engine_->DoInstall());
  disk_->MakeFile(package_ + L"\\Lexiphon.dot", "version 2");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ("version 2", disk_->Contents(target_ + L"\\Lexiphon.dot"));
  EXPECT_EQ(kInstalled, Below(target_));
}

TEST_F(EngineOnDiskTest, HiddenFilesAndSubfoldersOfThePackageFolderStayBehind) {
  disk_->MakeFile(package_ + L"\\Dictionaries\\Thumbs.db", "x", kHidden | kSystem);
  disk_->MakeFile(package_ + L"\\Dictionaries\\Old\\legacy.dic", "x");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, Below(target_));
}

TEST_F(EngineOnDiskTest, EmptyPackageFolder) {
  TearDown();
  UsePackageFolder(L"Lx110 empty", false);
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(testing::InstalledTree({}), Below(target_));
  // Nothing to delete inside it counts as incomplete; the folder goes anyway.
  EXPECT_EQ(-2, engine_->DoUninstall());
  EXPECT_TRUE(Below(target_).empty());
}

TEST_F(EngineOnDiskTest, AFileHeldOpenSurvives) {
  EXPECT_EQ(0, engine_->DoInstall());
  // As a running Word holds its template: open, without sharing.
  disk_->HoldOpen(target_ + L"\\Lexiphon.dot");
  EXPECT_EQ(-5, engine_->DoInstall());
  EXPECT_EQ(-2, engine_->DoUninstall());
  disk_->ReleaseAll();
  EXPECT_EQ(Tree{L"Lexiphon.dot"}, Below(target_));
  EXPECT_EQ("package", disk_->Contents(target_ + L"\\Lexiphon.dot"));
}

TEST_F(EngineOnDiskTest, AReadOnlyFileIsNeitherReplacedNorDeleted) {
  EXPECT_EQ(0, engine_->DoInstall());
  disk_->SetAttributes(target_ + L"\\Lexiphon.ini", kReadOnly);
  EXPECT_EQ(-5, engine_->DoInstall());
  EXPECT_EQ(-2, engine_->DoUninstall());
  EXPECT_EQ(Tree{L"Lexiphon.ini"}, Below(target_));
  EXPECT_EQ(kReadOnly, disk_->Attributes(target_ + L"\\Lexiphon.ini")) << "never cleared";
}

TEST_F(EngineOnDiskTest, ReadOnlyAndHiddenPackageFilesInstallAsPlainFiles) {
  // As some unpack tools and every CD leave them.
  disk_->SetAttributes(package_ + L"\\Lexiphon.exp", kReadOnly | kHidden);
  disk_->SetAttributes(package_ + L"\\Lexiphon.ini", kReadOnly | kSystem);
  disk_->SetAttributes(package_ + L"\\Dictionaries\\deutsch.dic", kReadOnly);
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(0, engine_->DoInstall()) << "the copies can be replaced";
  for (const Tree::value_type& item : kInstalled) {
    if (item.back() != L'\\') {
      EXPECT_EQ(0u, disk_->Attributes(target_ + L"\\" + item)) << Narrow(item);
    }
  }
  EXPECT_EQ(0, engine_->DoUninstall()) << "and found and removed";
  EXPECT_TRUE(Below(target_).empty());
}

// A folder customised through desktop.ini is hidden or system: still a folder.
TEST_F(EngineOnDiskTest, HiddenAndSystemFoldersAreFoldersAllTheSame) {
  disk_->MakeFolder(target_ + L"\\Dictionaries");
  disk_->SetAttributes(target_, kHidden | kSystem);
  disk_->SetAttributes(target_ + L"\\Dictionaries", kHidden);
  disk_->SetAttributes(package_ + L"\\Dictionaries", kSystem);
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, Below(target_));
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_TRUE(Below(target_).empty());
}

// Links that someone else put into Word's startup folder: what they point
// at is never written to or deleted.
TEST_F(EngineOnDiskTest, LinksInTheStartupFolderNeverCostTheirTargetsAFile) {
  const std::wstring documents = disk_->At(L"Documents");
  disk_->MakeFile(documents + L"\\thesis.doc", "years of work");
  disk_->MakeFile(documents + L"\\notes.ini", "her settings");
  disk_->MakeFolder(target_);
  if (!disk_->MakeLink(target_ + L"\\Dictionaries", documents))
    GTEST_SKIP() << "no links can be made here";
  ASSERT_TRUE(disk_->MakeLink(target_ + L"\\Lexiphon.ini", documents + L"\\notes.ini"));
  const Tree theirs{L"notes.ini", L"thesis.doc"};

  EXPECT_EQ(-4, engine_->DoInstall()) << "no copy goes into a linked folder";
  EXPECT_EQ(theirs, Below(documents));
  EXPECT_EQ("her settings", disk_->Contents(documents + L"\\notes.ini"));
  EXPECT_EQ("package", disk_->Contents(target_ + L"\\Lexiphon.ini")) << "replaced as a name";

  EXPECT_EQ(-2, engine_->DoUninstall()) << "the linked folder stays";
  EXPECT_EQ(theirs, Below(documents));
  EXPECT_EQ("years of work", disk_->Contents(documents + L"\\thesis.doc"));
  EXPECT_TRUE(disk_->Api().IsLink(target_ + L"\\Dictionaries"));
  EXPECT_FALSE(disk_->IsFile(target_ + L"\\Lexiphon.ini"));

  // A package file that is a link goes as a name, so that Word no longer
  // loads the add-in, and the file it named stays. Wine's deletion of a
  // linked file takes its target by any route: the double shows it.
  if (disk_->IsReal()) return;
  ASSERT_TRUE(disk_->Api().RemoveFolder(target_ + L"\\Dictionaries"));
  EXPECT_EQ(0, engine_->DoInstall());
  disk_->Api().DeleteFiles(target_ + L"\\Lexiphon.dot");
  ASSERT_TRUE(disk_->MakeLink(target_ + L"\\Lexiphon.dot", documents + L"\\thesis.doc"));
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_FALSE(disk_->IsFile(target_ + L"\\Lexiphon.dot"));
  EXPECT_EQ("years of work", disk_->Contents(documents + L"\\thesis.doc"));
}

// A disk that runs full while an update is copied: Word's template must
// stay whole, since Word loads whatever lies there at its next start.
TEST_F(EngineOnDiskTest, AFullDiskLeavesTheOldFilesWhole) {
  const std::wstring drive = disk_->SmallDrive();
  if (drive.empty()) GTEST_SKIP() << "needs the small drive that scripts/test mounts as root";
  const std::wstring word = drive + L"Office";
  const std::wstring target = word + L"\\Startup";
  disk_->MakeFolder(word);
  registry_->DeleteTree(testing::kOfficeKey);
  testing::AddWordVersion(*registry_, "11.0", Narrow(word) + "\\");
  EXPECT_EQ(0, engine_->DoInstall());

  const std::string tooBig(std::size_t{2} * 1024 * 1024, 'x');  // more than the drive holds
  disk_->MakeFile(package_ + L"\\Lexiphon.dot", tooBig);
  EXPECT_EQ(-5, engine_->DoInstall());
  EXPECT_EQ("package", disk_->Contents(target + L"\\Lexiphon.dot"));
  disk_->MakeFile(package_ + L"\\Dictionaries\\large.dic", tooBig);
  disk_->MakeFile(package_ + L"\\Lexiphon.dot", "package");
  EXPECT_EQ(-5, engine_->DoInstall()) << "a new file that does not fit";
  EXPECT_FALSE(disk_->IsFile(target + L"\\Dictionaries\\large.dic")) << "no fragment is left";

  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_TRUE(disk_->Api().RemoveFolder(target)) << "no temporary file stays behind";
  disk_->Api().RemoveFolder(word);
}

TEST_F(EngineOnDiskTest, ProgramFolderWithNonLatinCharactersAndSpaces) {
  TearDown();
  UsePackageFolder(L"Установка Lexiphon 日本語 ç");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, Below(target_));
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_TRUE(Below(target_).empty());
}

TEST_F(EngineOnDiskTest, APackageFileHeldOpenByAnotherProgram) {
  disk_->HoldOpen(package_ + L"\\Lexiphon.exp");
  EXPECT_EQ(-5, engine_->DoInstall());
  EXPECT_EQ((Tree{L"Lexiphon.dot", L"SortTxtFile.bat"}), Below(target_));
}

TEST_F(EngineOnDiskTest, AFileWhereTheStartupFolderShouldBe) {
  disk_->MakeFile(target_, "not a folder");
  EXPECT_EQ(-4, engine_->DoInstall());
  EXPECT_EQ(-1, engine_->DoUninstall());
  EXPECT_EQ("not a folder", disk_->Contents(target_));
}

TEST_F(EngineOnDiskTest, WordOnADriveThatDoesNotExist) {
  registry_->DeleteOffice();
  testing::AddWordVersion(*registry_, "11.0", "Q:\\Microsoft Office\\OFFICE11\\");
  EXPECT_EQ(-100, engine_->DoInstall());
  EXPECT_EQ(-100, engine_->DoUninstall());
  EXPECT_EQ(L"", engine_->TargetDir);
}

TEST_F(EngineOnDiskTest, PathsLongerThanMaxPath) {
  // A Word folder nested deep enough that the package's paths pass 260
  // characters. Windows needs long path support for this (the manifest
  // asks for it); without it the install fails with -4 and loses nothing.
  std::wstring deep = disk_->At(L"deep");
  while (deep.size() < 280) deep += L"\\" + std::wstring(40, L'd');
  disk_->MakeFolder(deep);
  registry_->DeleteOffice();
  testing::AddWordVersion(*registry_, "11.0", Narrow(deep) + "\\");
  target_ = deep + L"\\Startup";
  const ResultCode installed = engine_->DoInstall();
  if (installed == 0) {
    EXPECT_EQ(kInstalled, Below(target_));
    EXPECT_EQ(0, engine_->DoInstall()) << "an update replaces files there too";
    EXPECT_EQ(kInstalled, Below(target_));
    EXPECT_EQ(0, engine_->DoUninstall());
    EXPECT_TRUE(Below(target_).empty());
  } else {
    EXPECT_EQ(-4, installed);
    EXPECT_TRUE(Below(target_).empty());
  }
}

TEST_F(EngineOnDiskTest, PackageStillPackedOrMissing) {
  TearDown();
  registry_ = testing::TestRegistry::Create();
  disk_ = testing::TestFileSystem::Create();
  testing::AddWordVersion(*registry_, "11.0", Narrow(disk_->At(L"OFFICE11")) + "\\");
  disk_->MakeFolder(disk_->At(L"OFFICE11"));
  engine_ = std::make_unique<SharedSubs>(registry_->Api(), disk_->Api(), disk_->At(L"Download"));
  disk_->MakeFile(disk_->At(L"Download\\LexiphonSetup.exe"), "MZ");
  EXPECT_EQ(-1, engine_->DoInstall());
  disk_->MakeFile(disk_->At(L"Download\\Lx110.zip"), "PK");
  EXPECT_EQ(-2, engine_->DoInstall());
  EXPECT_EQ(-1, engine_->DoUninstall()) << "nothing was installed: no startup folder";
  EXPECT_FALSE(disk_->IsFolder(disk_->At(L"OFFICE11\\Startup")));
}

}  // namespace
}  // namespace lexiphon
