#pragma once
// The result messages: one modal box per outcome, chosen by the dialog's
// language, the procedure that ran and its result code.
#include <optional>
#include <string>

#include "engine/ResultCodes.h"
#include "platform/MessageBoxFn.h"

namespace lexiphon {

enum class Language { German, English, Portuguese };

// Message box style values: OK button with an information or warning icon.
constexpr unsigned kStyleInformation = 64;
constexpr unsigned kStyleExclamation = 48;

struct ResultMessage {
  std::wstring title;
  unsigned style = 0;
  std::wstring prompt;  // lines joined by CR LF, none at the end
};

// The message for (language, procedure, code) with the two settings inserted
// whole, or nothing when the catalogue has no entry for it.
std::optional<ResultMessage> BuildResultMessage(Language language, Procedure procedure,
                                                ResultCode code, const std::wstring& templateName,
                                                const std::wstring& targetDir);

// Shows the message, if there is one, through `show` and returns when the
// user has closed it.
void ShowResultMessage(Language language, Procedure procedure, ResultCode code,
                       const std::wstring& templateName, const std::wstring& targetDir,
                       const MessageBoxFn& show);

}  // namespace lexiphon
