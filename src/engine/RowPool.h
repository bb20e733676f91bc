// A pool of row workers shared by every calculation, and the in-order row stream a calculation reads.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/PointSets.h"
#include "engine/Region.h"

namespace engine {

class RowStream;

// One set of threads for the whole process, so that six windows calculating
// at once share the cores instead of starting six times as many threads.
// The newest stream's rows are served first (in row order within a stream):
// the picture the user asked for last, a zoom say while the other windows
// are still busy with their opening pictures, gets every core, and the older
// streams take the cores whenever it has no row waiting.
class RowPool {
public:
    explicit RowPool(int threads);
    ~RowPool();
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // The process-wide pool, one thread per core.
    static RowPool& Instance();

    int Threads() const { return static_cast<int>(threads_.size()); }

    // Interactive streams (the windows' pictures) are served before every
    // background one (a long render); among each kind the newest first.
    enum class Priority { Interactive, Background };

private:
    friend class RowStream;
    struct Task {
        RowStream* stream;
        std::uint64_t sequence; // the stream's; larger is newer
        int slot;
    };
    void Submit(const Task& t);
    // Removes the queued tasks of a stream; returns how many were removed.
    int Cancel(const RowStream* stream);
    void Work();
    std::uint64_t NewSequence(Priority priority);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    bool stopping_ = false;
    std::uint64_t sequence_ = 0;
    std::vector<std::thread> threads_;
};

// Computes the rows of one picture on the pool, a bounded number ahead of
// the one its reader waits for, and hands them out strictly in order. Each
// slot has its own copy of the point set, since a set object must never
// serve two points at once. Destroying the stream cancels the rows not yet
// started and waits for the ones in flight.
class RowStream {
public:
    // The 1024 x 768 picture.
    RowStream(const RegionValues& region, const TBasicSet& prototype, TValueFunction fn, int lookahead = 0,
              RowPool& pool = RowPool::Instance());
    // Rows firstRow ... lastRow - 1 of a picture on `grid` (lookahead 0: four
    // rows per pool thread). Memory is lookahead rows of grid.width bytes.
    RowStream(const RegionValues& region, const Grid& grid, int firstRow, int lastRow, const TBasicSet& prototype,
              TValueFunction fn, int lookahead, RowPool& pool,
              RowPool::Priority priority = RowPool::Priority::Interactive);
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    // Waits for row `row` (rows are read in order from the first), copies
    // its grid.width values to out and schedules the row `lookahead` further down.
    void TakeRow(int row, std::uint8_t* out);

private:
    friend class RowPool;
    struct Slot {
        int row = -1;
        bool done = false;
        std::unique_ptr<TBasicSet> set;
        std::vector<std::uint8_t> values;
    };
    void Schedule(int slot, int row); // with mutex_ held
    void Compute(int slot);           // on a pool thread

    RowPool& pool_;
    const std::uint64_t sequence_;
    const RegionValues region_;
    const Grid grid_;
    const int firstRow_, lastRow_;
    const TValueFunction fn_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int inFlight_ = 0;
};

} // namespace engine
