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
    int done = 0;
    try {
        sink.Begin(width, height, frames);
        for (; done < frames; ++done) {
            if (cancel.load(std::memory_order_relaxed))
                return Cancelled(sink, done, frames);
            const RegionValues& region = regions[static_cast<std::size_t>(done)];
            sink.BeginFrame(done, viewText ? viewText(done, region) : std::string());
            int rows = 0;
            render(done, region, [&](std::span<const std::uint8_t> rgb) {
                if (rows < height)
                    sink.Row(rgb);
                ++rows;
            });
            if (cancel.load(std::memory_order_relaxed))
                return Cancelled(sink, done, frames);
            if (rows != height)
                throw std::logic_error("a frame renderer gave " + std::to_string(rows) + " rows of " +
                                       std::to_string(height));
            sink.EndFrame();
            if (progress)
                progress(done + 1, frames);
        }
        sink.Finish();
    } catch (const MovieCancelled&) {
        return Cancelled(sink, done, frames);
    } catch (...) {
        sink.Abort();
        throw;
    }
    return {frames, frames, false, {}};
}

} // namespace movie
