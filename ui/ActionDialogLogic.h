#pragma once
// What OK in an action dialog does, apart from the window: run the selected
// procedure, report its outcome, and say whether the dialog closes.
#include <string>

#include "engine/ResultCodes.h"
#include "engine/SharedSubs.h"
#include "platform/MessageBoxFn.h"
#include "ui/MessageCatalogue.h"

namespace lexiphon {

// The two procedures a dialog runs and the settings its messages show.
class InstallEngine {
 public:
  virtual ~InstallEngine() = default;
  virtual ResultCode DoInstall() = 0;
  virtual ResultCode DoUninstall() = 0;
  virtual std::wstring TemplateName() const = 0;
  virtual std::wstring TargetDir() const = 0;
};

class SharedSubsEngine final : public InstallEngine {
 public:
  explicit SharedSubsEngine(SharedSubs& subs) : subs_(subs) {}
  ResultCode DoInstall() override { return subs_.DoInstall(); }
  ResultCode DoUninstall() override { return subs_.DoUninstall(); }
  std::wstring TemplateName() const override { return subs_.TemplateName; }
  std::wstring TargetDir() const override { return subs_.TargetDir; }

 private:
  SharedSubs& subs_;
};

enum class AfterClick { StayOpen, Close };

// The process's exit code when the user leaves without running a procedure:
// the Windows Installer's ERROR_INSTALL_USEREXIT, so that a script does not
// take a cancelled run for a success.
constexpr int kExitUserCancelled = 1602;

class ActionDialogLogic {
 public:
  ActionDialogLogic(Language language, InstallEngine& engine, MessageBoxFn showMessage);

  // optInst is read first. With neither option selected nothing runs and the
  // dialog stays; otherwise it closes once the message box, if the outcome
  // has one, has been closed.
  AfterClick OnOk(bool optInstSelected, bool optDeInstSelected);

  // The result code of the procedure that ran, sign-extended, or
  // kExitUserCancelled while none has.
  int ExitCode() const { return exitCode_; }

 private:
  Language language_;
  InstallEngine& engine_;
  MessageBoxFn showMessage_;
  int exitCode_ = kExitUserCancelled;
};

}  // namespace lexiphon
