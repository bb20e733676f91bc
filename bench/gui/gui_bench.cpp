// Interface-side timings of a fractal window: the longest timer tick while a picture builds up, and Recolour.
#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <cstdio>
#include <vector>

#include "fractals/Catalogue.h"
#include "window/Form1.h"
#include "window/FormJU.h"
#include "window/FormRN.h"
#include "window/FormTamo.h"
#include "window/PictureView.h"
#include "window/SharpPicture.h"

#include <QWheelEvent>

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void PumpUntil(const std::function<bool()>& done)
{
    QTimer wake;
    wake.start(5);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Runs one calculation with the window's own timer replaced by calls made
// here once a second, so each tick (Timer1Timer: painting the new rows and
// handing the picture to the view) can be timed. Two times are taken: when
// the worker has published the last row, and when the tick that paints it
// has shown the finished picture (the window paints once a second, so the
// second is the first rounded up to a tick).
void Measure(TFormBasicTamoSet& w, const char* name)
{
    w.show();
    QElapsedTimer wall;
    wall.start();
    w.StartCalculation();
    w.Timer1->stop();
    std::vector<double> ticks;
    double computed = 0;
    double shown = 0;
    const auto lastRowPublished = [&] {
        return w.LastComputedRow() == engine::kBufferHeight - 1;
    };
    while (w.IsCalculating()) {
        QElapsedTimer wait;
        wait.start();
        PumpUntil([&] { return wait.elapsed() >= 1000 || (computed == 0 && lastRowPublished()); });
        if (computed == 0 && lastRowPublished()) {
            computed = wall.nsecsElapsed() / 1e9;
            PumpUntil([&] { return wait.elapsed() >= 1000; });
        }
        QElapsedTimer tick;
        tick.start();
        w.Timer1Timer();
        ticks.push_back(tick.nsecsElapsed() / 1e6);
    }
    shown = wall.nsecsElapsed() / 1e9;
    std::vector<double> recolour;
    for (int i = 0; i < 21; ++i) {
        w.TB1->setValue(i % 2 ? 100 : 0); // the value only; Recolour is called and timed below
        QElapsedTimer t;
        t.start();
        w.Recolour();
        recolour.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("| %s | %.2f | %.2f | %zu | %.2f | %.2f |\n", name, computed, shown, ticks.size(),
                *std::max_element(ticks.begin(), ticks.end()), Median(recolour));
    std::fflush(stdout);
    w.close();
}

struct Window {
    const char* name;
    std::unique_ptr<TFormBasicTamoSet> (*make)();
};

template <class Form>
std::unique_ptr<TFormBasicTamoSet> Make()
{
    return std::make_unique<Form>();
}

const Window kWindows[] = {
    {"Form1", Make<TForm1>},       {"FormTamo1", Make<TFormTamo1>}, {"FormTamo2", Make<TFormTamo2>},
    {"FormTamo3", Make<TFormTamo3>}, {"FormTamo4", Make<TFormTamo4>}, {"FormTamo5", Make<TFormTamo5>},
    {"FormJU1", Make<TFormJU1>},   {"FormJU2", Make<TFormJU2>},     {"FormJU3", Make<TFormJU3>},
    {"FormJU4", Make<TFormJU4>},   {"FormJU5", Make<TFormJU5>},     {"FormJU6", Make<TFormJU6>},
    {"FormJU7", Make<TFormJU7>},   {"FormJU8", Make<TFormJU8>},     {"FormJU9", Make<TFormJU9>},
    {"FormJU10", Make<TFormJU10>}, {"FormJU11", Make<TFormJU11>},   {"FormJU12", Make<TFormJU12>},
    {"FormRN1", Make<TFormRN1>},   {"FormRN2", Make<TFormRN2>},     {"FormRN3", Make<TFormRN3>},
    {"FormRN4", Make<TFormRN4>},   {"FormRN5", Make<TFormRN5>},     {"FormRN6", Make<TFormRN6>},
};

// What a newcomer sees: every window starts its calculation at once, as at
// start-up, all sharing the row pool, each painting on its own timer. Prints
// when each window's last row was computed and when its finished picture
// was shown.
void MeasureTogether()
{
    std::vector<std::unique_ptr<TFormBasicTamoSet>> windows;
    for (const Window& w : kWindows)
        windows.push_back(w.make());
    QElapsedTimer wall;
    wall.start();
    for (auto& w : windows) {
        w->show();
        w->StartCalculation();
    }
    std::vector<double> computed(windows.size(), 0), shown(windows.size(), 0);
    PumpUntil([&] {
        bool all = true;
        for (std::size_t k = 0; k < windows.size(); ++k) {
            if (computed[k] == 0 && windows[k]->LastComputedRow() == engine::kBufferHeight - 1)
                computed[k] = wall.nsecsElapsed() / 1e9;
            if (shown[k] == 0 && !windows[k]->IsCalculating())
                shown[k] = wall.nsecsElapsed() / 1e9;
            all = all && shown[k] != 0;
        }
        return all;
    });
    std::printf("| window | last row computed (s) | picture shown (s) |\n|---|---:|---:|\n");
    for (std::size_t k = 0; k < windows.size(); ++k)
        std::printf("| %s | %.2f | %.2f |\n", kWindows[k].name, computed[k], shown[k]);
    for (auto& w : windows)
        w->close();
}

// Time from a wheel event on the picture to the end of the paint that shows
// its preview, for a window at rest and for one in the middle of a
// calculation (which the step ends first). Each sample is one notch about a
// point off the centre, in and out in turn.
void MeasureWheel(const Window& which)
{
    const std::unique_ptr<TFormBasicTamoSet> w = which.make();
    w->resize(1000, 700);
    w->show();
    w->StartCalculation();
    PumpUntil([&] { return !w->IsCalculating(); });

    struct PaintWatch : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    w->PB->installEventFilter(&watch);
    const QPoint at(w->PB->width() / 3, w->PB->height() / 2);
    auto step = [&](int k) {
        watch.painted = false;
        QElapsedTimer t;
        t.start();
        QWheelEvent e(QPointF(at), QPointF(w->PB->mapToGlobal(at)), QPoint(), QPoint(0, k % 2 ? -120 : 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->PB, &e);
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return t.nsecsElapsed() / 1e6;
    };
    std::vector<double> idle, busy;
    for (int k = 0; k < 21; ++k) {
        PumpUntil([&] { return !w->IsCalculating(); });
        idle.push_back(step(k));
    }
    for (int k = 0; k < 21; ++k) {
        PumpUntil([&] { return !w->IsCalculating(); });
        w->StartCalculation(); // the same view again, so the step meets a running calculation
        QElapsedTimer wait;
        wait.start();
        PumpUntil([&] { return wait.elapsed() >= 40; });
        busy.push_back(step(k));
    }
    w->PB->removeEventFilter(&watch);
    std::printf("| %s | %.1f | %.1f | %.1f | %.1f |\n", which.name, Median(idle),
                *std::max_element(idle.begin(), idle.end()), Median(busy), *std::max_element(busy.begin(), busy.end()));
    std::fflush(stdout);
    PumpUntil([&] { return !w->IsCalculating(); });
    w->close();
}

// The sharp picture's cost at 1500 x 950 against 1024 x 768: values on the
// row pool and their colours, whole computations, medians of five.
void MeasureSharp(const char* viewId)
{
    const fractals::View* view = fractals::FindView(viewId);
    const auto set = fractals::MakePointSet(*view->window);
    const engine::RegionValues region = view->region.Make().Values();
    const screen::PixelTable colours = screen::PictureColours(colour::DefaultVgaPalette, colour::ColourAdjust{});
    auto time = [&](QSize size) {
        std::vector<double> runs;
        for (int k = 0; k < 5; ++k) {
            QElapsedTimer t;
            t.start();
            const QImage image = window::SharpImage(window::SharpValues(region, *set, view->function, size), size, colours);
            runs.push_back(t.nsecsElapsed() / 1e6);
            if (image.isNull())
                std::abort();
        }
        return Median(runs);
    };
    const double base = time(QSize(1024, 768));
    const double large = time(QSize(1500, 950));
    std::printf("| %s | %.0f | %.0f | %.2f |\n", viewId, base, large, large / base);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // --together: all windows at once. Otherwise one window after the
    // other, or only the windows named on the command line.
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.contains(QLatin1String("--together"))) {
        MeasureTogether();
        return 0;
    }
    // --wheel: the preview of a wheel step; --sharp: the sharp picture's cost.
    if (args.contains(QLatin1String("--wheel"))) {
        std::printf("| window | at rest: median (ms) | max | calculating: median (ms) | max |\n|---|---:|---:|---:|---:|\n");
        for (const Window& w : kWindows)
            if (args.size() == 1 || args.contains(QLatin1String(w.name)))
                MeasureWheel(w);
        return 0;
    }
    if (args.contains(QLatin1String("--sharp"))) {
        std::printf("| view | 1024 x 768 (ms) | 1500 x 950 (ms) | ratio |\n|---|---:|---:|---:|\n");
        for (const char* id : {"Form1", "FormJU3", "FormRN4.SBAL3", "FormTamo1"})
            MeasureSharp(id);
        return 0;
    }
    std::printf("| window | last row computed (s) | picture shown (s) | ticks | longest tick (ms) | Recolour median of 21 (ms) |\n"
                "|---|---:|---:|---:|---:|---:|\n");
    for (const Window& w : kWindows)
        if (args.isEmpty() || args.contains(QLatin1String(w.name))) {
            const std::unique_ptr<TFormBasicTamoSet> form = w.make();
            Measure(*form, w.name);
        }
    return 0;
}
