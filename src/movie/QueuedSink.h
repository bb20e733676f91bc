// A frame sink that writes each finished frame on a thread of its own while the next one is computed.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "movie/FrameSink.h"

namespace movie {

// Collects a frame's rows and hands the whole frame to `inner` on a writer
// thread, so writing to a busy encoder never holds up the next frame's
// computation. One frame waits at most: EndFrame blocks while the writer
// still holds the frame before, and that wait is the time the movie spends
// waiting for its output. `inner` is used only by the writer thread between
// Begin and Finish or Abort, and by the calling thread otherwise.
class QueuedSink : public FrameSink {
public:
    explicit QueuedSink(FrameSink& inner);
    ~QueuedSink() override;
    QueuedSink(const QueuedSink&) = delete;
    QueuedSink& operator=(const QueuedSink&) = delete;

    void Begin(int width, int height, int frames) override;
    void BeginFrame(int index, std::string_view viewText) override;
    void Row(std::span<const std::uint8_t> rgb) override;
    void EndFrame() override;
    // Waits for the frames handed over, then finishes `inner`.
    void Finish() override;
    // Lets the writer end the frames already handed over (it stops early when
    // `inner` fails or sees its own cancel flag), then aborts `inner`.
    void Abort() noexcept override;
    std::string AfterAbort(int framesDone) const override;

    // Seconds the calling thread spent waiting for the writer, in EndFrame and Finish.
    double WaitSeconds() const { return waitSeconds_; }

private:
    struct Frame {
        int index = 0;
        std::string viewText;
        std::vector<std::uint8_t> rgb;
    };

    void WriterLoop();
    // Blocks until the writer has taken the queued frame (all: and written
    // every frame) and rethrows what it failed with.
    void WaitForWriter(bool all);
    void StopWriter() noexcept;

    FrameSink& inner_;
    int width_ = 0;
    bool inFrame_ = false;
    Frame filling_; // the frame being computed, calling thread only

    std::mutex mutex_;
    std::condition_variable changed_;
    Frame queued_;          // guarded by mutex_
    bool hasQueued_ = false; // guarded
    bool writing_ = false;   // guarded: the writer holds a frame
    bool stop_ = false;      // guarded: no more frames will come
    std::exception_ptr failure_; // guarded: what the writer failed with
    std::thread writer_;

    double waitSeconds_ = 0.0;
};

} // namespace movie
