// The file operations of install and uninstall, written once against the
// interface: natively on the in-memory double, on Windows on real files in
// a folder of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "TestFileSystem.h"
#include "engine/FileSystem.h"
#ifdef _WIN32
#include "engine/WindowsFileSystem_win.h"
#endif

namespace lexiphon {
namespace {

using testing::kHidden, testing::kReadOnly, testing::kSystem;
using Names = std::vector<std::wstring>;
using Arrange = std::function<void(testing::TestFileSystem&)>;

class FileSystemTest : public ::testing::Test {
 protected:
  // Table cases each start from an empty scenario of their own.
  void Reset() {
    scenario_.reset();
    scenario_ = testing::TestFileSystem::Create();
  }

  FileSystem& Files() { return scenario_->Api(); }
  std::wstring At(const std::wstring& relative) const { return scenario_->At(relative); }

  // Sorted, since the order of a listing is the platform's.
  Names List(const std::wstring& path, ListAttributes attributes) {
    Names names;
    Files().List(path, attributes, [&names](const std::wstring& name) {
      names.push_back(name);
      return true;
    });
    std::sort(names.begin(), names.end());
    return names;
  }

  std::unique_ptr<testing::TestFileSystem> scenario_ = testing::TestFileSystem::Create();
};

TEST_F(FileSystemTest, ListingMatchesByAttributesAndPattern) {
  scenario_->MakeFile(At(L"plain.txt"), "p");
  scenario_->MakeFile(At(L"readonly.txt"), "r", kReadOnly);
  scenario_->MakeFile(At(L"noext"), "n");
  scenario_->MakeFile(At(L"hidden.txt"), "h", kHidden);
  scenario_->MakeFile(At(L"system.txt"), "s", kSystem);
  scenario_->MakeFolder(At(L"sub"));
  scenario_->MakeFolder(At(L"hiddensub"));
  scenario_->SetAttributes(At(L"hiddensub"), kHidden);
  scenario_->MakeFolder(At(L"systemsub"));
  scenario_->SetAttributes(At(L"systemsub"), kSystem);

  const Names files = {L"noext", L"plain.txt", L"readonly.txt"};
  const Names filesAndFolder = {L"noext", L"plain.txt", L"readonly.txt", L"sub"};
  const struct {
    const wchar_t* pattern;
    ListAttributes attributes;
    Names expected;
  } cases[] = {
      {L"*", ListAttributes::Normal, files},
      {L"*", ListAttributes::Directory, filesAndFolder},
      {L"*.*", ListAttributes::Normal, files},
      {L"*.*", ListAttributes::Directory, filesAndFolder},
      {L"*.txt", ListAttributes::Normal, {L"plain.txt", L"readonly.txt"}},
      {L"?lain.*", ListAttributes::Normal, {L"plain.txt"}},
      {L"noext.*", ListAttributes::Normal, {L"noext"}},
      {L"*.doc", ListAttributes::Directory, {}},
      {L"plain.txt", ListAttributes::Normal, {L"plain.txt"}},
      {L"plain.txt", ListAttributes::Directory, {L"plain.txt"}},
      {L"PLAIN.TXT", ListAttributes::Normal, {L"plain.txt"}},
      {L"readonly.txt", ListAttributes::Normal, {L"readonly.txt"}},
      {L"sub", ListAttributes::Normal, {}},
      {L"sub", ListAttributes::Directory, {L"sub"}},
      {L"hidden.txt", ListAttributes::Directory, {}},
      {L"system.txt", ListAttributes::Directory, {}},
      {L"hiddensub", ListAttributes::Directory, {}},
      {L"systemsub", ListAttributes::Directory, {}},
      {L"missing.txt", ListAttributes::Directory, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << testing::Narrow(c.pattern) << " with "
                 << static_cast<int>(c.attributes));
    EXPECT_EQ(List(At(c.pattern), c.attributes), c.expected);
  }
}

TEST_F(FileSystemTest, ListingNeverYieldsDotEntries) {
  scenario_->MakeFolder(At(L"empty"));
  EXPECT_EQ(List(At(L"empty\\*"), ListAttributes::Directory), Names());
  EXPECT_EQ(List(At(L"empty\\*.*"), ListAttributes::Directory), Names());
  EXPECT_FALSE(Files().Exists(At(L"empty\\*.*"), ListAttributes::Directory));
}

TEST_F(FileSystemTest, ListingThatFailsYieldsNothing) {
  scenario_->MakeFile(At(L"plain.txt"), "p");
  scenario_->MakeFolder(At(L"sub"));
  for (const wchar_t* path : {L"missing\\*.*", L"missing\\plain.txt", L"plain.txt\\*", L"sub\\",
                              L"bad|name", L"bad|dir\\*.*", L"bad<dir\\plain.txt"}) {
    SCOPED_TRACE(testing::Narrow(path));
    EXPECT_EQ(List(At(path), ListAttributes::Directory), Names());
  }
  // A failure must not pass for an empty folder; a name that is not there
  // is no failure.
  const auto listed = [this](const wchar_t* path) {
    return Files().List(At(path), ListAttributes::Normal, [](const std::wstring&) { return true; });
  };
  EXPECT_FALSE(listed(L"missing\\*.*"));
  EXPECT_FALSE(listed(L"bad|dir\\*.*"));
  EXPECT_TRUE(listed(L"sub\\*.*"));
  EXPECT_TRUE(listed(L"nothing-like-this.*"));
}

TEST_F(FileSystemTest, ListingStopsWhenTheCallerHasEnough) {
  for (const wchar_t* name : {L"a.dic", L"b.dic", L"c.dic"}) scenario_->MakeFile(At(name), "x");
  int calls = 0;
  Files().List(At(L"*.dic"), ListAttributes::Normal, [&calls](const std::wstring&) {
    ++calls;
    return false;
  });
  EXPECT_EQ(calls, 1);
}

TEST_F(FileSystemTest, CreateFolderMakesOneNewLevel) {
  const struct {
    const char* name;
    Arrange setup;
    const wchar_t* path;
    bool created;
    Names tree;
  } cases[] = {
      {"new", nullptr, L"new", true, {L"new\\"}},
      {"exists already", [this](auto& s) { s.MakeFolder(At(L"new")); }, L"new", false,
       {L"new\\"}},
      {"parent missing", nullptr, L"missing\\new", false, {}},
      {"a file has the name", [this](auto& s) { s.MakeFile(At(L"new"), "x"); }, L"new", false,
       {L"new"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.setup) c.setup(*scenario_);
    EXPECT_EQ(Files().CreateFolder(At(c.path)), c.created);
    EXPECT_EQ(scenario_->Tree(), c.tree);
  }
}

TEST_F(FileSystemTest, CopyCreatesThenReplaces) {
  scenario_->MakeFile(At(L"source\\Lexiphon.dot"), "first");
  scenario_->MakeFolder(At(L"target"));
  ASSERT_TRUE(Files().CopyFileOver(At(L"source\\Lexiphon.dot"), At(L"target\\Lexiphon.dot")));
  EXPECT_EQ(scenario_->Contents(At(L"target\\Lexiphon.dot")), "first");

  scenario_->MakeFile(At(L"source\\Lexiphon.dot"), "second, longer");
  ASSERT_TRUE(Files().CopyFileOver(At(L"source\\Lexiphon.dot"), At(L"target\\Lexiphon.dot")));
  EXPECT_EQ(scenario_->Contents(At(L"target\\Lexiphon.dot")), "second, longer");

  // Read-only or hidden sources give plain copies, new or replacing.
  scenario_->MakeFile(At(L"source\\Lexiphon.ini"), "from a CD", kReadOnly | kHidden | kSystem);
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(Files().CopyFileOver(At(L"source\\Lexiphon.ini"), At(L"target\\Lexiphon.ini")));
    EXPECT_EQ(scenario_->Attributes(At(L"target\\Lexiphon.ini")), 0u);
  }
  EXPECT_EQ(scenario_->Tree(), (Names{L"source\\", L"source\\Lexiphon.dot", L"source\\Lexiphon.ini",
                                      L"target\\", L"target\\Lexiphon.dot", L"target\\Lexiphon.ini"}))
      << "no temporary file is left";
}

TEST_F(FileSystemTest, FailedCopyChangesNothing) {
  const struct {
    const char* name;
    Arrange setup;
    const wchar_t* from;
    const wchar_t* to;
  } cases[] = {
      {"read-only destination", [this](auto& s) { s.SetAttributes(At(L"old.txt"), kReadOnly); },
       L"new.txt", L"old.txt"},
      {"destination held open", [this](auto& s) { s.HoldOpen(At(L"old.txt")); }, L"new.txt",
       L"old.txt"},
      {"source held open", [this](auto& s) { s.HoldOpen(At(L"new.txt")); }, L"new.txt",
       L"old.txt"},
      {"source missing", nullptr, L"missing.txt", L"old.txt"},
      {"source missing, new destination", nullptr, L"missing.txt", L"fresh.txt"},
      {"source is a folder", nullptr, L"folder", L"old.txt"},
      {"destination is a folder", nullptr, L"new.txt", L"folder"},
      {"destination folder missing", nullptr, L"new.txt", L"missing\\old.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    scenario_->MakeFile(At(L"new.txt"), "new");
    scenario_->MakeFile(At(L"old.txt"), "old");
    scenario_->MakeFolder(At(L"folder"));
    if (c.setup) c.setup(*scenario_);
    const unsigned attributes = scenario_->Attributes(At(L"old.txt"));
    const Names tree = scenario_->Tree();

    EXPECT_FALSE(Files().CopyFileOver(At(c.from), At(c.to)));
    scenario_->ReleaseAll();
    EXPECT_EQ(scenario_->Tree(), tree);
    EXPECT_EQ(scenario_->Contents(At(L"old.txt")), "old");
    EXPECT_EQ(scenario_->Attributes(At(L"old.txt")), attributes);
  }
}

// Whoever can write into Word's startup folder must not get hold of a
// temporary file by its name: swapped for a link, it would have the update
// overwrite a file of their choosing and move it into the startup folder.
TEST_F(FileSystemTest, ATemporaryFileCannotBeTakenOverByName) {
  if (!scenario_->IsReal()) GTEST_SKIP() << "the double makes no temporary files";
  for (const wchar_t* name : {L"Lexiphon.dot", L"Dictionaries\\a.dic"}) {
    scenario_->MakeFile(At(std::wstring(L"source\\") + name), "package");
    scenario_->MakeFile(At(std::wstring(L"target\\") + name), "old");
  }
  scenario_->MakeFile(At(L"target\\Normal.dot"), "someone else's");
  const Names tree = scenario_->Tree();
  const auto& contention = scenario_->ContendForTemporaryFiles();

  {
    const CopiesInto copies(Files(), At(L"target"));
    for (const wchar_t* name : {L"Lexiphon.dot", L"Dictionaries\\a.dic"}) {
      EXPECT_TRUE(Files().CopyFileOver(At(std::wstring(L"source\\") + name),
                                       At(std::wstring(L"target\\") + name)));
      EXPECT_EQ(scenario_->Contents(At(std::wstring(L"target\\") + name)), "package");
    }
  }
  EXPECT_EQ(contention.tried, 6);
  EXPECT_EQ(contention.succeeded, 0);
  EXPECT_EQ(scenario_->Contents(At(L"target\\Normal.dot")), "someone else's");
  EXPECT_EQ(scenario_->Tree(), tree) << "no temporary file or staging folder is left";
}

// Paths as Windows resolves them before it opens anything: the double must
// agree, since the Word folder counted is the one resolved.
TEST_F(FileSystemTest, FullPathResolvesAsWindowsDoes) {
  const struct {
    const wchar_t* path;
    const wchar_t* full;
  } cases[] = {
      {L"Office16", L"Office16"},
      {L"Office16 ", L"Office16"},
      {L"Office16.", L"Office16"},
      {L"Office16. .", L"Office16"},
      {L"Office16 \\", L"Office16 \\"},
      {L"Office16.\\Startup", L"Office16\\Startup"},
      {L"Office16 \\Startup", L"Office16 \\Startup"},
      {L"a\\.\\b\\..\\c\\", L"a\\c\\"},
      {L"a\\\\b", L"a\\b"},
      {L"a/b", L"a\\b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Narrow(c.path));
    EXPECT_EQ(Files().FullPath(At(c.path)), At(c.full));
  }
}

TEST_F(FileSystemTest, DeleteFilesTakesFilesOnlyAndKeepsReadOnlyOnes) {
  const auto package = [this](testing::TestFileSystem& s) {
    s.MakeFile(At(L"pkg\\a.dic"), "a");
    s.MakeFile(At(L"pkg\\hidden.dic"), "h", kHidden);
    s.MakeFile(At(L"pkg\\system.dic"), "s", kSystem);
    s.MakeFile(At(L"pkg\\noext"), "n");
    s.MakeFile(At(L"pkg\\sub\\inner.dic"), "i");
    s.MakeFolder(At(L"pkg\\emptysub"));
  };
  // The read-only and the busy file sit between others, so the deletion
  // must go on past them.
  const auto withBlocker = [this](const wchar_t* name, unsigned attributes, bool held) {
    return [this, name, attributes, held](testing::TestFileSystem& s) {
      s.MakeFile(At(L"pkg\\a.dic"), "a");
      s.MakeFile(At(std::wstring(L"pkg\\") + name), "b", attributes);
      s.MakeFile(At(L"pkg\\z.dic"), "z");
      if (held) s.HoldOpen(At(std::wstring(L"pkg\\") + name));
    };
  };
  const struct {
    const char* name;
    Arrange setup;
    const wchar_t* path;
    bool deleted;
    Names tree;
    const wchar_t* readOnly = nullptr;  // must keep its attribute
  } cases[] = {
      {"every file, hidden and system ones too", package, L"pkg\\*.*", true,
       {L"pkg\\", L"pkg\\emptysub\\", L"pkg\\sub\\", L"pkg\\sub\\inner.dic"}},
      {"only what the pattern matches",
       [this](auto& s) {
         s.MakeFile(At(L"pkg\\a.dic"), "a");
         s.MakeFile(At(L"pkg\\notes.txt"), "n");
         s.MakeFile(At(L"pkg\\b.dic"), "b");
       },
       L"pkg\\*.dic", true, {L"pkg\\", L"pkg\\notes.txt"}},
      {"one read-only file", withBlocker(L"m.dic", kReadOnly, false), L"pkg\\*.*", false,
       {L"pkg\\", L"pkg\\m.dic"}, L"pkg\\m.dic"},
      {"one file held open", withBlocker(L"m.dic", 0, true), L"pkg\\*.*", false,
       {L"pkg\\", L"pkg\\m.dic"}},
      {"empty folder", [this](auto& s) { s.MakeFolder(At(L"pkg")); }, L"pkg\\*.*", false,
       {L"pkg\\"}},
      {"only a subfolder", [this](auto& s) { s.MakeFolder(At(L"pkg\\sub")); }, L"pkg\\*.*", false,
       {L"pkg\\", L"pkg\\sub\\"}},
      {"folder missing", nullptr, L"pkg\\*.*", false, {}},
      {"one file", package, L"pkg\\a.dic", true,
       {L"pkg\\", L"pkg\\emptysub\\", L"pkg\\hidden.dic", L"pkg\\noext", L"pkg\\sub\\",
        L"pkg\\sub\\inner.dic", L"pkg\\system.dic"}},
      {"one hidden file", [this](auto& s) { s.MakeFile(At(L"x.ini"), "x", kHidden); }, L"x.ini",
       true, {}},
      {"one read-only file alone", [this](auto& s) { s.MakeFile(At(L"x.ini"), "x", kReadOnly); },
       L"x.ini", false, {L"x.ini"}, L"x.ini"},
      {"one file held open alone",
       [this](auto& s) {
         s.MakeFile(At(L"x.ini"), "x");
         s.HoldOpen(At(L"x.ini"));
       },
       L"x.ini", false, {L"x.ini"}},
      {"one missing file", nullptr, L"x.ini", false, {}},
      {"a folder by name", [this](auto& s) { s.MakeFolder(At(L"x.ini")); }, L"x.ini", false,
       {L"x.ini\\"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.setup) c.setup(*scenario_);
    EXPECT_EQ(Files().DeleteFiles(At(c.path)), c.deleted);
    scenario_->ReleaseAll();
    EXPECT_EQ(scenario_->Tree(), c.tree);
    if (c.readOnly) {
      EXPECT_EQ(scenario_->Attributes(At(c.readOnly)), unsigned{kReadOnly});
    }
  }
}

TEST_F(FileSystemTest, RemoveFolderTakesOnlyEmptyFolders) {
  const struct {
    const char* name;
    Arrange setup;
    bool removed;
    Names tree;
  } cases[] = {
      {"empty", [this](auto& s) { s.MakeFolder(At(L"dir")); }, true, {}},
      {"holds a file", [this](auto& s) { s.MakeFile(At(L"dir\\a.dic"), "a"); }, false,
       {L"dir\\", L"dir\\a.dic"}},
      {"holds a hidden file", [this](auto& s) { s.MakeFile(At(L"dir\\h.dic"), "h", kHidden); },
       false, {L"dir\\", L"dir\\h.dic"}},
      {"holds an empty folder", [this](auto& s) { s.MakeFolder(At(L"dir\\sub")); }, false,
       {L"dir\\", L"dir\\sub\\"}},
      {"missing", nullptr, false, {}},
      {"a file", [this](auto& s) { s.MakeFile(At(L"dir"), "f"); }, false, {L"dir"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    if (c.setup) c.setup(*scenario_);
    EXPECT_EQ(Files().RemoveFolder(At(L"dir")), c.removed);
    EXPECT_EQ(scenario_->Tree(), c.tree);
  }
}

TEST_F(FileSystemTest, NamesWithSpacesAndNonLatinLettersWork) {
  const std::wstring folder = L"Ordner mit Ümläuten ünd 日本語";
  const std::wstring file = L"Wörterbuch ü 日本.dic";
  scenario_->MakeFile(At(L"Quelle 日本.dic"), "inhalt");

  ASSERT_TRUE(Files().CreateFolder(At(folder)));
  ASSERT_TRUE(Files().CopyFileOver(At(L"Quelle 日本.dic"), At(folder + L"\\" + file)));
  EXPECT_EQ(scenario_->Contents(At(folder + L"\\" + file)), "inhalt");
  EXPECT_EQ(List(At(folder + L"\\*.*"), ListAttributes::Normal), Names{file});
  // Names compare without regard to case, beyond ASCII too.
  EXPECT_EQ(List(At(L"ORDNER MIT ÜMLÄUTEN ÜND 日本語"), ListAttributes::Directory),
            Names{folder});
  EXPECT_TRUE(Files().DeleteFiles(At(folder + L"\\*.*")));
  EXPECT_TRUE(Files().RemoveFolder(At(folder)));
  EXPECT_EQ(scenario_->Tree(), Names{L"Quelle 日本.dic"});
}

// A Word folder counts only when it is there, and once however it is spelt.
TEST_F(FileSystemTest, FolderExistsAndWhichFolderAPathReaches) {
  const std::wstring word = At(L"Microsoft Office Word");
  scenario_->MakeFolder(word);
  scenario_->MakeFolder(At(L"Hidden"));
  scenario_->SetAttributes(At(L"Hidden"), kHidden | kSystem);
  scenario_->MakeFolder(At(L"ReadOnly"));
  scenario_->SetAttributes(At(L"ReadOnly"), kReadOnly);
  scenario_->MakeFile(At(L"file"), "x");
  const std::wstring wordIdentity = Files().FolderIdentity(word);
  EXPECT_FALSE(wordIdentity.empty());

  const struct {
    std::wstring path;
    bool exists;
    bool isWord;  // reaches the same folder as `word`
  } cases[] = {
      {word, true, true},
      {word + L"\\", true, true},
      {At(L"MICROSOFT office word"), true, true},
      {At(L"Hidden\\..\\Microsoft Office Word"), true, true},
      {scenario_->ShortPath(word), true, true},
      {At(L"Hidden"), true, false},
      {At(L"ReadOnly"), true, false},
      {scenario_->Root(), true, false},
      {At(L"file"), false, false},
      {At(L"missing"), false, false},
      {At(L"Microsoft*"), false, false},
      {L"Q:\\Microsoft Office", false, false},
      {L"", false, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(testing::Narrow(row.path));
    EXPECT_EQ(row.exists, Files().FolderExists(row.path));
    const std::wstring identity = Files().FolderIdentity(row.path);
    EXPECT_EQ(row.exists, !identity.empty());
    EXPECT_EQ(row.isWord, identity == wordIdentity);
  }
}

#ifdef _WIN32
// Where install takes the package from; Windows only, as is the program.
TEST_F(FileSystemTest, ProgramFolderHoldsTheRunningProgram) {
  const std::wstring folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_TRUE(Files().Exists(folder, ListAttributes::Directory));
  EXPECT_TRUE(Files().Exists(folder + L"\\*.exe", ListAttributes::Normal));
}
#endif

using MemoryOperation = testing::MemoryFileSystem::Operation;

TEST(MemoryFileSystemTest, FailNthFailsThatOneCallAndChangesNothing) {
  using Call = std::function<bool(testing::MemoryFileSystem&, const std::wstring& n)>;
  const struct {
    const char* name;
    MemoryOperation operation;
    Call call;
  } cases[] = {
      {"list", MemoryOperation::List,
       [](auto& fs, auto& n) {
         return fs.Exists(L"C:\\d\\f" + n + L".dic", ListAttributes::Normal);
       }},
      {"create", MemoryOperation::Create,
       [](auto& fs, auto& n) { return fs.CreateFolder(L"C:\\d\\new" + n); }},
      {"copy", MemoryOperation::Copy,
       [](auto& fs, auto& n) {
         return fs.CopyFileOver(L"C:\\d\\f" + n + L".dic", L"C:\\d\\copy" + n + L".dic");
       }},
      {"delete", MemoryOperation::Delete,
       [](auto& fs, auto& n) { return fs.DeleteFiles(L"C:\\d\\f" + n + L".dic"); }},
      {"remove", MemoryOperation::Remove,
       [](auto& fs, auto& n) { return fs.RemoveFolder(L"C:\\d\\empty" + n); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::MemoryFileSystem fs;
    for (const wchar_t* n : {L"0", L"1", L"2", L"3"}) {
      fs.AddFile(std::wstring(L"C:\\d\\f") + n + L".dic", "x");
      fs.AddFolder(std::wstring(L"C:\\d\\empty") + n);
    }
    EXPECT_TRUE(c.call(fs, L"0"));  // before the hook: not counted
    fs.FailNth(c.operation, 2);
    EXPECT_TRUE(c.call(fs, L"1"));
    const Names before = fs.Tree();
    EXPECT_FALSE(c.call(fs, L"2"));
    EXPECT_EQ(fs.Tree(), before);
    EXPECT_TRUE(c.call(fs, L"3"));
    EXPECT_EQ(fs.Calls(c.operation), 4u);
  }
}

TEST(MemoryFileSystemTest, FaultsOfOneKindLeaveTheOthersAlone) {
  testing::MemoryFileSystem fs;
  fs.AddFile(L"C:\\d\\a.dic", "a");
  fs.FailNth(MemoryOperation::Copy, 1);
  EXPECT_TRUE(fs.CreateFolder(L"C:\\e"));
  EXPECT_TRUE(fs.Exists(L"C:\\d\\a.dic", ListAttributes::Normal));
  EXPECT_FALSE(fs.CopyFileOver(L"C:\\d\\a.dic", L"C:\\e\\a.dic"));
  EXPECT_EQ(fs.Tree(L"C:\\e"), Names());
  EXPECT_TRUE(fs.CopyFileOver(L"C:\\d\\a.dic", L"C:\\e\\a.dic"));
}

}  // namespace
}  // namespace lexiphon
