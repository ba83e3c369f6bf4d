#pragma once
// The frame shared by frmMain and the action dialogs: a fixed-size top-level
// window whose BUTTON controls come from a layout table, scaled for the
// window's DPI, with the system's message font.
#include <string>

#include "platform/ScopedHandle_win.h"
#include "platform/WinApi.h"
#include "ui/ActionDialogLogic.h"
#include "ui/Layout.h"

namespace lexiphon {

// Window class names, also used by the end-to-end tests to find the windows.
constexpr const wchar_t* kChooserClassName = L"LexiphonSetup.frmMain";
constexpr const wchar_t* kActionDialogClassName = L"LexiphonSetup.ActionDialog";

// The DPI at which one pixel is 15 twips.
constexpr unsigned kDesignDpi = 96;

// What the windows of one run share: the engine, the count of open windows,
// so that the program ends when its last window is gone, and the code the
// process ends with.
class Session {
 public:
  explicit Session(InstallEngine& engine) : engine_(engine) {}
  InstallEngine& Engine() { return engine_; }
  void WindowOpened() { ++openWindows_; }
  void WindowClosed() {
    if (--openWindows_ == 0) PostQuitMessage(0);
  }
  int ExitCode() const { return exitCode_; }
  void SetExitCode(int code) { exitCode_ = code; }

 private:
  InstallEngine& engine_;
  int openWindows_ = 0;
  int exitCode_ = kExitUserCancelled;
};

class LayoutWindow {
 public:
  LayoutWindow(const LayoutWindow&) = delete;
  LayoutWindow& operator=(const LayoutWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 protected:
  LayoutWindow(Session& session, const WindowLayout& layout);
  virtual ~LayoutWindow();

  // Creates the window, hidden, with its controls, centred on the screen and
  // with the client area of the layout at the window's DPI. From then on the
  // object belongs to the window and is deleted when the window is destroyed.
  // On failure the caller still owns it.
  bool Create(const wchar_t* className, const std::wstring& caption, bool withProgramIcon);

  HWND Control(ControlId id) const { return GetDlgItem(hwnd_, static_cast<int>(id)); }
  Session& CurrentSession() { return session_; }

  virtual const wchar_t* TextOf(ControlId id) const = 0;
  // A click of one of the window's buttons; true when the window is to
  // close. Clicks and close requests that come meanwhile are ignored.
  virtual bool OnClick(ControlId id) = 0;
  // After the controls have been placed for a new DPI.
  virtual void OnDpiApplied(unsigned dpi) { (void)dpi; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateControls();
  void ApplyDpi(unsigned dpi);
  void OnActivate(bool active);

  Session& session_;
  const WindowLayout& layout_;
  HWND hwnd_ = nullptr;
  GdiObject<HFONT> font_;
  HWND focusWhenDeactivated_ = nullptr;
  bool ownedByWindow_ = false;
  bool handlingClick_ = false;
};

// The header of a 32-bit top-down RGB bitmap: the one pixel layout the
// program draws in and the tests read back.
inline BITMAPINFO TopDownRgb32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace lexiphon
