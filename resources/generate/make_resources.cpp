// Draws the flag bitmaps and the program icon and writes them as BMP and ICO
// files. The pictures are kept as source so they can be changed and rebuilt
// without an image editor: scripts/make-resources runs this.
//
//   make_resources OUTPUT_DIR

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Written byte by byte so the files come out the same on any host.
void Put16(Bytes& b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct Rgb {
    unsigned char r, g, b;
    bool operator<(const Rgb& o) const
    {
        return std::memcmp(this, &o, sizeof *this) < 0;
    }
};

constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};

struct Canvas {
    int w, h;
    std::vector<Rgb> px;
    Canvas(int width, int height) : w(width), h(height), px(width * height) {}
    Rgb& at(int x, int y) { return px[y * w + x]; }
    const Rgb& at(int x, int y) const { return px[y * w + x]; }
};

// BITMAPINFOHEADER; the caller adds palette and pixels.
void PutInfoHeader(Bytes& b, int w, int h, int bpp, std::uint32_t imageSize,
                   std::uint32_t colours)
{
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
}

int Stride(int w, int bpp) { return (w * bpp + 31) / 32 * 4; }

// Bottom-up rows, 8-bit with a palette of the colours used, or 24-bit.
Bytes EncodeBmp(const Canvas& c, int bpp)
{
    std::vector<Rgb> palette;
    std::map<Rgb, int> index;
    if (bpp == 8) {
        for (const Rgb& p : c.px)
            if (index.emplace(p, int(palette.size())).second) palette.push_back(p);
        if (palette.size() > 256) throw std::runtime_error("too many colours");
    }
    const int stride = Stride(c.w, bpp);
    const std::uint32_t imageSize = stride * c.h;
    const std::uint32_t offset = 14 + 40 + 4 * palette.size();

    Bytes b{'B', 'M'};
    Put32(b, offset + imageSize);
    Put32(b, 0);
    Put32(b, offset);
    PutInfoHeader(b, c.w, c.h, bpp, imageSize, palette.size());
    for (const Rgb& p : palette) b.insert(b.end(), {p.b, p.g, p.r, 0});
    for (int y = c.h - 1; y >= 0; --y) {
        const std::size_t rowStart = b.size();
        for (int x = 0; x < c.w; ++x) {
            const Rgb& p = c.at(x, y);
            if (bpp == 8)
                b.push_back(index[p]);
            else
                b.insert(b.end(), {p.b, p.g, p.r});
        }
        b.resize(rowStart + stride, 0);
    }
    return b;
}

// ---- Flags --------------------------------------------------------------

constexpr int kFlagW = 69;
constexpr int kFlagH = 44;
constexpr int kFrame = 3;

// A raised bevel: light on the top and left, dark on the bottom and right,
// like a button face, so the picture sits well on a flat button.
void DrawFrame(Canvas& c)
{
    const Rgb light[kFrame] = {kWhite, {0xDF, 0xDF, 0xDF}, {0xC0, 0xC0, 0xC0}};
    const Rgb dark[kFrame] = {{0x40, 0x40, 0x40}, {0x80, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const int r = std::min(std::min(x, y), std::min(c.w - 1 - x, c.h - 1 - y));
            if (r >= kFrame) continue;
            const bool topLeft = (y == r && x < c.w - 1 - r) || (x == r && y < c.h - 1 - r);
            c.at(x, y) = topLeft ? light[r] : dark[r];
        }
}

// Calls paint(u, v) for each pixel inside the frame, with u and v running
// from 0 to 1 across the flag, and stores the colour it returns.
template <class Paint>
Canvas DrawFlag(Paint paint)
{
    Canvas c(kFlagW, kFlagH);
    DrawFrame(c);
    const int w = kFlagW - 2 * kFrame, h = kFlagH - 2 * kFrame;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c.at(kFrame + x, kFrame + y) = paint((x + 0.5) / w, (y + 0.5) / h);
    return c;
}

Rgb Germany(double, double v)
{
    if (v < 1.0 / 3) return kBlack;
    if (v < 2.0 / 3) return {0xDD, 0x00, 0x00};
    return {0xFF, 0xCE, 0x00};
}

// Drawn on the flag's own 60 x 30 grid, then stretched to the picture.
Rgb UnitedKingdom(double u, double v)
{
    const Rgb blue{0x01, 0x21, 0x69}, red{0xC8, 0x10, 0x2E};
    const double x = u * 60, y = v * 30;
    const double cx = x - 30, cy = y - 15;
    if (std::fabs(cx) < 3 || std::fabs(cy) < 3) return red;
    if (std::fabs(cx) < 5 || std::fabs(cy) < 5) return kWhite;

    // Signed distances from the two diagonals.
    const double d1 = (x - 2 * y) / std::sqrt(5.0);       // top left to bottom right
    const double d2 = (x + 2 * y - 60) / std::sqrt(5.0);  // bottom left to top right
    // The red diagonals are counterchanged: in each quarter the red runs
    // along the diagonal on its anticlockwise side, which puts the broad
    // white above it next to the hoist.
    const bool left = cx < 0, top = cy < 0;
    const double d = (left == top) ? d1 : d2;
    const double s = top ? -d : d;
    if (s > 0 && s < 2) return red;
    if (std::fabs(d1) < 3 || std::fabs(d2) < 3) return kWhite;
    return blue;
}

Rgb Brazil(double u, double v)
{
    const Rgb green{0x00, 0x9C, 0x3B}, yellow{0xFF, 0xDF, 0x00}, blue{0x00, 0x27, 0x76};
    const double w = kFlagW - 2 * kFrame, h = kFlagH - 2 * kFrame;
    // Work in pixels so the disc comes out round.
    const double x = (u - 0.5) * w, y = (v - 0.5) * h;
    const double r = 0.26 * h;
    if (x * x + y * y < r * r) {
        // The band: a slice of a large circle centred below and right, so
        // it rises from left to right.
        const double bx = x - r, by = y - 3.8 * r;
        const double d = std::sqrt(bx * bx + by * by);
        return (d > 3.9 * r && d < 4.1 * r) ? kWhite : blue;
    }
    const double a = 0.5 * w - 1.7 / 20 * w, b = 0.5 * h - 1.7 / 14 * h;
    if (std::fabs(x) / a + std::fabs(y) / b <= 1) return yellow;
    return green;
}

// ---- Icon ---------------------------------------------------------------

// The 16 colours of the standard VGA palette, in their usual order.
const Rgb kVga[16] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

// Letters of the pictures below and their VGA colours; '.' is transparent.
int VgaIndex(char ch)
{
    switch (ch) {
    case 'k': return 0;   // black
    case 'o': return 3;   // olive
    case 'b': return 4;   // navy
    case 'g': return 7;   // light grey
    case 'd': return 8;   // dark grey
    case 'r': return 9;   // red
    case 'G': return 10;  // green
    case 'y': return 11;  // yellow
    case 'c': return 14;  // cyan
    case 'w': return 15;  // white
    }
    throw std::runtime_error(std::string("unknown colour letter ") + ch);
}

// A computer, monitor on a desktop case with a keyboard, and a software
// box beside it.
const char* const kIcon32[32] = {
    "................................",
    ".kkkkkkkkkkkkkkkkkkk............",
    ".kwwwwwwwwwwwwwwwwdk............",
    ".kwgggggggggggggggdk............",
    ".kwgdddddddddddddgdk............",
    ".kwgdbbbbbbbbbbbwgdk............",
    ".kwgdbccccccbbbbwgdk............",
    ".kwgdbbbbbbbbbbbwgdk............",
    ".kwgdbccccbcccbbwgdk............",
    ".kwgdbbbbbbbbbbbwgdk............",
    ".kwgdbcccccccccbwgdk....kkkkkkkk",
    ".kwgdbbbbbbbbbbbwgdk...kwwwwwwkk",
    ".kwgdbcccbbbbbbbwgdk..kwwwwwwkok",
    ".kwgdbbbbbbbbbbbwgdk.kkkkkkkkook",
    ".kwgwwwwwwwwwwwwwgdk.kyyyyyykook",
    ".kwgggggggggggggGgdk.krrrrrrkook",
    ".kdddddddddddddddddk.krrrrrrkook",
    ".kkkkkkkkkkkkkkkkkkk.kyyyyyykook",
    "........kddddk.......kybbbbykook",
    "kkkkkkkkkkkkkkkkkkkk.kybwwbykook",
    "kwwwwwwwwwwwwwwwwwwk.kybwwbykook",
    "kwggggggggggggggggdk.kybbbbykook",
    "kwggkkkkkkkggggGggdk.kybbbbykook",
    "kwggggggggggggggggdk.kyyyyyykook",
    "kddddddddddddddddddk.kyyyyyykook",
    "kkkkkkkkkkkkkkkkkkkk.krrrrrrkook",
    ".....................kyyyyyykook",
    ".kkkkkkkkkkkkkkkkkk..kyyyyyykook",
    ".kgdgdgdgdgdgdgdgdk..kyyyyyykok.",
    ".kkkkkkkkkkkkkkkkkk..kyyyyyykk..",
    ".....................kkkkkkkk...",
    "................................",
};

const char* const kIcon16[16] = {
    "................",
    "kkkkkkkkk.......",
    "kwwwwwwgk.......",
    "kwbbbbbdk.......",
    "kwbcccbdk.......",
    "kwbbbbbdk...kkkk",
    "kwbccbbdk..kwwkk",
    "kwbbbbbdk.kkkkok",
    "kdddddddk.kyykok",
    "kkkkkkkkk.krrkok",
    "...kdk....kyykok",
    "kkkkkkkkk.kbbkok",
    "kwgggGgdk.kyykok",
    "kkkkkkkkk.kyykok",
    "..........kyykk.",
    "..........kkkk..",
};

// One icon image: BITMAPINFOHEADER of double height, palette, colour
// pixels, then the AND mask that makes the '.' pixels transparent.
Bytes EncodeIconImage(const char* const* rows, int size)
{
    const int colourStride = Stride(size, 4), maskStride = Stride(size, 1);
    Bytes b;
    PutInfoHeader(b, size, 2 * size, 4, (colourStride + maskStride) * size, 0);
    for (const Rgb& p : kVga) b.insert(b.end(), {p.b, p.g, p.r, 0});
    for (int y = size - 1; y >= 0; --y) {
        if (int(std::strlen(rows[y])) != size) throw std::runtime_error("bad icon row");
        Bytes row(colourStride, 0);
        for (int x = 0; x < size; ++x) {
            const char ch = rows[y][x];
            const int i = ch == '.' ? 0 : VgaIndex(ch);
            row[x / 2] |= (x % 2 == 0) ? i << 4 : i;
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < size; ++x)
            if (rows[y][x] == '.') row[x / 8] |= 0x80 >> (x % 8);
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes EncodeIcon()
{
    const Bytes images[2] = {EncodeIconImage(kIcon32, 32), EncodeIconImage(kIcon16, 16)};
    const int sizes[2] = {32, 16};
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);  // icon, not cursor
    Put16(b, 2);
    std::uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        b.insert(b.end(), {static_cast<unsigned char>(sizes[i]),
                           static_cast<unsigned char>(sizes[i]), 16, 0});
        Put16(b, 1);  // planes
        Put16(b, 4);  // bits per pixel
        Put32(b, images[i].size());
        Put32(b, offset);
        offset += images[i].size();
    }
    for (const Bytes& image : images) b.insert(b.end(), image.begin(), image.end());
    return b;
}

void Write(const std::string& path, const Bytes& b)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), b.size());
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_resources OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        Write(dir + "/flag_deu.bmp", EncodeBmp(DrawFlag(Germany), 8));
        Write(dir + "/flag_eng.bmp", EncodeBmp(DrawFlag(UnitedKingdom), 8));
        Write(dir + "/flag_por.bmp", EncodeBmp(DrawFlag(Brazil), 24));
        Write(dir + "/program.ico", EncodeIcon());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_resources: %s\n", e.what());
        return 1;
    }
    return 0;
}
