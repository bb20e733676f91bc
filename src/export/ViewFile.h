// View files (.qview): the view id, region and colours of a picture as a small versioned text document.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <span>
#include <string_view>
#include <utility>

#include "colour/Palette.h"
#include "deep/DeepRegion.h"
#include "engine/Region.h"
#include "fractals/Catalogue.h"

namespace exporter {

// A rejected view file. what() names the file and, where one is to blame, the line.
class ViewFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A palette the user brought from a file; it takes the place of the VGA table.
struct LoadedPalette {
    std::string name;
    colour::TPaletteTable table;
    bool operator==(const LoadedPalette&) const = default;
};

inline constexpr int kMinPictureSide = 2;
inline constexpr int kMaxPictureSide = 65535;
inline constexpr int kMaxSupersample = 8;

// How the picture is drawn: its size, the samples per pixel side, and
// whether the region (as stored) was widened about its centre so that
// pixels keep the shape they have in the 1024 x 768 picture.
struct PictureSettings {
    int width = engine::kBufferWidth;
    int height = engine::kBufferHeight;
    int supersample = 1;
    bool widened = false;
    bool operator==(const PictureSettings&) const = default;
};

// Everything that reproduces a picture exactly.
struct ViewDocument {
    std::string viewId; // "FormRN4.SBAL3", as quillon-render --list names it
    engine::Region region;
    // The region drawn when it lies between 6-byte values (a frame of a zoom
    // movie); `region` then holds the nearest 6-byte values, for a window.
    std::optional<engine::RegionValues> extendedRegion;
    // A region at any depth, for the views the deep engine draws: when set it
    // is the region drawn, and `region` is only the nearest 6-byte one.
    std::optional<deep::DeepRegion> deepRegion;
    colour::PalettePage page = colour::PalettePage::Vga;
    colour::PanelColours panels;
    colour::ColourAdjust adjust;
    std::optional<LoadedPalette> loadedPalette;
    PictureSettings picture;
    // The formula's parameters; DefaultView gives the window's own.
    fractals::Parameters parameters;
    bool operator==(const ViewDocument&) const = default;

    // The palette of the active page, the loaded table standing in for the VGA one.
    colour::TPaletteTable Palette() const;

    // The region a picture of this view computes.
    engine::RegionValues DrawnRegion() const { return extendedRegion.value_or(region.Values()); }
    // Sets the region drawn: `region` to the nearest 6-byte values, and the
    // extended region only when those differ from `values`. Throws
    // engine::FloatingPointOverflow for a value beyond the 6-byte range.
    void SetDrawnRegion(const engine::RegionValues& values);
};

// Whether the deep engine draws the view: the level-set window and the Julia windows.
bool DrawsDeep(const fractals::View& view);


// A catalogue view as it opens: its own region, colour offset and
// parameters, default colours.
ViewDocument DefaultView(const fractals::View& view);

inline constexpr int kViewFormatVersion = 1;
// Larger files are refused before a byte is read; a view with a loaded palette is about 4 kB.
inline constexpr std::size_t kMaxViewFileSize = 1 << 20;
// The keyword of the PNG text chunk that carries a picture's view.
inline constexpr const char* kPngViewKeyword = "Quillon view";

// The file's text: UTF-8, CR LF after every line.
std::string ViewText(const ViewDocument& view);

// Reads a view file's text; `fileName` is only used in messages. Throws ViewFileError.
ViewDocument ParseView(std::string_view text, const std::string& fileName);

// Reads a .qview file, or the view carried by a PNG picture Quillon wrote
// (told apart by the PNG signature, not by the name). Throws ViewFileError.
ViewDocument ReadViewFile(const std::string& path);

// Writes the view file atomically. Throws IoError.
void WriteViewFile(const std::string& path, const ViewDocument& view);

// The value grammar shared with the command line.
std::optional<long> ParseWholeNumber(std::string_view text, long lo, long hi);
// 0xBBGGRR in hex, or decimal; 0 ... 0xFFFFFF.
std::optional<colour::ColourWord> ParseColourWord(std::string_view text);
// vga, 2, 3, 4 or 15.
std::optional<colour::PalettePage> ParsePalettePage(std::string_view text);
const char* PalettePageName(colour::PalettePage page);
// "WxH", each side kMinPictureSide ... kMaxPictureSide.
std::optional<std::pair<int, int>> ParsePictureSize(std::string_view text);
// The number of panels of a page (0 for vga).
std::size_t PanelCount(colour::PalettePage page);
// The panel colours of a page, in panel order.
std::span<colour::ColourWord> PagePanels(colour::PanelColours& panels, colour::PalettePage page);

} // namespace exporter
