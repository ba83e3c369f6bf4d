#include "ui/MessageCatalogue.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace lexiphon {
namespace {

constexpr Language De = Language::German;
constexpr Language En = Language::English;
constexpr Language Pt = Language::Portuguese;
constexpr Procedure Ins = Procedure::Install;
constexpr Procedure Uni = Procedure::Uninstall;

const Language kLanguages[] = {De, En, Pt};
const Procedure kProcedures[] = {Ins, Uni};

// Markers that occur in no fixed text, so each insertion can be located.
const std::wstring kTn = L"{TN}";
const std::wstring kTd = L"{TD}";

std::string Describe(Language language, Procedure procedure, int code) {
  const char* names[] = {"German", "English", "Portuguese"};
  return std::string(names[static_cast<int>(language)]) +
         (procedure == Ins ? " install " : " uninstall ") + std::to_string(code);
}

std::vector<std::wstring> Lines(const std::wstring& prompt) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  for (std::size_t pos; (pos = prompt.find(L"\r\n", start)) != std::wstring::npos;
       start = pos + 2) {
    lines.push_back(prompt.substr(start, pos - start));
  }
  lines.push_back(prompt.substr(start));
  return lines;
}

std::size_t Count(const std::wstring& text, const std::wstring& part) {
  std::size_t n = 0;
  for (std::size_t pos = text.find(part); pos != std::wstring::npos;
       pos = text.find(part, pos + part.size())) {
    ++n;
  }
  return n;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
  for (std::size_t pos = text.find(from); pos != std::wstring::npos;
       pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
  return text;
}

std::wstring Prompt(Language language, Procedure procedure, ResultCode code,
                    const std::wstring& templateName = kTn, const std::wstring& targetDir = kTd) {
  const auto message = BuildResultMessage(language, procedure, code, templateName, targetDir);
  return message ? message->prompt : L"<no entry>";
}

struct EntryRow {
  Language language;
  Procedure procedure;
  ResultCode code;
  const wchar_t* title;
  unsigned style;
  std::size_t lines;
  bool insertsTemplateName;
  bool insertsTargetDir;
};

const EntryRow kEntries[] = {
    {De, Ins, 0, L"ERFOLG !!!", 64, 4, true, true},
    {De, Ins, -1, L"FEHLER !!!", 48, 3, true, false},
    {De, Ins, -2, L"FEHLER !!!", 48, 3, false, false},
    {De, Ins, -3, L"FEHLER !!!", 48, 1, false, false},
    {De, Ins, -4, L"FEHLER !!!", 48, 3, false, true},
    {De, Ins, -5, L"FEHLER !!!", 48, 1, false, false},
    {De, Ins, -100, L"FEHLER !!!", 48, 1, false, false},
    {De, Ins, -200, L"FEHLER !!!", 48, 1, false, false},
    {De, Uni, 0, L"ERFOLG !!!", 64, 1, false, false},
    {De, Uni, -1, L"FEHLER !!!", 48, 3, false, true},
    {De, Uni, -2, L"ACHTUNG !!!", 64, 2, false, false},
    {De, Uni, -100, L"FEHLER !!!", 48, 1, false, false},
    {De, Uni, -200, L"FEHLER !!!", 48, 1, false, false},

    {En, Ins, 0, L"SUCCESS !!!", 64, 4, true, true},
    {En, Ins, -1, L"ERROR !!!", 48, 3, true, false},
    {En, Ins, -2, L"ERROR !!!", 48, 3, false, false},
    {En, Ins, -3, L"ERROR !!!", 48, 1, false, false},
    {En, Ins, -4, L"ERROR !!!", 48, 2, false, true},
    {En, Ins, -5, L"ERROR !!!", 48, 1, false, false},
    {En, Ins, -100, L"ERROR !!!", 48, 1, false, false},
    {En, Ins, -200, L"ERROR !!!", 48, 1, false, false},
    {En, Uni, 0, L"SUCCESS !!!", 64, 1, false, false},
    {En, Uni, -1, L"ERROR !!!", 48, 3, false, true},
    {En, Uni, -2, L"ATTENTION !!!", 64, 2, false, false},
    {En, Uni, -100, L"ERROR !!!", 48, 1, false, false},
    {En, Uni, -200, L"ERROR !!!", 48, 1, false, false},

    {Pt, Ins, 0, L"SUCESSO !!!", 64, 4, true, true},
    {Pt, Ins, -1, L"ERRO !!!", 48, 3, true, false},
    {Pt, Ins, -2, L"ERRO !!!", 48, 3, false, false},
    {Pt, Ins, -3, L"ERRO !!!", 48, 1, false, false},
    {Pt, Ins, -4, L"ERRO !!!", 48, 2, false, true},
    {Pt, Ins, -5, L"ERRO !!!", 48, 1, false, false},
    {Pt, Ins, -100, L"ERRO !!!", 48, 1, false, false},
    {Pt, Ins, -200, L"ERRO !!!", 48, 1, false, false},
    {Pt, Uni, 0, L"SUCESSO !!!", 64, 1, false, false},
    {Pt, Uni, -1, L"ERRO !!!", 48, 3, false, true},
    {Pt, Uni, -2, L"ATENÇÃO !!!", 64, 2, false, false},
    {Pt, Uni, -100, L"ERRO !!!", 48, 1, false, false},
    {Pt, Uni, -200, L"ERRO !!!", 48, 1, false, false},
};

TEST(MessageCatalogueTest, EveryEntryHasItsTitleStyleAndLineCount) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(Describe(row.language, row.procedure, row.code));
    const auto message = BuildResultMessage(row.language, row.procedure, row.code, kTn, kTd);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->title, row.title);
    EXPECT_EQ(message->style, row.style);
    EXPECT_EQ(Lines(message->prompt).size(), row.lines);
  }
}

TEST(MessageCatalogueTest, PromptsHaveOnlyCrLfBreaksAndNoneAtTheEnd) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(Describe(row.language, row.procedure, row.code));
    const std::wstring prompt = Prompt(row.language, row.procedure, row.code);
    ASSERT_GE(prompt.size(), 2u);
    EXPECT_NE(prompt.substr(prompt.size() - 2), L"\r\n");
    const std::size_t breaks = Count(prompt, L"\r\n");
    EXPECT_EQ(Count(prompt, L"\r"), breaks);
    EXPECT_EQ(Count(prompt, L"\n"), breaks);
    for (const std::wstring& line : Lines(prompt)) EXPECT_FALSE(line.empty());
  }
}

TEST(MessageCatalogueTest, SettingsAreInsertedOnceBetweenApostrophesWhereExpected) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(Describe(row.language, row.procedure, row.code));
    const std::wstring prompt = Prompt(row.language, row.procedure, row.code);
    EXPECT_EQ(Count(prompt, kTn), row.insertsTemplateName ? 1u : 0u);
    EXPECT_EQ(Count(prompt, kTd), row.insertsTargetDir ? 1u : 0u);
    EXPECT_EQ(Count(prompt, L"'" + kTn + L"'"), row.insertsTemplateName ? 1u : 0u);
    EXPECT_EQ(Count(prompt, L"'" + kTd + L"'"), row.insertsTargetDir ? 1u : 0u);
  }
}

TEST(MessageCatalogueTest, InsertedValuesAppearWhole) {
  struct Values {
    const char* name;
    std::wstring templateName;
    std::wstring targetDir;
  };
  const Values kValues[] = {
      {"apostrophes", L"O'Brien's.dot", L"C:\\Users\\O'Neil\\Word 'Startup'"},
      {"blanks", L"  Lexiphon .dot  ", L" C:\\Program Files\\Startup "},
      {"line breaks", L"Lexi\r\nphon.dot", L"C:\\a\r\nb\\"},
      {"non-Latin",
       L"\u041B\u0435\u043A\u0441\u0438\u0444\u043E\u043D.dot",
       L"C:\\\u65E5\u672C\u8A9E\\\u03A9\u03C1\u03B1"},
      {"empty", L"", L""},
  };
  for (const Values& values : kValues) {
    for (const EntryRow& row : kEntries) {
      SCOPED_TRACE(std::string(values.name) + ", " +
                   Describe(row.language, row.procedure, row.code));
      const std::wstring expected =
          ReplaceAll(ReplaceAll(Prompt(row.language, row.procedure, row.code), kTn,
                                values.templateName),
                     kTd, values.targetDir);
      EXPECT_EQ(Prompt(row.language, row.procedure, row.code, values.templateName,
                       values.targetDir),
                expected);
    }
  }
}

TEST(MessageCatalogueTest, OnlyTheListedCodesHaveEntries) {
  for (Language language : kLanguages) {
    for (Procedure procedure : kProcedures) {
      SCOPED_TRACE(Describe(language, procedure, 0));
      std::set<int> expected;
      for (const EntryRow& row : kEntries) {
        if (row.language == language && row.procedure == procedure) expected.insert(row.code);
      }
      std::set<int> found;
      for (int code = -32768; code <= 32767; ++code) {
        if (BuildResultMessage(language, procedure, static_cast<ResultCode>(code), kTn, kTd)) {
          found.insert(code);
        }
      }
      EXPECT_EQ(found, expected);
    }
  }
}

TEST(MessageCatalogueTest, CodesWithoutEntryShowNothing) {
  struct Missing {
    Procedure procedure;
    ResultCode code;
  };
  const Missing kMissing[] = {
      {Uni, -3}, {Uni, -4}, {Uni, -5},
      {Ins, 1}, {Ins, -6}, {Ins, -300}, {Ins, 32767}, {Ins, -32768},
      {Uni, 1}, {Uni, -6}, {Uni, -300}, {Uni, 32767}, {Uni, -32768},
  };
  for (Language language : kLanguages) {
    for (const Missing& missing : kMissing) {
      SCOPED_TRACE(Describe(language, missing.procedure, missing.code));
      EXPECT_FALSE(BuildResultMessage(language, missing.procedure, missing.code, kTn, kTd));
      testing::BoxRecorder recorder;
      ShowResultMessage(language, missing.procedure, missing.code, kTn, kTd, recorder.Seam());
      EXPECT_TRUE(recorder.shown.empty());
    }
  }
}

TEST(MessageCatalogueTest, ShowPassesTheBuiltMessageOnceToTheSeam) {
  for (const EntryRow& row : kEntries) {
    SCOPED_TRACE(Describe(row.language, row.procedure, row.code));
    testing::BoxRecorder recorder;
    ShowResultMessage(row.language, row.procedure, row.code, L"Lexiphon.dot", L"C:\\T",
                      recorder.Seam());
    ASSERT_EQ(recorder.shown.size(), 1u);
    EXPECT_EQ(recorder.shown[0].text,
              Prompt(row.language, row.procedure, row.code, L"Lexiphon.dot", L"C:\\T"));
    EXPECT_EQ(recorder.shown[0].title, row.title);
    EXPECT_EQ(recorder.shown[0].style, row.style);
  }
}

TEST(MessageCatalogueTest, WordErrorsReadTheSameAfterInstallAndUninstall) {
  for (Language language : kLanguages) {
    for (ResultCode code : {ResultCode(-100), ResultCode(-200)}) {
      SCOPED_TRACE(Describe(language, Ins, code));
      const auto install = BuildResultMessage(language, Ins, code, kTn, kTd);
      const auto uninstall = BuildResultMessage(language, Uni, code, kTn, kTd);
      ASSERT_TRUE(install && uninstall);
      EXPECT_EQ(install->title, uninstall->title);
      EXPECT_EQ(install->style, uninstall->style);
      EXPECT_EQ(install->prompt, uninstall->prompt);
    }
  }
}

TEST(MessageCatalogueTest, InstallSuccessNamesTemplateAndTarget) {
  struct Row {
    Language language;
    const wchar_t* secondLine;
    const wchar_t* lastLine;
  };
  const Row kRows[] = {
      {De, L"Das Programm 'Lexiphon.dot'", L"'C:\\Ziel' kopiert."},
      {En, L"The program 'Lexiphon.dot'", L"'C:\\Ziel'"},
      {Pt, L"O programa 'Lexiphon.dot'", L"'C:\\Ziel'"},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(Describe(row.language, Ins, 0));
    const auto lines = Lines(Prompt(row.language, Ins, 0, L"Lexiphon.dot", L"C:\\Ziel"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], row.secondLine);
    EXPECT_EQ(lines[3], row.lastLine);
  }
}

TEST(MessageCatalogueTest, InsertedValueFillsItsOwnLineElsewhere) {
  struct Row {
    Procedure procedure;
    ResultCode code;
    std::size_t line;
    std::wstring expected;
  };
  const Row kRows[] = {
      {Ins, -1, 1, L"'Lexiphon.dot'"},
      {Ins, -4, 1, L"'C:\\Ziel'"},
      {Uni, -1, 1, L"'C:\\Ziel'"},
  };
  for (Language language : kLanguages) {
    for (const Row& row : kRows) {
      SCOPED_TRACE(Describe(language, row.procedure, row.code));
      const auto lines = Lines(Prompt(language, row.procedure, row.code, L"Lexiphon.dot",
                                      L"C:\\Ziel"));
      ASSERT_GT(lines.size(), row.line);
      EXPECT_EQ(lines[row.line], row.expected);
    }
  }
}

TEST(MessageCatalogueTest, CreateFolderErrorGoesOnAfterTargetOnlyInGerman) {
  EXPECT_EQ(Lines(Prompt(De, Ins, -4)).back(), L"aufgetreten...");
  EXPECT_EQ(Lines(Prompt(En, Ins, -4)).back(), L"'" + kTd + L"'");
  EXPECT_EQ(Lines(Prompt(Pt, Ins, -4)).back(), L"'" + kTd + L"'");
}

TEST(MessageCatalogueTest, SelectedPromptsMatchExactly) {
  const std::wstring startup = L"C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup";
  struct Row {
    Language language;
    Procedure procedure;
    ResultCode code;
    std::wstring expected;
  };
  const Row kRows[] = {
      {En, Ins, 0,
       L"The installation was performed successfully.\r\n"
       L"The program 'Lexiphon.dot'\r\n"
       L"and all of its components were copied to the directory\r\n"
       L"'C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup'"},
      {De, Ins, 0,
       L"Die Installation wurde erfolgreich durchgeführt.\r\n"
       L"Das Programm 'Lexiphon.dot'\r\n"
       L"wurde mit allen zugehörigen Dateien in das Verzeichnis\r\n"
       L"'C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup' kopiert."},
      {De, Ins, -3, L"Ein Quellverzeichnis konnte nicht gefunden werden..."},
      {De, Ins, -2,
       L"Der ZIP-File muß zur Installation erst entpackt werden.\r\n"
       L"Bitte benutzen Sie hierzu das Freeware Programm 'UNZIP.EXE'\r\n"
       L"oder einen kompatiblen Entpacker."},
      {En, Ins, -2,
       L"The ZIP-File has to be unpacked before installation.\r\n"
       L"PLease use the freeware program 'UNZIP.EXE'\r\n"
       L"or a compatible unpack program."},
      {En, Ins, -4,
       L"An error occured while creating the target directories in\r\n"
       L"'C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup'"},
      {Pt, Ins, -4,
       L"Um erro aconteceu durante a criação dos diretórios de destino dentro de\r\n"
       L"'C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup'"},
      {Pt, Uni, -2,
       L"A instalação não foi completada.\r\n"
       L"Arquivos, ainda encontrados, forão apagados..."},
      {De, Uni, -2,
       L"Die Installation wurde möglicherweise nicht vollständig beendet.\r\n"
       L"Noch gefundene Dateien wurden entfernt..."},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(Describe(row.language, row.procedure, row.code));
    EXPECT_EQ(Prompt(row.language, row.procedure, row.code, L"Lexiphon.dot", startup),
              row.expected);
  }

  testing::BoxRecorder recorder;
  ShowResultMessage(Pt, Uni, -2, L"Lexiphon.dot", startup, recorder.Seam());
  ASSERT_EQ(recorder.shown.size(), 1u);
  EXPECT_EQ(recorder.shown[0].title, L"ATENÇÃO !!!");
  EXPECT_EQ(recorder.shown[0].style, kStyleInformation);
}

// Spelled with escapes so a misread source encoding on either side shows up.
TEST(MessageCatalogueTest, AccentedLettersAreSingleLatin1Characters) {
  const auto title = BuildResultMessage(Pt, Uni, -2, kTn, kTd)->title;
  EXPECT_EQ(title, L"ATEN\u00C7\u00C3O !!!");
  EXPECT_EQ(title.size(), 11u);
  EXPECT_EQ(Lines(Prompt(De, Ins, 0))[0], L"Die Installation wurde erfolgreich durchgef\u00FChrt.");
  EXPECT_EQ(Prompt(De, Ins, -200),
            L"Mehr als ein m\u00F6gliches Installationsverzeichnis von MS Word wurde gefunden.");
  EXPECT_EQ(Lines(Prompt(Pt, Ins, -2))[2], L"ou um programa compat\u00EDvel.");
  EXPECT_EQ(Prompt(Pt, Ins, -5), L"Um erro aconteceu durante a c\u00F3pia dos arquivos...");
}

}  // namespace
}  // namespace lexiphon
