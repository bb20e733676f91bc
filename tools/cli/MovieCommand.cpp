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

void PrintMovieUsage()
{
    std::puts(
        "\n"
        "Zoom movies:\n"
        "       quillon-render (--view ID | --open FILE) (--zoom-to X1 X2 Y1 Y2 | --to FILE) --frames N\n"
        "                      [--fps F] [--quality Q] [--size WxH] [--supersample N] [colours]\n"
        "                      (--movie FILE.mp4|FILE.webm | --frames-dir DIR)\n"
        "\n"
        "  The zoom goes from the start view (--view or --open, with --region and the other options\n"
        "  applied) to the end view at a constant speed; both must be the same window and type. The\n"
        "  colours, size and supersampling are the start view's: the end view gives only its region.\n"
        "  --zoom-to X1 X2 Y1 Y2  the end view's corners (stored as 6-byte reals, as --region)\n"
        "  --to FILE         the end view: a view file or a PNG written by Quillon\n"
        "  --frames N        frames, 2 to 1000000; the first and last are the two views exactly\n"
        "  --fps F           --movie: frames per second, more than 0 and at most 1000 (default 30)\n"
        "  --quality Q       --movie: constant quality, lower is better: 0 to 51 for .mp4 (H.264,\n"
        "                    default 23), 0 to 63 for .webm (VP9, default 31)\n"
        "  --movie FILE      the video, made by ffmpeg; .mp4 needs an even width and height\n"
        "  --frames-dir DIR  frame-00000.png ... in DIR, each with its view embedded\n"
        "  Ctrl+C stops within one frame, leaves no partial video, says how many frames were done\n"
        "  and exits with status 130 (finished frame files are kept).");
}

bool ParseMovieOption(const std::vector<std::string>& args, std::size_t& i, Options& o)
{
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
        if (i + 1 >= args.size())
            throw UsageError(a + " needs a value");
        return args[++i];
    };
    auto path = [&](std::string& target) {
        target = value();
        if (target.empty())
            throw UsageError(a + " needs a file name");
    };
    if (a == "--zoom-to") {
        std::array<long double, 4> r{};
        for (long double& v : r)
            v = ParseNumber(value());
        o.zoomTo = r;
    } else if (a == "--to") {
        path(o.toPath);
    } else if (a == "--movie") {
        path(o.moviePath);
    } else if (a == "--frames-dir") {
        path(o.framesDir);
    } else if (a == "--frames") {
        o.frames = ParseInt(value(), 2, movie::kMaxFrames, "--frames");
    } else if (a == "--quality") {
        o.quality = ParseInt(value(), 0, 63, "--quality");
    } else if (a == "--fps") {
        const std::string& text = value();
        const long double fps = ParseNumber(text);
        if (!(fps > 0 && fps <= 1000))
            throw UsageError("--fps must be more than 0 and at most 1000, not '" + text + "'");
        o.fps = static_cast<double>(fps);
    } else {
        return false;
    }
    return true;
}

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
    if (o.quiet)
        return 0;
    const double waited = queued.WaitSeconds();
    std::printf("%s: %d frames of %dx%d in %.3f s, %.2f frames/s; %.3f s (%.0f %%) waiting for the %s\n",
                start.viewId.c_str(), outcome.frames, width, height, seconds, outcome.frames / seconds, waited,
                seconds > 0 ? 100.0 * waited / seconds : 0.0, o.moviePath.empty() ? "frame files" : "encoder");
    return 0;
}

} // namespace cli
