// An install killed at a chosen block, not after a chosen time: the program
// starts itself again as a child that installs and ends its own process
// from a hook of the real file system; the test reads what the disk kept.
#include "platform/WinApi.h"

#include <gtest/gtest.h>
#include <process.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "TestFileSystem.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"
#include "engine/WindowsFileSystem_win.h"
#include "registry/WindowsRegistry_win.h"

namespace lexiphon {
namespace {

using testing::Narrow;
using Tree = std::vector<std::wstring>;

constexpr char kChildFlag[] = "--install-until-killed";
constexpr int kKilled = 86;
// The file whose copy is cut short, larger than one copy block (1 MiB).
const std::wstring kVictim = L"Lexiphon.dot";

class DyingFileSystem final : public WindowsFileSystem {
 public:
  using WindowsFileSystem::WindowsFileSystem;

 protected:
  void BlockWritten(const std::wstring& destination) override {
    if (destination.find(L"\\" + kVictim) != std::wstring::npos)
      ::TerminateProcess(::GetCurrentProcess(), kKilled);
  }
};

// A package file in one version ('o' old, 'n' new).
std::string Content(const std::wstring& name, char version) {
  return std::string(name == kVictim ? 2 * 1024 * 1024 + 512 : 64, version) + Narrow(name);
}

TEST(KillTest, AKilledInstallLeavesEachFileWholeOrAsItWas) {
  const std::vector<std::wstring> files{LEXIPHON_PACKAGE_FILES L"Dictionaries\\deutsch.dic"};
  const Tree installed = testing::InstalledTree({L"deutsch.dic"});
  // The first file is copied whole; the child dies in the second, the victim.
  const struct {
    bool update;
    Tree afterKill;
  } rows[] = {{false, {L"SortTxtFile.bat"}}, {true, installed}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.update ? "update" : "fresh install");
    const auto registry = testing::TestRegistry::Create();
    const auto disk = testing::TestFileSystem::Create();
    const std::wstring package = disk->At(L"Lx110");
    const std::wstring target = disk->At(L"OFFICE11\\Startup");
    registry->DeleteOffice();
    testing::AddWordVersion(*registry, "11.0", Narrow(disk->At(L"OFFICE11")) + "\\");
    disk->MakeFolder(target);
    for (const std::wstring& name : files) {
      disk->MakeFile(package + L"\\" + name, Content(name, 'n'));
      if (row.update) disk->MakeFile(target + L"\\" + name, Content(name, 'o'));
    }
    char self[MAX_PATH];
    ASSERT_NE(0u, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    const std::string quote = "\"";  // the paths are ASCII
    ASSERT_EQ(kKilled, _spawnl(_P_WAIT, self, (quote + self + quote).c_str(), kChildFlag,
                               (quote + Narrow(package) + quote).c_str(), nullptr));

    // Besides what it expects, at most one empty folder: the staging folder.
    Tree left = disk->Below(target);
    const auto folders = std::remove_if(left.begin(), left.end(), [](const std::wstring& entry) {
      return entry.find(L'\\') == entry.size() - 1 && entry != L"Dictionaries\\";
    });
    EXPECT_LE(left.end() - folders, 1);
    left.erase(folders, left.end());
    EXPECT_EQ(row.afterKill, left) << "no part of a file and no temporary file is left";
    for (const std::wstring& name : files) {
      if (!disk->IsFile(target + L"\\" + name)) continue;
      EXPECT_TRUE(disk->Contents(target + L"\\" + name) ==
                  Content(name, name == files.front() ? 'n' : 'o')) << Narrow(name);
    }

    SharedSubs engine(registry->Api(), disk->Api(), package);
    EXPECT_EQ(0, engine.DoInstall());
    EXPECT_EQ(installed, disk->Below(target));
    registry->DeleteOffice();
  }
}

}  // namespace
}  // namespace lexiphon

// Started with kChildFlag and a package folder, the program is the child:
// it installs from there, without the test framework, until its hook ends it.
int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], lexiphon::kChildFlag) == 0) {
    const std::wstring package(argv[2], argv[2] + std::strlen(argv[2]));
    lexiphon::WindowsRegistry registry;
    lexiphon::DyingFileSystem files(package);
    return lexiphon::SharedSubs(registry, files, package).DoInstall();
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
