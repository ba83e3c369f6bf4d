#pragma once
// Every engine procedure reports its outcome as one of these codes. The same
// number can mean different things for install and uninstall (-1, -2); the
// caller always knows which procedure it called.
#include <cstdint>

namespace lexiphon {

// The two procedures a user can run.
enum class Procedure { Install, Uninstall };

using ResultCode = std::int16_t;

namespace result {
constexpr ResultCode kSuccess = 0;
// DoInstall: neither the template nor an archive is in the program's folder.
// DoUninstall: TargetDir does not exist.
constexpr ResultCode kInstallPackageMissing = -1;
constexpr ResultCode kUninstallTargetMissing = -1;
// DoInstall: an archive is there but was not unpacked.
// DoUninstall: some package item was missing or could not be deleted.
constexpr ResultCode kInstallNotUnpacked = -2;
constexpr ResultCode kUninstallIncomplete = -2;
constexpr ResultCode kInstallSourceFolderMissing = -3;
constexpr ResultCode kInstallCreateFolderFailed = -4;
constexpr ResultCode kInstallCopyFailed = -5;
constexpr ResultCode kWordNotFound = -100;
constexpr ResultCode kWordAmbiguous = -200;
}  // namespace result

}  // namespace lexiphon
