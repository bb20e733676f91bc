// Deep views: their lines in view files and PNG chunks, their pictures through the render jobs, and quillon-render's --center.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RenderRun.h"
#include "TestFiles.h"
#include "deep/Perturb.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"
#include "render/Render.h"

namespace {

using testfiles::Join;
using testfiles::Render;
using testfiles::TempDir;

exporter::ViewDocument DeepView(const std::string& id, const deep::DeepRegion& region, int width, int height)
{
    exporter::ViewDocument d = exporter::DefaultView(*fractals::FindView(id));
    d.deepRegion = region;
    d.picture.width = width;
    d.picture.height = height;
    return d;
}

// A long centre, in full: the decimals travel as typed, never through a number.
const std::string kLongX = "-0.749999868280315989006216780193755104994698691800095881628623510524116024102331534902710077";

TEST(DeepViewFile, DeepRegionsRoundTripAsTypedAndOthersWriteNoDeepLine)
{
    const deep::DeepRegion regions[] = {
        {kLongX, "0.001", "1e-80", ""},
        {"0", "1", "3.5e-300", "2.25E-300"},
        {"+0.25", "-.5", "2.", ""},
    };
    for (const deep::DeepRegion& r : regions) {
        const exporter::ViewDocument d = DeepView("Form1", r, 320, 200);
        const std::string text = exporter::ViewText(d);
        EXPECT_NE(text.find("\r\ncenter-x = " + r.centerX + "\r\n"), std::string::npos);
        EXPECT_NE(text.find("\r\nwidth = " + r.width + "\r\n"), std::string::npos);
        EXPECT_EQ(text.find("\r\nheight = ") != std::string::npos, !r.height.empty());
        EXPECT_EQ(exporter::ParseView(text, "v.qview"), d);
    }
    const exporter::ViewDocument plain = exporter::DefaultView(*fractals::FindView("Form1"));
    EXPECT_EQ(exporter::ViewText(plain).find("center-x"), std::string::npos);
    EXPECT_FALSE(exporter::ParseView(exporter::ViewText(plain), "v.qview").deepRegion);
}

TEST(DeepViewFile, BrokenDeepRegionsAreRefusedWithTheirLine)
{
    const std::string head = "quillon-view = 1\r\nview = ";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {head + "FormRN1\r\ncenter-x = 0\r\ncenter-y = 0\r\nwidth = 1\r\n",
         "v.qview, line 3: a deep region (center-x, center-y, width, height) is only for Form1 and the Julia views"},
        {head + "Form1\r\ncenter-x = 0\r\ncenter-y = 0\r\n", "v.qview, line 3: the deep region lacks its line 'width"},
        {head + "FormJU3\r\nheight = 1\r\n", "v.qview, line 3: the deep region lacks its line 'center-x"},
        {head + "Form1\r\ncenter-x = 0\r\ncenter-y = 1e\r\nwidth = 1\r\n",
         "v.qview, line 4: center-y must be a decimal number, not '1e'"},
        {head + "Form1\r\ncenter-x = 0\r\ncenter-y = 0\r\nwidth = nan\r\n",
         "v.qview, line 5: width must be a decimal number, not 'nan'"},
        {head + "Form1\r\ncenter-x = 0\r\ncenter-y = 0\r\nwidth = 0.000e5\r\n",
         "v.qview, line 5: width must be greater than 0, not '0.000e5'"},
        {head + "FormJU1\r\ncenter-x = 0\r\ncenter-y = 0\r\nwidth = 1\r\nheight = -1e-9\r\n",
         "v.qview, line 6: height must be greater than 0, not '-1e-9'"},
    };
    for (const auto& c : cases) {
        try {
            exporter::ParseView(c.text, "v.qview");
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const exporter::ViewFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

std::vector<std::uint8_t> JobValues(const render::Job& job)
{
    const engine::Grid grid = render::ValueGrid(job);
    std::vector<std::uint8_t> values;
    render::ComputeValues(job, 0, grid.height, [&](int, std::span<const std::uint8_t> row) {
        values.insert(values.end(), row.begin(), row.end());
    });
    return values;
}

// Deep where the extended engine cannot place the pixels, extended where it
// can; the Julia windows iterate their own constant.
TEST(DeepViewRender, DeepJobsDrawTheDeepEngineAndShallowOnesTheExtendedEngine)
{
    const struct {
        const char* id;
        deep::DeepRegion region;
        bool deep;
    } cases[] = {
        {"Form1", {"3e-31", "1", "1e-30", ""}, true},
        {"FormJU3", {"0.358762273555880679606395515764", "1e-21", "1e-20", ""}, true},
        {"Form1", {"-0.75", "0.1", "0.25", "0.125"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const exporter::ViewDocument d = DeepView(c.id, c.region, 24, 16);
        const render::ViewJob vj = render::MakeViewJob(d);
        ASSERT_EQ(vj.job.deep != nullptr, c.deep);
        const std::vector<std::uint8_t> values = JobValues(vj.job);
        const deep::Mapping mapping(c.region, 24, 16);
        std::vector<std::uint8_t> want(24 * 16);
        if (c.deep) {
            const deep::FormulaParams params = render::DeepFormula(*fractals::FindView(c.id), exporter::DefaultView(*fractals::FindView(c.id)).parameters);
            EXPECT_EQ(vj.job.deep->reference->Params().juliaX, params.juliaX);
            const deep::Reference reference(mapping, params);
            for (int row = 0; row < 16; ++row)
                deep::CellRow(reference, mapping, row, want.data() + row * 24);
        } else {
            // The extended engine's corners: centre -/+ half the extents.
            EXPECT_EQ(vj.job.region.XStart, -0.875L);
            EXPECT_EQ(vj.job.region.YHeight, 0.125L);
            render::Job job = vj.job;
            job.deep.reset();
            want = JobValues(job);
        }
        EXPECT_EQ(values, want);
        EXPECT_GT(std::set<std::uint8_t>(values.begin(), values.end()).size(), 3u) << "a flat picture proves little";
    }
    EXPECT_EQ(render::DeepFormula(*fractals::FindView("FormJU3"), exporter::DefaultView(*fractals::FindView("FormJU3")).parameters).juliaY, 0.74L);
    EXPECT_THROW(render::MakeViewJob(DeepView("FormRN1", {"0", "0", "1", ""}, 24, 16)), deep::RegionError);
}

TEST(DeepViewRender, CommandLineDrawsDeepViewsAndRefusesWhatItCannot)
{
    TempDir dir;
    const std::vector<std::string> deepView = {"--view", "Form1", "--center", "3e-31", "1", "--width", "1e-30",
                                               "--size", "48x32", "--quiet"};
    ASSERT_EQ(Render(dir, Join(deepView, {"--png", dir / "a.png", "--raw", dir / "a.raw"})).status, 0);
    // The PNG's view opens to the same picture, to the byte.
    ASSERT_EQ(Render(dir, {"--open", dir / "a.png", "--png", dir / "b.png", "--quiet"}).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(dir / "a.png"), testfiles::ReadBytes(dir / "b.png"));
    const exporter::ViewDocument view = exporter::ReadViewFile(dir / "a.png");
    ASSERT_TRUE(view.deepRegion);
    EXPECT_EQ(view.deepRegion->width, "1e-30");

    TempDir empty;
    const std::vector<std::vector<std::string>> refused = {
        {"--view", "Form1", "--center", "0", "0x1", "--width", "1", "--png", empty / "r.png"},
        {"--view", "Form1", "--center", "0", "1", "--width", "0", "--png", empty / "r.png"},
        {"--view", "Form1", "--center", "0", "1", "--width", "1", "--height", "-2", "--png", empty / "r.png"},
        {"--view", "Form1", "--center", "0", "1", "--png", empty / "r.png"},
        {"--view", "Form1", "--width", "1", "--png", empty / "r.png"},
        {"--view", "FormTamo1", "--center", "0", "1", "--width", "1", "--png", empty / "r.png"},
        {"--view", "Form1", "--center", "0", "1", "--width", "1e-5000", "--raw", empty / "r.raw"},
        {"--view", "Form1", "--region", "0", "1", "0", "1", "--center", "0", "1", "--width", "1", "--bmp",
         empty / "r.bmp"},
    };
    for (const auto& args : refused)
        testfiles::ExpectRefused(empty, args);
}

} // namespace

namespace {

// A movie from the level-set window's opening view to 10^-30 beside c = i:
// both ends are the views' own pictures, frames made in parts are the
// frames of the whole movie byte for byte, and a frame opens to itself.
TEST(DeepViewMovie, ZoomToADeepViewInPartsEqualsTheWholeMovie)
{
    TempDir dir;
    const std::vector<std::string> size = {"--size", "48x32", "--quiet"};
    ASSERT_EQ(Render(dir, Join({"--view", "Form1", "--center", "3e-31", "1", "--width", "1e-30", "--png",
                                dir / "end.png", "--save-view", dir / "end.qview"},
                               size))
                  .status,
              0);
    ASSERT_EQ(Render(dir, Join({"--view", "Form1", "--png", dir / "start.png"}, size)).status, 0);
    const std::vector<std::string> movie = Join({"--view", "Form1", "--to", dir / "end.qview", "--frames", "30"}, size);
    ASSERT_EQ(Render(dir, Join(movie, {"--frames-dir", dir / "all"})).status, 0);
    const auto part = Render(dir, Join(movie, {"--frames-dir", dir / "part", "--frame-range", "13:17"}));
    ASSERT_EQ(part.status, 0) << part.stderrText;
    const auto frame = [&](const std::string& folder, int k) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%05d.png", k);
        return dir / (folder + name);
    };
    EXPECT_EQ(testfiles::ReadBytes(frame("all", 0)), testfiles::ReadBytes(dir / "start.png"));
    EXPECT_EQ(testfiles::ReadBytes(frame("all", 29)), testfiles::ReadBytes(dir / "end.png"));
    for (int k = 13; k < 17; ++k)
        EXPECT_EQ(testfiles::ReadBytes(frame("part", k)), testfiles::ReadBytes(frame("all", k))) << k;
    EXPECT_FALSE(std::filesystem::exists(frame("part", 12)));
    EXPECT_FALSE(std::filesystem::exists(frame("part", 17)));

    // Frames between carry deep regions whose width falls by one factor.
    long double previous = 0.0L, factor = 0.0L;
    for (int k = 1; k < 29; ++k) {
        const exporter::ViewDocument view = exporter::ReadViewFile(frame("all", k));
        ASSERT_TRUE(view.deepRegion) << k;
        const long double width = std::strtold(view.deepRegion->width.c_str(), nullptr);
        if (k > 1) {
            if (k == 2)
                factor = width / previous;
            EXPECT_NEAR(static_cast<double>(width / previous / factor), 1.0, 1e-9) << k;
        }
        previous = width;
    }
    EXPECT_LT(factor, 0.5L);
    ASSERT_EQ(Render(dir, Join({"--open", frame("all", 21), "--png", dir / "again.png"}, size)).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(dir / "again.png"), testfiles::ReadBytes(frame("all", 21)));

    TempDir empty;
    testfiles::ExpectRefused(empty, Join(movie, {"--movie", empty / "m.webm", "--frame-range", "1:3"}));
    testfiles::ExpectRefused(empty, Join(movie, {"--frames-dir", empty / "f", "--frame-range", "20:31"}));
    testfiles::ExpectRefused(empty, Join(movie, {"--frames-dir", empty / "f", "--frame-range", "5:5"}));
}

} // namespace

namespace {

// Corners that 6-byte reals cannot tell apart end in a deep view, exact from
// the decimals typed; corners they can hold keep the 6-byte end view.
TEST(DeepViewMovie, ZoomToCornersTooCloseForSixBytesEndInADeepView)
{
    TempDir dir;
    const std::vector<std::string> size = {"--size", "48x32", "--quiet"};
    ASSERT_EQ(Render(dir, Join({"--view", "Form1", "--center", "3e-31", "1", "--width", "1e-30", "--height", "1e-30",
                                "--raw", dir / "want.raw"},
                               size))
                  .status,
              0);
    const std::vector<std::string> start = Join({"--view", "Form1", "--center", "0", "1", "--width", "3"}, size);
    const auto run = Render(dir, Join(start, {"--zoom-to", "-2e-31", "8e-31", "0.9999999999999999999999999999995",
                                              "1.0000000000000000000000000000005", "--frames", "12", "--frames-dir",
                                              dir / "deep"}));
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const exporter::ViewDocument last = exporter::ReadViewFile(dir / "deep/frame-00011.png");
    ASSERT_TRUE(last.deepRegion);
    EXPECT_EQ(*last.deepRegion, (deep::DeepRegion{"0.3e-30", "0.1e1", "0.1e-29", "0.1e-29"}));
    ASSERT_EQ(Render(dir, Join({"--open", dir / "deep/frame-00011.png", "--raw", dir / "got.raw"}, size)).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(dir / "got.raw"), testfiles::ReadBytes(dir / "want.raw"));

    ASSERT_EQ(Render(dir, Join(start, {"--zoom-to", "-0.5", "0.5", "0.5", "1.5", "--frames", "3", "--frames-dir",
                                       dir / "shallow"}))
                  .status,
              0);
    EXPECT_FALSE(exporter::ReadViewFile(dir / "shallow/frame-00002.png").deepRegion);
}

} // namespace
