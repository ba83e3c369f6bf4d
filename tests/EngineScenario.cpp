#include "EngineScenario.h"

namespace lexiphon::testing {

void EngineScenario::SetUp() {
  registry_ = TestRegistry::Create();
  Reset();
}

void EngineScenario::Reset() {
  registry_->DeleteOffice();
  fs_ = std::make_unique<MemoryFileSystem>();
  engine_ = std::make_unique<SharedSubs>(registry_->Api(), *fs_, kPackage);
}

void EngineScenario::TearDown() { registry_->DeleteOffice(); }

void EngineScenario::UnpackPackage() {
  fs_->AddFile(Package(L"LexiphonSetup.exe"), "MZ");
  for (std::size_t i = 0; i < kPackageFiles.size(); ++i)
    fs_->AddFile(Package(kPackageFiles[i]), "new " + std::to_string(i));
  fs_->AddFile(Package(L"Dictionaries\\deutsch.dic"), "new de");
  fs_->AddFile(Package(L"Dictionaries\\english.dic"), "new en");
}

void EngineScenario::RegisterWord(std::uint32_t view) {
  AddWordVersion(*registry_, "11.0", "C:\\Program Files\\Microsoft Office\\OFFICE11\\", view);
  fs_->AddFolder(kWordFolder);
}

void EngineScenario::InstallPackageByHand() {
  for (const std::wstring& name : kPackageFiles) fs_->AddFile(Target(name), "old");
  fs_->AddFile(Target(L"Dictionaries\\deutsch.dic"), "old de");
  fs_->AddFile(Target(L"Dictionaries\\english.dic"), "old en");
}

}  // namespace lexiphon::testing
