// DoUninstall against the in-memory file system: every outcome, and what it
// leaves on disk.
#include <string>
#include <vector>

#include "EngineScenario.h"

namespace lexiphon {
namespace {

using FS = testing::MemoryFileSystem;
using Tree = std::vector<std::wstring>;

class UninstallTest : public testing::EngineScenario {
 public:
  void SetUp() override {
    EngineScenario::SetUp();
    RegisterWord();
    UnpackPackage();
  }
  void InstalledWithForeignFiles() {
    InstallPackageByHand();
    fs_->AddFile(Target(L"Normal.dot"), "someone else's");
    fs_->AddFile(Target(L"Other\\macro.dot"), "someone else's");
  }
  const Tree kForeign{L"Normal.dot", L"Other\\", L"Other\\macro.dot"};
};

TEST_F(UninstallTest, RemovesThePackageAndNothingElse) {
  InstalledWithForeignFiles();
  fs_->AddFile(Target(L"Dictionaries\\mine.dic"), "added by the user");
  fs_->AddFile(Target(L"Dictionaries\\hidden.dic"), "x", testing::kHidden | testing::kSystem);
  const Tree package = TreeOf(kPackage);
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_EQ(kForeign, TreeOf(kTarget));
  EXPECT_TRUE(fs_->IsFolder(kTarget)) << "the startup folder itself stays";
  EXPECT_EQ(package, TreeOf(kPackage)) << "the program's folder is never changed";
}

TEST_F(UninstallTest, ASecondUninstallReportsTheMissingItems) {
  InstalledWithForeignFiles();
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_EQ(-2, engine_->DoUninstall());
  EXPECT_EQ(kForeign, TreeOf(kTarget));
}

TEST_F(UninstallTest, InstallThenUninstallLeavesTheFolderAsItWas) {
  fs_->AddFile(Target(L"Normal.dot"), "someone else's");
  const Tree before = TreeOf(kTarget);
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_EQ(before, TreeOf(kTarget));
}

TEST_F(UninstallTest, ListsEndAtTheirFirstEmptyEntry) {
  InstallPackageByHand();
  fs_->AddFile(Target(L"Extra.txt"), "x");
  engine_->PackageFiles[5] = L"Extra.txt";
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_EQ(Tree{L"Extra.txt"}, TreeOf(kTarget));
}

// Each partial failure: the code, and exactly what stays in the startup
// folder. Everything else of the package is gone; nothing is rolled back.
TEST_F(UninstallTest, PartialFailuresAndWhatStays) {
  struct Row {
    const char* situation;
    void (*arrange)(UninstallTest&);
    Tree stays;
  };
  const Row rows[] = {
      {"a package file is missing",
       [](UninstallTest& t) { t.fs_->DeleteFiles(t.Target(L"Lexiphon.exp")); }, {}},
      {"a package file is read-only",
       [](UninstallTest& t) { t.fs_->SetAttributes(t.Target(L"Lexiphon.ini"), testing::kReadOnly); },
       {L"Lexiphon.ini"}},
      {"the template is in use by Word",
       [](UninstallTest& t) { t.fs_->SetLocked(t.Target(L"Lexiphon.dot"), true); },
       {L"Lexiphon.dot"}},
      {"a package file is hidden",
       [](UninstallTest& t) { t.fs_->SetAttributes(t.Target(L"SortTxtFile.bat"), testing::kHidden); },
       {}},
      {"the package folder is missing",
       [](UninstallTest& t) {
         t.fs_->DeleteFiles(t.Target(L"Dictionaries\\*.*"));
         t.fs_->RemoveFolder(t.Target(L"Dictionaries"));
       },
       {}},
      {"the package folder is empty",
       [](UninstallTest& t) { t.fs_->DeleteFiles(t.Target(L"Dictionaries\\*.*")); }, {}},
      {"the package folder holds a subfolder",
       [](UninstallTest& t) { t.fs_->AddFile(t.Target(L"Dictionaries\\Old\\a.dic"), "x"); },
       {L"Dictionaries\\", L"Dictionaries\\Old\\", L"Dictionaries\\Old\\a.dic"}},
      {"a file in the package folder is read-only",
       [](UninstallTest& t) {
         t.fs_->SetAttributes(t.Target(L"Dictionaries\\deutsch.dic"), testing::kReadOnly);
       },
       {L"Dictionaries\\", L"Dictionaries\\deutsch.dic"}},
      {"the first deletion fails",
       [](UninstallTest& t) { t.fs_->FailNth(FS::Operation::Delete, 1); }, {L"SortTxtFile.bat"}},
      {"the folder removal fails",
       [](UninstallTest& t) { t.fs_->FailNth(FS::Operation::Remove, 1); }, {L"Dictionaries\\"}},
      {"a package name is a folder",
       [](UninstallTest& t) {
         t.fs_->DeleteFiles(t.Target(L"Lexiphon.exp"));
         t.fs_->AddFile(t.Target(L"Lexiphon.exp\\inside.txt"), "x");
       },
       {L"Lexiphon.exp\\", L"Lexiphon.exp\\inside.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.situation);
    Reset();
    RegisterWord();
    InstallPackageByHand();
    row.arrange(*this);
    EXPECT_EQ(-2, engine_->DoUninstall());
    EXPECT_EQ(row.stays, TreeOf(kTarget));
  }
}

TEST_F(UninstallTest, NothingIsTouchedWithoutExactlyOneWord) {
  InstalledWithForeignFiles();
  const Tree before = TreeOf(kTarget);
  registry_->DeleteOffice();
  EXPECT_EQ(-100, engine_->DoUninstall());
  testing::AddWordVersion(*registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11\\");
  testing::AddWordVersion(*registry_, "12.0", "C:\\Program Files\\Microsoft Office\\OFFICE12\\");
  fs_->AddFolder(L"C:\\Program Files\\Microsoft Office\\OFFICE12");
  EXPECT_EQ(-200, engine_->DoUninstall());
  EXPECT_EQ(before, TreeOf(kTarget));
  EXPECT_EQ(0u, fs_->Calls(FS::Operation::Delete));
}

TEST_F(UninstallTest, MissingStartupFolderGivesMinus1) {
  EXPECT_EQ(-1, engine_->DoUninstall());
  EXPECT_EQ(0u, fs_->Calls(FS::Operation::Delete));
}

TEST_F(UninstallTest, AFileWhereTheStartupFolderShouldBeStays) {
  fs_->AddFile(kTarget, "a file, not a folder");
  EXPECT_EQ(-1, engine_->DoUninstall()) << "a file is no startup folder";
  EXPECT_EQ("a file, not a folder", fs_->Contents(kTarget));
}

}  // namespace
}  // namespace lexiphon
