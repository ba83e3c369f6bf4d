#include "ui/Window_win.h"

#include <algorithm>
#include <utility>

#include "resources/resource.h"
#include "ui/ClickWait_win.h"

namespace lexiphon {
namespace {

// Fixed border, caption, window menu and close box; no minimise or maximise
// box. The modal frame keeps a window without an icon from getting the
// default one in its title bar.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME;

// The per-monitor DPI functions exist from Windows 10 on; the build targets
// Windows 7, so they are looked up at run time.
template <typename Function>
Function User32Function(const char* name) {
  return FunctionOf<Function>(GetModuleHandleW(L"user32.dll"), name);
}

unsigned SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : kDesignDpi;
}

unsigned WindowDpi(HWND hwnd) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow ? getDpiForWindow(hwnd) : 0;
  return dpi ? dpi : SystemDpi();
}

SIZE WindowSizeFor(PixelSize client, unsigned dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.width, client.height};
  if (!adjustForDpi || !adjustForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, dpi)) {
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT CreateMessageFont(unsigned dpi) {
  static const auto parametersForDpi =
      User32Function<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!parametersForDpi ||
      !parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LONG& height = metrics.lfMessageFont.lfHeight;
    height = MulDiv(height, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

DWORD ControlStyle(ControlKind kind) {
  // Every push button starts a group of its own, which also ends the option
  // buttons' group for the arrow keys. None is BS_DEFPUSHBUTTON: neither
  // window has a default button.
  switch (kind) {
    case ControlKind::FlagButton: return BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP | WS_GROUP;
    case ControlKind::Frame: return BS_GROUPBOX | WS_GROUP;
    case ControlKind::FirstOption: return BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
    case ControlKind::Option: return BS_AUTORADIOBUTTON;
    case ControlKind::CommandButton: return BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
  }
  return 0;
}

// Sizes and places the window, then moves it, keeping its size, into the
// work area of its monitor: right and bottom edges first, then left and top,
// so that a window larger than the work area starts at its top-left and its
// caption and close box stay on the screen.
void PlaceInWorkArea(HWND hwnd, int left, int top, SIZE size) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max(std::min(left, static_cast<int>(work.right - size.cx)),
                    static_cast<int>(work.left));
    top = std::max(std::min(top, static_cast<int>(work.bottom - size.cy)),
                   static_cast<int>(work.top));
  }
  SetWindowPos(hwnd, nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

struct WindowSearch {
  WNDPROC procedure;
  HWND closing;
  bool found = false;
};

BOOL CALLBACK FindOtherWindow(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  search.found = hwnd != search.closing && GetWindowLongPtrW(hwnd, GWLP_WNDPROC) ==
                                               reinterpret_cast<LONG_PTR>(search.procedure);
  return !search.found;
}

// True when the thread has a window other than `closing` that runs
// `procedure`: all the program's windows live on the one UI thread.
bool AnotherWindowRuns(WNDPROC procedure, HWND closing) {
  WindowSearch search{procedure, closing};
  EnumThreadWindows(GetCurrentThreadId(), &FindOtherWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The icon image nearest to the system's size; shared, so never destroyed.
HICON LoadProgramIcon(int sizeMetric) {
  const int size = GetSystemMetrics(sizeMetric);
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                       IMAGE_ICON, size, size, LR_SHARED));
}

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  // Fails harmlessly when the class exists already.
  RegisterClassExW(&windowClass);
}

}  // namespace

LayoutWindow::LayoutWindow(const WindowLayout& layout) : layout_(layout) {}

LayoutWindow::~LayoutWindow() = default;

bool LayoutWindow::Create(const wchar_t* className, const std::wstring& caption,
                          bool withProgramIcon) {
  RegisterWindowClass(className, &LayoutWindow::Procedure);
  // Created at the screen's origin, so that its DPI is the primary monitor's.
  HWND hwnd = CreateWindowExW(kWindowExStyle, className, caption.c_str(), kWindowStyle, 0, 0, 0,
                              0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) return false;
  // A window missing a control would offer the user less than it says; it
  // is not shown at all.
  if (!CreateControls()) {
    DestroyWindow(hwnd);
    return false;
  }
  if (withProgramIcon) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXICON)));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXSMICON)));
  }

  const unsigned dpi = WindowDpi(hwnd);
  const SIZE size = WindowSizeFor(ClientSize(layout_, dpi), dpi);
  PlaceInWorkArea(hwnd, (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2,
                  (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2, size);
  ApplyDpi(dpi);
  ownedByWindow_ = true;
  return true;
}

LRESULT CALLBACK LayoutWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<LayoutWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<LayoutWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    window->hwnd_ = nullptr;
    // A window that failed during CreateWindowExW is still its creator's.
    if (window->ownedByWindow_) {
      delete window;
      if (!AnotherWindowRuns(&LayoutWindow::Procedure, hwnd)) PostQuitMessage(0);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return window->OnMessage(message, wParam, lParam);
}

LRESULT LayoutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_CLOSE:
      // While a click is handled, its procedure or message box still runs
      // on this window: a close request then is dropped, and the window
      // closes when the handler is done, if the handler says so. It leaves
      // a ClickWait. The close box and Alt+F4 come here through SC_CLOSE.
      if (click_) {
        click_->AskToLeave();
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_ENDSESSION:
      // The process may be ended at any moment after this returns, so no
      // procedure may start after it.
      if (wParam && click_) click_->AskToLeave();
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(wParam, lParam);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

// Only clicks that come from our own button of that id: the dialog manager
// turns Enter and Escape into WM_COMMAND with IDOK or IDCANCEL and no
// control, and anyone may post a WM_COMMAND. A click handler runs a
// procedure and its message box, whose message loop would deliver further
// clicks to this window: they are dropped, so that one OK runs one
// procedure and the window outlives its handler. The leave button's click
// leaves a ClickWait.
void LayoutWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const auto id = static_cast<ControlId>(LOWORD(wParam));
  if (HIWORD(wParam) != BN_CLICKED || lParam == 0 ||
      reinterpret_cast<HWND>(lParam) != Control(id)) {
    return;
  }
  const std::optional<ControlId> leaveButton = LeaveButton();
  if (click_) {
    if (id == leaveButton) click_->AskToLeave();
    return;
  }
  ClickWait click(leaveButton ? Control(*leaveButton) : nullptr);
  click_ = &click;
  const bool close = OnClick(id);
  click_ = nullptr;
  // Destroying the window deletes this object: nothing of it may be used
  // after.
  if (close) DestroyWindow(hwnd_);
}

// Windows always sends the suggested rectangle and a DPI that screens have
// (100 % to 500 %); a message without a rectangle, or with a DPI outside
// 50 % to 1000 %, was posted by someone else. The rectangle is not read even
// then, since a posted pointer may point anywhere: the window keeps its
// centre, within the work area, and takes the size of the new DPI.
void LayoutWindow::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  const unsigned dpi = HIWORD(wParam);
  if (lParam == 0 || dpi < kDesignDpi / 2 || dpi > kDesignDpi * 10) return;
  const SIZE size = WindowSizeFor(ClientSize(layout_, dpi), dpi);
  RECT frame{};
  GetWindowRect(hwnd_, &frame);
  PlaceInWorkArea(hwnd_, (frame.left + frame.right - size.cx) / 2,
                  (frame.top + frame.bottom - size.cy) / 2, size);
  ApplyDpi(dpi);
}

bool LayoutWindow::CreateControls() {
  // Creation order is focus order.
  for (const ControlLayout& control : layout_.controls) {
    if (!CreateWindowExW(0, L"BUTTON", TextOf(control.id),
                         WS_CHILD | WS_VISIBLE | ControlStyle(control.kind), 0, 0, 0, 0, hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                         GetModuleHandleW(nullptr), nullptr))
      return false;
  }
  return true;
}

void LayoutWindow::ApplyDpi(unsigned dpi) {
  GdiObject<HFONT> font(CreateMessageFont(dpi));
  for (const ControlLayout& control : layout_.controls) {
    const PixelRect rect = ControlRect(layout_, control, dpi);
    HWND child = Control(control.id);
    SetWindowPos(child, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  }
  font_ = std::move(font);
  OnDpiApplied(dpi);
}

// A plain window forgets its focused control when it is deactivated, and
// DefWindowProc would give the focus to the window itself on activation.
// The first activation focuses the first control that takes the focus.
void LayoutWindow::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) focusWhenDeactivated_ = focus;
    return;
  }
  HWND focus = focusWhenDeactivated_;
  if (!focus || !IsWindow(focus)) {
    for (const ControlLayout& control : layout_.controls) {
      if (control.kind == ControlKind::Frame) continue;
      focus = Control(control.id);
      break;
    }
  }
  SetFocus(focus);
}

}  // namespace lexiphon
