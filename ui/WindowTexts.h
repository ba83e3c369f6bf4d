#pragma once
// The captions of the windows and their controls. An "&" marks the access key.
#include <string>

#include "ui/Layout.h"
#include "ui/MessageCatalogue.h"

namespace lexiphon {

// frmMain's design caption followed by " - V" and the program's version as
// the build spells it for the caption: "1.10" for 1.1.0.
std::wstring ChooserCaption();

// The language's own name: the window text of its flag button, which shows
// only the flag but is announced by this name to a screen reader. No "&":
// the buttons have no access keys.
const wchar_t* LanguageName(Language language);

struct ActionDialogTexts {
  const wchar_t* caption;
  const wchar_t* frame;
  const wchar_t* install;
  const wchar_t* uninstall;
  const wchar_t* ok;
  const wchar_t* cancel;
  bool showsProgramIcon;  // only frmDeu has the program icon

  // The caption of one of the dialog's controls.
  const wchar_t* TextOf(ControlId id) const;
};

// The texts of frmDeu, frmEng or frmPor.
const ActionDialogTexts& ActionDialogTextsFor(Language language);

}  // namespace lexiphon
