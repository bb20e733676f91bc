// Tests of the block-buffered writer, the TGA height image and the POV-Ray scene text.
#include "TestFiles.h"
#include "export/Scenes.h"

using namespace exporter;
using testfiles::TempDir;

namespace {

std::vector<std::uint8_t> BgrBytes(std::uint8_t b, std::uint8_t g, std::uint8_t r) { return {b, g, r}; }

std::vector<std::uint8_t> MapEntry(const std::vector<std::uint8_t>& file, int n)
{
    const auto at = file.begin() + 18 + 3 * n;
    return std::vector<std::uint8_t>(at, at + 3);
}

} // namespace

TEST(Iodisk, WritesInPlaceAndKeepsTheRestOfAnExistingFile)
{
    TempDir dir;
    const std::string path = dir / "data";
    std::vector<std::uint8_t> old(5000);
    for (std::size_t i = 0; i < old.size(); ++i)
        old[i] = static_cast<std::uint8_t>(i % 251);
    testfiles::WriteBytes(path, old);

    IODISK f;
    f.Open(path);
    EXPECT_EQ(f.validBytes, 2048);
    for (int p = 0; p < 10; ++p)
        f.WriteByte(p, 0xEE);
    f.WriteByte(4100, 0x11); // block 2: block 0 goes back first
    f.Close();
    EXPECT_EQ(f.blockWrites, 2);
    EXPECT_EQ(f.blockReads, 2);

    std::vector<std::uint8_t> want = old;
    std::fill(want.begin(), want.begin() + 10, 0xEE);
    want[4100] = 0x11;
    EXPECT_EQ(testfiles::ReadBytes(path), want);
}

TEST(Iodisk, AGapInANewFileReadsAsZeros)
{
    TempDir dir;
    const std::string path = dir / "sparse";
    IODISK f;
    f.Open(path);
    for (int p = 0; p < 2048; ++p)
        f.WriteByte(p, 0x7F); // fills the buffer with non-zero bytes
    f.WriteByte(3000, 0x42);  // block 1 starts empty: its first 952 bytes are a gap
    f.Close();
    const auto bytes = testfiles::ReadBytes(path);
    ASSERT_EQ(bytes.size(), 3001u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 2048, 0x7F), 2048);
    EXPECT_EQ(std::count(bytes.begin() + 2048, bytes.begin() + 3000, 0), 952);
    EXPECT_EQ(bytes[3000], 0x42);
}

TEST(Iodisk, FailuresThrowWithTheReason)
{
    TempDir dir;
    auto expectFailure = [](const std::string& path, const char* reason) {
        try {
            IODISK f;
            f.Open(path);
            f.WriteByte(0, 1);
            f.Close();
            ADD_FAILURE() << "writing " << path << " succeeded";
        } catch (const IoError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    };
    expectFailure(dir / "missing/x.tga", "No such file or directory");
    testfiles::WriteBytes(dir / "file.txt", {1, 2, 3});
    expectFailure(dir / "file.txt/x.tga", "Not a directory");
    const std::string full = testfiles::FullDevice(dir);
    expectFailure(full, "No space left on device");
    EXPECT_TRUE(testfiles::IsCharDevice(full));
    EXPECT_EQ(testfiles::ReadBytes(dir / "file.txt"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(TgaHeader, TemplateAndSizeFields)
{
    InitTgaHeader();
    EXPECT_EQ(TgaHeader[12], 500 % 256);
    EXPECT_EQ(TgaHeader[13], 1);
    EXPECT_EQ(TgaHeader[14], 400 % 256);
    EXPECT_EQ(TgaHeader[15], 1);
    SetTgaHeaderSize(1024, 768);
    EXPECT_EQ(TgaHeader[12], 0x00);
    EXPECT_EQ(TgaHeader[13], 0x04);
    EXPECT_EQ(TgaHeader[14], 0x00);
    EXPECT_EQ(TgaHeader[15], 0x03);
    InitTgaHeader();
    EXPECT_EQ(TgaHeader[13], 1);
}

TEST(HeightImage, HeaderColourMapAndPixels)
{
    TempDir dir;
    const std::string path = dir / "julia.pov.tga";
    const auto buffer = testfiles::PatternBuffer();
    IODISK f;
    WriteHeightImage(path, buffer, f);
    EXPECT_EQ(f.blockWrites, 385);
    EXPECT_EQ(f.blockReads, 385);
    EXPECT_LT(f.handle, 0);

    const auto file = testfiles::ReadBytes(path);
    ASSERT_EQ(file.size(), 787218u);
    const std::vector<std::uint8_t> header(file.begin(), file.begin() + 18);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 0x00, 0x04, 0x00, 0x03, 8, 0}));
    EXPECT_EQ(MapEntry(file, 0), BgrBytes(0, 0, 0));
    EXPECT_EQ(MapEntry(file, 1), BgrBytes(0, 0, 0x55));
    EXPECT_EQ(MapEntry(file, 5), BgrBytes(0, 0, 0xFF));
    EXPECT_EQ(MapEntry(file, 6), BgrBytes(0, 0x2B, 0));
    EXPECT_EQ(MapEntry(file, 41), BgrBytes(0, 0xFF, 0xFF));
    EXPECT_EQ(MapEntry(file, 42), BgrBytes(0x55, 0, 0));
    EXPECT_EQ(MapEntry(file, 100), BgrBytes(0x80, 0x55, 0xD5)); // 100 = 2*42 + 2*6 + 4
    EXPECT_EQ(MapEntry(file, 250), BgrBytes(0xFF, 0xFF, 0xD5));
    EXPECT_EQ(MapEntry(file, 251), BgrBytes(0x3F, 0x3F, 0x3F));
    EXPECT_EQ(MapEntry(file, 252), BgrBytes(0x6B, 0x6B, 0x6B));
    EXPECT_EQ(MapEntry(file, 253), BgrBytes(0x95, 0x95, 0x95));
    EXPECT_EQ(MapEntry(file, 254), BgrBytes(0xC3, 0xC3, 0xC3));
    EXPECT_EQ(MapEntry(file, 255), BgrBytes(0xFF, 0xFF, 0xFF));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), file.begin() + 786));
}

TEST(HeightImage, ALongerOldFileIsCutToTheImage)
{
    TempDir dir;
    const std::string path = dir / "old.tga";
    testfiles::WriteBytes(path, std::vector<std::uint8_t>(1000000, 0xC7));
    std::vector<std::uint8_t> buffer(1024 * 768, 3);
    buffer.back() = 9;
    WriteHeightImage(path, buffer);
    const auto file = testfiles::ReadBytes(path);
    ASSERT_EQ(file.size(), 787218u);
    EXPECT_EQ(file[1], 1);
    EXPECT_EQ(file[13], 4);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), file.begin() + 786));
    EXPECT_EQ(std::count(file.begin(), file.end(), 0xC7), 0);
}

TEST(HeightImage, FailureOnAFullDevice)
{
    TempDir dir;
    const std::string full = testfiles::FullDevice(dir);
    const std::vector<std::uint8_t> buffer(1024 * 768, 1);
    EXPECT_THROW(WriteHeightImage(full, buffer), IoError);
    EXPECT_THROW(WriteHeightImage(dir / "nowhere/a.tga", buffer), IoError);
    EXPECT_TRUE(testfiles::IsCharDevice(full));
}

// ---- Scene ----

namespace {

std::string Scene(const std::string& camera, const std::string& light, const std::string& image)
{
    return "global_settings { assumed_gamma 2.2 }\r\n"
           "\r\n"
           "#include \"shapes.inc\"\r\n"
           "#include \"colors.inc\"\r\n"
           "#include \"textures.inc\"\r\n"
           "\r\n"
           "camera {\r\n" +
           camera +
           "\r\n"
           "   direction <0.0, 0.0, 1.0> // \"Telephoto\" lens, \"compresses\" distance\r\n"
           "   up <0.0, 1.0, 0.0>        // The distance also seems to smooth the h-field\r\n"
           "   right <4/4, 0.0, 0.0> \r\n"
           "   look_at <0.0, 0.0, 0.0> \r\n"
           "}\r\n"
           "\r\n"
           "// Define a couple of colors for the light sources.\r\n"
           "#declare FractalColor = color red 1 green 1 blue 1; // change this line\r\n"
           "#declare FractalHeight = 75;\r\n"
           "// #declare FractalHeight = 300; // <== try this\r\n"
           "#declare MainLight = color red 0.8 green 0.8 blue 0.8;\r\n"
           "#declare FillLight = color red 0.23 green 0.23 blue 0.25;\r\n"
           "\r\n"
           "// Light source (main)\r\n" +
           light +
           "\r\n"
           "// Light source ( shadow filler )\r\n"
           "// light_source { <-50.0, 300.0, -60.0> color FillLight }\r\n"
           "\r\n"
           "height_field  {\r\n"
           "   tga \"" +
           image +
           "\"\r\n"
           "   water_level 0.0\r\n"
           "   pigment { FractalColor }\r\n"
           "   finish {\r\n"
           "      crand 0.025         // dither  \r\n"
           "      ambient 0.2         // Very dark shadows\r\n"
           "      diffuse 0.8         // Whiten the whites\r\n"
           "      phong 0.75          // Fairly shiny\r\n"
           "      phong_size 100.0    // with tight highlights\r\n"
           "      specular 1.0\r\n"
           "      roughness 0.005\r\n"
           "   }\r\n"
           "   scale <640, FractalHeight, 480>\r\n"
           "   translate <-320, 0.0, -240>  // Center the image by half of ScaleX and ScaleZ\r\n"
           "}\r\n";
}

const std::string kLightLeft = "light_source { <-600.0, 400.0, -300.0> color MainLight } // light on left";
const std::string kLightRight = "light_source { <+600.0, 400.0, -300.0> color MainLight } // light on rigth";

} // namespace

TEST(PovScene, ExactTextForTwoDialogChoices)
{
    TempDir dir;
    std::string camera, light;
    ApplyExportChoices(ExportChoices{}, camera, light); // the dialog's initial state
    EXPECT_EQ(camera, "location <-500.0, 300.0, +0.0> // view from sky left");
    EXPECT_EQ(light, kLightLeft);
    const std::string scene = dir / "julia.pov";
    WritePovScene(scene, camera, light, HeightImageName(scene));
    const std::string text = testfiles::ReadText(scene);
    EXPECT_EQ(text, Scene(camera, light, scene + ".tga"));
    EXPECT_EQ(testfiles::CrLfLines(text).size(), 42u);

    ApplyExportChoices(ExportChoices{false, true, "View from floor", false}, camera, light);
    EXPECT_EQ(camera, "location <+320.0, 30.0, +0.0> // view from floor right");
    EXPECT_EQ(light, kLightRight);
    const std::string image = "C:\\scenes\\a b.pov.tga"; // written verbatim, no escaping
    WritePovScene(scene, camera, light, image);
    EXPECT_EQ(testfiles::ReadText(scene), Scene(camera, light, image));
}

TEST(PovScene, DialogChoices)
{
    std::string camera, light;
    ApplyExportChoices({true, false, "View from floor", true}, camera, light);
    EXPECT_EQ(camera, "location <-320.0, 30.0, +0.0> // view from floor left");
    ApplyExportChoices({false, true, "View from sky", true}, camera, light);
    EXPECT_EQ(camera, "location <+500.0, 300.0, +0.0> // view from sky right");
    for (bool left : {true, false}) {
        ApplyExportChoices({left, !left, "View from top", true}, camera, light);
        EXPECT_EQ(camera, "location <0.0, 300.0, +0.0> // view from top");
        ApplyExportChoices({left, !left, "View from high above", true}, camera, light);
        EXPECT_EQ(camera, "location <0.0, 600.0, +0.0> // view from top");
    }
    // An edited text matching no entry keeps the previous statement; the
    // light is set every time.
    ApplyExportChoices({true, false, "view from sky", false}, camera, light);
    EXPECT_EQ(camera, "location <0.0, 600.0, +0.0> // view from top");
    EXPECT_EQ(light, kLightRight);
    std::string none, light2;
    ApplyExportChoices({true, false, "View from  sky", true}, none, light2);
    EXPECT_EQ(none, "");
    EXPECT_EQ(light2, kLightLeft);
}

TEST(PovScene, PreviousStatementKeptAndEmptyBeforeTheFirst)
{
    TempDir dir;
    const std::string scene = dir / "s.pov";
    std::string camera, light;
    ApplyExportChoices({true, false, "Somewhere", true}, camera, light);
    WritePovScene(scene, camera, light, "s.pov.tga");
    const auto lines = testfiles::CrLfLines(testfiles::ReadText(scene));
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[6], "camera {");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[22], kLightLeft);
    EXPECT_EQ(lines[27], "   tga \"s.pov.tga\"");
}

TEST(PovScene, SceneAndHeightImageNames)
{
    EXPECT_EQ(SceneName("julia"), "julia.pov");
    EXPECT_EQ(SceneName("julia.POV"), "julia.POV");
    EXPECT_EQ(SceneName("/home/me/my.povfiles/julia"), "/home/me/my.povfiles/julia");
    EXPECT_EQ(SceneName("julia.pv"), "julia.pv.pov");
    EXPECT_EQ(SceneName("a.PoVx"), "a.PoVx");
    EXPECT_EQ(HeightImageName(SceneName("julia")), "julia.pov.tga");
}

TEST(PovScene, WriteFailuresAreReportedAndKeepTheOldScene)
{
    TempDir dir;
    try {
        WritePovScene(dir / "missing/s.pov", "", "", "x");
        ADD_FAILURE() << "writing into a missing folder succeeded";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("missing/s.pov"), std::string::npos) << e.what();
    }
    const std::string full = testfiles::FullDevice(dir);
    EXPECT_THROW(WritePovScene(full, "", "", "x"), IoError);
    EXPECT_TRUE(testfiles::IsCharDevice(full));

    const std::string scene = dir / "keep.pov";
    testfiles::WriteBytes(scene, {'o', 'l', 'd'});
    EXPECT_THROW(WritePovScene(scene + "/x.pov", "", "", "x"), IoError);
    EXPECT_EQ(testfiles::ReadText(scene), "old");
    // Replacing succeeds and leaves no stray file.
    WritePovScene(scene, "", "", "x");
    EXPECT_EQ(testfiles::CrLfLines(testfiles::ReadText(scene)).size(), 42u);
    const std::vector<std::string> expected = full == "/dev/full" ? std::vector<std::string>{"keep.pov"}
                                                                   : std::vector<std::string>{"full", "keep.pov"};
    EXPECT_EQ(dir.Entries(), expected);
}

TEST(PovScene, ReplacingKeepsTheModeAndFollowsASymbolicLink)
{
    TempDir dir;
    const std::string real = dir / "real.pov";
    testfiles::WriteBytes(real, {'o', 'l', 'd'});
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    std::filesystem::create_symlink("real.pov", dir.path() / "link.pov");
    WritePovScene(dir / "link.pov", "", "", "x");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.pov"));
    EXPECT_EQ(testfiles::CrLfLines(testfiles::ReadText(real)).size(), 42u);
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.pov", "real.pov"}));
}
