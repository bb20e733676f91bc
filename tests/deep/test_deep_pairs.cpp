// Rows computed two pixels at a time against the same pixels counted one by one.
#include <gtest/gtest.h>

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
