#include "resources/FlagPicture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/Layout.h"

namespace lexiphon {
namespace {

using flag::Country;
using flag::kDesignHeight;
using flag::kDesignWidth;
using flag::Picture;
using flag::Rgb;

std::string Describe(Rgb colour) {
  return std::to_string(colour.r) + "," + std::to_string(colour.g) + "," +
         std::to_string(colour.b);
}

// The design-pixel columns (or rows) that scaled pixel p covers, from its
// left edge to its right edge; `design` and `scaled` are the two widths.
struct Span {
  double from;
  double to;
};
Span Covered(int p, int scaled, int design) {
  const double scale = static_cast<double>(design) / scaled;
  return {p * scale, (p + 1) * scale};
}

// Drawn larger or smaller, a flag keeps its colours where they are: every
// scaled pixel whose area, widened by one design pixel on each side, holds
// only one colour of the 96-dpi picture has exactly that colour. And the
// frame stays three design pixels wide: along the centre lines, a scaled
// pixel that lies within one of its rings has that ring's colour. Edges in
// between are blended, which the 96-dpi picture never is.
TEST(FlagPicture, ScaledFlagsKeepTheirColoursProportionsAndFrameAndGetSmoothEdges) {
  const Country countries[] = {Country::Germany, Country::UnitedKingdom, Country::Brazil};
  const unsigned dpis[] = {72, 120, 144, 192, 288};
  for (Country country : countries) {
    const Picture design = flag::Draw(country, kDesignWidth, kDesignHeight, 1);
    std::set<int> designColours;
    for (const Rgb& c : design.pixels) designColours.insert(c.r << 16 | c.g << 8 | c.b);

    for (unsigned dpi : dpis) {
      SCOPED_TRACE("country " + std::to_string(static_cast<int>(country)) + " at " +
                   std::to_string(dpi) + " dpi");
      const PixelSize size = FlagPictureSize(dpi);
      const Picture scaled = flag::Draw(country, size.width, size.height, flag::kSmoothSamples);
      ASSERT_EQ(size.width, scaled.width);
      ASSERT_EQ(size.height, scaled.height);
      ASSERT_EQ(static_cast<std::size_t>(size.width) * size.height, scaled.pixels.size());
      EXPECT_NEAR(static_cast<double>(kDesignWidth) / kDesignHeight,
                  static_cast<double>(scaled.width) / scaled.height, 0.02);

      int checked = 0;
      int mismatches = 0;
      for (int y = 0; y < scaled.height; ++y) {
        const Span rows = Covered(y, scaled.height, kDesignHeight);
        for (int x = 0; x < scaled.width; ++x) {
          const Span columns = Covered(x, scaled.width, kDesignWidth);
          const int left = static_cast<int>(columns.from) - 1;
          const int right = static_cast<int>(columns.to - 1e-9) + 1;
          const int top = static_cast<int>(rows.from) - 1;
          const int bottom = static_cast<int>(rows.to - 1e-9) + 1;
          if (left < 0 || top < 0 || right >= kDesignWidth || bottom >= kDesignHeight) continue;
          const Rgb expected = design.At(left, top);
          bool uniform = true;
          for (int dy = top; dy <= bottom && uniform; ++dy) {
            for (int dx = left; dx <= right && uniform; ++dx) {
              uniform = design.At(dx, dy) == expected;
            }
          }
          if (!uniform) continue;
          ++checked;
          if (scaled.At(x, y) != expected && ++mismatches <= 5) {
            ADD_FAILURE() << "pixel " << x << "," << y << " is " << Describe(scaled.At(x, y))
                          << ", expected " << Describe(expected);
          }
        }
      }
      EXPECT_EQ(0, mismatches);
      // A good part of the picture is checked this way, even for the busy
      // British flag at the smallest size, not just a corner of it.
      EXPECT_GT(checked * 8, scaled.width * scaled.height);

      // The rings along the four half-lines from the centre to the edges.
      const int midX = scaled.width / 2;
      const int midY = scaled.height / 2;
      for (int p = 0; p < scaled.width; ++p) {
        const Span columns = Covered(p, scaled.width, kDesignWidth);
        const int ring = static_cast<int>(columns.from);
        if (ring != static_cast<int>(columns.to - 1e-9)) continue;  // across two rings
        if (ring < flag::kFrameWidth || ring >= kDesignWidth - flag::kFrameWidth) {
          EXPECT_EQ(design.At(ring, kDesignHeight / 2), scaled.At(p, midY)) << "column " << p;
        }
      }
      for (int p = 0; p < scaled.height; ++p) {
        const Span rows = Covered(p, scaled.height, kDesignHeight);
        const int ring = static_cast<int>(rows.from);
        if (ring != static_cast<int>(rows.to - 1e-9)) continue;
        if (ring < flag::kFrameWidth || ring >= kDesignHeight - flag::kFrameWidth) {
          EXPECT_EQ(design.At(kDesignWidth / 2, ring), scaled.At(midX, p)) << "row " << p;
        }
      }

      std::set<int> scaledColours;
      for (const Rgb& c : scaled.pixels) scaledColours.insert(c.r << 16 | c.g << 8 | c.b);
      EXPECT_GT(scaledColours.size(), designColours.size()) << "no blended edges";
    }
  }
}

}  // namespace
}  // namespace lexiphon
