#include "engine/WindowsFileSystem_win.h"

#include <string>
#include <vector>

#include "platform/ScopedHandle_win.h"

namespace lexiphon {
namespace {

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// Calls visit with each entry that `path` matches, "." and ".." left out,
// until visit returns false. False when the listing failed: only "no such
// file" and "no more files" are the ways a listing may end.
template <typename Visit>
bool ForEachEntry(const std::wstring& path, Visit visit) {
  WIN32_FIND_DATAW entry;
  const FindHandle find(::FindFirstFileExW(path.c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0));
  if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (!IsDotEntry(entry.cFileName) && !visit(entry)) return true;
  } while (::FindNextFileW(find.Get(), &entry));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// Symbolic links, junctions and mount points name something elsewhere. Wine
// reports its links with a tag of 0; deduplicated or cloud files carry other
// tags and are ordinary files.
bool IsLinkEntry(const WIN32_FIND_DATAW& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0));
}

constexpr DWORD kCopyClearedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A read-only or hidden package file must not become a copy that the next
// install cannot replace or that uninstall cannot find.
bool ClearCopiedAttributes(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attributes & kCopyClearedAttributes)) return true;
  const DWORD kept = attributes & ~kCopyClearedAttributes;
  return ::SetFileAttributesW(path.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

// A new, empty file in `folder`, named as GetTempFileNameW names them
// ("lx1A2B.TMP") and created exclusively. GetTempFileNameW itself takes
// folders of at most MAX_PATH - 14 characters, and Wine's writes past the
// caller's buffer beyond that.
std::wstring CreateTemporaryFileIn(const std::wstring& folder) {
  static unsigned next = ::GetTickCount();
  for (unsigned attempt = 0; attempt < 0x10000; ++attempt) {
    const unsigned number = next++ & 0xFFFF;
    std::wstring path = folder + L"\\lx";
    for (int shift = 12; shift >= 0; shift -= 4) path += L"0123456789ABCDEF"[(number >> shift) & 0xF];
    path += L".TMP";
    const KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return path;
    if (::GetLastError() != ERROR_FILE_EXISTS) return std::wstring();
  }
  return std::wstring();
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

// Deletes the name itself: a link is opened as what it is, not followed,
// and goes through its own handle.
bool DeleteName(const std::wstring& path) {
  const KernelHandle file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
  if (!file) return false;
  FILE_BASIC_INFO basic{};
  if (!::GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic))
    return false;
  // Windows keeps read-only files; Wine, running as root, would not.
  if (basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return ::SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

}  // namespace

bool WindowsFileSystem::List(const std::wstring& path, ListAttributes attributes,
                             const std::function<bool(const std::wstring& name)>& onName) {
  const DWORD excluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                         (attributes == ListAttributes::Directory ? 0 : FILE_ATTRIBUTE_DIRECTORY);
  return ForEachEntry(path, [&](const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & excluded) != 0 || onName(entry.cFileName);
  });
}

bool WindowsFileSystem::IsLink(const std::wstring& path) {
  bool link = false;
  ForEachEntry(path, [&link](const WIN32_FIND_DATAW& entry) {
    link = IsLinkEntry(entry);
    return false;
  });
  return link;
}

bool WindowsFileSystem::CreateFolder(const std::wstring& path) {
  return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

bool WindowsFileSystem::CopyFileOver(const std::wstring& from, const std::wstring& to) {
  // A new name first, with nothing to check: under Wine every look-up of a
  // name that does not exist reads the whole folder, so a second one per
  // file makes a fresh install of thousands of files twice as slow.
  if (::CopyFileW(from.c_str(), to.c_str(), TRUE)) return ClearCopiedAttributes(to);
  const DWORD error = ::GetLastError();
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
    // The name was free, or the copy would have stopped at ERROR_FILE_EXISTS:
    // what lies there now is the part that fitted, which Word must not load.
    DeleteName(to);
    return false;
  }
  if (error != ERROR_FILE_EXISTS) return false;

  // Windows will not replace a read-only file. Wine leaves that to the Unix
  // permission bits, which do not stop root, so make sure of it here.
  const DWORD existing = ::GetFileAttributesW(to.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  // The old file stays whole until the new one is complete: copied beside
  // it (".TMP", which Word does not load), then moved over its name in one
  // step, which also replaces a link as a name instead of writing through it.
  const std::wstring temp = CreateTemporaryFileIn(FolderOf(to));
  if (temp.empty()) return false;
  if (::CopyFileW(from.c_str(), temp.c_str(), FALSE) && ClearCopiedAttributes(temp) &&
      ::MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  ::DeleteFileW(temp.c_str());
  return false;
}

bool WindowsFileSystem::DeleteFiles(const std::wstring& path) {
  // ':' too, so that "C:*.txt" keeps its drive.
  const std::size_t cut = path.find_last_of(L"\\/:");
  const std::size_t nameStart = cut == std::wstring::npos ? 0 : cut + 1;
  if (path.find_first_of(L"*?", nameStart) == std::wstring::npos) return DeleteName(path);
  // Names first, deletions after: no deleting under an open listing.
  struct File {
    std::wstring name;
    DWORD attributes;
  };
  std::vector<File> files;
  const bool listed = ForEachEntry(path, [&files](const WIN32_FIND_DATAW& entry) {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      files.push_back({entry.cFileName, entry.dwFileAttributes});
    return true;
  });
  const std::wstring folder = path.substr(0, nameStart);
  bool allDeleted = listed && !files.empty();
  for (const File& file : files) {
    const std::wstring name = folder + file.name;
    // The listing already tells reparse points (links among them) and
    // read-only files apart. Only reparse points need the way by handle;
    // DeleteFileW takes half its calls, which for thousands of dictionaries
    // is the uninstall's time.
    bool deleted = false;
    if (file.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      deleted = DeleteName(name);
    } else if (!(file.attributes & FILE_ATTRIBUTE_READONLY)) {
      deleted = ::DeleteFileW(name.c_str()) != FALSE;
    }
    if (!deleted) allDeleted = false;
  }
  return allDeleted;
}

bool WindowsFileSystem::RemoveFolder(const std::wstring& path) {
  return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

std::wstring WindowsFileSystem::ProgramFolder() {
  // The longest path Windows knows is 32767 characters; grow up to that.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() > 32768) return std::wstring();
    path.resize(path.size() * 2);
  }
  const std::size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos) return std::wstring();
  const bool driveRoot = cut == 2 && path[1] == L':';
  return path.substr(0, driveRoot ? cut + 1 : cut);
}

// The volume and the file index of the folder, as GetFileInformationByHandle
// gives them. Opened to read attributes only, sharing everything, so that no
// program using it is disturbed.
std::wstring WindowsFileSystem::FolderIdentity(const std::wstring& path) {
  const KernelHandle folder(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!folder || !::GetFileInformationByHandle(folder.Get(), &information) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::wstring();
  }
  return std::to_wstring(information.dwVolumeSerialNumber) + L":" +
         std::to_wstring(information.nFileIndexHigh) + L":" +
         std::to_wstring(information.nFileIndexLow);
}

}  // namespace lexiphon
