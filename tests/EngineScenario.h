#pragma once
// A machine with Word and an unpacked package, in the in-memory file system,
// with the registry from TestRegistry (the real one under Wine).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"

namespace lexiphon::testing {

class EngineScenario : public ::testing::Test {
 public:
  static constexpr const wchar_t* kPackage = L"C:\\Users\\Anna\\Downloads\\Lx110";
  static constexpr const wchar_t* kWordFolder = L"C:\\Program Files\\Microsoft Office\\OFFICE11";
  static constexpr const wchar_t* kTarget = L"C:\\Program Files\\Microsoft Office\\OFFICE11\\Startup";

  void SetUp() override;
  // A fresh machine: no Office key, an empty disk, a new engine.
  void Reset();
  void TearDown() override;

  // The package as unpacked next to the program, plus the program itself.
  void UnpackPackage();
  // Word registered once under Office 11.0, in `view` (0: the program's
  // own), with its folder.
  void RegisterWord(std::uint32_t view = 0);
  // The package as a successful install leaves it in the startup folder.
  void InstallPackageByHand();

  std::wstring Package(const std::wstring& name) const { return std::wstring(kPackage) + L"\\" + name; }
  std::wstring Target(const std::wstring& name) const { return std::wstring(kTarget) + L"\\" + name; }
  // Relative paths of everything below `folder`, sorted.
  std::vector<std::wstring> TreeOf(const std::wstring& folder) const { return fs_->Tree(folder); }

  std::unique_ptr<TestRegistry> registry_;
  std::unique_ptr<MemoryFileSystem> fs_;
  std::unique_ptr<SharedSubs> engine_;
};

}  // namespace lexiphon::testing
