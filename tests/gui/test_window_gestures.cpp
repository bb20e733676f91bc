// The hands on the picture: wheel, drags, pinch and the shape-keeping band, on real windows; and their region steps.
#include <gtest/gtest.h>

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

#include <cmath>

#include "window/Form1.h"
#include "window/FormJU.h"
#include "view/Navigation.h"
#include "window/PictureGestures.h"
#include "window/PictureView.h"
#include "WindowTestSupport.h"

using namespace guitest;
using engine::Extended;

namespace {

engine::Region RegionOf(Extended xs, Extended xw, Extended ys, Extended yh)
{
    engine::Region r;
    r.SetRegionBySize(xs, xw, ys, yh);
    return r;
}

// Equal up to a few units of the 6-byte format's last place at this scale.
bool Close48(Extended a, Extended b, Extended scale) { return std::fabs(a - b) <= std::fabs(scale) * 0x1p-36L; }

void SendWheel(QWidget* view, QPoint at, int angle)
{
    QWheelEvent e(QPointF(at), QPointF(view->mapToGlobal(at)), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &e);
}

void Drag(QWidget* view, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint from, QPoint to)
{
    QTest::mousePress(view, button, mods, from);
    QTest::mouseMove(view, (from + to) / 2);
    QTest::mouseMove(view, to);
    QTest::mouseRelease(view, button, mods, to);
}

} // namespace

TEST(GesturePreview, MovesAndScalesTheShownPictureAndBlanksTheRest)
{
    QImage shown(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            shown.setPixel(x, y, qRgb(x / 4, y / 3, 7));
    const engine::Region from = RegionOf(-2.0L, 3.0L, -1.25L, 2.5L);
    const QRgb blank = qRgb(1, 2, 3);
    EXPECT_EQ(window::PictureGestures::Preview(shown, from.Values(), from.Values(), blank), shown);

    const QImage moved = window::PictureGestures::Preview(shown, from.Values(), view::PanByPixels(from, 100, -50, 1024, 768).Values(), blank);
    EXPECT_EQ(moved.pixel(50, 100), blank) << "uncovered by the old picture";
    EXPECT_EQ(moved.pixel(600, 100), shown.pixel(500, 150));
    EXPECT_EQ(moved.pixel(1023, 717), shown.pixel(923, 767));
    EXPECT_EQ(moved.pixel(1023, 740), blank);

    const QImage zoomedOut =
        window::PictureGestures::Preview(shown, from.Values(), view::ZoomAbout(from, 512.0, 384.0, 0.5L, 1024, 768).Values(), blank);
    EXPECT_EQ(zoomedOut.pixel(100, 100), blank);
    EXPECT_EQ(zoomedOut.pixel(511, 383), shown.pixel(511, 383));
    EXPECT_TRUE(window::PictureGestures::Preview(QImage(), from.Values(), from.Values(), blank).isNull());
}

namespace {

class Gestures : public ::testing::Test {
protected:
    void SetUp() override
    {
        testseam::Dialogs().error = [this](const QString& m) { messages.push_back(m); };
    }
    void TearDown() override { testseam::Dialogs().error = nullptr; }

    // The buffer the window shows is exactly the engine's for its region.
    static void ExpectExactPicture(TFormBasicTamoSet& w)
    {
        ASSERT_TRUE(WaitForCalculation(w));
        EXPECT_EQ(w.IterBuffer.Snapshot(), ReferenceBuffer(w.ViewRegion, *w.CurrentPointSet(), w.ValueFunction))
            << "the rows of the new region replace the preview";
    }

    std::vector<QString> messages;
};

} // namespace

TEST_F(Gestures, AWheelNotchZoomsAboutThePointerWithAnInstantPreviewAndIsOneHistoryStep)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.6L, 3.2L, -1.2L, 2.4L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const engine::Region start = w.ViewRegion;
    const QImage before = Rgb32(w.PB->Picture());
    const QPoint at(w.PB->width() / 4, w.PB->height() / 3);
    const int W = w.PB->width();
    const int H = w.PB->height();

    SendWheel(w.PB, at, 120);
    EXPECT_EQ(w.ViewRegion, view::ZoomAbout(start, at.x(), at.y(), 2.0L, W, H));
    // At once, before any row: the old picture scaled about the pointer.
    const QImage preview = window::PictureGestures::Preview(before, start.Values(), w.ViewRegion.Values(), w.PB->BlankColour());
    EXPECT_EQ(Rgb32(w.PB->Picture()), preview);
    EXPECT_NE(preview, before);
    EXPECT_EQ(w.History.Size(), 2u);
    ExpectExactPicture(w);

    // Half notches of a touchpad wait for each other; backwards zooms out.
    SendWheel(w.PB, at, -60);
    EXPECT_EQ(w.History.Size(), 2u) << "half a notch does nothing yet";
    const engine::Region zoomed = w.ViewRegion;
    SendWheel(w.PB, at, -60);
    EXPECT_EQ(w.ViewRegion, view::ZoomAbout(zoomed, at.x(), at.y(), 0.5L, W, H));
    EXPECT_EQ(w.History.Size(), 3u);
    ExpectExactPicture(w);
    EXPECT_TRUE(Close48(w.ViewRegion.XStart.ToExtended(), start.XStart.ToExtended(), 3.2L));

    // Back walks the steps one by one.
    w.GoToHistory(-1);
    EXPECT_EQ(w.ViewRegion, zoomed);
    w.GoToHistory(-1);
    EXPECT_EQ(w.ViewRegion, start);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Gestures, AWheelStepOrADragDuringACalculationEndsItAndStartsTheNewOne)
{
    TForm1 w; // slow enough to be still calculating after the step
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const QPoint at(w.PB->width() / 2 + 40, w.PB->height() / 2 - 30);

    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    const engine::Region outward = w.ViewRegion;
    SendWheel(w.PB, at, 120);
    EXPECT_TRUE(w.IsCalculating()) << "the new view is being calculated";
    EXPECT_EQ(w.ViewRegion, view::ZoomAbout(outward, at.x(), at.y(), 2.0L, w.PB->width(), w.PB->height()));
    EXPECT_EQ(w.History.Size(), 3u);
    ExpectExactPicture(w);

    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    const engine::Region before = w.ViewRegion;
    Drag(w.PB, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100), QPoint(160, 70));
    EXPECT_EQ(w.ViewRegion, view::PanByPixels(before, 60, -30, w.PB->width(), w.PB->height()));
    EXPECT_EQ(w.History.Size(), 5u);
    ExpectExactPicture(w);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Gestures, MiddleAndCtrlLeftDragsMoveThePictureAndAClickWithoutMovingDoesNothing)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.6L, 3.2L, -1.2L, 2.4L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const int W = w.PB->width();
    const int H = w.PB->height();

    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers mods;
        QPoint from, to;
    };
    std::size_t steps = 1;
    for (const Case& c : {Case{Qt::MiddleButton, Qt::NoModifier, {200, 150}, {120, 190}},
                          Case{Qt::LeftButton, Qt::ControlModifier, {50, 60}, {90, 20}}}) {
        const engine::Region start = w.ViewRegion;
        const QImage before = Rgb32(w.PB->Picture());
        Drag(w.PB, c.button, c.mods, c.from, c.to);
        const QPoint d = c.to - c.from;
        EXPECT_EQ(w.ViewRegion, view::PanByPixels(start, d.x(), d.y(), W, H));
        EXPECT_EQ(Rgb32(w.PB->Picture()),
                  window::PictureGestures::Preview(before, start.Values(), w.ViewRegion.Values(), w.PB->BlankColour()));
        EXPECT_FALSE(w.Selecting) << "a drag draws no rubber band";
        EXPECT_EQ(w.History.Size(), ++steps);
        ExpectExactPicture(w);
    }

    // While the button is held the picture follows the hand; the region waits for the release.
    {
        const engine::Region start = w.ViewRegion;
        const QImage before = Rgb32(w.PB->Picture());
        QTest::mousePress(w.PB, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 200));
        QTest::mouseMove(w.PB, QPoint(340, 230));
        EXPECT_EQ(w.ViewRegion, start);
        EXPECT_FALSE(w.IsCalculating());
        EXPECT_EQ(Rgb32(w.PB->Preview()),
                  window::PictureGestures::Preview(before, start.Values(),
                                                   view::PanByPixels(start, 40, 30, W, H).Values(),
                                                   w.PB->BlankColour()));
        EXPECT_EQ(Rgb32(w.PB->Picture()), before) << "the picture itself waits for the release";
        QTest::mouseRelease(w.PB, Qt::MiddleButton, Qt::NoModifier, QPoint(340, 230));
        EXPECT_TRUE(w.PB->Preview().isNull());
        EXPECT_EQ(w.History.Size(), ++steps);
        ExpectExactPicture(w);
    }

    const engine::Region still = w.ViewRegion;
    QTest::mouseClick(w.PB, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 30));
    QTest::mouseClick(w.PB, Qt::LeftButton, Qt::ControlModifier, QPoint(30, 30));
    EXPECT_EQ(w.ViewRegion, still);
    EXPECT_FALSE(w.IsCalculating());
    EXPECT_FALSE(w.Selecting);
    EXPECT_EQ(w.History.Size(), steps);
    EXPECT_TRUE(messages.empty());
}

TEST_F(Gestures, APinchZoomsByItsFactorAboutTheFingersOnceItEnds)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.6L, 3.2L, -1.2L, 2.4L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const engine::Region start = w.ViewRegion;
    const QPointF at(150, 120);
    auto send = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent e(type, QPointingDevice::primaryPointingDevice(), 2, at, at, w.PB->mapToGlobal(at), value,
                              QPointF());
        QApplication::sendEvent(w.PB, &e);
    };
    send(Qt::BeginNativeGesture, 0);
    send(Qt::ZoomNativeGesture, 0.25);
    send(Qt::ZoomNativeGesture, 0.2);
    EXPECT_EQ(w.ViewRegion, start) << "the region changes when the fingers lift";
    send(Qt::EndNativeGesture, 0);
    const long double factor = (1.0L + 0.25L) * (1.0L + static_cast<long double>(0.2));
    EXPECT_EQ(w.ViewRegion, view::ZoomAbout(start, at.x(), at.y(), factor, w.PB->width(), w.PB->height()));
    EXPECT_EQ(w.History.Size(), 2u);
    ExpectExactPicture(w);
}

TEST_F(Gestures, ShiftKeepsTheRubberBandInThePicturesShape)
{
    TFormJU4 w;
    w.SetRegionBySize(-1.6L, 3.2L, -1.2L, 2.4L);
    ASSERT_TRUE(OpenWindow(w));
    ASSERT_TRUE(WaitForCalculation(w));
    const int W = w.PB->width();
    const int H = w.PB->height();
    const engine::Region start = w.ViewRegion;

    QTest::mouseClick(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QTest::mouseMove(w.PB, QPoint(20 + W / 2, 30 + H / 5)); // a wide band
    QTest::keyPress(w.PB, Qt::Key_Shift);
    QMouseEvent move(QEvent::MouseMove, QPointF(20 + W / 2, 30 + H / 5), w.PB->mapToGlobal(QPointF(20 + W / 2, 30 + H / 5)),
                     Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(w.PB, &move);
    QTest::keyRelease(w.PB, Qt::Key_Shift);
    const double across = w.SelRight - w.SelLeft;
    const double down = w.SelBottom - w.SelTop;
    EXPECT_NEAR(across / W, down / H, 2.0 / std::min(W, H)) << "the band has the view's shape";
    QTest::mouseClick(w.PB, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    ASSERT_TRUE(w.SelectionDone);
    QTest::mouseClick(w.SBZoom, Qt::LeftButton);
    const Extended shapeBefore = start.XWidth.ToExtended() / start.YHeight.ToExtended();
    const Extended shapeAfter = w.ViewRegion.XWidth.ToExtended() / w.ViewRegion.YHeight.ToExtended();
    EXPECT_NEAR(static_cast<double>(shapeAfter / shapeBefore), 1.0, 0.01) << "the zoomed picture is not stretched";
    ExpectExactPicture(w);
}
