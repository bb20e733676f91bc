// The navigation commands past the 6-byte region: a view kept as exact decimals, and the crossings between the two.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "deep/DeepRegion.h"
#include "engine/Region.h"
#include "view/Navigation.h"

namespace view {

// Whether a 6-byte region still places the window's picture: the corners'
// rounding (2^-39 of their size) stays below a thousandth of the extent, and
// the extents lie well inside the 6-byte range (either sign: mirrored
// regions are 6-byte ones).
bool SixByteHolds(const engine::Region& r);

// The deep region showing exactly what the 6-byte region shows (centre and
// extents as exact decimals, height explicit).
deep::DeepRegion ToDeep(const engine::Region& r);
// The nearest 6-byte region of a deep one, when it holds the picture.
std::optional<engine::Region> ToSixByte(const deep::DeepRegion& d);
// The nearest 6-byte region whatever it shows (blocks), when 6 bytes reach it.
std::optional<engine::Region> NearestSixByte(const deep::DeepRegion& d);

// The commands on a deep region, the same steps as their 6-byte
// counterparts: zooms keep the centre, moves go by half an extent, a band
// cuts out its rectangle of a pictureWidth x pictureHeight picture. Each
// returns the new region; deep::RegionError for a region the deep engine
// cannot place (pixel spacing beyond the extended exponent's reach).
deep::DeepRegion DeepZoomIn(const deep::DeepRegion& d);
deep::DeepRegion DeepZoomOut(const deep::DeepRegion& d);
// dx, dy in half extents: -1 left or up (row 0 is the top, the smallest y), +1 right or down.
deep::DeepRegion DeepMove(const deep::DeepRegion& d, int dx, int dy);
deep::DeepRegion DeepZoomToBand(const deep::DeepRegion& d, const Band& band, int pictureWidth, int pictureHeight);
deep::DeepRegion DeepZoomAbout(const deep::DeepRegion& d, double x, double y, long double factor, int pictureWidth,
                               int pictureHeight);
deep::DeepRegion DeepPanByPixels(const deep::DeepRegion& d, int dx, int dy, int pictureWidth, int pictureHeight);

// The corners x1, x2, y1, y2 as decimals with as many digits as the depth
// needs (the Position box's texts), and back: corners typed as decimals.
struct DeepCorners {
    std::string x1, x2, y1, y2;
};
DeepCorners CornersOf(const deep::DeepRegion& d);
// Throws deep::RegionError for a text that is not a decimal or corners with no area.
deep::DeepRegion FromCorners(const DeepCorners& c);

// The centre and extents as the Position box shows them: the region's own
// decimals, the height of square pixels written out to the depth's digits.
deep::DeepRegion ExtentsOf(const deep::DeepRegion& d);
// A centre and extents typed as decimals, each kept as typed (an empty
// height: square pixels). Throws deep::RegionError for a text that is not a
// decimal, an extent not above 0 or a region the engine cannot place.
deep::DeepRegion FromExtents(const deep::DeepRegion& typed);

// The share of a deep picture's cells (low 8 bits of the counts) that
// reached the iteration limit; none when the cells cannot tell (a limit
// above 255 shares its low bits with smaller counts).
std::optional<double> LimitShare(const std::vector<std::uint8_t>& cells, int limit);
// Above this share the window says that the limit hides detail.
inline constexpr double kManyAtLimit = 0.1;

} // namespace view
