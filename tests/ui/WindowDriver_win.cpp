#include "WindowDriver_win.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace lexiphon::driver {
namespace {

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

struct WindowSearch {
  DWORD processId;
  const std::wstring& className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM parameter) {
  auto& search = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search.processId || !IsWindowVisible(hwnd) || ClassOf(hwnd) != search.className) {
    return TRUE;
  }
  search.found = hwnd;
  return FALSE;
}

}  // namespace

std::wstring WindowsPathOf(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

bool StartProgram(const std::wstring& exe, const std::wstring& currentFolder,
                  PROCESS_INFORMATION* started, DWORD* error) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.c_str(), &startup, started)) {
    *error = GetLastError();
    return false;
  }
  CloseHandle(started->hThread);
  started->hThread = nullptr;
  return true;
}

HWND FindWindowOf(DWORD processId, const std::wstring& className) {
  WindowSearch search{processId, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[2048] = {};
  GetWindowTextW(hwnd, text, 2048);
  return text;
}

HWND ControlOf(HWND window, ControlId id) { return GetDlgItem(window, static_cast<int>(id)); }

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

SIZE ClientSizeOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

PixelRect RectInParent(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool Query(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kWaitMs, &answer)) {
    return false;
  }
  *result = static_cast<LRESULT>(answer);
  return true;
}

bool IsChecked(HWND button) {
  LRESULT state = 0;
  return Query(button, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool Press(HWND window, std::initializer_list<Key> keys) {
  SetForegroundWindow(window);
  if (!WaitUntil([&] { return GetForegroundWindow() == window; })) return false;
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (const Key& key : keys) {
    if (key.withAlt) add(VK_MENU, false);
    add(key.code, false);
    add(key.code, true);
    if (key.withAlt) add(VK_MENU, true);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
         inputs.size();
}

MessageBoxSeen ReadMessageBox(HWND box) {
  return {TextOf(box), TextOf(GetDlgItem(box, kMessageBoxTextId)), GetWindow(box, GW_OWNER)};
}

void AnswerMessageBox(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

bool SaveScreenshot(HWND window, const std::wstring& bmpPath) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Rows of 24-bit pixels, each padded to four bytes.
  const int stride = (width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * height);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  const bool copied =
      BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY) &&
      GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == height;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return false;

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(std::filesystem::path(bmpPath), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(reinterpret_cast<const char*>(pixels.data()),
            static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace lexiphon::driver
