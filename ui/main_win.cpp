// Program entry: the engine over the real registry and file system, the
// language chooser, and the message loop that runs until the last window
// is gone. The exit code tells the outcome.
#include "platform/WinApi.h"

#include <commctrl.h>

#include <string>

#include "engine/SharedSubs.h"
#include "engine/WindowsFileSystem_win.h"
#include "registry/WindowsRegistry_win.h"
#include "ui/ProcedureLock_win.h"
#include "ui/frmMain_win.h"

namespace {

// The program runs elevated from a folder that others can write, such as
// Downloads: a DLL put there must never be loaded. Only System32 is
// searched from here on. Windows 7 without KB2533623 lacks
// SetDefaultDllDirectories; there the current folder leaves the search, and
// the DLLs Windows loads by bare name into a small window program are
// loaded now from System32, so that a later bare-name load finds them
// loaded. The static imports are KnownDLLs, which are never searched for.
void RestrictDllSearch() {
  const auto setDefaultDllDirectories = FunctionOf<BOOL(WINAPI*)(DWORD)>(
      ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
  if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  ::SetDllDirectoryW(L"");
  wchar_t system[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  for (const wchar_t* name : {L"uxtheme", L"dwmapi", L"cryptbase", L"version", L"userenv",
                              L"propsys", L"profapi", L"ntmarta", L"apphelp", L"setupapi",
                              L"oleacc", L"clbcatq"}) {
    // cppcheck-suppress leakReturnValNotUsed ; loaded for good, so that a bare name finds it
    ::LoadLibraryW((std::wstring(system) + L"\\" + name + L".dll").c_str());
  }
}

// comctl32 is loaded only now, after the search is restricted; the manifest
// makes it version 6. Without it the buttons still work, in the old look.
void LoadCommonControls() {
  const auto init = FunctionOf<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      ::LoadLibraryW(L"comctl32.dll"), "InitCommonControlsEx");
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  if (init) init(&controls);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  RestrictDllSearch();
  // The package is read through this folder's handle, held from now on: a
  // link on the way to it is resolved once, here.
  const std::wstring programFolder = lexiphon::ProgramFolder();
  lexiphon::WindowsFileSystem files(programFolder);
  LoadCommonControls();

  lexiphon::WindowsRegistry registry;
  // The registry class reports its own errors in a box without an owner.
  auto registryMessageBox = [](const std::wstring& text, const std::wstring& title,
                               unsigned style) {
    MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
  };
  lexiphon::SharedSubs subs(registry, files, programFolder, registryMessageBox);
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
