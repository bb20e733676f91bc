// Tests of the palette file readers and writers on files written by hand from each format's description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/PaletteFile.h"

using namespace colour;

namespace {

struct Rgb3 {
    int r, g, b;
};

void ExpectEntry(const TPaletteTable& P, int k, Rgb3 c, const std::string& where = "")
{
    EXPECT_EQ(P.Red[k], c.r) << where << " red of entry " << k;
    EXPECT_EQ(P.Green[k], c.g) << where << " green of entry " << k;
    EXPECT_EQ(P.Blue[k], c.b) << where << " blue of entry " << k;
}

// A one-segment gradient from black to white (full alpha) with this middle, blending and colouring.
std::string OneSegment(const std::string& middle, int blending, const std::string& left = "0 0 0 1",
                       const std::string& right = "1 1 1 1", int colouring = 0)
{
    return "GIMP Gradient\nName: test\n1\n0.000000 " + middle + " 1.000000 " + left + " " + right + " " +
           std::to_string(blending) + " " + std::to_string(colouring) + "\n";
}

// A .map with comments after the numbers, tabs, a blank line and four colours.
const std::string kMapText = "0 0 0 black\n"
                             "255 128 7   ; a comment\n"
                             "\t12\t34\t56 Grün 1 2 3\n"
                             "\n"
                             "  1   2   3\n";

} // namespace

// One file of each kind, written by hand: what each entry holds and the palette's name.
TEST(PaletteReaders, HandWrittenFiles)
{
    struct Case {
        PaletteFormat format;
        std::string text, path, name;
        std::vector<std::pair<int, Rgb3>> entries;
    };
    const Case cases[] = {
        // The blank line holds no entry; four colours repeat.
        {PaletteFormat::Map, kMapText, "/home/u/pals/fire.map", "fire",
         {{0, {0, 0, 0}}, {1, {255, 128, 7}}, {2, {12, 34, 56}}, {3, {1, 2, 3}}, {4, {0, 0, 0}}, {255, {1, 2, 3}}}},
        // Three colours repeat: entry 254 = 3 * 84 + 2.
        {PaletteFormat::Gpl,
         "GIMP Palette\r\nName: Sunset  strip \r\nColumns: 4\r\n#\r\n# made by hand\r\n255 255 255\tWhite\r\n"
         "  0  10  20 deep sea blue\r\n\r\n128 0 64\r\n",
         "dir/sunset.gpl", "Sunset  strip",
         {{0, {255, 255, 255}}, {1, {0, 10, 20}}, {2, {128, 0, 64}}, {3, {255, 255, 255}}, {254, {128, 0, 64}}}},
        // Without a Name: line (or with an empty one) a palette is named after its file.
        {PaletteFormat::Gpl, "GIMP Palette\n1 2 3\n", "/a/b/Blues.gpl", "Blues", {{0, {1, 2, 3}}, {255, {1, 2, 3}}}},
        {PaletteFormat::Gpl, "GIMP Palette\nName:\n1 2 3\n", "Blues.v2.gpl", "Blues.v2", {{0, {1, 2, 3}}}},
        // Red to blue over 0 ... 0.2, a step at 0.4 from black to white over 0.2 ... 0.6, then
        // white to (0.2, 0.6, 0.28); alpha that must not matter, and the endpoint colour types
        // of newer files on the last two segments. 0.2 (entry 51) belongs to the first segment;
        // 0.6 (153) is the step's right colour; 0.8 (204) is a middle: half way.
        {PaletteFormat::Ggr,
         "GIMP Gradient\nName: Three parts\n3\n"
         "0.000000 0.100000 0.200000 1 0 0 0.3 0 0 1 1 0 0\n"
         "0.200000 0.400000 0.600000 0 0 0 0 1 1 1 0.5 5 0 0 0\n"
         "0.600000 0.800000 1.000000 1 1 1 1 0.2 0.6 0.28 0 0 0 1 3\n",
         "three.ggr", "Three parts",
         {{0, {255, 0, 0}}, {51, {0, 0, 255}}, {52, {0, 0, 0}}, {153, {255, 255, 255}}, {204, {153, 204, 163}},
          {255, {51, 153, 71}}}},
        {PaletteFormat::Ggr, "GIMP Gradient\n1\n0 0.5 1 0 0 0 1 1 1 1 1 0 0\n", "x/Warm glow.ggr", "Warm glow",
         {{0, {0, 0, 0}}, {255, {255, 255, 255}}}},
    };
    for (const Case& c : cases) {
        const PaletteFile p = ParsePalette(c.format, c.text, c.path);
        EXPECT_EQ(p.name, c.name);
        for (const auto& [k, rgb] : c.entries)
            ExpectEntry(p.table, k, rgb, c.path);
    }
}

TEST(MapFile, ShortFilesAndLineEnds)
{
    const std::string& lf = kMapText;
    const PaletteFile a = ParseMap(lf, "fire.map");
    // Four colours repeat over the table: entry k is colour k mod 4.
    for (int k = 4; k < 256; ++k) {
        EXPECT_EQ(a.table.Red[k], a.table.Red[k % 4]) << k;
        EXPECT_EQ(a.table.Green[k], a.table.Green[k % 4]) << k;
        EXPECT_EQ(a.table.Blue[k], a.table.Blue[k % 4]) << k;
    }

    // The same file with DOS line ends and end-of-file mark, old Mac line ends, a byte-order mark,
    // a comment in a DOS code page, and no end of the last line.
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    const std::vector<std::string> variants = {crlf + "\x1A", cr, "\xEF\xBB\xBF" + lf,
                                               lf.substr(0, lf.size() - 1)};
    for (const std::string& text : variants)
        EXPECT_EQ(ParseMap(text, "fire.map"), ParseMap(lf, "fire.map")) << text;
    std::string latin1 = lf;
    latin1.replace(latin1.find("Grün"), 5, "Gr\xFCn");
    EXPECT_EQ(ParseMap(latin1, "fire.map").table, a.table);

    // A single colour fills the table.
    std::string same;
    for (int k = 0; k < 256; ++k)
        same += "9 8 7\n";
    EXPECT_EQ(ParseMap("9 8 7\n", "x.map").table, ParseMap(same, "x.map").table);
}

// Both writers: exact text, LF only, and back through the reader unchanged.
TEST(PaletteWriters, FormatAndRoundTrip)
{
    TPaletteTable odd = DefaultVgaPalette; // values a hand-filled table might hold are written clamped
    odd.Red[2] = 300;
    odd.Blue[2] = -4;
    TPaletteTable oddClamped = odd;
    oddClamped.Red[2] = 255;
    oddClamped.Blue[2] = 0;
    const TPaletteTable fifteen = BuildPaletteForPage(PalettePage::Fifteen, PanelColours{});
    struct Case {
        std::string path, name;
        const TPaletteTable& table;
        std::string head, tail;
        long lines;
        PaletteFile back;
    };
    const Case cases[] = {
        {"a/vga.MAP", "x", odd, "0 0 0\n0 0 168\n255 168 0\n0 ", "\n0 0 0\n", 256, {oddClamped, "vga"}},
        {"a/p.gpl", PalettePageName(PalettePage::Fifteen), fifteen,
         "GIMP Palette\nName: Quillon 15 colours\nColumns: 16\n255 255 255\n241 241 241\n", "\n238 238 238\n",
         3 + 256, {fifteen, "Quillon 15 colours"}},
        // a name that would break the file is kept on its one line
        {"p.gpl", "two\nlines\tand \xFF junk ", fifteen, "GIMP Palette\nName: two lines and   junk\nColumns: 16\n",
         "", 3 + 256, {fifteen, "two lines and   junk"}},
    };
    for (const Case& c : cases) {
        const std::string text = PaletteFileText(c.path, c.table, c.name);
        EXPECT_EQ(text.substr(0, c.head.size()), c.head) << c.path;
        EXPECT_EQ(text.substr(text.size() - c.tail.size()), c.tail) << c.path;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << c.path;
        EXPECT_EQ(text.find('\r'), std::string::npos) << c.path;
        EXPECT_EQ(ParsePalette(*PaletteFormatOfName(c.path), text, c.path), c.back) << c.path;
    }
    EXPECT_THROW(PaletteFileText("b.ggr", fifteen, "x"), PaletteFileError);
    EXPECT_THROW(PaletteFileText("b.txt", fifteen, "x"), PaletteFileError);

    EXPECT_EQ(PaletteFormatOfName("x.y/z.ggr"), PaletteFormat::Ggr);
    EXPECT_EQ(PaletteFormatOfName("x.map/readme"), std::nullopt);
    EXPECT_EQ(PaletteFormatOfName("map"), std::nullopt);
}

// Black to white across one segment: entry k sits at k/255. Expected values
// worked out by hand from each blending's definition.
TEST(GgrFile, EveryBlendingType)
{
    struct Case {
        const char* what;
        std::string middle;
        int blending;
        std::vector<std::pair<int, int>> entries; // entry, grey level
    };
    const Case cases[] = {
        {"linear, middle in the centre", "0.500000", 0, {{0, 0}, {51, 51}, {200, 200}, {255, 255}}},
        // middle 0.2: half way at 0.2 (127.5 rounds up), then 0.5 + 0.5 * 0.4 / 0.8 at 0.6.
        {"linear, middle moved", "0.200000", 0, {{0, 0}, {51, 128}, {153, 191}, {255, 255}}},
        // factor pos^(log 0.5 / log 0.25) = sqrt(pos): 0.2 -> 0.4472, 0.8 -> 0.8944.
        {"curved", "0.250000", 1, {{0, 0}, {51, 114}, {204, 228}, {255, 255}}},
        {"curved, middle at the right end", "1.000000", 1, {{0, 0}, {254, 0}, {255, 255}}},
        // (sin(-pi/2 + pi pos) + 1) / 2: 1/3 -> 0.25, 0.2 -> 0.0955, 0.8 -> 0.9045.
        {"sine", "0.500000", 2, {{0, 0}, {51, 24}, {85, 64}, {204, 231}, {255, 255}}},
        // The middle bends sine and spheres as it bends the linear blend: at
        // 0.2 the linear factor is 0.5, so sin 0, sqrt(0.75); at 0.6 it is 0.75.
        {"sine, middle moved", "0.200000", 2, {{51, 128}}},
        {"sphere increasing, middle moved", "0.200000", 3, {{51, 221}}},
        {"sphere decreasing, middle moved", "0.200000", 4, {{153, 86}}},
        // sqrt(1 - (pos - 1)^2): 0.2 -> 0.6, 0.6 -> 0.9165.
        {"sphere increasing", "0.500000", 3, {{0, 0}, {51, 153}, {153, 234}, {255, 255}}},
        // 1 - sqrt(1 - pos^2): 0.6 -> 0.2, 0.8 -> 0.4.
        {"sphere decreasing", "0.500000", 4, {{0, 0}, {153, 51}, {204, 102}, {255, 255}}},
        // the right colour from the middle on
        {"step", "0.200000", 5, {{0, 0}, {50, 0}, {51, 255}, {255, 255}}},
        {"step, centre", "0.500000", 5, {{127, 0}, {128, 255}}},
    };
    for (const Case& c : cases) {
        const PaletteFile p = ParseGgr(OneSegment(c.middle, c.blending), "g.ggr");
        EXPECT_EQ(p.name, "test");
        for (const auto& [k, grey] : c.entries)
            ExpectEntry(p.table, k, {grey, grey, grey}, c.what);
        for (int k = 1; k < 256; ++k)
            EXPECT_LE(p.table.Red[k - 1], p.table.Red[k]) << c.what << ": a blend from black to white never falls";
    }
}

TEST(GgrFile, EveryColouringType)
{
    // Magenta (hue 300) to yellow (hue 60), half way at entry 51 (middle 0.2, linear).
    const std::string magenta = "1 0 1 1", yellow = "1 1 0 1";
    struct Case {
        const char* what;
        int colouring;
        Rgb3 half;
    };
    const Case cases[] = {
        {"RGB: the channels' mean", 0, {255, 128, 128}},
        {"HSV counter-clockwise: upward through hue 0, red", 1, {255, 0, 0}},
        {"HSV clockwise: downward through hue 180, cyan", 2, {0, 255, 255}},
    };
    for (const Case& c : cases) {
        const PaletteFile p = ParseGgr(OneSegment("0.200000", 0, magenta, yellow, c.colouring), "g.ggr");
        ExpectEntry(p.table, 0, {255, 0, 255}, c.what);
        ExpectEntry(p.table, 51, c.half, c.what);
        ExpectEntry(p.table, 255, {255, 255, 0}, c.what);
    }
    // Saturation and value run linearly beside the hue: dark red (h 0, s 1, v 0.5)
    // to light blue (h 240, s 0.5, v 1), counter-clockwise; at the half h 120,
    // s 0.75, v 0.75: green (0.1875, 0.75, 0.1875).
    const PaletteFile p = ParseGgr(OneSegment("0.200000", 0, "0.5 0 0 1", "0.5 0.5 1 1", 1), "g.ggr");
    ExpectEntry(p.table, 51, {48, 191, 48}, "HSV with saturation and value");
}

// Red to red in HSV is the whole circle, not one colour: a third of the way
// along is green counter-clockwise and blue clockwise. Equal hues of another
// colour go round the same way, and RGB blending of equal ends stays put.
TEST(GgrFile, EqualHuesGoOnceRound)
{
    const std::string red = "1 0 0 1", cyan = "0 1 1 1";
    struct Case {
        const char* what;
        std::string left, right;
        int colouring;
        std::vector<std::pair<int, Rgb3>> entries;
    };
    const Case cases[] = {
        {"red to red, counter-clockwise", red, red, 1, {{0, {255, 0, 0}}, {85, {0, 255, 0}}, {170, {0, 0, 255}}, {255, {255, 0, 0}}}},
        {"red to red, clockwise", red, red, 2, {{0, {255, 0, 0}}, {85, {0, 0, 255}}, {170, {0, 255, 0}}, {255, {255, 0, 0}}}},
        {"cyan to cyan, counter-clockwise", cyan, cyan, 1, {{85, {255, 0, 255}}, {170, {255, 255, 0}}, {255, {0, 255, 255}}}},
        {"cyan to cyan, clockwise", cyan, cyan, 2, {{85, {255, 255, 0}}, {170, {255, 0, 255}}}},
        {"red to red in RGB", red, red, 0, {{85, {255, 0, 0}}, {170, {255, 0, 0}}}},
    };
    for (const Case& c : cases) {
        const PaletteFile p = ParseGgr(OneSegment("0.500000", 0, c.left, c.right, c.colouring), "g.ggr");
        for (const auto& [k, rgb] : c.entries)
            ExpectEntry(p.table, k, rgb, c.what);
    }
}

// A name with control characters (tabs, form feeds, DEL) reads as the writer
// writes it, blanks in their place, so it survives a save and a new load.
TEST(PaletteReaders, NamesReadAsTheyAreWritten)
{
    const std::string raw = "a\tb\vc\fd\x7F" "e\x01" "f ";
    const PaletteFile gpl = ParseGpl("GIMP Palette\nName: " + raw + "\n1 2 3\n", "x.gpl");
    const PaletteFile ggr = ParseGgr("GIMP Gradient\nName: " + raw + "\n1\n0 0.5 1 0 0 0 1 1 1 1 1 0 0\n", "x.ggr");
    for (const PaletteFile& p : {gpl, ggr}) {
        EXPECT_EQ(p.name, "a b c d e f");
        EXPECT_EQ(ParseGpl(FormatGpl(p.table, p.name), "x.gpl"), p);
    }
    EXPECT_EQ(ParseGpl("GIMP Palette\nName: \t\x01\n1 2 3\n", "dir/blank.gpl").name, "blank");
}

// More than 256 colours are sampled evenly: entry k is colour floor(k * n / 256).
TEST(PaletteReaders, LongFilesAreSampledEvenly)
{
    for (const int n : {257, 336, 448, 1000, 65536}) {
        std::string map, gpl = "GIMP Palette\nName: long\n";
        for (int c = 0; c < n; ++c) {
            const std::string line = std::to_string(c % 256) + " " + std::to_string(c / 256) + " 7\n";
            map += line;
            gpl += line + (c % 2 ? "" : "# a comment between colours\n");
        }
        for (const PaletteFile& p : {ParseMap(map, "long.map"), ParseGpl(gpl, "long.gpl")}) {
            for (int k = 0; k < 256; ++k) {
                const int c = static_cast<int>(static_cast<long long>(k) * n / 256);
                ExpectEntry(p.table, k, {c % 256, c / 256, 7}, ("n = " + std::to_string(n)).c_str());
            }
        }
    }
}

// Every kind of bad file: one message naming the file and the line.
TEST(PaletteFileErrors, NameTheFileAndTheLine)
{
    std::string tooMany;
    for (int k = 0; k < 65537; ++k)
        tooMany += "1 2 3\n";
    const std::string seg = "0 0.5 1 0 0 0 1 1 1 1 1 0 0\n";
    const std::string head = "GIMP Gradient\nName: g\n";
    struct Case {
        PaletteFormat format;
        std::string text;
        int line; // 0: the fault is the whole file's
        std::string reason;
    };
    const Case cases[] = {
        {PaletteFormat::Map, "0 0 256\n", 1, "256 is above 255"},
        {PaletteFormat::Map, "0 0 0\n0 -1 0\n", 2, "-1 is below 0"},
        {PaletteFormat::Map, "0 0 99999999999999999999\n", 1, "is above 255"},
        {PaletteFormat::Map, "0 0 0\n\n7 8\n", 3, "fewer than three numbers"},
        {PaletteFormat::Map, "0 x 0\n", 1, "'x' is not a whole number"},
        {PaletteFormat::Map, tooMany, 65537, "more than 65536 colours"},
        {PaletteFormat::Map, "0 0 0\n" + std::string("1 1\0 1\n", 7), 2, "NUL"},
        {PaletteFormat::Map, "\x89PNG\r\n\x1A\n", 1, "not a whole number"},
        {PaletteFormat::Map, "\n  \n", 0, "no colours"},
        {PaletteFormat::Gpl, "GIMP Palette X\n1 2 3\n", 1, "not a GIMP palette"},
        {PaletteFormat::Gpl, "1 2 3\n", 1, "not a GIMP palette"},
        {PaletteFormat::Gpl, "GIMP Palette\nName: x\n# c\n1 2\n", 4, "fewer than three numbers"},
        {PaletteFormat::Gpl, "GIMP Palette\n0 0 0 caf\xC3\n", 2, "not UTF-8"},
        {PaletteFormat::Gpl, "GIMP Palette\n# \xED\xA0\x80 surrogate\n", 2, "not UTF-8"},
        {PaletteFormat::Gpl, "GIMP Palette\n" + tooMany, 65538, "more than 65536 colours"},
        {PaletteFormat::Gpl, "GIMP Palette\nName: empty\n", 0, "no colours"},
        {PaletteFormat::Ggr, "GIMP Palette\n", 1, "not a GIMP gradient"},
        {PaletteFormat::Ggr, head, 2, "segment count is missing"},
        {PaletteFormat::Ggr, head + "two\n" + seg, 3, "not a segment count"},
        {PaletteFormat::Ggr, head + "0\n", 3, "not a segment count"},
        {PaletteFormat::Ggr, head + "2\n" + seg, 4, "the count says 2 segments, the file has 1"},
        {PaletteFormat::Ggr, head + "1\n" + seg + seg, 5, "more segments than the count of 1"},
        {PaletteFormat::Ggr, head + "1\n0 0.6 0.5 0 0 0 1 1 1 1 1 0 0\n", 4, "positions out of order"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1.5 0 0 0 1 1 1 1 1 0 0\n", 4, "1.5 is outside 0 to 1"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1 0 0 -0.1 1 1 1 1 1 0 0\n", 4, "-0.1 is outside 0 to 1"},
        {PaletteFormat::Ggr, head + "1\n0.1 0.5 1 0 0 0 1 1 1 1 1 0 0\n", 4, "starts at 0.1, not at 0"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 0.9 0 0 0 1 1 1 1 1 0 0\n", 4, "ends at 0.9, not at 1"},
        {PaletteFormat::Ggr, head + "2\n0 0.2 0.4 0 0 0 1 1 1 1 1 0 0\n0.5 0.7 1 0 0 0 1 1 1 1 1 0 0\n", 5,
         "not where the one before it ends"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1 0 0 0 1 1 1 1 1 6 0\n", 4, "'6' is not a blending type"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1 0 0 0 1 1 1 1 1 0 3\n", 4, "'3' is not a colouring type"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1 0 0 0 1 1 1 1 1 0 0 1 9\n", 4, "'9' is not an endpoint colour type"},
        {PaletteFormat::Ggr, head + "1\n0 0.5 1 0 0 0 1 1 1 1 1 0 0 1\n", 4, "this line has 14"},
        {PaletteFormat::Ggr, head + "1\n0 nan 1 0 0 0 1 1 1 1 1 0 0\n", 4, "'nan' is not a number"},
        {PaletteFormat::Ggr, "GIMP Gradient\nName: caf\xE9\n1\n" + seg, 2, "not UTF-8"},
        {PaletteFormat::Ggr, head + std::string("1\n\0", 3), 4, "NUL"},
    };
    for (const Case& c : cases) {
        const std::string path = "/tmp/in/bad-file";
        try {
            ParsePalette(c.format, c.text, path);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const PaletteFileError& e) {
            const std::string message = e.what();
            const std::string where = c.line ? path + ", line " + std::to_string(c.line) + ": " : path + ": ";
            EXPECT_EQ(message.substr(0, where.size()), where) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message << " lacks " << c.reason;
        }
    }
}
