// Rows computed two pixels at a time against the same pixels counted one by one.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "DeepLocations.h"
#include "deep/Perturb.h"

namespace {

using deep::Formula;
using deep::FormulaParams;

struct PairCase {
    const char* name;
    FormulaParams params;
    std::string centerX, centerY, width;
    int columns, rows;
    bool rebases, skips;
};

// A row hands its pixels to two lanes that stop and refill at different
// times; each count must come out as the single-pixel walk gives it. The
// places make pixels rebase (also at the end of a reference that escapes
// first), skip runs, escape and reach the limit; rows of two and three
// pixels leave a lane without a partner.
TEST(DeepPairs, RowsEqualThePixelsCountedOneByOne)
{
    using deeptest::AtDepth;
    const FormulaParams seahorse{Formula::LevelSet, 0.0L, 0.0L, 8000};
    const FormulaParams rabbit{Formula::Julia, -0.12L, 0.74L, 8000};
    const std::vector<PairCase> cases = {
        {"seahorse 1e-30", seahorse, AtDepth(deeptest::kSeahorseIn, 30), "0.001", "1e-30", 24, 6, true, true},
        {"seahorse 1e-100", seahorse, AtDepth(deeptest::kSeahorseIn, 100), "0.001", "1e-100", 16, 4, true, true},
        {"seahorse 1e-300", seahorse, AtDepth(deeptest::kSeahorseIn, 300), "0.001", "1e-300", 16, 4, true, true},
        {"reference ends first", seahorse, deeptest::kSeahorseOut, "0.001", "1e-300", 6, 4, true, true},
        {"misiurewicz", {Formula::LevelSet, 0.0L, 0.0L, 3000}, "3e-101", "1", "1e-100", 12, 4, true, true},
        {"rabbit 1e-30", rabbit, AtDepth(deeptest::kRabbitBoundary, 30), "2e-31", "1e-30", 20, 6, true, true},
        {"rabbit 1e-300", rabbit, AtDepth(deeptest::kRabbitBoundary, 300), "2e-301", "1e-300", 10, 4, true, true},
        {"two pixels", seahorse, AtDepth(deeptest::kSeahorseIn, 30), "0.001", "1e-30", 2, 2, true, true},
        {"three pixels", rabbit, AtDepth(deeptest::kRabbitBoundary, 30), "2e-31", "1e-30", 3, 3, true, true},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(c.name);
        const deep::Mapping mapping({c.centerX, c.centerY, c.width, ""}, c.columns, c.rows);
        const deep::Reference reference(mapping, c.params);
        const deep::Complex offset = reference.OffsetOf(mapping);
        deep::RowStats stats;
        std::vector<std::int32_t> row(static_cast<std::size_t>(c.columns));
        int escaped = 0;
        for (int i = 0; i < c.rows; ++i) {
            deep::CountRow(reference, mapping, i, row.data());
            for (int j = 0; j < c.columns; ++j) {
                const std::int32_t alone =
                    deep::Count(reference, {offset.x + mapping.OffsetX(j), offset.y + mapping.OffsetY(i)}, stats);
                EXPECT_EQ(row[static_cast<std::size_t>(j)], alone) << "pixel " << j << ", " << i;
                escaped += alone < c.params.limit;
            }
        }
        EXPECT_GT(escaped, 0);
        EXPECT_GT(stats.steps, 0u);
        EXPECT_EQ(stats.rebases > 0, c.rebases);
        EXPECT_EQ(stats.skipped > 0, c.skips);
    }
}

} // namespace

// The pair loop settles an iterate's tests with one comparison of the
// delta's size against `calm`, and passes over a lookup when the delta is
// not below `run`. Both must be sound: a delta of that size in any
// direction neither rebases nor reaches the escape bound, and no run of the
// tables is valid for it.
TEST(DeepPairs, CalmAndRunBoundsHoldForEveryDirection)
{
    struct BoundCase {
        const char* name;
        FormulaParams params;
        std::string centerX, centerY;
        long double inside;
    };
    const BoundCase cases[] = {
        {"seahorse", {Formula::LevelSet, 0.0L, 0.0L, 8000}, deeptest::AtDepth(deeptest::kSeahorseIn, 30), "0.001", 99.0L},
        {"rabbit", {Formula::Julia, -0.12L, 0.74L, 8000}, deeptest::AtDepth(deeptest::kRabbitBoundary, 30), "0", 25.0L},
    };
    const long double directions[][2] = {{1, 0}, {0, -1}, {-0.6L, 0.4L}, {0.5L, 0.5L}, {-0.3L, -0.7L}, {0.9L, -0.1L}};
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        const deep::Mapping mapping({c.centerX, c.centerY, "1e-30", ""}, 8, 6);
        const deep::Reference reference(mapping, c.params);
        for (const deep::Orbit* orbit : {&reference.Main(), &reference.Critical()}) {
            if (orbit->z.empty())
                continue;
            ASSERT_EQ(orbit->split.size(), orbit->z.size());
            int calm = 0, runs = 0;
            for (std::size_t n = 0; n < orbit->z.size(); ++n) {
                const deep::SplitComplex& s = orbit->split[n];
                const deep::Complex& z = orbit->z[n];
                if (s.calm > 0.0f) {
                    ++calm;
                    // Just below the bound, as the comparison lets through.
                    const long double d = static_cast<long double>(s.calm) * (1.0L - 0x1p-60L);
                    for (const auto& u : directions) {
                        const long double dx = d * u[0], dy = d * u[1];
                        const long double size = std::fabs(dx) + std::fabs(dy);
                        const long double whole = std::fabs(z.x + dx) + std::fabs(z.y + dy);
                        ASSERT_GE(whole, size) << "rebase at " << n;
                        ASSERT_LT(whole, c.inside) << "escape at " << n;
                    }
                }
                if ((n & 3) == 0 && (n >> 2) < orbit->levels.front().size()) {
                    const long double r = orbit->levels.front()[n >> 2].r;
                    ASSERT_GE(static_cast<long double>(s.run), r) << n;
                    int steps = 0;
                    EXPECT_EQ(orbit->Find(static_cast<int>(n), s.run, c.params.limit, steps), nullptr) << n;
                    runs += r > 0.0L;
                } else {
                    ASSERT_EQ(s.run, 0.0f) << n;
                }
            }
            // Most of the orbit is calm for some deltas, and runs start.
            EXPECT_GT(calm, static_cast<int>(orbit->z.size()) / 2);
            EXPECT_GT(runs, 0);
        }
    }
}

TEST(DeepPairs, FloatBoundsRoundOutward)
{
    struct FloatCase {
        const char* name;
        long double value;
        float below, above;
    };
    const float tiny = std::numeric_limits<float>::denorm_min();
    const float max = std::numeric_limits<float>::max();
    const FloatCase cases[] = {
        {"zero", 0.0L, 0.0f, 0.0f},
        {"a float", 0.75L, 0.75f, 0.75f},
        {"a third", 1.0L / 3.0L, std::nextafter(1.0f / 3.0f, 0.0f), 1.0f / 3.0f},
        {"below the floats", 1e-50L, 0.0f, tiny},
        {"the largest float", static_cast<long double>(max), max, max},
        {"beyond the floats", 1e39L, max, std::numeric_limits<float>::infinity()},
    };
    for (const FloatCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(deep::FloatBelow(c.value), c.below);
        EXPECT_EQ(deep::FloatAbove(c.value), c.above);
        EXPECT_LE(static_cast<long double>(deep::FloatBelow(c.value)), c.value);
        EXPECT_GE(static_cast<long double>(deep::FloatAbove(c.value)), c.value);
    }
}
