// Starts one command line, waits for it to end and prints the elapsed time,
// so that every Windows program in the bench is timed alike, with Wine's
// process start-up included:
//   bench_timer.exe [-q] <command line>
//   ms=123.456 rc=0
// -q sends the child's output to NUL.
#include "bench/Bench.h"

#include <cstdio>
#include <string>

int wmain() {
  const wchar_t* rest = bench::Arguments();
  const bool quiet = rest[0] == L'-' && rest[1] == L'q' && (rest[2] == L' ' || rest[2] == L'\t');
  if (quiet) rest = bench::SkipToken(rest);
  if (!*rest) {
    std::fputs("usage: bench_timer [-q] <command line>\n", stderr);
    return 2;
  }
  std::wstring command = rest;  // CreateProcessW may write into it

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  lexiphon::KernelHandle nul;
  if (quiet) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    nul.Reset(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr));
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nul.Get();
    startup.hStdError = nul.Get();
  }

  const double start = bench::NowMs();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "bench_timer: cannot start %ls (error %lu)\n", rest, GetLastError());
    return 2;
  }
  const lexiphon::KernelHandle thread(process.hThread);
  const lexiphon::KernelHandle child(process.hProcess);
  WaitForSingleObject(child.Get(), INFINITE);
  const double ms = bench::NowMs() - start;

  DWORD code = 0;
  GetExitCodeProcess(child.Get(), &code);
  std::printf("ms=%.3f rc=%lu\n", ms, code);
  return 0;
}
