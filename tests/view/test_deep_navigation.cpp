// Navigation past the 6-byte region: crossings into deep mode and back, the deep steps, typed corners, history.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "deep/Mpfr.h"
#include "fractals/Catalogue.h"
#include "view/DeepNavigation.h"
#include "view/Navigation.h"
#include "view/ViewModel.h"

namespace {

constexpr mpfr_prec_t kBits = 4096;

deep::Mpfr Value(const std::string& text)
{
    deep::Mpfr v(kBits);
    EXPECT_EQ(mpfr_set_str(v.get(), text.c_str(), 10, MPFR_RNDN), 0) << text;
    return v;
}

// (a - b) / scale as a double, with a, b, scale decimal texts.
double Off(const std::string& a, const std::string& b, const std::string& scale)
{
    deep::Mpfr d = Value(a);
    mpfr_sub(d.get(), d.get(), Value(b).get(), MPFR_RNDN);
    mpfr_div(d.get(), d.get(), Value(scale).get(), MPFR_RNDN);
    return mpfr_get_d(d.get(), MPFR_RNDN);
}

void ZoomInOnce(view::ViewModel& m) { m.Navigate([](engine::Region& r) { view::ZoomIn(r); }, view::DeepZoomIn); }
void ZoomOutOnce(view::ViewModel& m) { m.Navigate([](engine::Region& r) { view::ZoomOut(r); }, view::DeepZoomOut); }

// A deep region of width 10^-exponent about a point of the seahorse valley.
deep::DeepRegion Deep(int exponent)
{
    const std::string w = "1e-" + std::to_string(exponent);
    return {"-0.7499998682803159890062167812345678901234567890123", "0.001", w, "0.75e-" + std::to_string(exponent)};
}

} // namespace

TEST(DeepNavigation, ZoomingInKeepsTheSixByteStepsUntilTheyFailThenGoesDeepAndComesBack)
{
    view::PictureStore store;
    for (const char* instance : {"Form1", "FormJU3"}) {
        SCOPED_TRACE(instance);
        view::ViewModel m(store);
        m.Open(*fractals::FindWindow(instance));
        engine::Region plain = m.Region();
        int shallowSteps = 0;
        while (!m.Deep()) {
            const engine::Region before = m.Region();
            ZoomInOnce(m);
            if (m.Deep()) {
                engine::Region sixByte = before;
                view::ZoomIn(sixByte);
                EXPECT_FALSE(view::SixByteHolds(sixByte)) << "deep only where the 6-byte step fails";
                // The deep view continues from the exact picture shown, one zoom further.
                const deep::DeepRegion d = view::ToDeep(before);
                EXPECT_EQ(*m.Deep(), view::DeepZoomIn(d));
                EXPECT_EQ(m.Region(), *view::NearestSixByte(*m.Deep())) << "the 6-byte neighbour of the view";
                break;
            }
            view::ZoomIn(plain);
            ASSERT_EQ(m.Region(), plain) << "6-byte arithmetic as always, step " << shallowSteps;
            ASSERT_TRUE(view::SixByteHolds(m.Region()));
            ASSERT_LT(++shallowSteps, 100);
        }
        EXPECT_GT(shallowSteps, 10);
        const deep::DeepRegion first = *m.Deep();
        for (int i = 0; i < 1000; ++i)
            ZoomInOnce(m);
        ASSERT_TRUE(m.Deep());
        // 1001 halvings: the width is first's / 2^1000, the centre unchanged.
        EXPECT_EQ(m.Deep()->centerX, first.centerX);
        EXPECT_EQ(m.Deep()->centerY, first.centerY);
        deep::Mpfr ratio = Value(first.width);
        mpfr_div(ratio.get(), ratio.get(), Value(m.Deep()->width).get(), MPFR_RNDN);
        mpfr_div_2ui(ratio.get(), ratio.get(), 1000, MPFR_RNDN);
        EXPECT_NEAR(mpfr_get_d(ratio.get(), MPFR_RNDN), 1.0, 1e-15);
        for (int i = 0; i < 1000; ++i)
            ZoomOutOnce(m);
        EXPECT_EQ(*m.Deep(), first);
        ZoomOutOnce(m);
        EXPECT_FALSE(m.Deep()) << "back in the 6-byte region once it holds the picture";
        EXPECT_TRUE(view::SixByteHolds(m.Region()));
        EXPECT_EQ(m.Region().XWidth, plain.XWidth);
        EXPECT_EQ(m.Region().YHeight, plain.YHeight);
    }
}

TEST(DeepNavigation, WindowsTheDeepEngineDoesNotDrawKeepTheirSixByteSteps)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("FormRN4"));
    EXPECT_FALSE(m.GoesDeep());
    engine::Region plain = m.Region();
    for (int i = 0; i < 60; ++i) {
        ZoomInOnce(m);
        view::ZoomIn(plain);
        ASSERT_EQ(m.Region(), plain) << i;
        ASSERT_FALSE(m.Deep());
    }
}

TEST(DeepNavigation, DeepStepsMoveByTheirFractionOfTheExtents)
{
    const deep::DeepRegion d = Deep(200);
    struct Case {
        const char* name;
        deep::DeepRegion out;
        double dx, dy;      // centre shift in extents
        double scaleW, scaleH; // new extent / old extent
    };
    const Case cases[] = {
        {"zoom in", view::DeepZoomIn(d), 0, 0, 0.5, 0.5},
        {"zoom out", view::DeepZoomOut(d), 0, 0, 2, 2},
        {"up lowers y", view::DeepMove(d, 0, -1), 0, -0.5, 1, 1},
        {"down", view::DeepMove(d, 0, 1), 0, 0.5, 1, 1},
        {"left", view::DeepMove(d, -1, 0), -0.5, 0, 1, 1},
        {"right", view::DeepMove(d, 1, 0), 0.5, 0, 1, 1},
        {"band: whole picture", view::DeepZoomToBand(d, {0, 0, 1024, 768}, 1024, 768), 0, 0, 1, 1},
        {"band: top left quarter", view::DeepZoomToBand(d, {0, 0, 512, 384}, 1024, 768), -0.25, -0.25, 0.5, 0.5},
        {"band drawn up and left", view::DeepZoomToBand(d, {512, 384, -512, -384}, 1024, 768), -0.25, -0.25, 0.5,
         0.5},
        {"about the middle", view::DeepZoomAbout(d, 512, 384, 2.0L, 1024, 768), 0, 0, 0.5, 0.5},
        {"about the left edge", view::DeepZoomAbout(d, 0, 384, 4.0L, 1024, 768), -0.375, 0, 0.25, 0.25},
        {"drag right by a quarter", view::DeepPanByPixels(d, 256, 0, 1024, 768), -0.25, 0, 1, 1},
        {"drag up by half", view::DeepPanByPixels(d, 0, -384, 1024, 768), 0, 0.5, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(Off(c.out.centerX, d.centerX, d.width), c.dx, 1e-15);
        EXPECT_NEAR(Off(c.out.centerY, d.centerY, d.height), c.dy, 1e-15);
        EXPECT_NEAR(Off(c.out.width, "0", d.width), c.scaleW, 1e-15);
        EXPECT_NEAR(Off(c.out.height, "0", d.height), c.scaleH, 1e-15);
    }
    EXPECT_THROW(view::DeepZoomToBand(d, {0, 0, 0, 10}, 1024, 768), deep::RegionError);
    EXPECT_THROW(view::DeepZoomAbout(d, 1, 1, 0.0L, 1024, 768), deep::RegionError);
    // Past the extended exponent's reach the command fails and nothing changes.
    EXPECT_THROW(view::DeepZoomIn(Deep(4805)), deep::RegionError);
}

TEST(DeepNavigation, CornersShowEnoughDigitsToTypeTheViewBack)
{
    for (int exponent : {20, 100, 300}) {
        SCOPED_TRACE(exponent);
        const deep::DeepRegion d = Deep(exponent);
        const view::DeepCorners c = view::CornersOf(d);
        EXPECT_GT(c.x1.size(), static_cast<std::size_t>(exponent)) << c.x1;
        const deep::DeepRegion back = view::FromCorners(c);
        // Within a millionth of a pixel of 1024 x 768.
        EXPECT_NEAR(Off(back.centerX, d.centerX, d.width), 0.0, 1e-9);
        EXPECT_NEAR(Off(back.centerY, d.centerY, d.height), 0.0, 1e-9);
        EXPECT_NEAR(Off(back.width, d.width, d.width), 0.0, 1e-9);
        EXPECT_NEAR(Off(back.height, d.height, d.height), 0.0, 1e-9);
    }
    EXPECT_THROW(view::FromCorners({"1", "2", "1,5", "2"}), deep::RegionError);
    EXPECT_THROW(view::FromCorners({"2", "1", "1", "2"}), deep::RegionError);
}

TEST(DeepNavigation, HistoryDocumentAndHomeCarryTheDeepRegion)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("Form1"));
    m.CalculationStarts();
    m.SetDeep(Deep(100));
    ASSERT_TRUE(m.Deep());
    EXPECT_EQ(m.Document().deepRegion, Deep(100));
    m.CalculationStarts();
    ZoomInOnce(m);
    m.CalculationStarts();
    ASSERT_EQ(m.History().Size(), 3u);
    m.Step(-1);
    EXPECT_EQ(m.Deep(), Deep(100));
    m.Step(-1);
    EXPECT_FALSE(m.Deep());
    m.Step(1);
    m.Step(1);
    EXPECT_EQ(m.Deep(), view::DeepZoomIn(Deep(100)));
    // A deep region wide enough for 6 bytes is shown as a 6-byte one.
    m.SetDeep({"-0.5", "0", "3", "2.25"});
    EXPECT_FALSE(m.Deep());
    EXPECT_EQ(m.Region().Values().XStart, -2.0L);
    // Mirrored 6-byte regions (typed right edge left of the left one) stay 6-byte ones.
    engine::Region mirrored;
    mirrored.SetRegionBySize(101.5L, -11.5L, 99.0L, 6.0L);
    EXPECT_TRUE(view::SixByteHolds(mirrored));
    m.SetDeep(Deep(100));
    m.Home();
    EXPECT_FALSE(m.Deep());
}

TEST(DeepNavigation, LimitShareCountsCellsAtTheLimitWhereTheyTellIt)
{
    std::vector<std::uint8_t> cells(1000, 7);
    std::fill(cells.begin(), cells.begin() + 250, std::uint8_t{200});
    struct Case {
        int limit;
        std::optional<double> share;
    };
    for (const Case& c : {Case{200, 0.25}, Case{7, 0.75}, Case{100, 0.0}, Case{256, std::nullopt},
                          Case{8000, std::nullopt}, Case{-1, std::nullopt}}) {
        SCOPED_TRACE(c.limit);
        EXPECT_EQ(view::LimitShare(cells, c.limit), c.share);
    }
    EXPECT_EQ(view::LimitShare({}, 200), std::nullopt);
}

TEST(DeepNavigation, AStepPastTheEnginesReachLeavesTheViewAsItWas)
{
    view::PictureStore store;
    view::ViewModel m(store);
    m.Open(*fractals::FindWindow("Form1"));
    m.SetDeep(Deep(4790));
    const engine::Region region = m.Region();
    bool refused = false;
    for (int i = 0; i < 60 && !refused; ++i) {
        const deep::DeepRegion before = *m.Deep();
        try {
            ZoomInOnce(m);
        } catch (const deep::RegionError&) {
            refused = true;
            EXPECT_EQ(*m.Deep(), before);
        }
    }
    EXPECT_TRUE(refused);
    EXPECT_EQ(m.Region(), region) << "far below the 6-byte range, the region keeps its last neighbour";
}

TEST(DeepNavigation, ExtentsShownAndTypedKeepTheDecimalsWhole)
{
    // Shown as kept; only the square pixels' height is written out, to the pixel and beyond.
    const deep::DeepRegion explicitHeight = Deep(100);
    EXPECT_EQ(view::ExtentsOf(explicitHeight), explicitHeight);
    const deep::DeepRegion square{"0.25", "-0.5", "3e-60", ""};
    const deep::DeepRegion shown = view::ExtentsOf(square);
    EXPECT_EQ(shown.width, "3e-60");
    EXPECT_NEAR(Off(shown.height, "2.249266862170087976539589442815249266862170087976539589e-60", "3e-60"), 0.0, 1e-15);
    EXPECT_EQ(view::FromExtents(square), square) << "typed back as it was";

    const std::string long400 = "-0.74999986828031598900621678" + std::string(400, '7');
    const deep::DeepRegion typed{long400, "0.001", "1e-400", ""};
    EXPECT_EQ(view::FromExtents(typed), typed) << "digits of any length are kept";

    const deep::DeepRegion refused[] = {
        {"0.5x", "0", "1e-20", ""}, {"0", "0", "0", ""},       {"0", "0", "-1e-20", ""},
        {"0", "0", "1e-20", "0"},   {"0", "0", "1e-20", "a"}, {"0", "0", "1e-5000", ""},
    };
    for (const deep::DeepRegion& r : refused)
        EXPECT_THROW(view::FromExtents(r), deep::RegionError) << r.centerX << " " << r.width << " " << r.height;
}
