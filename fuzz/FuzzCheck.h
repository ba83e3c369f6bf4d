#pragma once
// Shared by the fuzz targets: invariants that must hold for every input.
// Aborting lets libFuzzer report the failure and keep the input that
// caused it.
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lexiphon::fuzz {

inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "INVARIANT FAILED: %s\n", what);
  std::abort();
}

// A folder we may install to: "X:\..." or "\\server...". Written out here
// rather than taken from the engine, so a fault there cannot hide itself.
inline bool IsAbsoluteFolder(const std::wstring& path) {
  if (path.size() < 3) return false;
  const wchar_t drive = path[0];
  const bool letter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
  if (letter && path[1] == L':' && path[2] == L'\\') return true;
  return path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

inline bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace lexiphon::fuzz
