// The old picture's place in a new region, and the wheel's notches.
#include "view/Preview.h"

#include <algorithm>
#include <cmath>

namespace view {

using engine::Extended;

std::optional<PictureMapping> MapPicture(const engine::RegionValues& from, const engine::RegionValues& to)
{
    if (to.XWidth == 0.0L || to.YHeight == 0.0L)
        return std::nullopt;
    // Column j of `from` lies at from.XStart + j * from.XWidth / 1023, which
    // is column (that - to.XStart) * 1023 / to.XWidth of `to`.
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

int WheelNotches::Add(int angleDelta)
{
    // Saturating: a flood of events cannot overflow the sum.
    rest_ = static_cast<int>(std::clamp(static_cast<long long>(rest_) + angleDelta, -1000000LL, 1000000LL));
    const int notches = rest_ / kNotch; // toward zero: a partial notch waits
    rest_ -= notches * kNotch;
    return notches;
}

} // namespace view
