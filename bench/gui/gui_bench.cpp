// Interface-side timings of a fractal window: the longest timer tick while a picture builds up, and Recolour.
#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "fractals/FormJU.h"
#include "fractals/FormRN.h"

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
// handing the picture to the view) can be timed.
void Measure(TFormBasicTamoSet& w, const char* name)
{
    w.show();
    w.StartCalculation();
    w.Timer1->stop();
    std::vector<double> ticks;
    QElapsedTimer wall;
    wall.start();
    while (w.Calculating.load()) {
        QElapsedTimer wait;
        wait.start();
        PumpUntil([&] { return wait.elapsed() >= 1000; });
        QElapsedTimer tick;
        tick.start();
        w.Timer1Timer();
        ticks.push_back(tick.nsecsElapsed() / 1e6);
    }
    const double total = wall.elapsed() / 1000.0;
    std::vector<double> recolour;
    for (int i = 0; i < 21; ++i) {
        w.TB1->setValue(i % 2 ? 100 : 0); // the value only; Recolour is called and timed below
        QElapsedTimer t;
        t.start();
        w.Recolour();
        recolour.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("| %s | %.2f | %zu | %.2f | %.2f |\n", name, total, ticks.size(),
                *std::max_element(ticks.begin(), ticks.end()), Median(recolour));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("| window | picture complete (s) | ticks | longest tick (ms) | Recolour median of 21 (ms) |\n"
                "|---|---|---|---|---|\n");
    {
        TFormJU3 ju3;
        Measure(ju3, "FormJU3");
    }
    {
        TFormRN6 rn6;
        Measure(rn6, "FormRN6");
    }
    return 0;
}
