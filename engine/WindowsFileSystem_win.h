#pragma once
#include <vector>

#include "engine/FileSystem.h"
#include "platform/ScopedHandle_win.h"

namespace lexiphon {

// The real file system, through the wide Win32 functions. Paths go to
// Windows exactly as given.
//
// Given a package folder, the file system opens it at once and holds it
// open, not to be renamed or deleted, until it ends; a link on the way to it
// is resolved then, once. Every later read of a path inside it (the folder
// as given, a separator, the rest) goes through that handle, and finds only
// the package's own items: an item that is a link, a junction or a hard link
// counts as missing to FolderExists, fails its copy, and shows to IsLink.
class WindowsFileSystem : public FileSystem {
 public:
  explicit WindowsFileSystem(const std::wstring& packageFolder = std::wstring());
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
  // Called after each block of a copy to `destination` is written, whether
  // it goes there directly or through a temporary file: where a test ends
  // the process part-way.
  virtual void BlockWritten(const std::wstring& destination) { (void)destination; }

 private:
  struct Folder {
    KernelHandle handle;
    std::wstring finalPath;
  };
  bool InPackage(const std::wstring& path, std::wstring* folder, std::wstring* name) const;
  const Folder* PackageFolder(const std::wstring& relative);
  KernelHandle OpenPackageItem(const Folder& folder, const std::wstring& name, ACCESS_MASK access,
                               ULONG share, ULONG options, std::wstring* finalPath = nullptr);
  bool ListPackage(const Folder& folder, const std::wstring& pattern,
                   const std::function<bool(const std::wstring& name, DWORD attributes,
                                            DWORD reparseTag)>& onEntry);
  bool Replace(HANDLE source, const FILE_BASIC_INFO& finish, const std::wstring& to);
  bool Fill(HANDLE copy, HANDLE source, FILE_BASIC_INFO finish, const std::wstring& to);
  bool CreateStagingFolder();
  KernelHandle CreateTemporaryFile();

  std::wstring packagePath_;     // as the caller names it
  Folder package_;               // held from construction
  std::wstring subfolderName_;   // the package folder last opened inside it
  Folder subfolder_;
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
