// DoInstall against the in-memory file system: every outcome, and what it
// leaves on disk.
#include <string>
#include <vector>

#include "EngineScenario.h"

namespace lexiphon {
namespace {

using Op = testing::MemoryFileSystem::Operation;
using Tree = std::vector<std::wstring>;

class InstallTest : public testing::EngineScenario {
 public:
  // The startup folder after a complete install.
  const Tree kInstalled = testing::InstalledTree({L"deutsch.dic", L"english.dic"});

  // The package's single files, without its folder.
  void UnpackSingleFiles() {
    for (const std::wstring& name : testing::kPackageFiles) fs_->AddFile(Package(name), "");
  }
};

TEST_F(InstallTest, CopiesThePackageIntoWordsStartupFolder) {
  RegisterWord();
  UnpackPackage();
  const Tree package = TreeOf(kPackage);

  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, TreeOf(kTarget));
  EXPECT_EQ("new 1", fs_->Contents(Target(L"Lexiphon.dot")));
  EXPECT_EQ("new de", fs_->Contents(Target(L"Dictionaries\\deutsch.dic")));
  EXPECT_EQ(package, TreeOf(kPackage)) << "the program's folder is never changed";
}

TEST_F(InstallTest, ReplacesAnEarlierInstallAndKeepsForeignFiles) {
  RegisterWord();
  UnpackPackage();
  InstallPackageByHand();
  fs_->AddFile(Target(L"Normal.dot"), "someone else's");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ("new 0", fs_->Contents(Target(L"SortTxtFile.bat")));
  EXPECT_EQ("new en", fs_->Contents(Target(L"Dictionaries\\english.dic")));
  EXPECT_EQ("someone else's", fs_->Contents(Target(L"Normal.dot")));
  EXPECT_EQ(0u, fs_->Calls(Op::Create)) << "existing folders are used as they are";
}

TEST_F(InstallTest, CopiesOnlyTheTopLevelNormalFilesOfAPackageFolder) {
  RegisterWord();
  UnpackPackage();
  fs_->AddFile(Package(L"Dictionaries\\thumbs.db"), "x", testing::kHidden);
  fs_->AddFile(Package(L"Dictionaries\\desktop.ini"), "x", testing::kSystem);
  fs_->AddFile(Package(L"Dictionaries\\Old\\legacy.dic"), "x");
  fs_->AddFile(Package(L"Dictionaries\\readonly.dic"), "ro", testing::kReadOnly);
  EXPECT_EQ(0, engine_->DoInstall());
  const Tree expected{L"deutsch.dic", L"english.dic", L"readonly.dic"};
  EXPECT_EQ(expected, TreeOf(Target(L"Dictionaries")));
}

TEST_F(InstallTest, TenThousandDictionaryFiles) {
  RegisterWord();
  UnpackPackage();
  for (int i = 0; i < 10000; ++i)
    fs_->AddFile(Package(L"Dictionaries\\word" + std::to_wstring(i) + L".dic"), "x");
  fs_->AddFile(Package(L"Dictionaries\\secret.dic"), "x", testing::kHidden);
  fs_->AddFile(Package(L"Dictionaries\\Sub\\inner.dic"), "x");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(10002u, TreeOf(Target(L"Dictionaries")).size()) << "10,000 and the two others";
  EXPECT_FALSE(fs_->Exists(Target(L"Dictionaries\\secret.dic")));
  EXPECT_FALSE(fs_->Exists(Target(L"Dictionaries\\Sub")));
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_FALSE(fs_->Exists(Target(L"Dictionaries")));
}

TEST_F(InstallTest, EmptyPackageFolderIsCreatedEmpty) {
  RegisterWord();
  for (const std::wstring& name : testing::kPackageFiles) fs_->AddFile(Package(name), "");
  fs_->AddFolder(Package(L"Dictionaries"));
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(testing::InstalledTree({}), TreeOf(kTarget));
}

TEST_F(InstallTest, TemplateBesideAnArchiveIsInstalled) {
  RegisterWord();
  UnpackPackage();
  fs_->AddFile(Package(L"Lx110.zip"), "PK");
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_FALSE(fs_->Exists(Target(L"Lx110.zip")));
}

TEST_F(InstallTest, ListsEndAtTheirFirstEmptyEntry) {
  RegisterWord();
  UnpackPackage();
  fs_->AddFile(Package(L"Extra.txt"), "x");
  fs_->AddFolder(Package(L"Extras"));
  engine_->PackageFiles[5] = L"Extra.txt";  // index 4 stays empty
  engine_->PackageDirs[2] = L"Extras";      // index 1 stays empty
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, TreeOf(kTarget));
}

// Each failure, what the user is told, and what stays behind. Nothing is
// rolled back.
TEST_F(InstallTest, FailuresAndWhatStays) {
  struct Row {
    const char* situation;
    void (*arrange)(InstallTest&);
    ResultCode expected;
    Tree target;  // the startup folder afterwards; empty: not even created
  };
  const Row rows[] = {
      {"template missing, archive present",
       [](InstallTest& t) {
         t.fs_->AddFile(t.Package(L"Lx110.zip"), "PK");
         t.fs_->AddFile(t.Package(L"LexiphonSetup.exe"), "MZ");
       },
       -2, {}},
      {"template and archive missing",
       [](InstallTest& t) { t.fs_->AddFile(t.Package(L"LexiphonSetup.exe"), "MZ"); }, -1, {}},
      {"template hidden counts as missing",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->SetAttributes(t.Package(L"Lexiphon.dot"), testing::kHidden);
       },
       -1, {}},
      {"an archive named otherwise is no package",
       [](InstallTest& t) { t.fs_->AddFile(t.Package(L"Lexiphon.zip"), "PK"); }, -1, {}},
      {"the startup folder cannot be created",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->FailNth(Op::Create, 1);
       },
       -4, {}},
      {"a single file missing from the package",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->DeleteFiles(t.Package(L"Lexiphon.exp"));
       },
       -5, {L"Lexiphon.dot", L"SortTxtFile.bat"}},
      {"a single file in use at the destination",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->AddFile(t.Target(L"Lexiphon.dot"), "in use by Word");
         t.fs_->SetLocked(t.Target(L"Lexiphon.dot"), true);
       },
       -5, {L"Lexiphon.dot", L"SortTxtFile.bat"}},
      {"a read-only file at the destination",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->AddFile(t.Target(L"Lexiphon.ini"), "old", testing::kReadOnly);
       },
       -5, {L"Lexiphon.dot", L"Lexiphon.exp", L"Lexiphon.ini", L"SortTxtFile.bat"}},
      {"the package folder cannot be created in the startup folder",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->AddFolder(InstallTest::kTarget);
         t.fs_->FailNth(Op::Create, 1);
       },
       -4, {L"Lexiphon.dot", L"Lexiphon.exp", L"Lexiphon.ini", L"SortTxtFile.bat"}},
      {"a file stands where the package folder goes",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->AddFile(t.Target(L"Dictionaries"), "a file");
         t.fs_->SetAttributes(t.Target(L"Dictionaries"), testing::kHidden);
       },
       -4, {L"Dictionaries", L"Lexiphon.dot", L"Lexiphon.exp", L"Lexiphon.ini", L"SortTxtFile.bat"}},
      {"a plain file stands where the package folder goes",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->AddFile(t.Target(L"Dictionaries"), "a file");
       },
       -4, {L"Dictionaries", L"Lexiphon.dot", L"Lexiphon.exp", L"Lexiphon.ini", L"SortTxtFile.bat"}},
      {"the package folder missing from the package",
       [](InstallTest& t) {
         t.UnpackSingleFiles();
       },
       -3, testing::InstalledTree({})},
      {"a file stands where the package folder should be in the package",
       [](InstallTest& t) {
         t.UnpackSingleFiles();
         t.fs_->AddFile(t.Package(L"Dictionaries"), "a file");
       },
       -3, testing::InstalledTree({})},
      {"the package folder is a link to someone else's folder",
       [](InstallTest& t) {
         t.UnpackSingleFiles();
         t.fs_->AddFile(L"C:\\Users\\Other\\Private\\diary.dic", "private");
         t.fs_->AddLink(t.Package(L"Dictionaries"), L"C:\\Users\\Other\\Private");
       },
       -3, testing::InstalledTree({})},
      {"the package folder cannot be listed",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->FailNth(Op::List, 3);  // after the template check and the staging leftovers
       },
       -5, testing::InstalledTree({})},
      {"a file of the package folder cannot be copied",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.fs_->FailNth(Op::Copy, 6);
       },
       -5, testing::InstalledTree({L"deutsch.dic"})},
      {"a replacement fails: the staging folder goes too",
       [](InstallTest& t) {
         t.UnpackPackage();
         t.InstallPackageByHand();
         t.fs_->FailNth(Op::Copy, 6);
       },
       -5, kInstalled},
      {"the Word folder named with a dot at its end",
       [](InstallTest& t) {
         t.UnpackPackage();
         testing::AddWordVersion(*t.registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11.");
       },
       0, kInstalled},
      {"the Word folder named with a space before its last separator",
       [](InstallTest& t) {
         t.UnpackPackage();
         testing::AddWordVersion(*t.registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11 \\");
       },
       -100, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.situation);
    Reset();
    RegisterWord();
    row.arrange(*this);
    const Tree package = TreeOf(kPackage);
    EXPECT_EQ(row.expected, engine_->DoInstall());
    if (row.target.empty())
      EXPECT_FALSE(fs_->Exists(kTarget));
    else
      EXPECT_EQ(row.target, TreeOf(kTarget));
    EXPECT_EQ(package, TreeOf(kPackage));
  }
}

// What a run killed while copying leaves: its staging folder, empty. An
// install or uninstall that goes on into the startup folder removes it, and
// nothing that only looks like it.
TEST_F(InstallTest, EmptyStagingFoldersOfEarlierRunsGo) {
  const std::wstring leftover = L"LexiphonSetup-0123456789ABCDEF.tmp";
  const std::vector<std::wstring> lookAlikes{
      L"LexiphonSetup-0123456789ABCDE.tmp", L"LexiphonSetup-0123456789ABCDEF0.tmp",
      L"LexiphonSetup-0123456789ABCDEG.tmp", L"lx0123456789ABCDEF.tmp"};
  const std::wstring files[] = {L"LexiphonSetup-FEDCBA9876543210.tmp\\lxAB.TMP",
                                L"LexiphonSetup-1111111111111111.tmp"};
  const struct {
    ResultCode (SharedSubs::*procedure)();
    void (EngineScenario::*arrange)();  // none: no package
    ResultCode expected;
  } rows[] = {{&SharedSubs::DoInstall, &EngineScenario::UnpackPackage, 0},
              {&SharedSubs::DoInstall, nullptr, -1},
              {&SharedSubs::DoUninstall, &EngineScenario::InstallPackageByHand, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.expected);
    Reset();
    RegisterWord();
    fs_->AddFolder(Target(leftover));
    for (const std::wstring& name : lookAlikes) fs_->AddFolder(Target(name));
    for (const std::wstring& name : files) fs_->AddFile(Target(name), "");
    if (row.arrange) (this->*row.arrange)();
    EXPECT_EQ(row.expected, ((*engine_).*row.procedure)());
    EXPECT_EQ(row.expected != 0, fs_->Exists(Target(leftover)));
    for (const std::wstring& name : lookAlikes) EXPECT_TRUE(fs_->IsFolder(Target(name)));
    for (const std::wstring& name : files) EXPECT_TRUE(fs_->IsFile(Target(name)));
  }
}

TEST_F(InstallTest, WordIsLookedForBeforeThePackage) {
  UnpackPackage();
  fs_->AddFolder(kWordFolder);
  EXPECT_EQ(-100, engine_->DoInstall());
  testing::AddWordVersion(*registry_, "11.0", "C:\\Office11\\");
  testing::AddWordVersion(*registry_, "12.0", "C:\\Office12\\");
  EXPECT_EQ(-100, engine_->DoInstall()) << "registered, but neither folder exists";
  fs_->AddFolder(L"C:\\Office11");
  fs_->AddFolder(L"C:\\Office12");
  EXPECT_EQ(-200, engine_->DoInstall());
  EXPECT_FALSE(fs_->Exists(L"C:\\Office11\\Startup"));
  EXPECT_FALSE(fs_->Exists(L"C:\\Office12\\Startup"));
  EXPECT_FALSE(fs_->Exists(kTarget));
}

TEST_F(InstallTest, AFileWhereTheStartupFolderShouldBeGivesMinus4) {
  RegisterWord();
  UnpackPackage();
  fs_->AddFile(kTarget, "a file, not a folder");
  EXPECT_EQ(-4, engine_->DoInstall()) << "a file is no folder, and none can be made there";
  EXPECT_EQ("a file, not a folder", fs_->Contents(kTarget));
}

TEST_F(InstallTest, NoWordFolderOnDiskMeansNoWord) {
  // Word registered on a drive that is not there: a Word that is gone.
  UnpackPackage();
  testing::AddWordVersion(*registry_, "11.0", "Q:\\Office\\");
  EXPECT_EQ(-100, engine_->DoInstall());
  EXPECT_EQ(L"", engine_->TargetDir);
}

TEST_F(InstallTest, WordOnlyInTheOtherRegistryView) {
  UnpackPackage();
  RegisterWord(registry_->OtherView());
  EXPECT_EQ(0, engine_->DoInstall());
  EXPECT_EQ(kInstalled, TreeOf(kTarget));
  EXPECT_EQ(0, engine_->DoUninstall());
  EXPECT_TRUE(TreeOf(kTarget).empty());
}

}  // namespace
}  // namespace lexiphon
