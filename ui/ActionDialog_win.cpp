#include "ui/ActionDialog_win.h"

#include <memory>

namespace lexiphon {

bool ActionDialog::Open(Session& session, Language language) {
  std::unique_ptr<ActionDialog> window(new ActionDialog(session, language));
  const ActionDialogTexts& texts = window->texts_;
  if (!window->Create(kActionDialogClassName, texts.caption, texts.showsProgramIcon)) return false;
  HWND hwnd = window.release()->Handle();
  // The design selects neither option, but an option button that takes the
  // focus becomes the selected one, and optInst takes it on opening.
  CheckRadioButton(hwnd, static_cast<int>(ControlId::optInst),
                   static_cast<int>(ControlId::optDeInst), static_cast<int>(ControlId::optInst));
  ShowWindow(hwnd, SW_SHOW);
  return true;
}

ActionDialog::ActionDialog(Session& session, Language language)
    : LayoutWindow(ActionDialogLayout()),
      texts_(ActionDialogTextsFor(language)),
      logic_(language, session,
             [this](const std::wstring& text, const std::wstring& title, unsigned style) {
               MessageBoxW(Handle(), text.c_str(), title.c_str(), style);
             }) {}

const wchar_t* ActionDialog::TextOf(ControlId id) const { return texts_.TextOf(id); }

bool ActionDialog::IsSelected(ControlId option) const {
  return SendMessageW(Control(option), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ActionDialog::OnClick(ControlId id) {
  switch (id) {
    case ControlId::cmdOk:
      // The procedure and its message box run here, on the one UI thread;
      // the dialog takes no input meanwhile. Waiting for another instance,
      // it may be left: it then closes with nothing done.
      if (logic_.OnOk(IsSelected(ControlId::optInst), IsSelected(ControlId::optDeInst)) ==
          AfterClick::StayOpen) {
        return false;
      }
      return true;
    case ControlId::cmdCancel: return true;
    default: return false;
  }
}

}  // namespace lexiphon
