// The navigation commands: the region's fields stored in the order the commands have always stored them.
#include "view/Navigation.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "fractals/Catalogue.h"

namespace view {

using engine::Extended;
using engine::Real48;

namespace {

// Every assignment narrows at once: a later step reads the rounded value.
// An overflow throws here and leaves the field as it was.
void Store(Real48& field, Extended value) { field = Real48::FromExtended(value); }

void RequireArea(int pictureWidth, int pictureHeight)
{
    // A view with no area would divide by zero: the result is out of range.
    if (pictureWidth <= 0 || pictureHeight <= 0)
        throw engine::FloatingPointOverflow();
}

int ClampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace

void ZoomIn(engine::Region& r)
{
    Store(r.XWidth, r.XWidth.ToExtended() * 0.5L);
    Store(r.YHeight, r.YHeight.ToExtended() * 0.5L);
    Store(r.XStart, r.XStart.ToExtended() + r.XWidth.ToExtended() * 0.5L);
    Store(r.YStart, r.YStart.ToExtended() + r.YHeight.ToExtended() * 0.5L);
}

void ZoomOut(engine::Region& r)
{
    Store(r.XStart, r.XStart.ToExtended() - r.XWidth.ToExtended() * 0.5L);
    Store(r.YStart, r.YStart.ToExtended() - r.YHeight.ToExtended() * 0.5L);
    Store(r.XWidth, r.XWidth.ToExtended() * 2.0L);
    Store(r.YHeight, r.YHeight.ToExtended() * 2.0L);
}

void MoveUp(engine::Region& r) { Store(r.YStart, r.YStart.ToExtended() - r.YHeight.ToExtended() * 0.5L); }

void MoveDown(engine::Region& r) { Store(r.YStart, r.YStart.ToExtended() + r.YHeight.ToExtended() * 0.5L); }

void MoveLeft(engine::Region& r) { Store(r.XStart, r.XStart.ToExtended() - r.XWidth.ToExtended() * 0.5L); }

void MoveRight(engine::Region& r) { Store(r.XStart, r.XStart.ToExtended() + r.XWidth.ToExtended() * 0.5L); }

void ZoomToBand(engine::Region& r, const Band& band, int pictureWidth, int pictureHeight)
{
    RequireArea(pictureWidth, pictureHeight);
    const auto across = [pictureWidth](int pixels) {
        return static_cast<Extended>(pixels) / static_cast<Extended>(pictureWidth);
    };
    const auto down = [pictureHeight](int pixels) {
        return static_cast<Extended>(pixels) / static_cast<Extended>(pictureHeight);
    };
    Store(r.XStart, r.XStart.ToExtended() + r.XWidth.ToExtended() * across(band.left));
    Store(r.YStart, r.YStart.ToExtended() + r.YHeight.ToExtended() * down(band.top));
    Store(r.XWidth, r.XWidth.ToExtended() * across(band.width));
    Store(r.YHeight, r.YHeight.ToExtended() * down(band.height));
}

void TypeRegion(engine::Region& r, const TypedCorners& typed)
{
    Store(r.XStart, typed.x1());
    Store(r.YStart, typed.y1());
    Store(r.XWidth, typed.x2() - r.XStart.ToExtended());
    Store(r.YHeight, typed.y2() - r.YStart.ToExtended());
}

engine::Region ZoomAbout(const engine::Region& r, double x, double y, Extended factor, int pictureWidth,
                         int pictureHeight)
{
    RequireArea(pictureWidth, pictureHeight);
    if (!(factor > 0.0L) || factor == factor * 2.0L) // not positive, NaN or infinite
        throw std::invalid_argument("a zoom factor must be a positive finite number");
    const Extended fx = static_cast<Extended>(x) / static_cast<Extended>(pictureWidth);
    const Extended fy = static_cast<Extended>(y) / static_cast<Extended>(pictureHeight);
    const Extended pointX = r.XStart.ToExtended() + r.XWidth.ToExtended() * fx;
    const Extended pointY = r.YStart.ToExtended() + r.YHeight.ToExtended() * fy;
    engine::Region out = r;
    Store(out.XWidth, r.XWidth.ToExtended() / factor);
    Store(out.YHeight, r.YHeight.ToExtended() / factor);
    Store(out.XStart, pointX - out.XWidth.ToExtended() * fx);
    Store(out.YStart, pointY - out.YHeight.ToExtended() * fy);
    return out;
}

engine::Region PanByPixels(const engine::Region& r, int dx, int dy, int pictureWidth, int pictureHeight)
{
    RequireArea(pictureWidth, pictureHeight);
    engine::Region out = r;
    Store(out.XStart, r.XStart.ToExtended() -
                          r.XWidth.ToExtended() * (static_cast<Extended>(dx) / static_cast<Extended>(pictureWidth)));
    Store(out.YStart, r.YStart.ToExtended() - r.YHeight.ToExtended() *
                                                  (static_cast<Extended>(dy) / static_cast<Extended>(pictureHeight)));
    return out;
}

Band KeepShapeBand(int anchorX, int anchorY, int x, int y, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return Band{anchorX, anchorY, 0, 0};
    const long long dx = static_cast<long long>(x) - anchorX;
    const long long dy = static_cast<long long>(y) - anchorY;
    const long long w = pictureWidth, h = pictureHeight;
    long long width = std::llabs(dx), height = std::llabs(dy);
    // Rounded to the nearest pixel; the products stay far inside long long.
    if (width * h >= height * w)
        height = (width * h + w / 2) / w;
    else
        width = (height * w + h / 2) / h;
    const long long left = dx < 0 ? anchorX - width : anchorX;
    const long long top = dy < 0 ? anchorY - height : anchorY;
    return Band{ClampToInt(left), ClampToInt(top), ClampToInt(width), ClampToInt(height)};
}

engine::Region Home(const fractals::WindowEntry& entry) { return entry.region.Make(); }

} // namespace view
