// Tests of the default palette, the gradients and the value-to-colour mapping.
#include <gtest/gtest.h>

#include "colour/Palette.h"

using namespace colour;

namespace {

struct Entry {
    int k, r, g, b;
};

void ExpectEntry(const TPaletteTable& P, int k, int r, int g, int b)
{
    EXPECT_EQ(P.Red[k], r) << "red of entry " << k;
    EXPECT_EQ(P.Green[k], g) << "green of entry " << k;
    EXPECT_EQ(P.Blue[k], b) << "blue of entry " << k;
}

} // namespace

TEST(DefaultVgaPalette, TellingEntries)
{
    const TPaletteTable& P = DefaultVgaPalette;
    const Entry entries[] = {{0, 0, 0, 0},       {1, 0, 0, 168},       {6, 168, 84, 0},     {7, 168, 168, 168},
                             {15, 252, 252, 252}, {32, 0, 0, 252},     {40, 252, 0, 0},     {48, 0, 252, 0},
                             {104, 0, 0, 112},    {176, 0, 0, 64},     {247, 44, 48, 64},
                             // the cardinal hues of the wheel and the pale blocks
                             {36, 252, 0, 252},   {44, 252, 252, 0},   {52, 0, 252, 252},   {56, 124, 124, 252},
                             {80, 180, 180, 252}, {103, 180, 196, 252}, {120, 0, 112, 0}, {128, 56, 56, 112}, {200, 32, 32, 64}};
    for (const Entry& e : entries)
        ExpectEntry(P, e.k, e.r, e.g, e.b);
    const int greys[16] = {0, 20, 32, 44, 56, 68, 80, 96, 112, 128, 144, 160, 180, 200, 224, 252};
    for (int i = 0; i < 16; ++i)
        ExpectEntry(P, 16 + i, greys[i], greys[i], greys[i]);
    for (int k = 248; k < 256; ++k)
        ExpectEntry(P, k, 0, 0, 0);
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(P.Red[k] % 4, 0);
        EXPECT_EQ(P.Green[k] % 4, 0);
        EXPECT_EQ(P.Blue[k] % 4, 0);
        EXPECT_LE(std::max({P.Red[k], P.Green[k], P.Blue[k]}), 252);
    }
}

TEST(Gradient, WorkedExampleOfPageTwo)
{
    TPaletteTable P;
    BuildPalette2(kBlue, kWhite, P);
    ExpectEntry(P, 0, 0, 0, 255);
    ExpectEntry(P, 64, 128, 128, 255); // 127.5 goes to the even neighbour
    ExpectEntry(P, 127, 253, 253, 255);
    ExpectEntry(P, 128, 255, 255, 255);
    ExpectEntry(P, 255, 2, 2, 255);
    EXPECT_EQ(P, BuildPaletteForPage(PalettePage::Two, PanelColours{}));
}

TEST(Gradient, HalvesRoundToEvenAndStepsAccumulate)
{
    TPaletteTable P;
    // 0 -> 1 over 2 entries: 0, 0.5 (-> 0); 0 -> 3 over 2: 0, 1.5 (-> 2).
    Gradient(MakeColour(0, 0, 0), MakeColour(1, 3, 0), 10, 11, P);
    ExpectEntry(P, 10, 0, 0, 0);
    ExpectEntry(P, 11, 0, 2, 0);
    // Downward ramp: 255 -> 0 over 4 entries in steps of -63.75.
    Gradient(MakeColour(255, 0, 0), MakeColour(0, 0, 0), 20, 23, P);
    EXPECT_EQ(P.Red[20], 255);
    EXPECT_EQ(P.Red[21], 191); // 191.25
    EXPECT_EQ(P.Red[22], 128); // 127.5 -> even
    EXPECT_EQ(P.Red[23], 64);  // 63.75
}

TEST(Gradient, LeavesEverythingOutsideItsRange)
{
    TPaletteTable P = DefaultVgaPalette;
    Gradient(kRed, kBlue, 100, 99, P); // empty
    EXPECT_EQ(P, DefaultVgaPalette);
    Gradient(kRed, kBlue, 100, 100, P); // one entry: exactly the first colour
    ExpectEntry(P, 100, 255, 0, 0);
    ExpectEntry(P, 99, DefaultVgaPalette.Red[99], DefaultVgaPalette.Green[99], DefaultVgaPalette.Blue[99]);
    ExpectEntry(P, 101, DefaultVgaPalette.Red[101], DefaultVgaPalette.Green[101], DefaultVgaPalette.Blue[101]);
}

// Each band starts exactly at its first colour: with distinct pure colours
// the band starts are where those colours appear.
TEST(BuildPalettes, BandBounds)
{
    TPaletteTable P;
    const ColourWord a = MakeColour(200, 0, 0), b = MakeColour(0, 200, 0), c = MakeColour(0, 0, 200),
                     d = MakeColour(200, 200, 200);

    BuildPalette3(a, b, c, P);
    EXPECT_EQ(PixelColour(0, P, {0, 0, 0, 0, 0}), a);
    EXPECT_EQ(PixelColour(86, P, {0, 0, 0, 0, 0}), b);
    EXPECT_EQ(PixelColour(171, P, {0, 0, 0, 0, 0}), c);
    EXPECT_NE(PixelColour(85, P, {0, 0, 0, 0, 0}), b);
    EXPECT_NE(PixelColour(170, P, {0, 0, 0, 0, 0}), c);
    EXPECT_NE(PixelColour(255, P, {0, 0, 0, 0, 0}), a);

    BuildPalette4(a, b, c, d, P);
    EXPECT_EQ(PixelColour(0, P, {0, 0, 0, 0, 0}), a);
    EXPECT_EQ(PixelColour(64, P, {0, 0, 0, 0, 0}), b);
    EXPECT_EQ(PixelColour(127, P, {0, 0, 0, 0, 0}), c);
    EXPECT_EQ(PixelColour(191, P, {0, 0, 0, 0, 0}), d);
    EXPECT_NE(PixelColour(63, P, {0, 0, 0, 0, 0}), b);
    EXPECT_NE(PixelColour(126, P, {0, 0, 0, 0, 0}), c);
    EXPECT_NE(PixelColour(190, P, {0, 0, 0, 0, 0}), d);
    // c4 -> c1 over 65 entries; entry 255 is 64 steps of -200/65 in.
    EXPECT_EQ(P.Red[255], 200);
    EXPECT_EQ(P.Green[255], 3); // 200 - 64*200/65 = 3.08
    EXPECT_EQ(P.Blue[255], 3);

    BuildPalette2(a, b, P);
    EXPECT_EQ(P.Red[0], 200);
    EXPECT_EQ(P.Green[128], 200);
    EXPECT_EQ(P.Red[128], 0);
}

TEST(BuildPalettes, FifteenBandsAndEdges)
{
    // Fifteen distinct colours with a blue channel that tells them apart.
    std::array<ColourWord, 15> c{};
    for (int k = 0; k < 15; ++k)
        c[k] = MakeColour(0, 0, 10 + 16 * k);
    TPaletteTable P;
    BuildPalette15(c, P);
    const int first[15] = {0, 18, 35, 53, 70, 83, 101, 118, 131, 149, 163, 191, 208, 223, 241};
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(P.Blue[first[k]], 10 + 16 * k) << "band " << k;
        if (k > 0) {
            EXPECT_LT(P.Blue[first[k] - 1], 10 + 16 * k) << "band " << k << " is reached one step short";
        }
    }
    // Entry 240 is one step short of c15 on the ramp from c14 (18 entries, step 16/18).
    EXPECT_EQ(P.Blue[240], 10 + 16 * 13 + 15); // 218 + 17*16/18 = 233.1
    EXPECT_EQ(P.Blue[241], 10 + 16 * 14);
    // Entry 255 is one step short of c1 on the way back (15 entries, step -224/15).
    EXPECT_EQ(P.Blue[255], 25); // 234 - 14*224/15 = 24.93

    PanelColours panels;
    panels.fifteen = c;
    EXPECT_EQ(P, BuildPaletteForPage(PalettePage::Fifteen, panels));
}

TEST(BuildPalettes, OneColourPagesAndPageSwitching)
{
    PanelColours panels;
    panels.four = {kYellow, kYellow, kYellow, kYellow};
    const TPaletteTable P = BuildPaletteForPage(PalettePage::Four, panels);
    for (int k = 0; k < 256; ++k)
        ExpectEntry(P, k, 255, 255, 0);

    // The initial panels of page "3" and "4" give what their builders give.
    const PanelColours initial;
    TPaletteTable three, four;
    BuildPalette3(kBlack, kWhite, kYellow, three);
    BuildPalette4(kRed, kWhite, kMaroon, kWhite, four);
    EXPECT_EQ(BuildPaletteForPage(PalettePage::Three, initial), three);
    EXPECT_EQ(BuildPaletteForPage(PalettePage::Four, initial), four);
    EXPECT_EQ(BuildPaletteForPage(PalettePage::Vga, initial), DefaultVgaPalette);
}

TEST(Mapping, IndexIsValuePlusOffsetPlusRotation)
{
    const TPaletteTable& P = DefaultVgaPalette;
    ColourAdjust adjust; // ColourOffset 49, all positions 0
    EXPECT_EQ(MapColour(0, P, adjust), (Rgb{static_cast<std::uint8_t>(P.Red[49]),
                                            static_cast<std::uint8_t>(P.Green[49]),
                                            static_cast<std::uint8_t>(P.Blue[49])}));
    EXPECT_EQ(MapColour(207, P, adjust), (Rgb{0, 0, 0}));
    // A palette whose red channel is its own index shows the index directly.
    TPaletteTable ramp;
    for (int k = 0; k < 256; ++k)
        ramp.Red[k] = k;
    EXPECT_EQ(MapColour(0, ramp, adjust).red, 49);
    EXPECT_EQ(MapColour(207, ramp, adjust).red, 0);
    EXPECT_EQ(MapColour(255, ramp, {98, 200, 0, 0, 0}).red, 41);
    EXPECT_EQ(MapColour(10, ramp, {0, 0, 0, 0, 0}).red, 10);
}

TEST(Mapping, ChannelOffsetsSaturate)
{
    const TPaletteTable& P = DefaultVgaPalette;
    for (int v = 0; v < 256; ++v) {
        const auto value = static_cast<std::uint8_t>(v);
        EXPECT_EQ(MapColour(value, P, {49, 0, 255, 0, 0}).red, 255);
        EXPECT_EQ(MapColour(value, P, {49, 0, -255, 0, 0}).red, 0);
        const Rgb plain = MapColour(value, P, {49, 0, 0, 0, 0});
        const Rgb bluer = MapColour(value, P, {49, 0, 0, 0, 100});
        EXPECT_EQ(bluer.blue, std::min(255, plain.blue + 100));
        EXPECT_EQ(bluer.red, plain.red);
        EXPECT_EQ(bluer.green, plain.green);
    }
    EXPECT_EQ(Clamp255(256), 255);
    EXPECT_EQ(Clamp255(255), 255);
    EXPECT_EQ(Clamp255(-1), 0);
    EXPECT_EQ(Clamp255(0), 0);
    EXPECT_EQ(Clamp255(77), 77);
}

TEST(Mapping, ColourWordsAndTheRgb32Table)
{
    TPaletteTable P;
    BuildPalette3(MakeColour(1, 2, 3), MakeColour(200, 100, 50), MakeColour(9, 8, 7), P);
    const ColourAdjust adjust{17, 33, -5, 12, 0};
    const auto table = ColourTableRgb32(P, adjust);
    for (int v = 0; v < 256; ++v) {
        const auto value = static_cast<std::uint8_t>(v);
        const Rgb c = MapColour(value, P, adjust);
        EXPECT_EQ(PixelColour(value, P, adjust), static_cast<ColourWord>(c.red | (c.green << 8) | (c.blue << 16)));
        EXPECT_EQ(table[v], static_cast<std::uint32_t>((c.red << 16) | (c.green << 8) | c.blue));
    }
}

TEST(LogicalPalette, RotatesOverTwoHundredFortyEntries)
{
    TPaletteTable P;
    for (int k = 0; k < 256; ++k) {
        P.Red[k] = k;
        P.Green[k] = 255 - k;
        P.Blue[k] = k + 256 * 3; // only the low byte is taken
    }
    const auto plain = BuildLogicalPalette(P, 0);
    EXPECT_EQ(plain[0], (LogicalPaletteEntry{0, 255, 0, 0}));
    EXPECT_EQ(plain[239], (LogicalPaletteEntry{239, 16, 239, 0}));
    const auto shifted = BuildLogicalPalette(P, 200);
    EXPECT_EQ(shifted[0].red, 200);
    EXPECT_EQ(shifted[39].red, 239);
    EXPECT_EQ(shifted[40].red, 0); // wraps at 240, not 256
    EXPECT_EQ(shifted[239].red, 199);
}
