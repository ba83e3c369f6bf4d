#include <algorithm>
#include <stdexcept>
#include <utility>

#include "TestFileSystem.h"
#include "TestRegistry.h"
#include "engine/WindowsFileSystem_win.h"
#include "platform/ScopedHandle_win.h"

namespace lexiphon::testing {
namespace {

[[noreturn]] void Fail(const char* what, const std::wstring& path) {
  const DWORD error = ::GetLastError();
  throw std::runtime_error(std::string(what) + " failed with error " + std::to_string(error) +
                           ": " + Utf8(path));
}

struct Entry {
  std::wstring name;
  bool folder;
  bool link;
};

// The entries of a folder, hidden ones too, "." and ".." left out.
std::vector<Entry> Entries(const std::wstring& folder) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAW entry;
  const FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find) return entries;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") {
      entries.push_back({name, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    }
  } while (::FindNextFileW(find.Get(), &entry));
  return entries;
}

// Read-only entries included: the scenario's leftovers must all go. A link
// goes as itself; what it points at is not the scenario's to remove.
void RemoveTree(const std::wstring& folder) {
  for (const Entry& entry : Entries(folder)) {
    const std::wstring path = folder + L"\\" + entry.name;
    if (entry.link) {
      if (!::RemoveDirectoryW(path.c_str())) ::DeleteFileW(path.c_str());
      continue;
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (entry.folder) {
      RemoveTree(path);
    } else {
      ::DeleteFileW(path.c_str());
    }
  }
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

std::string UnixName(const std::wstring& path) {
  const auto unixFileName = FunctionOf<char*(CDECL*)(const wchar_t*)>(
      ::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name");
  char* name = unixFileName ? unixFileName(path.c_str()) : nullptr;
  if (!name) return std::string();
  const std::string copy(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return copy;
}

// Runs a Unix command through Wine's start.exe, which hands it over and may
// return before it has run: polls `done` for up to five seconds after.
// False where there is no Wine or `done` never holds.
template <typename Done>
bool RunUnix(const std::string& command, Done done) {
  std::wstring line(L"start.exe /unix ");
  line.append(command.begin(), command.end());  // the scenario's paths are ASCII
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (UnixName(L"C:\\").empty() ||
      !::CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
    return false;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  ::WaitForSingleObject(process.Get(), 10000);
  for (int i = 0; i < 100 && !done(); ++i) ::Sleep(50);
  return done();
}

// Acts as another program the moment a temporary file exists.
class ContendedFileSystem final : public WindowsFileSystem {
 public:
  bool contend = false;
  TestFileSystem::Contention counts;

 protected:
  void TemporaryFileCreated(const std::wstring& path) override {
    if (!contend) return;
    const KernelHandle opened(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    for (const bool worked : {::DeleteFileW(path.c_str()) != FALSE,
                              ::MoveFileExW(path.c_str(), (path + L".moved").c_str(), 0) != FALSE,
                              opened.Valid()}) {
      ++counts.tried;
      if (worked) ++counts.succeeded;
    }
  }
};

class RealTestFileSystem final : public TestFileSystem {
 public:
  RealTestFileSystem() {
    RequireThrowawayPrefix();
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) Fail("GetTempPathW", std::wstring());
    const std::wstring base = std::wstring(temp, length) + L"lexiphon-fs-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (unsigned n = 0; root_.empty(); ++n) {
      const std::wstring candidate = base + std::to_wstring(n);
      if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
        root_ = candidate;
      } else if (::GetLastError() != ERROR_ALREADY_EXISTS) {
        Fail("CreateDirectoryW", candidate);
      }
    }
  }

  ~RealTestFileSystem() override {
    ReleaseAll();
    for (const std::wstring& link : links_) {
      RunUnix("/bin/rm -f \"" + UnixName(link) + "\"",
              [&link] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    RemoveTree(root_);
  }

  FileSystem& Api() override { return files_; }
  bool IsReal() const override { return true; }
  std::wstring Root() const override { return root_; }

  void MakeFolder(const std::wstring& path) override {
    if (IsFolder(path)) return;
    MakeParent(path);
    if (!::CreateDirectoryW(path.c_str(), nullptr)) Fail("CreateDirectoryW", path);
  }

  void MakeFile(const std::wstring& path, const std::string& contents,
                unsigned attributes) override {
    MakeParent(path);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only one refuses
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("CreateFileW", path);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()),
                                &written, nullptr);
    file.Reset();
    if (!ok || written != contents.size()) Fail("WriteFile", path);
    if (attributes != 0) SetAttributes(path, attributes);
  }

  void SetAttributes(const std::wstring& path, unsigned attributes) override {
    if (!::SetFileAttributesW(path.c_str(), attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL)) {
      Fail("SetFileAttributesW", path);
    }
  }

  // Wine makes nothing through CreateSymbolicLinkW, but shows a Unix
  // symbolic link as Windows shows a link (a folder link as 0x410 with a
  // tag of 0), and lets a program start a Unix one to make it. A link
  // already at `link` is pointed at the new target. Wine cannot delete a
  // folder link either: the links made go the same way at the end.
  bool MakeLink(const std::wstring& link, const std::wstring& target) override {
    const std::string command = "/bin/ln -sfn \"" + UnixName(target) + "\" \"" + UnixName(link) + "\"";
    const bool made =
        RunUnix(command, [&link] { return ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; });
    if (made) links_.push_back(link);
    return made;
  }
  // Prepared by the test run as a tiny tmpfs behind a drive letter.
  std::wstring SmallDrive() const override {
    wchar_t drive[8] = {};
    if (!::GetEnvironmentVariableW(L"LEXIPHON_SMALL_DRIVE", drive, 8)) return std::wstring();
    const std::wstring root = std::wstring(drive) + L"\\";
    ULARGE_INTEGER total{};
    if (!::GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr)) return std::wstring();
    return total.QuadPart < 4u * 1024 * 1024 ? root : std::wstring();
  }

  void HoldOpen(const std::wstring& path) override {
    KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("CreateFileW", path);
    held_.push_back(std::move(file));
  }

  void ReleaseAll() override { held_.clear(); }

  const Contention& ContendForTemporaryFiles() override {
    files_.contend = true;
    return files_.counts;
  }

  std::wstring ShortPath(const std::wstring& path) override {
    std::wstring shortPath(::GetShortPathNameW(path.c_str(), nullptr, 0), L'\0');
    const DWORD length = ::GetShortPathNameW(path.c_str(), &shortPath[0],
                                             static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) Fail("GetShortPathNameW", path);
    shortPath.resize(length);
    return shortPath;
  }

  bool IsFile(const std::wstring& path) override {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool IsFolder(const std::wstring& path) override {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  unsigned Attributes(const std::wstring& path) override {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) Fail("GetFileAttributesW", path);
    return attributes & (kReadOnly | kHidden | kSystem);
  }

  std::string Contents(const std::wstring& path) override {
    const KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) Fail("CreateFileW", path);
    std::string contents;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
      contents.append(buffer, read);
    }
    return contents;
  }

  std::vector<std::wstring> Tree() override {
    std::vector<std::wstring> tree;
    Walk(root_, std::wstring(), &tree);
    std::sort(tree.begin(), tree.end());
    return tree;
  }

 private:
  void MakeParent(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L'\\');
    if (cut != std::wstring::npos) MakeFolder(path.substr(0, cut));
  }

  static void Walk(const std::wstring& folder, const std::wstring& prefix,
                   std::vector<std::wstring>* tree) {
    for (const Entry& entry : Entries(folder)) {
      tree->push_back(prefix + entry.name + (entry.folder ? L"\\" : L""));
      if (entry.folder && !entry.link)
        Walk(folder + L"\\" + entry.name, prefix + entry.name + L"\\", tree);
    }
  }

  ContendedFileSystem files_;
  std::wstring root_;
  std::vector<std::wstring> links_;
  std::vector<KernelHandle> held_;
};

}  // namespace

std::unique_ptr<TestFileSystem> TestFileSystem::Create() {
  return std::make_unique<RealTestFileSystem>();
}

}  // namespace lexiphon::testing
