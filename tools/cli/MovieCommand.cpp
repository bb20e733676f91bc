// quillon-render's zoom movies: the options, their checks, and the frames rendered into a video or a folder.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "Options.h"
#include "ProgressBar.h"
#include "engine/Compute.h"
#include "movie/Interrupt.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"
#include "movie/ZoomPath.h"
#include "render/ViewMovie.h"

namespace cli {

namespace {

// A cancelled movie ends as a shell reports a command ended by Ctrl+C
// (128 + SIGINT): it is the user's choice, not a failure (status 2).
constexpr int kCancelledStatus = 130;

} // namespace

namespace {

// The combinations a movie cannot have, before anything is read or written.
void CheckMovieOptions(const Options& o)
{
    if (o.moviePath.empty() == o.framesDir.empty())
        throw UsageError("a zoom movie needs one of --movie FILE and --frames-dir DIR");
    if (!o.zoomTo == o.toPath.empty())
        throw UsageError("a zoom movie needs one of --zoom-to X1 X2 Y1 Y2 and --to FILE (the end view)");
    if (!o.frames)
        throw UsageError("a zoom movie needs --frames N");
    if (o.HasPicture() || o.HasBufferOutput() || !o.rawPath.empty() || !o.fromRawPath.empty() ||
        !o.saveViewPath.empty() || !o.savePalettePath.empty() || o.rows)
        throw UsageError("--movie and --frames-dir go with no other output (--raw, --bmp, --png, --save-view, "
                         "--save-palette, --from-raw, --rows, --tga, --pov, --rib)");
    if (o.moviePath.empty() && (o.fps || o.quality))
        throw UsageError("--fps and --quality apply to --movie only");
    if (!o.moviePath.empty()) {
        const bool mp4 = movie::VideoFormatOf(o.moviePath) == movie::VideoFormat::Mp4;
        if (mp4 && o.quality && *o.quality > 51)
            throw UsageError("--quality of an .mp4 video must be a whole number from 0 to 51, not " +
                             std::to_string(*o.quality));
    }
}

// The end view: the start with the corners of --zoom-to, or the file of --to of the same window and type.
exporter::ViewDocument EndView(const Options& o, const exporter::ViewDocument& start)
{
    if (o.zoomTo) {
        exporter::ViewDocument end = start;
        const auto& r = *o.zoomTo;
        end.region.SetRegionByCorners(r[0], r[1], r[2], r[3]);
        end.extendedRegion.reset();
        return end;
    }
    const exporter::ViewDocument end = exporter::ReadViewFile(o.toPath);
    if (end.viewId != start.viewId)
        throw UsageError(o.toPath + " is a view of " + end.viewId + ", not of " + start.viewId +
                         ": a zoom movie stays in one window and type");
    return end;
}

} // namespace

int RunMovie(const Options& o)
{
    CheckMovieOptions(o);
    const exporter::ViewDocument start = ResolveView(o);
    const exporter::ViewDocument end = EndView(o, start);
    const int width = start.picture.width, height = start.picture.height;
    if (!o.moviePath.empty() && movie::VideoFormatOf(o.moviePath) == movie::VideoFormat::Mp4 &&
        (width % 2 != 0 || height % 2 != 0))
        throw UsageError("an .mp4 video (H.264, yuv420p) needs an even width and height, not " +
                         std::to_string(width) + "x" + std::to_string(height) + " (use --size or .webm)");
    const engine::RegionValues views[] = {start.DrawnRegion(), end.DrawnRegion()};
    movie::ZoomPlan plan;
    try {
        plan = movie::PlanZoom(views, *o.frames);
    } catch (const movie::PathError& e) {
        throw UsageError(e.what());
    }

    movie::InterruptCancel interrupt;
    render::ViewJob vj = render::MakeViewJob(start);
    engine::RowPool pool(o.threads > 0 ? o.threads : engine::DefaultThreadCount());
    render::Control control;
    control.pool = &pool;
    control.cancel = &movie::InterruptCancel::Flag();

    std::unique_ptr<movie::FrameSink> output;
    if (!o.moviePath.empty())
        output = std::make_unique<movie::VideoSink>(movie::VideoSettings{
            .path = o.moviePath, .fps = o.fps.value_or(30.0), .quality = o.quality, .cancel = control.cancel});
    else
        output = std::make_unique<movie::FramesDirSink>(o.framesDir, render::PngFrameWriters());
    movie::QueuedSink queued(*output); // frame k is written while frame k + 1 is computed

    ProgressBar bar(start.viewId, isatty(STDERR_FILENO) && !o.quiet, "frames");
    const auto began = std::chrono::steady_clock::now();
    const movie::MovieOutcome outcome = movie::MakeMovie(
        plan.frames, width, height, queued, render::ViewFrameRenderer(vj.job, vj.colours, control),
        render::ViewFrameText(start), *control.cancel, [&](int done, int frames) { bar.Update(done, frames); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    bar.Finish();
    if (outcome.cancelled) {
        std::fprintf(stderr, "quillon-render: %s\n", outcome.message.c_str());
        return kCancelledStatus;
    }
    const double waited = queued.WaitSeconds();
    std::printf("%s: %d frames of %dx%d in %.3f s, %.2f frames/s; %.3f s (%.0f %%) waiting for the %s\n",
                start.viewId.c_str(), outcome.frames, width, height, seconds, outcome.frames / seconds, waited,
                seconds > 0 ? 100.0 * waited / seconds : 0.0, o.moviePath.empty() ? "frame files" : "encoder");
    return 0;
}

} // namespace cli
