// Times how long a program takes to show its first window: starts it, polls
// until a visible top-level window of that process exists, then closes it
// (or ends it when it will not close) and prints the time:
//   startup_probe.exe <program> [arguments]
//   ms=123.456
// Gives up after 20 seconds or when the program ends first (exit code 1).
#include "bench/Bench.h"

#include <cstdio>
#include <string>

namespace {

constexpr double kTimeoutMs = 20000;

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK OnWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

int wmain() {
  std::wstring command = bench::Arguments();
  if (command.empty()) {
    std::fputs("usage: startup_probe <program> [arguments]\n", stderr);
    return 2;
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double start = bench::NowMs();
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "startup_probe: cannot start %ls (error %lu)\n", command.c_str(),
                 GetLastError());
    return 2;
  }
  const lexiphon::KernelHandle thread(process.hThread);
  const lexiphon::KernelHandle child(process.hProcess);

  Search search{process.dwProcessId, nullptr};
  double ms = 0;
  for (;;) {
    EnumWindows(OnWindow, reinterpret_cast<LPARAM>(&search));
    ms = bench::NowMs() - start;
    if (search.found || ms > kTimeoutMs) break;
    if (WaitForSingleObject(child.Get(), 2) == WAIT_OBJECT_0) break;
  }

  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(child.Get(), 5000) != WAIT_OBJECT_0) TerminateProcess(child.Get(), 1);

  if (!search.found) {
    std::printf("ms=-1 no window after %.0f ms\n", ms);
    return 1;
  }
  std::printf("ms=%.3f\n", ms);
  return 0;
}
