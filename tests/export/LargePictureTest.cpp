// Pictures of any size: the streamed writers, the W x H mapping, bands, supersampling, refusals and cancelling.
#include <atomic>
#include <cmath>

#include <QImage>

#include "RenderRun.h"
#include "TestFiles.h"
#include "engine/Compute.h"
#include "export/Scenes.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "render/Render.h"
#include "window/ScreenPicture.h"

using testfiles::Render;
using testfiles::RunResult;
using testfiles::TempDir;

namespace {

QImage Load(const std::string& path) { return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32); }

// The value of one cell of a W x H picture, from the formula alone: a fresh
// set object, the point computed here, the window's value function.
std::uint8_t CellByFormula(const fractals::View& view, int width, int height, int row, int column)
{
    const engine::RegionValues r = view.region.Make().Values();
    const long double stepX = 1.0L / static_cast<long double>(width - 1);
    const long double stepY = 1.0L / static_cast<long double>(height - 1);
    const long double x = ((static_cast<long double>(column) * r.XWidth) * stepX) + r.XStart;
    const long double y = ((static_cast<long double>(row) * r.YHeight) * stepY) + r.YStart;
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window);
    set->SetValues(engine::kCalcParam, engine::TTriple{x, y, 0.0L});
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(view.function(*set)) & 0xFFu);
}

double Linear(int byte)
{
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int Encoded(double linear)
{
    const double c = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::floor(c * 255.0 + 0.5));
}

} // namespace

TEST(LargePicture, StreamedBitmapEqualsTheSavedPictureByteForByte)
{
    TempDir dir;
    const std::vector<std::uint8_t> buffer = testfiles::PatternBuffer();
    const colour::ColourAdjust adjust{98, 200, 30, -40, 255};
    const colour::TPaletteTable palette = colour::BuildPaletteForPage(colour::PalettePage::Four, {});
    screen::SaveBmp(screen::RenderPicture(buffer, palette, adjust), QString::fromStdString(dir / "saved.bmp"));

    auto writer = exporter::OpenBmpWriter(dir / "streamed.bmp", 1024, 768);
    render::ColourRows rows(1024, 1, {palette, adjust}, [&](int, std::span<const std::uint8_t> rgb) { writer->WriteRow(rgb.data()); });
    for (int r = 0; r < 768; ++r)
        rows.Add(std::span(buffer).subspan(static_cast<std::size_t>(r) * 1024, 1024));
    writer->Finish();
    EXPECT_EQ(testfiles::ReadBytes(dir / "streamed.bmp"), testfiles::ReadBytes(dir / "saved.bmp"));

    // An odd width pads its rows; a reader sees the pixels where they belong.
    auto small = exporter::OpenBmpWriter(dir / "small.bmp", 5, 3);
    for (int r = 0; r < 3; ++r) {
        std::uint8_t rgb[15];
        for (int k = 0; k < 15; ++k)
            rgb[k] = static_cast<std::uint8_t>(r * 50 + k);
        small->WriteRow(rgb);
    }
    small->Finish();
    EXPECT_EQ(testfiles::ReadBytes(dir / "small.bmp").size(), 54u + 3 * 16);
    const QImage image = Load(dir / "small.bmp");
    ASSERT_EQ(image.size(), QSize(5, 3));
    EXPECT_EQ(image.pixel(4, 2), qRgb(112, 113, 114));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 1, 2));
}

TEST(LargePicture, PngHasTheBitmapsPixelsAndCarriesItsView)
{
    TempDir dir;
    const RunResult run = Render(dir, {"--view", "FormJU7", "--size", "301x203", "--palette", "3", "--rotate", "9",
                                       "--png", dir / "p.png", "--bmp", dir / "b.bmp", "--save-view", dir / "v.qview"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const QImage png = Load(dir / "p.png");
    ASSERT_EQ(png.size(), QSize(301, 203));
    EXPECT_EQ(png, Load(dir / "b.bmp"));
    const QImage withText(QString::fromStdString(dir / "p.png"));
    EXPECT_EQ(withText.text("Quillon view").toStdString(), testfiles::ReadText(dir / "v.qview"));
    const exporter::ViewDocument view = exporter::ReadViewFile(dir / "p.png");
    EXPECT_EQ(view, exporter::ReadViewFile(dir / "v.qview"));
    EXPECT_EQ(view.picture, (exporter::PictureSettings{301, 203, 1, false}));
    EXPECT_EQ(view.adjust.rotation, 9);
}

TEST(LargePicture, MappingAtOtherSizesFollowsTheFormula)
{
    const engine::Grid standard = engine::Grid::OfSize(1024, 768);
    EXPECT_EQ(standard.xStep, engine::kInv1023);
    EXPECT_EQ(standard.yStep, engine::kInv767);

    TempDir dir;
    struct Case {
        const char* view;
        int width, height, row;
    };
    // A Julia set through its row kernel, the level set through its lane
    // kernel in pieces (2500 columns), a Tamo set point by point.
    for (const Case& c : {Case{"FormJU3", 2048, 1536, 0}, Case{"FormJU3", 2048, 1536, 777}, Case{"FormJU3", 2048, 1536, 1535},
                          Case{"Form1", 2500, 9, 4}, Case{"FormTamo2", 1500, 3, 1}}) {
        const fractals::View& view = *fractals::FindView(c.view);
        const std::string raw = dir / "row.raw";
        const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
        const RunResult run = Render(dir, {"--view", c.view, "--size", size, "--rows",
                                           std::to_string(c.row) + ":" + std::to_string(c.row + 1), "--raw", raw});
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const std::vector<std::uint8_t> values = testfiles::ReadBytes(raw);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(c.width));
        std::vector<int> columns;
        for (int j = 0; j < c.width; j += 7)
            columns.push_back(j);
        columns.push_back(c.width - 1);
        for (int j : columns)
            ASSERT_EQ(values[static_cast<std::size_t>(j)], CellByFormula(view, c.width, c.height, c.row, j))
                << c.view << " " << size << " row " << c.row << " column " << j;
    }
}

TEST(LargePicture, FourBandsInParallelProcessesEqualTheWhole)
{
    TempDir dir;
    const std::vector<std::string> common = {"--view", "FormRN4.SBAL3", "--size", "400x300", "--threads", "1"};
    auto with = [&](const std::vector<std::string>& more) { return testfiles::Join(common, more); };
    ASSERT_EQ(Render(dir, with({"--raw", dir / "whole.raw", "--png", dir / "whole.png"})).status, 0);
    std::string parallel = "(";
    const char* bands[] = {"0:75", "75:150", "150:225", "225:300"};
    for (int k = 0; k < 4; ++k)
        parallel += testfiles::RenderCommand(with({"--rows", bands[k], "--raw", dir / ("band" + std::to_string(k))})) +
                    " >/dev/null & ";
    ASSERT_EQ(std::system((parallel + "wait)").c_str()), 0);
    std::vector<std::uint8_t> joined;
    for (int k = 0; k < 4; ++k) {
        const auto band = testfiles::ReadBytes(dir / ("band" + std::to_string(k)));
        EXPECT_EQ(band.size(), 75u * 400) << k;
        joined.insert(joined.end(), band.begin(), band.end());
    }
    EXPECT_EQ(joined, testfiles::ReadBytes(dir / "whole.raw"));
    // The farm's last step: the joined values coloured into the same PNG.
    testfiles::WriteBytes(dir / "joined.raw", joined);
    const RunResult run = Render(dir, {"--view", "FormRN4.SBAL3", "--from-raw", dir / "joined.raw", "--size", "400x300",
                                       "--png", dir / "farm.png"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(testfiles::ReadBytes(dir / "farm.png"), testfiles::ReadBytes(dir / "whole.png"));
}

TEST(LargePicture, SupersampledPixelIsTheLinearMeanOfItsFourColours)
{
    TempDir dir;
    const std::vector<std::string> view = {"--view", "FormJU3", "--palette", "2", "--rgb", "0,-30,20"};
    auto with = [&](const std::vector<std::string>& more) { return testfiles::Join(view, more); };
    ASSERT_EQ(Render(dir, with({"--size", "90x60", "--raw", dir / "fine.raw"})).status, 0);
    ASSERT_EQ(Render(dir, with({"--size", "45x30", "--supersample", "2", "--png", dir / "s.png"})).status, 0);
    ASSERT_EQ(Render(dir, with({"--size", "45x30", "--supersample", "1", "--png", dir / "one.png"})).status, 0);
    ASSERT_EQ(Render(dir, with({"--size", "45x30", "--png", dir / "plain.png"})).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(dir / "one.png"), testfiles::ReadBytes(dir / "plain.png"));

    const std::vector<std::uint8_t> fine = testfiles::ReadBytes(dir / "fine.raw");
    ASSERT_EQ(fine.size(), 90u * 60);
    colour::TPaletteTable palette;
    colour::BuildPalette2(colour::kBlue, colour::kWhite, palette);
    const colour::ColourAdjust adjust{fractals::FindWindow("FormJU3")->colourOffset, 0, 0, -30, 20};
    const QImage picture = Load(dir / "s.png");
    ASSERT_EQ(picture.size(), QSize(45, 30));
    int blended = 0;
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 45; ++c) {
            double sum[3] = {0, 0, 0};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const colour::Rgb rgb = colour::MapColour(fine[(2 * r + dy) * 90 + 2 * c + dx], palette, adjust);
                    sum[0] += Linear(rgb.red);
                    sum[1] += Linear(rgb.green);
                    sum[2] += Linear(rgb.blue);
                }
            const QRgb got = picture.pixel(c, r);
            ASSERT_EQ(qRed(got), Encoded(sum[0] / 4)) << r << "," << c;
            ASSERT_EQ(qGreen(got), Encoded(sum[1] / 4)) << r << "," << c;
            ASSERT_EQ(qBlue(got), Encoded(sum[2] / 4)) << r << "," << c;
            blended += fine[(2 * r) * 90 + 2 * c] != fine[(2 * r + 1) * 90 + 2 * c + 1];
        }
    EXPECT_GT(blended, 20) << "too few pixels mix different values to test the mean";
}

TEST(LargePicture, RefusedCombinationsExitWithStatusTwoAndWriteNothing)
{
    TempDir dir;
    const std::string out = dir / "x";
    const std::vector<std::vector<std::string>> cases = {
        {"--size", "2048x1536", "--pov", out},
        {"--size", "2048x1536", "--tga", out},
        {"--size", "2048x1536", "--rib", out},
        {"--size", "1024x768", "--raw", out, "--rib", dir / "y", "--supersample", "2"},
        {"--size", "1x768", "--raw", out},
        {"--size", "65536x768", "--raw", out},
        {"--size", "64x", "--raw", out},
        {"--supersample", "9", "--png", out},
        {"--supersample", "0", "--png", out},
        {"--supersample", "2", "--raw", out},
        {"--rows", "0:10", "--png", out},
        {"--rows", "0:10", "--bmp", out},
        {"--rows", "0:10", "--raw", out, "--bmp", dir / "y"},
        {"--rows", "10:10", "--raw", out},
        {"--rows", "700:769", "--raw", out},
        {"--rows", "0:10"},
        {"--size", "40000x40000", "--bmp", out},
        {"--from-raw", dir / "none", "--png", out},
        {"--from-raw", dir / "none", "--size", "10x10", "--png", out},
        {"--from-raw", dir / "none", "--size", "10x10", "--raw", out},
        {"--open", dir / "none.qview", "--png", out},
        {"--open", dir / "none.qview", "--view", "FormJU3", "--png", out},
    };
    for (auto args : cases) {
        if (std::find(args.begin(), args.end(), "--open") == args.end())
            args.insert(args.begin(), {"--view", "FormJU3"});
        testfiles::ExpectRefused(dir, args);
    }
}

TEST(LargePicture, CancelAndFailureLeaveNoFile)
{
    TempDir dir;
    const fractals::View& view = *fractals::FindView("FormJU3");
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window);
    render::Job job{view.region.Make().Values(), set.get(), view.function, 640, 480, 1};
    engine::RowPool pool(2);
    std::atomic<bool> cancel{false};
    render::Control control;
    control.pool = &pool;
    control.cancel = &cancel;
    std::int64_t seen = 0, cancelAt = 100;
    control.progress = [&](const render::Progress& p) {
        seen = p.rowsDone;
        EXPECT_EQ(p.rowsTotal, 480);
        if (p.rowsDone == cancelAt)
            cancel = true;
    };
    for (render::FileFormat format : {render::FileFormat::Png, render::FileFormat::Bmp}) {
        cancel = false;
        EXPECT_THROW(render::RenderFile(job, {}, format, dir / "x", "view", control), render::Cancelled);
        EXPECT_EQ(seen, 100);
        EXPECT_TRUE(dir.Entries().empty());
    }
    cancel = false;
    cancelAt = -1;
    EXPECT_THROW(render::RenderFile(job, {}, render::FileFormat::Png, dir / "missing/x.png", "", control), exporter::IoError);
    {
        testfiles::FileSizeLimit limit(20000);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(render::RenderFile(job, {}, render::FileFormat::Png, dir / "x.png", "", control), exporter::IoError);
    }
    EXPECT_TRUE(dir.Entries().empty());
    render::RenderFile(job, {}, render::FileFormat::Png, dir / "x.png", "", control);
    EXPECT_EQ(Load(dir / "x.png").size(), QSize(640, 480));
}
