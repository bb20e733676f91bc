// Where the old picture lies in a new region (the hands' preview), and wheel notches from smooth scrolling.
#include <gtest/gtest.h>

#include <cmath>

#include "view/Navigation.h"
#include "view/Preview.h"

namespace {

engine::Region PreviewRegion(engine::Extended xs, engine::Extended xw, engine::Extended ys, engine::Extended yh)
{
    engine::Region r;
    r.SetRegionBySize(xs, xw, ys, yh);
    return r;
}

engine::Extended ColumnX(const engine::Region& r, double j)
{
    return ((static_cast<engine::Extended>(j) * r.XWidth.ToExtended()) * engine::kInv1023) + r.XStart.ToExtended();
}
engine::Extended RowY(const engine::Region& r, double i)
{
    return ((static_cast<engine::Extended>(i) * r.YHeight.ToExtended()) * engine::kInv767) + r.YStart.ToExtended();
}

} // namespace

TEST(Preview, TheOldPictureMapsOntoTheCellsWhereItsPointsLieInTheNewRegion)
{
    const engine::Region from = PreviewRegion(-2.0L, 3.0L, -1.25L, 2.5L);
    const engine::Region tos[] = {from,
                                  view::ZoomAbout(from, 200.0, 600.0, 2.0L, 880, 600),
                                  view::ZoomAbout(from, 870.0, 10.0, 0.5L, 880, 600),
                                  view::ZoomAbout(from, 13.0, 500.0, 1.37L, 880, 600),
                                  view::PanByPixels(from, -77, 33, 880, 600),
                                  PreviewRegion(1.0L, -3.0L, -1.25L, 2.5L)}; // mirrored
    for (const engine::Region& to : tos) {
        const auto m = view::MapPicture(from.Values(), to.Values());
        ASSERT_TRUE(m);
        // The same point of the plane, up to double rounding of the mapping.
        for (int j : {0, 100, 1023})
            EXPECT_NEAR(static_cast<double>(ColumnX(to, j * m->scaleX + m->offsetX)), static_cast<double>(ColumnX(from, j)),
                        1e-12);
        for (int i : {0, 500, 767})
            EXPECT_NEAR(static_cast<double>(RowY(to, i * m->scaleY + m->offsetY)), static_cast<double>(RowY(from, i)),
                        1e-12);
    }
    const auto same = view::MapPicture(from.Values(), from.Values());
    EXPECT_EQ(same->scaleX, 1.0);
    EXPECT_EQ(same->offsetX, 0.0);
    // A region with no extent, or one a picture cannot reach, has no preview.
    EXPECT_FALSE(view::MapPicture(from.Values(), PreviewRegion(0.0L, 0.0L, 0.0L, 1.0L).Values()));
    EXPECT_FALSE(view::MapPicture(from.Values(), PreviewRegion(0.0L, 1e-20L, 0.0L, 1e-20L).Values()));
}

TEST(Preview, WheelNotchesAddUpSmoothScrollingAndKeepTheRest)
{
    view::WheelNotches n;
    const struct {
        int angle, notches;
    } steps[] = {{120, 1}, {-240, -2}, {40, 0}, {40, 0}, {40, 1}, {-100, 0}, {-30, -1}, {370, 3}, {-20, 0}, {-100, -1}};
    for (const auto& s : steps)
        EXPECT_EQ(n.Add(s.angle), s.notches) << s.angle;
    n.Add(60);
    n.Reset();
    EXPECT_EQ(n.Add(60), 0) << "a reset drops the half notch";
    // A flood of events neither overflows nor loses its sign.
    view::WheelNotches flood;
    int total = 0;
    for (int k = 0; k < 100; ++k)
        total += flood.Add(2'000'000'000);
    EXPECT_GT(total, 0);
}
