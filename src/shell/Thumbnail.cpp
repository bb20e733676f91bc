// Computes and colours small pictures of catalogue views for dialogs and the icon.
#include "shell/Thumbnail.h"

#include <algorithm>
#include <memory>

#include "colour/Palette.h"

namespace shell {

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
            set->SetValues(engine::kCalcParam, engine::TTriple{x, y, 0.0L});
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

} // namespace shell
