// Tests of the RenderMan scene: layout, sampled points, number format and locale independence.
#include <clocale>
#include <cstdlib>
#include <locale>

#include "TestFiles.h"
#include "export/Scenes.h"

using namespace exporter;
using testfiles::TempDir;

namespace {

std::vector<std::string> ExportLines(const TempDir& dir, const std::vector<std::uint8_t>& buffer,
                                     const std::string& name = "scene")
{
    WriteRenderMan(dir / name, buffer);
    return testfiles::CrLfLines(testfiles::ReadText(dir / name));
}

bool GermanLocaleAvailable()
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        // Root can compile the locale from the installed sources; localedef
        // reports warnings through its exit status, so only the result counts.
        [[maybe_unused]] const int status = std::system("localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1");
    }
    std::setlocale(LC_ALL, "C");
    testfiles::GlobalLocale probe("de_DE.UTF-8");
    return probe.active();
}

} // namespace

TEST(RenderMan, LayoutAndSampledPoints)
{
    TempDir dir;
    const auto buffer = testfiles::PatternBuffer();
    const auto lines = ExportLines(dir, buffer);
    ASSERT_EQ(lines.size(), 31808u);
    EXPECT_EQ(lines[0], "version 3.03");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[4], "Option \"searchpath\" \"shader\" [\".:../shaders:&\"]");
    EXPECT_EQ(lines[6], "Projection \"perspective\"  \"fov\" [18]");
    EXPECT_EQ(lines[9], "ConcatTransform [0.995037 -0.0170699 -0.0980286 0 -0.0995037 -0.170699 -0.980286 0 "
                        "1.86265e-09 0.985175 -0.17155 0 0 0 0 1]");
    EXPECT_EQ(lines[23], "Patch \"bilinear\" \"P\" [-10 -10 0  10 -10 0  -10 10 0  10 10 0]");
    EXPECT_EQ(lines[28], "Translate  -0 -0 1");
    EXPECT_EQ(lines[29], "Rotate 0 0 0 0");
    EXPECT_EQ(lines[30], "");
    for (int k = 0; k < 205; ++k) {
        EXPECT_EQ(lines[31 + 155 * k], "PatchMesh \"bicubic\" 2 \"nonperiodic\" 153 \"nonperiodic\" \"P\" [") << k;
        EXPECT_EQ(lines[31 + 155 * k + 154], "]") << k;
    }
    EXPECT_EQ(lines[31806], "AttributeEnd");
    EXPECT_EQ(lines[31807], "WorldEnd");

    // Block 0, r = 1: cells (5, 0) = 65 and (5, 5) = 100 of the pattern.
    ASSERT_EQ(buffer[5 * 1024], 65);
    ASSERT_EQ(buffer[5 * 1024 + 5], 100);
    EXPECT_EQ(lines[32], "-3         -0.0390625 1.3              -2.9707    -0.0390625 2         ");
    // Block 101, r = 100: columns 505 and 510 of row 500.
    const std::size_t row500 = 500 * 1024;
    ASSERT_EQ(buffer[row500 + 505], 51);
    ASSERT_EQ(buffer[row500 + 510], 86);
    EXPECT_EQ(lines[31 + 155 * 101 + 100], "-0.0410156 -3.90625   1.02             -0.0117188 -3.90625   1.72      ");
}

TEST(RenderMan, ZeroBufferAndTheLastStrip)
{
    TempDir dir;
    std::vector<std::uint8_t> buffer(1024 * 768, 0);
    buffer[765 * 1024 + 1025] = 50; // column 1 of row 766: the right-hand points of the last strip
    buffer[765 * 1024 + 1023] = 200;
    const auto lines = ExportLines(dir, buffer);
    ASSERT_EQ(lines.size(), 31808u);
    EXPECT_EQ(lines[31 + 155 * 204 + 153], "2.97656    -5.97656   0                3.00586    -5.97656   1         ");
    int zeroZ = 0;
    for (int k = 0; k < 205; ++k)
        for (int r = 1; r <= 153; ++r) {
            const std::string& line = lines[31 + 155 * k + r];
            ASSERT_EQ(line.size(), 32u + 7u + 32u) << k << " " << r;
            zeroZ += line.compare(22, 10, "0         ") == 0;
            zeroZ += line.compare(61, 10, "0         ") == 0;
        }
    EXPECT_EQ(zeroZ, 205 * 153 * 2 - 1);
}

TEST(RenderMan, SameBytesTwiceAndUnderAGermanLocale)
{
    TempDir dir;
    const auto buffer = testfiles::PatternBuffer();
    WriteRenderMan(dir / "a", buffer);
    WriteRenderMan(dir / "b", buffer);
    const std::string a = testfiles::ReadText(dir / "a");
    EXPECT_EQ(a, testfiles::ReadText(dir / "b"));
    EXPECT_EQ(a.find(','), std::string::npos);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a", "b"})); // no extension added

    ASSERT_TRUE(GermanLocaleAvailable()) << "scripts/setup.sh generates de_DE.UTF-8";
    testfiles::GlobalLocale german("de_DE.UTF-8");
    ASSERT_TRUE(german.active());
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5"); // the locale really is in force
    WriteRenderMan(dir / "c", buffer);
    EXPECT_EQ(testfiles::ReadText(dir / "c"), a);
}

TEST(RenderMan, WriteFailuresAreReported)
{
    TempDir dir;
    const std::vector<std::uint8_t> buffer(1024 * 768, 7);
    EXPECT_THROW(WriteRenderMan(dir / "missing/x.rib", buffer), IoError);
    const std::string full = testfiles::FullDevice(dir);
    EXPECT_THROW(WriteRenderMan(full, buffer), IoError);
    EXPECT_TRUE(testfiles::IsCharDevice(full));
}
