#include "ui/ExclusiveEngine_win.h"

namespace lexiphon {

ProcedureLock::ProcedureLock() : mutex_(CreateMutexW(nullptr, FALSE, kProcedureMutexName)) {
  // Made by another user with a narrower access list, it may still open.
  if (!mutex_) {
    mutex_.Reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, kProcedureMutexName));
  }
  if (!mutex_) return;
  const DWORD waited = WaitForSingleObject(mutex_.Get(), INFINITE);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

ProcedureLock::~ProcedureLock() {
  if (held_) ReleaseMutex(mutex_.Get());
}

ResultCode ExclusiveEngine::DoInstall() {
  const ProcedureLock lock;
  return engine_.DoInstall();
}

ResultCode ExclusiveEngine::DoUninstall() {
  const ProcedureLock lock;
  return engine_.DoUninstall();
}

}  // namespace lexiphon
