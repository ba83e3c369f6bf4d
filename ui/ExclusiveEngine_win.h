#pragma once
// One procedure at a time on this machine: two installers started at once,
// one installing and one uninstalling, would each work on the other's half
// of the same startup folder. Each procedure runs holding a machine-wide
// named mutex; a second program waits for it as its dialog waits for its own
// procedure, without reacting to input.
#include "platform/ScopedHandle_win.h"
#include "ui/ActionDialogLogic.h"

namespace lexiphon {

constexpr const wchar_t* kProcedureMutexName = L"Global\\LexiphonSetup";

// Holds the mutex from construction to destruction. A mutex abandoned by a
// program that died counts as acquired. When the mutex can be neither
// created nor opened, the procedure runs without it rather than not at all.
class ProcedureLock {
 public:
  ProcedureLock();
  ~ProcedureLock();
  ProcedureLock(const ProcedureLock&) = delete;
  ProcedureLock& operator=(const ProcedureLock&) = delete;

 private:
  KernelHandle mutex_;
  bool held_ = false;
};

// The engine's procedures, each under the lock; the settings as they are.
class ExclusiveEngine final : public InstallEngine {
 public:
  explicit ExclusiveEngine(InstallEngine& engine) : engine_(engine) {}
  ResultCode DoInstall() override;
  ResultCode DoUninstall() override;
  std::wstring TemplateName() const override { return engine_.TemplateName(); }
  std::wstring TargetDir() const override { return engine_.TargetDir(); }

 private:
  InstallEngine& engine_;
};

}  // namespace lexiphon
