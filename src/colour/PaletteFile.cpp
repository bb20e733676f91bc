// Readers and writers of .map, GIMP .gpl and GIMP .ggr palette files.
#include "colour/PaletteFile.h"

#include "fileio/FileIo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace colour {

namespace {

constexpr std::string_view kBlanks = " \t\v\f";

std::string_view TrimLeft(std::string_view s)
{
    const std::size_t k = s.find_first_not_of(kBlanks);
    return k == std::string_view::npos ? std::string_view{} : s.substr(k);
}

std::string_view Trim(std::string_view s)
{
    s = TrimLeft(s);
    const std::size_t k = s.find_last_not_of(kBlanks);
    return k == std::string_view::npos ? std::string_view{} : s.substr(0, k + 1);
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

using fileio::Utf8Length;

// A word of the file as a message shows it: short, and printable whatever the file held.
std::string Shown(std::string_view word)
{
    std::string out;
    for (char c : word.substr(0, 24)) {
        const auto u = static_cast<unsigned char>(c);
        out += u < 0x20 || u >= 0x7F ? '?' : c;
    }
    return word.size() > 24 ? out + "..." : out;
}

std::string Quote(std::string_view word) { return "'" + Shown(word) + "'"; }

[[noreturn]] void FailFile(std::string_view path, const std::string& reason)
{
    throw PaletteFileError(std::string(path) + ": " + reason);
}

// The lines of a file's text with their numbers, ends of line LF, CRLF or
// CR. A leading byte-order mark and the DOS end-of-file marks (Ctrl-Z) that
// old .map files end with are not part of any line.
class LineReader {
public:
    LineReader(std::string_view text, std::string_view path) : path_(path)
    {
        if (StartsWith(text, "\xEF\xBB\xBF"))
            text.remove_prefix(3);
        while (!text.empty() && text.back() == '\x1A')
            text.remove_suffix(1);
        text_ = text;
    }

    // The next line, or false at the end of the text.
    bool Next(std::string_view& line)
    {
        if (pos_ >= text_.size())
            return false;
        const std::size_t end = text_.find_first_of("\r\n", pos_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        line = text_.substr(pos_, stop - pos_);
        pos_ = stop;
        if (pos_ < text_.size())
            pos_ += text_.substr(pos_, 2) == "\r\n" ? 2 : 1;
        ++number_;
        if (line.find('\0') != std::string_view::npos)
            Fail("a NUL byte (not a text file)");
        return true;
    }

    // The next line that holds more than blanks.
    bool NextNonBlank(std::string_view& line)
    {
        while (Next(line))
            if (!Trim(line).empty())
                return true;
        return false;
    }

    // Refuses a line that is not UTF-8, for the formats that are UTF-8 text throughout.
    void RequireUtf8(std::string_view line) const
    {
        for (std::size_t i = 0; i < line.size();) {
            const std::size_t n = Utf8Length(line, i);
            if (n == 0)
                Fail("bytes that are not UTF-8 text");
            i += n;
        }
    }

    [[noreturn]] void Fail(const std::string& reason) const
    {
        throw PaletteFileError(std::string(path_) + ", line " + std::to_string(number_) + ": " + reason);
    }

private:
    std::string_view text_;
    std::string_view path_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

// The blank-separated words of a line.
std::vector<std::string_view> Split(std::string_view line)
{
    std::vector<std::string_view> words;
    for (line = TrimLeft(line); !line.empty(); line = TrimLeft(line)) {
        const std::size_t end = std::min(line.find_first_of(kBlanks), line.size());
        words.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return words;
}

// A decimal integer word ("-" and digits), saturating far outside every range checked.
std::optional<long long> ParseInteger(std::string_view word)
{
    const bool negative = StartsWith(word, "-");
    const std::string_view digits = word.substr(negative ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long long value = 0;
    for (char c : digits)
        value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
    return negative ? -value : value;
}

int ParseChannel(std::string_view word, const LineReader& in)
{
    const std::optional<long long> value = ParseInteger(word);
    if (!value)
        in.Fail(Quote(word) + " is not a whole number from 0 to 255");
    if (*value > 255)
        in.Fail(Shown(word) + " is above 255");
    if (*value < 0)
        in.Fail(Shown(word) + " is below 0");
    return static_cast<int>(*value);
}

// Colours of .map and .gpl files as they are read, 1 ... kMaxPaletteColours of them.
class ColourList {
public:
    void Add(const std::vector<std::string_view>& words, const LineReader& in)
    {
        if (colours_.size() == kMaxPaletteColours)
            in.Fail("more than " + std::to_string(kMaxPaletteColours) + " colours");
        std::array<int, 3> rgb{};
        for (std::size_t k = 0; k < 3; ++k) {
            if (k == words.size())
                in.Fail("fewer than three numbers (red, green, blue)");
            rgb[k] = ParseChannel(words[k], in);
        }
        colours_.push_back(rgb);
    }

    // A short file repeats its colours over the whole table: every entry
    // then holds one of the file's colours, and rotation and offsets cycle
    // through them as through a full table. A long one is sampled evenly,
    // entry k taking colour floor(k * n / 256), so the table spans the whole
    // file from its first colour.
    TPaletteTable Table(std::string_view path) const
    {
        const std::size_t n = colours_.size();
        if (n == 0)
            FailFile(path, "no colours");
        TPaletteTable t{};
        for (std::size_t k = 0; k < 256; ++k) {
            const std::array<int, 3>& c = colours_[n <= 256 ? k % n : k * n / 256];
            t.Red[k] = c[0];
            t.Green[k] = c[1];
            t.Blue[k] = c[2];
        }
        return t;
    }

private:
    std::vector<std::array<int, 3>> colours_;
};

// A name safe for one line of UTF-8: control characters and broken UTF-8
// become blanks. Names are read this way too, so a name read, written and
// read again stays the same.
std::string CleanName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = Utf8Length(name, i);
        const auto u = static_cast<unsigned char>(name[i]);
        if (n == 0 || u < 0x20 || u == 0x7F) {
            out += ' ';
            i += n == 0 ? 1 : n;
        } else {
            out.append(name.substr(i, n));
            i += n;
        }
    }
    return std::string(Trim(out));
}

std::string NameOr(std::string_view name, std::string_view path)
{
    return name.empty() ? PaletteBaseName(path) : std::string(name);
}

// The "Name:" line, if `line` is one.
std::optional<std::string_view> NameLine(std::string_view line)
{
    line = TrimLeft(line);
    if (!StartsWith(line, "Name:"))
        return std::nullopt;
    return Trim(line.substr(5));
}

void RequireHeader(LineReader& in, std::string_view header, std::string_view what)
{
    std::string_view line;
    if (!in.Next(line) || Trim(line) != header)
        in.Fail("not " + std::string(what) + " (the first line must be \"" + std::string(header) + "\")");
}

// ---- GIMP gradients ----

double ParseReal(std::string_view word, const LineReader& in)
{
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || !std::isfinite(value))
        in.Fail(Quote(word) + " is not a number");
    return value;
}

int ParseType(std::string_view word, int highest, const char* what, const LineReader& in)
{
    const std::optional<long long> value = ParseInteger(word);
    if (!value || *value < 0 || *value > highest)
        in.Fail(Quote(word) + " is not " + what + " (0 to " + std::to_string(highest) + ")");
    return static_cast<int>(*value);
}

enum Blending { kLinear, kCurved, kSine, kSphereIncreasing, kSphereDecreasing, kStep };
enum Colouring { kRgb, kHsvCounterClockwise, kHsvClockwise };

struct Segment {
    double left = 0, middle = 0, right = 0;
    std::array<double, 3> leftColour{}, rightColour{}; // red, green, blue in 0 ... 1; alpha is dropped
    int blending = kLinear;
    int colouring = kRgb;
};

// Positions are written with six decimals; neighbouring segments meet within that.
constexpr double kTouch = 1e-6;
constexpr double kEpsilon = 1e-10;

Segment ParseSegment(std::string_view line, const LineReader& in, bool first, double previousRight, bool last)
{
    const std::vector<std::string_view> words = Split(line);
    // Newer files add the two endpoints' colour sources (fixed, foreground,
    // background...); only the stored colours are used.
    if (words.size() != 13 && words.size() != 15)
        in.Fail("a segment has 13 numbers (15 with the endpoint colour types), this line has " +
                std::to_string(words.size()));
    Segment s;
    double v[11];
    for (int k = 0; k < 11; ++k)
        v[k] = ParseReal(words[k], in);
    s.left = v[0];
    s.middle = v[1];
    s.right = v[2];
    for (int k = 0; k < 11; ++k)
        if (v[k] < 0 || v[k] > 1)
            in.Fail(Shown(words[k]) + " is outside 0 to 1");
    if (!(s.left <= s.middle && s.middle <= s.right))
        in.Fail("positions out of order (left " + Shown(words[0]) + ", middle " + Shown(words[1]) +
                ", right " + Shown(words[2]) + ")");
    if (std::fabs(s.left - previousRight) > kTouch)
        in.Fail(first ? "the first segment starts at " + Shown(words[0]) + ", not at 0"
                      : "the segment starts at " + Shown(words[0]) + ", not where the one before it ends");
    if (last && std::fabs(s.right - 1) > kTouch)
        in.Fail("the last segment ends at " + Shown(words[2]) + ", not at 1");
    s.leftColour = {v[3], v[4], v[5]};
    s.rightColour = {v[7], v[8], v[9]};
    s.blending = ParseType(words[11], kStep, "a blending type", in);
    s.colouring = ParseType(words[12], kHsvClockwise, "a colouring type", in);
    for (std::size_t k = 13; k < words.size(); ++k)
        ParseType(words[k], 4, "an endpoint colour type", in);
    return s;
}

// The linear blend with the midpoint: 0 at the left, 0.5 at the middle, 1 at the right.
double LinearFactor(double middle, double pos)
{
    if (pos <= middle)
        return middle < kEpsilon ? 0.0 : 0.5 * pos / middle;
    return 1 - middle < kEpsilon ? 1.0 : 0.5 + 0.5 * (pos - middle) / (1 - middle);
}

// How far from the left colour toward the right one the blend is at `pos`
// (0 ... 1 across the segment); `middle` is the midpoint in the same units.
double BlendFactor(int blending, double middle, double pos)
{
    switch (blending) {
    case kCurved: // a power curve through (middle, 0.5); a middle at either end is a sharp bend
        return std::pow(pos, std::log(0.5) / std::log(std::clamp(middle, kEpsilon, 1 - kEpsilon)));
    case kSine:
        return (std::sin(-std::numbers::pi / 2 + std::numbers::pi * LinearFactor(middle, pos)) + 1) / 2;
    case kSphereIncreasing: {
        const double f = LinearFactor(middle, pos) - 1;
        return std::sqrt(std::max(0.0, 1 - f * f));
    }
    case kSphereDecreasing: {
        const double f = LinearFactor(middle, pos);
        return 1 - std::sqrt(std::max(0.0, 1 - f * f));
    }
    case kStep:
        return pos >= middle ? 1.0 : 0.0;
    default:
        return LinearFactor(middle, pos);
    }
}

using Colour3 = std::array<double, 3>;

Colour3 RgbToHsv(const Colour3& c)
{
    const double max = std::max({c[0], c[1], c[2]});
    const double min = std::min({c[0], c[1], c[2]});
    const double delta = max - min;
    double h = 0;
    if (delta > 0) {
        if (c[0] == max)
            h = (c[1] - c[2]) / delta;
        else if (c[1] == max)
            h = 2 + (c[2] - c[0]) / delta;
        else
            h = 4 + (c[0] - c[1]) / delta;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    return {h, max > 0 ? delta / max : 0.0, max};
}

Colour3 HsvToRgb(const Colour3& hsv)
{
    const double s = hsv[1], v = hsv[2];
    double h6 = hsv[0] * 6;
    if (!(h6 >= 0 && h6 < 6))
        h6 = 0; // hue 1 is hue 0
    const int sector = std::clamp(static_cast<int>(h6), 0, 5);
    const double f = h6 - sector;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0:
        return {v, t, p};
    case 1:
        return {q, v, p};
    case 2:
        return {p, v, t};
    case 3:
        return {p, q, v};
    case 4:
        return {t, p, v};
    default:
        return {v, p, q};
    }
}

// Counter-clockwise runs the hue upward (red, yellow, green, ...),
// clockwise downward, each passing through hue 0 when that is the way. Equal
// hues at both ends go once all the way round, as GIMP draws them: its
// "Full saturation spectrum" gradients are one red-to-red segment.
Colour3 BlendHsv(const Colour3& a, const Colour3& b, double factor, bool counterClockwise)
{
    const Colour3 ha = RgbToHsv(a), hb = RgbToHsv(b);
    double h;
    if (counterClockwise) {
        const double span = ha[0] < hb[0] ? hb[0] - ha[0] : 1 - (ha[0] - hb[0]);
        h = ha[0] + span * factor;
        if (h >= 1)
            h -= 1;
    } else {
        const double span = hb[0] < ha[0] ? ha[0] - hb[0] : 1 - (hb[0] - ha[0]);
        h = ha[0] - span * factor;
        if (h < 0)
            h += 1;
    }
    return HsvToRgb({h, ha[1] + (hb[1] - ha[1]) * factor, ha[2] + (hb[2] - ha[2]) * factor});
}

Colour3 SampleSegment(const Segment& s, double x)
{
    const double width = s.right - s.left;
    double pos = 0.5, middle = 0.5; // a segment of no width shows its midpoint
    if (width >= kEpsilon) {
        pos = std::clamp((x - s.left) / width, 0.0, 1.0);
        middle = (s.middle - s.left) / width;
    }
    const double factor = BlendFactor(s.blending, middle, pos);
    if (s.colouring == kRgb) {
        Colour3 c;
        for (int k = 0; k < 3; ++k)
            c[k] = s.leftColour[k] + (s.rightColour[k] - s.leftColour[k]) * factor;
        return c;
    }
    return BlendHsv(s.leftColour, s.rightColour, factor, s.colouring == kHsvCounterClockwise);
}

std::int32_t ToByte(double c)
{
    if (!(c > 0))
        return 0;
    return static_cast<std::int32_t>(std::lround(std::min(c, 1.0) * 255));
}

} // namespace

std::optional<PaletteFormat> PaletteFormatOfName(std::string_view path)
{
    const std::string_view base = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string ext(base.substr(dot + 1));
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == "map")
        return PaletteFormat::Map;
    if (ext == "gpl")
        return PaletteFormat::Gpl;
    if (ext == "ggr")
        return PaletteFormat::Ggr;
    return std::nullopt;
}

std::string PaletteBaseName(std::string_view path)
{
    std::string_view base = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0)
        base = base.substr(0, dot);
    return std::string(base);
}

PaletteFile ParseMap(std::string_view text, std::string_view path)
{
    // Old files carry comments in DOS code pages after the numbers: only the
    // numbers need to be text, so the rest of a line may hold any bytes but NUL.
    LineReader in(text, path);
    ColourList colours;
    std::string_view line;
    while (in.NextNonBlank(line))
        colours.Add(Split(line), in);
    return {colours.Table(path), PaletteBaseName(path)};
}

PaletteFile ParseGpl(std::string_view text, std::string_view path)
{
    LineReader in(text, path);
    RequireHeader(in, "GIMP Palette", "a GIMP palette");
    ColourList colours;
    std::string name;
    std::string_view line;
    while (in.NextNonBlank(line)) {
        in.RequireUtf8(line);
        const std::string_view trimmed = TrimLeft(line);
        if (StartsWith(trimmed, "#") || StartsWith(trimmed, "Columns:"))
            continue; // the column count only arranges GIMP's swatches
        if (const auto n = NameLine(trimmed))
            name = CleanName(*n);
        else
            colours.Add(Split(trimmed), in); // the words after the third name the colour
    }
    return {colours.Table(path), NameOr(name, path)};
}

PaletteFile ParseGgr(std::string_view text, std::string_view path)
{
    LineReader in(text, path);
    RequireHeader(in, "GIMP Gradient", "a GIMP gradient");
    std::string name;
    std::string_view line;
    const auto next = [&]() {
        const bool more = in.NextNonBlank(line);
        if (more)
            in.RequireUtf8(line);
        return more;
    };
    if (!next())
        in.Fail("the segment count is missing");
    if (const auto n = NameLine(line)) {
        name = CleanName(*n);
        if (!next())
            in.Fail("the segment count is missing");
    }
    const std::vector<std::string_view> words = Split(line);
    const std::optional<long long> count = words.size() == 1 ? ParseInteger(words[0]) : std::nullopt;
    if (!count || *count < 1)
        in.Fail(Quote(Trim(line)) + " is not a segment count (a whole number from 1)");

    std::vector<Segment> segments;
    for (long long k = 0; k < *count; ++k) {
        if (!next())
            in.Fail("the count says " + std::to_string(*count) + " segments, the file has " + std::to_string(k));
        segments.push_back(ParseSegment(line, in, k == 0, k == 0 ? 0.0 : segments.back().right, k + 1 == *count));
    }
    if (next())
        in.Fail("more segments than the count of " + std::to_string(*count));

    PaletteFile out{{}, NameOr(name, path)};
    for (int k = 0; k < 256; ++k) {
        const double x = k / 255.0;
        // The first segment reaching x; the ends of the range belong to the outer segments.
        std::size_t i = 0;
        while (i + 1 < segments.size() && x > segments[i].right)
            ++i;
        const Colour3 c = SampleSegment(segments[i], x);
        out.table.Red[k] = ToByte(c[0]);
        out.table.Green[k] = ToByte(c[1]);
        out.table.Blue[k] = ToByte(c[2]);
    }
    return out;
}

PaletteFile ParsePalette(PaletteFormat format, std::string_view text, std::string_view path)
{
    switch (format) {
    case PaletteFormat::Gpl:
        return ParseGpl(text, path);
    case PaletteFormat::Ggr:
        return ParseGgr(text, path);
    default:
        return ParseMap(text, path);
    }
}

PaletteFile ReadPaletteFile(const std::string& path)
{
    const std::optional<PaletteFormat> format = PaletteFormatOfName(path);
    if (!format)
        FailFile(path, "not a palette file (.map, .gpl or .ggr)");
    const auto failErrno = [&](int error) { FailFile(path, std::generic_category().message(error)); };
    // Non-blocking, so a named pipe cannot hold the program; it is refused.
    fileio::InputFile file(path);
    if (file.Error() == EINVAL && file.Descriptor() >= 0)
        FailFile(path, "not a regular file");
    if (file.Error() != 0)
        failErrno(file.Error());
    const std::optional<std::string> text = file.ReadAtMost(kMaxPaletteFileBytes);
    if (file.Error() != 0)
        failErrno(file.Error());
    if (!text)
        FailFile(path, "larger than 1 MiB, too large for a palette");
    return ParsePalette(*format, *text, path);
}

std::string FormatMap(const TPaletteTable& table)
{
    std::string out;
    for (int k = 0; k < 256; ++k)
        out += std::to_string(Clamp255(table.Red[k])) + ' ' + std::to_string(Clamp255(table.Green[k])) + ' ' +
               std::to_string(Clamp255(table.Blue[k])) + '\n';
    return out;
}

std::string FormatGpl(const TPaletteTable& table, std::string_view name)
{
    std::string out = "GIMP Palette\nName: " + CleanName(name) + "\nColumns: 16\n";
    for (int k = 0; k < 256; ++k) {
        char line[32];
        std::snprintf(line, sizeof line, "%3d %3d %3d\n", Clamp255(table.Red[k]), Clamp255(table.Green[k]),
                      Clamp255(table.Blue[k]));
        out += line;
    }
    return out;
}

std::string PaletteFileText(std::string_view path, const TPaletteTable& table, std::string_view name)
{
    const std::optional<PaletteFormat> format = PaletteFormatOfName(path);
    if (format == PaletteFormat::Map)
        return FormatMap(table);
    if (format == PaletteFormat::Gpl)
        return FormatGpl(table, name);
    FailFile(path, format ? "gradients are not written; save the palette as .map or .gpl"
                          : "not a palette file name; save the palette as .map or .gpl");
}

std::string PalettePageName(PalettePage page)
{
    switch (page) {
    case PalettePage::Two:
        return "Quillon 2 colours";
    case PalettePage::Three:
        return "Quillon 3 colours";
    case PalettePage::Four:
        return "Quillon 4 colours";
    case PalettePage::Fifteen:
        return "Quillon 15 colours";
    default:
        return "Quillon Vga";
    }
}

} // namespace colour
