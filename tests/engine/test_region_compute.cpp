// The region setters, the cell mapping, row computation and the multi-threaded buffer.
#include <gtest/gtest.h>

#include <vector>

#include "engine/Compute.h"
#include "engine/Kernels.h"
#include "fractals/Catalogue.h"

using namespace engine;

TEST(Region, SetByCornersStoresStartAndExtent)
{
    Region r;
    r.SetRegionByCorners(-2, 1, -1, 1);
    const RegionValues v = r.Values();
    EXPECT_EQ(v.XStart, -2);
    EXPECT_EQ(v.XWidth, 3);
    EXPECT_EQ(v.YStart, -1);
    EXPECT_EQ(v.YHeight, 2);
    EXPECT_NEAR(static_cast<double>(CellX(v, 1023)), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(CellY(v, 767)), 1.0, 1e-15);
    EXPECT_EQ(CellX(v, 0), -2);
    EXPECT_EQ(CellY(v, 0), -1);
}

TEST(Region, DifferencesComeFromTheArgumentsNotTheStoredValues)
{
    // x1 is not representable in 40 bits; the width must be computed from
    // the extended argument, then narrowed.
    const Extended x1 = -0.7672010892L, x2 = -0.7619674784L;
    Region r;
    r.SetRegionByCorners(x1, x2, 0, 1);
    EXPECT_EQ(r.XWidth, Real48::FromExtended(x2 - x1));
    EXPECT_EQ(r.XStart, Real48::FromExtended(x1));
}

TEST(Region, OverflowKeepsTheFieldsStoredBefore)
{
    Region r;
    r.SetRegionBySize(1, 2, 3, 4);
    EXPECT_THROW(r.SetRegionBySize(5, 6, 1e39L, 8), FloatingPointOverflow);
    const RegionValues v = r.Values();
    EXPECT_EQ(v.XStart, 5);
    EXPECT_EQ(v.XWidth, 6);
    EXPECT_EQ(v.YStart, 3);
    EXPECT_EQ(v.YHeight, 4);
}

TEST(Region, CellMappingMultipliesByTheReciprocal)
{
    Region r;
    r.SetRegionBySize(-1.25L, 2.5L, -1.12L, 2.22L);
    const RegionValues v = r.Values();
    const Extended inv = 1.0L / 1023.0L;
    EXPECT_EQ(CellX(v, 517), ((517.0L * v.XWidth) * inv) + v.XStart);
    EXPECT_EQ(CellY(v, 300), ((300.0L * v.YHeight) * (1.0L / 767.0L)) + v.YStart);
}

TEST(Compute, RowEqualsPerPointEvaluationAndNegativeWidthMirrors)
{
    TJUSet s;
    s.JuliaConst = MakeTriple(-0.12L, 0.74L, 0);
    Region r;
    r.SetRegionBySize(-1.25L, 2.5L, -1.12L, 2.22L);
    std::vector<std::uint8_t> row(kBufferWidth);
    ComputeRow(r.Values(), s, CountJuliaSet, 384, row.data());
    for (int j = 0; j < kBufferWidth; j += 97) {
        TJUSet t;
        t.JuliaConst = s.JuliaConst;
        t.SetValues(kCalcParam, {CellX(r.Values(), j), CellY(r.Values(), 384), 0});
        EXPECT_EQ(row[j], CountJuliaSet(t) & 0xFF) << j;
    }
    Region m;
    m.SetRegionByCorners(1.25L, -1.25L, -1.12L, 1.10L);
    std::vector<std::uint8_t> mirrored(kBufferWidth);
    ComputeRow(m.Values(), s, CountJuliaSet, 384, mirrored.data());
    EXPECT_EQ(mirrored[0], row[1023]);
    EXPECT_EQ(mirrored[1023], row[0]);
}

TEST(Compute, ZeroWidthMapsEveryColumnToOnePoint)
{
    TTamo1Set s;
    Region r;
    r.SetRegionBySize(0.3L, 0, -1, 2);
    std::vector<std::uint8_t> row(kBufferWidth);
    ComputeRow(r.Values(), s, CountTamoSet, 100, row.data());
    for (int j = 1; j < kBufferWidth; ++j)
        ASSERT_EQ(row[j], row[0]);
}

TEST(Compute, MultiThreadedBufferEqualsSingleThreaded)
{
    // One view of each family; wide regions keep the orbits short so the
    // test stays quick while every row is still computed.
    struct Case {
        const char* id;
        Extended x1, x2, y1, y2;
    };
    const Case cases[] = {{"FormTamo2", -1.25L, 1.25L, -1.12L, 1.10L},
                          {"FormJU6", -4, 4, -3, 3},
                          {"Form1", -2.5L, 1, -1.2L, 1.2L},
                          {"FormRN1.SBAL2", 0, 32000, 0, 32000},
                          {"FormRN6.SBAL6", -30, 30, -30, 30}};
    for (const Case& c : cases) {
        const fractals::View* view = fractals::FindView(c.id);
        ASSERT_NE(view, nullptr) << c.id;
        auto set = fractals::MakePointSet(*view->window);
        Region region;
        region.SetRegionByCorners(c.x1, c.x2, c.y1, c.y2);
        std::vector<std::uint8_t> one(kBufferCells), many(kBufferCells);
        ComputeBuffer(region.Values(), *set, view->function, 1, one.data());
        ComputeBuffer(region.Values(), *set, view->function, 3, many.data());
        EXPECT_EQ(one, many) << c.id;
    }
}

TEST(Catalogue, SixtyViewsWithDistinctIds)
{
    const auto& views = fractals::Views();
    ASSERT_EQ(views.size(), 60u);
    EXPECT_EQ(fractals::Windows().size(), 24u);
    for (std::size_t i = 0; i < views.size(); ++i)
        for (std::size_t k = i + 1; k < views.size(); ++k)
            EXPECT_NE(views[i].id, views[k].id);
    EXPECT_NE(fractals::FindView("FormRN4.SBAL1"), nullptr);
    EXPECT_EQ(fractals::FindView("FormRN7"), nullptr);
}

TEST(Catalogue, OpeningRegionsAndOffsets)
{
    const auto* ju3 = fractals::FindWindow("FormJU3");
    const RegionValues v = ju3->region.Make().Values();
    EXPECT_EQ(v.XStart, Narrow(-1.25L));
    EXPECT_EQ(v.XWidth, Narrow(2.5L));
    EXPECT_EQ(v.YStart, Narrow(-1.12L));
    EXPECT_EQ(v.YHeight, Narrow(2.22L));
    EXPECT_EQ(ju3->colourOffset, 35);
    EXPECT_EQ(fractals::FindWindow("FormJU8")->colourOffset, 49);
    EXPECT_EQ(fractals::FindWindow("FormTamo4")->colourOffset, 112);
    const auto* rn4 = fractals::FindWindow("FormRN4");
    const RegionValues o = rn4->region.Make().Values();
    EXPECT_EQ(o.XStart, -23);
    EXPECT_EQ(o.XWidth, 46);
    const RegionValues b1 = rn4->types[0].region.Make().Values();
    EXPECT_EQ(b1.XStart, Narrow(-11.97L));
    EXPECT_EQ(b1.XWidth, Narrow(-6.0L - -11.97L));
    auto set = fractals::MakePointSet(*fractals::FindWindow("FormJU6"));
    auto* ju = dynamic_cast<TJUSet*>(set.get());
    ASSERT_NE(ju, nullptr);
    EXPECT_EQ(ju->JuliaConst.X, -0.7453L);
    EXPECT_EQ(ju->JuliaConst.Y, 0.11301L);
}
