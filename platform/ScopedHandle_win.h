#pragma once
// One owner for every kind of Windows handle: closed on every way out, never
// twice. The traits name the invalid value and the function that closes it.
#include <utility>

#include "platform/WinApi.h"

namespace lexiphon {

template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  bool Valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return Valid(); }
  Handle Get() const { return handle_; }

  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Valid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// CreateFileW fails with INVALID_HANDLE_VALUE, CreateMutexW with nullptr:
// both mean "none", so either result can be held as it comes.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  // cppcheck-suppress constParameter ; HANDLE is void*, the traits' type is fixed
  static bool IsValid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::CloseHandle(handle); }
};
using KernelHandle = ScopedHandle<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  // cppcheck-suppress constParameter ; HANDLE is void*, the traits' type is fixed
  static bool IsValid(Handle handle) { return handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { ::FindClose(handle); }
};
using FindHandle = ScopedHandle<FindHandleTraits>;

// Fonts, bitmaps, brushes: anything DeleteObject frees.
template <typename Gdi>
struct GdiObjectTraits {
  using Handle = Gdi;
  static Handle Invalid() { return nullptr; }
  // cppcheck-suppress constParameter ; GDI handles are pointers, the traits' type is fixed
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::DeleteObject(handle); }
};
template <typename Gdi>
using GdiObject = ScopedHandle<GdiObjectTraits<Gdi>>;

}  // namespace lexiphon
