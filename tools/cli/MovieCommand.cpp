// quillon-render's zoom movies: the options, their checks, and the frames rendered into a video or a folder.
#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "Options.h"
#include "ProgressBar.h"
#include "deep/Mapping.h"
#include "engine/Compute.h"
#include "fractals/Catalogue.h"
#include "movie/Interrupt.h"
#include "movie/QueuedSink.h"
#include "movie/VideoSink.h"
#include "movie/ZoomPath.h"
#include "render/DeepMovie.h"
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
    if (o.frameRange && o.framesDir.empty())
        throw UsageError("--frame-range goes with --frames-dir (a video is made at once)");
    if (o.frameRange && *o.frames < o.frameRange->second)
        throw UsageError("--frame-range " + std::to_string(o.frameRange->first) + ":" +
                         std::to_string(o.frameRange->second) + " lies beyond the " + std::to_string(*o.frames) +
                         " frames of the movie");
    if (o.moviePath.empty() && (o.fps || o.quality))
        throw UsageError("--fps and --quality apply to --movie only");
    if (!o.moviePath.empty()) {
        const bool mp4 = movie::VideoFormatOf(o.moviePath) == movie::VideoFormat::Mp4;
        if (mp4 && o.quality && *o.quality > 51)
            throw UsageError("--quality of an .mp4 video must be a whole number from 0 to 51, not " +
                             std::to_string(*o.quality));
    }
}

// Corners closer than 6-byte reals can tell apart: the region would
// collapse, so for a view the deep engine draws they become a deep region,
// exact from the decimals as typed.
bool CornersNeedDeep(const std::array<long double, 4>& r)
{
    auto collapses = [](long double a, long double b) {
        return std::fabs(b - a) < 0x1p-39L * std::max(std::fabs(a), std::fabs(b));
    };
    return collapses(r[0], r[1]) || collapses(r[2], r[3]);
}

// The decimal exponents of a text's first and last digit (with a leading 0 the first is one too high).
std::pair<long, long> DigitSpan(const std::string& text)
{
    const std::size_t e = text.find_first_of("eE");
    const long exponent = e == std::string::npos ? 0 : std::stol(text.substr(e + 1));
    const std::string mantissa = text.substr(0, e);
    const std::size_t point = mantissa.find('.');
    long whole = 0, fraction = 0;
    for (std::size_t i = 0; i < mantissa.size(); ++i)
        if (std::isdigit(static_cast<unsigned char>(mantissa[i])))
            ++(point == std::string::npos || i < point ? whole : fraction);
    return {exponent + whole, exponent - fraction};
}

deep::DeepRegion DeepCorners(const std::array<std::string, 4>& text)
{
    long highest = 0, lowest = 0;
    for (const std::string& t : text) {
        if (!deep::IsDecimal(t))
            throw UsageError("'" + t + "' is not a decimal number");
        const auto [high, low] = DigitSpan(t);
        highest = std::max(highest, high);
        lowest = std::min(lowest, low);
    }
    // Half a sum of decimals ends one digit lower; with 4 bits a digit from
    // the highest digit down, sums and differences are exact in binary.
    --lowest;
    if (highest - lowest > 20000)
        throw UsageError("--zoom-to corners span more than 20000 digits");
    const mpfr_prec_t bits = static_cast<mpfr_prec_t>(64 + 4 * (highest - lowest));
    deep::Mpfr a(bits), b(bits), centre(bits), extent(bits);
    auto text10 = [lowest](const deep::Mpfr& v) {
        mpfr_exp_t exponent = 0;
        mpfr_free_str(mpfr_get_str(nullptr, &exponent, 10, 2, v.get(), MPFR_RNDN));
        return deep::DecimalText(v, static_cast<std::size_t>(std::max<long>(1, exponent - lowest + 1)));
    };
    std::array<std::string, 4> out;
    for (int axis = 0; axis < 2; ++axis) {
        mpfr_set_str(a.get(), text[2 * axis].c_str(), 10, MPFR_RNDN);
        mpfr_set_str(b.get(), text[2 * axis + 1].c_str(), 10, MPFR_RNDN);
        mpfr_add(centre.get(), a.get(), b.get(), MPFR_RNDN);
        mpfr_div_2ui(centre.get(), centre.get(), 1, MPFR_RNDN);
        mpfr_sub(extent.get(), b.get(), a.get(), MPFR_RNDN);
        mpfr_abs(extent.get(), extent.get(), MPFR_RNDN);
        if (mpfr_zero_p(extent.get()))
            throw UsageError("--zoom-to needs corners that differ in x and in y");
        out[2 * axis] = text10(centre);
        out[2 * axis + 1] = text10(extent);
    }
    return {out[0], out[2], out[1], out[3]};
}

// The end view: the start with the corners of --zoom-to, or the file of --to of the same window and type.
exporter::ViewDocument EndView(const Options& o, const exporter::ViewDocument& start)
{
    if (o.zoomTo) {
        exporter::ViewDocument end = start;
        const auto& r = *o.zoomTo;
        const fractals::View* view = fractals::FindView(start.viewId);
        if (view && exporter::DrawsDeep(*view) && CornersNeedDeep(r)) {
            end.extendedRegion.reset();
            end.deepRegion = DeepCorners(o.zoomToText);
            return end;
        }
        end.region.SetRegionByCorners(r[0], r[1], r[2], r[3]);
        end.extendedRegion.reset();
        end.deepRegion.reset();
        return end;
    }
    // The end view's parameters are the file's; --param, --julia and
    // --iterations belong to the start view.
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
    const int first = o.frameRange ? o.frameRange->first : 0;
    const int last = o.frameRange ? o.frameRange->second : *o.frames;
    // A deep view at either end: every frame is a deep region, drawn by the
    // deep engine wherever the extended one cannot place its pixels.
    const bool deepZoom = start.deepRegion || end.deepRegion;
    // The deep engine's reference orbits serve one formula: a deep zoom keeps its parameters.
    if (deepZoom && start.parameters != end.parameters)
        throw UsageError("a deep zoom movie keeps one set of parameters; " + o.toPath +
                         " has other parameters than the start view");
    std::unique_ptr<render::DeepZoom> deepPath;
    movie::ZoomPlan plan;
    try {
        if (deepZoom) {
            deepPath = std::make_unique<render::DeepZoom>(start, end, *o.frames);
        } else {
            const engine::RegionValues views[] = {start.DrawnRegion(), end.DrawnRegion()};
            plan = movie::PlanZoom(views, *o.frames);
        }
    } catch (const movie::PathError& e) {
        throw UsageError(e.what());
    } catch (const deep::RegionError& e) {
        throw UsageError(e.what());
    }

    // The parameters move from the start view's to the end view's as the region zooms.
    const render::ParameterPath path{{start.parameters, end.parameters}, plan.viewFrames};

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

    movie::IndexRenderer renderFrame;
    movie::IndexViewText frameText;
    if (deepPath) {
        renderFrame = [&](int frame, const movie::RowOut& out) { deepPath->Render(frame, vj.colours, control, out); };
        frameText = [&](int frame) { return exporter::ViewText(deepPath->FrameView(frame)); };
    } else {
        const movie::FrameRenderer regionRenderer = render::ViewFrameRenderer(vj.job, vj.colours, control, path);
        const movie::FrameViewText regionText = render::ViewFrameText(start, path);
        renderFrame = [&plan, regionRenderer](int frame, const movie::RowOut& out) {
            regionRenderer(frame, plan.frames[static_cast<std::size_t>(frame)], out);
        };
        frameText = [&plan, regionText](int frame) {
            return regionText(frame, plan.frames[static_cast<std::size_t>(frame)]);
        };
    }

    ProgressBar bar(start.viewId, isatty(STDERR_FILENO) && !o.quiet, "frames");
    const auto began = std::chrono::steady_clock::now();
    const movie::MovieOutcome outcome =
        movie::MakeFrames(*o.frames, first, last, width, height, queued, renderFrame, frameText, *control.cancel,
                          [&](int done, int frames) { bar.Update(done, frames); });
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
