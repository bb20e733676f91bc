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
    const Extended y = CellY(region, row);
    // These kernels read nothing of the set but the point, so a whole row can
    // run without it; the set is left holding the row's last point, as the
    // loop below would leave it.
    if (const RowKernel rowKernel = FindRowKernel(fn)) {
        Extended px[kBufferWidth];
        for (int j = 0; j < kBufferWidth; ++j)
            px[j] = CellX(region, j);
        rowKernel(px, y, kBufferWidth, out);
        set.SetValues(kCalcParam, TTriple{px[kBufferWidth - 1], y, 0.0L});
        return;
    }
    // A Julia set of exactly this class (a subclass could step differently):
    // the row kernel takes all but the last column, which runs through the
    // set itself and so leaves it as the loop below would.
    if (fn == CountJuliaSet && typeid(set) == typeid(TJUSet)) {
        const TTriple c = static_cast<const TJUSet&>(set).JuliaConst;
        Extended px[kBufferWidth];
        for (int j = 0; j < kBufferWidth; ++j)
            px[j] = CellX(region, j);
        JuliaRow(px, y, c.X, c.Y, kBufferWidth - 1, out);
        set.SetValues(kCalcParam, TTriple{px[kBufferWidth - 1], y, 0.0L});
        out[kBufferWidth - 1] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(fn(set)) & 0xFFu);
        return;
    }
    for (int j = 0; j < kBufferWidth; ++j) {
        set.SetValues(kCalcParam, TTriple{CellX(region, j), y, 0.0L});
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
