// The real LexiphonSetup.exe, driven as a user would drive it: an unpacked
// package and a Word registration are laid out, the program is started, its
// windows are clicked and typed into, its message box is read and answered,
// and what is left on disk is checked. A program that hangs is killed and
// fails the test.
#include "platform/WinApi.h"

#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TestFileSystem.h"
#include "TestRegistry.h"
#include "TestSupport.h"
#include "WindowDriver_win.h"
#include "ui/Layout.h"
#include "ui/MessageCatalogue.h"
#include "platform/ScopedHandle_win.h"
#include "ui/ActionDialog_win.h"
#include "ui/ProcedureLock_win.h"
#include "ui/frmMain_win.h"

namespace lexiphon {
namespace {

namespace fs = std::filesystem;
using namespace driver;

// How long keys that must do nothing are given to show an effect.
constexpr DWORD kQuietMs = 1000;

using testing::kPackageFiles;
const std::vector<std::wstring> kDictionaryFiles = {L"General.dic", L"Medical.dic"};

void WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every entry below the folder as a relative path, folders ending in "\",
// sorted; empty when the folder is missing.
std::vector<std::wstring> Listing(const fs::path& folder) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    names.push_back(fs::relative(it->path(), folder).wstring() +
                    (it->is_directory() ? L"\\" : L""));
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
  *out << "[" << testing::Utf8(box.title) << "] " << testing::Utf8(box.text);
}

// The name a screen reader announces: MSAA's accName of the control.
std::wstring AccessibleName(HWND control) {
  static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  static_cast<void>(com);
  IAccessible* accessible = nullptr;
  // The IID by value: the one in MinGW's import libraries is not it.
  const HRESULT found =
      AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                 __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
  if (FAILED(found)) return L"(no accessible object: " + std::to_wstring(found) + L")";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring result = L"(no name)";
  if (accessible->get_accName(self, &name) == S_OK && name) result = name;
  SysFreeString(name);
  accessible->Release();
  return result;
}

// True when `shown` holds `expected` drawn centred and a few pixels larger.
// Only the middle is compared: the button may draw its frame and focus
// rectangle over the picture's edges.
bool ShowsImage(const Image& shown, const Image& expected) {
  constexpr int kEdge = 4;
  const int left = (shown.width - expected.width) / 2;
  const int top = (shown.height - expected.height) / 2;
  // Centring may round either way, and a button may shift its picture.
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      bool same = true;
      for (int y = kEdge; y < shown.height - kEdge && same; ++y) {
        for (int x = kEdge; x < shown.width - kEdge && same; ++x) {
          same = shown.At(x, y) == expected.At(x - left - dx, y - top - dy);
        }
      }
      if (same) return true;
    }
  }
  return false;
}

// The button shows the bitmap file pixel for pixel. The screen is read
// again for up to two seconds: on a busy machine the X server may not have
// drawn the button yet.
void ExpectShowsBitmap(HWND button, const std::wstring& bmpPath) {
  const Image expected = LoadBitmapFile(bmpPath);
  ASSERT_FALSE(expected.pixels.empty()) << "cannot load " << fs::path(bmpPath).string();
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (attempt > 0) Sleep(100);
    const Image shown = Capture(button);
    ASSERT_FALSE(shown.pixels.empty()) << "cannot read the screen";
    if (ShowsImage(shown, expected)) return;
  }
  ADD_FAILURE() << "the button does not show " << fs::path(bmpPath).string();
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

// The registry the tests write is the prefix's, which TestRegistry keeps
// and puts back; the files they lay out go to its temp folder.
class EndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::RequireThrowawayPrefix(); }

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
    if (driver::EndProgram(&program_)) ADD_FAILURE() << "the program was still running; killed";
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
  void Start(const fs::path& exe = fs::path()) {
    EndProgram();
    DWORD error = 0;
    ASSERT_TRUE(StartProgram((exe.empty() ? package_ / L"LexiphonSetup.exe" : exe).wstring(),
                             root_.wstring(), &program_, &error))
        << "CreateProcess failed with " << error;
  }

  HWND WaitForWindow(const std::wstring& className) {
    HWND found = nullptr;
    bool ended = false;
    WaitUntil([&] {
      found = FindWindowOf(program_.id, className);
      ended = WaitForSingleObject(program_.process.Get(), 0) == WAIT_OBJECT_0;
      return found || ended;
    });
    if (!found) {
      DWORD exitCode = 0;
      GetExitCodeProcess(program_.process.Get(), &exitCode);
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
    return FindWindowOf(program_.id, kMessageBoxClass) != nullptr;
  }

  bool FocusIsOn(HWND window, ControlId id) {
    return WaitUntil([&] { return FocusOf(window) == ControlOf(window, id); });
  }

  // The exit code is the procedure's result code, sign-extended: -100 is
  // 0xFFFFFF9C. A crash would end the program with an exception code.
  void ExpectProgramEnds(int exitCode) {
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(program_.process.Get(), kWaitMs))
        << "the program did not end";
    DWORD ended = 0;
    GetExitCodeProcess(program_.process.Get(), &ended);
    EXPECT_EQ(static_cast<DWORD>(exitCode), ended);
  }

  // Starts the program (from `exe` when given), installs in English, with
  // `beforeOk` run while the dialog is open, and reads the outcome.
  void InstallInEnglish(int resultCode, const fs::path& exe = fs::path(),
                        const std::function<void()>& beforeOk = {}) {
    Start(exe);
    HWND dialog = OpenDialog(ControlId::cmdEng);
    ASSERT_NE(nullptr, dialog);
    if (beforeOk) beforeOk();
    Click(ControlOf(dialog, ControlId::cmdOk));
    EXPECT_EQ(Expected(Language::English, Procedure::Install, resultCode, TargetDir()),
              AnswerBoxOf(dialog));
    ExpectProgramEnds(resultCode);
  }

  std::unique_ptr<testing::TestRegistry> registry_;
  fs::path root_;
  fs::path package_;
  fs::path wordFolder_;
  fs::path startup_;
  StartedProgram program_;
};

TEST_F(EndToEnd, ChooserShowsTheVersionAndTheFlagsAndItsCloseBoxEndsTheProgram) {
  Start();
  HWND chooser = WaitForWindow(kChooserClassName);
  ASSERT_NE(nullptr, chooser);

  EXPECT_EQ(L"Lexiphon Installer / Deinstaller - V" LEXIPHON_VERSION_TEXT, TextOf(chooser));
  const SIZE client = ClientSizeOf(chooser);
  EXPECT_EQ(477, client.cx);
  EXPECT_EQ(80, client.cy);
  ExpectCentredOnScreen(chooser);
  const LONG style = GetWindowLongW(chooser, GWL_STYLE);
  EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_NE(0, style & WS_SYSMENU);

  struct Flag {
    ControlId id;
    const wchar_t* name;
    const char* bitmap;
  };
  const Flag flags[] = {{ControlId::cmdDeu, L"Deutsch", "flag_deu.bmp"},
                        {ControlId::cmdEng, L"English", "flag_eng.bmp"},
                        {ControlId::cmdPor, L"Portugu\u00EAs", "flag_por.bmp"}};
  EXPECT_TRUE(FocusIsOn(chooser, ControlId::cmdDeu));
  SetForegroundWindow(chooser);
  for (std::size_t i = 0; i < std::size(flags); ++i) {
    const Flag& flag = flags[i];
    const ControlLayout& control = ChooserLayout().controls.at(i);
    ASSERT_EQ(flag.id, control.id);
    SCOPED_TRACE(flag.bitmap);
    HWND button = ControlOf(chooser, flag.id);
    ASSERT_NE(nullptr, button);
    // Named for a screen reader, showing only the picture.
    EXPECT_EQ(flag.name, TextOf(button));
    EXPECT_EQ(flag.name, AccessibleName(button));
    const LONG buttonStyle = GetWindowLongW(button, GWL_STYLE);
    EXPECT_NE(0, buttonStyle & BS_BITMAP);
    EXPECT_EQ(BS_PUSHBUTTON, buttonStyle & BS_TYPEMASK);
    LRESULT image = 0;
    EXPECT_TRUE(Query(button, BM_GETIMAGE, IMAGE_BITMAP, 0, &image));
    EXPECT_NE(0, image);
    EXPECT_EQ(ControlRect(ChooserLayout(), control, 96), RectInParent(button));
    ExpectShowsBitmap(button, WindowsPathOf(LEXIPHON_RESOURCES_DIR) + L"\\" +
                                  fs::path(flag.bitmap).wstring());
  }

  PostMessageW(chooser, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectProgramEnds(kExitUserCancelled);
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
  ExpectProgramEnds(kExitUserCancelled);
}

struct LanguageCase {
  const char* name;
  ControlId flag;
  Language language;
};

class EachLanguage : public EndToEnd, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(EachLanguage, DialogInstallsAndAfterwardsUninstallsLeavingForeignFilesAlone) {
  const LanguageCase& lang = GetParam();
  fs::create_directories(startup_);
  WriteFile(startup_ / L"Normal.dot", "not ours");

  Start();
  HWND dialog = OpenDialog(lang.flag);
  ASSERT_NE(nullptr, dialog);
  const ActionDialogTexts& texts = ActionDialogTextsFor(lang.language);
  EXPECT_EQ(texts.caption, TextOf(dialog));
  const SIZE client = ClientSizeOf(dialog);
  EXPECT_EQ(296, client.cx);
  EXPECT_EQ(146, client.cy);
  ExpectCentredOnScreen(dialog);
  for (const ControlLayout& control : ActionDialogLayout().controls) {
    SCOPED_TRACE(static_cast<int>(control.id));
    EXPECT_EQ(texts.TextOf(control.id), TextOf(ControlOf(dialog, control.id)));
    EXPECT_EQ(ControlRect(ActionDialogLayout(), control, 96),
              RectInParent(ControlOf(dialog, control.id)));
  }
  EXPECT_TRUE(IsChecked(ControlOf(dialog, ControlId::optInst)));
  EXPECT_FALSE(IsChecked(ControlOf(dialog, ControlId::optDeInst)));
  EXPECT_TRUE(FocusIsOn(dialog, ControlId::optInst));

  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(lang.language, Procedure::Install, 0, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds(result::kSuccess);
  EXPECT_EQ(testing::InstalledTree(kDictionaryFiles, {L"Normal.dot"}), Listing(startup_));
  EXPECT_EQ("sample words\r\n", ReadFile(startup_ / L"Dictionaries" / L"General.dic"));

  Start();
  dialog = OpenDialog(lang.flag);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::optDeInst));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(ControlOf(dialog, ControlId::optDeInst)); }));
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(lang.language, Procedure::Uninstall, 0, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds(result::kSuccess);
  EXPECT_EQ(std::vector<std::wstring>{L"Normal.dot"}, Listing(startup_));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, EachLanguage,
    ::testing::Values(LanguageCase{"German", ControlId::cmdDeu, Language::German},
                      LanguageCase{"English", ControlId::cmdEng, Language::English},
                      LanguageCase{"Portuguese", ControlId::cmdPor, Language::Portuguese}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

TEST_F(EndToEnd, WithoutWordTheInstallReportsThatWordWasNotFound) {
  registry_->DeleteTree(testing::kOfficeKey);
  Start();
  HWND dialog = OpenDialog(ControlId::cmdDeu);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::German, Procedure::Install, -100, L""), AnswerBoxOf(dialog));
  ExpectProgramEnds(result::kWordNotFound);
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
  ExpectProgramEnds(result::kInstallPackageMissing);
  EXPECT_FALSE(fs::exists(startup_));
}

TEST_F(EndToEnd, UninstallFailuresAreReportedAndEndTheProgramWithTheirCode) {
  struct Row {
    const char* what;
    ResultCode code;
    bool twoWords;
  };
  const Row rows[] = {{"no startup folder", result::kUninstallTargetMissing, false},
                      {"two Words", result::kWordAmbiguous, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.twoWords) {
      // A second Word of its own: the same folder registered twice is one Word.
      const fs::path secondWord = root_ / L"Office" / L"OFFICE12";
      fs::create_directories(secondWord);
      testing::AddWordVersion(*registry_, "12.0", secondWord.string());
    }
    Start();
    HWND dialog = OpenDialog(ControlId::cmdEng);
    ASSERT_NE(nullptr, dialog);
    Click(ControlOf(dialog, ControlId::optDeInst));
    Click(ControlOf(dialog, ControlId::cmdOk));
    EXPECT_EQ(Expected(Language::English, Procedure::Uninstall, row.code, TargetDir()),
              AnswerBoxOf(dialog));
    ExpectProgramEnds(row.code);
  }
}

// Clicks and close requests that reach the dialog while its procedure or
// message box runs, posted right after OK as a quick double click or a
// task manager would: one procedure runs, one box shows and stays until it
// is answered, and the dialog outlives them.
TEST_F(EndToEnd, WhileOkIsHandledFurtherClicksAndCloseRequestsAreIgnored) {
  struct Row {
    const char* what;
    void (*post)(HWND dialog);
  };
  const Row rows[] = {
      {"second OK", [](HWND dialog) { Click(ControlOf(dialog, ControlId::cmdOk)); }},
      {"Cancel", [](HWND dialog) { Click(ControlOf(dialog, ControlId::cmdCancel)); }},
      {"close request", [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Start();
    HWND dialog = OpenDialog(ControlId::cmdEng);
    ASSERT_NE(nullptr, dialog);
    Click(ControlOf(dialog, ControlId::cmdOk));
    row.post(dialog);
    HWND box = WaitForWindow(kMessageBoxClass);
    ASSERT_NE(nullptr, box);
    Sleep(kQuietMs);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindow(box));
    EXPECT_EQ(Expected(Language::English, Procedure::Install, 0, TargetDir()), AnswerBoxOf(dialog));
    // A second procedure would show a second box and keep the program open.
    ExpectProgramEnds(result::kSuccess);
  }
}

// Anyone can post to a window. A WM_DPICHANGED without its rectangle or
// with a DPI no screen has, and a click that names a control but does not
// come from it, change nothing; a rectangle pointer into nowhere is never
// read.
TEST_F(EndToEnd, MessagesThatWindowsWouldNotSendAreIgnored) {
  const WPARAM dpi144 = MAKEWPARAM(144, 144);
  Start();
  HWND chooser = WaitForWindow(kChooserClassName);
  ASSERT_NE(nullptr, chooser);
  PostMessageW(chooser, WM_DPICHANGED, dpi144, 0);
  PostMessageW(chooser, WM_DPICHANGED, dpi144, 0x10);
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  HWND ok = ControlOf(dialog, ControlId::cmdOk);
  HWND cancel = ControlOf(dialog, ControlId::cmdCancel);
  PostMessageW(dialog, WM_DPICHANGED, dpi144, 0);
  PostMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(60000, 60000), 0x10);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::cmdOk), BN_CLICKED),
               reinterpret_cast<LPARAM>(cancel));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::cmdCancel), BN_CLICKED),
               reinterpret_cast<LPARAM>(ok));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<int>(ControlId::cmdCancel), BN_CLICKED),
               reinterpret_cast<LPARAM>(dialog));
  Sleep(kQuietMs);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_FALSE(MessageBoxShown());
  EXPECT_EQ(296, ClientSizeOf(dialog).cx);

  Click(cancel);
  ExpectProgramEnds(kExitUserCancelled);
  EXPECT_FALSE(fs::exists(startup_));
}

// A window sized for a new DPI stays in the work area of its monitor: moved
// back in where it would stick out, and at the work area's top-left when it
// is larger than that.
TEST_F(EndToEnd, AWindowSizedForADpiStaysInTheWorkArea) {
  Start();
  HWND chooser = WaitForWindow(kChooserClassName);
  ASSERT_NE(nullptr, chooser);
  RECT work{};  // of the one monitor
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  struct Row {
    const char* where;
    POINT at;
    WORD dpi;
  };
  const Row rows[] = {
      {"at the bottom right", {work.right - 100, work.bottom - 50}, 144},
      {"above and left of the work area", {work.left - 300, work.top - 300}, 192},
      {"larger than the work area", {work.left + 10, work.top + 10}, 480},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.where);
    RECT frame{};
    GetWindowRect(chooser, &frame);
    const LONG widthBefore = frame.right - frame.left;
    SetWindowPos(chooser, nullptr, row.at.x, row.at.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(chooser, WM_DPICHANGED, MAKEWPARAM(row.dpi, row.dpi), 0x10);
    ASSERT_TRUE(WaitUntil([&] {
      GetWindowRect(chooser, &frame);
      return frame.right - frame.left != widthBefore;
    }));
    EXPECT_GE(frame.left, work.left);
    EXPECT_GE(frame.top, work.top);
    EXPECT_TRUE(frame.right <= work.right || frame.left == work.left) << frame.left;
    EXPECT_TRUE(frame.bottom <= work.bottom || frame.top == work.top) << frame.top;
  }
  PostMessageW(chooser, WM_SYSCOMMAND, SC_CLOSE, 0);
  ExpectProgramEnds(kExitUserCancelled);
}

// Holds the procedures' mutex, as a second program would, on a thread of
// its own until told to let go: by releasing it, or by ending without, which
// abandons it.
class MutexHolder {
 public:
  explicit MutexHolder(bool abandon) : abandon_(abandon) {
    thread_.Reset(CreateThread(nullptr, 0, &MutexHolder::Hold, this, 0, nullptr));
    if (thread_) WaitForSingleObject(held_.Get(), kWaitMs);
  }
  ~MutexHolder() { LetGo(); }
  MutexHolder(const MutexHolder&) = delete;
  MutexHolder& operator=(const MutexHolder&) = delete;

  bool Holds() const { return holds_; }
  void LetGo() {
    SetEvent(letGo_.Get());
    if (thread_) WaitForSingleObject(thread_.Get(), kWaitMs);
  }

 private:
  static DWORD WINAPI Hold(void* parameter) {
    auto& holder = *static_cast<MutexHolder*>(parameter);
    KernelHandle mutex(CreateMutexW(nullptr, FALSE, kProcedureMutexName));
    holder.holds_ = mutex && WaitForSingleObject(mutex.Get(), 0) == WAIT_OBJECT_0;
    SetEvent(holder.held_.Get());
    WaitForSingleObject(holder.letGo_.Get(), INFINITE);
    if (holder.holds_ && !holder.abandon_) ReleaseMutex(mutex.Get());
    return 0;
  }

  bool abandon_;
  bool holds_ = false;
  KernelHandle held_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  KernelHandle letGo_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  KernelHandle thread_;
};

// While another program holds the mutex, OK waits for it: no procedure runs
// and no box shows, but the dialog answers, and a click on an option is
// dropped. Once the mutex is released, or abandoned by a program that ended
// holding it, the procedure runs; leaving meanwhile runs nothing, even when
// the mutex comes free right after a close or a log-off that was sent.
TEST_F(EndToEnd, TheProcedureWaitsWhileAnotherProgramHoldsTheMutex) {
  struct Row {
    const char* what;
    bool abandon;
    void (*leave)(HWND dialog);
    bool releasedAtOnce = false;
  };
  const Row rows[] = {
      {"released", false, nullptr},
      {"abandoned", true, nullptr},
      {"Cancel", false, [](HWND dialog) { Click(ControlOf(dialog, ControlId::cmdCancel)); }},
      {"close box", false, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Alt+F4", false, [](HWND dialog) { EXPECT_TRUE(Press(dialog, {{VK_F4, true}})); }},
      {"WM_CLOSE", false, [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); }},
      {"sent WM_CLOSE", false,
       [](HWND dialog) { EXPECT_TRUE(SendNotifyMessageW(dialog, WM_CLOSE, 0, 0)); }, true},
      {"log-off", false,
       [](HWND dialog) {
         LRESULT ignored = 0;
         EXPECT_TRUE(Query(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, &ignored));
         EXPECT_TRUE(Query(dialog, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, &ignored));
       },
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MutexHolder holder(row.abandon);
    ASSERT_TRUE(holder.Holds());
    Start();
    HWND dialog = OpenDialog(ControlId::cmdEng);
    ASSERT_NE(nullptr, dialog);
    Click(ControlOf(dialog, ControlId::cmdOk));
    Click(ControlOf(dialog, ControlId::optDeInst));
    Sleep(3 * kQuietMs);
    LRESULT ignored = 0;
    EXPECT_TRUE(Query(dialog, WM_NULL, 0, 0, &ignored, kQuietMs)) << "the dialog does not answer";
    EXPECT_FALSE(IsChecked(ControlOf(dialog, ControlId::optDeInst)));
    EXPECT_FALSE(MessageBoxShown());
    EXPECT_FALSE(fs::exists(startup_));

    if (row.leave) {
      row.leave(dialog);
      if (row.releasedAtOnce) holder.LetGo();
      ExpectProgramEnds(kExitUserCancelled);
      EXPECT_FALSE(fs::exists(startup_));
      continue;
    }
    holder.LetGo();
    EXPECT_EQ(Expected(Language::English, Procedure::Install, 0, TargetDir()), AnswerBoxOf(dialog));
    ExpectProgramEnds(result::kSuccess);
    fs::remove_all(startup_);
  }
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
    ExpectProgramEnds(kExitUserCancelled);
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
  ExpectProgramEnds(result::kSuccess);
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
  ExpectProgramEnds(kExitUserCancelled);
  EXPECT_FALSE(fs::exists(startup_));
}

// The program runs elevated from a folder that others can write. A DLL put
// there under a name Windows loads by bare name into a window program is
// never loaded: Wine is told, for this program, to prefer such a DLL to its
// own, as Windows would find it. Not msimg32 and version: Wine's own DLLs
// load them by a route that ignores the process's search path. No KnownDLL:
// Wine has none.
TEST_F(EndToEnd, DllsPlantedBesideTheProgramAreNeverLoaded) {
  const fs::path planted = WindowsPathOf(LEXIPHON_PLANTED_DLL);
  // Wine's load order for this program alone, taken from the prefix's
  // registry when the program starts.
  struct WineLoadOrder {
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\LexiphonSetup.exe";
    ~WineLoadOrder() { RegDeleteTreeW(HKEY_CURRENT_USER, key); }
  } loadOrder;
  const std::wstring overrides = std::wstring(loadOrder.key) + L"\\DllOverrides";
  static const wchar_t kNativeFirst[] = L"native,builtin";
  const std::vector<std::wstring> names = {L"uxtheme", L"dwmapi",  L"cryptbase", L"userenv",
                                           L"propsys", L"profapi", L"ntmarta",   L"apphelp",
                                           L"setupapi", L"oleacc", L"clbcatq"};
  for (const std::wstring& name : names) {
    fs::copy_file(planted, package_ / (name + L".dll"));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, overrides.c_str(), name.c_str(),
                                             REG_SZ, kNativeFirst, sizeof kNativeFirst));
  }
  InstallInEnglish(result::kSuccess);
  for (const std::wstring& name : names)
    EXPECT_FALSE(fs::exists(package_ / (name + L".dll.loaded"))) << fs::path(name).string();
}

// Links that someone else put into the package folder: their targets never
// reach Word's startup folder, which every user of the machine can read.
enum class Planted { LinkedDictionaries, HardLinkedIni, HardLinkedDictionary, RetargetedFolder };

struct PlantedCase {
  const char* name;
  Planted planted;
  int exitCode;
  std::vector<std::wstring> installed;  // empty: what came before the failure is not fixed
};

class LinksInThePackage : public EndToEnd, public ::testing::WithParamInterface<PlantedCase> {
 protected:
  // Someone else's file; no row may install it.
  fs::path Foreign(const fs::path& path) {
    fs::create_directories(path.parent_path());
    WriteFile(path, "foreign\r\n");
    return path;
  }
};

TEST_P(LinksInThePackage, NeverBringTheirTargetsIntoTheStartupFolder) {
  const PlantedCase& row = GetParam();
  const auto links = testing::TestFileSystem::Create();
  const fs::path foreign = root_ / L"foreign";
  const fs::path via = root_ / L"via";
  switch (row.planted) {
    case Planted::LinkedDictionaries:
      Foreign(foreign / L"General.dic");
      fs::remove_all(package_ / L"Dictionaries");
      if (!links->MakeLink((package_ / L"Dictionaries").wstring(), foreign.wstring()))
        GTEST_SKIP() << "no links can be made here";
      break;
    case Planted::HardLinkedIni:
      fs::remove(package_ / L"Lexiphon.ini");
      fs::create_hard_link(Foreign(foreign / L"notes.ini"), package_ / L"Lexiphon.ini");
      break;
    case Planted::HardLinkedDictionary:
      fs::create_hard_link(Foreign(foreign / L"Words.dic"), package_ / L"Dictionaries" / L"Words.dic");
      break;
    case Planted::RetargetedFolder:
      if (!links->MakeLink(via.wstring(), package_.wstring()))
        GTEST_SKIP() << "no links can be made here";
      // Another whole package, someone else's.
      for (const std::wstring& name : kPackageFiles) Foreign(foreign / name);
      for (const std::wstring& name : kDictionaryFiles) Foreign(foreign / L"Dictionaries" / name);
      break;
  }
  if (row.planted != Planted::RetargetedFolder) {
    InstallInEnglish(row.exitCode);
  } else {
    // The link the program was started through leads elsewhere once it runs.
    InstallInEnglish(row.exitCode, via / L"LexiphonSetup.exe", [&] {
      ASSERT_TRUE(links->MakeLink(via.wstring(), foreign.wstring()));
      ASSERT_TRUE(WaitUntil([&] { return ReadFile(via / L"Lexiphon.ini") == "foreign\r\n"; }))
          << "the link was not retargeted";
    });
  }
  if (!row.installed.empty()) {
    EXPECT_EQ(row.installed, Listing(startup_));
  }
  for (const std::wstring& entry : Listing(startup_)) {
    EXPECT_NE("foreign\r\n", ReadFile(startup_ / entry)) << fs::path(entry).string();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Planted, LinksInThePackage,
    ::testing::Values(
        PlantedCase{"LinkedDictionaries", Planted::LinkedDictionaries,
                    result::kInstallSourceFolderMissing, testing::InstalledTree({})},
        PlantedCase{"HardLinkedIni", Planted::HardLinkedIni, result::kInstallCopyFailed,
                    {L"Lexiphon.dot", L"Lexiphon.exp", L"SortTxtFile.bat"}},
        PlantedCase{"HardLinkedDictionary", Planted::HardLinkedDictionary,
                    result::kInstallCopyFailed, {}},
        PlantedCase{"RetargetedFolder", Planted::RetargetedFolder, result::kSuccess,
                    testing::InstalledTree(kDictionaryFiles)}),
    [](const ::testing::TestParamInfo<PlantedCase>& info) { return info.param.name; });

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

TEST_F(ReleaseArchive, RunFromTheUnpackedFolderItInstallsAndUninstalls) {
  package_ = unpacked_;
  InstallInEnglish(result::kSuccess);
  std::vector<std::wstring> shipped = Listing(unpacked_);
  shipped.erase(std::remove(shipped.begin(), shipped.end(), L"LexiphonSetup.exe"), shipped.end());
  EXPECT_EQ(shipped, Listing(startup_));

  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::optDeInst));
  ASSERT_TRUE(WaitUntil([&] { return IsChecked(ControlOf(dialog, ControlId::optDeInst)); }));
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::English, Procedure::Uninstall, 0, TargetDir()),
            AnswerBoxOf(dialog));
  ExpectProgramEnds(result::kSuccess);
  EXPECT_EQ(std::vector<std::wstring>{}, Listing(startup_));
}

TEST_F(ReleaseArchive, RunNextToTheStillPackedArchiveItAsksToUnpackFirst) {
  package_ = packed_;
  const std::vector<std::wstring> before = Listing(packed_);
  Start();
  HWND dialog = OpenDialog(ControlId::cmdEng);
  ASSERT_NE(nullptr, dialog);
  Click(ControlOf(dialog, ControlId::cmdOk));
  EXPECT_EQ(Expected(Language::English, Procedure::Install, -2, TargetDir()), AnswerBoxOf(dialog));
  ExpectProgramEnds(result::kInstallNotUnpacked);
  EXPECT_FALSE(fs::exists(startup_));
  EXPECT_EQ(before, Listing(packed_));
}

}  // namespace
}  // namespace lexiphon
