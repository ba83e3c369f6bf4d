#include "WindowDriver_win.h"

#include "platform/ScopedHandle_win.h"
#include "ui/frmMain_win.h"

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

// A bitmap's pixels as 0xRRGGBB, whatever its format.
Image PixelsOf(HBITMAP bitmap) {
  BITMAP size{};
  if (!GetObjectW(bitmap, sizeof size, &size)) return {};
  BITMAPINFO info = TopDownRgb32(size.bmWidth, size.bmHeight);
  Image image{size.bmWidth, size.bmHeight,
              std::vector<std::uint32_t>(static_cast<std::size_t>(size.bmWidth) * size.bmHeight)};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, size.bmHeight, image.pixels.data(), &info,
                             DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != size.bmHeight) return {};
  for (std::uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
  return image;
}

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
                  StartedProgram* started, DWORD* error) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION information{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentFolder.c_str(), &startup, &information)) {
    *error = GetLastError();
    return false;
  }
  const KernelHandle thread(information.hThread);
  started->process.Reset(information.hProcess);
  started->id = information.dwProcessId;
  return true;
}

bool EndProgram(StartedProgram* program) {
  const bool running =
      program->process && WaitForSingleObject(program->process.Get(), 0) == WAIT_TIMEOUT;
  if (running) {
    TerminateProcess(program->process.Get(), 1);
    WaitForSingleObject(program->process.Get(), kWaitMs);
  }
  *program = StartedProgram();
  return running;
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

bool Query(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
           DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer)) {
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

Image Capture(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  Image image;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  GdiObject<HBITMAP> bitmap(
      CreateCompatibleBitmap(screen, frame.right - frame.left, frame.bottom - frame.top));
  HGDIOBJ previous = SelectObject(memory, bitmap.Get());
  const bool copied = BitBlt(memory, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                             screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (copied) image = PixelsOf(bitmap.Get());
  return image;
}

Image LoadBitmapFile(const std::wstring& bmpPath) {
  GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(
      LoadImageW(nullptr, bmpPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  return bitmap ? PixelsOf(bitmap.Get()) : Image{};
}

bool SaveScreenshot(HWND window, const std::wstring& bmpPath) {
  const Image image = Capture(window);
  if (image.pixels.empty()) return false;
  // Rows of 24-bit pixels from the bottom, each padded to four bytes.
  const int stride = (image.width * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * image.height);
  for (int y = 0; y < image.height; ++y) {
    unsigned char* row = &pixels[static_cast<std::size_t>(image.height - 1 - y) * stride];
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t rgb = image.At(x, y);
      row[3 * x] = rgb & 0xFF;
      row[3 * x + 1] = (rgb >> 8) & 0xFF;
      row[3 * x + 2] = (rgb >> 16) & 0xFF;
    }
  }

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(std::filesystem::path(bmpPath), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(pixels.data()),
            static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace lexiphon::driver
