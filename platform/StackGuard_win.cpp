// The stack protector's guard and its failure, the program's own. The
// toolchain's libssp would seed the guard through advapi32's Crypt*
// functions in a constructor, before the DLL search is restricted, and
// Windows serves those from a DLL that is not a KnownDLL. Here the guard
// comes from what kernel32 answers without loading anything.
#include "platform/WinApi.h"

#include <cstdint>

extern "C" {

// Never zero, and never a value an attacker could write with a string:
// its low byte stays 0, as a terminator.
std::uintptr_t __stack_chk_guard = 0x2B5E1A00u;

[[noreturn]] void __stack_chk_fail() {
  // A smashed stack: nothing on it can be trusted, so no unwinding, no
  // message, no handler.
  ::TerminateProcess(::GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  for (;;) {
  }
}

}  // extern "C"

namespace {

// Runs before the other constructors and before wWinMain, so no frame that
// checks the guard is live when it changes.
__attribute__((constructor(101), no_stack_protector)) void SeedStackGuard() {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  std::uint64_t seed = static_cast<std::uint64_t>(counter.QuadPart);
  seed ^= (static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime) *
          0x9E3779B97F4A7C15u;
  seed ^= (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32 | ::GetCurrentThreadId()) *
          0xC2B2AE3D27D4EB4Fu;
  seed ^= seed >> 29;
  const auto guard = static_cast<std::uintptr_t>(seed ^ (seed >> 32 << 16)) & ~std::uintptr_t{0xFF};
  if (guard != 0) __stack_chk_guard = guard;
}

}  // namespace
