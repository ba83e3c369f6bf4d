// Program entry: the engine over the real registry and file system, the
// language chooser, and the message loop that runs until the last window
// is gone. The exit code tells the outcome.
#include "platform/WinApi.h"

#include <commctrl.h>

#include "engine/SharedSubs.h"
#include "engine/WindowsFileSystem_win.h"
#include "registry/WindowsRegistry_win.h"
#include "ui/ProcedureLock_win.h"
#include "ui/frmMain_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  lexiphon::WindowsRegistry registry;
  lexiphon::WindowsFileSystem files;
  // The registry class reports its own errors in a box without an owner.
  auto registryMessageBox = [](const std::wstring& text, const std::wstring& title,
                               unsigned style) {
    MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
  };
  lexiphon::SharedSubs subs(registry, files, lexiphon::ProgramFolder(), registryMessageBox);
  // OK's procedure, one at a time on this machine.
  auto runProcedure = [&subs](lexiphon::Procedure procedure) {
    const lexiphon::ProcedureLock lock;
    if (lock.UserLeft()) return std::optional<lexiphon::ResultCode>();
    return std::optional(procedure == lexiphon::Procedure::Install ? subs.DoInstall()
                                                                    : subs.DoUninstall());
  };
  lexiphon::Session session{runProcedure, subs.TemplateName, subs.TargetDir};
  if (!lexiphon::frmMain::Open(session, showCommand)) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    // The dialog manager gives the active window Tab order, arrow keys in
    // the option group and the Alt access keys.
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The outcome for a script that started the program: the result code of
  // the procedure that ran, or that the user left without running one.
  return session.exitCode;
}
