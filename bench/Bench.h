// What the bench programs share: the clock they time with, and the rest of
// their command line, which they pass on whole to the program they start.
#pragma once

#include "platform/ScopedHandle_win.h"

namespace bench {

inline double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Past one command-line token and the blanks after it.
inline const wchar_t* SkipToken(const wchar_t* p) {
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

// The command line after this program's own name.
inline const wchar_t* Arguments() { return SkipToken(GetCommandLineW()); }

}  // namespace bench
