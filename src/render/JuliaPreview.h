// The Julia explorer's preview: the Julia set of a constant as the Julia Set window draws it, small and fast,
// computed on the row pool below the windows' own calculations and dropped as soon as the constant changes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/RowPool.h"
#include "render/Render.h"

namespace render {

// The preview's picture: FormJulia's start region at this size, so that the
// full picture is byte for byte `quillon-render --view FormJulia --julia RE IM
// --size 256x192` in the same colours.
inline constexpr int kPreviewWidth = 256;
inline constexpr int kPreviewHeight = 192;
// The coarse picture computes one value per block of this many pixels a side.
inline constexpr int kPreviewCoarseBlock = 4;

struct PreviewRequest {
    engine::Extended cx = 0.0L, cy = 0.0L;
    Colours colours;
    std::int32_t iterations = engine::kDefaultIterationLimit;
};

struct PreviewPicture {
    std::uint64_t request = 0; // the number JuliaPreview::Request returned
    bool coarse = false;       // one value per kPreviewCoarseBlock² pixels, each block filled with it
    engine::Extended cx = 0.0L, cy = 0.0L;
    std::vector<std::uint8_t> rgb; // kPreviewWidth × kPreviewHeight pixels, red, green, blue, row 0 first
};

// The coarse or the full preview of `request`, computed now on `control`'s
// pool. Throws Cancelled.
PreviewPicture RenderPreview(const PreviewRequest& request, bool coarse, const Control& control = {});

// Previews one constant after another on a thread of its own: each request
// drops the one in progress (its rows stop within one row) and is answered
// by a coarse picture, then the full one, unless a newer request comes
// first. The pictures are handed to `deliver` on that thread, never one of
// a request older than the newest.
class JuliaPreview {
public:
    using Deliver = std::function<void(PreviewPicture picture)>;
    explicit JuliaPreview(Deliver deliver, engine::RowPool& pool = engine::RowPool::Instance());
    ~JuliaPreview(); // drops the request in progress and waits for the thread
    JuliaPreview(const JuliaPreview&) = delete;
    JuliaPreview& operator=(const JuliaPreview&) = delete;

    // Asks for the preview of a constant; returns the number its pictures carry.
    std::uint64_t Request(const PreviewRequest& request);
    // Drops the request in progress or waiting; nothing more is delivered for it.
    void Cancel();

    // How many requests were started and how many of those were dropped before their full picture.
    std::uint64_t Started() const { return started_.load(); }
    std::uint64_t Dropped() const { return dropped_.load(); }

private:
    void Run();

    Deliver deliver_;
    engine::RowPool& pool_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<PreviewRequest> waiting_;
    std::uint64_t newest_ = 0; // the number of the newest request, 0 none
    bool stopping_ = false;
    std::atomic<bool> cancel_{false}; // set to stop the request in progress
    std::atomic<std::uint64_t> started_{0}, dropped_{0};
    std::thread thread_;
};

} // namespace render
