#include "ui/Layout.h"

#include "resources/FlagPicture.h"

namespace lexiphon {

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerDesignPixel = 15;

int TwipsToPixels(int twips, unsigned dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + kTwipsPerInch / 2) / kTwipsPerInch);
}

const WindowLayout& ChooserLayout() {
  static const WindowLayout layout{
      7155,
      1200,
      {
          {ControlId::cmdDeu, ControlKind::FlagButton, {840, 240, 975, 615}},
          {ControlId::cmdEng, ControlKind::FlagButton, {3120, 240, 975, 615}},
          {ControlId::cmdPor, ControlKind::FlagButton, {5280, 240, 975, 615}},
      }};
  return layout;
}

const WindowLayout& ActionDialogLayout() {
  static const WindowLayout layout{
      4440,
      2190,
      {
          {ControlId::Frame1, ControlKind::Frame, {360, 120, 3735, 1215}},
          {ControlId::optInst, ControlKind::FirstOption, {120, 240, 2535, 375}, true},
          {ControlId::optDeInst, ControlKind::Option, {120, 600, 2535, 375}, true},
          {ControlId::cmdOk, ControlKind::CommandButton, {360, 1560, 1575, 495}},
          {ControlId::cmdCancel, ControlKind::CommandButton, {2520, 1560, 1575, 495}},
      }};
  return layout;
}

PixelSize ClientSize(const WindowLayout& layout, unsigned dpi) {
  return {TwipsToPixels(layout.clientWidthTwips, dpi),
          TwipsToPixels(layout.clientHeightTwips, dpi)};
}

PixelSize FlagPictureSize(unsigned dpi) {
  return {TwipsToPixels(flag::kDesignWidth * kTwipsPerDesignPixel, dpi),
          TwipsToPixels(flag::kDesignHeight * kTwipsPerDesignPixel, dpi)};
}

PixelRect ControlRect(const WindowLayout& layout, const ControlLayout& control, unsigned dpi) {
  TwipsRect twips = control.twips;
  if (control.insideFrame) {
    for (const ControlLayout& frame : layout.controls) {
      if (frame.kind != ControlKind::Frame) continue;
      twips.left += frame.twips.left;
      twips.top += frame.twips.top;
      break;
    }
  }
  return {TwipsToPixels(twips.left, dpi), TwipsToPixels(twips.top, dpi),
          TwipsToPixels(twips.width, dpi), TwipsToPixels(twips.height, dpi)};
}

}  // namespace lexiphon
