// The real LexiphonSetup.exe, driven as a user would drive it: an unpacked
// package and a Word registration are laid out, the program is started, its
// windows are clicked and typed into, its message box is read and answered,
// and what is left on disk is checked. A program that hangs is killed and
// fails the test.
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TestRegistry.h"
#include "WindowDriver_win.h"
#include "ui/Layout.h"
#include "ui/MessageCatalogue.h"
#include "ui/Window_win.h"

namespace lexiphon {

void PrintTo(const PixelRect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.width << ", " << rect.height << "}";
}

namespace {

namespace fs = std::filesystem;
using namespace driver;

// How long keys that must do nothing are given to show an effect.
constexpr DWORD kQuietMs = 1000;

const std::vector<std::wstring> kPackageFiles = {L"SortTxtFile.bat", L"Lexiphon.dot",
                                                 L"Lexiphon.exp", L"Lexiphon.ini"};
const std::vector<std::wstring> kDictionaryFiles = {L"General.dic", L"Medical.dic"};

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every entry below the folder as a relative path, sorted; empty when the
// folder is missing.
std::vector<std::wstring> Listing(const fs::path& folder) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    names.push_back(fs::relative(it->path(), folder).wstring());
  }
  std::sort(names.begin(), names.end());
  return names;
}

struct Box {
  std::wstring title;
  std::wstring text;
  bool operator==(const Box& other) const { return title == other.title && text == other.text; }
};

void PrintTo(const Box& box, std::ostream* out) {
  auto printable = [](const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) {
      if (c == L'\r') result += "\\r";
      else if (c == L'\n') result += "\\n";
      else if (c < 128) result += static_cast<char>(c);
      else result += "\\u" + std::to_string(static_cast<int>(c));
    }
    return result;
  };
  *out << "[" << printable(box.title) << "] " << printable(box.text);
}

void ExpectCentredOnScreen(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN), frame.left + frame.right, 1);
  EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN), frame.top + frame.bottom, 1);
}

Box Expected(Language language, Procedure procedure, ResultCode code,
             const std::wstring& targetDir) {
  const auto message = BuildResultMessage(language, procedure, code, L"Lexiphon.dot", targetDir);
  EXPECT_TRUE(message.has_value());
  return message ? Box{message->title, message->prompt} : Box{};
}

// Keeps the prefix's Office key, in both registry views, while the tests
// write their own; refuses to run outside a throwaway prefix.
class OfficeKeyBackup {
 public:
  static void Save() { Held() = std::make_unique<testing::OfficeKeySnapshot>(); }
  static void Restore() { Held().reset(); }

 private:
  static std::unique_ptr<testing::OfficeKeySnapshot>& Held() {
    static std::unique_ptr<testing::OfficeKeySnapshot> snapshot;
    return snapshot;
  }
};

class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { OfficeKeyBackup::Save(); }
  static void TearDownTestSuite() { OfficeKeyBackup::Restore(); }

  void SetUp() override {
    static int run = 0;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = fs::path(temp) / (L"lexiphon-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++run));
    package_ = root_ / L"package";
    wordFolder_ = root_ / L"Office" / L"OFFICE11";
    startup_ = wordFolder_ / L"Startup";

    fs::create_directories(package_ / L"Dictionaries");
    fs::create_directories(wordFolder_);
    fs::copy_file(WindowsPathOf(LEXIPHON_SETUP_EXE), package_ / L"LexiphonSetup.exe");
    for (const std::wstring& name : kPackageFiles) WriteFile(package_ / name, "sample\r\n");
    for (const std::wstring& name : kDictionaryFiles) {
      WriteFile(package_ / L"Dictionaries" / name, "sample words\r\n");
    }

    // Word's registration as Office 2003 leaves it, with a trailing "\".
    registry_ = testing::TestRegistry::Create();
    registry_->DeleteTree(testing::kOfficeKey);
    testing::AddWordVersion(*registry_, "11.0", wordFolder_.string() + "\\");
  }

  void TearDown() override {
    EndProgram();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void EndProgram() {
    if (!program_.hProcess) return;
    if (WaitForSingleObject(program_.hProcess, 0) == WAIT_TIMEOUT) {
      ADD_FAILURE() << "the program was still running; killed";
      TerminateProcess(program_.hProcess, 1);
      WaitForSingleObject(program_.hProcess, kWaitMs);
    }
    CloseHandle(program_.hProcess);
    program_ = {};
  }

  std::wstring TargetDir() const { return startup_.wstring(); }

  void InstallByHand() {
    fs::create_directories(startup_ / L"Dictionaries");
    for (const std::wstring& name : kPackageFiles) fs::copy_file(package_ / name, startup_ / name);
    for (const std::wstring& name : kDictionaryFiles) {
      fs::copy_file(package_ / L"Dictionaries" / name, startup_ / L"Dictionaries" / name);
    }
  }

  // Started from another folder: the package must be found next to the
  // program, not in its current folder.
  void Start() {
    EndProgram();
    DWORD error = 0;
    ASSERT_TRUE(StartProgram((package_ / L"LexiphonSetup.exe").wstring(), root_.wstring(),
                             &program_, &error))
        << "CreateProcess failed with " << error;
  }

  HWND WaitForWindow(const std::wstring& className) {
    HWND found = nullptr;
    bool ended = false;
    WaitUntil([&] {
      found = FindWindowOf(program_.dwProcessId, className);
      ended = WaitForSingleObject(program_.hProcess, 0) == WAIT_OBJECT_0;
      return found || ended;
    });
    if (!found) {
      DWORD exitCode = 0;
      GetExitCodeProcess(program_.hProcess, &exitCode);
      // The program ends with 1 when it cannot create its window, as under
      // Wine without an X display.
      ADD_FAILURE() << "no window of class " << fs::path(className).string() << " appeared"
                    << (ended ? "; the program ended with " + std::to_string(exitCode) : "")
                    << (ended && exitCode == 1 ? " (is there an X display for Wine?)" : "");
    }
    return found;
  }

  // Clicks a flag; the dialog opens and the chooser goes.
  HWND OpenDialog(ControlId flag) {
    HWND chooser = WaitForWindow(kChooserClassName);
    if (!chooser) return nullptr;
    Click(ControlOf(chooser, flag));
    HWND dialog = WaitForWindow(kActionDialogClassName);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); })) << "the chooser stayed open";
    return dialog;
  }

  // Reads the message box of `dialog` and presses its OK button.
  Box AnswerBoxOf(HWND dialog) {
    HWND box = WaitForWindow(kMessageBoxClass);
    if (!box) return {};
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(dialog, seen.owner);
    AnswerMessageBox(box);
    return {seen.title, seen.text};
  }

  bool MessageBoxShown() const {
    return FindWindowOf(program_.dwProcessId, kMessageBoxClass) != nullptr;
  }

  bool FocusIsOn(HWND window, ControlId id) {
    return WaitUntil([&] { return FocusOf(window) == ControlOf(window, id); });
  }

  void ExpectProgramEnds() {
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.hProcess, kWaitMs))
        << "the program did not end";
    DWORD exitCode = 1;
    GetExitCodeProcess(program_.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
  }

  std::unique_ptr<testing::TestRegistry> registry_;
  fs::path root_;
  fs::path package_;
  fs::path wordFolder_;
  fs::path startup_;
  PROCESS_INFORMATION program_{};
};

TEST_F(EndToEnd, ChooserShowsTheVersionAndTheFlagsAndItsCloseBoxEndsTheProgram) {
  Start();
  HWND chooser = WaitForWindow(kChooserClassName);
  ASSERT_NE(nullptr, chooser);

  EXPECT_EQ(L"Lexiphon Installer / Deinstaller - V1.10", TextOf(chooser));
  const SIZE client = ClientSizeOf(chooser);
  EXPECT_EQ(477, client.cx);
  EXPECT_EQ(80, client.cy);
  ExpectCentredOnScreen(chooser);
  const LONG style = GetWindowLongW(chooser, GWL_STYLE);
  EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_NE(0, style & WS_SYSMENU);

  for (const ControlLayout& control : ChooserLayout().controls) {
    SCOPED_TRACE(static_cast<int>(control.id));
    HWND button = ControlOf(chooser, control.id);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(L"", TextOf(button));
    EXPECT_NE(0, GetWindowLongW(button, GWL_STYLE) & BS_BITMAP);
    LRESULT image = 0;
    EXPECT_TRUE(Query(button, BM_GETIMAGE, IMAGE_BITMAP, 0, &image));
    EXPECT_NE(0, image);
    EXPECT_EQ(ControlRect(ChooserLayout(), control, 96), RectInParent(button));
  }
  EXPECT_TRUE(FocusIsOn(chooser, ControlId::cmdDeu));

  PostMessageW(chooser, WM_CLOSE, 0, 0);
  ExpectProgramEnds();
  EXPECT_FALSE(fs::exists(startup_));
}

TEST_F(EndToEnd, SpaceRightAfterStartOpensTheGermanDialog) {
  Start();
  HWND chooser = WaitForWindow(kChooserClassName);
  ASSERT_NE(nullptr, chooser);
  ASSERT_TRUE(FocusIsOn(chooser, ControlId::cmdDeu));
  ASSERT_TRUE(Press(chooser, {{VK_SPACE}}));
  HWND dialog = WaitForWindow(kActionDialogClassName);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(L"Lexiphon Installation / Deinstallation...", TextOf(dialog));

  PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectProgramEnds();
}

struct LanguageCase {
  const char* name;
  ControlId flag;
  Language language;
  const wchar_t* caption;
  const wchar_t* frame;
  const wchar_t* install;
  const wchar_t* uninstall;
  const wchar_t* cancel;
};

class EachLanguage : public EndToEnd, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(EachLanguage, DialogInstallsAndAfterwardsUninstallsLeavingForeignFilesAlone) {
  const LanguageCase& lang = GetParam();
  fs::create_directories(startup_);
  WriteFile(startup_ / L"Normal.dot", "not ours");

  Start();
  HWND dialog = OpenDialog(lang.flag);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(lang.caption, TextOf(dialog));
  const SIZE client = ClientSizeOf(dialog);
  EXPECT_EQ(296, client.cx);
  EXPECT_EQ(146, client.cy);
  ExpectCentredOnScreen(dialog);
  EXPECT_EQ(lang.frame, TextOf(ControlOf(dialog, ControlId::Frame1)));
  EXPECT_EQ(lang.install, TextOf(ControlOf(dialog, ControlId::optInst)));
  EXPECT_EQ(lang.uninstall, TextOf(ControlOf(dialog, ControlId::optDeInst)));
  EXPECT_EQ(L"&OK", TextOf(ControlOf(dialog, ControlId::cmdOk)));
  EXPECT_EQ(lang.cancel, TextOf(ControlOf(dialog, ControlId::cmdCancel)));
  for (const ControlLayout& control : ActionDialogLayout().controls) {
    SCOPED_TRACE(static_cast<int>(control.id));
    EXPECT_EQ(ControlRect(ActionDialogLayout(), control, 96),
              RectInParent(ControlOf(dialog, control.id)));
  }
  EXPECT_TRUE(IsChecked(ControlOf(dialog, ControlId::optInst)));
  EXPECT_FALSE(IsChecked(ControlOf(dialog, ControlId::optDeInst)));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::optInst));

  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(lang.language, Procedure::Install, 0, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds();
  const std::vector<std::wstring> installed = {
      L"Dictionaries",   L"Dictionaries\\General.dic", L"Dictionaries\\Medical.dic",
      L"Lexiphon.dot",   L"Lexiphon.exp",              L"Lexiphon.ini",
      L"Normal.dot",     L"SortTxtFile.bat"};
  EXPECT_EQ(installed, Listing(startup_));
  EXPECT_EQ("sample words\r\n", ReadFile(startup_ / L"Dictionaries" / L"General.dic"));

  Start();
  dialog = OpenDialog(lang.flag);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::optDeInst));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(ControlOf(dialog, ControlId::optDeInst)); }));
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(lang.language, Procedure::Uninstall, 0, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds();
  EXPECT_EQ(std::vector<std::wstring>{L"Normal.dot"}, Listing(startup_));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, EachLanguage,
    ::testing::Values(
        LanguageCase{"German", ControlId::cmdDeu, Language::German,
                     L"Lexiphon Installation / Deinstallation...", L"Aktion:",
                     L"Lexiphon &installieren", L"Lexiphon &de-installieren", L"&Abbruch"},
        LanguageCase{"English", ControlId::cmdEng, Language::English,
                     L"Lexiphon installation / deinstallation...", L"Action:",
                     L"&Install Lexiphon", L"&De-Install Lexiphon", L"&Cancel"},
        LanguageCase{"Portuguese", ControlId::cmdPor, Language::Portuguese,
                     L"Lexiphon instala\u00E7\u00E3o / deinstala\u00E7\u00E3o...",
                     L"A\u00E7\u00E3o:", L"&Instalar Lexiphon", L"&De-Instalar Lexiphon",
                     L"&Cancelar"}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

TEST_F(EndToEnd, WithoutWordTheInstallReportsThatWordWasNotFound) {
  registry_->DeleteTree(testing::kOfficeKey);
  Start();
  HWND dialog = OpenDialog(ControlId::cmdDeu);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::German, Procedure::Install, -100, L""), AnswerBoxOf(dialog));
  ExpectProgramEnds();
  EXPECT_FALSE(fs::exists(startup_));
}

TEST_F(EndToEnd, AMissingTemplateIsReportedAndNothingIsCopied) {
  fs::remove(package_ / L"Lexiphon.dot");
  Start();
  HWND dialog = OpenDialog(ControlId::cmdPor);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::Portuguese, Procedure::Install, -1, TargetDir()),
            AnswerBoxOf(dialog));
  ExpectProgramEnds();
  EXPECT_FALSE(fs::exists(startup_));
}

TEST_F(EndToEnd, UninstallWithoutTheStartupFolderReportsIt) {
  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::optDeInst));
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::English, Procedure::Uninstall, -1, TargetDir()),
            AnswerBoxOf(dialog));
  ExpectProgramEnds();
}

// The dialog is disabled behind its modal message box; a close request that
// still reaches it (say, from a task manager) must wait for the box.
TEST_F(EndToEnd, TheDialogOutlivesACloseRequestWhileItsMessageBoxIsOpen) {
  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  HWND box = WaitForWindow(kMessageBoxClass);
  ASSERT_NE(nullptr, box);

  PostMessageW(dialog, WM_CLOSE, 0, 0);
  Sleep(kQuietMs);
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(IsWindow(box));

  AnswerMessageBox(box);
  ExpectProgramEnds();
}

TEST_F(EndToEnd, CancelAndTheDialogsCloseBoxEndTheProgramWithoutRunningAnything) {
  struct Row {
    const char* how;
    void (*close)(HWND dialog);
  };
  const Row rows[] = {
      {"Cancel", [](HWND dialog) { Click(ControlOf(dialog, ControlId::cmdCancel)); }},
      {"close box", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    Start();
    HWND dialog = OpenDialog(ControlId::cmdEng);
    ASSERT_NE(nullptr, dialog);
    row.close(dialog);
    // A message box, being modal, would keep the program from ending.
    ExpectProgramEnds();
    EXPECT_FALSE(fs::exists(startup_));
  }
}

TEST_F(EndToEnd, AltDThenAltORunsTheUninstall) {
  InstallByHand();
  Start();
  HWND dialog = OpenDialog(ControlId::cmdPor);
  ASSERT_NE(nullptr, dialog);

  ASSERT_TRUE(Press(dialog, {{'D', true}}));
  EXPECT_TRUE(WaitUntil([&] { return IsChecked(ControlOf(dialog, ControlId::optDeInst)); }));
  EXPECT_FALSE(IsChecked(ControlOf(dialog, ControlId::optInst)));
  ASSERT_TRUE(Press(dialog, {{'O', true}}));
  EXPECT_EQ(Expected(Language::Portuguese, Procedure::Uninstall, 0, TargetDir()),
            AnswerBoxOf(dialog));
  ExpectProgramEnds();
  EXPECT_EQ(std::vector<std::wstring>{}, Listing(startup_));
}

TEST_F(EndToEnd, TabAndArrowsFollowTheFocusOrderWhileEnterAndEscapeDoNothing) {
  Start();
  HWND dialog = OpenDialog(ControlId::cmdDeu);
  ASSERT_NE(nullptr, dialog);
  ASSERT_TRUE(FocusIsOn(dialog, ControlId::optInst));

  ASSERT_TRUE(Press(dialog, {{VK_RETURN}, {VK_ESCAPE}}));
  Sleep(kQuietMs);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_FALSE(MessageBoxShown());

  // The keys after Enter and Escape arrive, so those two were not lost.
  ASSERT_TRUE(Press(dialog, {{VK_TAB}}));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::cmdOk));
  ASSERT_TRUE(Press(dialog, {{VK_TAB}}));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::cmdCancel));
  ASSERT_TRUE(Press(dialog, {{VK_TAB}}));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::optInst));

  // The arrow keys move within the option group and never on to cmdOk.
  ASSERT_TRUE(Press(dialog, {{VK_DOWN}}));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::optDeInst));
  EXPECT_TRUE(IsChecked(ControlOf(dialog, ControlId::optDeInst)));
  ASSERT_TRUE(Press(dialog, {{VK_DOWN}}));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::optInst));
  EXPECT_TRUE(IsChecked(ControlOf(dialog, ControlId::optInst)));
  EXPECT_FALSE(MessageBoxShown());

  ASSERT_TRUE(Press(dialog, {{'A', true}}));
  ExpectProgramEnds();
  EXPECT_FALSE(fs::exists(startup_));
}

// The release archive as a user meets it: unpacked by hand, or not at all.
// Run by the archive check, which unpacks the archive and names the two
// folders in LEXIPHON_UNPACKED and LEXIPHON_PACKED; skipped otherwise.
class ReleaseArchive : public EndToEnd {
 protected:
  void SetUp() override {
    const wchar_t* unpacked = _wgetenv(L"LEXIPHON_UNPACKED");
    const wchar_t* packed = _wgetenv(L"LEXIPHON_PACKED");
    if (!unpacked || !packed) GTEST_SKIP() << "run through the archive check";
    EndToEnd::SetUp();
    unpacked_ = unpacked;
    packed_ = packed;
  }
  fs::path unpacked_;
  fs::path packed_;
};

TEST_F(ReleaseArchive, RunFromTheUnpackedFolderItInstalls) {
  package_ = unpacked_;
  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::English, Procedure::Install, 0, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds();
  std::vector<std::wstring> shipped = Listing(unpacked_);
  shipped.erase(std::remove(shipped.begin(), shipped.end(), L"LexiphonSetup.exe"), shipped.end());
  EXPECT_EQ(shipped, Listing(startup_));
}

TEST_F(ReleaseArchive, RunNextToTheStillPackedArchiveItAsksToUnpackFirst) {
  package_ = packed_;
  const std::vector<std::wstring> before = Listing(packed_);
  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::English, Procedure::Install, -2, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds();
  EXPECT_FALSE(fs::exists(startup_));
  EXPECT_EQ(before, Listing(packed_));
}

}  // namespace
}  // namespace lexiphon
