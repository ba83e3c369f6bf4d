// Word discovery over hives of every shape: Office subkeys with long, odd
// and case-twin names, InstallRoot keys and "Path" values of any type and
// size, in either registry view of a 64-bit or a 32-bit program or of
// 32-bit Windows, created and deleted in any order. Then the registry class
// on the same hive, with handles open, closed, 0 and made up.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"
#include "registry/clsRegistryAccess.h"

namespace lexiphon::fuzz {
namespace {

using testing::CountingRegistry;
using testing::kRegBinary, testing::kRegDword, testing::kRegExpandSz, testing::kRegMultiSz,
    testing::kRegNone, testing::kRegSz;
using testing::TestRegistry;

const std::string kOffice = "Software\\Microsoft\\Office";
constexpr std::size_t kMaxEnumName = 254;    // the class's 255-character buffer less the NUL
constexpr std::size_t kMaxValueText = 1024;  // the class's value buffer

// Discovery only asks whether folders exist and which they are. Here every
// folder exists but those with "Gone" in their name, and a folder is the
// same whatever the case of its ASCII letters or its trailing separators.
class Folders : public FileSystem {
 public:
  bool List(const std::wstring&, ListAttributes,
            const std::function<bool(const std::wstring&)>&) override {
    return false;
  }
  bool IsLink(const std::wstring&) override { return false; }
  bool CreateFolder(const std::wstring&) override { return false; }
  bool CopyFileOver(const std::wstring&, const std::wstring&) override { return false; }
  void BeginCopies(const std::wstring&) override {}
  void EndCopies() override {}
  bool DeleteFiles(const std::wstring&) override { return false; }
  bool RemoveFolder(const std::wstring&) override { return false; }
  std::wstring FullPath(const std::wstring& path) override { return path; }
  std::wstring FolderIdentity(const std::wstring& path) override { return Identity(path); }

  static std::wstring Identity(const std::wstring& path) {
    std::wstring folded;
    std::transform(path.begin(), path.end(), std::back_inserter(folded), [](wchar_t ch) {
      return ch >= L'a' && ch <= L'z' ? static_cast<wchar_t>(ch - 0x20) : ch;
    });
    if (folded.find(L"GONE") != std::wstring::npos) return std::wstring();
    while (folded.size() > 3 && folded.back() == L'\\') folded.pop_back();
    return folded;
  }
};

constexpr std::uint32_t kViews[] = {kKeyWow64_64Key, kKeyWow64_32Key};  // in reading order

template <typename T>
T PickOf(FuzzedDataProvider& in, std::initializer_list<T> choices) {
  return *(choices.begin() + in.ConsumeIntegralInRange<std::size_t>(0, choices.size() - 1));
}

template <typename T>
const T& PickOf(FuzzedDataProvider& in, const std::vector<T>& choices) {
  return choices[in.ConsumeIntegralInRange<std::size_t>(0, choices.size() - 1)];
}

// The same name with the case of some letters flipped: the hive folds
// ASCII and Latin-1 letters, so the twin names the same key.
std::string CaseTwin(std::string name, FuzzedDataProvider& in) {
  for (char& ch : name) {
    const auto byte = static_cast<unsigned char>(ch);
    const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                        (byte >= 0xC0 && byte <= 0xFE && byte != 0xD7 && byte != 0xF7);
    if (letter && in.ConsumeBool()) ch = static_cast<char>(byte ^ 0x20U);
  }
  return name;
}

// A name for an Office version key; remembered so later steps can reuse it.
std::string VersionName(FuzzedDataProvider& in, std::vector<std::string>& names) {
  std::string name;
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
      name = std::to_string(in.ConsumeIntegralInRange(6, 16)) + ".0";
      break;
    case 1:
      if (!names.empty()) name = PickOf(in, names);
      break;
    case 2:
      if (!names.empty()) name = CaseTwin(PickOf(in, names), in);
      break;
    case 3:  // around the enumeration buffer's limit
      name.assign(in.ConsumeIntegralInRange<std::size_t>(kMaxEnumName - 4, 300),
                  static_cast<char>(in.ConsumeIntegralInRange<int>('A', 'Z')));
      break;
    default:
      name = in.ConsumeRandomLengthString(300);
      break;
  }
  names.push_back(name);
  return name;
}

// Text for a "Path" value: mostly folder-like, some of it anything at all,
// sizes from nothing to well past the class's buffer.
std::vector<unsigned char> PathData(FuzzedDataProvider& in) {
  const std::string start = PickOf<const char*>(
      in, {"C:\\Office\\", "c:\\Program Files\\Microsoft Office\\OFFICE11\\", "C:\\Gone\\",
           "\\\\server\\share\\",
           "\"C:\\Office\\\"", "\"D:\\Word", "C:\\", "C:", "Office\\", "\\\\\\x",
           "%ProgramFiles%\\Office\\", "1:\\", "\"", "", "C:\\B\374ro\\"});
  std::string text;
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
    case 1:
      text = start + in.ConsumeRandomLengthString(64);
      break;
    case 2: {
      const std::size_t size = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(
                                                      kMaxValueText - 6, kMaxValueText + 2)
                                                : in.ConsumeIntegralInRange<std::size_t>(0, 5000);
      text = start;
      text.resize(size, PickOf(in, {'x', '\\', ' ', '"', '?', '\0'}));
      break;
    }
    default:
      text = in.ConsumeRandomLengthString(5000);
      break;
  }
  if (in.ConsumeBool()) text.push_back('\0');
  return std::vector<unsigned char>(text.begin(), text.end());
}

// Each step names an Office version and does one thing to it. An exhausted
// input picks the first choice everywhere, so the first choices are the
// plausible ones: a Word folder in a "Path" string.
void BuildHive(TestRegistry& hive, FuzzedDataProvider& in, int steps,
               std::vector<std::string>& names) {
  for (int step = 0; step < steps; ++step) {
    const std::uint32_t view = PickOf(in, {kKeyWow64_64Key, kKeyWow64_32Key});
    const std::string version = kOffice + "\\" + VersionName(in, names);
    const std::string root =
        version + "\\" +
        PickOf<const char*>(in, {"Word\\InstallRoot", "WORD\\installroot", "Word\\InstallRoot\\",
                                 "Word", "Common\\InstallRoot", "Word\\InstallRoot\\Path"});
    switch (in.ConsumeIntegralInRange(0, 7)) {
      case 0:
      case 1:
      case 2:
      case 3: {
        const std::string valueName =
            in.ConsumeIntegralInRange(0, 3) == 3
                ? in.ConsumeRandomLengthString(8)
                : PickOf<const char*>(in, {"Path", "PATH", "path", "Path ", ""});
        const std::uint32_t type =
            in.ConsumeIntegralInRange(0, 3) == 3
                ? in.ConsumeIntegral<std::uint32_t>()
                : PickOf<std::uint32_t>(
                      in, {kRegSz, kRegExpandSz, kRegMultiSz, kRegBinary, kRegDword, kRegNone});
        hive.SetValue(in.ConsumeIntegralInRange(0, 7) == 7 ? version : root, valueName, type,
                      PathData(in), view);
        break;
      }
      case 4:
        hive.CreateKey(version, view);
        break;
      case 5:
        hive.CreateKey(root, view);
        break;
      default:  // keys with subkeys stay, as in the real registry
        hive.Api().DeleteKey(kHkeyLocalMachine, (in.ConsumeBool() ? version : root).c_str());
        break;
    }
  }
}

// The data of a value as the hive holds it, read with room enough; false
// when the key or the value cannot be read.
bool ReadRaw(RegistryApi& hive, KeyHandle parent, const std::string& keyName,
             const std::string& valueName, std::string* data, std::uint32_t view = 0) {
  KeyHandle key = 0;
  if (hive.OpenKey(parent, keyName.c_str(), kKeyQueryValue | view, key) != win32::kSuccess)
    return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  // Asked with no room, the registry says how much the data needs.
  long rc = hive.QueryValue(key, valueName.c_str(), type, nullptr, 0, size);
  if (rc != win32::kSuccess && size > 0) {
    data->assign(size, '\0');
    rc = hive.QueryValue(key, valueName.c_str(), type, data->data(), size, size);
  }
  hive.CloseKey(key);
  return rc == win32::kSuccess;
}

// QueryRegEntry against the raw data: the text up to the first NUL, nothing
// for data too large for the buffer, never a character the value lacks.
void CheckValueText(RegistryApi& hive, KeyHandle parent, const std::string& keyName,
                    const std::string& valueName, const std::wstring& text,
                    std::uint32_t view = 0) {
  std::string data;
  if (!ReadRaw(hive, parent, keyName, valueName, &data, view)) {
    Check(text.empty(), "a value that cannot be read gives nothing");
    return;
  }
  if (data.size() > kMaxValueText) {
    Check(text.empty(), "a value over 1024 bytes gives nothing");
    return;
  }
  const std::wstring expected = hive.FromAnsi(data.substr(0, data.find('\0')));
  Check(expected.compare(0, text.size(), text) == 0 && text.size() <= expected.size(),
        "a value read is a prefix of its text");
  if (expected.find_first_not_of(L' ') != std::wstring::npos)
    Check(text == expected, "a value reads as its text up to the first NUL");
}

// The names of the Office versions in one view that a 255-character
// enumeration buffer gets to see: those before the first name too long for it.
std::vector<std::string> VisibleVersions(RegistryApi& hive, std::uint32_t view) {
  std::vector<std::string> versions;
  KeyHandle office = 0;
  if (hive.OpenKey(kHkeyLocalMachine, kOffice.c_str(), kKeyEnumerateSubKeys | view, office) !=
      win32::kSuccess)
    return versions;
  std::vector<char> name(1024);
  for (;;) {
    std::uint32_t length = 0;
    if (hive.SubkeyName(office, static_cast<std::uint32_t>(versions.size()), name.data(),
                        static_cast<std::uint32_t>(name.size()), length) != win32::kSuccess ||
        length > kMaxEnumName)
      break;
    versions.emplace_back(name.data(), length);
  }
  hive.CloseKey(office);
  return versions;
}

void CheckDiscovery(RegistryApi& hive) {
  std::vector<std::pair<std::uint32_t, std::string>> versions;  // both views, in reading order
  for (const std::uint32_t view : kViews) {
    const std::vector<std::string> names = VisibleVersions(hive, view);
    std::transform(names.begin(), names.end(), std::back_inserter(versions),
                   [view](const std::string& name) { return std::make_pair(view, name); });
  }
  Folders files;
  CountingRegistry counting(hive);
  SharedSubs engine(counting, files);
  const ResultCode rc = engine.InitSettings();
  Check(rc == result::kSuccess || rc == result::kWordNotFound || rc == result::kWordAmbiguous,
        "InitSettings answers 0, -100 or -200");
  Check(counting.opened == 0, "discovery closes every key it opens");
  Check(!engine.WordRoots.empty(), "WordRoots has at least one entry");
  Check(engine.WordRoots.size() == std::max<std::size_t>(versions.size(), 1),
        "one Word folder per Office version that the enumeration sees");
  if (versions.empty()) Check(engine.WordRoots[0].empty(), "no version, no Word folder");
  for (std::size_t i = 0; i < versions.size(); ++i)
    CheckValueText(hive, kHkeyLocalMachine,
                   kOffice + "\\" + versions[i].second + "\\Word\\InstallRoot", "Path",
                   engine.WordRoots[i], versions[i].first);

  std::vector<std::wstring> startups;
  std::set<std::wstring> folders;
  for (const std::wstring& root : engine.WordRoots) {
    Check(root.size() <= kMaxValueText, "a Word folder fits the value buffer");
    Check(root.find(L'\0') == std::wstring::npos, "a Word folder ends before any NUL");
    std::wstring startup = StartupFolderFor(root, engine.StartupSubDir);
    const std::wstring folder = Folders::Identity(WordFolderFor(root));
    if (startup.empty() || folder.empty()) continue;
    startups.push_back(std::move(startup));
    folders.insert(folder);
  }
  const ResultCode expected = folders.empty()       ? result::kWordNotFound
                              : folders.size() == 1 ? result::kSuccess
                                                    : result::kWordAmbiguous;
  Check(rc == expected, "the result counts the existing Word folders, each once");
  if (rc == result::kWordNotFound) {
    Check(engine.TargetDir.empty(), "a fresh engine that finds no Word has no TargetDir");
  } else {
    Check(IsAbsoluteFolder(engine.TargetDir), "TargetDir is absolute");
    Check(EndsWith(engine.TargetDir, L"\\Startup"), "TargetDir ends in \\Startup");
    Check(std::find(startups.begin(), startups.end(), engine.TargetDir) != startups.end(),
          "TargetDir is the startup folder of a Word found");
  }

  // The hive did not change, so neither may the answer.
  const std::wstring target = engine.TargetDir;
  Check(engine.InitSettings() == rc && engine.TargetDir == target,
        "a second run gives the same answer");
  Check(counting.opened == 0, "the second run closes every key too");
}

void ExerciseRegistryClass(RegistryApi& hive, FuzzedDataProvider& in, int steps,
                           const std::vector<std::string>& names) {
  CountingRegistry counting(hive);
  clsRegistryAccess registry(counting, MessageBoxFn());
  std::set<KeyHandle> open;
  std::vector<KeyHandle> returned;  // every handle RegOpenKey gave, closed ones too

  auto pickHandle = [&]() -> KeyHandle {
    switch (in.ConsumeIntegralInRange(0, 4)) {
      case 0:
        return 0;
      case 1:
        return kHkeyLocalMachine;
      case 2:
      case 3:
        return returned.empty() ? 0x100 : PickOf(in, returned);
      default:
        return in.ConsumeIntegral<KeyHandle>();
    }
  };
  auto pickKeyName = [&]() -> std::wstring {
    switch (in.ConsumeIntegralInRange(0, 4)) {
      case 0:
        return hive.FromAnsi(names.empty() ? kOffice : kOffice + "\\" + PickOf(in, names));
      case 1:
        return hive.FromAnsi(
            names.empty() ? kOffice : kOffice + "\\" + PickOf(in, names) + "\\Word\\InstallRoot");
      case 2: {  // any UTF-16 code unit, most of them not in the ANSI code page
        std::wstring name(in.ConsumeIntegralInRange<std::size_t>(0, 40), L' ');
        std::generate(name.begin(), name.end(),
                      [&] { return static_cast<wchar_t>(in.ConsumeIntegral<std::uint16_t>()); });
        return name;
      }
      case 3:
        return L"";
      default:
        return hive.FromAnsi(in.ConsumeRandomLengthString(300));
    }
  };

  for (int step = 0; step < steps; ++step) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: {
        const KeyHandle parent = pickHandle();
        const std::wstring asGiven = pickKeyName();
        std::wstring name = asGiven;
        const std::uint32_t access = in.ConsumeBool()
                                         ? PickOf(in, {kKeyQueryValue, kKeyEnumerateSubKeys,
                                                       kKeyQueryValue | kKeyEnumerateSubKeys, 0U})
                                         : in.ConsumeIntegral<std::uint32_t>();
        const KeyHandle opened = registry.RegOpenKey(parent, name, access);
        if (parent == 0)
          Check(opened == 0 && name == asGiven, "a handle of 0 opens nothing and keeps the name");
        else
          Check(name == hive.FromAnsi(hive.ToAnsi(asGiven)),
                "RegOpenKey hands back the ANSI round trip of the name");
        if (opened != 0) {
          Check(open.insert(opened).second, "a new handle is none of those open");
          returned.push_back(opened);
        }
        break;
      }
      case 1: {
        const KeyHandle key = pickHandle();
        const std::int32_t index =
            in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 8) : in.ConsumeIntegral<std::int32_t>();
        std::wstring subKey = L"as it was";
        const std::int32_t found = registry.RegEnumKey(key, index, subKey);
        Check(found == kRegistryTrue || found == kRegistryFalse, "RegEnumKey answers True or False");
        if (found == kRegistryTrue) {
          Check(subKey.size() <= kMaxEnumName, "an enumerated name has at most 254 characters");
          Check(subKey.find(L'\0') == std::wstring::npos, "an enumerated name holds no NUL");
        } else if (key == 0) {
          Check(subKey == L"as it was", "a handle of 0 leaves SubKey as it was");
        } else {
          Check(subKey.size() == kMaxEnumName + 1, "a failed enumeration leaves the whole buffer");
        }
        break;
      }
      case 2: {
        const KeyHandle key =
            in.ConsumeIntegralInRange(0, 2) == 2 ? pickHandle() : kHkeyLocalMachine;
        const std::wstring keyName = pickKeyName();
        const std::wstring valueName =
            in.ConsumeBool() ? hive.FromAnsi(in.ConsumeRandomLengthString(8)) : L"Path";
        const std::wstring text = registry.QueryRegEntry(key, keyName, valueName);
        Check(text.size() <= kMaxValueText, "a value read is at most 1024 characters");
        Check(text.find(L'\0') == std::wstring::npos, "a value read ends before any NUL");
        CheckValueText(hive, key, hive.ToAnsi(keyName), hive.ToAnsi(valueName), text);
        break;
      }
      default: {
        const KeyHandle key = pickHandle();
        const std::int32_t closed = registry.RegCloseKey(key);
        if (open.erase(key) > 0)
          Check(closed == kRegistryTrue, "an open key closes");
        else if (key != kHkeyLocalMachine)
          Check(closed == kRegistryFalse, "closing a key that is not open fails");
        break;
      }
    }
    Check(counting.opened == static_cast<long>(open.size()),
          "only the keys RegOpenKey returned stay open");
  }
  for (const KeyHandle key : open) Check(registry.RegCloseKey(key) == kRegistryTrue, "an open key closes");
  Check(counting.opened == 0, "no key is left open");
}

}  // namespace
}  // namespace lexiphon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lexiphon;
  FuzzedDataProvider in(data, size);
  // Step counts come first so that they do not depend on how much the
  // steps themselves consume.
  const int hiveSteps = in.ConsumeIntegralInRange(0, 48);
  const int classSteps = in.ConsumeIntegralInRange(0, 32);

  using Machine = testing::TestRegistry::Machine;
  const auto hive = testing::TestRegistry::CreateMemory(
      fuzz::PickOf(in, {Machine::Program64, Machine::Program32OnWindows64, Machine::Windows32}));
  std::vector<std::string> names;
  fuzz::BuildHive(*hive, in, hiveSteps, names);
  fuzz::CheckDiscovery(hive->Api());
  fuzz::ExerciseRegistryClass(hive->Api(), in, classSteps, names);
  return 0;
}
