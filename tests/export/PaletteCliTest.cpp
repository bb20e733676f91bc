// quillon-render with palette files: --palette-file in place of the VGA table, --save-palette, and their refusals.
#include <filesystem>
#include <set>

#include <QImage>

#include "RenderRun.h"
#include "TestFiles.h"
#include "colour/Palette.h"
#include "export/ViewFile.h"

using testfiles::Render;
using testfiles::RunResult;
using testfiles::TempDir;

namespace {

struct CliRgb {
    int r, g, b;
};

// The text a .map of these colours has: "R G B" and LF, one colour a line.
std::string MapText(const std::vector<CliRgb>& colours, const std::string& comment = "")
{
    std::string text;
    for (const CliRgb& c : colours)
        text += std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + comment + "\n";
    return text;
}

std::vector<CliRgb> TableColours(const colour::TPaletteTable& t)
{
    std::vector<CliRgb> colours;
    for (int k = 0; k < 256; ++k)
        colours.push_back({t.Red[k], t.Green[k], t.Blue[k]});
    return colours;
}

void WriteText(const std::string& path, const std::string& text)
{
    testfiles::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

int Clamp(int n) { return n < 0 ? 0 : n > 255 ? 255 : n; }

} // namespace

// A 256-line .map in place of the VGA table, with rotation, colour offset and
// R/G/B offsets: every pixel worked out here from the raw values and the
// file's numbers. The view and PNG carry the palette, so both reopen to the
// same bitmap without the .map.
TEST(PaletteCli, MapFileTakesThePlaceOfTheVgaTable)
{
    TempDir in, dir;
    std::vector<CliRgb> colours;
    for (int k = 0; k < 256; ++k)
        colours.push_back({(k * 37 + 11) % 256, (k * k) % 256, (200 + k * 5) % 256});
    WriteText(in / "fire.map", MapText(colours, "  a comment"));

    const int width = 128, height = 96, rotation = 13, offset = 200, dr = 40, dg = -60, db = 7;
    RunResult run = Render(dir, {"--view", "FormJU3", "--palette-file", in / "fire.map", "--rotate",
                                 std::to_string(rotation), "--offset", std::to_string(offset), "--rgb", "40,-60,7",
                                 "--size", "128x96", "--raw", dir / "a.raw", "--bmp", dir / "a.bmp", "--png",
                                 dir / "a.png", "--save-view", dir / "v.qview"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const auto raw = testfiles::ReadBytes(dir / "a.raw");
    ASSERT_EQ(raw.size(), static_cast<std::size_t>(width * height));
    EXPECT_GT(std::set<std::uint8_t>(raw.begin(), raw.end()).size(), 10u) << "too few values to tell palettes apart";
    const auto bitmap = testfiles::ReadBytes(dir / "a.bmp");
    const QImage picture(QString::fromStdString(dir / "a.bmp"), "BMP");
    ASSERT_EQ(picture.size(), QSize(width, height));
    for (std::size_t p = 0; p < raw.size(); ++p) {
        const CliRgb& c = colours[(raw[p] + offset + rotation) % 256];
        const int x = static_cast<int>(p % width), y = static_cast<int>(p / width);
        ASSERT_EQ(picture.pixel(x, y), qRgb(Clamp(c.r + dr), Clamp(c.g + dg), Clamp(c.b + db))) << x << "," << y;
    }

    const exporter::ViewDocument view = exporter::ReadViewFile(dir / "v.qview");
    ASSERT_TRUE(view.loadedPalette.has_value());
    EXPECT_EQ(view.loadedPalette->name, "fire");
    EXPECT_EQ(MapText(TableColours(view.loadedPalette->table)), MapText(colours));
    EXPECT_EQ(view.page, colour::PalettePage::Vga);

    std::filesystem::remove(in / "fire.map");
    for (const std::string& opened : {dir / "v.qview", dir / "a.png"}) {
        run = Render(dir, {"--open", opened, "--bmp", dir / "b.bmp"});
        ASSERT_EQ(run.status, 0) << opened << ": " << run.stderrText;
        EXPECT_EQ(testfiles::ReadBytes(dir / "b.bmp"), bitmap) << opened;
    }

    // A palette file given with --open replaces the one the view carries.
    WriteText(in / "sea.gpl", "GIMP Palette\nName: Deep sea\n0 0 40\n0 90 160\n");
    run = Render(dir, {"--open", dir / "v.qview", "--palette-file", in / "sea.gpl", "--bmp", dir / "c.bmp",
                       "--save-view", dir / "w.qview"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_NE(testfiles::ReadBytes(dir / "c.bmp"), bitmap);
    const exporter::ViewDocument replaced = exporter::ReadViewFile(dir / "w.qview");
    ASSERT_TRUE(replaced.loadedPalette.has_value());
    EXPECT_EQ(replaced.loadedPalette->name, "Deep sea");
    EXPECT_EQ(replaced.region, view.region);
}

// --save-palette writes the page's palette as built: rotation and offsets do
// not enter it, and a loaded file (any of the three formats) is written back
// as its 256 entries.
TEST(PaletteCli, SavePaletteWritesThePageAsBuilt)
{
    TempDir in, dir;
    WriteText(in / "sea.gpl", "GIMP Palette\nName: Deep sea\n# three colours\n0 0 40 abyss\n0 90 160\n250 250 255 foam\n");
    WriteText(in / "grey.ggr", "GIMP Gradient\nName: Grey\n1\n0 0.5 1 0 0 0 1 1 1 1 1 0 0\n");
    std::vector<CliRgb> sea, grey;
    const CliRgb seaColours[] = {{0, 0, 40}, {0, 90, 160}, {250, 250, 255}};
    for (int k = 0; k < 256; ++k) {
        sea.push_back(seaColours[k % 3]);
        grey.push_back({k, k, k});
    }
    ASSERT_EQ(Render(in, {"--view", "FormJU3", "--palette", "2", "--save-view", in / "two.qview"}).status, 0);
    colour::PanelColours three;
    three.three = {0xFF0000, 255, 0x00FF80};
    auto page = [](colour::PalettePage p, const colour::PanelColours& panels = {}) {
        return TableColours(colour::BuildPaletteForPage(p, panels));
    };
    struct Case {
        std::vector<std::string> args;
        std::vector<CliRgb> expected;
    };
    const std::vector<Case> cases = {
        {{"--palette", "2"}, page(colour::PalettePage::Two)},
        {{"--palette", "3", "--colours", "0xFF0000,255,0x00FF80"}, page(colour::PalettePage::Three, three)},
        {{"--palette", "15"}, page(colour::PalettePage::Fifteen)},
        {{}, TableColours(colour::DefaultVgaPalette)},
        {{"--view", "FormJU3", "--palette", "2", "--rotate", "50", "--rgb", "9,-9,200", "--offset", "3"},
         page(colour::PalettePage::Two)},
        {{"--palette-file", in / "sea.gpl"}, sea},
        {{"--palette-file", in / "grey.ggr", "--palette", "vga", "--rotate", "100"}, grey},
        {{"--open", in / "two.qview"}, page(colour::PalettePage::Two)},
        {{"--open", in / "two.qview", "--palette-file", in / "sea.gpl"}, sea},
    };
    for (const Case& c : cases) {
        const RunResult run = Render(dir, testfiles::Join(c.args, {"--save-palette", dir / "p.map"}));
        ASSERT_EQ(run.status, 0) << run.stderrText;
        EXPECT_EQ(testfiles::ReadText(dir / "p.map"), MapText(c.expected)) << testfiles::RenderCommand(c.args);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"p.map"});
    }

    // A .gpl keeps the name: the page's, or the loaded file's.
    ASSERT_EQ(Render(dir, {"--palette", "2", "--save-palette", dir / "two.gpl"}).status, 0);
    ASSERT_EQ(Render(dir, {"--palette-file", in / "sea.gpl", "--save-palette", dir / "sea.gpl"}).status, 0);
    const std::string two = testfiles::ReadText(dir / "two.gpl"), saved = testfiles::ReadText(dir / "sea.gpl");
    EXPECT_EQ(two.rfind("GIMP Palette\nName: Quillon 2 colours\n", 0), 0u) << two;
    EXPECT_EQ(saved.rfind("GIMP Palette\nName: Deep sea\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("\n250 250 255"), std::string::npos);
}

// Refused combinations and bad palette files: status 2, one line naming the
// file (and the line at fault, where there is one), nothing written.
TEST(PaletteCli, RefusalsWriteNothing)
{
    TempDir in, dir;
    WriteText(in / "good.map", "1 2 3\n");
    WriteText(in / "over.map", "0 0 0\n1 2 300\n");
    WriteText(in / "short.gpl", "GIMP Palette\n1 2 3\n4 5\n");
    WriteText(in / "count.ggr", "GIMP Gradient\n2\n0 0.5 1 0 0 0 1 1 1 1 1 0 0\n");
    WriteText(in / "junk.map", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    WriteText(in / "huge.map", "");
    std::filesystem::resize_file(in / "huge.map", (1 << 20) + 1);

    struct Case {
        std::vector<std::string> args;
        std::string named; // in the message
    };
    const std::string out = dir / "x.bmp";
    const std::vector<Case> cases = {
        {{"--view", "FormJU3", "--palette", "2", "--palette-file", in / "good.map", "--bmp", out}, "--palette 2"},
        {{"--palette-file", in / "good.map", "--palette", "15", "--save-palette", dir / "p.map"}, "--palette 15"},
        {{"--palette", "2", "--save-palette", dir / "p.ggr"}, "p.ggr"},
        {{"--view", "FormJU3", "--bmp", out, "--save-palette", dir / "palette"}, "palette"},
        {{"--palette-file", in / "missing.map", "--save-palette", dir / "p.map"}, "missing.map"},
        {{"--view", "FormJU3", "--palette-file", in / "over.map", "--bmp", out}, "over.map, line 2"},
        {{"--palette-file", in / "short.gpl", "--save-palette", dir / "p.map"}, "short.gpl, line 3"},
        {{"--palette-file", in / "count.ggr", "--save-palette", dir / "p.gpl"}, "count.ggr, line"},
        {{"--view", "FormJU3", "--palette-file", in / "junk.map", "--png", dir / "x.png"}, "junk.map"},
        {{"--view", "FormJU3", "--palette-file", in / "huge.map", "--raw", dir / "x.raw"}, "huge.map"},
        {{"--palette-file", in / "good.map"}, "--view ID or --open FILE"},
    };
    for (const Case& c : cases) {
        testfiles::ExpectRefused(dir, c.args);
        EXPECT_NE(Render(dir, c.args).stderrText.find(c.named), std::string::npos) << c.named;
    }
}
