// Property checks of the file parsers users feed files to, shared by the bounded fuzz tests and the
// libFuzzer targets: each returns "" or what went wrong. A parse either refuses the input with its
// own documented error, naming the file, or gives a document whose own text parses back to an
// equal document (and to the same text).
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "colour/PaletteFile.h"
#include "export/AtomicFile.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"

namespace oracle {

inline bool StartsWithText(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// A refusal must name the file it refuses, as every message of the program does.
inline std::string CheckRefusal(const std::exception& e, const std::string& name)
{
    return StartsWithText(e.what(), name) ? "" : std::string("a refusal that does not name the file: ") + e.what();
}

inline std::string CheckViewDocument(const exporter::ViewDocument& view)
{
    const std::string text = exporter::ViewText(view);
    try {
        const exporter::ViewDocument again = exporter::ParseView(text, "written.qview");
        if (!(again == view))
            return "the view's own text reads back to another view:\n" + text;
        if (exporter::ViewText(again) != text)
            return "the view's text changes when read and written again:\n" + text;
    } catch (const std::exception& e) {
        return std::string("the view's own text is refused (") + e.what() + "):\n" + text;
    }
    return "";
}

inline std::string CheckViewText(std::string_view text)
{
    const std::string name = "fuzz.qview";
    exporter::ViewDocument view;
    try {
        view = exporter::ParseView(text, name);
    } catch (const exporter::ViewFileError& e) {
        return CheckRefusal(e, name);
    } catch (const std::exception& e) {
        return std::string("not the view file error: ") + e.what();
    }
    return CheckViewDocument(view);
}

// The bytes of a PNG picture: the view in its text chunk, read as a view file.
inline std::string CheckPngView(std::string_view bytes)
{
    const std::string name = "fuzz.png";
    std::optional<std::string> chunk;
    try {
        chunk = exporter::ReadPngTextFromBytes(bytes, name, exporter::kPngViewKeyword);
    } catch (const exporter::IoError& e) {
        return CheckRefusal(e, name);
    } catch (const std::exception& e) {
        return std::string("not the file error: ") + e.what();
    }
    return chunk ? CheckViewText(*chunk) : "";
}

// A palette file of each format. The palette's own text is the .gpl the
// program writes (table and name) and the .map (table); the name of a .map is
// its file's, so both are read back under the same base name.
inline std::string CheckPaletteText(colour::PaletteFormat format, std::string_view text)
{
    static const char* const kNames[] = {"fuzz/input.map", "fuzz/input.gpl", "fuzz/input.ggr"};
    const std::string name = kNames[static_cast<int>(format)];
    colour::PaletteFile palette;
    try {
        palette = colour::ParsePalette(format, text, name);
    } catch (const colour::PaletteFileError& e) {
        return CheckRefusal(e, name);
    } catch (const std::exception& e) {
        return std::string("not the palette file error: ") + e.what();
    }
    for (int k = 0; k < 256; ++k)
        for (const std::int32_t c : {palette.table.Red[k], palette.table.Green[k], palette.table.Blue[k]})
            if (c < 0 || c > 255)
                return "entry " + std::to_string(k) + " holds " + std::to_string(c) + ", outside 0 ... 255";
    try {
        const std::string gpl = colour::FormatGpl(palette.table, palette.name);
        const colour::PaletteFile fromGpl = colour::ParseGpl(gpl, "fuzz/input.gpl");
        if (!(fromGpl == palette))
            return "the palette's .gpl text reads back to another palette (name '" + fromGpl.name + "', was '" +
                   palette.name + "')";
        if (colour::FormatGpl(fromGpl.table, fromGpl.name) != gpl)
            return "the palette's .gpl text changes when read and written again";
        const colour::PaletteFile fromMap = colour::ParseMap(colour::FormatMap(palette.table), "fuzz/input.map");
        if (!(fromMap.table == palette.table))
            return "the palette's .map text reads back to another table";
    } catch (const std::exception& e) {
        return std::string("the palette's own text is refused: ") + e.what();
    }
    return "";
}

} // namespace oracle
