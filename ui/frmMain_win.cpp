#include "ui/frmMain_win.h"

#include <memory>

#include "resources/resource.h"
#include "ui/ActionDialog_win.h"
#include "ui/WindowTexts.h"

namespace lexiphon {
namespace {

struct Flag {
  ControlId button;
  int bitmap;
  Language language;
};

constexpr std::array<Flag, 3> kFlags{{
    {ControlId::cmdDeu, IDB_FLAG_DEU, Language::German},
    {ControlId::cmdEng, IDB_FLAG_ENG, Language::English},
    {ControlId::cmdPor, IDB_FLAG_POR, Language::Portuguese},
}};

// The flag bitmap, scaled in proportion to the DPI. It is a few pixels
// larger than its button; the button draws it centred.
HBITMAP LoadFlagBitmap(int id, unsigned dpi) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto bitmap =
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
  if (!bitmap || dpi == kDesignDpi) return bitmap;
  BITMAP size{};
  GetObjectW(bitmap, sizeof size, &size);
  DeleteObject(bitmap);
  return static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                         MulDiv(size.bmWidth, static_cast<int>(dpi), kDesignDpi),
                                         MulDiv(size.bmHeight, static_cast<int>(dpi), kDesignDpi),
                                         0));
}

}  // namespace

bool frmMain::Open(Session& session, int showCommand) {
  std::unique_ptr<frmMain> window(new frmMain(session));
  if (!window->Create(kChooserClassName, ChooserCaption(), true)) return false;
  ShowWindow(window.release()->Handle(), showCommand);
  return true;
}

frmMain::frmMain(Session& session) : LayoutWindow(session, ChooserLayout()) {}

frmMain::~frmMain() {
  for (HBITMAP bitmap : flagBitmaps_) {
    if (bitmap) DeleteObject(bitmap);
  }
}

const wchar_t* frmMain::TextOf(ControlId) const { return L""; }

void frmMain::OnClick(ControlId id) {
  for (const Flag& flag : kFlags) {
    if (flag.button != id) continue;
    // The dialog is showing before the chooser goes, so the program always
    // has a window. Should it fail to open, the chooser stays.
    if (ActionDialog::Open(CurrentSession(), flag.language)) DestroyWindow(Handle());
    return;
  }
}

void frmMain::OnDpiApplied(unsigned dpi) {
  for (std::size_t i = 0; i < kFlags.size(); ++i) {
    HBITMAP bitmap = LoadFlagBitmap(kFlags[i].bitmap, dpi);
    SendMessageW(Control(kFlags[i].button), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(bitmap));
    if (flagBitmaps_[i]) DeleteObject(flagBitmaps_[i]);
    flagBitmaps_[i] = bitmap;
  }
}

}  // namespace lexiphon
