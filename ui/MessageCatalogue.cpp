#include "ui/MessageCatalogue.h"

#include <vector>

namespace lexiphon {
namespace {

enum class Slot { Text, TemplateName, TargetDir };

// One piece of a prompt line: fixed text, or a setting inserted at show time.
struct Piece {
  Slot slot;
  const wchar_t* text;
};

Piece T(const wchar_t* text) { return {Slot::Text, text}; }
const Piece kTemplateName{Slot::TemplateName, nullptr};
const Piece kTargetDir{Slot::TargetDir, nullptr};

using Line = std::vector<Piece>;

enum class TitleKind { Success, Error, Attention };

struct Entry {
  Language language;
  Procedure procedure;
  ResultCode code;
  TitleKind kind;
  std::vector<Line> lines;
};

constexpr Language De = Language::German;
constexpr Language En = Language::English;
constexpr Language Pt = Language::Portuguese;
constexpr Procedure Ins = Procedure::Install;
constexpr Procedure Uni = Procedure::Uninstall;
constexpr TitleKind Ok = TitleKind::Success;
constexpr TitleKind Err = TitleKind::Error;
constexpr TitleKind Att = TitleKind::Attention;

const std::vector<Entry>& Catalogue() {
  using namespace result;
  static const std::vector<Entry> entries = {
      // German
      {De, Ins, kSuccess, Ok,
       {{T(L"Die Installation wurde erfolgreich durchgeführt.")},
        {T(L"Das Programm '"), kTemplateName, T(L"'")},
        {T(L"wurde mit allen zugehörigen Dateien in das Verzeichnis")},
        {T(L"'"), kTargetDir, T(L"' kopiert.")}}},
      {De, Ins, kInstallPackageMissing, Err,
       {{T(L"Das Installationsprogramm")},
        {T(L"'"), kTemplateName, T(L"'")},
        {T(L"konnte im aktuellen Verzeichnis nicht gefunden werden...")}}},
      {De, Ins, kInstallNotUnpacked, Err,
       {{T(L"Der ZIP-File muß zur Installation erst entpackt werden.")},
        {T(L"Bitte benutzen Sie hierzu das Freeware Programm 'UNZIP.EXE'")},
        {T(L"oder einen kompatiblen Entpacker.")}}},
      {De, Ins, kInstallSourceFolderMissing, Err,
       {{T(L"Ein Quellverzeichnis konnte nicht gefunden werden...")}}},
      {De, Ins, kInstallCreateFolderFailed, Err,
       {{T(L"Ein Fehler ist beim Erstellen der Zielverzeichnisse in")},
        {T(L"'"), kTargetDir, T(L"'")},
        {T(L"aufgetreten...")}}},
      {De, Ins, kInstallCopyFailed, Err,
       {{T(L"Ein Fehler ist beim Kopieren der Dateien aufgetreten...")}}},
      {De, Ins, kWordNotFound, Err,
       {{T(L"Das Installationsverzeichnis von MS Word konnte nicht gefunden werden.")}}},
      {De, Ins, kWordAmbiguous, Err,
       {{T(L"Mehr als ein mögliches Installationsverzeichnis von MS Word wurde gefunden.")}}},
      {De, Uni, kSuccess, Ok, {{T(L"Die De-Installation wurde erfolgreich durchgeführt...")}}},
      {De, Uni, kUninstallTargetMissing, Err,
       {{T(L"Das Installationsverzeichnis")},
        {T(L"'"), kTargetDir, T(L"'")},
        {T(L"konnte nicht gefunden werden...")}}},
      {De, Uni, kUninstallIncomplete, Att,
       {{T(L"Die Installation wurde möglicherweise nicht vollständig beendet.")},
        {T(L"Noch gefundene Dateien wurden entfernt...")}}},
      {De, Uni, kWordNotFound, Err,
       {{T(L"Das Installationsverzeichnis von MS Word konnte nicht gefunden werden.")}}},
      {De, Uni, kWordAmbiguous, Err,
       {{T(L"Mehr als ein mögliches Installationsverzeichnis von MS Word wurde gefunden.")}}},

      // English
      {En, Ins, kSuccess, Ok,
       {{T(L"The installation was performed successfully.")},
        {T(L"The program '"), kTemplateName, T(L"'")},
        {T(L"and all of its components were copied to the directory")},
        {T(L"'"), kTargetDir, T(L"'")}}},
      {En, Ins, kInstallPackageMissing, Err,
       {{T(L"The installation program")},
        {T(L"'"), kTemplateName, T(L"'")},
        {T(L"could not be found in the actual directory...")}}},
      {En, Ins, kInstallNotUnpacked, Err,
       {{T(L"The ZIP-File has to be unpacked before installation.")},
        {T(L"PLease use the freeware program 'UNZIP.EXE'")},
        {T(L"or a compatible unpack program.")}}},
      {En, Ins, kInstallSourceFolderMissing, Err,
       {{T(L"A source directory could not be found...")}}},
      {En, Ins, kInstallCreateFolderFailed, Err,
       {{T(L"An error occured while creating the target directories in")},
        {T(L"'"), kTargetDir, T(L"'")}}},
      {En, Ins, kInstallCopyFailed, Err, {{T(L"An error occured while copying the files...")}}},
      {En, Ins, kWordNotFound, Err,
       {{T(L"The installation directory of MS Word could not be found.")}}},
      {En, Ins, kWordAmbiguous, Err,
       {{T(L"More than one possible installation directory of MS Word found.")}}},
      {En, Uni, kSuccess, Ok, {{T(L"The de-installation was performed successfully...")}}},
      {En, Uni, kUninstallTargetMissing, Err,
       {{T(L"The installation directory")},
        {T(L"'"), kTargetDir, T(L"'")},
        {T(L"could not be found...")}}},
      {En, Uni, kUninstallIncomplete, Att,
       {{T(L"The installation was maybe not completed.")},
        {T(L"Still existing files were deleted...")}}},
      {En, Uni, kWordNotFound, Err,
       {{T(L"The installation directory of MS Word could not be found.")}}},
      {En, Uni, kWordAmbiguous, Err,
       {{T(L"More than one possible installation directory of MS Word found.")}}},

      // Portuguese
      {Pt, Ins, kSuccess, Ok,
       {{T(L"A instalação foi executada com sucesso.")},
        {T(L"O programa '"), kTemplateName, T(L"'")},
        {T(L"foi copiado com todos os arquivos no diretório")},
        {T(L"'"), kTargetDir, T(L"'")}}},
      {Pt, Ins, kInstallPackageMissing, Err,
       {{T(L"O programa de instalação")},
        {T(L"'"), kTemplateName, T(L"'")},
        {T(L"não foi encontrado no diretório atual...")}}},
      {Pt, Ins, kInstallNotUnpacked, Err,
       {{T(L"O arquivo ZIP deve ser descomprimido antes da instalação.")},
        {T(L"Por favor utilize o programa 'UNZIP.EXE' (freeware)")},
        {T(L"ou um programa compatível.")}}},
      {Pt, Ins, kInstallSourceFolderMissing, Err,
       {{T(L"Um diretório de fonte não foi encontrado...")}}},
      {Pt, Ins, kInstallCreateFolderFailed, Err,
       {{T(L"Um erro aconteceu durante a criação dos diretórios de destino dentro de")},
        {T(L"'"), kTargetDir, T(L"'")}}},
      {Pt, Ins, kInstallCopyFailed, Err,
       {{T(L"Um erro aconteceu durante a cópia dos arquivos...")}}},
      {Pt, Ins, kWordNotFound, Err,
       {{T(L"O diretório de instalação do MS Word não foi encontrado.")}}},
      {Pt, Ins, kWordAmbiguous, Err,
       {{T(L"Mais do que um diretório de instalação do MS Word foi encontrado.")}}},
      {Pt, Uni, kSuccess, Ok, {{T(L"A desinstalação foi executada com sucesso...")}}},
      {Pt, Uni, kUninstallTargetMissing, Err,
       {{T(L"O diretório de instalação")},
        {T(L"'"), kTargetDir, T(L"'")},
        {T(L"não foi encontrado...")}}},
      {Pt, Uni, kUninstallIncomplete, Att,
       {{T(L"A instalação não foi completada.")},
        {T(L"Arquivos, ainda encontrados, forão apagados...")}}},
      {Pt, Uni, kWordNotFound, Err,
       {{T(L"O diretório de instalação do MS Word não foi encontrado.")}}},
      {Pt, Uni, kWordAmbiguous, Err,
       {{T(L"Mais do que um diretório de instalação do MS Word foi encontrado.")}}},
  };
  return entries;
}

struct Titles {
  Language language;
  const wchar_t* success;
  const wchar_t* error;
  const wchar_t* attention;
};

constexpr Titles kTitles[] = {
    {De, L"ERFOLG !!!", L"FEHLER !!!", L"ACHTUNG !!!"},
    {En, L"SUCCESS !!!", L"ERROR !!!", L"ATTENTION !!!"},
    {Pt, L"SUCESSO !!!", L"ERRO !!!", L"ATENÇÃO !!!"},
};

const wchar_t* Title(Language language, TitleKind kind) {
  for (const Titles& titles : kTitles) {
    if (titles.language != language) continue;
    switch (kind) {
      case TitleKind::Success: return titles.success;
      case TitleKind::Error: return titles.error;
      case TitleKind::Attention: return titles.attention;
    }
  }
  return L"";
}

// The partial-removal notice is a warning in words only: it keeps the
// information icon, like success.
unsigned Style(TitleKind kind) {
  return kind == TitleKind::Error ? kStyleExclamation : kStyleInformation;
}

}  // namespace

std::optional<ResultMessage> BuildResultMessage(Language language, Procedure procedure,
                                                ResultCode code, const std::wstring& templateName,
                                                const std::wstring& targetDir) {
  for (const Entry& entry : Catalogue()) {
    if (entry.language != language || entry.procedure != procedure || entry.code != code) {
      continue;
    }
    ResultMessage message;
    message.title = Title(language, entry.kind);
    message.style = Style(entry.kind);
    for (std::size_t i = 0; i < entry.lines.size(); ++i) {
      if (i > 0) message.prompt += L"\r\n";
      for (const Piece& piece : entry.lines[i]) {
        switch (piece.slot) {
          case Slot::Text: message.prompt += piece.text; break;
          case Slot::TemplateName: message.prompt += templateName; break;
          case Slot::TargetDir: message.prompt += targetDir; break;
        }
      }
    }
    return message;
  }
  return std::nullopt;
}

void ShowResultMessage(Language language, Procedure procedure, ResultCode code,
                       const std::wstring& templateName, const std::wstring& targetDir,
                       const MessageBoxFn& show) {
  const auto message = BuildResultMessage(language, procedure, code, templateName, targetDir);
  if (message && show) show(message->prompt, message->title, message->style);
}

}  // namespace lexiphon
