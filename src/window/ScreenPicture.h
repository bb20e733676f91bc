// The screen painter: pictures painted from iteration values for the window, its saved and copied
// picture and the thumbnails, and the Windows bitmap file of a painted picture.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

#include "colour/Palette.h"
#include "engine/IterBuffer.h"
#include "engine/Region.h"

namespace fractals {
struct View;
}

namespace screen {

// The one painter of pictures from iteration values: the window's progressive
// display and recolouring, its saved and copied picture, and the command
// line's bitmap all paint through these.

// The 256 cell colours (PixelColour) as opaque QImage::Format_RGB32 pixels.
using PixelTable = std::array<std::uint32_t, 256>;
PixelTable PictureColours(const colour::TPaletteTable& palette, const colour::ColourAdjust& adjust);

// Paints line `row` of a 1024-wide Format_RGB32 image from the row's 1024
// values. A run of equal values is filled in one go with the colour of its
// first cell.
void PaintPictureRow(QImage& image, int row, const std::uint8_t* values, const PixelTable& pixels);

// The 1024 x 768 picture painted from a buffer (786,432 bytes, row 0 first)
// with PixelColour: a 24-bit colour image (QImage::Format_RGB32).
QImage RenderPicture(std::span<const std::uint8_t> buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust);
// The same from a window's buffer, read as it is now.
QImage RenderPicture(const engine::IterBuffer& buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust);

// The picture of `view` over `region` on a width × height grid, coloured with
// the default VGA palette and the window's colour offset: the launcher's and
// the Types buttons' thumbnails, the export dialog's picture and the icon. The
// grid generalises the window's cell mapping: column j lies at ((j × XWidth) ×
// (1/(width−1))) + XStart, row i likewise, so the corners are the region's
// corners as in the 1024 × 768 picture. Sizes below 2 are raised to 2.
QImage RenderViewImage(const fractals::View& view, const engine::RegionValues& region, int width, int height);
// The same over the view's own start region.
QImage RenderViewImage(const fractals::View& view, int width, int height);

// Writes the image as a Windows bitmap, replacing the target atomically: a
// failure leaves an existing file untouched and no partial file. Throws exporter::IoError.
void SaveBmp(const QImage& image, const QString& path);

} // namespace screen
