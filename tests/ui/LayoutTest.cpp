#include "ui/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace lexiphon {
namespace {

const ControlLayout& Find(const WindowLayout& layout, ControlId id) {
  for (const ControlLayout& control : layout.controls) {
    if (control.id == id) return control;
  }
  throw std::out_of_range("control not in layout");
}

TEST(TwipsToPixels, RoundsToTheNearestPixelAtTheDisplaysDpi) {
  struct Row {
    int twips;
    unsigned dpi;
    int pixels;
  };
  const Row rows[] = {
      {15, 96, 1},     {7155, 96, 477},  {1200, 96, 80}, {7, 96, 0},     {8, 96, 1},
      {7155, 144, 716},  // 715.5 rounds up
      {1200, 144, 120},  {2535, 120, 211}, {1440, 192, 192}, {0, 144, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.twips) + " twips at " + std::to_string(row.dpi) + " dpi");
    EXPECT_EQ(row.pixels, TwipsToPixels(row.twips, row.dpi));
  }
}

struct Placement {
  ControlId id;
  PixelRect at96;
  PixelRect at144;
};

TEST(ChooserLayout, ClientAreaAndFlagButtonsAt96And144Dpi) {
  const WindowLayout& layout = ChooserLayout();
  EXPECT_EQ((PixelSize{477, 80}), ClientSize(layout, 96));
  EXPECT_EQ((PixelSize{716, 120}), ClientSize(layout, 144));

  const Placement rows[] = {
      {ControlId::cmdDeu, {56, 16, 65, 41}, {84, 24, 98, 62}},
      {ControlId::cmdEng, {208, 16, 65, 41}, {312, 24, 98, 62}},
      {ControlId::cmdPor, {352, 16, 65, 41}, {528, 24, 98, 62}},
  };
  for (const Placement& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.id));
    const ControlLayout& control = Find(layout, row.id);
    EXPECT_EQ(ControlKind::FlagButton, control.kind);
    EXPECT_EQ(row.at96, ControlRect(layout, control, 96));
    EXPECT_EQ(row.at144, ControlRect(layout, control, 144));
  }
}

TEST(ActionDialogLayout, ClientAreaAndControlsAt96And144Dpi) {
  const WindowLayout& layout = ActionDialogLayout();
  EXPECT_EQ((PixelSize{296, 146}), ClientSize(layout, 96));
  EXPECT_EQ((PixelSize{444, 219}), ClientSize(layout, 144));

  // The option buttons sit at the frame's position plus their own offset.
  const Placement rows[] = {
      {ControlId::Frame1, {24, 8, 249, 81}, {36, 12, 374, 122}},
      {ControlId::optInst, {32, 24, 169, 25}, {48, 36, 254, 38}},
      {ControlId::optDeInst, {32, 48, 169, 25}, {48, 72, 254, 38}},
      {ControlId::cmdOk, {24, 104, 105, 33}, {36, 156, 158, 50}},
      {ControlId::cmdCancel, {168, 104, 105, 33}, {252, 156, 158, 50}},
  };
  for (const Placement& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.id));
    const ControlLayout& control = Find(layout, row.id);
    EXPECT_EQ(row.at96, ControlRect(layout, control, 96));
    EXPECT_EQ(row.at144, ControlRect(layout, control, 144));
  }
}

TEST(Layouts, TablesAreInFocusOrder) {
  auto order = [](const WindowLayout& layout) {
    std::vector<ControlId> ids;
    for (const ControlLayout& control : layout.controls) ids.push_back(control.id);
    return ids;
  };
  EXPECT_EQ((std::vector<ControlId>{ControlId::cmdDeu, ControlId::cmdEng, ControlId::cmdPor}),
            order(ChooserLayout()));
  EXPECT_EQ((std::vector<ControlId>{ControlId::Frame1, ControlId::optInst, ControlId::optDeInst,
                                    ControlId::cmdOk, ControlId::cmdCancel}),
            order(ActionDialogLayout()));
  EXPECT_EQ(ControlKind::FirstOption, Find(ActionDialogLayout(), ControlId::optInst).kind);
  EXPECT_EQ(ControlKind::Option, Find(ActionDialogLayout(), ControlId::optDeInst).kind);
}

// The dialog manager sends IDOK (1) for Enter and IDCANCEL (2) for Escape; a
// control with either id would turn those keys into clicks.
TEST(Layouts, NoControlTakesTheIdOfEnterOrEscapeAndIdsAreUnique) {
  std::set<int> ids;
  for (const WindowLayout* layout : {&ChooserLayout(), &ActionDialogLayout()}) {
    for (const ControlLayout& control : layout->controls) {
      const int id = static_cast<int>(control.id);
      EXPECT_NE(1, id);
      EXPECT_NE(2, id);
      EXPECT_TRUE(ids.insert(id).second) << id;
    }
  }
}

}  // namespace
}  // namespace lexiphon
