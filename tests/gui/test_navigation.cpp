// Navigation in a fractal window: move and zoom commands, overflow, the rubber band, the Position box, keys.
#include <gtest/gtest.h>

#include <cmath>

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "window/FormJU.h"
#include "window/ErrorReport.h"
#include "window/PictureView.h"
#include "window/PositionParse.h"
#include "window/RegionFormat.h"
#include "WindowTestSupport.h"
#include "ScriptedDialogs.h"

using namespace guitest;
using engine::Extended;
using engine::Narrow;

namespace {

// Collects what the application's error handler would show.
struct MessageLog {
    std::vector<QString> messages;
    MessageLog()
    {
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m); };
    }
    ~MessageLog() { testseam::Dialogs().error = nullptr; }
};

// A window whose calculations end quickly: a region where every point
// escapes at once. Its timer has the tests' short interval (main.cpp); a
// still shorter one would keep the interface thread painting copies of the
// picture and starve the worker's per-row meeting with it (forty times slower
// under ThreadSanitizer at 10 ms).
void MakeQuick(TFormBasicTamoSet& w)
{
    w.SetRegionBySize(100.1L, 7.3L, 99.7L, 5.9L);
}

bool OpenAndSettle(TFormBasicTamoSet& w) { return OpenWindow(w) && WaitForCalculation(w); }

// Equal up to the 6-byte rounding of values of this magnitude.
::testing::AssertionResult Near48(Extended a, Extended b, Extended scale)
{
    const Extended tol = std::fabs(scale) * 0x1p-37L;
    if (std::fabs(a - b) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << static_cast<double>(a) << " vs " << static_cast<double>(b);
}

QString Label(Extended v)
{
    return QString::fromStdString(window::FormatRegionNumber(v, window::SystemDecimalSeparator()));
}

std::vector<QFrame*> Bevels(TFormBasicTamoSet& w) { return {w.Bevel0, w.Bevel1, w.Bevel2, w.Bevel3}; }

} // namespace

TEST(Navigation, ZoomAndMoveCommandsKeepTheCentreAndUndoEachOther)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    const engine::RegionValues r0 = w.ViewRegion.Values();

    QTest::mouseClick(w.BitBtnZIN, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating()) << "a command starts a calculation";
    engine::RegionValues r = w.ViewRegion.Values();
    EXPECT_EQ(r.XWidth, r0.XWidth / 2);
    EXPECT_EQ(r.YHeight, r0.YHeight / 2);
    EXPECT_TRUE(Near48(r.XStart + r.XWidth / 2, r0.XStart + r0.XWidth / 2, r0.XStart)) << "the centre stays";
    EXPECT_TRUE(Near48(r.YStart + r.YHeight / 2, r0.YStart + r0.YHeight / 2, r0.YStart));
    EXPECT_EQ(w.LabX1->text(), Label(r.XStart));
    EXPECT_EQ(w.LabY2->text(), Label(r.YStart + r.YHeight));
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer(w.ViewRegion, *w.CurrentPointSet(), w.ValueFunction));

    w.MMZoomOut->trigger(); // the menu item runs the same command
    ASSERT_TRUE(WaitForCalculation(w));
    r = w.ViewRegion.Values();
    EXPECT_TRUE(Near48(r.XStart, r0.XStart, r0.XStart));
    EXPECT_TRUE(Near48(r.YStart, r0.YStart, r0.YStart));
    EXPECT_EQ(r.XWidth, r0.XWidth);
    EXPECT_EQ(r.YHeight, r0.YHeight);

    const engine::RegionValues r1 = w.ViewRegion.Values();
    QTest::mouseClick(w.BitBtnUp, Qt::LeftButton);
    r = w.ViewRegion.Values();
    EXPECT_TRUE(Near48(r.YStart, r1.YStart - r1.YHeight / 2, r1.YStart)) << "up shows what was above: y lower";
    EXPECT_EQ(r.XStart, r1.XStart);
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::mouseClick(w.BitBtnDown, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::mouseClick(w.BitBtnLeft, Qt::LeftButton);
    r = w.ViewRegion.Values();
    EXPECT_TRUE(Near48(r.XStart, r1.XStart - r1.XWidth / 2, r1.XStart));
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::mouseClick(w.BitBtnRight, Qt::LeftButton);
    ASSERT_TRUE(WaitForCalculation(w));
    r = w.ViewRegion.Values();
    EXPECT_TRUE(Near48(r.XStart, r1.XStart, r1.XStart));
    EXPECT_TRUE(Near48(r.YStart, r1.YStart, r1.YStart));
    EXPECT_EQ(r.XWidth, r1.XWidth);
    EXPECT_EQ(r.YHeight, r1.YHeight);
}

TEST(Navigation, OverflowReachesTheErrorHandlerKeepsTheStoredFieldsAndStartsNothing)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    const QString shownX1 = w.LabX1->text();
    MessageLog log;

    // Zoom out: both starts are stored, then the doubled width overflows.
    w.SetRegionBySize(0.0L, 1e38L, 0.0L, 1.0L);
    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_EQ(log.messages, std::vector<QString>{"Floating point overflow"});
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(), Narrow(-5e37L));
    EXPECT_EQ(w.ViewRegion.YStart.ToExtended(), -0.5L);
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(1e38L));
    EXPECT_EQ(w.ViewRegion.YHeight.ToExtended(), 1.0L);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(w.BitBtnZOUT->isEnabled());
    EXPECT_EQ(w.LabX1->text(), shownX1);

    // Zoom in: the halved extents are stored, then the new start overflows.
    w.SetRegionBySize(1.5e38L, 1e38L, 0.0L, 1.0L);
    w.MMZoomIn->trigger();
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[1], "Floating point overflow");
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(5e37L));
    EXPECT_EQ(w.ViewRegion.YHeight.ToExtended(), 0.5L);
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(), Narrow(1.5e38L));
    EXPECT_EQ(w.ViewRegion.YStart.ToExtended(), 0.0L);
    EXPECT_FALSE(w.IsCalculating());

    // Right, from the keyboard.
    w.SetRegionBySize(1.5e38L, 1e38L, 0.0L, 1.0L);
    w.PB->setFocus();
    QTest::keyClick(w.PB, Qt::Key_Right);
    ASSERT_EQ(log.messages.size(), 3u);
    EXPECT_EQ(log.messages[2], "Floating point overflow");
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(), Narrow(1.5e38L));
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_EQ(w.LabX1->text(), shownX1);
}

TEST(Navigation, RubberBandOverThePictureZoomsWithTheConversionConstants)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));

    // PB fills the View box at 2, 15, as the conversion assumes.
    EXPECT_EQ(w.PB->geometry(), QRect(2, 15, w.GroupBox1->width() - 4, w.GroupBox1->height() - 17));
    const int W = w.PB->width();
    const int H = w.PB->height();
    ASSERT_GT(W, 100);
    ASSERT_GT(H, 100);

    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    EXPECT_TRUE(w.Selecting);
    EXPECT_FALSE(w.SelectionDone);
    EXPECT_EQ(w.AnchorX, 3);
    EXPECT_EQ(w.AnchorY, 16);
    for (QFrame* b : Bevels(w)) {
        EXPECT_TRUE(b->isHidden()) << "nothing shown before the mouse moves";
        EXPECT_EQ(b->frameShadow(), QFrame::Sunken);
    }

    // A small move: the rectangle follows but stays hidden.
    QTest::mouseMove(w.PB, QPoint(12, 12));
    EXPECT_EQ(w.SelRight, 10);
    EXPECT_TRUE(w.Bevel0->isHidden()) << "not larger than 8 inside its margins";

    QTest::mouseMove(w.PB, QPoint(W - 1, H - 1));
    EXPECT_EQ(w.SelLeft, 7);
    EXPECT_EQ(w.SelTop, 20);
    EXPECT_EQ(w.SelRight, W + 1 - 4);
    EXPECT_EQ(w.SelBottom, H + 14 - 4);
    for (QFrame* b : Bevels(w))
        EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(w.Bevel0->geometry(), QRect(7, 20, w.Bevel0->width(), H + 14 - 4 - 20));
    EXPECT_EQ(w.Bevel1->geometry(), QRect(7, 20, W - 3 - 7 + 3, w.Bevel1->height()));
    EXPECT_EQ(w.Bevel2->pos(), QPoint(W - 3, 20));
    EXPECT_EQ(w.Bevel3->pos(), QPoint(7, H + 10));

    // On the frame's own left line the mouse still reaches the picture.
    const QPoint onLeftLine = w.PB->mapFrom(w.GroupBox1, w.Bevel0->geometry().center());
    QTest::mouseMove(w.PB, onLeftLine);
    EXPECT_EQ(w.SelRight, onLeftLine.x() + 2 - 4);
    QTest::mouseMove(w.PB, QPoint(W - 1, H - 1));
    EXPECT_EQ(w.SelRight, W + 1 - 4);

    // The closing click's own position does not count.
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(W / 2, H / 2));
    EXPECT_FALSE(w.Selecting);
    EXPECT_TRUE(w.SelectionDone);
    EXPECT_EQ(w.SelRight, W - 3);
    for (QFrame* b : Bevels(w))
        EXPECT_EQ(b->frameShadow(), QFrame::Raised);
    ASSERT_TRUE(w.SBZoom->isVisible());
    ASSERT_TRUE(w.SBCancel->isVisible());
    const int cancelLeft = w.Bevel3->x() + w.Bevel3->width() - 25 - w.Bevel2->width();
    EXPECT_EQ(w.SBCancel->geometry(), QRect(cancelLeft, H + 10 - 25, 25, 25));
    EXPECT_EQ(w.SBZoom->geometry(), QRect(cancelLeft - 25, H + 10 - 25, 25, 25));

    const engine::RegionValues r0 = w.ViewRegion.Values();
    QTest::mouseClick(w.SBZoom, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    const Extended xStart = Narrow(r0.XStart + r0.XWidth * (static_cast<Extended>(7 - 8) / W));
    const Extended yStart = Narrow(r0.YStart + r0.YHeight * (static_cast<Extended>(20 - 16) / H));
    const Extended xWidth = Narrow(r0.XWidth * (static_cast<Extended>(W - 3 - 7) / W));
    const Extended yHeight = Narrow(r0.YHeight * (static_cast<Extended>(H + 10 - 20) / H));
    const engine::RegionValues r = w.ViewRegion.Values();
    EXPECT_EQ(r.XStart, xStart);
    EXPECT_EQ(r.YStart, yStart);
    EXPECT_EQ(r.XWidth, xWidth);
    EXPECT_EQ(r.YHeight, yHeight);
    // Almost the same region, shifted a pixel left and four down.
    EXPECT_LT(r.XStart, r0.XStart);
    EXPECT_GT(r.YStart, r0.YStart);
    EXPECT_NEAR(static_cast<double>(r.XWidth / r0.XWidth), 1.0, 0.05);

    // The new calculation ended the selection.
    EXPECT_FALSE(w.Selecting);
    EXPECT_FALSE(w.SelectionDone);
    EXPECT_TRUE(w.SBZoom->isHidden());
    for (QFrame* b : Bevels(w))
        EXPECT_TRUE(b->isHidden());
    ASSERT_TRUE(WaitForCalculation(w));
}

TEST(Navigation, ClicksDuringACalculationAreIgnoredAndTheRightButtonCancels)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));

    // A selection, made and cancelled with the right button.
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(w.PB, QPoint(80, 60));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(80, 60));
    ASSERT_TRUE(w.SelectionDone);
    ASSERT_TRUE(w.SBCancel->isVisible());
    QTest::mousePress(w.PB, Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_FALSE(w.SelectionDone);
    EXPECT_FALSE(w.Selecting);
    EXPECT_TRUE(w.SBZoom->isHidden());
    EXPECT_TRUE(w.SBCancel->isHidden());
    for (QFrame* b : Bevels(w))
        EXPECT_TRUE(b->isHidden());

    // The right button also cancels while selecting; SBCancel after a selection.
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(w.PB, QPoint(80, 60));
    QTest::mousePress(w.PB, Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
    EXPECT_FALSE(w.Selecting);
    EXPECT_TRUE(w.Bevel0->isHidden());
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(w.PB, QPoint(80, 60));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(80, 60));
    const engine::Region before = w.ViewRegion;
    QTest::mouseClick(w.SBCancel, Qt::LeftButton);
    EXPECT_FALSE(w.SelectionDone);
    EXPECT_TRUE(w.Bevel2->isHidden());
    EXPECT_EQ(w.ViewRegion, before);
    EXPECT_FALSE(w.IsCalculating());

    // A selection in progress when a calculation starts is dropped, and the
    // picture ignores every button until it ends.
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(w.PB, QPoint(80, 60));
    ASSERT_TRUE(w.Selecting);
    QTest::mouseClick(w.BitBtnDown, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_FALSE(w.Selecting);
    EXPECT_TRUE(w.Bevel0->isHidden());
    const int anchorX = w.AnchorX;
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QTest::mouseMove(w.PB, QPoint(120, 90));
    EXPECT_FALSE(w.Selecting);
    EXPECT_EQ(w.AnchorX, anchorX);
    EXPECT_TRUE(w.Bevel0->isHidden());
    ASSERT_TRUE(w.IsCalculating()) << "the clicks above were made during the calculation";
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_TRUE(w.Selecting) << "after it the picture reacts again";
}

TEST(Navigation, ASelectionMadeBeforeALayoutChangeUsesThePicturesNewSize)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QTest::mouseMove(w.PB, QPoint(220, 180));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(220, 180));
    const int before = w.PB->width();
    w.MMControl->trigger();
    ASSERT_TRUE(WaitUntil([&] { return w.PB->width() > before; }, 5000));
    const int W = w.PB->width();
    const int H = w.PB->height();
    const engine::RegionValues r0 = w.ViewRegion.Values();
    ASSERT_TRUE(w.SBZoom->isVisible());
    QTest::mouseClick(w.SBZoom, Qt::LeftButton);
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(),
              Narrow(r0.XStart + r0.XWidth * (static_cast<Extended>(w.SelLeft - 8) / W)));
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(r0.XWidth * (static_cast<Extended>(200 - 8) / W)));
    EXPECT_EQ(w.ViewRegion.YHeight.ToExtended(), Narrow(r0.YHeight * (static_cast<Extended>(150 - 8) / H)));
    ASSERT_TRUE(WaitForCalculation(w));
}

TEST(Navigation, ZoomIntoAPictureWithNoAreaIsAnOverflowNotADivisionByZero)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QTest::mouseMove(w.PB, QPoint(220, 180));
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(220, 180));
    const engine::Region before = w.ViewRegion;
    MessageLog log;
    w.PB->resize(w.PB->width(), 0); // as a window squeezed to its menu bar leaves it
    QTest::mouseClick(w.SBZoom, Qt::LeftButton);
    EXPECT_EQ(log.messages, std::vector<QString>{"Floating point overflow"});
    EXPECT_EQ(w.ViewRegion, before);
    EXPECT_FALSE(w.IsCalculating());
}

TEST(Navigation, EditAndSubmitReparseTheLabels)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.234567890123L, 2.718281828459L, 0.333333333333L, 1.0L / 7);
    ASSERT_TRUE(OpenAndSettle(w));
    const engine::RegionValues r0 = w.ViewRegion.Values();
    w.EdX1->setText("left over");

    QTest::mouseClick(w.BBEdit, Qt::LeftButton);
    EXPECT_EQ(w.EdX1->text(), w.LabX1->text());
    EXPECT_EQ(w.EdX2->text(), w.LabX2->text());
    EXPECT_EQ(w.EdY1->text(), w.LabY1->text());
    EXPECT_EQ(w.EdY2->text(), w.LabY2->text());
    EXPECT_TRUE(w.EdX1->isEnabled());
    EXPECT_TRUE(w.BBSubmit->isEnabled());
    EXPECT_FALSE(w.BBEdit->isEnabled());

    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_FALSE(w.BBSubmit->isEnabled()) << "the box is disabled during the calculation";
    const engine::RegionValues r = w.ViewRegion.Values();
    // The labels carry 10 digits: the region moves by their rounding only.
    EXPECT_NE(r.XStart, r0.XStart);
    EXPECT_NEAR(static_cast<double>(r.XStart), static_cast<double>(r0.XStart), 1e-9);
    EXPECT_NEAR(static_cast<double>(r.YHeight), static_cast<double>(r0.YHeight), 1e-9);
    // Each extent is taken from its stored start.
    const Extended x2 = *window::ParseRegionNumber(w.EdX2->text().toStdString(), window::SystemDecimalSeparator());
    EXPECT_EQ(r.XWidth, Narrow(x2 - r.XStart));
    ASSERT_TRUE(WaitForCalculation(w));
    EXPECT_TRUE(w.BBEdit->isEnabled());
    EXPECT_FALSE(w.EdX1->isEnabled());

    // Cancel leaves editing and keeps the texts.
    QTest::mouseClick(w.BBEdit, Qt::LeftButton);
    w.EdY2->setText("12");
    QTest::mouseClick(w.BBCancel, Qt::LeftButton);
    EXPECT_EQ(w.EdY2->text(), "12");
    EXPECT_FALSE(w.EdY2->isEnabled());
    EXPECT_TRUE(w.BBEdit->isEnabled());
    EXPECT_FALSE(w.BBSubmit->isEnabled());
    EXPECT_FALSE(w.IsCalculating());
}

TEST(Navigation, BadAndHugeNumbersStopTheSubmitWhereTheyStand)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    const engine::Region r0 = w.ViewRegion;
    const QStringList labels = {w.LabX1->text(), w.LabX2->text(), w.LabY1->text(), w.LabY2->text()};
    MessageLog log;
    const QString sep = QString::fromStdString(window::SystemDecimalSeparator());
    const QString x1 = "101" + sep + "5";

    QTest::mouseClick(w.BBEdit, Qt::LeftButton);
    w.EdX1->setText(x1);
    w.EdY1->setText("1.2.3");
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_EQ(log.messages, std::vector<QString>{"'1.2.3' is not a valid floating point value"});
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(), Narrow(101.5L)) << "stored before the bad text was read";
    EXPECT_EQ(w.ViewRegion.YStart, r0.YStart);
    EXPECT_EQ(w.ViewRegion.XWidth, r0.XWidth);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(w.BBSubmit->isEnabled()) << "still editing";
    EXPECT_TRUE(w.EdY1->isEnabled());
    EXPECT_EQ((QStringList{w.LabX1->text(), w.LabX2->text(), w.LabY1->text(), w.LabY2->text()}), labels);

    w.EdY1->setText(" 99 ");
    w.EdX2->setText("1E300");
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(log.messages[1], "Floating point overflow");
    EXPECT_EQ(w.ViewRegion.YStart.ToExtended(), 99.0L);
    EXPECT_EQ(w.ViewRegion.XWidth, r0.XWidth);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_TRUE(w.BBSubmit->isEnabled());
    EXPECT_EQ(w.LabX2->text(), labels[1]);

    // A text of any length reaches the message whole.
    const QString longText = QString(50000, QChar('7')) + "x" + QString(49999, QChar('7'));
    w.EdY1->setText(longText);
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_EQ(log.messages.size(), 3u);
    EXPECT_EQ(log.messages[2], "'" + longText + "' is not a valid floating point value");
    log.messages.pop_back();
    w.EdY1->setText(" 99 ");

    // The last text: an empty box.
    w.EdX2->setText("110");
    w.EdY2->setText("");
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_EQ(log.messages.size(), 3u);
    EXPECT_EQ(log.messages[2], "'' is not a valid floating point value");
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(110.0L - Narrow(101.5L)));
    EXPECT_EQ(w.ViewRegion.YHeight, r0.YHeight);
    EXPECT_FALSE(w.IsCalculating());

    // Corrected, it goes through; a right edge left of the left one mirrors.
    w.EdX2->setText("90");
    w.EdY2->setText("105");
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    EXPECT_EQ(log.messages.size(), 3u);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(90.0L - Narrow(101.5L)));
    EXPECT_EQ(w.ViewRegion.YHeight.ToExtended(), 6.0L);
    EXPECT_EQ(w.LabX1->text(), x1);
    EXPECT_EQ(w.LabX2->text(), "90");
    ASSERT_TRUE(WaitForCalculation(w));

    // The extent is taken from the start as stored, after its rounding: the
    // same text on both sides gives the rounding error as width, not 0.
    const QString x = "100" + sep + "1";
    QTest::mouseClick(w.BBEdit, Qt::LeftButton);
    w.EdX1->setText(x);
    w.EdX2->setText(x);
    QTest::mouseClick(w.BBSubmit, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), Narrow(100.1L - Narrow(100.1L)));
    EXPECT_NE(w.ViewRegion.XWidth.ToExtended(), 0.0L);
    ASSERT_TRUE(WaitForCalculation(w));
}

TEST(Navigation, KeysOnThePictureRunTheCommandsExceptDuringACalculation)
{
    TFormJU4 w;
    MakeQuick(w);
    ASSERT_TRUE(OpenAndSettle(w));
    w.PB->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return w.PB->hasFocus(); }, 2000));
    engine::RegionValues r0 = w.ViewRegion.Values();

    QTest::keyClick(w.PB, Qt::Key_Up);
    ASSERT_TRUE(w.IsCalculating());
    EXPECT_EQ(w.ViewRegion.YStart.ToExtended(), Narrow(r0.YStart - r0.YHeight * 0.5L));
    // Ignored while calculating, like the disabled buttons.
    const engine::Region during = w.ViewRegion;
    QTest::keyClick(w.PB, Qt::Key_Left);
    QTest::keyClick(w.PB, Qt::Key_Plus);
    EXPECT_EQ(w.ViewRegion, during);
    ASSERT_TRUE(WaitForCalculation(w));

    r0 = w.ViewRegion.Values();
    QTest::keyClick(w.PB, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), r0.XWidth / 2);
    ASSERT_TRUE(WaitForCalculation(w));
    QTest::keyClick(w.PB, Qt::Key_Minus);
    EXPECT_EQ(w.ViewRegion.XWidth.ToExtended(), r0.XWidth);
    ASSERT_TRUE(WaitForCalculation(w));
    r0 = w.ViewRegion.Values();
    QTest::keyClick(w.PB, Qt::Key_Right);
    EXPECT_EQ(w.ViewRegion.XStart.ToExtended(), Narrow(r0.XStart + r0.XWidth * 0.5L));
    ASSERT_TRUE(WaitForCalculation(w));
    r0 = w.ViewRegion.Values();
    QTest::keyClick(w.PB, Qt::Key_Down);
    EXPECT_EQ(w.ViewRegion.YStart.ToExtended(), Narrow(r0.YStart + r0.YHeight * 0.5L));
    ASSERT_TRUE(WaitForCalculation(w));

    // A key with Ctrl is not a navigation key.
    const engine::Region idle = w.ViewRegion;
    QTest::keyClick(w.PB, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(w.ViewRegion, idle);
    EXPECT_FALSE(w.IsCalculating());

    // Escape drops a selection.
    QTest::mousePress(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(w.PB, QPoint(80, 60));
    ASSERT_TRUE(w.Bevel0->isVisible());
    QTest::keyClick(w.PB, Qt::Key_Escape);
    EXPECT_FALSE(w.Selecting);
    EXPECT_TRUE(w.Bevel0->isHidden());
    EXPECT_EQ(w.ViewRegion, idle);
}
