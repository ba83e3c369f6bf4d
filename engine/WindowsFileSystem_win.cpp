#include "engine/WindowsFileSystem_win.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

// ntdll exports it; mingw-w64 declares it only among the driver headers.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE apc,
                                               PVOID apcContext, PIO_STATUS_BLOCK io,
                                               PVOID buffer, ULONG length,
                                               FILE_INFORMATION_CLASS informationClass,
                                               BOOLEAN singleEntry, PUNICODE_STRING fileName,
                                               BOOLEAN restartScan);

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
bool IsLink(DWORD attributes, DWORD reparseTag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag));
}

bool IsLinkEntry(const WIN32_FIND_DATAW& entry) {
  return IsLink(entry.dwFileAttributes, entry.dwReserved0);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// FindFirstFileW's wildcards, "*" and "?", without regard to case; "*.*"
// matches every name.
bool Matches(const wchar_t* name, const wchar_t* pattern) {
  if (std::wcscmp(pattern, L"*.*") == 0) pattern = L"*";
  const wchar_t* star = nullptr;
  const wchar_t* resume = nullptr;
  while (*name) {
    if (*pattern == L'*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == L'?' || (*pattern && ::CompareStringOrdinal(name, 1, pattern, 1, TRUE) ==
                                                    CSTR_EQUAL)) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == L'*') ++pattern;
  return *pattern == L'\0';
}

// What a copy keeps of its source's attributes. Read-only, hidden and system
// stay behind, so that the next install can replace the copy and uninstall
// can find it.
constexpr DWORD kCopyKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr std::size_t kCopyBufferSize = 1024 * 1024;

// Random names are tried this often before a copy gives up; a clash of 64
// random bits means the folder is being flooded, not bad luck.
constexpr int kNameAttempts = 100;
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);

// What the package's folders are opened for: listing and opening what is
// in them. Shared for reading and writing, not for deleting, so that they
// keep their names while held.
constexpr ACCESS_MASK kPackageFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr ULONG kPackageShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

// advapi32's RtlGenRandom, looked up when first needed: imported, it would
// be bound at start, and Windows forwards it into cryptbase.dll, which is
// not a KnownDLL and would be searched for before the program could
// restrict the search.
bool RandomBytes(void* buffer, ULONG size) {
  // advapi32 is a KnownDLL: loading it by name searches nothing.
  static const auto generate = FunctionOf<BOOLEAN(WINAPI*)(PVOID, ULONG)>(
      ::LoadLibraryW(L"advapi32.dll"), "SystemFunction036");
  return generate && generate(buffer, size);
}

// prefix, 16 hex digits from the system's random generator, suffix: a name
// that nobody can create ahead of us. Empty when the generator fails.
std::wstring RandomName(const wchar_t* prefix, const wchar_t* suffix) {
  unsigned char bytes[kStagingDigits / 2];
  if (!RandomBytes(bytes, sizeof bytes)) return std::wstring();
  std::wstring name = prefix;
  for (const unsigned char byte : bytes) {
    name += L"0123456789ABCDEF"[byte >> 4];
    name += L"0123456789ABCDEF"[byte & 0xF];
  }
  return name + suffix;
}

// Opens or creates (`disposition`) `name` inside the folder that `folder`
// holds open: found through the handle, so that nobody can redirect it by
// swapping a name on the way. The new handle is for synchronous I/O.
NTSTATUS OpenIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
                ULONG disposition, ULONG options, HANDLE* opened) {
  UNICODE_STRING objectName;
  objectName.Buffer = const_cast<PWSTR>(name.c_str());
  objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  objectName.MaximumLength = objectName.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io;
  return ::NtCreateFile(opened, access | SYNCHRONIZE, &attributes, &io, nullptr,
                        FILE_ATTRIBUTE_NORMAL, share, disposition,
                        options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
}

NTSTATUS CreateIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG share,
                  ULONG options, HANDLE* created) {
  return OpenIn(folder, name, access, share, FILE_CREATE, options, created);
}

// The text a Win32 call writes into a buffer of the size it is given. The
// call answers the length it wrote, the size it needs (NUL included) when
// the buffer is too small, or 0 when it fails: empty then.
template <typename Call>
std::wstring GrownText(Call call) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = call(&text[0], static_cast<DWORD>(text.size()));
    if (length == 0) return std::wstring();
    const bool fitted = length < text.size();
    text.resize(length);
    if (fitted) return text;
  }
}

// The path Windows has for what `item` holds, links resolved; empty when it
// cannot tell.
std::wstring FinalPath(HANDLE item) {
  return GrownText([item](wchar_t* buffer, DWORD size) {
    return ::GetFinalPathNameByHandleW(item, buffer, size, 0);
  });
}

std::wstring JoinFinal(const std::wstring& folder, const std::wstring& name) {
  return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// A package item is the package's own when it is no link of any kind (a
// junction or symbolic link; a file with a second name, a hard link). A
// folder must also be found where it was asked for: Wine opens a folder
// link's target even when asked not to, and there only the final path tells.
// Not asked of files: on Windows the tag tells, and under Wine the question
// costs a round trip to its server for each of thousands of files.
bool IsOwnItem(HANDLE item, const std::wstring& expectedFinalPath) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  FILE_STANDARD_INFO standard{};
  if (!::GetFileInformationByHandleEx(item, FileAttributeTagInfo, &tag, sizeof tag) ||
      !::GetFileInformationByHandleEx(item, FileStandardInfo, &standard, sizeof standard)) {
    return false;
  }
  if (IsLink(tag.FileAttributes, tag.ReparseTag)) return false;
  if (!standard.Directory) return standard.NumberOfLinks <= 1;
  return SameText(FinalPath(item), expectedFinalPath);
}

bool SetDeletePending(HANDLE file, BOOLEAN pending) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = pending;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// Deletes the file or empty folder that `file` holds once the last handle to
// it closes; a folder that is not empty stays.
bool DeleteThrough(HANDLE file) { return SetDeletePending(file, TRUE); }

// Undoes DeleteThrough: the file stays after its handle closes.
bool KeepThrough(HANDLE file) { return SetDeletePending(file, FALSE); }

// Moves the file that `file` holds over `to`, replacing what has that name
// (a link or a hard link as a name). The name must be a full path: with a
// root folder and a bare name Wine answers ERROR_INVALID_PARAMETER.
bool MoveOver(HANDLE file, const std::wstring& to) {
  const std::size_t nameBytes = (to.size() + 1) * sizeof(wchar_t);
  std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes);
  FILE_RENAME_INFO header{};
  header.ReplaceIfExists = TRUE;
  header.FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::memcpy(buffer.data(), &header, offsetof(FILE_RENAME_INFO, FileName));
  std::memcpy(buffer.data() + offsetof(FILE_RENAME_INFO, FileName), to.c_str(), nameBytes);
  return ::SetFileInformationByHandle(file, FileRenameInfo, buffer.data(),
                                      static_cast<DWORD>(buffer.size())) != FALSE;
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
  return DeleteThrough(file.Get());
}

// The volume and the file index of a folder, as GetFileInformationByHandle
// gives them; empty for a file.
std::wstring IdentityOf(HANDLE folder) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!::GetFileInformationByHandle(folder, &information) ||
      !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::wstring();
  }
  return std::to_wstring(information.dwVolumeSerialNumber) + L":" +
         std::to_wstring(information.nFileIndexHigh) + L":" +
         std::to_wstring(information.nFileIndexLow);
}

}  // namespace

WindowsFileSystem::WindowsFileSystem(const std::wstring& packageFolder)
    : packagePath_(packageFolder) {
  if (packagePath_.empty()) return;
  package_.handle.Reset(::CreateFileW(packagePath_.c_str(), kPackageFolderAccess, kPackageShare,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                      nullptr));
  if (package_.handle) package_.finalPath = FinalPath(package_.handle.Get());
}

// Splits a path inside the package into the folder that holds the item,
// relative to the package ("" for the package itself), and its name.
bool WindowsFileSystem::InPackage(const std::wstring& path, std::wstring* folder,
                                  std::wstring* name) const {
  const std::size_t length = packagePath_.size();
  if (length == 0 || path.size() <= length + 1 || path[length] != L'\\' ||
      !SameText(path.substr(0, length), packagePath_)) {
    return false;
  }
  const std::wstring relative = path.substr(length + 1);
  const std::size_t cut = relative.find_last_of(L'\\');
  *folder = cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
  *name = cut == std::wstring::npos ? relative : relative.substr(cut + 1);
  return true;
}

// The package folder `relative` ("" for the package itself), each part of
// the way opened through the one before and checked; null when it is
// missing or not the package's own. The last one opened stays open for the
// files that follow.
const WindowsFileSystem::Folder* WindowsFileSystem::PackageFolder(const std::wstring& relative) {
  if (!package_.handle) return nullptr;
  if (relative.empty()) return &package_;
  if (subfolder_.handle && SameText(relative, subfolderName_)) return &subfolder_;
  subfolder_ = Folder();
  Folder walked;
  const Folder* parent = &package_;
  for (std::size_t start = 0;;) {
    const std::size_t cut = relative.find(L'\\', start);
    Folder next;
    next.handle = OpenPackageItem(*parent, relative.substr(start, cut - start),
                                  kPackageFolderAccess, kPackageShare, FILE_DIRECTORY_FILE,
                                  &next.finalPath);
    if (!next.handle) return nullptr;
    walked = std::move(next);
    parent = &walked;
    if (cut == std::wstring::npos) break;
    start = cut + 1;
  }
  subfolder_ = std::move(walked);
  subfolderName_ = relative;
  return &subfolder_;
}

// Opens `name` in a package folder without following a link, and only
// when it is the package's own.
KernelHandle WindowsFileSystem::OpenPackageItem(const Folder& folder, const std::wstring& name,
                                                ACCESS_MASK access, ULONG share, ULONG options,
                                                std::wstring* finalPath) {
  if (name.empty()) return KernelHandle();
  HANDLE opened = nullptr;
  if (OpenIn(folder.handle.Get(), name, access, share, FILE_OPEN,
             options | FILE_OPEN_REPARSE_POINT, &opened) != 0) {
    return KernelHandle();
  }
  KernelHandle item(opened);
  const std::wstring expected = JoinFinal(folder.finalPath, name);
  if (folder.finalPath.empty() || !IsOwnItem(item.Get(), expected)) return KernelHandle();
  if (finalPath) *finalPath = expected;
  return item;
}

// Calls onEntry with each entry of a package folder whose name matches
// `pattern`, read through the folder's handle from the start, until onEntry
// returns false. False when the listing failed.
bool WindowsFileSystem::ListPackage(
    const Folder& folder, const std::wstring& pattern,
    const std::function<bool(const std::wstring& name, DWORD attributes, DWORD reparseTag)>&
        onEntry) {
  std::vector<ULONGLONG> entries(64 * 1024 / sizeof(ULONGLONG));
  for (BOOLEAN restart = TRUE;; restart = FALSE) {
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = NtQueryDirectoryFile(
        folder.handle.Get(), nullptr, nullptr, nullptr, &io, entries.data(),
        static_cast<ULONG>(entries.size() * sizeof(ULONGLONG)), FileFullDirectoryInformation,
        FALSE, nullptr, restart);
    if (status == kNoMoreFiles) return true;
    if (status != 0) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(entries.data());
    for (ULONG offset = 0;;) {
      const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFORMATION*>(bytes + offset);
      const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      // EaSize holds a reparse point's tag.
      if (!IsDotEntry(name.c_str()) && Matches(name.c_str(), pattern.c_str()) &&
          !onEntry(name, entry->FileAttributes, entry->EaSize)) {
        return true;
      }
      if (entry->NextEntryOffset == 0) break;
      offset += entry->NextEntryOffset;
    }
  }
}

bool WindowsFileSystem::List(const std::wstring& path, ListAttributes attributes,
                             const std::function<bool(const std::wstring& name)>& onName) {
  const DWORD excluded = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                         (attributes == ListAttributes::Directory ? 0 : FILE_ATTRIBUTE_DIRECTORY);
  std::wstring folderName, pattern;
  if (InPackage(path, &folderName, &pattern)) {
    const Folder* folder = PackageFolder(folderName);
    const auto visit = [&](const std::wstring& name, DWORD found, DWORD) {
      return (found & excluded) != 0 || onName(name);
    };
    return folder && ListPackage(*folder, pattern, visit);
  }
  return ForEachEntry(path, [&](const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & excluded) != 0 || onName(entry.cFileName);
  });
}

bool WindowsFileSystem::IsLink(const std::wstring& path) {
  bool link = false;
  std::wstring folderName, name;
  if (InPackage(path, &folderName, &name)) {
    const Folder* folder = PackageFolder(folderName);
    if (folder) {
      ListPackage(*folder, name, [&link](const std::wstring&, DWORD attributes, DWORD tag) {
        link = lexiphon::IsLink(attributes, tag);
        return false;
      });
    }
    return link;
  }
  ForEachEntry(path, [&link](const WIN32_FIND_DATAW& entry) {
    link = IsLinkEntry(entry);
    return false;
  });
  return link;
}

bool WindowsFileSystem::CreateFolder(const std::wstring& path) {
  return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

// A series of copies left unended still loses its empty staging folder.
WindowsFileSystem::~WindowsFileSystem() {
  if (staging_) DeleteThrough(staging_.Get());
}

// Every step after a file is opened or created goes through its handle, so
// that no other program can slip a link or a file of its own under a name
// between two steps.
bool WindowsFileSystem::CopyFileOver(const std::wstring& from, const std::wstring& to) {
  KernelHandle source;
  std::wstring folderName, name;
  if (InPackage(from, &folderName, &name)) {
    const Folder* folder = PackageFolder(folderName);
    if (folder) {
      source = OpenPackageItem(*folder, name, GENERIC_READ, FILE_SHARE_READ,
                               FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY);
    }
  } else {
    source.Reset(::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  }
  FILE_BASIC_INFO finish{};
  if (!source ||
      !::GetFileInformationByHandleEx(source.Get(), FileBasicInfo, &finish, sizeof finish) ||
      (finish.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return false;
  }
  // Only the last write time and the kept attributes are set; zero times
  // stay as they are.
  finish.CreationTime.QuadPart = 0;
  finish.LastAccessTime.QuadPart = 0;
  finish.ChangeTime.QuadPart = 0;
  const DWORD kept = finish.FileAttributes & kCopyKeptAttributes;
  finish.FileAttributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;

  // A new name first, with nothing to check: under Wine every look-up of a
  // name that does not exist reads the whole folder, so a second one per
  // file makes a fresh install of thousands of files twice as slow. The new
  // file is kept only once it is complete: a process killed while it writes
  // leaves no part of it under the package's name.
  const KernelHandle copy(::CreateFileW(to.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (copy) {
    return DeleteThrough(copy.Get()) && Fill(copy.Get(), source.Get(), finish, to) &&
           KeepThrough(copy.Get());
  }
  if (::GetLastError() != ERROR_FILE_EXISTS) return false;

  // Windows will not replace a read-only file. Wine leaves that to the Unix
  // permission bits, which do not stop root, so make sure of it here.
  const DWORD existing = ::GetFileAttributesW(to.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES ||
      (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  // The old file stays whole until the new one is complete: written to a
  // temporary file in the staging folder, then moved over the old name in
  // one step, which also replaces a link as a name.
  const bool alone = stagingParent_.empty();
  if (alone) BeginCopies(FolderOf(to));
  const bool replaced = Replace(source.Get(), finish, to);
  if (alone) EndCopies();
  return replaced;
}

// The temporary file is closed on return, so that a staging folder that
// ends with it is empty. It is kept only in the step before its move, the
// one moment in which a process killed leaves it behind.
bool WindowsFileSystem::Replace(HANDLE source, const FILE_BASIC_INFO& finish,
                                const std::wstring& to) {
  const KernelHandle temporary = CreateTemporaryFile();
  if (!temporary || !Fill(temporary.Get(), source, finish, to)) return false;
  if (KeepThrough(temporary.Get()) && MoveOver(temporary.Get(), to)) return true;
  DeleteThrough(temporary.Get());
  return false;
}

// The source's content, last write time and kept attributes into the fresh
// file `copy`, which is still to be deleted when its handle closes: on any
// failure (a full disk) the part written goes with it.
bool WindowsFileSystem::Fill(HANDLE copy, HANDLE source, FILE_BASIC_INFO finish,
                             const std::wstring& to) {
  if (buffer_.empty()) buffer_.resize(kCopyBufferSize);
  bool copied = true;
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(source, buffer_.data(), static_cast<DWORD>(buffer_.size()), &read, nullptr)) {
      copied = false;
      break;
    }
    if (read == 0) break;
    DWORD written = 0;
    if (!::WriteFile(copy, buffer_.data(), read, &written, nullptr) || written != read) {
      copied = false;
      break;
    }
    BlockWritten(to);
  }
  return copied && ::SetFileInformationByHandle(copy, FileBasicInfo, &finish, sizeof finish);
}

void WindowsFileSystem::BeginCopies(const std::wstring& stagingParent) {
  EndCopies();
  stagingParent_ = stagingParent;
}

void WindowsFileSystem::EndCopies() {
  if (staging_) DeleteThrough(staging_.Get());
  staging_.Reset();
  stagingParent_.clear();
  stagingPath_.clear();
}

// A new folder of our own in the staging parent, under a name that did not
// exist, held open so that it can be neither renamed nor deleted by others
// while it is in use.
bool WindowsFileSystem::CreateStagingFolder() {
  const KernelHandle parent(::CreateFileW(
      stagingParent_.c_str(), FILE_TRAVERSE | FILE_ADD_SUBDIRECTORY,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!parent) return false;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring name = RandomName(kStagingPrefix, kStagingSuffix);
    if (name.empty()) return false;
    HANDLE folder = nullptr;
    const NTSTATUS status =
        CreateIn(parent.Get(), name, DELETE | FILE_ADD_FILE | FILE_TRAVERSE,
                 FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_DIRECTORY_FILE, &folder);
    if (status == 0) {
      staging_.Reset(folder);
      stagingPath_ = stagingParent_ + L"\\" + name;
      return true;
    }
    if (status != kNameCollision) return false;
  }
  return false;
}

// An empty file, unshared, in the staging folder (made now if need be), to
// be deleted when its handle closes.
KernelHandle WindowsFileSystem::CreateTemporaryFile() {
  if (!staging_ && !CreateStagingFolder()) return KernelHandle();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::wstring name = RandomName(L"lx", L".TMP");
    if (name.empty()) break;
    HANDLE file = nullptr;
    const NTSTATUS status =
        CreateIn(staging_.Get(), name, GENERIC_WRITE | DELETE, 0, FILE_NON_DIRECTORY_FILE, &file);
    if (status == 0) {
      KernelHandle temporary(file);
      if (!DeleteThrough(temporary.Get())) break;
      TemporaryFileCreated(stagingPath_ + L"\\" + name);
      return temporary;
    }
    if (status != kNameCollision) break;
  }
  return KernelHandle();
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

std::wstring ProgramFolder() {
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

std::wstring WindowsFileSystem::FullPath(const std::wstring& path) {
  return GrownText([&path](wchar_t* buffer, DWORD size) {
    return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
  });
}

// Opened to read attributes only, sharing everything, so that no program
// using it is disturbed.
std::wstring WindowsFileSystem::FolderIdentity(const std::wstring& path) {
  std::wstring folderName, name;
  if (InPackage(path, &folderName, &name)) {
    const Folder* folder = PackageFolder(folderName.empty() ? name : folderName + L"\\" + name);
    return folder ? IdentityOf(folder->handle.Get()) : std::wstring();
  }
  const KernelHandle folder(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
  return folder ? IdentityOf(folder.Get()) : std::wstring();
}

}  // namespace lexiphon
