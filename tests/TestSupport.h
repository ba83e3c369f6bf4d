#pragma once
// What the tests share beyond their doubles, each written once: printers,
// a box recorder, the package, attributes, case folding, text conversions.
#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/MessageBoxFn.h"
#include "ui/Layout.h"

namespace lexiphon {

// Beside the types, where gtest looks for them.
inline void PrintTo(const PixelRect& rect, std::ostream* out) {
  *out << "{" << rect.left << ", " << rect.top << ", " << rect.width << ", " << rect.height << "}";
}

inline void PrintTo(const PixelSize& size, std::ostream* out) {
  *out << size.width << " x " << size.height;
}

namespace testing {

// Win32's FILE_ATTRIBUTE_* values.
enum FileAttribute : unsigned { kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4 };

struct ShownBox {
  std::wstring text;
  std::wstring title;
  unsigned style;
};

// Keeps every message box it is asked to show, in order.
struct BoxRecorder {
  std::vector<ShownBox> shown;
  MessageBoxFn Seam() {
    return [this](const std::wstring& text, const std::wstring& title, unsigned style) {
      shown.push_back({text, title, style});
    };
  }
};

// The package's single files, in the order install copies them.
inline const std::vector<std::wstring> kPackageFiles = {LEXIPHON_PACKAGE_FILES};

// The startup folder after a complete install over `others`: the package's
// single files, and its folders each holding `folderFiles`. Relative paths,
// folders ending in "\", sorted, as the scenarios' Tree() gives them.
inline std::vector<std::wstring> InstalledTree(const std::vector<std::wstring>& folderFiles,
                                               std::vector<std::wstring> others = {}) {
  std::vector<std::wstring> tree = std::move(others);
  tree.insert(tree.end(), kPackageFiles.begin(), kPackageFiles.end());
  for (const std::wstring folder : {LEXIPHON_PACKAGE_DIRS}) {
    tree.push_back(folder + L"\\");
    for (const std::wstring& file : folderFiles) tree.push_back(folder + L"\\" + file);
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

// Upper case as Windows compares file and registry names, for the letters
// the tests use: ASCII, Windows-1252, Greek and Cyrillic. The C library's
// towupper knows only ASCII in the "C" locale.
inline wchar_t FoldCase(wchar_t c) {
  const bool ascii = c >= L'a' && c <= L'z';
  const bool latin1 = c >= 0xE0 && c <= 0xFE && c != 0xF7;
  const bool greek = c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2;
  const bool cyrillic = c >= 0x430 && c <= 0x44F;
  if (ascii || latin1 || greek || cyrillic) return static_cast<wchar_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
  if (c == 0xFF) return 0x178;
  if (c == 0x161 || c == 0x153 || c == 0x17E) return static_cast<wchar_t>(c - 1);
  return c;
}

// ASCII as it is, anything else as '?': paths in test messages, and
// scenario paths that go through the registry's ANSI.
inline std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

// Text for a UTF-8 console or log, from UTF-16 (wchar_t on Windows) or UTF-32.
inline std::string Utf8(const std::wstring& text) {
  static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
  std::string utf8;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && (text[i + 1] & 0xFC00) == 0xDC00)
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] & 0x3FF);  // a surrogate pair
    const int more = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    utf8 += static_cast<char>(kLead[more] | (c >> (6 * more)));
    for (int k = more - 1; k >= 0; --k) utf8 += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
  }
  return utf8;
}

}  // namespace testing
}  // namespace lexiphon
