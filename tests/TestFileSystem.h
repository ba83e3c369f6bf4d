#pragma once
// File system scenarios for the tests. Natively they are built in the
// in-memory double; on Windows in a fresh folder under the temp folder,
// removed again at the end, so the same tests prove both.
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/FileSystem.h"

namespace lexiphon::testing {

class TestFileSystem {
 public:
  // The in-memory double natively, the real file system on Windows.
  static std::unique_ptr<TestFileSystem> Create();
  virtual ~TestFileSystem() = default;

  virtual FileSystem& Api() = 0;
  virtual bool IsReal() const = 0;

  // An empty folder that belongs to this scenario, without trailing "\".
  virtual std::wstring Root() const = 0;
  std::wstring At(const std::wstring& relative) const { return Root() + L"\\" + relative; }

  // Building and inspecting take full paths and throw when the platform
  // refuses. Folders and files get their parents as needed.
  virtual void MakeFolder(const std::wstring& path) = 0;
  virtual void MakeFile(const std::wstring& path, const std::string& contents,
                        unsigned attributes = 0) = 0;
  virtual void SetAttributes(const std::wstring& path, unsigned attributes) = 0;
  // A symbolic link at `link` to an existing file or folder; false where the
  // platform cannot make one (Windows proper needs a privilege for it).
  virtual bool MakeLink(const std::wstring& link, const std::wstring& target) = 0;
  // The root of a drive only a few hundred KB in size that the test run has
  // prepared ("Y:\"), or empty when there is none: a full disk on demand.
  virtual std::wstring SmallDrive() const = 0;
  // Holds a file open without sharing until ReleaseAll or the end.
  virtual void HoldOpen(const std::wstring& path) = 0;
  virtual void ReleaseAll() = 0;

  // From now on, right after the file system has created a temporary file,
  // tries what another program could do with its name: delete it, rename
  // it, open it. Counts the attempts and those that worked. Windows only:
  // the double makes no temporary files.
  struct Contention {
    int tried = 0;
    int succeeded = 0;
  };
  virtual const Contention& ContendForTemporaryFiles() = 0;

  // The 8.3 form of an existing path where the platform has one, else the
  // path itself.
  virtual std::wstring ShortPath(const std::wstring& path) = 0;

  virtual bool IsFile(const std::wstring& path) = 0;
  virtual bool IsFolder(const std::wstring& path) = 0;
  // Read-only, hidden and system only.
  virtual unsigned Attributes(const std::wstring& path) = 0;
  virtual std::string Contents(const std::wstring& path) = 0;
  // Everything below Root, hidden and system entries too, as relative
  // paths with folders ending in "\", sorted.
  virtual std::vector<std::wstring> Tree() = 0;
  // The part of Tree() below `folder` (a full path), relative to it.
  std::vector<std::wstring> Below(const std::wstring& folder) {
    const std::wstring prefix = folder.substr(Root().size() + 1) + L"\\";
    std::vector<std::wstring> below;
    for (const std::wstring& entry : Tree())
      if (entry.size() > prefix.size() && entry.compare(0, prefix.size(), prefix) == 0)
        below.push_back(entry.substr(prefix.size()));
    return below;
  }
};

}  // namespace lexiphon::testing
