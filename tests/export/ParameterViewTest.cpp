// Parameters in views: view files and PNGs carry them exactly, views with their own write no new line,
// refusals name file and line, quillon-render's flags, and a morphing movie's frames.
#include <regex>

#include "RenderRun.h"
#include "TestFiles.h"
#include "engine/Compute.h"
#include "engine/RowKernels.h"
#include "export/PictureWriters.h"
#include "export/ViewFile.h"
#include "fractals/Catalogue.h"

using namespace exporter;
using testfiles::TempDir;

namespace {

ViewDocument WithParameters(const char* id, void (*change)(fractals::Parameters&))
{
    ViewDocument d = DefaultView(*fractals::FindView(id));
    change(d.parameters);
    return d;
}

std::string ReplaceLine(std::string text, const std::string& key, const std::string& line)
{
    const std::size_t at = text.find("\n" + key + " = ");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos)
        return text;
    const std::size_t end = text.find('\n', at + 1);
    return text.substr(0, at + 1) + line + "\r" + text.substr(end);
}

int LineOf(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find("\n" + key + " = ");
    return at == std::string::npos ? -1 : static_cast<int>(std::count(text.begin(), text.begin() + at + 1, '\n')) + 1;
}

} // namespace

// Values no decimal of fewer than 21 digits gives (a third) and the extremes
// of the limit come back bit for bit, through the text and through a PNG.
TEST(ParameterView, RoundTripsExactlyThroughTextAndPng)
{
    TempDir dir;
    const std::vector<ViewDocument> docs = {
        WithParameters("FormJU3", [](fractals::Parameters& p) {
            p.juliaRe = 1.0L / 3.0L;
            p.juliaIm = -0.0L;
            p.iterations = engine::kMaxIterationLimit;
        }),
        WithParameters("FormTamo2", [](fractals::Parameters& p) {
            p.tamoX = -2.0L / 7.0L;
            p.tamoZ = 1e-300L;
            p.iterations = engine::kMinIterationLimit;
        }),
        WithParameters("Form1", [](fractals::Parameters& p) { p.iterations = 4096; }),
        WithParameters("FormJulia", [](fractals::Parameters& p) { p.juliaIm = 0.6L; }),
    };
    for (const ViewDocument& d : docs) {
        const std::string text = ViewText(d);
        const ViewDocument back = ParseView(text, "v");
        EXPECT_EQ(back, d) << text;
        EXPECT_EQ(std::signbit(back.parameters.juliaIm), std::signbit(d.parameters.juliaIm));
        const std::string png = dir / (d.viewId + ".png");
        const std::vector<std::uint8_t> row(3 * 2);
        auto writer = OpenPngWriter(png, 2, 2, {{kPngViewKeyword, text}});
        writer->WriteRow(row.data());
        writer->WriteRow(row.data());
        writer->Finish();
        EXPECT_EQ(ReadViewFile(png), d) << d.viewId;
    }
    // A decimal alone is read to the nearest extended value, as a typed one.
    std::string text = ViewText(docs[0]);
    text = ReplaceLine(text, "julia-re", "# julia-re removed");
    text = ReplaceLine(text, "julia-re-decimal", "julia-re-decimal = -0.745");
    EXPECT_EQ(ParseView(text, "v").parameters.juliaRe, -0.745L);
}

// Own parameters write no line, so every existing view file stays as it was;
// only the group that differs is written.
TEST(ParameterView, OnlyParametersThatDifferAreWritten)
{
    for (const fractals::View& v : fractals::Views()) {
        const std::string text = ViewText(DefaultView(v));
        EXPECT_EQ(text.find("parameter-"), std::string::npos) << v.id;
        EXPECT_EQ(text.find("julia-"), std::string::npos) << v.id;
        EXPECT_EQ(text.find("iterations"), std::string::npos) << v.id;
    }
    const std::string tamo = ViewText(WithParameters("FormTamo1", [](fractals::Parameters& p) { p.tamoY = 2.5L; }));
    EXPECT_NE(tamo.find("parameter-x = 40008000000000000000\r\n"), std::string::npos) << tamo; // 2.0, unchanged, still written
    EXPECT_EQ(tamo.find("iterations"), std::string::npos);
    EXPECT_NE(tamo.find("parameter-y-decimal = 2.5\r\n"), std::string::npos);
    const std::string julia = ViewText(WithParameters("FormJU6", [](fractals::Parameters& p) { p.iterations = 201; }));
    EXPECT_EQ(julia.find("julia-"), std::string::npos);
    EXPECT_NE(julia.find("\r\niterations = 201\r\n"), std::string::npos);
}

TEST(ParameterView, ParametersThatDoNotApplyOrAreOutOfRangeAreRefused)
{
    const std::string julia =
        ViewText(WithParameters("FormJU3", [](fractals::Parameters& p) { p.juliaRe = 0.5L; p.iterations = 300; }));
    const std::string tamo = ViewText(WithParameters("FormTamo1", [](fractals::Parameters& p) { p.tamoX = 1.5L; }));
    const struct {
        std::string text;
        std::string key;
        std::string expect;
    } cases[] = {
        {ReplaceLine(julia, "view", "view = FormTamo1"), "julia-re", "'julia-re' does not apply to FormTamo1"},
        {ReplaceLine(julia, "view", "view = FormRN2.SBAL4"), "julia-re", "'julia-re' does not apply to FormRN2.SBAL4"},
        {ReplaceLine(tamo, "view", "view = Form1"), "parameter-x", "'parameter-x' does not apply to Form1"},
        {ReplaceLine(tamo, "view", "view = FormJU1"), "parameter-x", "'parameter-x' does not apply to FormJU1"},
        {ReplaceLine(ReplaceLine(ReplaceLine(julia, "view", "view = FormRN6"), "julia-re", "#"), "julia-re-decimal", "#"),
         "julia-im", "'julia-im' does not apply to FormRN6"},
        {ReplaceLine(ReplaceLine(ReplaceLine(ReplaceLine(ReplaceLine(julia, "view", "view = FormRN6"), "julia-re", "#"),
                                             "julia-re-decimal", "#"),
                                 "julia-im", "#"),
                     "julia-im-decimal", "#"),
         "iterations", "'iterations' does not apply to FormRN6"},
        {ReplaceLine(julia, "iterations", "iterations = 0"), "iterations", "the iteration limit must be a whole number from 1 to 10000000"},
        {ReplaceLine(julia, "iterations", "iterations = 10000001"), "iterations", "the iteration limit must be"},
        {ReplaceLine(julia, "julia-re", "julia-re = 7fff8000000000000000"), "julia-re", "'julia-re' must be 20 hex digits of a finite 80-bit real"},
        {ReplaceLine(julia, "julia-im", "julia-im = 3ffc9fbe76c8b43958"), "julia-im", "'julia-im' must be 20 hex digits"},
        {ReplaceLine(julia, "julia-re-decimal", "julia-re-decimal = nan"), "julia-re-decimal", "'julia-re-decimal' is out of range"},
        {ReplaceLine(julia, "julia-im-decimal", "julia-im-decimal = 0.1x"), "julia-im-decimal", "'julia-im-decimal' must be a decimal number"},
        {ReplaceLine(tamo, "parameter-z-decimal", "parameter-z-decimal = 1e5000"), "parameter-z-decimal", "'parameter-z-decimal' is out of range"},
    };
    for (const auto& c : cases) {
        const int line = LineOf(c.text, c.key);
        ASSERT_GT(line, 0) << c.expect;
        try {
            ParseView(c.text, "v.qview");
            ADD_FAILURE() << c.expect;
        } catch (const ViewFileError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("v.qview, line " + std::to_string(line) + ": " + c.expect, 0), 0u)
                << e.what();
        }
    }
}

TEST(ParameterView, FlagsApplyOnlyWhereTheFormulaReadsThem)
{
    TempDir dir;
    const std::string out = dir / "x.raw";
    const struct {
        std::vector<std::string> args;
        std::string line;
    } refused[] = {
        {{"--view", "FormTamo1", "--julia", "0.1", "0.2"}, "--julia applies to the Julia views and FormJulia (CountJuliaSet), not to FormTamo1 (CountTamoSet)"},
        {{"--view", "Form1", "--param", "1", "2", "3"}, "--param applies to the Tamo views (CountTamoSet), not to Form1 (LevelSetKernel)"},
        {{"--view", "FormRN6.SBAL1", "--iterations", "300"}, "--iterations applies to the Tamo, Julia and level-set views, not to FormRN6.SBAL1 (RN6Kernel1)"},
        {{"--view", "FormJU1", "--iterations", "0"}, "--iterations must be a whole number from 1 to 10000000, not '0'"},
        {{"--view", "FormJU1", "--iterations", "1e3"}, "--iterations must be a whole number from 1 to 10000000, not '1e3'"},
        {{"--view", "FormJU1", "--julia", "0.1", "inf"}, "'inf' is not a valid number"},
        {{"--view", "FormJU1", "--julia", "0.1"}, "--julia needs 2 values"},
        {{"--view", "FormTamo1", "--param", "1", "2", "x"}, "'x' is not a valid number"},
    };
    for (const auto& c : refused) {
        const testfiles::RunResult run = testfiles::Render(dir, testfiles::Join(c.args, {"--raw", out}));
        EXPECT_EQ(run.status, 2) << c.line;
        EXPECT_EQ(run.stderrText, "quillon-render: " + c.line + "\n");
        EXPECT_TRUE(dir.Entries().empty()) << c.line;
    }
    // --open takes the file's parameters; a flag replaces only its own.
    const std::string view = dir / "v.qview";
    ASSERT_EQ(testfiles::Render(dir, {"--view", "FormJU5", "--julia", "-0.4", "0.6", "--iterations", "333", "--save-view",
                                      view}).status, 0);
    const std::string again = dir / "w.qview";
    ASSERT_EQ(testfiles::Render(dir, {"--open", view, "--iterations", "444", "--save-view", again}).status, 0);
    const ViewDocument d = ReadViewFile(again);
    EXPECT_EQ(d.parameters.juliaRe, -0.4L);
    EXPECT_EQ(d.parameters.juliaIm, 0.6L);
    EXPECT_EQ(d.parameters.iterations, 444);
}

// A sampled check of a picture with a constant of its own: the cells are the
// counts of that constant (and of that limit), not of the window's.
TEST(ParameterView, AConstantOfItsOwnChangesTheRightCells)
{
    TempDir dir;
    const std::string raw = dir / "j.raw";
    const testfiles::RunResult run = testfiles::Render(
        dir, {"--view", "FormJU9", "--julia", "0.285", "0.01", "--iterations", "1000", "--size", "160x120", "--raw", raw});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const std::vector<std::uint8_t> cells = testfiles::ReadBytes(raw);
    ASSERT_EQ(cells.size(), 160u * 120u);
    const fractals::View& view = *fractals::FindView("FormJU9");
    const engine::RegionValues r = view.region.Make().Values();
    const engine::Grid grid = engine::Grid::OfSize(160, 120);
    engine::TJUSet own, window;
    own.JuliaConst = {0.285L, 0.01L, 0.0L};
    own.IterationLimit = 1000;
    window.JuliaConst = {view.window->juliaRe, view.window->juliaIm, 0.0L};
    int differ = 0;
    for (int i = 0; i < 120; i += 7)
        for (int j = 0; j < 160; j += 5) {
            const engine::TTriple point{grid.CellX(r, j), grid.CellY(r, i), 0.0L};
            own.SetValues(engine::kCalcParam, point);
            window.SetValues(engine::kCalcParam, point);
            const std::uint8_t cell = cells[static_cast<std::size_t>(i) * 160 + static_cast<std::size_t>(j)];
            ASSERT_EQ(cell, engine::LowByte(engine::CountJuliaSet(own))) << i << "," << j;
            differ += cell != engine::LowByte(engine::CountJuliaSet(window));
        }
    EXPECT_GT(differ, 50);
}

// The parameters move from the start view's to the end view's; the first and
// last frames are the two views' pictures and each frame's view is exact.
TEST(ParameterView, MorphingMovieEndsOnBothViewsAndEachFrameCarriesItsParameters)
{
    TempDir dir;
    const std::string end = dir / "end.qview";
    ASSERT_EQ(testfiles::Render(dir, {"--view", "FormJulia", "--julia", "0.1", "0.6", "--iterations", "400",
                                      "--region", "-1", "1", "-0.75", "0.75", "--save-view", end}).status, 0);
    const std::string frames = dir / "frames";
    const testfiles::RunResult movie = testfiles::Render(
        dir, {"--view", "FormJulia", "--to", end, "--frames", "5", "--size", "48x36", "--frames-dir", frames});
    ASSERT_EQ(movie.status, 0) << movie.stderrText;
    ASSERT_EQ(testfiles::Render(dir, {"--view", "FormJulia", "--size", "48x36", "--png", dir / "first.png"}).status, 0);
    ASSERT_EQ(testfiles::Render(dir, {"--open", end, "--size", "48x36", "--png", dir / "last.png"}).status, 0);
    EXPECT_EQ(testfiles::ReadBytes(frames + "/frame-00000.png"), testfiles::ReadBytes(dir / "first.png"));
    EXPECT_EQ(testfiles::ReadBytes(frames + "/frame-00004.png"), testfiles::ReadBytes(dir / "last.png"));
    const fractals::Parameters a = DefaultView(fractals::JuliaExplorerView()).parameters;
    const fractals::Parameters b = ReadViewFile(end).parameters;
    for (int k = 0; k < 5; ++k) {
        const std::string frame = frames + "/frame-0000" + std::to_string(k) + ".png";
        EXPECT_EQ(ReadViewFile(frame).parameters, fractals::MorphParameters(a, b, k, 5)) << k;
        ASSERT_EQ(testfiles::Render(dir, {"--open", frame, "--png", dir / "again.png"}).status, 0);
        EXPECT_EQ(testfiles::ReadBytes(dir / "again.png"), testfiles::ReadBytes(frame)) << k;
    }
}
