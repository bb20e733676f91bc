// Region arithmetic of the hands' steps, in extended precision, stored in the 6-byte format.
#include "window/HandSteps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace window {

using engine::Extended;
using engine::Real48;

long double CellAt(double pixel, int extent, int cells)
{
    if (extent <= 0)
        return (static_cast<long double>(cells) - 1.0L) / 2.0L;
    // Pixel edges map onto cell edges; a cell's centre is its index.
    return (static_cast<long double>(pixel) + 0.5L) * static_cast<long double>(cells) / static_cast<long double>(extent) -
           0.5L;
}

engine::Region ZoomAboutCell(const engine::Region& r, long double u, long double v, long double factor)
{
    const engine::RegionValues old = r.Values();
    const Extended x = ((u * old.XWidth) * engine::kInv1023) + old.XStart;
    const Extended y = ((v * old.YHeight) * engine::kInv767) + old.YStart;
    engine::Region next = r;
    const Extended shrink = 1.0L / factor;
    next.XWidth = Real48::FromExtended(old.XWidth * shrink);
    next.YHeight = Real48::FromExtended(old.YHeight * shrink);
    // From the stored extents, so the point stays under the pointer as the
    // picture will be computed.
    next.XStart = Real48::FromExtended(x - (u * next.XWidth.ToExtended()) * engine::kInv1023);
    next.YStart = Real48::FromExtended(y - (v * next.YHeight.ToExtended()) * engine::kInv767);
    return next;
}

engine::Region PanByCells(const engine::Region& r, long double du, long double dv)
{
    engine::Region next = r;
    next.XStart = Real48::FromExtended(r.XStart.ToExtended() - (du * r.XWidth.ToExtended()) * engine::kInv1023);
    next.YStart = Real48::FromExtended(r.YStart.ToExtended() - (dv * r.YHeight.ToExtended()) * engine::kInv767);
    return next;
}

std::optional<PictureMapping> MapPicture(const engine::RegionValues& from, const engine::RegionValues& to)
{
    if (to.XWidth == 0.0L || to.YHeight == 0.0L)
        return std::nullopt;
    const Extended sx = from.XWidth / to.XWidth;
    const Extended sy = from.YHeight / to.YHeight;
    const Extended ox = (from.XStart - to.XStart) * 1023.0L / to.XWidth;
    const Extended oy = (from.YStart - to.YStart) * 767.0L / to.YHeight;
    // Far beyond any picture: a preview of it would be one colour or nothing.
    constexpr Extended kLimit = 1e9L;
    for (Extended v : {sx, sy, ox, oy})
        if (!std::isfinite(v) || std::fabs(v) > kLimit)
            return std::nullopt;
    return PictureMapping{static_cast<double>(sx), static_cast<double>(sy), static_cast<double>(ox),
                          static_cast<double>(oy)};
}

std::pair<int, int> KeepShapeCorner(int anchorX, int anchorY, int x, int y, int width, int height, int inset)
{
    if (width <= 0 || height <= 0)
        return {x, y};
    const long long dx = static_cast<long long>(x) - anchorX;
    const long long dy = static_cast<long long>(y) - anchorY;
    const double margin = 2.0 * inset;
    const double scale = std::max({(static_cast<double>(std::llabs(dx)) - margin) / width,
                                   (static_cast<double>(std::llabs(dy)) - margin) / height, 0.0});
    // Within the range of an int: the pointer lies on the screen.
    const double w = std::min(std::round(scale * width) + margin, 1e8);
    const double h = std::min(std::round(scale * height) + margin, 1e8);
    const int sideX = static_cast<int>(w);
    const int sideY = static_cast<int>(h);
    return {dx < 0 ? anchorX - sideX : anchorX + sideX, dy < 0 ? anchorY - sideY : anchorY + sideY};
}

int WheelNotches::Add(int angleDelta)
{
    // Saturating: a flood of events cannot overflow the sum.
    rest_ = static_cast<int>(std::clamp(static_cast<long long>(rest_) + angleDelta, -1000000LL, 1000000LL));
    const int notches = rest_ / kNotch; // toward zero: a partial notch waits
    rest_ -= notches * kNotch;
    return notches;
}

} // namespace window
