// A fractal window on the display Qt is given, reporting what a user sees of its colours: the display test runs it under a 16-bit X server.
//
// Prints one "name value" line per observation and exits 0; the test judges the values.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "export/Scenes.h"
#include "window/FormJU.h"
#include "window/PictureView.h"
#include "window/ScreenPicture.h"

namespace {

// The test plays the worker: nothing is computed until it stores the rows.
class ProbeWindow : public TFormJU4 {
public:
    void CreateCalcThread() override {}
    void Publish(int row) { ComputedRow.store(row, std::memory_order_release); }
};

// The view as the screen shows it.
QImage OnScreen(TFormBasicTamoSet& w)
{
    const QPoint at = w.PB->mapTo(&w, QPoint(0, 0));
    return w.screen()->grabWindow(w.winId(), at.x(), at.y(), w.PB->width(), w.PB->height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// Every pixel within the display's rounding (5 or 6 bits a channel at depth 16) of one colour.
bool UniformNear(const QImage& image, QRgb colour)
{
    if (image.isNull())
        return false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) > 8 || std::abs(qGreen(p) - qGreen(colour)) > 8 ||
                std::abs(qBlue(p) - qBlue(colour)) > 8 || p != image.pixel(0, 0))
                return false;
        }
    return true;
}

// Grabs the view until what the screen shows passes `shown` (the X server
// draws after the paint, at its own pace), at most 5 s; the last grab.
template <class Check>
QImage GrabWhen(TFormBasicTamoSet& w, Check shown)
{
    QImage grab;
    // A grab that never passes is returned as it is, for the caller to report.
    (void)QTest::qWaitFor([&] { return shown(grab = OnScreen(w)); }, 5000);
    return grab;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QScreen* screen = QGuiApplication::primaryScreen();
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("depth %d\n", screen ? screen->depth() : 0);

    ProbeWindow w;
    std::printf("truecolour %d\n", w.TrueColour ? 1 : 0);
    std::printf("rgb-enabled %d\n", w.TBR->isEnabled() ? 1 : 0);

    // Opened as the launcher opens it; its first activation starts the calculation.
    QElapsedTimer clock;
    clock.start();
    w.show();
    w.activateWindow();
    const bool exposed = QTest::qWaitForWindowExposed(&w);
    const QRgb startColour = colour::ColourTableRgb32(w.Palette, w.CurrentAdjust())[28];
    const QImage start = GrabWhen(w, [&](const QImage& shown) { return UniformNear(shown, startColour); });
    std::printf("start-grab-ms %lld\n", static_cast<long long>(clock.elapsed()));
    std::printf("start-uniform %d\n", exposed && UniformNear(start, startColour) ? 1 : 0);
    // The activation that starts the calculation comes from the X server in its own time.
    std::printf("calculating %d\n", QTest::qWaitFor([&] { return w.IsCalculating(); }, 5000) ? 1 : 0);

    // The worker's part, all rows at once, then the timer's.
    std::vector<std::uint8_t> values(engine::kBufferCells);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint8_t>((i / 1024) / 3 + (i % 1024) / 4);
    for (int r = 0; r < engine::kBufferHeight; ++r)
        w.IterBuffer.StoreRow(r, values.data() + static_cast<std::size_t>(r) * engine::kBufferWidth);
    w.Publish(engine::kBufferHeight - 1);
    w.Timer1Timer();
    std::printf("finished %d\n", w.IsCalculating() ? 0 : 1);
    const QImage before = GrabWhen(w, [&](const QImage& shown) { return !shown.isNull() && shown != start; });

    // Page "2": the picture takes the new palette at once.
    w.PagCPal->setCurrentWidget(w.TS2);
    const QImage expected = screen::RenderPicture(values, w.Palette, w.CurrentAdjust());
    const bool recoloured = w.PB->Picture().convertToFormat(QImage::Format_RGB32) ==
                            expected.convertToFormat(QImage::Format_RGB32);
    const QImage after = GrabWhen(w, [&](const QImage& shown) { return !shown.isNull() && shown != before; });
    std::printf("page2-recoloured %d\n", recoloured ? 1 : 0);
    std::printf("page2-on-screen %d\n", !after.isNull() && after.size() == before.size() && after != before ? 1 : 0);
    return 0;
}
