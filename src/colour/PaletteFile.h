// Palette files users bring and keep: .map, GIMP .gpl and GIMP .ggr, read from text and written as text.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "colour/Palette.h"

namespace colour {

// A rejected palette file. what() names the file and, where the fault lies
// on one line, that line: "fire.map, line 12: 300 is above 255".
class PaletteFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class PaletteFormat { Map, Gpl, Ggr };

// A palette as read: all 256 entries, and the name to show for it (the
// file's Name: line, else the file's base name without its extension).
struct PaletteFile {
    TPaletteTable table;
    std::string name;
    bool operator==(const PaletteFile&) const = default;
};

// The most colours a .map or .gpl file may hold; more than 256 are sampled
// evenly into the table (GIMP ships palettes of 336 and 448 colours).
inline constexpr std::size_t kMaxPaletteColours = 65536;

// Palette files are small (a .map is about 3 KiB); anything larger is refused before reading.
inline constexpr std::size_t kMaxPaletteFileBytes = 1024 * 1024;

// The format a file name's extension names (.map, .gpl, .ggr in any letter
// case), or nothing for any other name; lets a drop handler tell palette
// files from other files.
std::optional<PaletteFormat> PaletteFormatOfName(std::string_view path);

// The base name without directory and extension: "/a/fire.map" -> "fire".
std::string PaletteBaseName(std::string_view path);

// Parsers of a file's contents. `path` is used in messages and for the
// default name only. Throw PaletteFileError.
PaletteFile ParseMap(std::string_view text, std::string_view path);
PaletteFile ParseGpl(std::string_view text, std::string_view path);
PaletteFile ParseGgr(std::string_view text, std::string_view path);
PaletteFile ParsePalette(PaletteFormat format, std::string_view text, std::string_view path);

// Reads a palette file, its format chosen by the extension. Refuses a file
// that is not a regular file or is larger than kMaxPaletteFileBytes without
// reading it. Throws PaletteFileError; nothing else changes on failure.
PaletteFile ReadPaletteFile(const std::string& path);

// The texts of the two formats Quillon writes, LF line ends. Entries are
// clamped to 0 ... 255. `name` goes on the Name: line with line breaks and
// other control characters replaced by blanks.
std::string FormatMap(const TPaletteTable& table);
std::string FormatGpl(const TPaletteTable& table, std::string_view name);

// The text to save under `path`, the format chosen by its extension; a
// gradient (.ggr) or any other extension throws PaletteFileError naming the
// file. The caller replaces the file atomically (exporter::SavePaletteFile).
std::string PaletteFileText(std::string_view path, const TPaletteTable& table, std::string_view name);

// The name a page's palette is saved under: "Quillon Vga", "Quillon 2 colours", ...
std::string PalettePageName(PalettePage page);

} // namespace colour
