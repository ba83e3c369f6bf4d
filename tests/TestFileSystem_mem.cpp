#include "MemoryFileSystem.h"
#include "TestFileSystem.h"

namespace lexiphon::testing {
namespace {

class MemoryTestFileSystem final : public TestFileSystem {
 public:
  MemoryTestFileSystem() { files_.AddFolder(Root()); }

  FileSystem& Api() override { return files_; }
  bool IsReal() const override { return false; }
  std::wstring Root() const override { return L"C:\\Temp\\lexiphon-test"; }

  void MakeFolder(const std::wstring& path) override { files_.AddFolder(path); }
  void MakeFile(const std::wstring& path, const std::string& contents,
                unsigned attributes) override {
    files_.AddFile(path, contents, attributes);
  }
  void SetAttributes(const std::wstring& path, unsigned attributes) override {
    files_.SetAttributes(path, attributes);
  }
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    files_.AddLink(link, target);
    return true;
  }
  // The disk running full is the copy fault of the double.
  std::wstring SmallDrive() const override { return std::wstring(); }
  void HoldOpen(const std::wstring& path) override {
    files_.SetLocked(path, true);
    held_.push_back(path);
  }
  void ReleaseAll() override {
    for (const std::wstring& path : held_) {
      if (files_.IsFile(path)) files_.SetLocked(path, false);
    }
    held_.clear();
  }

  const Contention& ContendForTemporaryFiles() override { return contention_; }
  std::wstring ShortPath(const std::wstring& path) override { return path; }
  bool IsFile(const std::wstring& path) override { return files_.IsFile(path); }
  bool IsFolder(const std::wstring& path) override { return files_.IsFolder(path); }
  unsigned Attributes(const std::wstring& path) override {
    return files_.Attributes(path) & (kReadOnly | kHidden | kSystem);
  }
  std::string Contents(const std::wstring& path) override { return files_.Contents(path); }
  std::vector<std::wstring> Tree() override { return files_.Tree(Root()); }

 private:
  MemoryFileSystem files_;
  std::vector<std::wstring> held_;
  Contention contention_;
};

}  // namespace

std::unique_ptr<TestFileSystem> TestFileSystem::Create() {
  return std::make_unique<MemoryTestFileSystem>();
}

}  // namespace lexiphon::testing
