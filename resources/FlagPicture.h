#pragma once
// The three flag pictures, each inside its grey bevelled frame, drawn at any
// size. The resource generator draws the 69 x 44 bitmaps with one sample per
// pixel, so that they keep few enough colours for a palette; the chooser
// draws other sizes for other DPIs with several samples per pixel, which
// smooths the diagonals, the circle and the frame's edges.
//
// Header only and standard C++ only: resources/generate/make_resources.cpp
// is built on its own, with the source tree's root as its include path.
#include <algorithm>
#include <cmath>
#include <vector>

namespace lexiphon::flag {

struct Rgb {
  unsigned char r = 0;
  unsigned char g = 0;
  unsigned char b = 0;
  bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
  bool operator!=(const Rgb& other) const { return !(*this == other); }
};

enum class Country { Germany, UnitedKingdom, Brazil };

// The picture at 96 dpi, frame included, and the frame's width, in pixels.
constexpr int kDesignWidth = 69;
constexpr int kDesignHeight = 44;
constexpr int kFrameWidth = 3;

// Enough for smooth edges at any screen scale, and cheap: a 138 x 88 flag
// takes 200,000 samples.
constexpr int kSmoothSamples = 4;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // rows from the top, left to right
  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

namespace detail {

constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};

inline Rgb Germany(double, double v) {
  if (v < 1.0 / 3) return kBlack;
  if (v < 2.0 / 3) return {0xDD, 0x00, 0x00};
  return {0xFF, 0xCE, 0x00};
}

// Drawn on the flag's own 60 x 30 grid, then stretched to the picture.
inline Rgb UnitedKingdom(double u, double v) {
  const Rgb blue{0x01, 0x21, 0x69};
  const Rgb red{0xC8, 0x10, 0x2E};
  const double x = u * 60;
  const double y = v * 30;
  const double cx = x - 30;
  const double cy = y - 15;
  if (std::fabs(cx) < 3 || std::fabs(cy) < 3) return red;
  if (std::fabs(cx) < 5 || std::fabs(cy) < 5) return kWhite;

  // Signed distances from the two diagonals.
  const double d1 = (x - 2 * y) / std::sqrt(5.0);       // top left to bottom right
  const double d2 = (x + 2 * y - 60) / std::sqrt(5.0);  // bottom left to top right
  // The red diagonals are counterchanged: in each quarter the red runs
  // along the diagonal on its anticlockwise side, which puts the broad
  // white above it next to the hoist.
  const bool left = cx < 0;
  const bool top = cy < 0;
  const double d = (left == top) ? d1 : d2;
  const double s = top ? -d : d;
  if (s > 0 && s < 2) return red;
  if (std::fabs(d1) < 3 || std::fabs(d2) < 3) return kWhite;
  return blue;
}

inline Rgb Brazil(double u, double v) {
  const Rgb green{0x00, 0x9C, 0x3B};
  const Rgb yellow{0xFF, 0xDF, 0x00};
  const Rgb blue{0x00, 0x27, 0x76};
  // In pixels of the 96-dpi picture's flag, so that the disc comes out round.
  const double w = kDesignWidth - 2 * kFrameWidth;
  const double h = kDesignHeight - 2 * kFrameWidth;
  const double x = (u - 0.5) * w;
  const double y = (v - 0.5) * h;
  const double r = 0.26 * h;
  if (x * x + y * y < r * r) {
    // The band: a slice of a large circle centred below and right, so it
    // rises from left to right.
    const double bx = x - r;
    const double by = y - 3.8 * r;
    const double d = std::sqrt(bx * bx + by * by);
    return (d > 3.9 * r && d < 4.1 * r) ? kWhite : blue;
  }
  const double a = 0.5 * w - 1.7 / 20 * w;
  const double b = 0.5 * h - 1.7 / 14 * h;
  if (std::fabs(x) / a + std::fabs(y) / b <= 1) return yellow;
  return green;
}

// A raised bevel of three rings: light on the top and left, dark on the
// bottom and right, like a button face; `ring` counts from the outside.
inline Rgb Frame(int ring, bool light) {
  const Rgb lights[kFrameWidth] = {kWhite, {0xDF, 0xDF, 0xDF}, {0xC0, 0xC0, 0xC0}};
  const Rgb darks[kFrameWidth] = {{0x40, 0x40, 0x40}, {0x80, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}};
  return light ? lights[ring] : darks[ring];
}

}  // namespace detail

// The colour at a point of the 96-dpi picture, in its pixels: x from 0 to
// 69, y from 0 to 44.
inline Rgb ColourAt(Country country, double x, double y) {
  const double left = x;
  const double top = y;
  const double right = kDesignWidth - x;
  const double bottom = kDesignHeight - y;
  const double nearest = std::min(std::min(left, top), std::min(right, bottom));
  if (nearest < kFrameWidth) {
    // The top-right and bottom-left corners are mitred.
    const bool light =
        (top == nearest && right != nearest) || (left == nearest && bottom != nearest);
    return detail::Frame(static_cast<int>(nearest), light);
  }
  const double u = (x - kFrameWidth) / (kDesignWidth - 2 * kFrameWidth);
  const double v = (y - kFrameWidth) / (kDesignHeight - 2 * kFrameWidth);
  switch (country) {
    case Country::Germany: return detail::Germany(u, v);
    case Country::UnitedKingdom: return detail::UnitedKingdom(u, v);
    case Country::Brazil: return detail::Brazil(u, v);
  }
  return detail::kBlack;
}

// The picture stretched to width x height pixels. Each pixel is the mean of
// samples x samples points spread evenly over it; with one sample, the
// point at its centre.
inline Picture Draw(Country country, int width, int height, int samples) {
  Picture picture;
  if (width <= 0 || height <= 0 || samples <= 0) return picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.reserve(static_cast<std::size_t>(width) * height);
  const double scaleX = static_cast<double>(kDesignWidth) / width;
  const double scaleY = static_cast<double>(kDesignHeight) / height;
  const int count = samples * samples;
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      int r = 0;
      int g = 0;
      int b = 0;
      for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
          const double x = (px + (sx + 0.5) / samples) * scaleX;
          const double y = (py + (sy + 0.5) / samples) * scaleY;
          const Rgb colour = ColourAt(country, x, y);
          r += colour.r;
          g += colour.g;
          b += colour.b;
        }
      }
      picture.pixels.push_back({static_cast<unsigned char>((r + count / 2) / count),
                                static_cast<unsigned char>((g + count / 2) / count),
                                static_cast<unsigned char>((b + count / 2) / count)});
    }
  }
  return picture;
}

}  // namespace lexiphon::flag
