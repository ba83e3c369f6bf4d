#pragma once
// Finding and working another process's windows from outside, as a user
// would: by posted clicks and real key strokes. Shared by the end-to-end
// tests and the demo tour. Every wait is bounded.
#include "platform/ScopedHandle_win.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "ui/Layout.h"

namespace lexiphon::driver {

constexpr DWORD kWaitMs = 10000;
constexpr wchar_t kMessageBoxClass[] = L"#32770";
// The static control that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

// Polls until `done` holds; false when the time ran out first.
template <typename Condition>
bool WaitUntil(Condition done, DWORD timeoutMs = kWaitMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

// A path of this Unix build as Wine shows it: the Unix root is Z:.
std::wstring WindowsPathOf(const char* unixPath);

// A program the tests started: its process handle, closed with it.
struct StartedProgram {
  KernelHandle process;
  DWORD id = 0;
};

// Starts the program with no arguments, from the folder `currentFolder`;
// false with the Win32 error in `error` when it cannot be started.
bool StartProgram(const std::wstring& exe, const std::wstring& currentFolder,
                  StartedProgram* started, DWORD* error);

// Lets go of a program that was started, killing it if it still runs; true
// when it had to be killed.
bool EndProgram(StartedProgram* program);

// A visible top-level window of the process with that class, or null.
HWND FindWindowOf(DWORD processId, const std::wstring& className);

std::wstring TextOf(HWND hwnd);
HWND ControlOf(HWND window, ControlId id);
HWND FocusOf(HWND window);
SIZE ClientSizeOf(HWND window);
PixelRect RectInParent(HWND control);

// Sent with a timeout, so that a hung program cannot block the caller.
bool Query(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
           DWORD timeoutMs = kWaitMs);
bool IsChecked(HWND button);

// Posted, not sent: a click that opens a modal message box would not return.
void Click(HWND button);

struct Key {
  WORD code;
  bool withAlt = false;
};

// Brings the window to the foreground and types the keys there; false when
// it would not come to the foreground.
bool Press(HWND window, std::initializer_list<Key> keys);

struct MessageBoxSeen {
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
};

MessageBoxSeen ReadMessageBox(HWND box);
// Presses the box's OK button.
void AnswerMessageBox(HWND box);

// Pixels as 0xRRGGBB, rows from the top.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * width + x];
  }
};

// The window as it stands on the screen, frame included; empty when it
// cannot be read.
Image Capture(HWND window);

// A bitmap file as it would be drawn; empty when it cannot be loaded.
Image LoadBitmapFile(const std::wstring& bmpPath);

// The window as it stands on the screen, frame included, as a 24-bit BMP.
bool SaveScreenshot(HWND window, const std::wstring& bmpPath);

}  // namespace lexiphon::driver
