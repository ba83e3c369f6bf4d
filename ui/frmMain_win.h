#pragma once
// The language chooser: three flag buttons, each opening the action dialog of
// its language and then closing the chooser. Its close box ends the program.
#include <array>

#include "ui/Window_win.h"

namespace lexiphon {

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

  std::array<GdiObject<HBITMAP>, 3> flagBitmaps_;
};

}  // namespace lexiphon
