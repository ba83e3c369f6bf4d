// Word's startup folder from whatever text a "Path" value may hold. The
// first byte chooses how the rest becomes wide text: as Windows-1252 bytes,
// the way the registry class reads values, or as UTF-16 code units.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "TestRegistry.h"
#include "engine/SharedSubs.h"

namespace lexiphon::fuzz {
namespace {

const std::wstring kStartup = L"\\Startup";

std::wstring Decode(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return std::wstring();
  if (data[0] % 2 == 0) {
    static const auto ansi =
        testing::TestRegistry::CreateMemory(testing::TestRegistry::Machine::Program64);
    return ansi->Api().FromAnsi(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  }
  std::wstring text;
  for (std::size_t i = 1; i + 1 < size; i += 2)
    text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  return text;
}

// A character that would make the folder name a wildcard, a stream or
// something no folder can be called.
bool IsForbidden(wchar_t ch, std::size_t position) {
  return ch < 0x20 || ch == L'*' || ch == L'?' || ch == L'<' || ch == L'>' || ch == L'|' ||
         ch == L'"' || (ch == L':' && position != 1);
}

void CheckStartupFolder(const std::wstring& value) {
  const std::wstring found = StartupFolderFor(value, kStartup);
  if (found.empty()) return;

  Check(IsAbsoluteFolder(found), "the startup folder is absolute");
  Check(EndsWith(found, kStartup), "the startup folder ends in \\Startup");
  const std::wstring folder = found.substr(0, found.size() - kStartup.size());
  for (std::size_t i = 0; i < folder.size(); ++i)
    Check(!IsForbidden(folder[i], i), "the startup folder holds no wildcard, quote or control");

  // Nothing is invented: the folder is the value, less one pair of
  // surrounding quotes and one trailing separator.
  const bool quoted = value.size() >= 2 && value.front() == L'"' && value.back() == L'"';
  const std::wstring unquoted = quoted ? value.substr(1, value.size() - 2) : value;
  Check(unquoted == folder || unquoted == folder + L"\\",
        "the folder is the value without quotes and one trailing separator");

  // Asking again about what we derived gives the same answer.
  Check(StartupFolderFor(folder + L"\\", kStartup) == found,
        "the folder with a trailing separator gives the same startup folder");
  Check(StartupFolderFor(L"\"" + folder + L"\\\"", kStartup) == found,
        "the same in quotes gives the same startup folder");
  Check(StartupFolderFor(found, kStartup) == found + kStartup,
        "the startup folder is itself a usable folder");
}

}  // namespace
}  // namespace lexiphon::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lexiphon::fuzz::CheckStartupFolder(lexiphon::fuzz::Decode(data, size));
  return 0;
}
