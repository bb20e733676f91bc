// View files (.qview): the view id, region and colours of a picture as a small versioned text document.
#include "export/ViewFile.h"

#include "fileio/FileIo.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/Kernels.h"
#include "export/AtomicFile.h"
#include "export/PictureWriters.h"
#include "fractals/Catalogue.h"

namespace exporter {

using colour::ColourWord;
using colour::PalettePage;

colour::TPaletteTable ViewDocument::Palette() const
{
    if (page == PalettePage::Vga && loadedPalette)
        return loadedPalette->table;
    return colour::BuildPaletteForPage(page, panels);
}

void ViewDocument::SetDrawnRegion(const engine::RegionValues& values)
{
    region.SetRegionBySize(values.XStart, values.XWidth, values.YStart, values.YHeight);
    if (region.Values() == values)
        extendedRegion.reset();
    else
        extendedRegion = values;
}

ViewDocument DefaultView(const fractals::View& view)
{
    ViewDocument d;
    d.viewId = view.id;
    d.region = view.region.Make();
    d.adjust.colourOffset = view.window->colourOffset;
    d.parameters = fractals::DefaultParameters(*view.window);
    return d;
}

// ---- the value grammar ----

std::optional<long> ParseWholeNumber(std::string_view text, long lo, long hi)
{
    if (!text.empty() && text[0] == '+')
        text.remove_prefix(1);
    long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi)
        return std::nullopt;
    return v;
}

std::optional<ColourWord> ParseColourWord(std::string_view text)
{
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex)
        text.remove_prefix(2);
    unsigned long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, hex ? 16 : 10);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v > 0xFFFFFFul)
        return std::nullopt;
    return static_cast<ColourWord>(v);
}

namespace {

struct PageName {
    PalettePage page;
    const char* name;
    std::size_t panels;
};
constexpr std::array<PageName, 5> kPages{{{PalettePage::Vga, "vga", 0},
                                           {PalettePage::Two, "2", 2},
                                           {PalettePage::Three, "3", 3},
                                           {PalettePage::Four, "4", 4},
                                           {PalettePage::Fifteen, "15", 15}}};

} // namespace

std::optional<PalettePage> ParsePalettePage(std::string_view text)
{
    for (const PageName& p : kPages)
        if (text == p.name)
            return p.page;
    return std::nullopt;
}

const char* PalettePageName(PalettePage page)
{
    for (const PageName& p : kPages)
        if (p.page == page)
            return p.name;
    return "vga";
}

std::size_t PanelCount(PalettePage page)
{
    for (const PageName& p : kPages)
        if (p.page == page)
            return p.panels;
    return 0;
}

std::span<ColourWord> PagePanels(colour::PanelColours& panels, PalettePage page)
{
    switch (page) {
    case PalettePage::Vga:
        break;
    case PalettePage::Two:
        return panels.two;
    case PalettePage::Three:
        return panels.three;
    case PalettePage::Four:
        return panels.four;
    case PalettePage::Fifteen:
        return panels.fifteen;
    }
    return {};
}

std::optional<std::pair<int, int>> ParsePictureSize(std::string_view text)
{
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos)
        return std::nullopt;
    const auto w = ParseWholeNumber(text.substr(0, x), kMinPictureSide, kMaxPictureSide);
    const auto h = ParseWholeNumber(text.substr(x + 1), kMinPictureSide, kMaxPictureSide);
    if (!w || !h || text[0] == '+' || text[x + 1] == '+')
        return std::nullopt;
    return std::pair<int, int>{static_cast<int>(*w), static_cast<int>(*h)};
}

// ---- writing ----

namespace {

constexpr int kLoadedLineEntries = 16;

struct RegionKey {
    const char* exact;
    const char* decimal;
    const char* extended;
    engine::Real48 engine::Region::*field;
    engine::Extended engine::RegionValues::*value;
};
constexpr std::array<RegionKey, 4> kRegionKeys{
    {{"x-start", "x-start-decimal", "x-start-extended", &engine::Region::XStart, &engine::RegionValues::XStart},
     {"x-width", "x-width-decimal", "x-width-extended", &engine::Region::XWidth, &engine::RegionValues::XWidth},
     {"y-start", "y-start-decimal", "y-start-extended", &engine::Region::YStart, &engine::RegionValues::YStart},
     {"y-height", "y-height-decimal", "y-height-extended", &engine::Region::YHeight, &engine::RegionValues::YHeight}}};

// The x87 80-bit format: a 16-bit sign and exponent above a 64-bit significand with its integer bit.
static_assert(std::numeric_limits<engine::Extended>::digits == 64 && sizeof(engine::Extended) >= 10,
              "the extended region keys hold the x87 80-bit format");

// 20 hex digits, most significant first: sign and exponent (4), then the significand (16).
std::string Hex80(engine::Extended v)
{
    unsigned char bytes[sizeof v] = {};
    std::memcpy(bytes, &v, 10);
    std::uint64_t significand = 0;
    std::uint16_t signExponent = 0;
    std::memcpy(&significand, bytes, 8);
    std::memcpy(&signExponent, bytes + 8, 2);
    char text[24];
    std::snprintf(text, sizeof text, "%04x%016llx", static_cast<unsigned>(signExponent),
                  static_cast<unsigned long long>(significand));
    return text;
}

std::string Hex6(const engine::Real48& v)
{
    std::string s;
    char two[3];
    for (std::uint8_t b : v.Bytes()) {
        std::snprintf(two, sizeof two, "%02x", b);
        s += two;
    }
    return s;
}

// The shortest decimal that reads back to the same 6-byte value (-0.9, not
// -0.899999999999636): 15 significant digits always do, since the 40-bit
// significand is far coarser than that.
std::string Decimal(const engine::Real48& value)
{
    char text[64];
    for (int digits = 1; digits <= 15; ++digits) {
        const auto [end, ec] =
            std::to_chars(text, text + sizeof text, value.ToExtended(), std::chars_format::general, digits);
        if (ec != std::errc())
            break;
        engine::Extended back = 0;
        const auto read = std::from_chars(text, end, back, std::chars_format::general);
        // A rounding up past the largest 6-byte value does not read back.
        if (digits == 15 || (read.ec == std::errc() && std::fabs(back) < 1e38L &&
                             engine::Real48::FromExtended(back) == value))
            return std::string(text, end);
    }
    return "0";
}

std::string ColourText(ColourWord c)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(c & 0xFFFFFFu));
    return text;
}

std::string ColourList(std::span<const ColourWord> colours)
{
    std::string s;
    for (std::size_t k = 0; k < colours.size(); ++k)
        s += (k ? "," : "") + ColourText(colours[k]);
    return s;
}

std::string LoadedKey(int first) { return "loaded-colours-" + std::to_string(first); }

// The shortest decimal that reads back to the same extended value; 21
// significant digits always do.
std::string Decimal80(engine::Extended value)
{
    char text[64];
    for (int digits = 1; digits <= 21; ++digits) {
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
        if (ec != std::errc())
            break;
        engine::Extended back = 0;
        const auto read = std::from_chars(text, end, back, std::chars_format::general);
        if (digits == 21 || (read.ec == std::errc() && back == value && std::signbit(back) == std::signbit(value)))
            return std::string(text, end);
    }
    return "0";
}

// The parameters a view file carries, each exact as 20 hex digits with a
// decimal beside it, and which value function reads them.
enum class ParameterGroup { Tamo, Julia };
struct ParameterKey {
    const char* exact;
    const char* decimal;
    engine::Extended fractals::Parameters::*field;
    ParameterGroup group;
};
constexpr std::array<ParameterKey, 5> kParameterKeys{{
    {"parameter-x", "parameter-x-decimal", &fractals::Parameters::tamoX, ParameterGroup::Tamo},
    {"parameter-y", "parameter-y-decimal", &fractals::Parameters::tamoY, ParameterGroup::Tamo},
    {"parameter-z", "parameter-z-decimal", &fractals::Parameters::tamoZ, ParameterGroup::Tamo},
    {"julia-re", "julia-re-decimal", &fractals::Parameters::juliaRe, ParameterGroup::Julia},
    {"julia-im", "julia-im-decimal", &fractals::Parameters::juliaIm, ParameterGroup::Julia},
}};
constexpr const char* kIterationsKey = "iterations";

bool GroupDiffers(const fractals::Parameters& a, const fractals::Parameters& b, ParameterGroup g)
{
    for (const ParameterKey& k : kParameterKeys)
        if (k.group == g && (a.*k.field != b.*k.field || std::signbit(a.*k.field) != std::signbit(b.*k.field)))
            return true;
    return false;
}

// The parameters' lines: only those that differ from the view's own, so a
// view with its own parameters is written as it always was.
void WriteParameters(const ViewDocument& v, const std::function<void(const std::string&)>& line,
                     const std::function<void(const std::string&, const std::string&)>& pair)
{
    const fractals::View* view = fractals::FindView(v.viewId);
    if (!view)
        return;
    const fractals::Parameters own = fractals::DefaultParameters(*view->window);
    const bool tamo = GroupDiffers(v.parameters, own, ParameterGroup::Tamo);
    const bool julia = GroupDiffers(v.parameters, own, ParameterGroup::Julia);
    const bool iterations = v.parameters.iterations != own.iterations;
    if (!tamo && !julia && !iterations)
        return;
    line("# The formula's parameters where they are not the view's own: each exactly the");
    line("# 80-bit real in hex (sign and exponent, then the significand), the decimal");
    line("# beside it for people; the iteration limit of the counts.");
    for (const ParameterKey& k : kParameterKeys)
        if ((k.group == ParameterGroup::Tamo && tamo) || (k.group == ParameterGroup::Julia && julia)) {
            pair(k.exact, Hex80(v.parameters.*k.field));
            pair(k.decimal, Decimal80(v.parameters.*k.field));
        }
    if (iterations)
        pair(kIterationsKey, std::to_string(v.parameters.iterations));
}

} // namespace

bool DrawsDeep(const fractals::View& view)
{
    return view.function == engine::LevelSetKernel || view.function == engine::CountJuliaSet;
}

std::string ViewText(const ViewDocument& v)
{
    std::string s;
    auto line = [&s](const std::string& text) { s += text + "\r\n"; };
    auto pair = [&line](const std::string& key, const std::string& value) { line(key + " = " + value); };
    line("# Quillon view: open it in Quillon or with quillon-render --open.");
    pair("quillon-view", std::to_string(kViewFormatVersion));
    pair("view", v.viewId);
    line("# The region: x of column 0, its width, y of row 0, its height. Each value is");
    line("# exact as the 6 bytes of the stored real in hex; the decimal beside it is for");
    line("# people and is read only when the exact line is missing.");
    for (const RegionKey& k : kRegionKeys) {
        pair(k.exact, Hex6(v.region.*k.field));
        pair(k.decimal, Decimal(v.region.*k.field));
    }
    if (v.extendedRegion && *v.extendedRegion != v.region.Values()) {
        line("# The region drawn lies between 6-byte values (a frame of a zoom movie): it is");
        line("# exactly these 80-bit reals in hex (sign and exponent, then the significand);");
        line("# the values above are the nearest 6-byte ones, for a window.");
        for (const RegionKey& k : kRegionKeys)
            pair(k.extended, Hex80((*v.extendedRegion).*k.value));
    }
    if (v.deepRegion) {
        line("# A region deeper than 6-byte reals reach, drawn in place of the one above:");
        line("# the centre and the extents (column 0 to the last, row 0 to the last) as exact decimals.");
        pair("center-x", v.deepRegion->centerX);
        pair("center-y", v.deepRegion->centerY);
        pair("width", v.deepRegion->width);
        if (!v.deepRegion->height.empty())
            pair("height", v.deepRegion->height);
    }
    WriteParameters(v, line, pair);
    line("# Colours: palette page (vga, 2, 3, 4, 15), panel colours 0xBBGGRR,");
    line("# palette rotation, red/green/blue offsets, colour offset.");
    pair("palette", exporter::PalettePageName(v.page)); // not colour::PalettePageName, the palette file's title
    colour::PanelColours panels = v.panels;
    for (const PageName& p : kPages)
        if (p.panels)
            pair(std::string("colours-") + p.name, ColourList(PagePanels(panels, p.page)));
    pair("rotation", std::to_string(v.adjust.rotation));
    pair("rgb", std::to_string(v.adjust.red) + "," + std::to_string(v.adjust.green) + "," +
                    std::to_string(v.adjust.blue));
    pair("colour-offset", std::to_string(v.adjust.colourOffset));
    if (v.loadedPalette) {
        line("# A palette loaded from a file, in place of the VGA table: entries 0 to 255, 0xBBGGRR.");
        pair("loaded-palette", v.loadedPalette->name);
        const colour::TPaletteTable& t = v.loadedPalette->table;
        for (int first = 0; first < 256; first += kLoadedLineEntries) {
            std::array<ColourWord, kLoadedLineEntries> row{};
            for (int k = 0; k < kLoadedLineEntries; ++k)
                row[static_cast<std::size_t>(k)] =
                    colour::MakeColour(t.Red[first + k], t.Green[first + k], t.Blue[first + k]);
            pair(LoadedKey(first), ColourList(row));
        }
    }
    line("# The picture: size, samples per pixel side, region widened to keep the pixel shape.");
    pair("size", std::to_string(v.picture.width) + "x" + std::to_string(v.picture.height));
    pair("supersample", std::to_string(v.picture.supersample));
    pair("widened", v.picture.widened ? "yes" : "no");
    return s;
}

void WriteViewFile(const std::string& path, const ViewDocument& view) { detail::ReplaceFile(path, ViewText(view)); }

// ---- reading ----

namespace {

using fileio::Utf8Length;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitList(std::string_view s)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t comma = s.find(',');
        parts.push_back(Trim(s.substr(0, comma)));
        if (comma == std::string_view::npos)
            return parts;
        s.remove_prefix(comma + 1);
    }
}

class Reader {
public:
    Reader(std::string_view text, const std::string& fileName) : text_(text), file_(fileName) {}

    ViewDocument Read()
    {
        SplitLines();
        if (lines_.empty())
            FailFile("empty, not a Quillon view file");
        const Line& first = lines_.front();
        if (first.key != "quillon-view")
            Fail(first.number, "not a Quillon view file (it must begin with \"quillon-view = " +
                                   std::to_string(kViewFormatVersion) + "\")");
        if (!ParseWholeNumber(first.value, 1, 1000000))
            Fail(first.number, "the format version must be a whole number from 1, not '" + first.value + "'");
        for (const Line& l : lines_) {
            const auto [it, added] = keys_.emplace(l.key, &l);
            if (!added)
                Fail(l.number, "'" + l.key + "' is given twice (first on line " + std::to_string(it->second->number) + ")");
        }
        const Line* idLine = Find("view");
        if (!idLine)
            Fail(lastLine_, "the file ends without the view id (a line \"view = FormJU3\", say)");
        const fractals::View* view = fractals::FindView(idLine->value);
        if (!view)
            Fail(idLine->number, "unknown view '" + idLine->value + "' (quillon-render --list names them)");
        ViewDocument d = DefaultView(*view);
        ReadRegion(d);
        ReadDeepRegion(d, *view);
        ReadParameters(d, *view);
        ReadColours(d);
        ReadPicture(d);
        return d;
    }

private:
    struct Line {
        int number;
        std::string key, value;
    };

    [[noreturn]] void FailFile(const std::string& why) const { throw ViewFileError(file_ + ": " + why); }
    [[noreturn]] void Fail(int line, const std::string& why) const
    {
        throw ViewFileError(file_ + ", line " + std::to_string(line) + ": " + why);
    }

    void SplitLines()
    {
        std::string_view rest = text_;
        if (rest.substr(0, 3) == "\xEF\xBB\xBF")
            rest.remove_prefix(3);
        int number = 0;
        while (!rest.empty()) {
            ++number;
            const std::size_t lf = rest.find('\n');
            if (lf == std::string_view::npos)
                Fail(number, "the file ends in the middle of this line (it was cut short)");
            std::string_view line = rest.substr(0, lf);
            rest.remove_prefix(lf + 1);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            CheckText(line, number);
            lastLine_ = number;
            line = Trim(line);
            if (line.empty() || line.front() == '#')
                continue;
            const std::size_t eq = line.find('=');
            if (eq == std::string_view::npos) {
                if (lines_.empty())
                    Fail(number, "not a Quillon view file (it must begin with \"quillon-view = " +
                                     std::to_string(kViewFormatVersion) + "\")");
                Fail(number, "expected \"key = value\"");
            }
            lines_.push_back(Line{number, std::string(Trim(line.substr(0, eq))), std::string(Trim(line.substr(eq + 1)))});
        }
        if (lastLine_ == 0)
            lastLine_ = 1;
    }

    void CheckText(std::string_view line, int number) const
    {
        for (std::size_t i = 0; i < line.size();) {
            const unsigned char c = static_cast<unsigned char>(line[i]);
            const std::size_t n = Utf8Length(line, i);
            if (n == 0 || (c < 0x20 && c != '\t') || c == 0x7F) {
                char byte[8];
                std::snprintf(byte, sizeof byte, "0x%02X", c);
                Fail(number, std::string("not text (byte ") + byte + "): not a Quillon view file");
            }
            i += n;
        }
    }

    const Line* Find(const std::string& key) const
    {
        const auto it = keys_.find(key);
        return it == keys_.end() ? nullptr : it->second;
    }

    long Whole(const Line& l, long lo, long hi, const char* what) const
    {
        const auto v = ParseWholeNumber(l.value, lo, hi);
        if (!v)
            Fail(l.number, std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " +
                               std::to_string(hi) + ", not '" + l.value + "'");
        return *v;
    }

    void ReadRegion(ViewDocument& d) const
    {
        for (const RegionKey& k : kRegionKeys) {
            const Line* exact = Find(k.exact);
            const Line* decimal = Find(k.decimal);
            // A decimal beside an exact value must still be a number (a
            // garbled line is a damaged file) but only the exact value counts.
            std::optional<engine::Real48> fromDecimal;
            if (decimal)
                fromDecimal = DecimalValue(*decimal);
            if (exact)
                d.region.*k.field = ExactValue(*exact);
            else if (fromDecimal)
                d.region.*k.field = *fromDecimal;
        }
        ReadExtendedRegion(d);
    }

    // The centre and extents of a deep view: the centre and the width
    // together, the height optional; exact decimals of any length.
    void ReadDeepRegion(ViewDocument& d, const fractals::View& view) const
    {
        static const char* const keys[] = {"center-x", "center-y", "width", "height"};
        const Line* lines[4] = {};
        const Line* first = nullptr;
        for (int k = 0; k < 4; ++k) {
            lines[k] = Find(keys[k]);
            if (lines[k] && (!first || lines[k]->number < first->number))
                first = lines[k];
        }
        if (!first)
            return;
        if (!DrawsDeep(view))
            Fail(first->number, "a deep region (center-x, center-y, width, height) is only for Form1 and the Julia "
                                "views, not " + view.id);
        for (int k = 0; k < 3; ++k)
            if (!lines[k])
                Fail(first->number, std::string("the deep region lacks its line '") + keys[k] + " = ...'");
        for (int k = 0; k < 4; ++k) {
            if (lines[k] && !deep::IsDecimal(lines[k]->value))
                Fail(lines[k]->number, std::string(keys[k]) + " must be a decimal number, not '" + lines[k]->value + "'");
            if (k >= 2 && lines[k] && !deep::IsPositiveDecimal(lines[k]->value))
                Fail(lines[k]->number, std::string(keys[k]) + " must be greater than 0, not '" + lines[k]->value + "'");
        }
        d.deepRegion = deep::DeepRegion{lines[0]->value, lines[1]->value, lines[2]->value,
                                        lines[3] ? lines[3]->value : std::string()};
    }

    // The exact region of a frame between 6-byte values: all four keys or none.
    void ReadExtendedRegion(ViewDocument& d) const
    {
        const Line* first = nullptr;
        for (const RegionKey& k : kRegionKeys)
            if (const Line* l = Find(k.extended); l && (!first || l->number < first->number))
                first = l;
        if (!first)
            return;
        engine::RegionValues values;
        for (const RegionKey& k : kRegionKeys) {
            const Line* l = Find(k.extended);
            if (!l)
                Fail(first->number, std::string("the extended region lacks its line '") + k.extended +
                                        "' (all four are needed)");
            values.*k.value = ExtendedValue(*l);
        }
        try {
            d.SetDrawnRegion(values);
        } catch (const engine::FloatingPointOverflow&) {
            Fail(first->number, "the extended region is beyond the range of the 6-byte format");
        }
    }

    engine::Extended ExtendedValue(const Line& l) const
    {
        std::uint16_t signExponent = 0;
        std::uint64_t significand = 0;
        const char* p = l.value.data();
        bool ok = l.value.size() == 20;
        if (ok) {
            const auto a = std::from_chars(p, p + 4, signExponent, 16);
            const auto b = std::from_chars(p + 4, p + 20, significand, 16);
            ok = a.ec == std::errc() && a.ptr == p + 4 && b.ec == std::errc() && b.ptr == p + 20;
        }
        const unsigned exponent = signExponent & 0x7FFFu;
        const bool integerBit = (significand >> 63) != 0;
        // Finite values in their canonical encoding only: no infinity or NaN
        // (exponent all ones), no unnormal or pseudo-denormal.
        if (!ok || exponent == 0x7FFFu || integerBit != (exponent != 0))
            Fail(l.number, "'" + l.key + "' must be 20 hex digits of a finite 80-bit real, not '" + l.value + "'");
        unsigned char bytes[sizeof(engine::Extended)] = {};
        std::memcpy(bytes, &significand, 8);
        std::memcpy(bytes + 8, &signExponent, 2);
        engine::Extended v = 0;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }

    // Parameter lines: exact beside decimal as for the region, each group
    // only in a view whose formula reads it.
    void ReadParameters(ViewDocument& d, const fractals::View& view) const
    {
        for (const ParameterKey& k : kParameterKeys) {
            const Line* exact = Find(k.exact);
            const Line* decimal = Find(k.decimal);
            const bool applies = k.group == ParameterGroup::Tamo ? fractals::TakesTamoParameter(view.function)
                                                                  : fractals::TakesJuliaConstant(view.function);
            if ((exact || decimal) && !applies)
                Fail((exact ? exact : decimal)->number,
                     "'" + (exact ? exact : decimal)->key + "' does not apply to " + view.id + ", whose formula (" +
                         view.functionName + ") has no " +
                         (k.group == ParameterGroup::Tamo ? "parameter triple" : "Julia constant"));
            std::optional<engine::Extended> fromDecimal;
            if (decimal)
                fromDecimal = ExtendedDecimal(*decimal);
            if (exact)
                d.parameters.*k.field = ExtendedValue(*exact);
            else if (fromDecimal)
                d.parameters.*k.field = *fromDecimal;
        }
        if (const Line* l = Find(kIterationsKey)) {
            if (!fractals::TakesIterationLimit(view.function))
                Fail(l->number, "'iterations' does not apply to " + view.id + ", whose formula (" +
                                    view.functionName + ") has a fixed limit");
            d.parameters.iterations = static_cast<std::int32_t>(
                Whole(*l, engine::kMinIterationLimit, engine::kMaxIterationLimit, "the iteration limit"));
        }
    }

    // A decimal read to the nearest extended value, as a typed parameter is.
    engine::Extended ExtendedDecimal(const Line& l) const
    {
        engine::Extended v = 0;
        const char* first = l.value.data();
        const char* last = first + l.value.size();
        if (first != last && *first == '+')
            ++first;
        const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
        if (l.value.empty() || end != last || (ec != std::errc() && ec != std::errc::result_out_of_range))
            Fail(l.number, "'" + l.key + "' must be a decimal number, not '" + l.value + "'");
        if (ec == std::errc::result_out_of_range || !std::isfinite(v))
            Fail(l.number, "'" + l.key + "' is out of range: " + l.value);
        return v;
    }

    engine::Real48 ExactValue(const Line& l) const
    {
        std::array<std::uint8_t, 6> bytes{};
        bool ok = l.value.size() == 12;
        for (std::size_t k = 0; ok && k < 6; ++k) {
            const char* p = l.value.data() + 2 * k;
            const auto [end, ec] = std::from_chars(p, p + 2, bytes[k], 16);
            ok = ec == std::errc() && end == p + 2;
        }
        if (!ok)
            Fail(l.number, "'" + l.key + "' must be 12 hex digits (the 6 bytes of the stored real), not '" + l.value + "'");
        return engine::Real48::FromBytes(bytes);
    }

    engine::Real48 DecimalValue(const Line& l) const
    {
        const engine::Extended v = ExtendedDecimal(l);
        try {
            return engine::Real48::FromExtended(v);
        } catch (const engine::FloatingPointOverflow&) {
            Fail(l.number, "'" + l.key + "' is out of range: " + l.value);
        }
    }

    void ReadColours(ViewDocument& d) const
    {
        if (const Line* l = Find("palette")) {
            const auto page = ParsePalettePage(l->value);
            if (!page)
                Fail(l->number, "the palette must be vga, 2, 3, 4 or 15, not '" + l->value + "'");
            d.page = *page;
        }
        for (const PageName& p : kPages) {
            if (!p.panels)
                continue;
            if (const Line* l = Find(std::string("colours-") + p.name))
                ReadColourList(*l, PagePanels(d.panels, p.page));
        }
        if (const Line* l = Find("rotation"))
            d.adjust.rotation = static_cast<int>(Whole(*l, 0, 200, "the rotation"));
        if (const Line* l = Find("rgb")) {
            const std::vector<std::string_view> parts = SplitList(l->value);
            if (parts.size() != 3)
                Fail(l->number, "'rgb' needs three offsets R,G,B, not '" + l->value + "'");
            int* offsets[3] = {&d.adjust.red, &d.adjust.green, &d.adjust.blue};
            for (std::size_t k = 0; k < 3; ++k) {
                const auto v = ParseWholeNumber(parts[k], -255, 255);
                if (!v)
                    Fail(l->number, "each of 'rgb' must be a whole number from -255 to 255, not '" +
                                        std::string(parts[k]) + "'");
                *offsets[k] = static_cast<int>(*v);
            }
        }
        if (const Line* l = Find("colour-offset"))
            d.adjust.colourOffset = static_cast<int>(Whole(*l, 0, 255, "the colour offset"));
        ReadLoadedPalette(d);
    }

    void ReadColourList(const Line& l, std::span<ColourWord> out) const
    {
        const std::vector<std::string_view> parts = SplitList(l.value);
        if (parts.size() != out.size())
            Fail(l.number, "'" + l.key + "' needs " + std::to_string(out.size()) + " colours, not " +
                               std::to_string(parts.size()));
        for (std::size_t k = 0; k < parts.size(); ++k) {
            const auto c = ParseColourWord(parts[k]);
            if (!c)
                Fail(l.number, "a colour must be 0x000000 to 0xFFFFFF (0xBBGGRR), not '" + std::string(parts[k]) + "'");
            out[k] = *c;
        }
    }

    void ReadLoadedPalette(ViewDocument& d) const
    {
        const Line* name = Find("loaded-palette");
        if (!name) {
            for (int first = 0; first < 256; first += kLoadedLineEntries)
                if (const Line* l = Find(LoadedKey(first)))
                    Fail(l->number, "palette colours without a \"loaded-palette = NAME\" line");
            return;
        }
        LoadedPalette p;
        p.name = name->value;
        for (int first = 0; first < 256; first += kLoadedLineEntries) {
            const Line* l = Find(LoadedKey(first));
            if (!l)
                Fail(name->number, "the loaded palette lacks its line " + LoadedKey(first) + " (entries " +
                                       std::to_string(first) + " to " + std::to_string(first + 15) + ")");
            std::array<ColourWord, kLoadedLineEntries> row{};
            ReadColourList(*l, row);
            for (int k = 0; k < kLoadedLineEntries; ++k) {
                const ColourWord c = row[static_cast<std::size_t>(k)];
                p.table.Red[first + k] = static_cast<std::int32_t>(c & 0xFF);
                p.table.Green[first + k] = static_cast<std::int32_t>((c >> 8) & 0xFF);
                p.table.Blue[first + k] = static_cast<std::int32_t>((c >> 16) & 0xFF);
            }
        }
        d.loadedPalette = std::move(p);
    }

    void ReadPicture(ViewDocument& d) const
    {
        if (const Line* l = Find("size")) {
            const auto size = ParsePictureSize(l->value);
            if (!size)
                Fail(l->number, "the size must be WxH, each side from " + std::to_string(kMinPictureSide) + " to " +
                                    std::to_string(kMaxPictureSide) + ", not '" + l->value + "'");
            d.picture.width = size->first;
            d.picture.height = size->second;
        }
        if (const Line* l = Find("supersample"))
            d.picture.supersample = static_cast<int>(Whole(*l, 1, kMaxSupersample, "supersample"));
        if (const Line* l = Find("widened")) {
            if (l->value != "yes" && l->value != "no")
                Fail(l->number, "'widened' must be yes or no, not '" + l->value + "'");
            d.picture.widened = l->value == "yes";
        }
    }

    std::string_view text_;
    std::string file_;
    std::vector<Line> lines_;
    std::map<std::string, const Line*> keys_;
    int lastLine_ = 0;
};

} // namespace

ViewDocument ParseView(std::string_view text, const std::string& fileName)
{
    if (text.size() > kMaxViewFileSize)
        throw ViewFileError(fileName + ": " + std::to_string(text.size()) +
                            " bytes is too large for a view file (at most 1 MiB)");
    return Reader(text, fileName).Read();
}

ViewDocument ReadViewFile(const std::string& path)
{
    fileio::InputFile file(path);
    auto fail = [&path](int error) { throw ViewFileError(path + ": " + detail::ErrnoText(error)); };
    if (file.Error() == EINVAL && file.Descriptor() >= 0)
        throw ViewFileError(path + ": not a regular file");
    if (file.Error() != 0)
        fail(file.Error());
    if (HasPngSignature(file.Descriptor())) {
        std::optional<std::string> chunk;
        try {
            chunk = ReadPngText(path, kPngViewKeyword);
        } catch (const IoError& e) {
            throw ViewFileError(e.what());
        }
        if (!chunk)
            throw ViewFileError(path + ": a PNG picture that carries no Quillon view");
        return ParseView(*chunk, path + " (its Quillon view)");
    }
    if (file.Size() > kMaxViewFileSize)
        throw ViewFileError(path + ": " + std::to_string(file.Size()) + " bytes is too large for a view file (at most 1 MiB)");
    // A file that grew past the cap since it was opened: ParseView names its size.
    std::optional<std::string> text = file.ReadAtMost(kMaxViewFileSize);
    if (file.Error() != 0)
        fail(file.Error());
    if (!text)
        throw ViewFileError(path + ": " + std::to_string(kMaxViewFileSize + 1) +
                            " bytes is too large for a view file (at most 1 MiB)");
    return ParseView(*text, path);
}

} // namespace exporter
