// Making a movie: every frame's picture rendered in turn into a frame sink, with progress and cancel.
#include "movie/Movie.h"

#include "movie/VideoSink.h"

namespace movie {

namespace {

MovieOutcome Cancelled(FrameSink& sink, int done, int frames)
{
    sink.Abort();
    return {done, frames, true,
            "Cancelled after " + std::to_string(done) + " of " + std::to_string(frames) + " frames; " +
                sink.AfterAbort(done) + "."};
}

} // namespace

MovieOutcome MakeMovie(std::span<const RegionValues> regions, int width, int height, FrameSink& sink,
                       const FrameRenderer& render, const FrameViewText& viewText, const std::atomic<bool>& cancel,
                       const MovieProgress& progress)
{
    const int frames = static_cast<int>(regions.size());
    auto region = [regions](int frame) -> const RegionValues& { return regions[static_cast<std::size_t>(frame)]; };
    return MakeFrames(
        frames, 0, frames, width, height, sink, [&](int frame, const RowOut& out) { render(frame, region(frame), out); },
        viewText ? IndexViewText([&](int frame) { return viewText(frame, region(frame)); }) : IndexViewText(), cancel,
        progress);
}

MovieOutcome MakeFrames(int frames, int first, int last, int width, int height, FrameSink& sink,
                        const IndexRenderer& render, const IndexViewText& viewText, const std::atomic<bool>& cancel,
                        const MovieProgress& progress)
{
    const int count = last - first;
    int done = 0;
    try {
        sink.Begin(width, height, frames);
        for (; done < count; ++done) {
            if (cancel.load(std::memory_order_relaxed))
                return Cancelled(sink, done, count);
            const int frame = first + done;
            sink.BeginFrame(frame, viewText ? viewText(frame) : std::string());
            int rows = 0;
            render(frame, [&](std::span<const std::uint8_t> rgb) {
                if (rows < height)
                    sink.Row(rgb);
                ++rows;
            });
            if (cancel.load(std::memory_order_relaxed))
                return Cancelled(sink, done, count);
            if (rows != height)
                throw std::logic_error("a frame renderer gave " + std::to_string(rows) + " rows of " +
                                       std::to_string(height));
            sink.EndFrame();
            if (progress)
                progress(done + 1, count);
        }
        sink.Finish();
    } catch (const MovieCancelled&) {
        return Cancelled(sink, done, count);
    } catch (...) {
        sink.Abort();
        throw;
    }
    return {count, count, false, {}};
}

} // namespace movie
