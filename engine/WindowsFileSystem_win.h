#pragma once
#include <vector>

#include "engine/FileSystem.h"
#include "platform/ScopedHandle_win.h"

namespace lexiphon {

// The real file system, through the wide Win32 functions. Paths go to
// Windows exactly as given.
class WindowsFileSystem : public FileSystem {
 public:
  WindowsFileSystem() = default;
  ~WindowsFileSystem() override;
  WindowsFileSystem(const WindowsFileSystem&) = delete;
  WindowsFileSystem& operator=(const WindowsFileSystem&) = delete;

  bool List(const std::wstring& path, ListAttributes attributes,
            const std::function<bool(const std::wstring& name)>& onName) override;
  bool IsLink(const std::wstring& path) override;
  bool CreateFolder(const std::wstring& path) override;
  bool CopyFileOver(const std::wstring& from, const std::wstring& to) override;
  // The staging folder is made with its handle and removed through it.
  void BeginCopies(const std::wstring& stagingParent) override;
  void EndCopies() override;
  bool DeleteFiles(const std::wstring& path) override;
  bool RemoveFolder(const std::wstring& path) override;
  // GetFullPathNameW.
  std::wstring FullPath(const std::wstring& path) override;
  // Opens the folder itself (CreateFileW with FILE_FLAG_BACKUP_SEMANTICS);
  // the identity is its volume serial number and file index.
  std::wstring FolderIdentity(const std::wstring& path) override;

 protected:
  // Called with the path of each temporary file right after it was
  // created, before anything is written to it: where a test acts as
  // another program that tries to get hold of it.
  virtual void TemporaryFileCreated(const std::wstring& path) { (void)path; }

 private:
  bool Replace(HANDLE source, const FILE_BASIC_INFO& finish, const std::wstring& to);
  bool Fill(HANDLE copy, HANDLE source, FILE_BASIC_INFO finish);
  bool CreateStagingFolder();
  KernelHandle CreateTemporaryFile();

  std::wstring stagingParent_;  // empty: no copies begun
  std::wstring stagingPath_;    // the staging folder's path, for TemporaryFileCreated
  KernelHandle staging_;        // the staging folder, once made
  std::vector<char> buffer_;
};

// The folder of the program's own executable, without a trailing
// separator, except for a drive's root ("C:\": "C:" alone would name that
// drive's current folder); empty when Windows cannot tell.
std::wstring ProgramFolder();

}  // namespace lexiphon
