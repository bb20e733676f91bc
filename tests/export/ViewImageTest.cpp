// Small view pictures: their grid reaches the region's corners exactly as the full picture does.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "colour/Palette.h"
#include "engine/Compute.h"
#include "export/Scenes.h"
#include "fractals/Catalogue.h"
#include "window/ScreenPicture.h"

TEST(ViewImage, CornersAreThePictureCornersInTheWindowColours)
{
    for (const char* id : {"FormJU3", "Form1", "FormRN4.SBAL1"}) {
        SCOPED_TRACE(id);
        const fractals::View* view = fractals::FindView(id);
        ASSERT_NE(view, nullptr);
        const engine::RegionValues region = view->region.Make().Values();

        // Rows 0 and 767 of the full 1024 x 768 picture, as a calculation computes them.
        std::unique_ptr<engine::TBasicSet> set = fractals::MakePointSet(*view->window);
        std::vector<std::uint8_t> top(engine::kBufferWidth), bottom(engine::kBufferWidth);
        engine::ComputeRow(region, *set, view->function, 0, top.data());
        engine::ComputeRow(region, *set, view->function, engine::kBufferHeight - 1, bottom.data());

        colour::ColourAdjust adjust;
        adjust.colourOffset = view->window->colourOffset;
        auto rgb = [&](std::uint8_t v) {
            const colour::Rgb c = colour::MapColour(v, colour::DefaultVgaPalette, adjust);
            return qRgb(c.red, c.green, c.blue);
        };

        const QImage image = screen::RenderViewImage(*view, 64, 51);
        ASSERT_EQ(image.size(), QSize(64, 51));
        EXPECT_EQ(image.pixel(0, 0), rgb(top.front()));
        EXPECT_EQ(image.pixel(63, 0), rgb(top.back()));
        EXPECT_EQ(image.pixel(0, 50), rgb(bottom.front()));
        EXPECT_EQ(image.pixel(63, 50), rgb(bottom.back()));
    }
}

TEST(ViewImage, AnyRegionAndTinySizes)
{
    const fractals::View* view = fractals::FindView("FormJU3");
    ASSERT_NE(view, nullptr);
    // A region collapsed to one point paints one colour everywhere.
    const engine::RegionValues point{0.1L, 0.0L, 0.2L, 0.0L};
    const QImage flat = screen::RenderViewImage(*view, point, 5, 4);
    ASSERT_EQ(flat.size(), QSize(5, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(flat.pixel(x, y), flat.pixel(0, 0));
    // Sizes below two cannot span a region's two edges and are raised.
    EXPECT_EQ(screen::RenderViewImage(*view, 1, 0).size(), QSize(2, 2));
}
