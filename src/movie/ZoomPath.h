// The regions of a zoom movie's frames: a geometric zoom about the point two views share.
#pragma once

#include <span>
#include <stdexcept>
#include <vector>

#include "engine/Region.h"

namespace movie {

using engine::Extended;
using engine::RegionValues;

// A path that cannot be made; what() is one sentence for the user.
class PathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One axis of a zoom from (start0, extent0) to (start1, extent1), at a
// parameter t from 0 to 1. The extent follows extent0 * (extent1/extent0)^t,
// and the start moves so that the screen fraction FixedFraction() keeps the
// same plane point (start0 + FixedFraction() * extent0) for every t. With
// equal extents there is no such point and the start moves linearly.
class AxisZoom {
public:
    // Throws PathError for a value that is not finite, and for extents that
    // differ while one is 0 or their signs differ (no geometric way between them).
    AxisZoom(Extended start0, Extended extent0, Extended start1, Extended extent1);

    Extended Extent(Extended t) const;
    Extended Start(Extended t) const;

    bool HasFixedPoint() const { return !linear_; }
    // (start1 - start0) / (extent0 - extent1) and the plane point there;
    // meaningful when HasFixedPoint().
    Extended FixedFraction() const { return fixed_; }
    Extended FixedPoint() const { return point_; }
    // ln(extent1 / extent0): the same share of it passes in every frame. 0 for a move.
    Extended LogZoom() const { return logRatio_; }

private:
    // The share of the way from start0 to start1 covered at t: t for a move,
    // expm1(t L) / expm1(L) for a zoom (exact near L = 0, where 1 - e^tL cancels).
    Extended Progress(Extended t) const;

    Extended start0_, extent0_, start1_, extent1_;
    bool linear_ = true;
    Extended logRatio_ = 0.0L;
    Extended expm1Log_ = 0.0L;
    Extended fixed_ = 0.0L, point_ = 0.0L;
    bool aboutPoint_ = false;
};

// A zoom between two views, each axis by its own law.
class ZoomSegment {
public:
    ZoomSegment(const RegionValues& from, const RegionValues& to);

    // Step `step` of `steps` (>= 1): step 0 is `from` and step `steps` is
    // `to`, both exactly; the steps between are never narrowed to 6 bytes.
    RegionValues At(int step, int steps) const;

    const AxisZoom& X() const { return x_; }
    const AxisZoom& Y() const { return y_; }
    // The two views are the same region: the segment needs no frames.
    bool Still() const { return still_; }

private:
    RegionValues from_, to_;
    AxisZoom x_, y_;
    bool still_;
};

// The frames of a movie through `views` in turn.
struct ZoomPlan {
    std::vector<RegionValues> frames; // the region of every frame
    std::vector<int> viewFrames;      // the frame that shows views[i] exactly
};

// Frame intervals given to each of the views.size() - 1 segments out of
// frames - 1, in proportion to max(|ln x zoom|, |ln y zoom|, ln 2) with at
// least one per segment; a segment between two equal regions gets none.
// Throws PathError when there are too few frames or fewer than two views.
std::vector<int> ShareFrames(std::span<const RegionValues> views, int frames);

// Plans `frames` frames (2 ... kMaxFrames) from views.front() through every
// view to views.back(). Throws PathError.
ZoomPlan PlanZoom(std::span<const RegionValues> views, int frames);

inline constexpr int kMaxFrames = 1000000;

} // namespace movie
