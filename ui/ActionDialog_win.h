#pragma once
// The action dialog, in the language chosen: frmDeu, frmEng or frmPor. The
// three share one design and differ in their texts, the language of their
// messages and the icon (only frmDeu has the program icon).
#include "ui/ActionDialogLogic.h"
#include "ui/Session.h"
#include "ui/Window_win.h"
#include "ui/WindowTexts.h"

namespace lexiphon {

// Also used by the end-to-end tests to find the window.
constexpr const wchar_t* kActionDialogClassName = L"LexiphonSetup.ActionDialog";

class ActionDialog final : public LayoutWindow {
 public:
  // Creates and shows the dialog without modality, optInst selected and
  // focused; false when the window cannot be created.
  static bool Open(Session& session, Language language);

 private:
  ActionDialog(Session& session, Language language);

  const wchar_t* TextOf(ControlId id) const override;
  bool OnClick(ControlId id) override;
  // Cancel leaves a wait for another instance, as it leaves the dialog.
  std::optional<ControlId> LeaveButton() const override { return ControlId::cmdCancel; }
  bool IsSelected(ControlId option) const;

  const ActionDialogTexts& texts_;
  ActionDialogLogic logic_;
};

}  // namespace lexiphon
