// The navigation commands as steps on a region: exact results, the order of the stores, the pointer's steps.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <limits>
#include "view/Navigation.h"

using engine::Extended;
using engine::Real48;

namespace {

engine::Region Make(Extended xStart, Extended xWidth, Extended yStart, Extended yHeight)
{
    engine::Region r;
    r.SetRegionBySize(xStart, xWidth, yStart, yHeight);
    return r;
}

// Every value below is exact in 6 bytes, so the expected fields are exact too.
const engine::Region kPixels = Make(0.0L, 1024.0L, 0.0L, 768.0L);

void ExpectRegion(const engine::Region& r, Extended xStart, Extended xWidth, Extended yStart, Extended yHeight,
                  const std::string& what)
{
    EXPECT_EQ(r.XStart.ToExtended(), xStart) << what;
    EXPECT_EQ(r.XWidth.ToExtended(), xWidth) << what;
    EXPECT_EQ(r.YStart.ToExtended(), yStart) << what;
    EXPECT_EQ(r.YHeight.ToExtended(), yHeight) << what;
}

} // namespace

TEST(NavigationSteps, CommandsMoveByHalfThePictureAndZoomByTwo)
{
    struct Case {
        const char* name;
        void (*step)(engine::Region&);
        Extended xStart, xWidth, yStart, yHeight;
    };
    const Case cases[] = {
        {"zoom in", view::ZoomIn, 256.0L, 512.0L, 192.0L, 384.0L},
        {"zoom out", view::ZoomOut, -512.0L, 2048.0L, -384.0L, 1536.0L},
        {"up", view::MoveUp, 0.0L, 1024.0L, -384.0L, 768.0L},
        {"down", view::MoveDown, 0.0L, 1024.0L, 384.0L, 768.0L},
        {"left", view::MoveLeft, -512.0L, 1024.0L, 0.0L, 768.0L},
        {"right", view::MoveRight, 512.0L, 1024.0L, 0.0L, 768.0L},
    };
    for (const Case& c : cases) {
        engine::Region r = kPixels;
        c.step(r);
        ExpectRegion(r, c.xStart, c.xWidth, c.yStart, c.yHeight, c.name);
    }
    // Zooming in then out comes back exactly.
    engine::Region r = Make(-2.0L, 4.0L, -1.5L, 3.0L);
    view::ZoomIn(r);
    view::ZoomOut(r);
    EXPECT_EQ(r, Make(-2.0L, 4.0L, -1.5L, 3.0L));
}

TEST(NavigationSteps, ZoomInReadsTheRoundedHalfWidthForTheNewStart)
{
    // 0.3 is not a 6-byte value: the new start must come from the stored half width.
    engine::Region r = Make(0.0L, 0.3L, 0.0L, 0.3L);
    const Extended stored = Real48::FromExtended(Real48::FromExtended(0.3L).ToExtended() * 0.5L).ToExtended();
    view::ZoomIn(r);
    EXPECT_EQ(r.XWidth.ToExtended(), stored);
    EXPECT_EQ(r.XStart.ToExtended(), Real48::FromExtended(stored * 0.5L).ToExtended());
}

TEST(NavigationSteps, AnOverflowKeepsTheFieldsStoredBeforeIt)
{
    // Zoom out stores both starts, then the doubled width overflows.
    engine::Region out = Make(10.0L, 1.5e38L, 20.0L, 1.0L);
    const engine::Region before = out;
    EXPECT_THROW(view::ZoomOut(out), engine::FloatingPointOverflow);
    EXPECT_NE(out.XStart, before.XStart);
    EXPECT_NE(out.YStart, before.YStart);
    EXPECT_EQ(out.XWidth, before.XWidth);
    EXPECT_EQ(out.YHeight, before.YHeight);

    // Zoom in stores the halved extents, then the new start overflows.
    engine::Region in = Make(1.6e38L, 1.6e38L, 0.0L, 2.0L);
    EXPECT_THROW(view::ZoomIn(in), engine::FloatingPointOverflow);
    EXPECT_EQ(in.XWidth, Real48::FromExtended(Real48::FromExtended(1.6e38L).ToExtended() * 0.5L));
    EXPECT_EQ(in.YHeight.ToExtended(), 1.0L);
    EXPECT_EQ(in.XStart.ToExtended(), Real48::FromExtended(1.6e38L).ToExtended());
}

TEST(NavigationSteps, RubberBandCutsThePictureToTheBand)
{
    struct Case {
        view::Band band;
        int width, height;
        Extended xStart, xWidth, yStart, yHeight;
    };
    const Case cases[] = {
        {{100, 50, 512, 384}, 1024, 768, 100.0L, 512.0L, 50.0L, 384.0L},
        // A picture stretched to twice its size: the band counts half as much.
        {{100, 50, 512, 384}, 2048, 1536, 50.0L, 256.0L, 25.0L, 192.0L},
        // Drawn up and to the left: negative extents are kept as they are.
        {{600, 400, -512, -256}, 1024, 768, 600.0L, -512.0L, 400.0L, -256.0L},
    };
    for (const Case& c : cases) {
        engine::Region r = kPixels;
        view::ZoomToBand(r, c.band, c.width, c.height);
        ExpectRegion(r, c.xStart, c.xWidth, c.yStart, c.yHeight, std::to_string(c.width));
    }
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 768}, {1024, 0}, {-1, 5}}) {
        engine::Region r = kPixels;
        EXPECT_THROW(view::ZoomToBand(r, {1, 1, 10, 10}, w, h), engine::FloatingPointOverflow);
        EXPECT_EQ(r, kPixels) << "nothing is stored for a picture with no area";
    }
}

TEST(NavigationSteps, TypedCornersAreReadInOrderAndStoredOneByOne)
{
    std::vector<std::string> read;
    auto reader = [&read](const char* name, Extended v) {
        return [&read, name, v] {
            read.push_back(name);
            return v;
        };
    };
    engine::Region r = kPixels;
    view::TypeRegion(r, {reader("x1", 0.1L), reader("x2", 2.0L), reader("y1", -1.0L), reader("y2", 1.0L)});
    EXPECT_EQ(read, (std::vector<std::string>{"x1", "y1", "x2", "y2"}));
    // The width comes from the stored (rounded) start, not from the text's value.
    EXPECT_EQ(r.XWidth, Real48::FromExtended(2.0L - Real48::FromExtended(0.1L).ToExtended()));
    EXPECT_EQ(r.YHeight.ToExtended(), 2.0L);

    // A bad second text: the first value stays stored, the rest as they were.
    engine::Region bad = kPixels;
    auto fails = [] () -> Extended { throw std::runtime_error("'x' is not a valid floating point value"); };
    EXPECT_THROW(view::TypeRegion(bad, {reader("x1", 5.0L), reader("x2", 6.0L), fails, reader("y2", 1.0L)}),
                 std::runtime_error);
    ExpectRegion(bad, 5.0L, 1024.0L, 0.0L, 768.0L, "after a bad y1");
}

TEST(NavigationSteps, ZoomAboutKeepsThePointUnderThePointer)
{
    struct Case {
        double x, y;
        Extended factor;
        Extended xStart, xWidth, yStart, yHeight;
    };
    const Case cases[] = {
        {256.0, 192.0, 2.0L, 128.0L, 512.0L, 96.0L, 384.0L},
        {0.0, 0.0, 4.0L, 0.0L, 256.0L, 0.0L, 192.0L},       // the corner stays the corner
        {512.0, 384.0, 0.5L, -512.0L, 2048.0L, -384.0L, 1536.0L}, // out about the centre
        {1024.0, 768.0, 1.0L, 0.0L, 1024.0L, 0.0L, 768.0L},  // factor 1: no change
    };
    for (const Case& c : cases) {
        const engine::Region r = view::ZoomAbout(kPixels, c.x, c.y, c.factor, 1024, 768);
        ExpectRegion(r, c.xStart, c.xWidth, c.yStart, c.yHeight, "factor " + std::to_string(double(c.factor)));
        // The point under the pointer maps to the same coordinate before and after.
        const Extended before = kPixels.XStart.ToExtended() + kPixels.XWidth.ToExtended() * (c.x / 1024.0);
        const Extended after = r.XStart.ToExtended() + r.XWidth.ToExtended() * (c.x / 1024.0);
        EXPECT_EQ(before, after);
    }
    const Extended inf = std::numeric_limits<Extended>::infinity();
    for (Extended bad : {0.0L, -2.0L, inf, std::numeric_limits<Extended>::quiet_NaN()})
        EXPECT_THROW(view::ZoomAbout(kPixels, 1, 1, bad, 1024, 768), std::invalid_argument);
    EXPECT_THROW(view::ZoomAbout(kPixels, 1, 1, 2.0L, 0, 768), engine::FloatingPointOverflow);
    EXPECT_THROW(view::ZoomAbout(Make(0.0L, 1e38L, 0.0L, 1.0L), 0, 0, 1e-3L, 1024, 768), engine::FloatingPointOverflow);
}

TEST(NavigationSteps, PanningFollowsTheHand)
{
    struct Case {
        int dx, dy, width, height;
        Extended xStart, yStart;
    };
    const Case cases[] = {
        {64, 0, 1024, 768, -64.0L, 0.0L},   // dragged right: what lay left comes in
        {0, -32, 1024, 768, 0.0L, 32.0L},   // dragged up: what lay below comes in
        {64, 48, 2048, 1536, -32.0L, -24.0L}, // a picture shown twice as large moves half as far
    };
    for (const Case& c : cases) {
        const engine::Region r = view::PanByPixels(kPixels, c.dx, c.dy, c.width, c.height);
        ExpectRegion(r, c.xStart, 1024.0L, c.yStart, 768.0L, std::to_string(c.dx) + "," + std::to_string(c.dy));
    }
    EXPECT_THROW(view::PanByPixels(kPixels, 1, 1, 1024, 0), engine::FloatingPointOverflow);
}

TEST(NavigationSteps, KeepShapeBandHasThePicturesShape)
{
    struct Case {
        int x, y;
        view::Band band;
    };
    // Anchor at 100, 100 in a 1024 x 768 picture (4:3).
    const Case cases[] = {
        {300, 120, {100, 100, 200, 150}}, // wide: the width decides
        {110, 400, {100, 100, 400, 300}}, // tall: the height decides
        {0, 0, {-33, 0, 133, 100}},       // up and left: grows towards the pointer, rounded
        {100, 100, {100, 100, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(view::KeepShapeBand(100, 100, c.x, c.y, 1024, 768), c.band) << c.x << "," << c.y;
    EXPECT_EQ(view::KeepShapeBand(5, 6, 50, 60, 0, 768), (view::Band{5, 6, 0, 0}));
    const view::Band far = view::KeepShapeBand(0, 0, 1, std::numeric_limits<int>::max(), 1 << 20, 1);
    EXPECT_EQ(far.width, std::numeric_limits<int>::max()) << "clamped, not wrapped";
}
