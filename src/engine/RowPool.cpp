// The shared row pool and the ordered row stream.
#include "engine/RowPool.h"

#include <algorithm>
#include <chrono>

#include "engine/Compute.h"

namespace engine {

RowPool::RowPool(int threads)
{
    threads = std::max(1, threads);
    for (int i = 0; i < threads; ++i)
        threads_.emplace_back([this] { Work(); });
}

RowPool::RowPool(Manual) {}

RowPool::~RowPool()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_)
        t.join();
}

RowPool& RowPool::Instance()
{
    static RowPool pool(DefaultThreadCount());
    return pool;
}

void RowPool::Submit(const Task& t)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(t);
    }
    wake_.notify_one();
}

int RowPool::Cancel(const RowStream* stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto before = queue_.size();
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [stream](const Task& t) { return t.stream == stream; }),
                 queue_.end());
    return static_cast<int>(before - queue_.size());
}

std::uint64_t RowPool::NewSequence(Priority priority)
{
    // Interactive sequences lie above every background one.
    constexpr std::uint64_t kInteractive = std::uint64_t{1} << 62;
    std::lock_guard<std::mutex> lock(mutex_);
    ++sequence_;
    return priority == Priority::Interactive ? kInteractive + sequence_ : sequence_;
}

RowPool::Task RowPool::PopNext()
{
    // The first task of the newest stream; a queue holds a few rows per
    // calculating window, so a scan costs nothing that matters.
    auto pick = queue_.begin();
    for (auto it = queue_.begin(); it != queue_.end(); ++it)
        if (it->sequence > pick->sequence)
            pick = it;
    const Task task = *pick;
    queue_.erase(pick);
    return task;
}

void RowPool::Work()
{
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return; // stopping and nothing left
            task = PopNext();
        }
        task.stream->Compute(task.slot);
    }
}

std::pair<const RowStream*, int> RowPool::RunOne()
{
    Task task;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty())
            return {nullptr, -1};
        task = PopNext();
    }
    return {task.stream, task.stream->Compute(task.slot)};
}

RowStream::RowStream(const RegionValues& region, const TBasicSet& prototype, TValueFunction fn, int lookahead,
                     RowPool& pool)
    : RowStream(region, Grid{}, 0, kBufferHeight, prototype, fn, lookahead, pool)
{
}

RowStream::RowStream(const RegionValues& region, const Grid& grid, int firstRow, int lastRow,
                     const TBasicSet& prototype, TValueFunction fn, int lookahead, RowPool& pool,
                     RowPool::Priority priority)
    : pool_(pool), sequence_(pool.NewSequence(priority)), region_(region), grid_(grid), firstRow_(firstRow),
      lastRow_(std::max(firstRow, lastRow)), fn_(fn)
{
    if (lookahead <= 0)
        lookahead = 4 * pool.Threads();
    lookahead = std::clamp(lookahead, 1, std::max(1, lastRow_ - firstRow_));
    slots_.resize(static_cast<std::size_t>(lookahead));
    for (Slot& s : slots_) {
        s.set = prototype.Clone();
        s.values.assign(static_cast<std::size_t>(grid.width), 0);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (int k = 0; k < lookahead && firstRow_ + k < lastRow_; ++k)
        Schedule(k, firstRow_ + k);
}

RowStream::RowStream(int width, int firstRow, int lastRow, RowFunction rowFunction, int lookahead, RowPool& pool,
                     RowPool::Priority priority)
    : pool_(pool), sequence_(pool.NewSequence(priority)), region_(), grid_(Grid{width, 0, 0.0L, 0.0L}),
      firstRow_(firstRow), lastRow_(std::max(firstRow, lastRow)), fn_(nullptr), rowFunction_(std::move(rowFunction))
{
    if (lookahead <= 0)
        lookahead = 4 * pool.Threads();
    lookahead = std::clamp(lookahead, 1, std::max(1, lastRow_ - firstRow_));
    slots_.resize(static_cast<std::size_t>(lookahead));
    for (Slot& s : slots_)
        s.values.assign(static_cast<std::size_t>(width), 0);
    std::lock_guard<std::mutex> lock(mutex_);
    for (int k = 0; k < lookahead && firstRow_ + k < lastRow_; ++k)
        Schedule(k, firstRow_ + k);
}

RowStream::~RowStream()
{
    const int cancelled = pool_.Cancel(this);
    std::unique_lock<std::mutex> lock(mutex_);
    inFlight_ -= cancelled;
    changed_.wait(lock, [this] { return inFlight_ == 0; });
}

void RowStream::Schedule(int slot, int row)
{
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    s.row = row;
    s.done = false;
    ++inFlight_;
    pool_.Submit(RowPool::Task{this, sequence_, slot});
}

int RowStream::Compute(int slot)
{
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    int row;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        row = s.row;
    }
    // The slot belongs to this task until it is marked done.
    if (rowFunction_)
        rowFunction_(row, s.values.data());
    else
        ComputeRow(region_, grid_, *s.set, fn_, row, s.values.data());
    // Notified under the lock: once it is released the stream may be
    // destroyed by its reader, and this thread must not touch it again.
    std::lock_guard<std::mutex> lock(mutex_);
    s.done = true;
    --inFlight_;
    changed_.notify_all();
    return row;
}

void RowStream::TakeRow(int row, std::uint8_t* out)
{
    TakeRow(row, out, nullptr);
}

bool RowStream::TakeRow(int row, std::uint8_t* out, const std::atomic<bool>* cancel)
{
    const int n = static_cast<int>(slots_.size());
    const int slot = (row - firstRow_) % n;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    std::unique_lock<std::mutex> lock(mutex_);
    auto ready = [&] { return s.row == row && s.done; };
    if (cancel == nullptr) {
        changed_.wait(lock, ready);
    } else {
        // Newer streams are served first, so an older stream's row may be
        // long in coming while they run: a cancelled reader must not wait
        // for it. Nothing wakes this wait when the flag is set, hence the slices.
        while (!changed_.wait_for(lock, std::chrono::milliseconds(10), ready))
            if (cancel->load(std::memory_order_relaxed))
                return false;
    }
    std::copy(s.values.begin(), s.values.end(), out);
    if (row + n < lastRow_)
        Schedule(slot, row + n);
    return true;
}

} // namespace engine
