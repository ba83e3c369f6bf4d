#pragma once
// The file operations that install and uninstall need, and nothing more.
// Paths are Windows paths with "\" separators, passed through unchanged.
#include <functional>
#include <string>

namespace lexiphon {

enum class ListAttributes {
  Normal = 0,      // files without the hidden, system and directory attributes
  Directory = 16,  // folders, and such files too
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Calls onName with each name that `path` matches, in listing order, until
  // onName returns false. A "*" may stand in the last part of the path.
  // Hidden and system entries never match, nor "." and "..". A listing that
  // fails in itself (malformed path, drive not ready) yields nothing.
  virtual void List(const std::wstring& path, ListAttributes attributes,
                    const std::function<bool(const std::wstring& name)>& onName) = 0;

  // Creates one folder; its parent must exist. False on any failure,
  // including a folder that already exists.
  virtual bool CreateFolder(const std::wstring& path) = 0;

  // Copies one file, replacing a file of the same name at the destination.
  virtual bool CopyFileOver(const std::wstring& from, const std::wstring& to) = 0;

  // Deletes the file that `path` names, or with a wildcard in its last part
  // every file directly inside that folder that it matches (hidden and
  // system files too, never folders). Goes on past a file that cannot be
  // deleted; false when any deletion failed or nothing matched. Read-only
  // files are not deletable: their attribute is never cleared.
  virtual bool DeleteFiles(const std::wstring& path) = 0;

  // Removes an empty folder. False when it is missing or not empty.
  virtual bool RemoveFolder(const std::wstring& path) = 0;

  // The folder of the program's own executable, normally without a
  // trailing separator.
  virtual std::wstring ProgramFolder() = 0;

  // True when `path` names a folder that exists and can be opened, whatever
  // its hidden, system or read-only attributes; false for a file, for
  // anything missing and for a pattern. A trailing separator is allowed.
  // Unlike Exists(path, Directory), a file of that name does not count.
  virtual bool FolderExists(const std::wstring& path) = 0;

  // The same text for every path that reaches the same existing folder
  // (other case, a trailing separator, 8.3 names, junctions), different
  // texts for different folders; empty where FolderExists is false.
  virtual std::wstring FolderIdentity(const std::wstring& path) = 0;

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

}  // namespace lexiphon
