// What the hands' steps need besides the region: where the old picture lies in the new one, and wheel notches; no Qt.
#pragma once

#include <optional>

#include "engine/Region.h"

namespace view {

// Where the picture of `from` lies in the picture of `to`: cell (j, i) of
// the first shows at cell (j * scaleX + offsetX, i * scaleY + offsetY) of
// the second, both in cells of the 1024 x 768 grid. Nothing when `to` has no
// extent or the numbers leave the range a preview can draw.
struct PictureMapping {
    double scaleX = 1.0, scaleY = 1.0;
    double offsetX = 0.0, offsetY = 0.0;
};
std::optional<PictureMapping> MapPicture(const engine::RegionValues& from, const engine::RegionValues& to);

// Wheel notches from the angle a wheel or a smooth-scrolling touchpad
// reports (120 eighths of a degree a notch): a remainder waits for the next
// event. Positive notches turn away from the user.
class WheelNotches {
public:
    static constexpr int kNotch = 120;
    int Add(int angleDelta);
    void Reset() { rest_ = 0; }

private:
    int rest_ = 0;
};

} // namespace view
