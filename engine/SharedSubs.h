#pragma once
// The install engine: the package settings, Word discovery, install and
// uninstall. One instance lives for the whole run; every procedure reports
// its outcome as a result code and never throws to its caller.
#include <array>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/ResultCodes.h"
#include "registry/RegistryApi.h"
#include "registry/clsRegistryAccess.h"

namespace lexiphon {

// The package lists hold indices 0 to 100 and end at their first empty entry.
constexpr std::size_t kPackageListSize = 101;
using PackageList = std::array<std::wstring, kPackageListSize>;

class SharedSubs {
 public:
  // `programFolder` holds the package that DoInstall copies.
  SharedSubs(RegistryApi& registry, FileSystem& files, std::wstring programFolder = {},
             MessageBoxFn registryMessageBox = {});

  // Settings, refilled by every InitSettings.
  std::wstring ZipPattern;
  std::wstring TemplateName;
  std::wstring OfficeRegKey;
  std::wstring InstallRootKey;
  std::wstring InstallRootValue;
  std::wstring StartupSubDir;
  // Word's startup folder without a trailing separator. Set only by a
  // FindWordStartup that found at least one Word folder.
  std::wstring TargetDir;
  PackageList PackageFiles;
  PackageList PackageDirs;
  // One Word folder (or empty) per Office version; never fewer than one entry.
  std::vector<std::wstring> WordRoots;

  ResultCode InitSettings();
  std::int16_t GetWordInstallRoots(const std::wstring& BaseKey, const std::wstring& RootKey,
                                   const std::wstring& ValueName);
  ResultCode FindWordStartup();
  ResultCode DoInstall();
  ResultCode DoUninstall();

 private:
  RegistryApi& registry_;
  FileSystem& files_;
  std::wstring programFolder_;
  MessageBoxFn registryMessageBox_;
};

// The Word folder one registry value names, one pair of quotes dropped, or
// the empty string when it does not name an absolute folder.
std::wstring WordFolderFor(const std::wstring& value);
// Word's startup folder for one Word folder value from the registry, or the
// empty string when the value does not name an absolute folder.
std::wstring StartupFolderFor(const std::wstring& wordFolder, const std::wstring& startupSubDir);

}  // namespace lexiphon
