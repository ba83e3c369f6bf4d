#pragma once
// How a part of the program shows a modal message box with an OK button,
// without knowing which window system draws it: text, title, style value.
#include <functional>
#include <string>

namespace lexiphon {

using MessageBoxFn =
    std::function<void(const std::wstring& text, const std::wstring& title, unsigned style)>;

}  // namespace lexiphon
