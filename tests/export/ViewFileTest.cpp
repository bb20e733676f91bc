// View files: the text round trip, defaults, the exact region against its decimals, and every kind of bad file.
#include <fcntl.h>
#include <unistd.h>

#include "RenderRun.h"
#include "TestFiles.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"

using namespace exporter;
using testfiles::TempDir;

namespace {

ViewDocument Sample()
{
    ViewDocument d = DefaultView(*fractals::FindView("FormRN4.SBAL3"));
    d.region.SetRegionByCorners(-0.123456789L, 0.5L, -1.0e-7L, 3.25L);
    d.page = colour::PalettePage::Fifteen;
    d.panels.two = {0x123456, 0xABCDEF};
    d.panels.fifteen[14] = 0x00FF7F;
    d.adjust = colour::ColourAdjust{200, 7, 10, -20, -255};
    d.picture = PictureSettings{3840, 2160, 3, true};
    LoadedPalette p{"Sunset ü # = x", {}};
    for (int k = 0; k < 256; ++k) {
        p.table.Red[k] = k;
        p.table.Green[k] = 255 - k;
        p.table.Blue[k] = (k * 7) & 0xFF;
    }
    d.loadedPalette = p;
    return d;
}

// The text with every line whose key starts with `key` (followed by " =") removed.
std::string Without(const std::string& text, const std::string& key)
{
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start) + 1;
        const std::string line = text.substr(start, end - start);
        if (line.rfind(key + " =", 0) != 0)
            out += line;
        start = end;
    }
    return out;
}

// The text with the value of `key`'s line replaced.
std::string WithValue(const std::string& text, const std::string& key, const std::string& value)
{
    const std::size_t at = text.find("\n" + key + " = ");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos)
        return text;
    const std::size_t from = at + key.size() + 4;
    return text.substr(0, from) + value + text.substr(text.find('\r', from));
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(ViewFile, TextRoundTripKeepsEveryField)
{
    const ViewDocument d = Sample();
    const std::string text = ViewText(d);
    EXPECT_EQ(ParseView(text, "v.qview"), d);
    EXPECT_EQ(text.rfind("# Quillon view", 0), 0u);
    EXPECT_NE(text.find("\r\nview = FormRN4.SBAL3\r\n"), std::string::npos);
    // LF-only line ends, as an editor may leave them, read the same.
    std::string lf;
    for (char c : text)
        if (c != '\r')
            lf += c;
    EXPECT_EQ(ParseView(lf, "v.qview"), d);
}

TEST(ViewFile, MissingKeysTakeTheViewDefaultsAndUnknownKeysAreIgnored)
{
    for (const fractals::View* view : {fractals::FindView("FormJU3"), fractals::FindView("Form1"),
                                       fractals::FindView("FormRN6.SBAL5")}) {
        const ViewDocument d = ParseView("quillon-view = 1\nview = " + view->id + "\nsparkle = 12\n", "v");
        EXPECT_EQ(d, DefaultView(*view)) << view->id;
        EXPECT_EQ(d.adjust.colourOffset, view->window->colourOffset);
    }
    // A newer version with keys this program does not know.
    const ViewDocument d = ParseView("quillon-view = 7\nview = FormJU3\nrotation = 5\nlayers = 3\n", "v");
    EXPECT_EQ(d.adjust.rotation, 5);
}

TEST(ViewFile, ExactRegionWinsAndDecimalsAloneAreReadToTheSameValues)
{
    const ViewDocument d = Sample();
    const std::string text = ViewText(d);
    // Decimals only: narrowed to the 6-byte values they were written from.
    std::string decimals = text;
    for (const char* key : {"x-start", "x-width", "y-start", "y-height"})
        decimals = Without(decimals, key);
    EXPECT_EQ(ParseView(decimals, "v").region, d.region);
    // Exact and decimal disagree: the exact value counts.
    const std::string disagree = WithValue(text, "x-width-decimal", "99");
    EXPECT_EQ(ParseView(disagree, "v").region, d.region);
    // Decimal alone, edited: that value, narrowed.
    const ViewDocument edited = ParseView(Without(disagree, "x-width"), "v");
    EXPECT_EQ(edited.region.XWidth, engine::Real48::FromExtended(99.0L));
}

// A frame's region between 6-byte values is kept exactly in the extended
// keys; a region on 6-byte values writes none, so older files stay as they were.
TEST(ViewFile, ExtendedRegionIsKeptExactlyAndOnlyWhenNeeded)
{
    ViewDocument d = Sample();
    const std::string sixByte = ViewText(d);
    d.SetDrawnRegion(d.region.Values());
    EXPECT_FALSE(d.extendedRegion);
    EXPECT_EQ(ViewText(d), sixByte);
    EXPECT_EQ(sixByte.find("-extended"), std::string::npos);

    const engine::RegionValues between{-0.123456789012345678L, 0.6234567890123456789L, -1.0e-7L / 3, 3.25L};
    d.SetDrawnRegion(between);
    ASSERT_TRUE(d.extendedRegion);
    const std::string text = ViewText(d);
    const ViewDocument back = ParseView(text, "v");
    EXPECT_EQ(back, d);
    EXPECT_EQ(back.DrawnRegion(), between); // every bit
    EXPECT_EQ(back.region.XStart, engine::Real48::FromExtended(between.XStart)); // the window's nearest
    // 1.0 in the layout the format states: sign and exponent 3fff, significand with its integer bit.
    const ViewDocument one = ParseView(WithValue(text, "y-height-extended", "3fff8000000000000000"), "v");
    EXPECT_EQ(one.DrawnRegion().YHeight, 1.0L);
    // The exact extended value wins over the 6-byte lines, as the 6-byte one wins over the decimal.
    EXPECT_EQ(ParseView(WithValue(text, "x-start", "8100000000c0"), "v").DrawnRegion(), between);

    const struct {
        std::string text;
        std::string expect;
    } bad[] = {
        {Without(text, "x-width-extended"), "the extended region lacks its line 'x-width-extended'"},
        {WithValue(text, "x-start-extended", "3fff800000000000000"), "'x-start-extended' must be 20 hex digits"},
        {WithValue(text, "x-start-extended", "7fff8000000000000000"), "'x-start-extended' must be 20 hex digits"},
        {WithValue(text, "x-start-extended", "3fff0000000000000001"), "'x-start-extended' must be 20 hex digits"},
        {WithValue(text, "x-start-extended", "3fff80000000000000g0"), "'x-start-extended' must be 20 hex digits"},
        {WithValue(text, "y-start-extended", "43ff8000000000000000"), "the extended region is beyond the range"},
    };
    for (const auto& b : bad) {
        try {
            ParseView(b.text, "v");
            ADD_FAILURE() << b.expect;
        } catch (const ViewFileError& e) {
            EXPECT_NE(std::string(e.what()).find(b.expect), std::string::npos) << e.what();
        }
    }
}

// Each bad file is refused by quillon-render with one line naming the file
// (and the line at fault) and status 2, and no picture is written.
TEST(ViewFile, BadFilesAreRefusedNamingFileAndLine)
{
    TempDir dir;
    const std::string good = ViewText(Sample());
    struct Case {
        const char* name;
        std::string text;
        std::string expect; // in the message after the file name
    };
    std::string junk;
    for (int k = 0; k < 300; ++k)
        junk += static_cast<char>((k * 89 + 7) & 0xFF);
    // Line numbers are those of Sample()'s text: view on 3, the region on 7
    // to 14, colours on 17 to 24, the loaded palette on 26 to 42, the picture on 44 to 46.
    const std::vector<Case> cases = {
        {"not-a-view", "[Desktop Entry]\nName=x\n", ", line 1: not a Quillon view file"},
        {"plain-text", "# notes\n\nhello world\n", ", line 3: not a Quillon view file"},
        {"empty", "", ": empty, not a Quillon view file"},
        {"unknown-id", WithValue(good, "view", "FormRN9"), ", line 3: unknown view 'FormRN9'"},
        {"no-id", Without(good, "view"), ", line 45: the file ends without the view id"},
        {"rotation", WithValue(good, "rotation", "201"), ", line 22: the rotation must be"},
        {"rgb", WithValue(good, "rgb", "10,-20,-256"), ", line 23: each of 'rgb'"},
        {"offset", WithValue(good, "colour-offset", "256"), ", line 24: the colour offset"},
        {"colour", WithValue(good, "colours-2", "0x1123456,0"), ", line 18: a colour must be"},
        {"palette", WithValue(good, "palette", "16"), ", line 17: the palette must be"},
        {"size", WithValue(good, "size", "65536x2"), ", line 44: the size must be"},
        {"supersample", WithValue(good, "supersample", "9"), ", line 45: supersample must"},
        {"nan", WithValue(Without(good, "y-height"), "y-height-decimal", "nan"), ", line 13: 'y-height-decimal' is out of range"},
        {"huge", WithValue(Without(good, "x-start"), "x-start-decimal", "1e39"), ", line 7: 'x-start-decimal' is out of range"},
        {"garbled", WithValue(good, "x-start-decimal", "1.5.2"), ", line 8: 'x-start-decimal' must be a decimal number"},
        {"bad-hex", WithValue(good, "x-width", "12345"), ", line 9: 'x-width' must be 12 hex digits"},
        {"twice", good + "rotation = 3\r\n", ", line 47: 'rotation' is given twice (first on line 22)"},
        {"truncated", good.substr(0, good.find("rotation = 7") + 11), ", line 22: the file ends in the middle"},
        {"palette-cut", Without(good, "loaded-colours-128"), ", line 26: the loaded palette lacks its line"},
        {"binary", junk, ", line 1: not text"},
        {"nul", Replace(good, "rotation = 7", std::string("rotation = 7\0", 13)), ", line 22: not text (byte 0x00)"},
    };
    for (const Case& c : cases) {
        const std::string path = dir / (std::string(c.name) + ".qview");
        testfiles::WriteBytes(path, std::vector<std::uint8_t>(c.text.begin(), c.text.end()));
        const testfiles::RunResult run = testfiles::Render(dir, {"--open", path, "--bmp", dir / "out.bmp", "--png",
                                                                 dir / "out.png", "--save-view", dir / "out.qview"});
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_EQ(run.stderrText.rfind("quillon-render: " + path + c.expect, 0), 0u) << c.name << ": " << run.stderrText;
        EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.bmp") || std::filesystem::exists(dir / "out.png") ||
                     std::filesystem::exists(dir / "out.qview"))
            << c.name;
    }
    // A 1 GB file (sparse) is refused by its size before any of it is read.
    const std::string huge = dir / "huge.qview";
    {
        const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
        ::close(fd);
    }
    try {
        ReadViewFile(huge);
        ADD_FAILURE() << "a 1 GB file was read";
    } catch (const ViewFileError& e) {
        EXPECT_EQ(std::string(e.what()), huge + ": 1073741824 bytes is too large for a view file (at most 1 MiB)");
    }
    // A PNG without a view, and a file that is not there.
    const std::string png = dir / "plain.png";
    {
        auto writer = OpenPngWriter(png, 2, 2);
        const std::uint8_t row[6] = {1, 2, 3, 4, 5, 6};
        writer->WriteRow(row);
        writer->WriteRow(row);
        writer->Finish();
    }
    try {
        ReadViewFile(png);
        ADD_FAILURE() << "a PNG without a view was read";
    } catch (const ViewFileError& e) {
        EXPECT_EQ(std::string(e.what()), png + ": a PNG picture that carries no Quillon view");
    }
    // A picture cut short inside its view chunk.
    const std::string cut = dir / "cut.png";
    {
        auto writer = OpenPngWriter(cut, 2, 1, {{kPngViewKeyword, good}});
        const std::uint8_t row[6] = {1, 2, 3, 4, 5, 6};
        writer->WriteRow(row);
        writer->Finish();
        auto bytes = testfiles::ReadBytes(cut);
        bytes.resize(200);
        testfiles::WriteBytes(cut, bytes);
    }
    try {
        ReadViewFile(cut);
        ADD_FAILURE() << "a cut PNG was read";
    } catch (const ViewFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(cut + ": not a readable PNG picture (", 0), 0u) << e.what();
    }
    EXPECT_THROW(ReadViewFile(dir / "missing.qview"), ViewFileError);
}
