#pragma once
// The language chooser: three flag buttons, each opening the action dialog of
// its language and then closing the chooser. Its close box ends the program.
#include <array>

#include "ui/Session.h"
#include "ui/Window_win.h"

namespace lexiphon {

// Also used by the end-to-end tests to find the window.
constexpr const wchar_t* kChooserClassName = L"LexiphonSetup.frmMain";

// The header of a 32-bit top-down RGB bitmap: the one pixel layout the
// chooser draws its flags in, and the tests read the screen back in.
inline BITMAPINFO TopDownRgb32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

class frmMain final : public LayoutWindow {
 public:
  // Creates and shows the chooser; false when the window cannot be created.
  static bool Open(Session& session, int showCommand);
  ~frmMain() override;

 private:
  explicit frmMain(Session& session);

  const wchar_t* TextOf(ControlId id) const override;
  bool OnClick(ControlId id) override;
  void OnDpiApplied(unsigned dpi) override;

  Session& session_;
  std::array<GdiObject<HBITMAP>, 3> flagBitmaps_;
};

}  // namespace lexiphon
