#pragma once
// Waiting for a mutex from within a click handler, with the program's
// windows kept alive: they paint, move and answer other programs, but the
// controls take no input that could change what was chosen. The user may
// leave the wait by the window's leave button (the dialog's Cancel), the
// close box, Alt+F4, a WM_CLOSE posted or sent, or a session that ends.
#include "platform/WinApi.h"

namespace lexiphon {

enum class WaitEnd { Taken, Left, Failed };

// One for each click a window handles, made by the window before its click
// handler runs and gone after it; the window routes a leave asked for
// meanwhile to it.
class ClickWait {
 public:
  // `leaveButton`: the control of the clicked window whose input gets
  // through while waiting, and whose click ends the wait; null for none.
  explicit ClickWait(HWND leaveButton);
  ~ClickWait();
  ClickWait(const ClickWait&) = delete;
  ClickWait& operator=(const ClickWait&) = delete;

  // Waits for `mutex` within the click being handled. A mutex free already
  // is taken without handling any message; an abandoned one counts as
  // taken (and is then owned). Left when the user left, with the mutex not
  // held, even when it came free at the same moment. Failed when the wait
  // itself fails, or no click is being handled.
  static WaitEnd ForMutex(HANDLE mutex);

  // A click of the leave button, a close request or the session's end:
  // the wait within this click ends as Left.
  void AskToLeave() { leaveAsked_ = true; }

 private:
  WaitEnd Wait(HANDLE mutex);
  bool Dispatches(const MSG& message) const;

  HWND leaveButton_;
  bool leaveAsked_ = false;
  // The click that was in hand before this one; clicks of two windows
  // could nest, and then the inner one waits.
  ClickWait* outer_;

  // The click being handled on the UI thread, if any: ProcedureLock knows
  // no window, and finds its wait here.
  static ClickWait* inHand_;
};

}  // namespace lexiphon
