#pragma once
#include "engine/FileSystem.h"

namespace lexiphon {

// The real file system, through the wide Win32 functions. Paths go to
// Windows exactly as given.
class WindowsFileSystem : public FileSystem {
 public:
  bool List(const std::wstring& path, ListAttributes attributes,
            const std::function<bool(const std::wstring& name)>& onName) override;
  bool IsLink(const std::wstring& path) override;
  bool CreateFolder(const std::wstring& path) override;
  bool CopyFileOver(const std::wstring& from, const std::wstring& to) override;
  bool DeleteFiles(const std::wstring& path) override;
  bool RemoveFolder(const std::wstring& path) override;
  // A program in a drive's root gets "C:\": "C:" alone would name that
  // drive's current folder.
  std::wstring ProgramFolder() override;
  // Both open the folder itself (CreateFileW with FILE_FLAG_BACKUP_SEMANTICS);
  // the identity is its volume serial number and file index.
  std::wstring FolderIdentity(const std::wstring& path) override;
};

}  // namespace lexiphon
