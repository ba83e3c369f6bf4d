#pragma once
// An in-memory file system: the stand-in where no Windows file system
// exists, and the way to faults that a real one cannot produce on demand.
//
// It follows Windows where the tests can tell: absolute paths on drive
// letters ("C:\..."), "\" or "/" between parts, repeated separators, "."
// and ".." resolved as Win32 does; names compared case-insensitively
// (ASCII, Windows-1252, Greek and Cyrillic letters); "*" and "?" only in the
// last part, with "*.*" matching every name and "name.*" matching "name";
// '<', '>', ':', '"', '|' and control characters make a path malformed.
// A listing yields entries in the order they were created (NTFS would sort
// them; callers must not depend on either). A locked file is one held open
// without sharing: it cannot be read, replaced or deleted.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/FileSystem.h"

namespace lexiphon::testing {

class MemoryFileSystem : public FileSystem {
 public:
  enum class Operation { List, Create, Copy, Delete, Remove };

  MemoryFileSystem();
  ~MemoryFileSystem() override;
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  bool List(const std::wstring& path, ListAttributes attributes,
            const std::function<bool(const std::wstring& name)>& onName) override;
  bool IsLink(const std::wstring& path) override;
  bool CreateFolder(const std::wstring& path) override;
  // The copy leaves out the read-only, hidden and system attributes, and a
  // link at the destination is replaced as a name.
  bool CopyFileOver(const std::wstring& from, const std::wstring& to) override;
  // The first replacement after BeginCopies makes the staging folder
  // "lx.tmp" in the parent, as the real one does under a random name;
  // EndCopies removes it. The copies themselves do not pass through it.
  void BeginCopies(const std::wstring& stagingParent) override;
  void EndCopies() override;
  // A faulted call deletes nothing. A link goes as a name, never its target.
  bool DeleteFiles(const std::wstring& path) override;
  // Read-only folders cannot be removed, as on Windows.
  bool RemoveFolder(const std::wstring& path) override;
  // Drive paths only; any other text comes back as it is.
  std::wstring FullPath(const std::wstring& path) override;
  // Attributes do not matter. The identity is the resolved path, folded to
  // upper case: there are no 8.3 names or junctions here.
  std::wstring FolderIdentity(const std::wstring& path) override;

  // Building scenarios. Parents are created as needed. These throw
  // std::invalid_argument for a malformed path or a file standing where a
  // folder must be, and the other way round.
  void AddFolder(const std::wstring& path);  // an existing folder is fine
  // Replaces an existing file, unlocking it.
  void AddFile(const std::wstring& path, const std::string& contents, unsigned attributes = 0);
  // A symbolic link to an existing file or folder. Paths through it reach
  // the target, as on Windows.
  void AddLink(const std::wstring& path, const std::wstring& target);
  void SetAttributes(const std::wstring& path, unsigned attributes);
  void SetLocked(const std::wstring& path, bool locked);

  // Inspection, blind to attributes and locks.
  using FileSystem::Exists;
  bool Exists(const std::wstring& path) const;
  bool IsFolder(const std::wstring& path) const;
  bool IsFile(const std::wstring& path) const;
  unsigned Attributes(const std::wstring& path) const;  // throws std::out_of_range if missing
  std::string Contents(const std::wstring& path) const;  // throws std::out_of_range unless a file
  // Every entry below `folder` (everything, when empty), hidden ones too,
  // as paths relative to it, folders ending in "\", sorted.
  std::vector<std::wstring> Tree(const std::wstring& folder = std::wstring()) const;

  // Makes the n-th call (1-based, counted from now) of that operation fail
  // without changing anything; later calls work again. A faulted listing
  // yields nothing. n = 0 disarms.
  void FailNth(Operation operation, std::size_t n);
  // Calls of that operation so far, faulted and failed ones included.
  std::size_t Calls(Operation operation) const;

 private:
  struct Node;
  struct Path;

  bool Begin(Operation operation);
  Node* Find(const Path& path, std::size_t depth, bool followLast = true) const;
  Node* FindEntry(const Path& path) const;
  Node* MakeFolders(const Path& path, std::size_t depth);

  std::unique_ptr<Node> root_;  // its children are the drives, "C:" and so on
  std::wstring stagingParent_;
  Node* stagingParentNode_ = nullptr;  // once the staging folder is made
  static constexpr std::size_t kOperations = 5;
  std::array<std::size_t, kOperations> calls_{};
  std::array<std::size_t, kOperations> failAt_{};
  std::array<std::size_t, kOperations> sinceArmed_{};
};

}  // namespace lexiphon::testing
