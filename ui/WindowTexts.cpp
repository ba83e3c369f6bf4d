#include "ui/WindowTexts.h"

namespace lexiphon {

std::wstring ChooserCaption() {
  return L"Lexiphon Installer / Deinstaller - V" LEXIPHON_VERSION_TEXT;
}

const wchar_t* LanguageName(Language language) {
  switch (language) {
    case Language::German: return L"Deutsch";
    case Language::English: return L"English";
    case Language::Portuguese: return L"Português";
  }
  return L"";
}

const wchar_t* ActionDialogTexts::TextOf(ControlId id) const {
  switch (id) {
    case ControlId::Frame1: return frame;
    case ControlId::optInst: return install;
    case ControlId::optDeInst: return uninstall;
    case ControlId::cmdOk: return ok;
    case ControlId::cmdCancel: return cancel;
    default: return L"";
  }
}

const ActionDialogTexts& ActionDialogTextsFor(Language language) {
  static const ActionDialogTexts frmDeu{L"Lexiphon Installation / Deinstallation...",
                                        L"Aktion:",
                                        L"Lexiphon &installieren",
                                        L"Lexiphon &de-installieren",
                                        L"&OK",
                                        L"&Abbruch",
                                        true};
  static const ActionDialogTexts frmEng{L"Lexiphon installation / deinstallation...",
                                        L"Action:",
                                        L"&Install Lexiphon",
                                        L"&De-Install Lexiphon",
                                        L"&OK",
                                        L"&Cancel",
                                        false};
  static const ActionDialogTexts frmPor{L"Lexiphon instalação / deinstalação...",
                                        L"Ação:",
                                        L"&Instalar Lexiphon",
                                        L"&De-Instalar Lexiphon",
                                        L"&OK",
                                        L"&Cancelar",
                                        false};
  switch (language) {
    case Language::German: return frmDeu;
    case Language::English: return frmEng;
    case Language::Portuguese: return frmPor;
  }
  return frmEng;
}

}  // namespace lexiphon
