// A frame sink that writes each finished frame on a thread of its own while the next one is computed.
#include "movie/QueuedSink.h"

#include <chrono>
#include <stdexcept>
#include <utility>

namespace movie {

QueuedSink::QueuedSink(FrameSink& inner) : inner_(inner) {}

QueuedSink::~QueuedSink() { Abort(); }

void QueuedSink::Begin(int width, int height, int frames)
{
    Abort();
    inner_.Begin(width, height, frames);
    width_ = width;
    {
        std::lock_guard lock(mutex_);
        hasQueued_ = writing_ = stop_ = false;
        failure_ = nullptr;
    }
    writer_ = std::thread([this] { WriterLoop(); });
}

void QueuedSink::BeginFrame(int index, std::string_view viewText)
{
    if (!writer_.joinable() || inFrame_)
        throw std::logic_error("QueuedSink::BeginFrame before Begin or inside a frame");
    filling_.index = index;
    filling_.viewText.assign(viewText);
    filling_.rgb.clear();
    inFrame_ = true;
}

void QueuedSink::Row(std::span<const std::uint8_t> rgb)
{
    if (!inFrame_ || rgb.size() != static_cast<std::size_t>(width_) * 3)
        throw std::logic_error("QueuedSink::Row outside a frame or of the wrong length");
    filling_.rgb.insert(filling_.rgb.end(), rgb.begin(), rgb.end());
}

void QueuedSink::EndFrame()
{
    if (!inFrame_)
        throw std::logic_error("QueuedSink::EndFrame outside a frame");
    inFrame_ = false;
    WaitForWriter(false);
    {
        std::lock_guard lock(mutex_);
        std::swap(queued_, filling_); // the old queued buffer is reused for the next frame
        hasQueued_ = true;
    }
    changed_.notify_all();
}

void QueuedSink::Finish()
{
    if (!writer_.joinable() || inFrame_)
        throw std::logic_error("QueuedSink::Finish before Begin or inside a frame");
    WaitForWriter(true);
    StopWriter();
    const auto start = std::chrono::steady_clock::now();
    inner_.Finish(); // the encoder writes out the frames it holds
    waitSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void QueuedSink::WaitForWriter(bool all)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return failure_ || (!hasQueued_ && (!all || !writing_)); });
    waitSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (failure_)
        std::rethrow_exception(failure_);
}

void QueuedSink::WriterLoop()
{
    Frame frame;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            writing_ = false;
            changed_.notify_all();
            changed_.wait(lock, [&] { return hasQueued_ || stop_; });
            if (!hasQueued_)
                return;
            std::swap(frame, queued_);
            hasQueued_ = false;
            writing_ = true;
        }
        changed_.notify_all();
        try {
            WriteFrame(inner_, frame.index, width_, frame.rgb, frame.viewText);
        } catch (...) {
            std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            writing_ = false;
            changed_.notify_all();
            return;
        }
    }
}

void QueuedSink::StopWriter() noexcept
{
    if (!writer_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void QueuedSink::Abort() noexcept
{
    inFrame_ = false;
    StopWriter();
    inner_.Abort();
}

std::string QueuedSink::AfterAbort(int framesDone) const { return inner_.AfterAbort(framesDone); }

} // namespace movie
