// Draws the flag bitmaps and the program icon and writes them as BMP and ICO
// files. The pictures are kept as source so they can be changed and rebuilt
// without an image editor: scripts/make-resources runs this.
//
//   make_resources OUTPUT_DIR

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/FlagPicture.h"

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
Bytes EncodeBmp(const lexiphon::flag::Picture& c, int bpp)
{
    const auto rgb = [&c](int x, int y) {
        const lexiphon::flag::Rgb p = c.At(x, y);
        return Rgb{p.r, p.g, p.b};
    };
    std::vector<Rgb> palette;
    std::map<Rgb, int> index;
    if (bpp == 8) {
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (index.emplace(rgb(x, y), int(palette.size())).second)
                    palette.push_back(rgb(x, y));
        if (palette.size() > 256) throw std::runtime_error("too many colours");
    }
    const int stride = Stride(c.width, bpp);
    const std::uint32_t imageSize = stride * c.height;
    const std::uint32_t offset = 14 + 40 + 4 * palette.size();

    Bytes b{'B', 'M'};
    Put32(b, offset + imageSize);
    Put32(b, 0);
    Put32(b, offset);
    PutInfoHeader(b, c.width, c.height, bpp, imageSize, palette.size());
    for (const Rgb& p : palette) b.insert(b.end(), {p.b, p.g, p.r, 0});
    for (int y = c.height - 1; y >= 0; --y) {
        const std::size_t rowStart = b.size();
        for (int x = 0; x < c.width; ++x) {
            const Rgb p = rgb(x, y);
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

// The 96-dpi pictures: one sample per pixel, so the British and German flags
// keep few enough colours for an 8-bit palette.
lexiphon::flag::Picture DrawFlag(lexiphon::flag::Country country)
{
    using namespace lexiphon::flag;
    return Draw(country, kDesignWidth, kDesignHeight, 1);
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
        using lexiphon::flag::Country;
        Write(dir + "/flag_deu.bmp", EncodeBmp(DrawFlag(Country::Germany), 8));
        Write(dir + "/flag_eng.bmp", EncodeBmp(DrawFlag(Country::UnitedKingdom), 8));
        Write(dir + "/flag_por.bmp", EncodeBmp(DrawFlag(Country::Brazil), 24));
        Write(dir + "/program.ico", EncodeIcon());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_resources: %s\n", e.what());
        return 1;
    }
    return 0;
}
