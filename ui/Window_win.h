#pragma once
// The frame shared by frmMain and the action dialogs: a fixed-size top-level
// window whose BUTTON controls come from a layout table, scaled for the
// window's DPI, with the system's message font.
#include <optional>
#include <string>

#include "platform/ScopedHandle_win.h"
#include "platform/WinApi.h"
#include "ui/Layout.h"

namespace lexiphon {

// The DPI at which one pixel is 15 twips.
constexpr unsigned kDesignDpi = 96;

class ClickWait;

class LayoutWindow {
 public:
  LayoutWindow(const LayoutWindow&) = delete;
  LayoutWindow& operator=(const LayoutWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 protected:
  explicit LayoutWindow(const WindowLayout& layout);
  virtual ~LayoutWindow();

  // Creates the window, hidden, with its controls, centred on the screen
  // within the work area, and with the client area of the layout at the
  // window's DPI. From then on the object belongs to the window and is
  // deleted when the window is destroyed; the program ends when its last
  // window is gone. On failure the caller still owns it.
  bool Create(const wchar_t* className, const std::wstring& caption, bool withProgramIcon);

  HWND Control(ControlId id) const { return GetDlgItem(hwnd_, static_cast<int>(id)); }

  virtual const wchar_t* TextOf(ControlId id) const = 0;
  // A click of one of the window's buttons; true when the window is to
  // close. Clicks and close requests that come meanwhile are ignored, but
  // a ClickWait within it ends on a click of the leave button, a close
  // request or the session's end.
  virtual bool OnClick(ControlId id) = 0;
  // After the controls have been placed for a new DPI.
  virtual void OnDpiApplied(unsigned dpi) { (void)dpi; }
  // The button that leaves a ClickWait; none by default.
  virtual std::optional<ControlId> LeaveButton() const { return std::nullopt; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnDpiChanged(WPARAM wParam, LPARAM lParam);
  bool CreateControls();
  void ApplyDpi(unsigned dpi);
  void OnActivate(bool active);

  const WindowLayout& layout_;
  HWND hwnd_ = nullptr;
  GdiObject<HFONT> font_;
  HWND focusWhenDeactivated_ = nullptr;
  bool ownedByWindow_ = false;
  // The click being handled, if any.
  ClickWait* click_ = nullptr;
};

}  // namespace lexiphon
