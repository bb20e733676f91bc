// Deep pictures on the row pool: in order, the same bytes as row by row, and a cancel that stops within a row.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "DeepLocations.h"
#include "deep/Perturb.h"

namespace {

TEST(DeepRows, PoolRowsEqualSerialRowsAndCancelStopsAtOnce)
{
    const deep::FormulaParams params{deep::Formula::Julia, -0.12L, 0.74L, 3000};
    const deep::Mapping mapping({deeptest::AtDepth(deeptest::kRabbitBoundary, 40), "1e-41", "1e-40", ""}, 40, 24);
    const deep::Reference reference(mapping, params);
    engine::RowPool pool(2);

    std::vector<std::uint8_t> serial(40 * 24), pooled(40 * 24);
    std::vector<std::int32_t> counts(40);
    for (int row = 0; row < 24; ++row) {
        deep::CountRow(reference, mapping, row, counts.data());
        for (int j = 0; j < 40; ++j)
            serial[static_cast<std::size_t>(row * 40 + j)] = static_cast<std::uint8_t>(counts[j] & 0xFF);
    }
    std::vector<int> order;
    ASSERT_TRUE(deep::ComputeRows(
        reference, mapping, 0, 24,
        [&](int row, const std::uint8_t* cells) {
            order.push_back(row);
            std::copy(cells, cells + 40, pooled.begin() + row * 40);
        },
        nullptr, pool));
    EXPECT_EQ(pooled, serial);
    ASSERT_EQ(order.size(), 24u);
    for (int row = 0; row < 24; ++row)
        EXPECT_EQ(order[static_cast<std::size_t>(row)], row);
    // Counts above 255 keep their low 8 bits, as the extended engine's cells do.
    EXPECT_NE(std::count_if(serial.begin(), serial.end(), [](std::uint8_t v) { return v < 100; }), 0);

    std::atomic<bool> cancel{false};
    std::vector<int> delivered;
    EXPECT_FALSE(deep::ComputeRows(
        reference, mapping, 2, 24,
        [&](int row, const std::uint8_t*) {
            delivered.push_back(row);
            if (row == 5)
                cancel.store(true);
        },
        &cancel, pool));
    EXPECT_EQ(delivered, (std::vector<int>{2, 3, 4, 5}));
}

} // namespace
