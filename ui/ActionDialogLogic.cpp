#include "ui/ActionDialogLogic.h"

#include <utility>

namespace lexiphon {

ActionDialogLogic::ActionDialogLogic(Language language, RunProcedure runProcedure,
                                     const std::wstring& templateName,
                                     const std::wstring& targetDir, MessageBoxFn showMessage)
    : language_(language),
      runProcedure_(std::move(runProcedure)),
      templateName_(templateName),
      targetDir_(targetDir),
      showMessage_(std::move(showMessage)) {}

AfterClick ActionDialogLogic::OnOk(bool optInstSelected, bool optDeInstSelected) {
  Procedure procedure;
  if (optInstSelected) {
    procedure = Procedure::Install;
  } else if (optDeInstSelected) {
    procedure = Procedure::Uninstall;
  } else {
    return AfterClick::StayOpen;
  }
  const std::optional<ResultCode> code = runProcedure_(procedure);
  if (!code) return AfterClick::Close;
  exitCode_ = *code;
  // The settings are read only now: TargetDir is the folder the procedure
  // worked on.
  ShowResultMessage(language_, procedure, *code, templateName_, targetDir_, showMessage_);
  return AfterClick::Close;
}

}  // namespace lexiphon
