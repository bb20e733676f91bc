// Row computation and a simple multi-threaded driver over rows.
#include "engine/Compute.h"

#include "engine/RowKernels.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>
#include <typeinfo>

namespace engine {

void ComputeRow(const RegionValues& region, TBasicSet& set, TValueFunction fn, int row, std::uint8_t* out)
{
    ComputeRow(region, Grid{}, set, fn, row, out);
}

void ComputeRow(const RegionValues& region, const Grid& grid, TBasicSet& set, TValueFunction fn, int row,
                std::uint8_t* out)
{
    const int width = grid.width;
    const Extended y = grid.CellY(region, row);
    // Rows of any width go through the kernels in pieces of at most a
    // 1024-column row: every orbit is independent, so the pieces give the
    // bytes the whole row would, and the coordinates stay on the stack.
    Extended px[kBufferWidth];
    auto pieces = [&](int count, auto&& run) {
        for (int first = 0; first < count; first += kBufferWidth) {
            const int n = std::min(kBufferWidth, count - first);
            for (int j = 0; j < n; ++j)
                px[j] = grid.CellX(region, first + j);
            run(n, out + first);
        }
    };
    const Extended lastX = grid.CellX(region, width - 1);
    // These kernels read nothing of the set but the point, so a whole row can
    // run without it; the set is left holding the row's last point, as the
    // loop below would leave it.
    if (const RowKernel rowKernel = FindRowKernel(fn)) {
        pieces(width, [&](int n, std::uint8_t* o) { rowKernel(px, y, n, o, set.IterationLimit); });
        set.SetValues(set.CalcParam, TTriple{lastX, y, 0.0L});
        return;
    }
    // A Julia set of exactly this class (a subclass could step differently):
    // the row kernel takes all but the last column, which runs through the
    // set itself and so leaves it as the loop below would.
    if (fn == CountJuliaSet && typeid(set) == typeid(TJUSet)) {
        const TTriple c = static_cast<const TJUSet&>(set).JuliaConst;
        pieces(width - 1, [&](int n, std::uint8_t* o) { JuliaRow(px, y, c.X, c.Y, n, o, set.IterationLimit); });
        set.SetValues(set.CalcParam, TTriple{lastX, y, 0.0L});
        out[width - 1] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fn(set)) & 0xFFu);
        return;
    }
    for (int j = 0; j < width; ++j) {
        set.SetValues(set.CalcParam, TTriple{grid.CellX(region, j), y, 0.0L});
        out[j] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fn(set)) & 0xFFu);
    }
}

int DefaultThreadCount()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

void ComputeBuffer(const RegionValues& region, const TBasicSet& prototype, TValueFunction fn, int threads,
                   std::uint8_t* out, const RowDone& onRow)
{
    if (threads <= 0)
        threads = DefaultThreadCount();
    threads = std::min(threads, kBufferHeight);
    std::atomic<int> next{0};
    std::mutex callbackMutex;
    auto worker = [&]() {
        std::unique_ptr<TBasicSet> set = prototype.Clone();
        for (int row = next.fetch_add(1); row < kBufferHeight; row = next.fetch_add(1)) {
            ComputeRow(region, *set, fn, row, out + static_cast<std::size_t>(row) * kBufferWidth);
            if (onRow) {
                std::lock_guard<std::mutex> lock(callbackMutex);
                onRow(row);
            }
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& t : pool)
        t.join();
}

} // namespace engine
