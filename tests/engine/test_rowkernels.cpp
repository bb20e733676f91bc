// The fast row kernels against the scalar kernels, byte for byte, on whole rows and awkward regions.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Compute.h"
#include "engine/Kernels.h"
#include "engine/RowKernels.h"
#include "fractals/Catalogue.h"

using namespace engine;

namespace {

struct Quadratic {
    const char* name;
    TValueFunction kernel;
    RowKernel row;
};

const std::array<Quadratic, 3> kQuadratic{{
    {"LevelSetKernel", LevelSetKernel, LevelSetRow},
    {"RN6Kernel1", RN6Kernel1, RN6Kernel1Row},
    {"RN6Kernel4", RN6Kernel4, RN6Kernel4Row},
}};

// What the calculation thread stores for one pixel: SetValues, value function, low byte.
std::uint8_t Scalar(TValueFunction kernel, Extended px, Extended py)
{
    TTamo1Set carrier;
    carrier.SetValues(kCalcParam, {px, py, 0.0L});
    return static_cast<std::uint8_t>(kernel(carrier) & 0xFF);
}

std::vector<Extended> Columns(const RegionValues& r)
{
    std::vector<Extended> px(kBufferWidth);
    for (int j = 0; j < kBufferWidth; ++j)
        px[j] = CellX(r, j);
    return px;
}

RegionValues Corners(Extended x1, Extended x2, Extended y1, Extended y2)
{
    Region r;
    r.SetRegionByCorners(x1, x2, y1, y2);
    return r.Values();
}

// Compares one whole row with the scalar kernel, reporting the first few
// differing columns.
void ExpectRowMatches(const Quadratic& q, const std::vector<Extended>& px, Extended py, const std::string& what)
{
    std::vector<std::uint8_t> fast(px.size(), 0xEE);
    q.row(px.data(), py, static_cast<int>(px.size()), fast.data(), kDefaultIterationLimit);
    int mismatches = 0;
    for (std::size_t j = 0; j < px.size(); ++j) {
        const std::uint8_t expected = Scalar(q.kernel, px[j], py);
        if (fast[j] != expected && ++mismatches <= 5)
            ADD_FAILURE() << q.name << " " << what << " column " << j << ": row kernel " << int(fast[j])
                          << ", scalar " << int(expected);
    }
    EXPECT_EQ(mismatches, 0) << q.name << " " << what;
}

} // namespace

TEST(RowKernels, EqualScalarKernelsOnRowsOfTheirOwnViews)
{
    // Form1, FormRN6 (RN6Kernel1) and FormRN6.SBAL4 (RN6Kernel4) cover the
    // boundary regions the windows open on; top, middle and bottom rows.
    const std::array<const char*, 3> views{"Form1", "FormRN6", "FormRN6.SBAL4"};
    for (std::size_t k = 0; k < kQuadratic.size(); ++k) {
        const fractals::View* v = fractals::FindView(views[k]);
        ASSERT_NE(v, nullptr);
        ASSERT_EQ(v->function, kQuadratic[k].kernel);
        const RegionValues r = v->region.Make().Values();
        for (int row : {0, 401, 767})
            ExpectRowMatches(kQuadratic[k], Columns(r), CellY(r, row), std::string(views[k]) + " row " +
                                                                          std::to_string(row));
    }
}

TEST(RowKernels, OrbitsOfVeryDifferentLengthsSideBySide)
{
    // Across the whole set: lanes alternate between orbits of 1, a few and
    // 200 iterations, so one lane refills many times while the other runs.
    const RegionValues wide = Corners(-2.5L, 1.5L, -1.5L, 1.5L);
    for (const Quadratic& q : kQuadratic)
        for (int row : {0, 200, 384})
            ExpectRowMatches(q, Columns(wide), CellY(wide, row), "wide row " + std::to_string(row));
}

TEST(RowKernels, EscapeAtTheFirstIterationAndNeverEscaping)
{
    // Far out every orbit ends after one iteration (u = px*px >= 10000);
    // around the origin the Mandelbrot orbits never escape.
    const RegionValues far = Corners(100.0L, 300.0L, -50.0L, 50.0L);
    const RegionValues inside = Corners(-0.3L, 0.2L, -0.2L, 0.2L);
    for (const Quadratic& q : kQuadratic) {
        ExpectRowMatches(q, Columns(far), CellY(far, 100), "far");
        ExpectRowMatches(q, Columns(inside), CellY(inside, 300), "inside");
    }
    std::vector<std::uint8_t> out(kBufferWidth);
    const std::vector<Extended> farPx = Columns(far);
    LevelSetRow(farPx.data(), CellY(far, 100), kBufferWidth, out.data());
    EXPECT_EQ(out.front(), 1);
    EXPECT_EQ(out.back(), 1);
    const std::vector<Extended> insidePx = Columns(inside);
    LevelSetRow(insidePx.data(), 0.0L, kBufferWidth, out.data());
    EXPECT_EQ(out[0], 200);
    EXPECT_EQ(out[kBufferWidth / 2], 200);
}

TEST(RowKernels, ShortRowsAndTheLastColumns)
{
    // Counts of 1, 2 and 3 leave a lane idle from the start or after one
    // orbit; nothing beyond `count` is written, and count 0 writes nothing.
    const RegionValues r = Corners(-2.0L, 0.6L, -1.2L, 1.2L);
    const std::vector<Extended> px = Columns(r);
    const Extended py = CellY(r, 333);
    for (const Quadratic& q : kQuadratic) {
        for (int count : {0, 1, 2, 3, 7}) {
            const int first = kBufferWidth - count; // the row's last columns
            std::vector<std::uint8_t> out(count + 1, 0xEE);
            q.row(px.data() + first, py, count, out.data(), kDefaultIterationLimit);
            for (int j = 0; j < count; ++j)
                EXPECT_EQ(out[j], Scalar(q.kernel, px[first + j], py)) << q.name << " count " << count << " col " << j;
            EXPECT_EQ(out[count], 0xEE) << q.name << " wrote past count " << count;
        }
    }
}

TEST(RowKernels, ZeroAndNegativeWidthRegions)
{
    // Width 0: every column is the same point. Negative width: the row runs
    // right to left and mirrors the positive one.
    Region zero;
    zero.SetRegionBySize(-0.75L, 0.0L, 0.1L, 0.0L);
    const RegionValues z = zero.Values();
    const RegionValues pos = Corners(-1.9L, 0.4L, -1.0L, 1.0L);
    const RegionValues neg = Corners(0.4L, -1.9L, -1.0L, 1.0L);
    for (const Quadratic& q : kQuadratic) {
        ExpectRowMatches(q, Columns(z), CellY(z, 5), "zero width");
        ExpectRowMatches(q, Columns(neg), CellY(neg, 250), "negative width");
        std::vector<std::uint8_t> a(kBufferWidth), b(kBufferWidth);
        q.row(Columns(pos).data(), CellY(pos, 250), kBufferWidth, a.data(), kDefaultIterationLimit);
        q.row(Columns(neg).data(), CellY(neg, 250), kBufferWidth, b.data(), kDefaultIterationLimit);
        EXPECT_EQ(a.front(), b.back()) << q.name;
        EXPECT_EQ(a.back(), b.front()) << q.name;
    }
}

TEST(RowKernels, CoordinatesOutsideTheDoubleRange)
{
    // These cannot be carried as two doubles; the level-set row falls back
    // to the scalar loop for them, the other kernels never split.
    std::vector<Extended> px{1e-4000L, -3e-4000L, 1e400L, -0.5L, 0.25L, 1e-320L, -0.0L, 0.0L, 2.5e-310L};
    for (const Quadratic& q : kQuadratic)
        for (Extended py : {0.0L, 1e-4000L, 0.5L, 1e400L})
            ExpectRowMatches(q, px, py, "extreme");
}

TEST(RowKernels, ComputeRowUsesThemAndLeavesTheSetOnTheLastPoint)
{
    const RegionValues r = Corners(-1.5L, 0.5L, -1.0L, 1.0L);
    for (const Quadratic& q : kQuadratic) {
        ASSERT_EQ(FindRowKernel(q.kernel), q.row);
        TTamo1Set set;
        std::vector<std::uint8_t> out(kBufferWidth);
        ComputeRow(r, set, q.kernel, 123, out.data());
        for (int j = 0; j < kBufferWidth; j += 31)
            EXPECT_EQ(out[j], Scalar(q.kernel, CellX(r, j), CellY(r, 123))) << q.name << " col " << j;
        EXPECT_EQ(set.Current.X, CellX(r, kBufferWidth - 1));
        EXPECT_EQ(set.Current.Y, CellY(r, 123));
        EXPECT_EQ(set.Param.Z, kCalcParam.Z);
    }
    EXPECT_EQ(FindRowKernel(CountJuliaSet), nullptr);
    EXPECT_EQ(FindRowKernel(CountTamoSet), nullptr);
}

namespace {

// The Julia count as the calculation thread takes it from a set object.
std::uint8_t ScalarJulia(Extended cx, Extended cy, Extended px, Extended py)
{
    TJUSet set;
    set.JuliaConst = {cx, cy, 0.0L};
    set.SetValues(kCalcParam, {px, py, 0.0L});
    return static_cast<std::uint8_t>(CountJuliaSet(set) & 0xFF);
}

void ExpectJuliaRowMatches(Extended cx, Extended cy, const std::vector<Extended>& px, Extended py,
                           const std::string& what)
{
    std::vector<std::uint8_t> fast(px.size() + 1, 0xEE);
    JuliaRow(px.data(), py, cx, cy, static_cast<int>(px.size()), fast.data());
    int mismatches = 0;
    for (std::size_t j = 0; j < px.size(); ++j) {
        const std::uint8_t expected = ScalarJulia(cx, cy, px[j], py);
        if (fast[j] != expected && ++mismatches <= 5)
            ADD_FAILURE() << what << " column " << j << ": row kernel " << int(fast[j]) << ", set object "
                          << int(expected);
    }
    EXPECT_EQ(mismatches, 0) << what;
    EXPECT_EQ(fast[px.size()], 0xEE) << what << ": written past the count";
}

// A Julia set whose step differs; ComputeRow must not take the row kernel for it.
class ShiftedJuliaSet : public TJUSet {
public:
    void Get(TTriple& ANext) override
    {
        TJUSet::Get(ANext);
        Current.X = Current.X + 0.001L;
        ANext = Current;
    }
};

} // namespace

TEST(RowKernels, JuliaRowEqualsTheSetObjectOnEveryJuliaView)
{
    int views = 0;
    for (const fractals::View& v : fractals::Views()) {
        if (v.function != CountJuliaSet)
            continue;
        ++views;
        const std::unique_ptr<TBasicSet> set = fractals::MakePointSet(*v.window);
        const TTriple c = dynamic_cast<const TJUSet&>(*set).JuliaConst;
        const RegionValues r = v.region.Make().Values();
        for (int row : {0, 300, 767})
            ExpectJuliaRowMatches(c.X, c.Y, Columns(r), CellY(r, row), v.id + " row " + std::to_string(row));
    }
    EXPECT_EQ(views, 12);
}

TEST(RowKernels, JuliaRowAtTheEdges)
{
    const Extended cx = -0.74543L, cy = 0.11301L;
    // Lanes of very different lengths, orbits ending at the first step, and
    // orbits that never end.
    const RegionValues wide = Corners(-30.0L, 30.0L, -2.0L, 2.0L);
    for (int row : {0, 384, 500})
        ExpectJuliaRowMatches(cx, cy, Columns(wide), CellY(wide, row), "wide row " + std::to_string(row));
    // Rows of 0 to 7 columns taken from the row's end.
    const std::vector<Extended> px = Columns(wide);
    for (int count : {0, 1, 2, 3, 7})
        ExpectJuliaRowMatches(cx, cy, std::vector<Extended>(px.end() - count, px.end()), CellY(wide, 400),
                              "count " + std::to_string(count));
    // Overflow to infinity and NaN (inf - inf), subnormal and zero points,
    // the constant zero and a constant beyond the double range.
    const std::vector<Extended> extreme{1e4000L, -1e4000L, 1e-4000L, -0.0L, 0.0L, 0.3L, -1e300L, 2.5e-310L, 25.5L};
    for (Extended py : {0.0L, 1e-4000L, 0.5L, 1e2466L, -25.5L})
        for (const TTriple& c : {TTriple{cx, cy, 0}, TTriple{0, 0, 0}, TTriple{1e4000L, -1e-4000L, 0}})
            ExpectJuliaRowMatches(c.X, c.Y, extreme, py, "extreme");
    std::vector<std::uint8_t> out(2);
    JuliaRow(extreme.data() + 4, 0.0L, 0.0L, 0.0L, 1, out.data());
    EXPECT_EQ(out[0], 200); // the origin is a fixed point of z*z
    JuliaRow(extreme.data() + 8, -25.5L, 0.0L, 0.0L, 1, out.data());
    EXPECT_EQ(out[0], 1); // the first step lands on (0, -1300.5)
}

TEST(RowKernels, ComputeRowOnJuliaSetsLeavesTheSetAsThePixelLoopWould)
{
    const RegionValues r = Corners(-1.6L, 1.6L, -1.2L, 1.2L);
    TJUSet fast;
    fast.JuliaConst = {0.285L, 0.01L, 0.0L};
    std::vector<std::uint8_t> out(kBufferWidth);
    ComputeRow(r, fast, CountJuliaSet, 300, out.data());
    TJUSet slow;
    slow.JuliaConst = fast.JuliaConst;
    for (int j = 0; j < kBufferWidth; ++j) {
        slow.SetValues(kCalcParam, {CellX(r, j), CellY(r, 300), 0.0L});
        ASSERT_EQ(out[j], static_cast<std::uint8_t>(CountJuliaSet(slow) & 0xFF)) << "column " << j;
    }
    for (const auto& [a, b] : {std::pair{fast.Current, slow.Current}, std::pair{fast.Prev1, slow.Prev1}}) {
        EXPECT_EQ(a.X, b.X);
        EXPECT_EQ(a.Y, b.Y);
        EXPECT_EQ(a.Z, b.Z);
    }

    // A subclass steps its own way and gets its own counts.
    ShiftedJuliaSet shifted;
    shifted.JuliaConst = fast.JuliaConst;
    std::vector<std::uint8_t> own(kBufferWidth);
    ComputeRow(r, shifted, CountJuliaSet, 300, own.data());
    ShiftedJuliaSet reference;
    reference.JuliaConst = fast.JuliaConst;
    int differing = 0;
    for (int j = 0; j < kBufferWidth; ++j) {
        reference.SetValues(kCalcParam, {CellX(r, j), CellY(r, 300), 0.0L});
        ASSERT_EQ(own[j], static_cast<std::uint8_t>(CountJuliaSet(reference) & 0xFF)) << "column " << j;
        differing += own[j] != out[j];
    }
    EXPECT_GT(differing, 0);
}

namespace {

// Every modular kernel, by the name the catalogue gives it.
const std::array<std::pair<const char*, TValueFunction>, 30> kModular{{
    {"RN1Kernel1", RN1Kernel1}, {"RN1Kernel2", RN1Kernel2}, {"RN1Kernel3", RN1Kernel3}, {"RN1Kernel4", RN1Kernel4},
    {"RN1Kernel5", RN1Kernel5}, {"RN1Kernel6", RN1Kernel6}, {"RN2Kernel1", RN2Kernel1}, {"RN2Kernel2", RN2Kernel2},
    {"RN2Kernel3", RN2Kernel3}, {"RN2Kernel4", RN2Kernel4}, {"RN2Kernel5", RN2Kernel5}, {"RN2Kernel6", RN2Kernel6},
    {"RN3Kernel1", RN3Kernel1}, {"RN3Kernel2", RN3Kernel2}, {"RN3Kernel3", RN3Kernel3}, {"RN3Kernel4", RN3Kernel4},
    {"RN3Kernel5", RN3Kernel5}, {"RN3Kernel6", RN3Kernel6}, {"RN4Kernel1", RN4Kernel1}, {"RN4Kernel2", RN4Kernel2},
    {"RN4Kernel3", RN4Kernel3}, {"RN4Kernel4", RN4Kernel4}, {"RN4Kernel5", RN4Kernel5}, {"RN5Kernel1", RN5Kernel1},
    {"RN5Kernel2", RN5Kernel2}, {"RN5Kernel3", RN5Kernel3}, {"RN5Kernel4", RN5Kernel4}, {"RN5Kernel5", RN5Kernel5},
    {"RN5Kernel6", RN5Kernel6}, {"RN6Kernel6", RN6Kernel6},
}};

void ExpectModularRowMatches(const char* name, TValueFunction kernel, const std::vector<Extended>& px, Extended py,
                             const std::string& what)
{
    const RowKernel row = FindRowKernel(kernel);
    if (!row)
        GTEST_SKIP() << "no row kernel on this processor";
    ExpectRowMatches(Quadratic{name, kernel, row}, px, py, what);
}

} // namespace

TEST(RowKernels, ModularFamilyEqualsScalarOnRowsOfEveryView)
{
    // The 36 views of a modular kernel: five opening views, the 30 type
    // buttons of the first five random-set windows and FormRN6.SBAL6. Two
    // rows each keep this quick.
    int views = 0;
    for (const fractals::View& v : fractals::Views()) {
        if (v.function == LevelSetKernel || v.function == RN6Kernel1 || v.function == RN6Kernel4 ||
            v.function == CountTamoSet || v.function == CountJuliaSet)
            continue;
        ++views;
        const RegionValues r = v.region.Make().Values();
        for (int row : {90, 640})
            ExpectModularRowMatches(v.functionName, v.function, Columns(r), CellY(r, row),
                                    v.id + " row " + std::to_string(row));
    }
    EXPECT_EQ(views, 36);
}

TEST(RowKernels, ModularFamilyAtTheOriginAndFarOut)
{
    // Row 0 of a region starting at the origin holds (0, 0), where
    // RN4Kernel4's modulus is zero and its quotient is NaN. Far out, the
    // quotients leave the 32-bit range and truncate to -2^31; tiny values
    // truncate to +0.
    const RegionValues origin = Corners(0.0L, 3.0L, 0.0L, 2.0L);
    const RegionValues huge = Corners(-4e12L, 4e12L, -3e12L, 3e12L);
    const RegionValues tiny = Corners(-1e-30L, 1e-30L, -1e-30L, 1e-30L);
    for (const auto& [name, kernel] : kModular) {
        ExpectModularRowMatches(name, kernel, Columns(origin), CellY(origin, 0), "origin row");
        ExpectModularRowMatches(name, kernel, Columns(huge), CellY(huge, 500), "huge");
        ExpectModularRowMatches(name, kernel, Columns(tiny), CellY(tiny, 383), "tiny");
    }
}
