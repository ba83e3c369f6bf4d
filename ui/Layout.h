#pragma once
// The windows' layouts in twips, as designed, and their conversion to pixels
// for a display's DPI. One table per window; table order is focus order.
#include <vector>

namespace lexiphon {

// Control ids, shared by the layout tables, the window procedures and the
// tests. They start at 100: a control with the id IDOK (1) or IDCANCEL (2)
// would be pressed by Enter or Escape, and neither window has such a button.
enum class ControlId : int {
  cmdDeu = 100,
  cmdEng,
  cmdPor,
  Frame1,
  optInst,
  optDeInst,
  cmdOk,
  cmdCancel,
};

enum class ControlKind {
  FlagButton,     // push button showing a bitmap, no text
  Frame,          // group box with a caption
  FirstOption,    // option button that starts a group
  Option,         // further option button of that group
  CommandButton,  // push button with a caption
};

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect& other) const {
    return left == other.left && top == other.top && width == other.width &&
           height == other.height;
  }
};

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize& other) const {
    return width == other.width && height == other.height;
  }
};

struct ControlLayout {
  ControlId id;
  ControlKind kind;
  TwipsRect twips;  // relative to the client area, or to the frame when insideFrame
  bool insideFrame = false;
};

struct WindowLayout {
  int clientWidthTwips = 0;
  int clientHeightTwips = 0;
  std::vector<ControlLayout> controls;  // in focus order
};

// 1440 twips to the inch: 15 twips per pixel at 96 dpi. Rounded to the
// nearest pixel, halves up.
int TwipsToPixels(int twips, unsigned dpi);

const WindowLayout& ChooserLayout();
const WindowLayout& ActionDialogLayout();

PixelSize ClientSize(const WindowLayout& layout, unsigned dpi);

// The flag picture on a chooser button: 69 x 44 pixels at 96 dpi, scaled
// like the layout, so a few pixels larger than its button at every DPI.
PixelSize FlagPictureSize(unsigned dpi);

// The control's rectangle in the window's client area. Controls inside the
// frame are children of the window too, placed at the frame's position plus
// their offset; the sum is taken in twips so that rounding happens once.
PixelRect ControlRect(const WindowLayout& layout, const ControlLayout& control, unsigned dpi);

}  // namespace lexiphon
