// Palettes, gradients and the mapping from iteration values to colours.
#include "colour/Palette.h"

#include <algorithm>
#include <cmath>

namespace colour {

namespace {

// The BIOS palette in 6-bit DAC units: 16 CGA colours, a 16-step grey ramp,
// then nine blocks of the same 24-hue wheel (three intensities, each at three
// saturations), then 8 black entries. Each block is described by its five
// channel levels, lowest to highest.
struct DacColour {
    int r, g, b;
};

constexpr DacColour kCga[16] = {
    {0x00, 0x00, 0x00}, {0x00, 0x00, 0x2A}, {0x00, 0x2A, 0x00}, {0x00, 0x2A, 0x2A},
    {0x2A, 0x00, 0x00}, {0x2A, 0x00, 0x2A}, {0x2A, 0x15, 0x00}, {0x2A, 0x2A, 0x2A},
    {0x15, 0x15, 0x15}, {0x15, 0x15, 0x3F}, {0x15, 0x3F, 0x15}, {0x15, 0x3F, 0x3F},
    {0x3F, 0x15, 0x15}, {0x3F, 0x15, 0x3F}, {0x3F, 0x3F, 0x15}, {0x3F, 0x3F, 0x3F},
};

constexpr int kGreys[16] = {0x00, 0x05, 0x08, 0x0B, 0x0E, 0x11, 0x14, 0x18,
                            0x1C, 0x20, 0x24, 0x28, 0x2D, 0x32, 0x38, 0x3F};

constexpr int kHueLevels[9][5] = {
    {0x00, 0x10, 0x1F, 0x2F, 0x3F}, {0x1F, 0x27, 0x2F, 0x37, 0x3F}, {0x2D, 0x31, 0x36, 0x3A, 0x3F},
    {0x00, 0x07, 0x0E, 0x15, 0x1C}, {0x0E, 0x11, 0x15, 0x18, 0x1C}, {0x14, 0x16, 0x18, 0x1A, 0x1C},
    {0x00, 0x04, 0x08, 0x0C, 0x10}, {0x08, 0x0A, 0x0C, 0x0E, 0x10}, {0x0B, 0x0C, 0x0D, 0x0F, 0x10},
};

// The wheel as level indices (0 = lowest, 4 = highest): blue, through
// magenta, red, yellow, green and cyan, back toward blue.
constexpr int kWheel[24][3] = {
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
};

constexpr TPaletteTable MakeVgaPalette()
{
    TPaletteTable p{};
    auto put = [&p](int k, int r, int g, int b) {
        p.Red[k] = r * 4;
        p.Green[k] = g * 4;
        p.Blue[k] = b * 4;
    };
    int k = 0;
    for (const DacColour& c : kCga)
        put(k++, c.r, c.g, c.b);
    for (int grey : kGreys)
        put(k++, grey, grey, grey);
    for (const auto& levels : kHueLevels)
        for (const auto& hue : kWheel)
            put(k++, levels[hue[0]], levels[hue[1]], levels[hue[2]]);
    while (k < 256)
        put(k++, 0, 0, 0);
    return p;
}

int ByteOf(ColourWord c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Halves go to the even integer (the default rounding mode); the value lies
// between two channel bytes, so the conversion cannot overflow.
std::int32_t RoundChannel(long double v) { return static_cast<std::int32_t>(std::nearbyint(v)); }

} // namespace

constinit const TPaletteTable DefaultVgaPalette = MakeVgaPalette();

void Gradient(ColourWord A, ColourWord B, int first, int last, TPaletteTable& P)
{
    const int Ra = ByteOf(A, 0), Ga = ByteOf(A, 8), Ba = ByteOf(A, 16);
    const int Rb = ByteOf(B, 0), Gb = ByteOf(B, 8), Bb = ByteOf(B, 16);
    if (last < first)
        return;
    // In 64 bits: for bounds far apart the count does not fit an int.
    const std::int64_t n = static_cast<std::int64_t>(last) - first + 1;
    const long double dR = static_cast<long double>(Rb - Ra) / n;
    const long double dG = static_cast<long double>(Gb - Ga) / n;
    const long double dB = static_cast<long double>(Bb - Ba) / n;
    long double r = Ra, g = Ga, b = Ba;
    // Only entries 0 ... 255 exist. A ramp starting below 0 enters the table
    // at the value it has reached there, computed in one step rather than by
    // up to 2^31 additions; every band of the palettes starts inside the table
    // and is stepped exactly.
    std::int64_t k = first;
    if (k < 0) {
        const long double steps = static_cast<long double>(-k);
        r = Ra + dR * steps;
        g = Ga + dG * steps;
        b = Ba + dB * steps;
        k = 0;
    }
    const std::int64_t end = std::min<std::int64_t>(last, 255);
    for (; k <= end; ++k) {
        P.Red[static_cast<std::size_t>(k)] = RoundChannel(r);
        P.Green[static_cast<std::size_t>(k)] = RoundChannel(g);
        P.Blue[static_cast<std::size_t>(k)] = RoundChannel(b);
        r = r + dR;
        g = g + dG;
        b = b + dB;
    }
}

void BuildPalette2(ColourWord c1, ColourWord c2, TPaletteTable& P)
{
    Gradient(c1, c2, 0, 127, P);
    Gradient(c2, c1, 128, 255, P);
}

void BuildPalette3(ColourWord c1, ColourWord c2, ColourWord c3, TPaletteTable& P)
{
    Gradient(c1, c2, 0, 85, P);
    Gradient(c2, c3, 86, 170, P);
    Gradient(c3, c1, 171, 255, P);
}

void BuildPalette4(ColourWord c1, ColourWord c2, ColourWord c3, ColourWord c4, TPaletteTable& P)
{
    Gradient(c1, c2, 0, 63, P);
    Gradient(c2, c3, 64, 126, P);
    Gradient(c3, c4, 127, 190, P);
    Gradient(c4, c1, 191, 255, P);
}

void BuildPalette15(const std::array<ColourWord, 15>& c, TPaletteTable& P)
{
    // Band k runs from c[k] toward c[k+1] (the last back to c[0]); the bands
    // are deliberately uneven.
    static constexpr int kFirst[15] = {0, 18, 35, 53, 70, 83, 101, 118, 131, 149, 163, 191, 208, 223, 241};
    for (int k = 0; k < 15; ++k) {
        const int last = k + 1 < 15 ? kFirst[k + 1] - 1 : 255;
        Gradient(c[k], c[(k + 1) % 15], kFirst[k], last, P);
    }
}

TPaletteTable BuildPaletteForPage(PalettePage page, const PanelColours& panels)
{
    TPaletteTable P{};
    switch (page) {
    case PalettePage::Vga:
        P = DefaultVgaPalette;
        break;
    case PalettePage::Two:
        BuildPalette2(panels.two[0], panels.two[1], P);
        break;
    case PalettePage::Three:
        BuildPalette3(panels.three[0], panels.three[1], panels.three[2], P);
        break;
    case PalettePage::Four:
        BuildPalette4(panels.four[0], panels.four[1], panels.four[2], panels.four[3], P);
        break;
    case PalettePage::Fifteen:
        BuildPalette15(panels.fifteen, P);
        break;
    }
    return P;
}

std::array<LogicalPaletteEntry, 240> BuildLogicalPalette(const TPaletteTable& P, int shift)
{
    std::array<LogicalPaletteEntry, 240> out{};
    const int s = ((shift % 240) + 240) % 240;
    for (int k = 0; k < 240; ++k) {
        const int m = (k + s) % 240;
        out[k].red = static_cast<std::uint8_t>(P.Red[m] & 0xFF);
        out[k].green = static_cast<std::uint8_t>(P.Green[m] & 0xFF);
        out[k].blue = static_cast<std::uint8_t>(P.Blue[m] & 0xFF);
        out[k].flags = 0;
    }
    return out;
}

int Clamp255(int n)
{
    if (n > 255)
        return 255;
    if (n < 0)
        return 0;
    return n;
}

namespace {

// Adds without overflow: palette entries and offsets are small, but a table
// filled by hand could hold anything.
int SaturatingAdd(std::int32_t a, int b)
{
    const long long s = static_cast<long long>(a) + b;
    if (s > 255)
        return 255;
    if (s < 0)
        return 0;
    return static_cast<int>(s);
}

int PaletteIndex(std::uint8_t value, const ColourAdjust& adjust)
{
    const long long sum = static_cast<long long>(value) + adjust.colourOffset + adjust.rotation;
    return static_cast<int>(((sum % 256) + 256) % 256);
}

} // namespace

Rgb MapColour(std::uint8_t value, const TPaletteTable& P, const ColourAdjust& adjust)
{
    const int i = PaletteIndex(value, adjust);
    return Rgb{static_cast<std::uint8_t>(SaturatingAdd(P.Red[i], adjust.red)),
               static_cast<std::uint8_t>(SaturatingAdd(P.Green[i], adjust.green)),
               static_cast<std::uint8_t>(SaturatingAdd(P.Blue[i], adjust.blue))};
}

ColourWord PixelColour(std::uint8_t value, const TPaletteTable& P, const ColourAdjust& adjust)
{
    const Rgb c = MapColour(value, P, adjust);
    return MakeColour(c.red, c.green, c.blue);
}

std::array<std::uint32_t, 256> ColourTableRgb32(const TPaletteTable& P, const ColourAdjust& adjust)
{
    std::array<std::uint32_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const Rgb c = MapColour(static_cast<std::uint8_t>(v), P, adjust);
        table[v] = (static_cast<std::uint32_t>(c.red) << 16) | (static_cast<std::uint32_t>(c.green) << 8) | c.blue;
    }
    return table;
}

} // namespace colour
