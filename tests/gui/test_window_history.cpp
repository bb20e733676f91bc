// Back and Forward in a fractal window, and the bounds of the kept pictures.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "window/FormJU.h"
#include "view/History.h"
#include "window/PictureView.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"
#include "WindowTestSupport.h"

using namespace guitest;

namespace {

QString Label(engine::Extended v)
{
    return QString::fromStdString(window::FormatRegionNumber(v, window::SystemDecimalSeparator()));
}

bool SameRegion(const engine::Region& a, const engine::Region& b)
{
    return a.XStart.Bytes() == b.XStart.Bytes() && a.XWidth.Bytes() == b.XWidth.Bytes() &&
           a.YStart.Bytes() == b.YStart.Bytes() && a.YHeight.Bytes() == b.YHeight.Bytes();
}

} // namespace

TEST(History, BackShowsKeptPicturesAtOnceAndANewViewDropsForward)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_FALSE(w.MMBack->isEnabled()) << "nothing to go back to";
    EXPECT_FALSE(w.MMForward->isEnabled());
    const engine::Region region0 = w.ViewRegion;
    const std::vector<std::uint8_t> buffer0 = w.IterBuffer.Snapshot();
    const QImage picture0 = Rgb32(w.PB->Picture());

    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_FALSE(w.MMBack->isEnabled()) << "disabled while a calculation runs";
    ASSERT_TRUE(WaitForCalculation(w));
    const engine::Region region1 = w.ViewRegion;
    const std::vector<std::uint8_t> buffer1 = w.IterBuffer.Snapshot();
    ASSERT_NE(buffer1, buffer0) << "the zoom must show another picture for the test to mean anything";
    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    ASSERT_TRUE(w.MMBack->isEnabled());

    w.MMBack->trigger();
    EXPECT_FALSE(w.IsCalculating()) << "a kept picture is shown without a calculation";
    EXPECT_TRUE(SameRegion(w.ViewRegion, region1));
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer1);
    QTest::keyClick(&w, Qt::Key_Left, Qt::AltModifier); // the second Back through its shortcut
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(SameRegion(w.ViewRegion, region0));
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer0);
    EXPECT_EQ(Rgb32(w.PB->Picture()), picture0);
    const engine::RegionValues r0 = region0.Values();
    EXPECT_EQ(w.LabX1->text(), Label(r0.XStart));
    EXPECT_EQ(w.LabY2->text(), Label(r0.YStart + r0.YHeight));
    EXPECT_FALSE(w.MMBack->isEnabled()) << "the opening view is the first";
    EXPECT_TRUE(w.MMForward->isEnabled());

    // The mouse's forward button on the window goes forward once.
    QTest::mouseClick(&w, Qt::ForwardButton);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(SameRegion(w.ViewRegion, region1));
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer1);
    const engine::RegionValues r1 = region1.Values();
    EXPECT_EQ(w.LabX2->text(), Label(r1.XStart + r1.XWidth));
    EXPECT_TRUE(w.MMForward->isEnabled()) << "the second zoom is still ahead";

    // A new calculation after Back drops what was ahead.
    QTest::mouseClick(w.BitBtnUp, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_FALSE(w.MMForward->isEnabled());
    EXPECT_EQ(w.History.Size(), 3u);
    w.MMBack->trigger();
    EXPECT_TRUE(SameRegion(w.ViewRegion, region1));
}

TEST(History, ADroppedPictureIsCalculatedAgainToTheSameBytes)
{
    TFormJU4 w;
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const std::vector<std::uint8_t> buffer0 = w.IterBuffer.Snapshot();
    w.MMZoomIn->trigger();
    ASSERT_TRUE(WaitForCalculation(w));
    // Other pictures fill the process-wide budget until the opening one goes.
    view::PictureStore& store = view::PictureStore::Instance();
    std::vector<std::uint64_t> others;
    for (std::size_t k = 0; k <= view::PictureStore::kBudgetBytes / engine::kBufferCells; ++k)
        others.push_back(store.Keep(std::vector<std::uint8_t>(engine::kBufferCells, 1)));
    EXPECT_LE(store.BytesKept(), view::PictureStore::kBudgetBytes);
    w.MMBack->trigger();
    EXPECT_TRUE(w.IsCalculating()) << "a dropped picture is calculated again";
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), buffer0);
    EXPECT_EQ(w.History.Size(), 2u) << "recalculating a view does not record it again";
    EXPECT_TRUE(w.MMForward->isEnabled());
    for (std::uint64_t key : others)
        store.Drop(key);
}
