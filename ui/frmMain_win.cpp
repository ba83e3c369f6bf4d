#include "ui/frmMain_win.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "resources/FlagPicture.h"
#include "resources/resource.h"
#include "ui/ActionDialog_win.h"
#include "ui/WindowTexts.h"

namespace lexiphon {
namespace {

struct Flag {
  ControlId button;
  Language language;
  int bitmap;
  flag::Country country;
};

constexpr std::array<Flag, 3> kFlags{{
    {ControlId::cmdDeu, Language::German, IDB_FLAG_DEU, flag::Country::Germany},
    {ControlId::cmdEng, Language::English, IDB_FLAG_ENG, flag::Country::UnitedKingdom},
    {ControlId::cmdPor, Language::Portuguese, IDB_FLAG_POR, flag::Country::Brazil},
}};

const Flag* FlagOf(ControlId button) {
  const auto flag = std::find_if(kFlags.begin(), kFlags.end(),
                                 [button](const Flag& candidate) { return candidate.button == button; });
  return flag == kFlags.end() ? nullptr : &*flag;
}

// At 96 dpi the bitmap as designed; at any other DPI the same picture drawn
// for that size, frame included. It is a few pixels larger than its button;
// the button draws it centred.
GdiObject<HBITMAP> FlagBitmap(const Flag& flag, unsigned dpi) {
  if (dpi == kDesignDpi) {
    return GdiObject<HBITMAP>(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(flag.bitmap), IMAGE_BITMAP, 0, 0, 0)));
  }
  const PixelSize size = FlagPictureSize(dpi);
  const flag::Picture picture =
      flag::Draw(flag.country, size.width, size.height, flag::kSmoothSamples);

  BITMAPINFO info = TopDownRgb32(picture.width, picture.height);
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return GdiObject<HBITMAP>();
  auto* out = static_cast<unsigned char*>(bits);
  for (const flag::Rgb& pixel : picture.pixels) {
    *out++ = pixel.b;
    *out++ = pixel.g;
    *out++ = pixel.r;
    *out++ = 0;
  }
  return bitmap;
}

}  // namespace

bool frmMain::Open(Session& session, int showCommand) {
  std::unique_ptr<frmMain> window(new frmMain(session));
  if (!window->Create(kChooserClassName, ChooserCaption(), true)) return false;
  ShowWindow(window.release()->Handle(), showCommand);
  return true;
}

frmMain::frmMain(Session& session) : LayoutWindow(ChooserLayout()), session_(session) {}

frmMain::~frmMain() = default;

const wchar_t* frmMain::TextOf(ControlId id) const {
  const Flag* flag = FlagOf(id);
  return flag ? LanguageName(flag->language) : L"";
}

bool frmMain::OnClick(ControlId id) {
  // The dialog is showing before the chooser goes, so the program always
  // has a window. Should it fail to open, the chooser stays.
  const Flag* flag = FlagOf(id);
  return flag && ActionDialog::Open(session_, flag->language);
}

void frmMain::OnDpiApplied(unsigned dpi) {
  for (std::size_t i = 0; i < kFlags.size(); ++i) {
    GdiObject<HBITMAP> bitmap = FlagBitmap(kFlags[i], dpi);
    SendMessageW(Control(kFlags[i].button), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(bitmap.Get()));
    // The button does not own its picture: the old one goes only now.
    flagBitmaps_[i] = std::move(bitmap);
  }
}

}  // namespace lexiphon
