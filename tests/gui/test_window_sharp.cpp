// View ▸ Sharp Picture: off by default, then the view's own size computed exactly after each picture, recoloured without a new computation.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QSlider>

#include "window/FormJU.h"
#include "window/PictureView.h"
#include "window/SharpPicture.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

// Resizes the window until its picture view has exactly `size` pixels.
bool GiveViewSize(TFormBasicTamoSet& w, QSize size)
{
    for (int i = 0; i < 5 && w.PB->size() != size; ++i) {
        w.resize(w.size() + (size - w.PB->size()));
        Pump(30);
    }
    return w.PB->size() == size;
}

bool WaitForSharp(TFormBasicTamoSet& w)
{
    return WaitUntil([&] { return !w.IsCalculating() && w.PB->ShowsSharpPicture(); });
}

} // namespace

TEST(SharpPicture, OffByDefaultThenExactAtTheViewsSizeAndRecolouredWithoutANewComputation)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.6L, 3.2L, -1.2L, 2.4L);
    auto* sharp = w.findChild<window::SharpPicture*>();
    ASSERT_NE(sharp, nullptr);
    QAction* item = sharp->MMSharpPicture;
    EXPECT_EQ(item->text(), "Sharp Picture");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked()) << "the window looks as specified until asked";
    // After the View menu's original items.
    const QList<QAction*> view = w.MMView->actions();
    EXPECT_LT(view.indexOf(w.MMFull), view.indexOf(item));

    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(GiveViewSize(w, QSize(1024, 768)));
    ASSERT_TRUE(WaitForCalculation(w));
    Pump(200);
    EXPECT_TRUE(w.PB->SharpPicture().isNull());

    // At 1024 x 768 the sharp grid is the picture's: the same values, the same pixels.
    item->trigger();
    ASSERT_TRUE(WaitForSharp(w));
    EXPECT_EQ(Rgb32(w.PB->SharpPicture()), Rgb32(w.PB->Picture()));

    // Another size: computed anew; its corners are the picture's corners.
    ASSERT_TRUE(GiveViewSize(w, QSize(700, 510)));
    ASSERT_TRUE(WaitForSharp(w));
    const QImage small = Rgb32(w.PB->SharpPicture());
    ASSERT_EQ(small.size(), QSize(700, 510));
    const QImage picture = Rgb32(w.PB->Picture());
    EXPECT_EQ(small.pixel(0, 0), picture.pixel(0, 0));
    EXPECT_EQ(small.pixel(699, 0), picture.pixel(1023, 0));
    EXPECT_EQ(small.pixel(0, 509), picture.pixel(0, 767));
    EXPECT_EQ(small.pixel(699, 509), picture.pixel(1023, 767));
    EXPECT_EQ(w.ShownPicture().size(), QSize(1024, 768)) << "saving and exports keep the 1024 x 768 picture";

    // New colours reach the sharp picture at once, from its kept values.
    QSignalSpy shown(sharp, &window::SharpPicture::Shown);
    w.TB1->setValue(37);
    EXPECT_FALSE(sharp->Busy()) << "nothing computed again";
    ASSERT_EQ(shown.count(), 1);
    const QImage recoloured = Rgb32(w.PB->SharpPicture());
    EXPECT_NE(recoloured, small);
    EXPECT_EQ(recoloured.pixel(699, 509), Rgb32(w.PB->Picture()).pixel(1023, 767));

    // A new view drops it while its rows come, and brings it back after.
    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    Pump(120);
    if (w.IsCalculating()) {
        EXPECT_FALSE(w.PB->ShowsSharpPicture());
    }
    ASSERT_TRUE(WaitForSharp(w));
    EXPECT_EQ(Rgb32(w.PB->SharpPicture()).pixel(0, 0), Rgb32(w.PB->Picture()).pixel(0, 0));

    // Off again: the stretched picture, and no sharp one kept.
    item->trigger();
    EXPECT_FALSE(w.PB->ShowsSharpPicture());
    EXPECT_TRUE(w.PB->SharpPicture().isNull());
}

TEST(SharpPicture, TheValuesOfAnyGridShareTheCornersOfThePicture)
{
    const fractals::View* view = fractals::FindView("FormJU3");
    ASSERT_NE(view, nullptr);
    const auto set = fractals::MakePointSet(*view->window);
    const engine::Region region = view->region.Make();
    const std::vector<std::uint8_t> full = ReferenceBuffer("FormJU3");
    for (QSize size : {QSize(1024, 768), QSize(2, 2), QSize(333, 1000)}) {
        const std::vector<std::uint8_t> v = window::SharpValues(region.Values(), *set, view->function, size);
        ASSERT_EQ(v.size(), static_cast<std::size_t>(size.width() * size.height()));
        const std::size_t w = static_cast<std::size_t>(size.width());
        EXPECT_EQ(v.front(), full.front());
        EXPECT_EQ(v[w - 1], full[1023]);
        EXPECT_EQ(v.back(), full.back());
        if (size == QSize(1024, 768)) {
            EXPECT_EQ(v, full);
        }
    }
    std::atomic<bool> cancelled{true};
    EXPECT_TRUE(window::SharpValues(region.Values(), *set, view->function, QSize(64, 48), &cancelled).empty());
}
