#pragma once
// One procedure at a time on this machine: two installers started at once,
// one installing and one uninstalling, would each work on the other's half
// of the same startup folder. Each procedure runs holding a machine-wide
// named mutex; a second program waits for it with its dialog alive, and its
// user may leave meanwhile.
#include "platform/ScopedHandle_win.h"

namespace lexiphon {

constexpr const wchar_t* kProcedureMutexName = L"Global\\LexiphonSetup";

// Holds the mutex from construction to destruction. Taken in the click
// handler of OK: while another program holds it, the wait keeps the dialog
// alive (ClickWait). A mutex abandoned by a program that died counts as
// acquired. When the mutex can be neither created nor opened, or the wait
// fails, the procedure runs without it rather than not at all.
class ProcedureLock {
 public:
  ProcedureLock();
  ~ProcedureLock();
  ProcedureLock(const ProcedureLock&) = delete;
  ProcedureLock& operator=(const ProcedureLock&) = delete;

  // The user left while waiting: no procedure may run.
  bool UserLeft() const { return userLeft_; }

 private:
  KernelHandle mutex_;
  bool held_ = false;
  bool userLeft_ = false;
};

}  // namespace lexiphon
