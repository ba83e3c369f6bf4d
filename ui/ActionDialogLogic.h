#pragma once
// What OK in an action dialog does, apart from the window: run the selected
// procedure, report its outcome, and say whether the dialog closes.
#include "platform/MessageBoxFn.h"
#include "ui/MessageCatalogue.h"
#include "ui/Session.h"

namespace lexiphon {

enum class AfterClick { StayOpen, Close };

class ActionDialogLogic {
 public:
  // The session's two settings are read after each run, from where they
  // live; its exit code is set to the result code of each run.
  ActionDialogLogic(Language language, Session& session, MessageBoxFn showMessage);

  // optInst is read first. With neither option selected nothing runs and the
  // dialog stays; otherwise it closes once the message box, if the outcome
  // has one, has been closed. A user who left while the procedure waited
  // for another instance gets no message.
  AfterClick OnOk(bool optInstSelected, bool optDeInstSelected);

 private:
  Language language_;
  Session& session_;
  MessageBoxFn showMessage_;
};

}  // namespace lexiphon
