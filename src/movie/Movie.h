// Making a movie: every frame's picture rendered in turn into a frame sink, with progress and cancel.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "movie/FrameSink.h"
#include "movie/ZoomPath.h"

namespace movie {

// Hands the rows of one row of RGB pixels (width x 3 bytes) on, top row first.
using RowOut = std::function<void(std::span<const std::uint8_t> rgb)>;

// Computes the width x height picture of frame `frame`, which shows
// `region`, and passes its rows in order to `out`. It may return early, with
// fewer rows, once the cancel flag of the movie is set.
using FrameRenderer = std::function<void(int frame, const RegionValues& region, const RowOut& out)>;

// The view file text embedded in frame `frame`, which shows `region`.
using FrameViewText = std::function<std::string(int frame, const RegionValues& region)>;

// Called after each finished frame.
using MovieProgress = std::function<void(int framesDone, int frames)>;

struct MovieOutcome {
    int framesDone = 0;
    int frames = 0;
    bool cancelled = false;
    // For a cancel: "Cancelled after 12 of 48 frames; no video was written."
    std::string message;
};

// Renders the frames of `regions` in order into `sink` (Begin, the frames,
// Finish). The cancel flag is read before each frame and after the renderer
// returns, so a cancel stops within one frame; the sink is then aborted and
// the outcome says how many frames were done. A failure aborts the sink and
// throws (MovieError from the sink, or what the renderer threw).
MovieOutcome MakeMovie(std::span<const RegionValues> regions, int width, int height, FrameSink& sink,
                       const FrameRenderer& render, const FrameViewText& viewText, const std::atomic<bool>& cancel,
                       const MovieProgress& progress = {});

// The same for frames named by their number in the whole movie: frames
// first ... last - 1 of `frames`, so that a movie can be made in parts (a
// folder sink names each frame by its number among all `frames`).
using IndexRenderer = std::function<void(int frame, const RowOut& out)>;
using IndexViewText = std::function<std::string(int frame)>;
MovieOutcome MakeFrames(int frames, int first, int last, int width, int height, FrameSink& sink,
                        const IndexRenderer& render, const IndexViewText& viewText, const std::atomic<bool>& cancel,
                        const MovieProgress& progress = {});

} // namespace movie
