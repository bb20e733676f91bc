// A window's parameters in the engine: the iteration limit in every counting path, the Tamo triple, clones,
// the catalogue's defaults and the parameters of a morphing movie's frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/Compute.h"
#include "engine/Kernels.h"
#include "engine/RowKernels.h"
#include "fractals/Catalogue.h"
#include "render/ViewMovie.h"

using namespace engine;

namespace {

constexpr std::int32_t kLimits[] = {1, 2, 57, 199, 201, 255, 256, 1000};
// Above every limit tried: min(count at this limit, L) is the count at L.
constexpr std::int32_t kAboveEveryLimit = 3000;

std::vector<Extended> RowOf(const fractals::View& view, int row, const Grid& grid, Extended& y)
{
    const RegionValues r = view.region.Make().Values();
    y = grid.CellY(r, row);
    std::vector<Extended> px(static_cast<std::size_t>(grid.width));
    for (int j = 0; j < grid.width; ++j)
        px[static_cast<std::size_t>(j)] = grid.CellX(r, j);
    return px;
}

std::int32_t CountWith(TBasicSet& set, TValueFunction fn, std::int32_t limit, Extended x, Extended y)
{
    set.IterationLimit = limit;
    set.SetValues(set.CalcParam, {x, y, 0.0L});
    return fn(set);
}

} // namespace

// The limit is tested before anything else: a count under limit L is the
// orbit's own count capped at L, for the scalar kernels and for the row
// kernels (the x87 loops compare a lane's count with the limit).
TEST(IterationLimit, EveryCountIsTheOrbitsCountCappedAtTheLimit)
{
    const Grid grid = Grid::OfSize(97, 31);
    for (const char* id : {"Form1", "FormJU3", "FormJU7", "FormTamo1", "FormTamo3", "FormTamo2"}) {
        const fractals::View& view = *fractals::FindView(id);
        const std::unique_ptr<TBasicSet> set = fractals::MakePointSet(*view.window);
        for (int row : {0, 13, 30}) {
            Extended y = 0;
            const std::vector<Extended> px = RowOf(view, row, grid, y);
            std::vector<std::int32_t> own;
            for (Extended x : px)
                own.push_back(CountWith(*set, view.function, kAboveEveryLimit, x, y));
            for (std::int32_t limit : kLimits) {
                std::vector<std::uint8_t> fast(px.size(), 0xEE);
                if (view.function == LevelSetKernel)
                    LevelSetRow(px.data(), y, grid.width, fast.data(), limit);
                if (view.function == CountJuliaSet) {
                    const TTriple c = dynamic_cast<const TJUSet&>(*set).JuliaConst;
                    JuliaRow(px.data(), y, c.X, c.Y, grid.width, fast.data(), limit);
                }
                for (std::size_t j = 0; j < px.size(); ++j) {
                    const std::int32_t expected = std::min(own[j], limit);
                    ASSERT_EQ(CountWith(*set, view.function, limit, px[j], y), expected)
                        << id << " limit " << limit << " row " << row << " column " << j;
                    if (view.function != CountTamoSet) {
                        ASSERT_EQ(fast[j], LowByte(expected)) << id << " row kernel, limit " << limit << " column " << j;
                    }
                }
            }
        }
    }
}

// ComputeRow takes the set's limit and Tamo triple on every path: the row
// kernels, the Julia row with its last column through the set, and the
// per-pixel loop.
TEST(IterationLimit, ComputeRowUsesTheSetsParameters)
{
    fractals::Parameters p;
    p.iterations = 777;
    p.tamoX = 1.9L;
    p.tamoY = 2.25L;
    p.tamoZ = -0.5L;
    p.juliaRe = -0.8L;
    p.juliaIm = 0.156L;
    const Grid grid = Grid::OfSize(64, 8);
    for (const char* id : {"Form1", "FormJU3", "FormJulia", "FormTamo1", "FormTamo2", "FormTamo4"}) {
        const fractals::View& view = *fractals::FindView(id);
        const std::unique_ptr<TBasicSet> set = fractals::MakePointSet(*view.window, p);
        const std::unique_ptr<TBasicSet> reference = set->Clone();
        const RegionValues r = view.region.Make().Values();
        bool anyAbove255 = false, anyDiffersFromDefault = false;
        const std::unique_ptr<TBasicSet> plain = fractals::MakePointSet(*view.window);
        for (int row = 0; row < grid.height; ++row) {
            std::vector<std::uint8_t> out(static_cast<std::size_t>(grid.width));
            ComputeRow(r, grid, *set, view.function, row, out.data());
            for (int j = 0; j < grid.width; ++j) {
                reference->SetValues(TTriple{p.tamoX, p.tamoY, p.tamoZ}, {grid.CellX(r, j), grid.CellY(r, row), 0.0L});
                const std::int32_t n = view.function(*reference);
                ASSERT_EQ(out[static_cast<std::size_t>(j)], LowByte(n)) << id << " row " << row << " column " << j;
                anyAbove255 = anyAbove255 || n > 255;
                plain->SetValues(kCalcParam, {grid.CellX(r, j), grid.CellY(r, row), 0.0L});
                anyDiffersFromDefault = anyDiffersFromDefault || view.function(*plain) != n;
            }
        }
        EXPECT_TRUE(anyDiffersFromDefault) << id << ": the parameters changed nothing";
        if (view.function != CountTamoSet) {
            EXPECT_TRUE(anyAbove255) << id << ": no count past the old limit";
        }
    }
}

TEST(Parameters, ClonesCarryThem)
{
    fractals::Parameters p;
    p.iterations = 4321;
    p.tamoX = 3.0L;
    p.juliaRe = 0.25L;
    p.juliaIm = -0.5L;
    std::vector<const fractals::WindowEntry*> windows{&fractals::JuliaExplorerWindow()};
    for (const fractals::WindowEntry& w : fractals::Windows())
        windows.push_back(&w);
    for (const fractals::WindowEntry* w : windows) {
        const std::unique_ptr<TBasicSet> clone = fractals::MakePointSet(*w, p)->Clone();
        EXPECT_EQ(clone->IterationLimit, 4321) << w->instance;
        EXPECT_EQ(clone->CalcParam.X, 3.0L) << w->instance;
        EXPECT_EQ(clone->CalcParam.Y, kCalcParam.Y) << w->instance;
        if (const auto* julia = dynamic_cast<const TJUSet*>(clone.get())) {
            EXPECT_EQ(julia->JuliaConst.X, 0.25L) << w->instance;
            EXPECT_EQ(julia->JuliaConst.Y, -0.5L) << w->instance;
        }
    }
}

TEST(Parameters, TheJuliaExplorerStandsBesideTheCatalogue)
{
    EXPECT_EQ(fractals::Windows().size(), 24u);
    EXPECT_EQ(fractals::Views().size(), 60u);
    const fractals::View* v = fractals::FindView("FormJulia");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v, &fractals::JuliaExplorerView());
    EXPECT_EQ(fractals::FindWindow("FormJulia"), &fractals::JuliaExplorerWindow());
    EXPECT_STREQ(v->window->caption, "Julia Set");
    EXPECT_EQ(v->function, CountJuliaSet);
    const fractals::View& ju = *fractals::FindView("FormJU1");
    EXPECT_EQ(v->window->region.Make().Values(), ju.window->region.Make().Values());
    const fractals::Parameters d = fractals::DefaultParameters(*v->window);
    EXPECT_EQ(d.juliaRe, -0.8L);
    EXPECT_EQ(d.juliaIm, 0.156L);
    EXPECT_EQ(d.iterations, 200);
    EXPECT_EQ(fractals::DefaultParameters(*ju.window).juliaRe, 0.31L);
}

TEST(Parameters, MorphMovesEachValueLinearlyAndEndsExactly)
{
    fractals::Parameters a, b;
    a.juliaRe = -0.8L;
    a.juliaIm = 0.156L;
    b.juliaRe = 0.1L;
    b.juliaIm = 0.156L;
    a.iterations = 200;
    b.iterations = 1000;
    b.tamoZ = 3.3L;
    const int frames = 9;
    EXPECT_EQ(fractals::MorphParameters(a, b, 0, frames), a);
    EXPECT_EQ(fractals::MorphParameters(a, b, frames - 1, frames), b);
    const fractals::Parameters mid = fractals::MorphParameters(a, b, 4, frames);
    EXPECT_EQ(mid.juliaRe, -0.8L + (0.1L - -0.8L) * 0.5L);
    EXPECT_EQ(mid.juliaIm, 0.156L); // equal ends stay exactly equal
    EXPECT_EQ(mid.iterations, 600);
    EXPECT_EQ(mid.tamoZ, kCalcParam.Z + (3.3L - kCalcParam.Z) * 0.5L);
    EXPECT_EQ(fractals::MorphParameters(a, b, 1, frames).iterations, 300);
    EXPECT_EQ(fractals::MorphParameters(b, a, 3, 7).iterations, 600); // 1000 - 800 * 3/6, rounded
    for (int k = 1; k < frames; ++k)
        EXPECT_GT(fractals::MorphParameters(a, b, k, frames).juliaRe, fractals::MorphParameters(a, b, k - 1, frames).juliaRe);
}

// A path through several views: each view's parameters exactly at its own
// frame, linear between two, and a segment without frames (equal regions)
// passed over.
TEST(Parameters, PathThroughSeveralViews)
{
    fractals::Parameters a, b, c;
    a.iterations = 100;
    b.iterations = 300;
    c.iterations = 301;
    c.juliaRe = 0.5L;
    const render::ParameterPath path{{a, b, c}, {0, 4, 4}};
    EXPECT_TRUE(path.Moves());
    EXPECT_EQ(path.At(0), a);
    EXPECT_EQ(path.At(2).iterations, 200);
    EXPECT_EQ(path.At(3).iterations, 250);
    EXPECT_EQ(path.At(4), c);
    EXPECT_EQ(path.At(9), c);
    EXPECT_FALSE((render::ParameterPath{{b, b}, {0, 7}}.Moves()));
}
