#include "ui/ClickWait_win.h"

namespace lexiphon {

ClickWait* ClickWait::inHand_ = nullptr;

ClickWait::ClickWait(HWND leaveButton) : leaveButton_(leaveButton), outer_(inHand_) {
  inHand_ = this;
}

ClickWait::~ClickWait() { inHand_ = outer_; }

WaitEnd ClickWait::ForMutex(HANDLE mutex) {
  switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return WaitEnd::Taken;
    case WAIT_TIMEOUT: break;
    default: return WaitEnd::Failed;
  }
  return inHand_ ? inHand_->Wait(mutex) : WaitEnd::Failed;
}

// PeekMessage delivers the messages sent to our windows inside the call,
// whether or not it returns one that was posted: a close or a session's end
// sent by another program is seen only by looking at leaveAsked_ after it.
WaitEnd ClickWait::Wait(HANDLE mutex) {
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      // The main loop still needs to see a request to quit.
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return WaitEnd::Left;
      }
      if (Dispatches(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (leaveAsked_) return WaitEnd::Left;
    }
    if (leaveAsked_) return WaitEnd::Left;

    const DWORD woke =
        MsgWaitForMultipleObjectsEx(1, &mutex, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED_0) {
      // A leave sent as the mutex came free still counts: it is delivered
      // here, and the mutex, owned by now, goes back.
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
      // cppcheck-suppress knownConditionTrueFalse ; the call above runs our window procedures
      if (!leaveAsked_) return WaitEnd::Taken;
      ReleaseMutex(mutex);
      return WaitEnd::Left;
    }
    if (woke != WAIT_OBJECT_0 + 1) return WaitEnd::Failed;
  }
}

// While waiting, a control gets only its painting and the system keys,
// which reach the window's frame (Alt+F4, the system menu): a click or key
// there would change what was chosen. The leave button is the exception.
bool ClickWait::Dispatches(const MSG& message) const {
  const bool toControl = message.hwnd && message.hwnd != leaveButton_ &&
                         (GetWindowLongPtrW(message.hwnd, GWL_STYLE) & WS_CHILD) != 0;
  return !toControl || message.message == WM_PAINT ||
         (message.message >= WM_SYSKEYDOWN && message.message <= WM_SYSDEADCHAR);
}

}  // namespace lexiphon
