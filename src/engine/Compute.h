// Row and whole-picture computation shared by the windows, the renderer and the benchmarks.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/PointSets.h"
#include "engine/Region.h"

namespace engine {

// Computes row `row` (1024 values) of the picture of `region` with the set
// object and value function, exactly as the calculation thread does.
void ComputeRow(const RegionValues& region, TBasicSet& set, TValueFunction fn, int row, std::uint8_t* out);

// Row `row` (grid.width values) of the picture of `region` on `grid`; on
// the 1024 x 768 grid the same bytes as the function above.
void ComputeRow(const RegionValues& region, const Grid& grid, TBasicSet& set, TValueFunction fn, int row,
                std::uint8_t* out);

// Called after each finished row with its index; rows finish out of order
// when several threads work.
using RowDone = std::function<void(int row)>;

// Computes all 768 rows into out (786,432 bytes) on `threads` threads (0:
// every core). Each thread works on its own clone of `prototype`; the result
// does not depend on the number of threads.
void ComputeBuffer(const RegionValues& region, const TBasicSet& prototype, TValueFunction fn, int threads,
                   std::uint8_t* out, const RowDone& onRow = {});

int DefaultThreadCount();

} // namespace engine
