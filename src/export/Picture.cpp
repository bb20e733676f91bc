// The picture painted from an iteration buffer, and its Windows bitmap file.
#include <QBuffer>
#include <QImageWriter>

#include "engine/Region.h"
#include "export/Export.h"
#include "export/FileOutput.h"

namespace exporter {

QImage RenderPicture(std::span<const std::uint8_t> buffer, const colour::TPaletteTable& palette,
                     const colour::ColourAdjust& adjust)
{
    if (buffer.size() < static_cast<std::size_t>(engine::kBufferCells))
        throw std::invalid_argument("RenderPicture: the buffer holds fewer than 1024 x 768 values");
    std::array<std::uint32_t, 256> table = colour::ColourTableRgb32(palette, adjust);
    for (std::uint32_t& c : table)
        c |= 0xFF000000u; // Format_RGB32 keeps its unused byte at 0xFF
    QImage image(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    for (int r = 0; r < engine::kBufferHeight; ++r) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(r));
        const std::uint8_t* values = buffer.data() + static_cast<std::size_t>(r) * engine::kBufferWidth;
        for (int c = 0; c < engine::kBufferWidth; ++c)
            line[c] = table[values[c]];
    }
    return image;
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
        throw IoError(detail::LocalPath(path) + ": " + writer.errorString().toStdString());
    device.close();
    detail::ReplaceFile(detail::LocalPath(path), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace exporter
