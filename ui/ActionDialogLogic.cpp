#include "ui/ActionDialogLogic.h"

#include <utility>

namespace lexiphon {

ActionDialogLogic::ActionDialogLogic(Language language, InstallEngine& engine,
                                     MessageBoxFn showMessage)
    : language_(language), engine_(engine), showMessage_(std::move(showMessage)) {}

AfterClick ActionDialogLogic::OnOk(bool optInstSelected, bool optDeInstSelected) {
  Procedure procedure;
  ResultCode code;
  if (optInstSelected) {
    procedure = Procedure::Install;
    code = engine_.DoInstall();
  } else if (optDeInstSelected) {
    procedure = Procedure::Uninstall;
    code = engine_.DoUninstall();
  } else {
    return AfterClick::StayOpen;
  }
  exitCode_ = code;
  // The settings are read only now: TargetDir is the folder the procedure
  // worked on.
  ShowResultMessage(language_, procedure, code, engine_.TemplateName(), engine_.TargetDir(),
                    showMessage_);
  return AfterClick::Close;
}

}  // namespace lexiphon
