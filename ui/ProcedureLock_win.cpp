#include "ui/ProcedureLock_win.h"

#include "ui/ClickWait_win.h"

namespace lexiphon {

ProcedureLock::ProcedureLock() : mutex_(CreateMutexW(nullptr, FALSE, kProcedureMutexName)) {
  // Made by another user with a narrower access list, it may still open.
  if (!mutex_) {
    mutex_.Reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kProcedureMutexName));
  }
  if (!mutex_) return;
  const WaitEnd waited = ClickWait::ForMutex(mutex_.Get());
  held_ = waited == WaitEnd::Taken;
  userLeft_ = waited == WaitEnd::Left;
}

ProcedureLock::~ProcedureLock() {
  if (held_) ReleaseMutex(mutex_.Get());
}

}  // namespace lexiphon
