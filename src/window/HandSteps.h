// The region steps of the wheel, drags and pinches, and where the old picture lies in the new one; no Qt.
#pragma once

#include <optional>
#include <utility>

#include "engine/Region.h"

namespace window {

// A position on the view in cells of the 1024 x 768 picture stretched over
// `extent` pixels: the centre of pixel 0 lies at (cells / extent - 1) / 2,
// and the centre of the view at (cells - 1) / 2 whatever the extent.
long double CellAt(double pixel, int extent, int cells);

// The point of the plane at cell (u, v) stays where it is while both extents
// shrink by `factor` (2: one wheel notch in, 0.5: one out). Computed on a
// copy and stored in the 6-byte format as a whole: an overflow throws
// engine::FloatingPointOverflow and the region is unchanged.
engine::Region ZoomAboutCell(const engine::Region& r, long double u, long double v, long double factor);

// The picture moved by (du, dv) cells, as the hand drags it: what lay at
// cell (u, v) comes to (u + du, v + dv). Throws as ZoomAboutCell.
engine::Region PanByCells(const engine::Region& r, long double du, long double dv);

// Where the picture of `from` lies in the picture of `to`: cell (j, i) of
// the first shows at cell (j * scaleX + offsetX, i * scaleY + offsetY) of
// the second. Nothing when `to` has no extent or the numbers leave the range
// a preview can draw.
struct PictureMapping {
    double scaleX = 1.0, scaleY = 1.0;
    double offsetX = 0.0, offsetY = 0.0;
};
std::optional<PictureMapping> MapPicture(const engine::RegionValues& from, const engine::RegionValues& to);

// The second corner of a rubber band drawn with Shift held: moved, away from
// the anchor, until the rectangle the zoom uses (the corners' distance less
// twice `inset` on each side) has the view's shape width x height.
std::pair<int, int> KeepShapeCorner(int anchorX, int anchorY, int x, int y, int width, int height, int inset);

// Wheel notches from the angle a wheel or a smooth-scrolling touchpad
// reports (120 eighths of a degree a notch): the remainder waits for the
// next event. Positive notches turn away from the user.
class WheelNotches {
public:
    static constexpr int kNotch = 120;
    int Add(int angleDelta);
    void Reset() { rest_ = 0; }

private:
    int rest_ = 0;
};

} // namespace window
