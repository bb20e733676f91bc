// A pool of row workers shared by every calculation, and the in-order row stream a calculation reads.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
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
    // A pool without threads: its rows are computed only by RunOne, so a
    // test can follow the order in which they are served step by step.
    struct Manual {};
    explicit RowPool(Manual);
    ~RowPool();
    RowPool(const RowPool&) = delete;
    RowPool& operator=(const RowPool&) = delete;

    // The process-wide pool, one thread per core.
    static RowPool& Instance();

    int Threads() const { return static_cast<int>(threads_.size()); }

    // Computes, on the calling thread, the row a pool thread would take next.
    // Returns its stream and row, or a null stream when nothing is queued.
    std::pair<const RowStream*, int> RunOne();

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
    // Takes the task to run next off the queue (the queue must not be empty).
    Task PopNext();
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
    // Rows firstRow ... lastRow - 1 of `width` values each, made by `rowFunction`
    // (row, out) on the pool threads: for engines other than a point set's
    // value function. The function is called from several threads at once.
    using RowFunction = std::function<void(int row, std::uint8_t* out)>;
    RowStream(int width, int firstRow, int lastRow, RowFunction rowFunction, int lookahead, RowPool& pool,
              RowPool::Priority priority = RowPool::Priority::Interactive);
    ~RowStream();
    RowStream(const RowStream&) = delete;
    RowStream& operator=(const RowStream&) = delete;

    // Waits for row `row` (rows are read in order from the first), copies
    // its grid.width values to out and schedules the row `lookahead` further down.
    void TakeRow(int row, std::uint8_t* out);
    // The same, but gives up (false) once *cancel is set while the row is
    // still to come; a null cancel waits as above.
    bool TakeRow(int row, std::uint8_t* out, const std::atomic<bool>* cancel);

private:
    friend class RowPool;
    struct Slot {
        int row = -1;
        bool done = false;
        std::unique_ptr<TBasicSet> set;
        std::vector<std::uint8_t> values;
    };
    void Schedule(int slot, int row); // with mutex_ held
    int Compute(int slot);            // on a pool thread; returns the row

    RowPool& pool_;
    const std::uint64_t sequence_;
    const RegionValues region_;
    const Grid grid_;
    const int firstRow_, lastRow_;
    const TValueFunction fn_;
    const RowFunction rowFunction_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int inFlight_ = 0;
};

} // namespace engine
