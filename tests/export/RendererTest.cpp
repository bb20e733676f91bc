// End-to-end tests of quillon-render's picture and export outputs and its argument checks.
#include <sys/wait.h>

#include <QImage>

#include "RenderRun.h"
#include "TestFiles.h"
#include "colour/Palette.h"
#include "export/Scenes.h"
#include "fractals/Catalogue.h"
#include "window/ScreenPicture.h"

using testfiles::TempDir;

namespace {

using testfiles::Render;
using testfiles::RunResult;

QImage LoadBmp(const std::string& path) { return QImage(QString::fromStdString(path), "BMP"); }

} // namespace

TEST(Renderer, FourOutputsFromOneComputation)
{
    TempDir dir;
    const RunResult run = Render(dir, {"--view", "FormJU3", "--bmp", dir / "a.bmp", "--tga", dir / "a.tga", "--pov",
                                       dir / "a.pov", "--rib", dir / "a.rib", "--raw", dir / "a.raw"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"a.bmp", "a.pov", "a.pov.tga", "a.raw", "a.rib", "a.tga"}));

    const auto raw = testfiles::ReadBytes(dir / "a.raw");
    ASSERT_EQ(raw.size(), 786432u);
    EXPECT_GT(std::count(raw.begin(), raw.end(), raw[0]), 0);
    EXPECT_NE(std::count(raw.begin(), raw.end(), raw[0]), 786432) << "the picture is uniform";

    // The picture: default palette, the window's own colour offset.
    const fractals::WindowEntry* window = fractals::FindWindow("FormJU3");
    ASSERT_NE(window, nullptr);
    const QImage picture = LoadBmp(dir / "a.bmp");
    ASSERT_EQ(picture.size(), QSize(1024, 768));
    colour::ColourAdjust adjust;
    adjust.colourOffset = window->colourOffset;
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32),
              screen::RenderPicture(raw, colour::DefaultVgaPalette, adjust));

    // Both height images hold the buffer; the scene names its own.
    for (const char* name : {"a.tga", "a.pov.tga"}) {
        const auto tga = testfiles::ReadBytes(dir / name);
        ASSERT_EQ(tga.size(), 787218u) << name;
        EXPECT_TRUE(std::equal(raw.begin(), raw.end(), tga.begin() + 786)) << name;
    }
    const auto scene = testfiles::CrLfLines(testfiles::ReadText(dir / "a.pov"));
    ASSERT_EQ(scene.size(), 42u);
    EXPECT_EQ(scene[0], "global_settings { assumed_gamma 2.2 }");
    EXPECT_EQ(scene[7], "location <-500.0, 300.0, +0.0> // view from sky left");
    EXPECT_EQ(scene[22], "light_source { <-600.0, 400.0, -300.0> color MainLight } // light on left");
    EXPECT_EQ(scene[27], "   tga \"" + (dir / "a.pov.tga") + "\"");

    const auto rib = testfiles::CrLfLines(testfiles::ReadText(dir / "a.rib"));
    ASSERT_EQ(rib.size(), 31808u);
    EXPECT_EQ(rib[0], "version 3.03");
    EXPECT_EQ(rib.back(), "WorldEnd");
}

TEST(Renderer, ColourAndSceneOptions)
{
    TempDir dir;
    const RunResult run =
        Render(dir, {"--view", "FormJU3", "--palette", "3", "--colours", "0xFF0000,255,0x00FF80", "--rotate", "200",
                     "--rgb", "10,-20,255", "--offset", "7", "--bmp", dir / "b.bmp", "--raw", dir / "b.raw", "--pov",
                     dir / "scene", "--camera", "right", "--view-from", "View from floor", "--light", "right"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b.bmp", "b.raw", "scene.pov", "scene.pov.tga"}));

    const auto raw = testfiles::ReadBytes(dir / "b.raw");
    ASSERT_EQ(raw.size(), 786432u);
    colour::TPaletteTable palette;
    colour::BuildPalette3(0xFF0000, 255, 0x00FF80, palette);
    EXPECT_EQ(LoadBmp(dir / "b.bmp").convertToFormat(QImage::Format_RGB32),
              screen::RenderPicture(raw, palette, colour::ColourAdjust{7, 200, 10, -20, 255}));

    const auto scene = testfiles::CrLfLines(testfiles::ReadText(dir / "scene.pov"));
    ASSERT_EQ(scene.size(), 42u);
    EXPECT_EQ(scene[7], "location <+320.0, 30.0, +0.0> // view from floor right");
    EXPECT_EQ(scene[22], "light_source { <+600.0, 400.0, -300.0> color MainLight } // light on rigth");
    EXPECT_EQ(scene[27], "   tga \"" + (dir / "scene.pov.tga") + "\"");
}

TEST(Renderer, BadArgumentsExitWithStatusTwoAndWriteNothing)
{
    TempDir dir;
    const std::string out = dir / "x.bmp";
    const std::vector<std::vector<std::string>> cases = {
        {"--view", "FormJU3", "--rotate", "201", "--bmp", out},
        {"--view", "FormJU3", "--rotate", "-1", "--bmp", out},
        {"--view", "FormJU3", "--rgb", "0,0,256", "--bmp", out},
        {"--view", "FormJU3", "--rgb", "-256,0,0", "--bmp", out},
        {"--view", "FormJU3", "--rgb", "1,2", "--bmp", out},
        {"--view", "FormJU3", "--palette", "2", "--colours", "0x1000000,0", "--bmp", out},
        {"--view", "FormJU3", "--palette", "2", "--colours", "-1,0", "--bmp", out},
        {"--view", "FormJU3", "--palette", "3", "--colours", "1,2", "--bmp", out},
        {"--view", "FormJU3", "--colours", "1,2", "--bmp", out},
        {"--view", "FormJU3", "--palette", "5", "--bmp", out},
        {"--view", "FormJU3", "--offset", "256", "--bmp", out},
        {"--view", "FormJU3", "--pov", out, "--camera", "up"},
        {"--view", "FormJU3", "--pov", out, "--view-from", "view from sky"},
        {"--view", "FormJU3", "--pov", out, "--light", "middle"},
        {"--view", "FormJU3", "--light", "left", "--bmp", out},
        {"--view", "NoSuchView", "--bmp", out},
        {"--view", "FormJU3", "--tga"},
        {"--view", "FormJU3", "--bmp", out, "--sparkle"},
        {"--view", "FormJU3"},
    };
    for (const auto& args : cases)
        testfiles::ExpectRefused(dir, args);
}
