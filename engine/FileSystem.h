#pragma once
// The file operations that install and uninstall need, and nothing more.
// Paths are Windows paths with "\" separators, passed through unchanged.
#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>

namespace lexiphon {

// A staging folder's name: the prefix, 16 hex digits (0-9, A-F), the
// suffix. The prefix is the program's own, so that a folder of exactly this
// form is one that an earlier run left, and nobody else's.
inline constexpr wchar_t kStagingPrefix[] = L"LexiphonSetup-";
inline constexpr wchar_t kStagingSuffix[] = L".tmp";
inline constexpr std::size_t kStagingDigits = 16;

inline bool IsStagingFolderName(const std::wstring& name) {
  const std::wstring prefix = kStagingPrefix;
  const std::wstring suffix = kStagingSuffix;
  if (name.size() != prefix.size() + kStagingDigits + suffix.size() ||
      name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  const auto digits = name.begin() + static_cast<std::ptrdiff_t>(prefix.size());
  return std::all_of(digits, digits + kStagingDigits, [](wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
  });
}

enum class ListAttributes {
  Normal = 0,      // files without the hidden, system and directory attributes
  Directory = 16,  // folders, and such files too
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Calls onName with each name that `path` matches, in listing order, until
  // onName returns false. A "*" may stand in the last part of the path.
  // Hidden and system entries never match, nor "." and "..". False when the
  // listing failed in itself (malformed path, missing or unreadable folder,
  // drive not ready), so that a failure never passes for an empty folder;
  // true when it ran, matches or not.
  virtual bool List(const std::wstring& path, ListAttributes attributes,
                    const std::function<bool(const std::wstring& name)>& onName) = 0;

  // True when `path` names a link: a symbolic link, junction or mount point
  // (or a reparse point of a kind the platform does not tell). What a link
  // points at may belong to anybody, so nothing is written or deleted
  // through one.
  virtual bool IsLink(const std::wstring& path) = 0;

  // Creates one folder; its parent must exist. False on any failure,
  // including a folder that already exists.
  virtual bool CreateFolder(const std::wstring& path) = 0;

  // Copies one file, replacing a file of the same name at the destination
  // all at once: on any failure, and when the process is killed part-way,
  // the old file is left as it was, and a new one is not left half written.
  // A read-only destination is not replaced; a link or hard link there is
  // replaced as a name, and what it pointed at stays untouched. The copy
  // keeps the source's last write time and is left without the read-only,
  // hidden and system attributes, so that it can be updated and found again.
  virtual bool CopyFileOver(const std::wstring& from, const std::wstring& to) = 0;

  // From now until EndCopies, a replacement is written in a staging folder
  // that the first replacement makes inside `stagingParent` under a new
  // name of the form IsStagingFolderName knows, and moved from there into
  // place; a process killed part-way leaves the folder there, empty. The
  // parent must be on the volume of every destination, and not a folder
  // whose entries are counted: a staging folder that cannot be removed
  // stays there. Without it, each replacement stages beside its destination.
  virtual void BeginCopies(const std::wstring& stagingParent) = 0;
  // Removes the staging folder, and only when it is empty.
  virtual void EndCopies() = 0;

  // Deletes the file that `path` names, or with a wildcard in its last part
  // every file directly inside that folder that it matches (hidden and
  // system files too, never folders). A link is deleted as a name, never
  // what it points at. Goes on past a file that cannot be deleted; false
  // when any deletion failed, the listing failed or nothing matched.
  // Read-only files are not deletable: their attribute is never cleared.
  virtual bool DeleteFiles(const std::wstring& path) = 0;

  // Removes an empty folder. False when it is missing or not empty.
  virtual bool RemoveFolder(const std::wstring& path) = 0;

  // `path` as Windows resolves it before it opens anything: "." and ".."
  // resolved, "/" turned into "\", separators collapsed, spaces and dots at
  // the end of the last part dropped, one dot at the end of any other part
  // (but not a space). Empty when it cannot be resolved.
  virtual std::wstring FullPath(const std::wstring& path) = 0;

  // The same text for every path that reaches the same existing folder
  // (other case, a trailing separator, 8.3 names, junctions), different
  // texts for different folders; empty for a file, for anything missing and
  // for a pattern. The folder's hidden, system or read-only attributes do
  // not matter.
  virtual std::wstring FolderIdentity(const std::wstring& path) = 0;

  // True when `path` names a folder that exists and can be opened. Unlike
  // Exists(path, Directory), a file of that name does not count.
  bool FolderExists(const std::wstring& path) { return !FolderIdentity(path).empty(); }

  // True when a listing of `path` yields at least one entry.
  bool Exists(const std::wstring& path, ListAttributes attributes) {
    bool found = false;
    List(path, attributes, [&found](const std::wstring&) {
      found = true;
      return false;
    });
    return found;
  }
};

// Begins a series of copies and ends it on every way out.
class CopiesInto {
 public:
  CopiesInto(FileSystem& files, const std::wstring& stagingParent) : files_(files) {
    files_.BeginCopies(stagingParent);
  }
  ~CopiesInto() { files_.EndCopies(); }
  CopiesInto(const CopiesInto&) = delete;
  CopiesInto& operator=(const CopiesInto&) = delete;

 private:
  FileSystem& files_;
};

}  // namespace lexiphon
