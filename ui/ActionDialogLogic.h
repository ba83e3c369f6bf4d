#pragma once
// What OK in an action dialog does, apart from the window: run the selected
// procedure, report its outcome, and say whether the dialog closes.
#include <string>

#include "platform/MessageBoxFn.h"
#include "ui/MessageCatalogue.h"
#include "ui/Session.h"

namespace lexiphon {

enum class AfterClick { StayOpen, Close };

class ActionDialogLogic {
 public:
  // The two settings are read after each run, from where they live.
  ActionDialogLogic(Language language, RunProcedure runProcedure, const std::wstring& templateName,
                    const std::wstring& targetDir, MessageBoxFn showMessage);

  // optInst is read first. With neither option selected nothing runs and the
  // dialog stays; otherwise it closes once the message box, if the outcome
  // has one, has been closed. A user who left while the procedure waited
  // for another instance gets no message.
  AfterClick OnOk(bool optInstSelected, bool optDeInstSelected);

  // The result code of the procedure that ran, sign-extended, or
  // kExitUserCancelled while none has.
  int ExitCode() const { return exitCode_; }

 private:
  Language language_;
  RunProcedure runProcedure_;
  const std::wstring& templateName_;
  const std::wstring& targetDir_;
  MessageBoxFn showMessage_;
  int exitCode_ = kExitUserCancelled;
};

}  // namespace lexiphon
