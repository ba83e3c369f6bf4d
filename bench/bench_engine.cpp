// Runs one install or uninstall over the real registry and file system,
// taking the package from a folder named on the command line instead of the
// program's own folder, and prints one line:
//   op=install rc=0 ms=812.345 peak_ws_kb=5120
//   bench_engine.exe install|uninstall <package folder> [--profile]
//   bench_engine.exe idle      (no work: the baseline of a bare run)
// --profile adds one line per file operation with its calls and summed time.
#include "bench/Bench.h"

#include <psapi.h>

#include <cstdio>
#include <string>

#include "engine/SharedSubs.h"
#include "engine/WindowsFileSystem_win.h"
#include "registry/WindowsRegistry_win.h"

namespace {

using lexiphon::FileSystem;
using lexiphon::ListAttributes;

using bench::NowMs;

enum Op { kList, kCreateFolder, kCopyFile, kDeleteFiles, kRemoveFolder, kOps };
const char* const kOpNames[kOps] = {"List", "CreateFolder", "CopyFileOver", "DeleteFiles",
                                    "RemoveFolder"};

// The real file system, with the time and calls of each operation summed
// when profiling.
class Profiled : public FileSystem {
 public:
  Profiled(FileSystem& inner, bool profile) : inner_(inner), profile_(profile) {}

  bool List(const std::wstring& path, ListAttributes attributes,
            const std::function<bool(const std::wstring& name)>& onName) override {
    if (!profile_) return inner_.List(path, attributes, onName);
    // The install copies from inside the listing: its time is not the list's.
    double inside = 0;
    const double start = NowMs();
    const bool listed = inner_.List(path, attributes, [&](const std::wstring& name) {
      const double from = NowMs();
      const bool more = onName(name);
      inside += NowMs() - from;
      return more;
    });
    Add(kList, NowMs() - start - inside);
    return listed;
  }
  bool IsLink(const std::wstring& path) override { return inner_.IsLink(path); }
  bool CreateFolder(const std::wstring& path) override {
    return Timed(kCreateFolder, [&] { return inner_.CreateFolder(path); });
  }
  bool CopyFileOver(const std::wstring& from, const std::wstring& to) override {
    return Timed(kCopyFile, [&] { return inner_.CopyFileOver(from, to); });
  }
  void BeginCopies(const std::wstring& stagingParent) override {
    inner_.BeginCopies(stagingParent);
  }
  void EndCopies() override { inner_.EndCopies(); }
  bool DeleteFiles(const std::wstring& path) override {
    return Timed(kDeleteFiles, [&] { return inner_.DeleteFiles(path); });
  }
  bool RemoveFolder(const std::wstring& path) override {
    return Timed(kRemoveFolder, [&] { return inner_.RemoveFolder(path); });
  }
  std::wstring FullPath(const std::wstring& path) override { return inner_.FullPath(path); }
  std::wstring FolderIdentity(const std::wstring& path) override {
    return inner_.FolderIdentity(path);
  }

  void PrintProfile() const {
    for (int op = 0; op < kOps; ++op) {
      if (calls_[op] == 0) continue;
      std::printf("profile call=%s calls=%ld ms=%.3f per_call_ms=%.4f\n", kOpNames[op], calls_[op],
                  ms_[op], ms_[op] / static_cast<double>(calls_[op]));
    }
  }

 private:
  template <typename Call>
  auto Timed(Op op, Call call) -> decltype(call()) {
    if (!profile_) return call();
    const double start = NowMs();
    auto result = call();
    Add(op, NowMs() - start);
    return result;
  }
  void Add(Op op, double ms) {
    ms_[op] += ms;
    ++calls_[op];
  }

  FileSystem& inner_;
  bool profile_;
  double ms_[kOps] = {};
  long calls_[kOps] = {};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring op = argc > 1 ? argv[1] : L"";
  const bool idle = op == L"idle" && argc == 2;
  const bool profile = argc == 4 && std::wstring(argv[3]) == L"--profile";
  if (!idle && ((argc != 3 && !profile) || (op != L"install" && op != L"uninstall"))) {
    std::fputs("usage: bench_engine install|uninstall <package folder> [--profile] | idle\n",
               stderr);
    return 2;
  }

  lexiphon::WindowsRegistry registry;
  lexiphon::WindowsFileSystem windowsFiles;
  Profiled files(windowsFiles, profile);
  lexiphon::SharedSubs subs(registry, files, idle ? L"" : argv[2],
                            [](const std::wstring& text, const std::wstring&, unsigned) {
                              std::fprintf(stderr, "registry: %ls\n", text.c_str());
                            });

  const double start = NowMs();
  lexiphon::ResultCode rc = lexiphon::result::kSuccess;
  if (op == L"install") rc = subs.DoInstall();
  if (op == L"uninstall") rc = subs.DoUninstall();
  const double ms = NowMs() - start;

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  if (profile) files.PrintProfile();
  std::printf("op=%ls rc=%d ms=%.3f peak_ws_kb=%lu\n", op.c_str(), rc, ms,
              static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024));
  return rc == lexiphon::result::kSuccess ? 0 : 1;
}
