// The regions of a zoom movie's frames: a geometric zoom about the point two views share.
#include "movie/ZoomPath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace movie {

namespace {

std::string Number(Extended v)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.12Lg", v);
    return text;
}

} // namespace

AxisZoom::AxisZoom(Extended start0, Extended extent0, Extended start1, Extended extent1)
    : start0_(start0), extent0_(extent0), start1_(start1), extent1_(extent1)
{
    if (!std::isfinite(start0) || !std::isfinite(extent0) || !std::isfinite(start1) || !std::isfinite(extent1))
        throw PathError("A zoom movie needs regions of finite numbers.");
    if (extent0 == extent1)
        return;
    if (extent0 == 0.0L || extent1 == 0.0L || (extent0 < 0.0L) != (extent1 < 0.0L))
        throw PathError("A zoom movie cannot pass from a width or height of " + Number(extent0) + " to one of " +
                        Number(extent1) + ": both must be of the same sign and neither 0.");
    // From the quotient, which is within half an ulp: for a deep zoom the
    // relative change (extent1 - extent0)/extent0 lies near -1, where log1p
    // would magnify its rounding by the zoom factor.
    logRatio_ = std::log(extent1 / extent0);
    if (!std::isfinite(logRatio_))
        throw PathError("A zoom movie cannot pass from a width or height of " + Number(extent0) + " to one of " +
                        Number(extent1) + ": the zoom is too deep.");
    expm1Log_ = std::expm1(logRatio_);
    linear_ = expm1Log_ == 0.0L;
    fixed_ = (start1 - start0) / (extent0 - extent1);
    // The point from the view with the smaller numbers: zooming into a point
    // near 0 from far away, the end view gives it to its own precision.
    const Extended size0 = std::fabs(start0) + std::fabs(fixed_ * extent0);
    const Extended size1 = std::fabs(start1) + std::fabs(fixed_ * extent1);
    point_ = size1 < size0 ? start1 + fixed_ * extent1 : start0 + fixed_ * extent0;
    // With the point on the screen, start = point - fixed * extent rounds
    // only as finely as the point and the picture: right for a deep zoom
    // into a point near 0 from far away. Far off the screen (nearly a move)
    // that difference would cancel, and the share of the way from start0 to
    // start1 is exact instead. Either holds for the whole zoom: no wobble.
    aboutPoint_ = !linear_ && std::fabs(fixed_) <= 1.0L;
}

Extended AxisZoom::Extent(Extended t) const
{
    if (linear_)
        return extent0_;
    return extent0_ * std::exp(t * logRatio_);
}

Extended AxisZoom::Progress(Extended t) const
{
    if (linear_)
        return t;
    return std::expm1(t * logRatio_) / expm1Log_;
}

Extended AxisZoom::Start(Extended t) const
{
    if (aboutPoint_)
        return point_ - fixed_ * Extent(t);
    return start0_ + (start1_ - start0_) * Progress(t);
}

ZoomSegment::ZoomSegment(const RegionValues& from, const RegionValues& to)
    : from_(from), to_(to), x_(from.XStart, from.XWidth, to.XStart, to.XWidth),
      y_(from.YStart, from.YHeight, to.YStart, to.YHeight),
      still_(from.XStart == to.XStart && from.XWidth == to.XWidth && from.YStart == to.YStart &&
             from.YHeight == to.YHeight)
{
}

RegionValues ZoomSegment::At(int step, int steps) const
{
    // The ends are the views themselves, not the formula's rounding of them.
    if (step <= 0)
        return from_;
    if (step >= steps)
        return to_;
    const Extended t = static_cast<Extended>(step) / static_cast<Extended>(steps);
    return {x_.Start(t), x_.Extent(t), y_.Start(t), y_.Extent(t)};
}

std::vector<int> ShareFrames(std::span<const RegionValues> views, int frames)
{
    if (views.size() < 2)
        throw PathError("A zoom movie needs a start view and an end view.");
    if (frames < 2 || frames > kMaxFrames)
        throw PathError("A zoom movie has 2 to " + std::to_string(kMaxFrames) + " frames, not " +
                        std::to_string(frames) + ".");
    const std::size_t segments = views.size() - 1;
    std::vector<Extended> weight(segments, 0.0L);
    std::size_t moving = 0;
    Extended total = 0.0L;
    for (std::size_t i = 0; i < segments; ++i) {
        const ZoomSegment s(views[i], views[i + 1]);
        if (s.Still())
            continue;
        // A move or a slight zoom still gets the time of a doubling, so it is seen.
        weight[i] = std::max({std::fabs(s.X().LogZoom()), std::fabs(s.Y().LogZoom()), std::numbers::ln2_v<Extended>});
        total += weight[i];
        ++moving;
    }
    const int steps = frames - 1;
    if (static_cast<std::size_t>(steps) < moving)
        throw PathError(std::to_string(frames) + " frames are too few for a path through " +
                        std::to_string(views.size()) + " views: it needs at least " + std::to_string(moving + 1) +
                        ".");

    // Largest remainders, with one interval at least for every segment that moves.
    std::vector<int> share(segments, 0);
    std::vector<Extended> ideal(segments, 0.0L);
    int given = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        if (weight[i] == 0.0L)
            continue;
        ideal[i] = static_cast<Extended>(steps) * (weight[i] / total);
        // ideal[i] lies in [0, steps]: the conversion is in range.
        share[i] = std::max(1, static_cast<int>(std::floor(ideal[i])));
        given += share[i];
    }
    while (given != steps) {
        std::size_t pick = segments;
        for (std::size_t i = 0; i < segments; ++i) {
            if (weight[i] == 0.0L || (given > steps && share[i] <= 1))
                continue;
            const Extended left = ideal[i] - static_cast<Extended>(share[i]);
            if (pick == segments)
                pick = i;
            else if (given < steps ? left > ideal[pick] - share[pick] : left < ideal[pick] - share[pick])
                pick = i;
        }
        if (pick == segments) // every view equal: the remaining frames show it still
            break;
        const int change = given < steps ? 1 : -1;
        share[pick] += change;
        given += change;
    }
    return share;
}

ZoomPlan PlanZoom(std::span<const RegionValues> views, int frames)
{
    const std::vector<int> share = ShareFrames(views, frames);
    ZoomPlan plan;
    plan.frames.reserve(static_cast<std::size_t>(frames));
    plan.viewFrames.reserve(views.size());
    plan.frames.push_back(views.front());
    plan.viewFrames.push_back(0);
    for (std::size_t i = 0; i < share.size(); ++i) {
        const ZoomSegment segment(views[i], views[i + 1]);
        for (int step = 1; step <= share[i]; ++step)
            plan.frames.push_back(segment.At(step, share[i]));
        plan.viewFrames.push_back(static_cast<int>(plan.frames.size()) - 1);
    }
    // Only when every view is the same region: the movie holds it.
    while (plan.frames.size() < static_cast<std::size_t>(frames))
        plan.frames.push_back(views.back());
    return plan;
}

} // namespace movie
