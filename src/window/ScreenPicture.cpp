// The pictures painted from an iteration buffer or computed for a catalogue view, and the Windows bitmap file.
#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <memory>

#include "window/ScreenPicture.h"

#include "engine/Region.h"
#include "export/AtomicFile.h"
#include "fractals/Catalogue.h"
#include "window/LocalPath.h"

namespace screen {

PixelTable PictureColours(const colour::TPaletteTable& palette, const colour::ColourAdjust& adjust)
{
    PixelTable pixels = colour::ColourTableRgb32(palette, adjust);
    for (std::uint32_t& c : pixels)
        c |= 0xFF000000u; // Format_RGB32 keeps its unused byte at 0xFF
    return pixels;
}

void PaintPictureRow(QImage& image, int row, const std::uint8_t* values, const PixelTable& pixels)
{
    auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(row));
    int j = 0;
    while (j < engine::kBufferWidth) {
        int k = 0;
        while (j + k + 1 < engine::kBufferWidth && values[j + k + 1] == values[j])
            ++k;
        const std::uint32_t c = pixels[values[j]];
        for (int x = j; x <= j + k; ++x)
            line[x] = c;
        j += k + 1;
    }
}

namespace {

// The whole picture, row by row; `loadRow` (row, out) gives a row's values.
template <class LoadRow>
QImage PaintPicture(const LoadRow& loadRow, const colour::TPaletteTable& palette, const colour::ColourAdjust& adjust)
{
    const PixelTable pixels = PictureColours(palette, adjust);
    QImage image(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    std::uint8_t values[engine::kBufferWidth];
    for (int r = 0; r < engine::kBufferHeight; ++r) {
        loadRow(r, values);
        PaintPictureRow(image, r, values, pixels);
    }
    return image;
}

} // namespace

QImage RenderPicture(std::span<const std::uint8_t> buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust)
{
    if (buffer.size() < static_cast<std::size_t>(engine::kBufferCells))
        throw std::invalid_argument("RenderPicture: the buffer holds fewer than 1024 x 768 values");
    return PaintPicture(
        [&](int row, std::uint8_t* out) {
            const std::uint8_t* values = buffer.data() + static_cast<std::size_t>(row) * engine::kBufferWidth;
            std::copy(values, values + engine::kBufferWidth, out);
        },
        palette, adjust);
}

QImage RenderPicture(const engine::IterBuffer& buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust)
{
    return PaintPicture([&](int row, std::uint8_t* out) { buffer.LoadRow(row, out); }, palette, adjust);
}

QImage RenderViewImage(const fractals::View& view, const engine::RegionValues& region, int width, int height)
{
    using engine::Extended;
    width = std::max(width, 2);
    height = std::max(height, 2);
    const Extended invW = 1.0L / static_cast<Extended>(width - 1);
    const Extended invH = 1.0L / static_cast<Extended>(height - 1);

    colour::ColourAdjust adjust;
    adjust.colourOffset = view.window->colourOffset;
    const std::array<std::uint32_t, 256> table = colour::ColourTableRgb32(colour::DefaultVgaPalette, adjust);

    std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view.window);
    QImage image(width, height, QImage::Format_RGB32);
    for (int i = 0; i < height; ++i) {
        const Extended y = ((static_cast<Extended>(i) * region.YHeight) * invH) + region.YStart;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(i));
        for (int j = 0; j < width; ++j) {
            const Extended x = ((static_cast<Extended>(j) * region.XWidth) * invW) + region.XStart;
            set->SetValues(set->CalcParam, engine::TTriple{x, y, 0.0L});
            const auto value = static_cast<std::uint8_t>(static_cast<std::uint32_t>(view.function(*set)) & 0xFFu);
            line[j] = 0xFF000000u | table[value];
        }
    }
    return image;
}

QImage RenderViewImage(const fractals::View& view, int width, int height)
{
    return RenderViewImage(view, view.region.Make().Values(), width, height);
}

void SaveBmp(const QImage& image, const QString& path)
{
    // Encode in memory first: the file is then replaced in one step, and an
    // encoder failure never reaches the disk.
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "bmp");
    if (!writer.write(image))
        throw exporter::IoError(window::LocalPath(path) + ": " + writer.errorString().toStdString());
    device.close();
    exporter::detail::ReplaceFile(window::LocalPath(path), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace screen
