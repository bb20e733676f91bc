// Render, save the view, open it again: the same picture for every catalogue view, through .qview and PNG.
#include "RenderRun.h"
#include "TestFiles.h"
#include "fractals/Catalogue.h"

using testfiles::Render;
using testfiles::RunResult;
using testfiles::TempDir;

namespace {

std::string Number(long double v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.21Lg", v);
    return text;
}

} // namespace

// Every window's view and each of the six types once (FormRN1.SBAL1, FormRN2.SBAL2, …),
// each with its own region (a zoomed part of its opening one) and colours, at
// a small size: each view costs up to three starts of the renderer, slow
// under the sanitizers, and the other typed views add no other formula.
TEST(ViewRoundTrip, EveryWindowAndEveryTypeReopensToTheSameBytes)
{
    TempDir dir;
    const char* pages[] = {"vga", "2", "3", "4", "15"};
    int k = 0, visited = 0;
    for (const fractals::View& view : fractals::Views()) {
        const std::string id = view.id;
        const std::size_t type = id.find(".SBAL");
        ++k;
        if (type != std::string::npos && id.substr(type - 1, 1) != id.substr(type + 5))
            continue;
        ++visited;
        SCOPED_TRACE(view.id);
        const engine::RegionValues r = view.region.Make().Values();
        const long double x1 = r.XStart + r.XWidth * (k % 5) / 10, y1 = r.YStart + r.YHeight * (k % 3) / 10;
        const std::vector<std::string> first = {
            "--view", view.id, "--region", Number(x1), Number(x1 + r.XWidth / 2), Number(y1), Number(y1 + r.YHeight / 2),
            "--palette", pages[k % 5], "--rotate", std::to_string(k * 3), "--rgb",
            std::to_string(k - 30) + "," + std::to_string(2 * k) + ",-" + std::to_string(k), "--offset",
            std::to_string(k * 4), "--size", "48x36", "--bmp", dir / "a.bmp", "--png", dir / "a.png", "--raw",
            dir / "a.raw", "--save-view", dir / "v.qview"};
        RunResult run = Render(dir, first);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        run = Render(dir, {"--open", dir / "v.qview", "--bmp", dir / "b.bmp", "--raw", dir / "b.raw"});
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const auto bitmap = testfiles::ReadBytes(dir / "a.bmp");
        EXPECT_EQ(bitmap.size(), 54u + 36 * 144);
        EXPECT_EQ(testfiles::ReadBytes(dir / "b.bmp"), bitmap);
        EXPECT_EQ(testfiles::ReadBytes(dir / "b.raw"), testfiles::ReadBytes(dir / "a.raw"));
        // Through the picture's own chunk for every window (the same reader past the PNG).
        if (k % 3 == 0) {
            run = Render(dir, {"--open", dir / "a.png", "--bmp", dir / "c.bmp", "--save-view", dir / "c.qview"});
            ASSERT_EQ(run.status, 0) << run.stderrText;
            EXPECT_EQ(testfiles::ReadBytes(dir / "c.bmp"), bitmap);
            EXPECT_EQ(testfiles::ReadText(dir / "c.qview"), testfiles::ReadText(dir / "v.qview"));
        }
    }
    EXPECT_EQ(k, 60);
    EXPECT_EQ(visited, 30);
}

// The round trip as a user would make it, at full size, with an option
// given beside the opened file taking the place of the file's value.
TEST(ViewRoundTrip, FullSizeThroughViewFileAndPng)
{
    TempDir dir;
    RunResult run = Render(dir, {"--view", "FormRN4.SBAL3", "--region", "-1.5", "0.75", "-0.9", "1.1", "--palette", "2",
                                 "--rotate", "7", "--rgb", "10,-20,0", "--save-view", dir / "v.qview", "--bmp",
                                 dir / "a.bmp", "--png", dir / "p.png"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    ASSERT_EQ(Render(dir, {"--open", dir / "v.qview", "--bmp", dir / "b.bmp"}).status, 0);
    ASSERT_EQ(Render(dir, {"--open", dir / "p.png", "--bmp", dir / "c.bmp", "--rotate", "9", "--raw", dir / "c.raw"}).status, 0);
    ASSERT_EQ(Render(dir, {"--open", dir / "p.png", "--from-raw", dir / "c.raw", "--size", "1024x768", "--bmp",
                           dir / "d.bmp"}).status, 0);
    const auto a = testfiles::ReadBytes(dir / "a.bmp");
    EXPECT_EQ(a.size(), 2359350u);
    EXPECT_EQ(testfiles::ReadBytes(dir / "b.bmp"), a);
    EXPECT_NE(testfiles::ReadBytes(dir / "c.bmp"), a) << "--rotate 9 did not replace the file's rotation";
    EXPECT_EQ(testfiles::ReadBytes(dir / "d.bmp"), a);
}
