// All 60 catalogue views on sampled rows, through the row computation, the row pool and point by point: cheap enough for the sanitizer builds.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Compute.h"
#include "engine/RowPool.h"
#include "fractals/Catalogue.h"

namespace {

using engine::kBufferWidth;

constexpr int kRowStep = 24;     // rows 0, 24, ..., 744 of every view
constexpr int kStreamRows = 3;   // rows read from a stream before it is dropped
constexpr int kCellsPerRow = 5;  // cells of each sampled row evaluated on their own

// The value of one cell with a fresh set object: the loop of the
// calculation thread for a single point, without any row machinery.
std::uint8_t CellValue(const fractals::View& view, const engine::RegionValues& r, int row, int column)
{
    const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window);
    set->SetValues(engine::kCalcParam, engine::TTriple{engine::CellX(r, column), engine::CellY(r, row), 0.0L});
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(view.function(*set)) & 0xFFu);
}

} // namespace

TEST(CatalogueSampled, EveryViewAgreesAcrossRowsPoolAndSinglePoints)
{
    const std::vector<fractals::View>& views = fractals::Views();
    ASSERT_EQ(views.size(), 60u);
    // A small pool of its own, so that streams are cancelled while its
    // threads are busy with their rows.
    engine::RowPool pool(2);
    for (const fractals::View& view : views) {
        SCOPED_TRACE(view.id);
        const engine::RegionValues r = view.region.Make().Values();
        const std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window);

        std::vector<std::array<std::uint8_t, kBufferWidth>> rows;
        for (int row = 0; row < engine::kBufferHeight; row += kRowStep) {
            std::array<std::uint8_t, kBufferWidth> values{};
            // The same set object serves every row, as in a calculation.
            engine::ComputeRow(r, *set, view.function, row, values.data());
            rows.push_back(values);
            const int columns[kCellsPerRow] = {0, 1023, 511, (row * 37) % 1024, (row * 101 + 13) % 1024};
            for (int column : columns)
                ASSERT_EQ(values[static_cast<std::size_t>(column)], CellValue(view, r, row, column))
                    << "row " << row << " column " << column;
        }
        // Not a flat picture: the sampled rows hold several values.
        std::array<bool, 256> seen{};
        int distinct = 0;
        for (const auto& row : rows)
            for (std::uint8_t v : row)
                distinct += seen[v] ? 0 : (seen[v] = true, 1);
        EXPECT_GT(distinct, 1);

        // The stream's first rows equal the direct ones, then it is dropped
        // with rows still queued and in flight.
        {
            engine::RowStream stream(r, *set, view.function, 4, pool);
            std::array<std::uint8_t, kBufferWidth> streamed{};
            for (int row = 0; row < kStreamRows; ++row) {
                stream.TakeRow(row, streamed.data());
                std::array<std::uint8_t, kBufferWidth> direct{};
                engine::ComputeRow(r, *set, view.function, row, direct.data());
                ASSERT_EQ(streamed, direct) << "row " << row;
            }
        }
    }
}
