#include "ui/ActionDialogLogic.h"

#include <utility>

namespace lexiphon {

ActionDialogLogic::ActionDialogLogic(Language language, Session& session,
                                     MessageBoxFn showMessage)
    : language_(language), session_(session), showMessage_(std::move(showMessage)) {}

AfterClick ActionDialogLogic::OnOk(bool optInstSelected, bool optDeInstSelected) {
  Procedure procedure;
  if (optInstSelected) {
    procedure = Procedure::Install;
  } else if (optDeInstSelected) {
    procedure = Procedure::Uninstall;
  } else {
    return AfterClick::StayOpen;
  }
  const std::optional<ResultCode> code = session_.runProcedure(procedure);
  if (!code) return AfterClick::Close;
  session_.exitCode = *code;
  // The settings are read only now: TargetDir is the folder the procedure
  // worked on.
  ShowResultMessage(language_, procedure, *code, session_.templateName, session_.targetDir,
                    showMessage_);
  return AfterClick::Close;
}

}  // namespace lexiphon
