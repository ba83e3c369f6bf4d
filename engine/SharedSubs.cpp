#include "engine/SharedSubs.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace lexiphon {
namespace {

bool IsLetter(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z'); }

// "C:\..." or a UNC path "\\server\...". Anything else would be taken
// relative to the current folder, and we never install to or delete from
// such a place.
bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

// Paths are joined with exactly one separator and never normalised.
std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder + L"\\" + name;
}

// Characters no folder name can hold. A registry value that the ANSI code
// page could not represent arrives with '?' in it, which would act as a
// wildcard in every listing and deletion.
bool HasInvalidCharacters(const std::wstring& path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    const wchar_t ch = path[i];
    if (ch < 0x20 || ch == L'*' || ch == L'?' || ch == L'<' || ch == L'>' || ch == L'|' ||
        ch == L'"' || (ch == L':' && i != 1))
      return true;
  }
  return false;
}

// Removes the empty staging folders that runs killed while copying left
// directly in `folder`: the one kind of entry outside the package that the
// procedures touch, litter of our own. A folder that is not empty, or that
// another run holds, stays and is not reported; a link is nobody's to remove.
void RemoveStagingLeftovers(FileSystem& files, const std::wstring& folder) {
  std::vector<std::wstring> leftovers;
  files.List(Join(folder, std::wstring(kStagingPrefix) + L"*" + kStagingSuffix),
             ListAttributes::Directory, [&leftovers](const std::wstring& name) {
               if (IsStagingFolderName(name)) leftovers.push_back(name);
               return true;
             });
  // Removed only after the listing, never under it.
  for (const std::wstring& name : leftovers) {
    const std::wstring path = Join(folder, name);
    if (!files.IsLink(path)) files.RemoveFolder(path);
  }
}

}  // namespace

std::wstring WordFolderFor(const std::wstring& value) {
  std::wstring folder = value;
  if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"')
    folder = folder.substr(1, folder.size() - 2);
  if (!IsAbsolute(folder) || HasInvalidCharacters(folder)) return std::wstring();
  return folder;
}

std::wstring StartupFolderFor(const std::wstring& wordFolder, const std::wstring& startupSubDir) {
  std::wstring folder = WordFolderFor(wordFolder);
  if (folder.empty()) return folder;
  if (folder.back() == L'\\') folder.pop_back();
  return folder + startupSubDir;
}

SharedSubs::SharedSubs(RegistryApi& registry, FileSystem& files, std::wstring programFolder,
                       MessageBoxFn registryMessageBox)
    : WordRoots(1),
      registry_(registry),
      files_(files),
      programFolder_(std::move(programFolder)),
      registryMessageBox_(std::move(registryMessageBox)) {}

ResultCode SharedSubs::InitSettings() {
  ZipPattern = L"Lx*.zip";
  TemplateName = L"Lexiphon.dot";
  OfficeRegKey = L"Software\\Microsoft\\Office";
  InstallRootKey = L"Word\\InstallRoot";
  InstallRootValue = L"Path";
  StartupSubDir = L"\\Startup";
  // The build names the package's items, in the order they are copied.
  static const wchar_t* const kFiles[] = {LEXIPHON_PACKAGE_FILES};
  static const wchar_t* const kDirs[] = {LEXIPHON_PACKAGE_DIRS};
  static_assert(std::size(kFiles) < kPackageListSize && std::size(kDirs) < kPackageListSize);
  std::copy(std::begin(kFiles), std::end(kFiles), PackageFiles.begin());
  std::copy(std::begin(kDirs), std::end(kDirs), PackageDirs.begin());
  return FindWordStartup();
}

std::int16_t SharedSubs::GetWordInstallRoots(const std::wstring& BaseKey,
                                             const std::wstring& RootKey,
                                             const std::wstring& ValueName) {
  clsRegistryAccess registry(registry_, registryMessageBox_);
  WordRoots.clear();
  std::size_t countIn64BitView = 0;  // the first entries of WordRoots were found there

  // 64-bit Office registers in the 64-bit view, 32-bit Office in the 32-bit
  // one, and either program sees only its own unless it asks. On 32-bit
  // Windows both reads see the same keys, and FindWordStartup counts a
  // folder found twice once.
  bool opened = false;
  for (const std::uint32_t view : {kKeyWow64_64Key, kKeyWow64_32Key}) {
    // RegOpenKey rewrites the name it is given with its ANSI round trip;
    // the subkeys are still joined to BaseKey as the caller spelt it.
    std::wstring baseKey = BaseKey;
    const KeyHandle office =
        registry.RegOpenKey(kHkeyLocalMachine, baseKey, kKeyEnumerateSubKeys | view);
    if (office == 0) continue;
    opened = true;
    std::wstring subKey;
    for (std::int32_t index = 0; registry.RegEnumKey(office, index, subKey); ++index)
      WordRoots.push_back(Join(BaseKey, subKey));
    registry.RegCloseKey(office);
    if (view == kKeyWow64_64Key) countIn64BitView = WordRoots.size();
  }
  if (WordRoots.empty()) {
    WordRoots.emplace_back();
    return opened ? 0 : -1;
  }

  for (std::size_t i = 0; i < WordRoots.size(); ++i)
    WordRoots[i] = registry.QueryRegEntry(kHkeyLocalMachine, Join(WordRoots[i], RootKey),
                                          ValueName,
                                          i < countIn64BitView ? kKeyWow64_64Key : kKeyWow64_32Key);
  return 0;
}

ResultCode SharedSubs::FindWordStartup() {
  if (GetWordInstallRoots(OfficeRegKey, InstallRootKey, InstallRootValue) != 0)
    return result::kWordNotFound;
  // Count the Word folders that exist, each once however it is spelt and in
  // whichever view it was found. A version left behind without a Word
  // folder, or naming one that is gone, does not hide the Word that is
  // really there. Each folder is resolved once, as Windows resolves it when
  // it opens it ("Office16 " and "Office16." open "Office16"): the folder
  // counted is the folder used.
  std::vector<std::wstring> found;
  for (const std::wstring& root : WordRoots) {
    std::wstring folder = WordFolderFor(root);
    if (!folder.empty()) folder = files_.FullPath(folder);
    std::wstring identity = folder.empty() ? folder : files_.FolderIdentity(folder);
    if (identity.empty() || std::find(found.begin(), found.end(), identity) != found.end())
      continue;
    found.push_back(std::move(identity));
    TargetDir = StartupFolderFor(folder, StartupSubDir);
  }
  if (found.empty()) return result::kWordNotFound;
  return found.size() == 1 ? result::kSuccess : result::kWordAmbiguous;
}

ResultCode SharedSubs::DoInstall() {
  const ResultCode found = InitSettings();
  if (found != result::kSuccess) return found;

  // Without its own folder the program would look for the package in the
  // root of the current drive.
  const std::wstring& source = programFolder_;
  if (source.empty()) return result::kInstallPackageMissing;
  if (!files_.Exists(Join(source, TemplateName), ListAttributes::Normal)) {
    return files_.Exists(Join(source, ZipPattern), ListAttributes::Normal)
               ? result::kInstallNotUnpacked
               : result::kInstallPackageMissing;
  }

  if (!files_.FolderExists(TargetDir) && !files_.CreateFolder(TargetDir))
    return result::kInstallCreateFolderFailed;
  RemoveStagingLeftovers(files_, TargetDir);
  // Replacements are staged in the startup folder itself, never in a
  // package folder, where a leftover would fail every later uninstall.
  const CopiesInto copies(files_, TargetDir);

  for (const std::wstring& name : PackageFiles) {
    if (name.empty()) break;
    if (!files_.CopyFileOver(Join(source, name), Join(TargetDir, name)))
      return result::kInstallCopyFailed;
  }

  for (const std::wstring& name : PackageDirs) {
    if (name.empty()) break;
    const std::wstring from = Join(source, name);
    const std::wstring to = Join(TargetDir, name);
    // A link would take the copies into someone else's folder.
    if (files_.IsLink(to)) return result::kInstallCreateFolderFailed;
    if (!files_.FolderExists(to) && !files_.CreateFolder(to)) return result::kInstallCreateFolderFailed;
    // Checked only now, so the target folder may already stand, empty. A
    // linked source folder holds someone else's files: it counts as missing.
    if (files_.IsLink(from) || !files_.FolderExists(from))
      return result::kInstallSourceFolderMissing;

    bool copied = true;
    const bool listed =
        files_.List(from + L"\\*.*", ListAttributes::Normal, [&](const std::wstring& file) {
          copied = files_.CopyFileOver(Join(from, file), Join(to, file));
          return copied;
        });
    if (!listed || !copied) return result::kInstallCopyFailed;
  }
  return result::kSuccess;
}

ResultCode SharedSubs::DoUninstall() {
  const ResultCode found = InitSettings();
  if (found != result::kSuccess) return found;
  if (!files_.FolderExists(TargetDir)) return result::kUninstallTargetMissing;
  RemoveStagingLeftovers(files_, TargetDir);

  // Goes on past every single failure; once set, the flag stays set.
  bool incomplete = false;
  for (const std::wstring& name : PackageFiles) {
    if (name.empty()) break;
    const std::wstring path = Join(TargetDir, name);
    if (!files_.Exists(path, ListAttributes::Normal)) incomplete = true;
    if (!files_.DeleteFiles(path)) incomplete = true;
  }
  for (const std::wstring& name : PackageDirs) {
    if (name.empty()) break;
    const std::wstring folder = Join(TargetDir, name);
    // A linked folder holds someone else's files: it stays, untouched.
    if (files_.IsLink(folder)) {
      incomplete = true;
      continue;
    }
    if (!files_.FolderExists(folder)) incomplete = true;
    if (!files_.DeleteFiles(folder + L"\\*.*")) incomplete = true;
    if (!files_.RemoveFolder(folder)) incomplete = true;
  }
  return incomplete ? result::kUninstallIncomplete : result::kSuccess;
}

}  // namespace lexiphon
