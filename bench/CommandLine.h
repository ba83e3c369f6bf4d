// The rest of this program's command line after its own name, as the bench
// programs pass it on whole to the program they start.
#pragma once

#include "registry/WinApi.h"

namespace bench {

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

inline const wchar_t* Arguments() { return SkipToken(GetCommandLineW()); }

}  // namespace bench
