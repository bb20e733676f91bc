// Deep pictures against plain MPFR iteration at the depth's precision, and the skipped runs against the steps they replace.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "DeepLocations.h"
#include "deep/Direct.h"
#include "deep/Perturb.h"

namespace {

using deep::Formula;
using deep::FormulaParams;

struct AgreementCase {
    const char* name;
    FormulaParams params;
    std::string centerX, centerY;
    int depth;
    int width, height;
};

std::vector<AgreementCase> AgreementCases()
{
    using deeptest::AtDepth;
    const FormulaParams seahorse{Formula::LevelSet, 0.0L, 0.0L, 8000};
    const FormulaParams misiurewicz{Formula::LevelSet, 0.0L, 0.0L, 3000};
    const FormulaParams rabbit{Formula::Julia, -0.12L, 0.74L, 8000};
    std::vector<AgreementCase> cases;
    // Beside a minibrot, where pixels leave the reference after each of
    // its periods and take thousands of single steps.
    cases.push_back({"minibrot", seahorse, AtDepth(deeptest::kMinibrotX, 30), AtDepth(deeptest::kMinibrotY, 30), 30, 8,
                     6});
    for (int depth : {30, 100, 300}) {
        cases.push_back({"seahorse", seahorse, AtDepth(deeptest::kSeahorseIn, depth), "0.001", depth, 8, 6});
        // Beside c = i, whose orbit 0, i, -1+i, -i, -1+i ... is preperiodic.
        cases.push_back({"misiurewicz", misiurewicz, "3e-" + std::to_string(depth + 1), "1", depth, 12, 9});
        cases.push_back({"rabbit", rabbit, AtDepth(deeptest::kRabbitBoundary, depth),
                         "2e-" + std::to_string(depth + 1), depth, 10, 7});
    }
    return cases;
}

// Every pixel must match: on grids this small one mismatch is already more
// than the 0.1 % allowed.
TEST(DeepAgreement, PerturbationMatchesDirectIterationAtEveryDepth)
{
    for (const AgreementCase& c : AgreementCases()) {
        SCOPED_TRACE(std::string(c.name) + " at 1e-" + std::to_string(c.depth));
        const deep::Mapping mapping({c.centerX, c.centerY, deeptest::Width(c.depth), ""}, c.width, c.height);
        const deep::Reference reference(mapping, c.params);
        const deep::Complex offset = reference.OffsetOf(mapping);
        deep::RowStats stats;
        int mismatches = 0, escaped = 0;
        for (int i = 0; i < c.height; ++i)
            for (int j = 0; j < c.width; ++j) {
                const int perturbed = deep::Count(
                    reference, {offset.x + mapping.OffsetX(j), offset.y + mapping.OffsetY(i)}, stats);
                const int direct = deep::DirectCount(mapping, c.params, j, i, mapping.Bits());
                mismatches += perturbed != direct;
                escaped += direct < c.params.limit;
                EXPECT_EQ(perturbed, direct) << "pixel " << j << ", " << i;
            }
        EXPECT_LE(mismatches, (c.width * c.height) / 1000);
        // A picture of one flat colour would prove nothing.
        EXPECT_GT(escaped, 0);
        // These orbits need both: pixels leave the reference near the
        // critical point, and deeper down most of their steps lie on long runs.
        EXPECT_GT(stats.rebases, 0u);
        if (c.depth >= 100) {
            EXPECT_GT(stats.skipped, 0u);
        }
        if (c.depth == 300) {
            EXPECT_GT(stats.skipped, stats.steps);
        }
    }
}

// The reference point, 1e-310 outside the boundary, escapes at 7791 steps
// while the pixels on the other side stay for 8000: they carry on only by
// rebasing at the reference's end.
TEST(DeepAgreement, PixelsOutlivingTheReferenceRebaseAtItsEnd)
{
    const FormulaParams params{Formula::LevelSet, 0.0L, 0.0L, 8000};
    const deep::Mapping mapping({deeptest::kSeahorseOut, "0.001", "1e-300", ""}, 6, 4);
    const deep::Reference reference(mapping, params);
    ASSERT_LT(reference.Main().Last(), params.limit);
    const deep::Complex offset = reference.OffsetOf(mapping);
    int outliving = 0;
    for (int i = 0; i < mapping.Height(); ++i)
        for (int j = 0; j < mapping.Width(); ++j) {
            deep::RowStats stats;
            const int perturbed =
                deep::Count(reference, {offset.x + mapping.OffsetX(j), offset.y + mapping.OffsetY(i)}, stats);
            EXPECT_EQ(perturbed, deep::DirectCount(mapping, params, j, i, mapping.Bits())) << j << ", " << i;
            if (perturbed > reference.Main().Last()) {
                ++outliving;
                EXPECT_GT(stats.rebases, 0u);
            }
        }
    EXPECT_GT(outliving, 0);
}

deep::Complex Times(deep::Complex p, deep::Complex q) { return {p.x * q.x - p.y * q.y, p.x * q.y + p.y * q.x}; }

// Each run of the tables, entered with a delta at half its radius and the
// largest dc, lands where the exact delta recurrence lands after as many
// steps, to far better than a pixel's worth.
TEST(DeepTables, EveryRunAgreesWithTheStepsItSkips)
{
    struct TableCase {
        const char* name;
        FormulaParams params;
        std::string centerX, centerY;
    };
    const TableCase cases[] = {
        {"seahorse", {Formula::LevelSet, 0.0L, 0.0L, 8000}, deeptest::AtDepth(deeptest::kSeahorseIn, 100), "0.001"},
        {"rabbit", {Formula::Julia, -0.12L, 0.74L, 8000}, deeptest::AtDepth(deeptest::kRabbitBoundary, 100), "0"},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        const deep::Mapping mapping({c.centerX, c.centerY, "1e-100", ""}, 64, 48);
        const deep::Reference reference(mapping, c.params);
        const bool julia = c.params.formula == Formula::Julia;
        const deep::Complex dc =
            julia ? deep::Complex{} : deep::Complex{0.6L * reference.RadiusBound(), -0.8L * reference.RadiusBound()};
        for (const deep::Orbit* orbit : {&reference.Main(), &reference.Critical()}) {
            int checked = 0, longest = 0;
            for (std::size_t level = 0; level < orbit->levels.size(); ++level) {
                const int steps = 1 << (static_cast<int>(level) + deep::Orbit::kFirstLevel);
                const auto& runs = orbit->levels[level];
                const std::size_t stride = std::max<std::size_t>(1, runs.size() / 16);
                for (std::size_t k = 0; k < runs.size(); k += stride) {
                    const deep::Bla& run = runs[k];
                    if (!(run.r > 0.0L))
                        continue;
                    const deep::Complex z0{0.3L * run.r, -0.2L * run.r};
                    deep::Complex z = z0;
                    const int m = static_cast<int>(k) * steps;
                    for (int s = 0; s < steps; ++s) {
                        const deep::Complex two{2.0L * orbit->z[m + s].x + z.x, 2.0L * orbit->z[m + s].y + z.y};
                        const deep::Complex next = Times(two, z);
                        z = {next.x + dc.x, next.y + dc.y};
                    }
                    const deep::Complex az = Times(run.a, z0), bdc = Times(run.b, dc);
                    const deep::Complex approx{az.x + bdc.x, az.y + bdc.y};
                    const long double error = std::hypot(approx.x - z.x, approx.y - z.y);
                    EXPECT_LE(error, 0x1p-40L * std::hypot(z.x, z.y)) << "level " << level << " run " << k;
                    ++checked;
                    longest = std::max(longest, steps);
                }
            }
            if (!orbit->z.empty()) {
                EXPECT_GT(checked, 10);
                EXPECT_GE(longest, 256) << "no long runs: the tables would skip little";
            }
        }
    }
}

// The single-step loop reads Z_n and dc as two doubles each wherever that
// is exact; anything else must be refused, or a pixel would follow a
// slightly different orbit.
TEST(DeepSplit, ExtendedNumbersSplitIntoTwoDoublesOnlyWhenExact)
{
    struct SplitCase {
        const char* name;
        long double value;
        bool exact;
    };
    const SplitCase cases[] = {
        {"zero", 0.0L, true},
        {"a double", -0.75L, true},
        {"all 64 mantissa bits", 1.0L + 0x1p-63L, true},
        {"seahorse iterate", -0.7499998682803159890062L, true},
        {"a deep offset", 3.3e-31L, true},
        {"low part subnormal, still exact", 0x1.0000000000000002p-1000L, true},
        {"low part below the subnormals", 0x1.0000000000000002p-1020L, false},
        {"below the doubles", 1e-400L, false},
        {"above the doubles", 1e400L, false},
        {"not a number", std::numeric_limits<long double>::quiet_NaN(), false},
        {"infinite", std::numeric_limits<long double>::infinity(), false},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        double high = 0.0, low = 0.0;
        const bool exact = deep::SplitExactly(c.value, high, low);
        EXPECT_EQ(exact, c.exact);
        if (exact) {
            EXPECT_EQ(static_cast<long double>(high) + static_cast<long double>(low), c.value);
        }
    }
}

// Orbits whose iterates all split are read as doubles; one iterate too
// small for that (a Julia set of z^2 pulls its inside to 0 as z^(2^n))
// sends the whole orbit through the extended loads. Both must give the
// counts of direct iteration.
TEST(DeepSplit, BothOrbitFormsMatchDirectIteration)
{
    struct FormCase {
        const char* name;
        FormulaParams params;
        std::string centerX;
        bool split;
    };
    const FormCase cases[] = {
        {"seahorse", {Formula::LevelSet, 0.0L, 0.0L, 8000}, deeptest::AtDepth(deeptest::kSeahorseIn, 30), true},
        // The unit circle, the boundary of the Julia set of c = 0, with the
        // reference just inside it.
        {"unit circle", {Formula::Julia, 0.0L, 0.0L, 400}, "0.9999999999999999999999999999996", false},
    };
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.name);
        const deep::Mapping mapping({c.centerX, c.name[0] == 's' ? "0.001" : "0", "1e-30", ""}, 8, 6);
        const deep::Reference reference(mapping, c.params);
        EXPECT_EQ(reference.Main().split.empty(), !c.split);
        for (std::size_t n = 0; n < reference.Main().split.size(); ++n) {
            const deep::SplitComplex& s = reference.Main().split[n];
            ASSERT_EQ(static_cast<long double>(s.xHigh) + s.xLow, reference.Main().z[n].x) << n;
            ASSERT_EQ(static_cast<long double>(s.yHigh) + s.yLow, reference.Main().z[n].y) << n;
        }
        const deep::Complex offset = reference.OffsetOf(mapping);
        deep::RowStats stats;
        int escaped = 0;
        for (int i = 0; i < mapping.Height(); ++i)
            for (int j = 0; j < mapping.Width(); ++j) {
                const int direct = deep::DirectCount(mapping, c.params, j, i, mapping.Bits());
                EXPECT_EQ(deep::Count(reference, {offset.x + mapping.OffsetX(j), offset.y + mapping.OffsetY(i)}, stats),
                          direct)
                    << "pixel " << j << ", " << i;
                escaped += direct < c.params.limit;
            }
        EXPECT_GT(escaped, 0);
        EXPECT_LT(escaped, mapping.Width() * mapping.Height());
        EXPECT_GT(stats.steps, 0u);
    }
}

} // namespace
