// The hands on the picture: wheel, drags, pinch and the shape-keeping band, on real windows; and their region steps.
#include <gtest/gtest.h>

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

#include <cmath>

#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/HandSteps.h"
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

Extended PointX(const engine::Region& r, long double u) { return ((u * r.XWidth.ToExtended()) * engine::kInv1023) + r.XStart.ToExtended(); }
Extended PointY(const engine::Region& r, long double v) { return ((v * r.YHeight.ToExtended()) * engine::kInv767) + r.YStart.ToExtended(); }

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

TEST(HandSteps, ZoomKeepsThePointUnderThePointerAndPanMovesTheContent)
{
    const engine::Region start = RegionOf(-2.0L, 3.0L, -1.25L, 2.5L);
    struct Case {
        long double u, v, factor;
    };
    for (const Case& c : {Case{511.5L, 383.5L, 2.0L}, Case{0.0L, 0.0L, 2.0L}, Case{1000.25L, 12.5L, 0.5L},
                          Case{300.0L, 700.0L, 4.0L}, Case{-20.0L, 900.0L, 1.37L}}) {
        SCOPED_TRACE(static_cast<double>(c.u));
        const engine::Region next = window::ZoomAboutCell(start, c.u, c.v, c.factor);
        EXPECT_TRUE(Close48(next.XWidth.ToExtended(), 3.0L / c.factor, 3.0L));
        EXPECT_TRUE(Close48(next.YHeight.ToExtended(), 2.5L / c.factor, 2.5L));
        EXPECT_TRUE(Close48(PointX(next, c.u), PointX(start, c.u), 3.0L)) << "the point under the pointer stays";
        EXPECT_TRUE(Close48(PointY(next, c.v), PointY(start, c.v), 2.5L));
    }
    // About the centre it is the Zoom In button's step.
    const engine::Region centre = window::ZoomAboutCell(start, 511.5L, 383.5L, 2.0L);
    EXPECT_TRUE(Close48(centre.XStart.ToExtended(), -2.0L + 0.75L, 3.0L));
    EXPECT_TRUE(Close48(centre.YStart.ToExtended(), -1.25L + 0.625L, 2.5L));

    // What lay at cell u lies at u + du afterwards.
    const engine::Region moved = window::PanByCells(start, 102.3L, -40.0L);
    EXPECT_TRUE(Close48(PointX(moved, 400.0L + 102.3L), PointX(start, 400.0L), 3.0L));
    EXPECT_TRUE(Close48(PointY(moved, 300.0L - 40.0L), PointY(start, 300.0L), 2.5L));
    EXPECT_EQ(moved.XWidth, start.XWidth);
    EXPECT_EQ(moved.YHeight, start.YHeight);

    // A step that overflows leaves the region as it was and throws.
    const engine::Region huge = RegionOf(0.0L, 1e38L, 0.0L, 1e38L);
    EXPECT_THROW(window::ZoomAboutCell(huge, 0.0L, 0.0L, 0.25L), engine::FloatingPointOverflow);
}

TEST(HandSteps, TheOldPictureMapsOntoTheCellsOfTheNewRegion)
{
    const engine::Region from = RegionOf(-2.0L, 3.0L, -1.25L, 2.5L);
    const engine::Region tos[] = {from, window::ZoomAboutCell(from, 200.0L, 600.0L, 2.0L),
                                  window::ZoomAboutCell(from, 900.0L, 10.0L, 0.5L), window::PanByCells(from, -77.0L, 33.0L)};
    for (const engine::Region& to : tos) {
        const auto m = window::MapPicture(from.Values(), to.Values());
        ASSERT_TRUE(m);
        for (int j : {0, 100, 1023}) {
            const double mapped = j * m->scaleX + m->offsetX;
            EXPECT_TRUE(Close48(PointX(to, mapped), PointX(from, j), 3.0L)) << j;
        }
        for (int i : {0, 500, 767}) {
            const double mapped = i * m->scaleY + m->offsetY;
            EXPECT_TRUE(Close48(PointY(to, mapped), PointY(from, i), 2.5L)) << i;
        }
    }
    EXPECT_FALSE(window::MapPicture(from.Values(), RegionOf(0.0L, 0.0L, 0.0L, 1.0L).Values()));
}

TEST(HandSteps, ShiftBandCornerGivesTheViewsShapeAndWheelNotchesAccumulate)
{
    struct Band {
        int ax, ay, x, y, w, h;
    };
    for (const Band& b : {Band{10, 20, 300, 60, 800, 600}, Band{500, 400, 480, 100, 640, 480}, Band{50, 50, 52, 51, 1000, 500},
                          Band{300, 300, 10, 500, 700, 350}}) {
        const auto [x, y] = window::KeepShapeCorner(b.ax, b.ay, b.x, b.y, b.w, b.h, 4);
        const double across = std::abs(x - b.ax) - 8;
        const double down = std::abs(y - b.ay) - 8;
        EXPECT_NEAR(across * b.h, down * b.w, std::max(b.w, b.h)) << "the zoom's rectangle has the view's shape";
        EXPECT_EQ(x < b.ax, b.x < b.ax) << "the corner stays on the pointer's side";
        EXPECT_EQ(y < b.ay, b.y < b.ay);
        EXPECT_GE(std::abs(x - b.ax) + 1, std::abs(b.x - b.ax)) << "it grows to cover the pointer, never shrinks";
    }

    window::WheelNotches n;
    struct Step {
        int angle, notches;
    };
    for (const Step& s : {Step{120, 1}, Step{-240, -2}, Step{40, 0}, Step{40, 0}, Step{40, 1}, Step{-100, 0}, Step{-30, -1},
                          Step{370, 3}, Step{-20, 0}})
        EXPECT_EQ(n.Add(s.angle), s.notches) << s.angle;
}

TEST(HandSteps, PreviewMovesAndScalesTheShownPictureAndBlanksTheRest)
{
    QImage shown(engine::kBufferWidth, engine::kBufferHeight, QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            shown.setPixel(x, y, qRgb(x / 4, y / 3, 7));
    const engine::Region from = RegionOf(-2.0L, 3.0L, -1.25L, 2.5L);
    const QRgb blank = qRgb(1, 2, 3);
    EXPECT_EQ(window::PictureGestures::Preview(shown, from.Values(), from.Values(), blank), shown);

    const QImage moved = window::PictureGestures::Preview(shown, from.Values(), window::PanByCells(from, 100, -50).Values(), blank);
    EXPECT_EQ(moved.pixel(50, 100), blank) << "uncovered by the old picture";
    EXPECT_EQ(moved.pixel(600, 100), shown.pixel(500, 150));
    EXPECT_EQ(moved.pixel(1023, 717), shown.pixel(923, 767));
    EXPECT_EQ(moved.pixel(1023, 740), blank);

    const QImage zoomedOut =
        window::PictureGestures::Preview(shown, from.Values(), window::ZoomAboutCell(from, 511.5L, 383.5L, 0.5L).Values(), blank);
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
    const long double u = window::CellAt(at.x(), w.PB->width(), 1024);
    const long double v = window::CellAt(at.y(), w.PB->height(), 768);

    SendWheel(w.PB, at, 120);
    EXPECT_EQ(w.ViewRegion, window::ZoomAboutCell(start, u, v, 2.0L));
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
    EXPECT_EQ(w.ViewRegion, window::ZoomAboutCell(zoomed, u, v, 0.5L));
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
    EXPECT_EQ(w.ViewRegion, window::ZoomAboutCell(outward, window::CellAt(at.x(), w.PB->width(), 1024),
                                                  window::CellAt(at.y(), w.PB->height(), 768), 2.0L));
    EXPECT_EQ(w.History.Size(), 3u);
    ExpectExactPicture(w);

    QTest::mouseClick(w.BitBtnZOUT, Qt::LeftButton);
    ASSERT_TRUE(w.IsCalculating());
    const engine::Region before = w.ViewRegion;
    Drag(w.PB, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100), QPoint(160, 70));
    EXPECT_EQ(w.ViewRegion, window::PanByCells(before, 60.0L * 1024 / w.PB->width(), -30.0L * 768 / w.PB->height()));
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
        EXPECT_EQ(w.ViewRegion, window::PanByCells(start, static_cast<long double>(d.x()) * 1024 / W,
                                                   static_cast<long double>(d.y()) * 768 / H));
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
                                                   window::PanByCells(start, 40.0L * 1024 / W, 30.0L * 768 / H).Values(),
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
    EXPECT_EQ(w.ViewRegion, window::ZoomAboutCell(start, window::CellAt(at.x(), w.PB->width(), 1024),
                                                  window::CellAt(at.y(), w.PB->height(), 768), factor));
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
