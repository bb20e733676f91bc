// Small pictures of catalogue views, computed by the engine at any size.
#pragma once

#include <QImage>

#include "engine/Region.h"
#include "fractals/Catalogue.h"

namespace shell {

// The picture of `view` over `region` on a width × height grid, coloured with
// the default VGA palette and the window's colour offset. The grid generalises
// the window's cell mapping: column j lies at ((j × XWidth) × (1/(width−1))) +
// XStart, row i likewise, so the corners are the region's corners as in the
// 1024 × 768 picture. Sizes below 2 are raised to 2.
QImage RenderViewImage(const fractals::View& view, const engine::RegionValues& region, int width, int height);

// The same over the view's own start region.
QImage RenderViewImage(const fractals::View& view, int width, int height);

} // namespace shell
