// Palettes, gradients and the mapping from iteration values to colours.
#pragma once

#include <array>
#include <cstdint>

namespace colour {

// 0x00BBGGRR: red in the low byte.
using ColourWord = std::uint32_t;

inline constexpr ColourWord MakeColour(int r, int g, int b)
{
    return static_cast<ColourWord>(r & 0xFF) | (static_cast<ColourWord>(g & 0xFF) << 8) |
           (static_cast<ColourWord>(b & 0xFF) << 16);
}

inline constexpr ColourWord kBlack = MakeColour(0, 0, 0);
inline constexpr ColourWord kWhite = MakeColour(255, 255, 255);
inline constexpr ColourWord kRed = MakeColour(255, 0, 0);
inline constexpr ColourWord kMaroon = MakeColour(128, 0, 0);
inline constexpr ColourWord kGreen = MakeColour(0, 128, 0);
inline constexpr ColourWord kBlue = MakeColour(0, 0, 255);
inline constexpr ColourWord kYellow = MakeColour(255, 255, 0);

struct TPaletteTable {
    std::array<std::int32_t, 256> Red{};
    std::array<std::int32_t, 256> Green{};
    std::array<std::int32_t, 256> Blue{};
    bool operator==(const TPaletteTable&) const = default;
};

// The VGA BIOS mode 13h palette, 6-bit DAC values times 4.
extern const TPaletteTable DefaultVgaPalette;

void Gradient(ColourWord A, ColourWord B, int first, int last, TPaletteTable& P);
void BuildPalette2(ColourWord c1, ColourWord c2, TPaletteTable& P);
void BuildPalette3(ColourWord c1, ColourWord c2, ColourWord c3, TPaletteTable& P);
void BuildPalette4(ColourWord c1, ColourWord c2, ColourWord c3, ColourWord c4, TPaletteTable& P);
void BuildPalette15(const std::array<ColourWord, 15>& c, TPaletteTable& P);

// The palette pages of the Control box, in page order, and their panels.
enum class PalettePage { Vga, Two, Three, Four, Fifteen };

struct PanelColours {
    std::array<ColourWord, 2> two{kBlue, kWhite};
    std::array<ColourWord, 3> three{kBlack, kWhite, kYellow};
    std::array<ColourWord, 4> four{kRed, kWhite, kMaroon, kWhite};
    std::array<ColourWord, 15> fifteen{kWhite, kBlack, kWhite,  kGreen, kWhite, kMaroon, kWhite, kRed,
                                       kWhite, kBlack, kWhite,  kBlack, kWhite, kMaroon, kBlack};
    bool operator==(const PanelColours&) const = default;
};

// The palette a page builds from its panels (PagCPalChange's first step).
TPaletteTable BuildPaletteForPage(PalettePage page, const PanelColours& panels);

// One entry of the 240-entry indexed colour table attached to a display bitmap.
struct LogicalPaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
    bool operator==(const LogicalPaletteEntry&) const = default;
};
std::array<LogicalPaletteEntry, 240> BuildLogicalPalette(const TPaletteTable& P, int shift);

int Clamp255(int n);

// The per-window inputs of the mapping besides the value and the palette.
struct ColourAdjust {
    int colourOffset = 49; // ColourOffset, 0..255
    int rotation = 0;      // TB1, 0..200
    int red = 0;           // TBR, -255..255
    int green = 0;         // TBG
    int blue = 0;          // TBB
    bool operator==(const ColourAdjust&) const = default;
};

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

Rgb MapColour(std::uint8_t value, const TPaletteTable& P, const ColourAdjust& adjust);
ColourWord PixelColour(std::uint8_t value, const TPaletteTable& P, const ColourAdjust& adjust);

// The colours of all 256 values at once (0x00RRGGBB, the order a 32-bit
// image wants), so painting a row is a table lookup per cell.
std::array<std::uint32_t, 256> ColourTableRgb32(const TPaletteTable& P, const ColourAdjust& adjust);

} // namespace colour
