#pragma once
// What the windows of one run share: how OK runs a procedure, the settings
// its messages show, and the code the process ends with.
#include <functional>
#include <optional>
#include <string>

#include "engine/ResultCodes.h"

namespace lexiphon {

// The process's exit code when the user leaves without running a procedure:
// the Windows Installer's ERROR_INSTALL_USEREXIT, so that a script does not
// take a cancelled run for a success.
constexpr int kExitUserCancelled = 1602;

// Runs one procedure and gives its result code; nothing when the user left
// while it waited for another instance, before anything was done.
using RunProcedure = std::function<std::optional<ResultCode>(Procedure)>;

struct Session {
  RunProcedure runProcedure;
  // Read when a message is built: the procedure sets TargetDir.
  const std::wstring& templateName;
  const std::wstring& targetDir;
  // The result code of the procedure that ran, sign-extended, or
  // kExitUserCancelled while none has.
  int exitCode = kExitUserCancelled;
};

}  // namespace lexiphon
