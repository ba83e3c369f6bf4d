#pragma once
// The one way into <windows.h> for Windows-only files. It sets the macros
// itself, so that every file sees the same Windows, whoever builds it.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Windows 7, the oldest the program runs on. Set over any earlier value:
// the first standard header already brought in mingw's own default (the
// newest Windows), and a later #ifndef would leave that standing.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#undef WINVER
#define WINVER 0x0601
#include <windows.h>

// A function of a loaded DLL, looked up by name at run time: one that an
// older Windows lacks, or one that must not be imported. Null when the
// module or the function is missing.
template <typename Function>
Function FunctionOf(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
