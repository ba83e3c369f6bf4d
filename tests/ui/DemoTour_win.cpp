// A guided tour of the program for the demo, through its real windows: an
// English install, then an English uninstall, then a look at the German
// dialog, with a screenshot of every window and message box on the way.
//   lexiphon_demo_tour.exe PROGRAM_EXE SCREENSHOT_FOLDER
// The Word registration and the package are the caller's to lay out.
#include "platform/WinApi.h"

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "WindowDriver_win.h"
#include "ui/ActionDialog_win.h"
#include "ui/frmMain_win.h"

namespace lexiphon {
namespace {

using namespace driver;

// Lets the window finish painting before it is photographed.
constexpr DWORD kPaintMs = 500;

void Say(const std::wstring& text) {
  std::printf("%s\n", testing::Utf8(text).c_str());
  std::fflush(stdout);
}

class Tour {
 public:
  Tour(std::wstring exe, std::wstring screenshots)
      : exe_(std::move(exe)), screenshots_(std::move(screenshots)) {}

  ~Tour() { EndProgram(&program_); }

  bool Run() { return Install() && Uninstall() && GermanDialog(); }

 private:
  bool Install() {
    Say(L"Install, in English:");
    HWND chooser = nullptr;
    HWND dialog = nullptr;
    return Start() && (chooser = Wait(kChooserClassName)) && Shot(chooser, L"01-chooser") &&
           Choose(chooser, ControlId::cmdEng, &dialog) && Shot(dialog, L"02-english-dialog") &&
           Confirm(dialog, L"03-install-message") && Ended();
  }

  bool Uninstall() {
    Say(L"Uninstall, in English:");
    HWND chooser = nullptr;
    HWND dialog = nullptr;
    if (!(Start() && (chooser = Wait(kChooserClassName)) &&
          Choose(chooser, ControlId::cmdEng, &dialog))) {
      return false;
    }
    Click(ControlOf(dialog, ControlId::optDeInst));
    return WaitUntil([&] { return IsChecked(ControlOf(dialog, ControlId::optDeInst)); }) &&
           Shot(dialog, L"04-english-dialog-uninstall") &&
           Confirm(dialog, L"05-uninstall-message") && Ended();
  }

  bool GermanDialog() {
    Say(L"The German dialog, then Abbruch:");
    HWND chooser = nullptr;
    HWND dialog = nullptr;
    if (!(Start() && (chooser = Wait(kChooserClassName)) &&
          Choose(chooser, ControlId::cmdDeu, &dialog) && Shot(dialog, L"06-german-dialog"))) {
      return false;
    }
    Click(ControlOf(dialog, ControlId::cmdCancel));
    return Ended();
  }

  // A program left running by a failed step is ended here.
  bool Start() {
    EndProgram(&program_);
    DWORD error = 0;
    if (StartProgram(exe_, screenshots_, &program_, &error)) return true;
    Say(L"  cannot start the program: error " + std::to_wstring(error));
    return false;
  }

  HWND Wait(const std::wstring& className) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(program_.id, className)) != nullptr; });
    if (!found) Say(L"  no window of class " + className + L" appeared");
    return found;
  }

  bool Choose(HWND chooser, ControlId flag, HWND* dialog) {
    Click(ControlOf(chooser, flag));
    *dialog = Wait(kActionDialogClassName);
    return *dialog && WaitUntil([&] { return !IsWindow(chooser); });
  }

  // OK, then the message box: photographed, read out and answered.
  bool Confirm(HWND dialog, const std::wstring& shotName) {
    Click(ControlOf(dialog, ControlId::cmdOk));
    HWND box = Wait(kMessageBoxClass);
    if (!box || !Shot(box, shotName)) return false;
    const MessageBoxSeen seen = ReadMessageBox(box);
    std::wstring text = seen.text;
    for (std::size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;) {
      text.replace(at, 2, L"\n      ");
    }
    Say(L"  message box \"" + seen.title + L"\":\n      " + text);
    AnswerMessageBox(box);
    return true;
  }

  bool Shot(HWND window, const std::wstring& name) {
    SetForegroundWindow(window);
    Sleep(kPaintMs);
    const std::wstring path = screenshots_ + L"\\" + name + L".bmp";
    if (SaveScreenshot(window, path)) {
      Say(L"  " + TextOf(window) + L": " + name);
      return true;
    }
    Say(L"  could not take the screenshot " + name);
    return false;
  }

  bool Ended() {
    if (WaitForSingleObject(program_.process.Get(), kWaitMs) == WAIT_OBJECT_0) return true;
    Say(L"  the program did not end");
    return false;
  }

  std::wstring exe_;
  std::wstring screenshots_;
  StartedProgram program_;
};

}  // namespace
}  // namespace lexiphon

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lexiphon_demo_tour PROGRAM_EXE SCREENSHOT_FOLDER\n");
    return 2;
  }
  return lexiphon::Tour(argv[1], argv[2]).Run() ? 0 : 1;
}
