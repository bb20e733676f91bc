// The navigation commands as steps from one region to the next, free of any widget.
#pragma once

#include <functional>

#include "engine/Region.h"

namespace fractals {
struct WindowEntry;
}

namespace view {

// The commands of the Move menu and the Control box. Each stores its fields
// one after another, each narrowed to 6 bytes before the next is computed
// from it; an overflow throws engine::FloatingPointOverflow and leaves the
// fields stored before it changed, the others as they were.
void ZoomIn(engine::Region& r);
void ZoomOut(engine::Region& r);
// Row 0 is the top of the picture: moving up lowers YStart.
void MoveUp(engine::Region& r);
void MoveDown(engine::Region& r);
void MoveLeft(engine::Region& r);
void MoveRight(engine::Region& r);

// A rectangle of the picture in its pixels: left, top, width and height. The
// width and height may be negative (a band drawn up or to the left).
struct Band {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Band&) const = default;
};

// The rubber band's zoom: the picture, stretched to pictureWidth ×
// pictureHeight pixels, is cut to `band`; integer differences are divided in
// extended precision. A picture with no area throws FloatingPointOverflow
// before any field changes.
void ZoomToBand(engine::Region& r, const Band& band, int pictureWidth, int pictureHeight);

// The region typed as its corners. Each reader gives one typed number and may
// throw; they are read in the order x1, y1, x2, y2, each value stored before
// the next is read, and the extents come from the stored (rounded) starts.
struct TypedCorners {
    std::function<engine::Extended()> x1, x2, y1, y2;
};
void TypeRegion(engine::Region& r, const TypedCorners& typed);

// ---- for the pointer: whole steps that leave the region as it was on failure ----

// The region scaled by 1/factor about a point of the picture (in pixels of a
// pictureWidth × pictureHeight picture, as the rubber band counts them): the
// point keeps its place on the screen. factor > 1 zooms in.
engine::Region ZoomAbout(const engine::Region& r, double x, double y, engine::Extended factor, int pictureWidth,
                         int pictureHeight);
// The region after the picture has been dragged by dx, dy pixels: what lay
// left of the picture comes into view when it is dragged to the right.
engine::Region PanByPixels(const engine::Region& r, int dx, int dy, int pictureWidth, int pictureHeight);
// The rubber band from its anchor to the pointer with the picture's shape:
// the longer side (relative to the picture) decides, the other follows, and
// the band grows from the anchor towards the pointer.
Band KeepShapeBand(int anchorX, int anchorY, int x, int y, int pictureWidth, int pictureHeight);
// The region the window opens with.
engine::Region Home(const fractals::WindowEntry& entry);

} // namespace view
