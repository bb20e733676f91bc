// Bounded fuzz of the files users bring: view files, the three palette formats and the view chunk of a PNG picture.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ParserOracles.h"
#include "fractals/Catalogue.h"

namespace {

// Pieces of the formats' grammars and of what breaks them: numbers at and past
// their limits, line ends of every kind, NUL, broken UTF-8, keys and headers.
const char* const kTokens[] = {
    "nan", "inf", "-", "-0", "1e400", "0x", "0x1000000", "99999999999999999999", "255", "256", "-256", "65535",
    "65536", "0", "1", "0.5", "1.000001", "\r", "\n", "\r\n", "\t", " ", "#", "=", " = ", ",", ":", "\xC3",
    "\xED\xA0\x80", "\xEF\xBB\xBF", "\x1A", "\x7F", "Name:", "Name: \x01\tx\x7F", "Columns: 16\n", "GIMP Palette\n",
    "GIMP Gradient\n", "quillon-view = 1\r\n", "view = FormJU3\r\n", "view = Form1\r\n", "palette = 15\r\n",
    "size = 2x2\r\n", "supersample = 8\r\n", "widened = yes\r\n", "loaded-palette = x\r\n", "x-start = ",
    "x-width-extended = 3fff8000000000000000\r\n", "7fff8000000000000000", "3ffe", "ffffffffffff", "000000000000"};

class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : rng_(seed) {}

    std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }

    std::string Mutate(std::string s)
    {
        for (std::size_t n = 1 + Pick(4); n > 0; --n) {
            const std::size_t at = Pick(s.size() + 1);
            switch (Pick(7)) {
            case 0: // any byte
                if (at < s.size())
                    s[at] = static_cast<char>(Pick(256));
                break;
            case 1:
                s.insert(at, kTokens[Pick(std::size(kTokens))]);
                break;
            case 2: // a cut
                s.erase(at, Pick(24));
                break;
            case 3: { // a repeated stretch, often a whole line
                const std::size_t length = Pick(80);
                s.insert(Pick(s.size() + 1), s.substr(at, length));
                break;
            }
            case 4: // a digit changed
                if (at < s.size() && s[at] >= '0' && s[at] <= '9')
                    s[at] = static_cast<char>('0' + Pick(10));
                else if (at < s.size())
                    s[at] = "0123456789abcdefx-.e"[Pick(20)];
                break;
            case 5: // cut short
                s.resize(at);
                break;
            default: { // two lines swapped
                const std::size_t a = s.rfind('\n', at), b = s.find('\n', at);
                if (a != std::string::npos && b != std::string::npos && a < b) {
                    const std::string line = s.substr(a + 1, b - a);
                    s.erase(a + 1, b - a);
                    s.insert(Pick(s.size() + 1), line);
                }
                break;
            }
            }
        }
        return s;
    }

private:
    std::mt19937_64 rng_;
};

std::vector<std::string> ViewSeeds()
{
    std::vector<std::string> seeds;
    for (const char* id : {"FormJU3", "Form1", "FormRN4.SBAL3", "FormTamo1"}) {
        const fractals::View* view = fractals::FindView(id);
        if (!view)
            continue;
        exporter::ViewDocument doc = exporter::DefaultView(*view);
        seeds.push_back(exporter::ViewText(doc));
        doc.page = colour::PalettePage::Fifteen;
        doc.adjust = {7, 150, -255, 3, 255};
        doc.picture = {640, 2, 8, true};
        exporter::LoadedPalette loaded{"fire # one", {}};
        for (int k = 0; k < 256; ++k)
            loaded.table.Red[k] = k, loaded.table.Green[k] = 255 - k, loaded.table.Blue[k] = k / 2;
        doc.loadedPalette = loaded;
        engine::RegionValues between = doc.region.Values();
        between.XStart += between.XWidth / 3e7L;
        doc.SetDrawnRegion(between);
        seeds.push_back(exporter::ViewText(doc));
    }
    return seeds;
}

const std::string kGradientSeed = "GIMP Gradient\nName: Mixed\n3\n"
                                  "0.000000 0.200000 0.300000 1 0 0 1 1 0 0 1 0 1\n"
                                  "0.300000 0.400000 0.700000 0 1 0 1 0 0 1 0.5 3 2 0 0\n"
                                  "0.700000 0.900000 1.000000 0.2 0.4 0.6 1 1 1 1 1 5 0 1 2\n";

const std::string kPaletteSeed = "GIMP Palette\nName: Swatches\nColumns: 4\n# a comment\n"
                                 "  0   0   0\tBlack\n255 128   7 Orange\n 12  34  56\n255 255 255 White\n";

const std::string kMapSeed = "0 0 0 black\n255 128 7   ; a comment\n\t12\t34\t56 Gr\xC3\xBCn\n\n  1   2   3\r\n";

// The 4-byte CRC of a chunk's type and data, as the PNG format defines it.
std::uint32_t Crc32(std::string_view bytes)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c ^ 0xFFFFFFFFu;
}

std::string Chunk(const std::string& type, const std::string& data)
{
    const auto be32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    return be32(static_cast<std::uint32_t>(data.size())) + type + data + be32(Crc32(type + data));
}

// A 1 x 1 grey PNG whose iTXt chunk carries `text` under the view keyword.
std::string PngWithView(const std::string& text)
{
    const std::string ihdr("\0\0\0\1\0\0\0\1\x08\x00\0\0\0", 13);
    // zlib stream of one stored block holding the filter byte and one grey pixel
    const std::string idat("\x78\x01\x01\x02\x00\xFD\xFF\x00\x80\x00\x82\x00\x81", 13);
    return std::string("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", ihdr) +
           Chunk("iTXt", std::string(exporter::kPngViewKeyword) + std::string("\0\0\0\0\0", 5) + text) +
           Chunk("IDAT", idat) + Chunk("IEND", "");
}

// Runs `check` on every seed and on `count` mutants of them; stops after ten failures.
template <class Check>
void Fuzz(std::uint64_t seed, const std::vector<std::string>& seeds, int count, Check check)
{
    Mutator mutator(seed);
    int failures = 0;
    for (const std::string& s : seeds)
        EXPECT_EQ(check(s), "") << "seed: " << s;
    for (int k = 0; k < count && failures < 10; ++k) {
        const std::string input = mutator.Mutate(seeds[mutator.Pick(seeds.size())]);
        const std::string problem = check(input);
        if (!problem.empty()) {
            ADD_FAILURE() << "input " << k << ": " << problem << "\n--- input ---\n" << input;
            ++failures;
        }
    }
}

} // namespace

TEST(FuzzParsers, ViewFilesAreRefusedOrReadBackEqual)
{
    Fuzz(2501, ViewSeeds(), 6000, [](const std::string& s) { return oracle::CheckViewText(s); });
}

TEST(FuzzParsers, PaletteFilesAreRefusedOrReadBackEqual)
{
    using colour::PaletteFormat;
    const std::vector<std::string> all = {kMapSeed, kPaletteSeed, kGradientSeed};
    for (const PaletteFormat format : {PaletteFormat::Map, PaletteFormat::Gpl, PaletteFormat::Ggr}) {
        // Each format's own seed, and the other formats' as strangers.
        std::vector<std::string> seeds = all;
        std::swap(seeds[0], seeds[static_cast<std::size_t>(format)]);
        seeds.insert(seeds.end(), 3, seeds[0]);
        Fuzz(2502 + static_cast<std::uint64_t>(format), seeds, 4000,
             [format](const std::string& s) { return oracle::CheckPaletteText(format, s); });
    }
}

TEST(FuzzParsers, PngViewChunksAreRefusedOrReadBackEqual)
{
    const std::vector<std::string> views = ViewSeeds();
    std::vector<std::string> pictures;
    for (const std::string& v : views)
        pictures.push_back(PngWithView(v));
    // The seeds must reach the view parser, or the mutants below test libpng alone.
    for (const std::string& p : pictures)
        ASSERT_TRUE(exporter::ReadPngTextFromBytes(p, "seed.png", exporter::kPngViewKeyword).has_value());
    // Mutated views in well-formed pictures reach the view parser through the
    // chunk reader; mutated picture bytes reach libpng's own checks.
    Fuzz(2506, views, 1500, [&](const std::string& s) { return oracle::CheckPngView(PngWithView(s)); });
    Fuzz(2507, pictures, 1500, [](const std::string& s) { return oracle::CheckPngView(s); });
    EXPECT_EQ(oracle::CheckPngView(""), "");
    EXPECT_THROW(exporter::ReadPngTextFromBytes("", "empty.png", exporter::kPngViewKeyword), exporter::IoError);
}
