#include "ui/WindowTexts.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>

namespace lexiphon {
namespace {

TEST(ChooserCaption, CarriesTheProgramsVersion) {
  EXPECT_EQ(L"Lexiphon Installer / Deinstaller - V" LEXIPHON_VERSION_TEXT, ChooserCaption());
}

// The letter after "&", upper-cased, or 0 when the text has no access key.
wchar_t AccessKey(const std::wstring& text) {
  const std::size_t at = text.find(L'&');
  if (at == std::wstring::npos || at + 1 >= text.size()) return 0;
  return static_cast<wchar_t>(std::towupper(text[at + 1]));
}

TEST(ActionDialogTexts, AccessKeysAreTheSameLettersInEveryLanguageAndNeverClash) {
  struct Row {
    Language language;
    wchar_t cancelKey;
  };
  const Row rows[] = {
      {Language::German, L'A'}, {Language::English, L'C'}, {Language::Portuguese, L'C'}};
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.language));
    const ActionDialogTexts& texts = ActionDialogTextsFor(row.language);
    EXPECT_EQ(0, AccessKey(texts.TextOf(ControlId::Frame1)));
    EXPECT_EQ(L'I', AccessKey(texts.TextOf(ControlId::optInst)));
    EXPECT_EQ(L'D', AccessKey(texts.TextOf(ControlId::optDeInst)));
    EXPECT_EQ(L'O', AccessKey(texts.TextOf(ControlId::cmdOk)));
    EXPECT_EQ(row.cancelKey, AccessKey(texts.TextOf(ControlId::cmdCancel)));
  }
}

TEST(ActionDialogTexts, PortugueseLettersSurviveAsSingleCharacters) {
  const ActionDialogTexts& texts = ActionDialogTextsFor(Language::Portuguese);
  EXPECT_EQ(std::wstring(L"Lexiphon instala\u00E7\u00E3o / deinstala\u00E7\u00E3o..."),
            texts.caption);
  EXPECT_EQ(std::wstring(L"A\u00E7\u00E3o:"), texts.frame);
}

TEST(ActionDialogTexts, OnlyTheGermanDialogShowsTheProgramIcon) {
  EXPECT_TRUE(ActionDialogTextsFor(Language::German).showsProgramIcon);
  EXPECT_FALSE(ActionDialogTextsFor(Language::English).showsProgramIcon);
  EXPECT_FALSE(ActionDialogTextsFor(Language::Portuguese).showsProgramIcon);
}

}  // namespace
}  // namespace lexiphon
