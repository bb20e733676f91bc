// Interface-side timings of a fractal window: the longest timer tick while a picture builds up, and Recolour.
#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "fractals/Form1.h"
#include "fractals/FormJU.h"
#include "fractals/FormRN.h"
#include "fractals/FormTamo.h"

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
        return w.ComputedRow.load(std::memory_order_acquire) == engine::kBufferHeight - 1;
    };
    while (w.Calculating.load()) {
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

template <class Form>
void MeasureWindow(const char* name, const QStringList& only)
{
    if (!only.isEmpty() && !only.contains(QString::fromLatin1(name)))
        return;
    Form form;
    Measure(form, name);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Window names given on the command line restrict the run to them.
    QStringList only = QCoreApplication::arguments().mid(1);
    std::printf("| window | last row computed (s) | picture shown (s) | ticks | longest tick (ms) | Recolour median of 21 (ms) |\n"
                "|---|---:|---:|---:|---:|---:|\n");
    MeasureWindow<TForm1>("Form1", only);
    MeasureWindow<TFormTamo1>("FormTamo1", only);
    MeasureWindow<TFormTamo2>("FormTamo2", only);
    MeasureWindow<TFormTamo3>("FormTamo3", only);
    MeasureWindow<TFormTamo4>("FormTamo4", only);
    MeasureWindow<TFormTamo5>("FormTamo5", only);
    MeasureWindow<TFormJU1>("FormJU1", only);
    MeasureWindow<TFormJU2>("FormJU2", only);
    MeasureWindow<TFormJU3>("FormJU3", only);
    MeasureWindow<TFormJU4>("FormJU4", only);
    MeasureWindow<TFormJU5>("FormJU5", only);
    MeasureWindow<TFormJU6>("FormJU6", only);
    MeasureWindow<TFormJU7>("FormJU7", only);
    MeasureWindow<TFormJU8>("FormJU8", only);
    MeasureWindow<TFormJU9>("FormJU9", only);
    MeasureWindow<TFormJU10>("FormJU10", only);
    MeasureWindow<TFormJU11>("FormJU11", only);
    MeasureWindow<TFormJU12>("FormJU12", only);
    MeasureWindow<TFormRN1>("FormRN1", only);
    MeasureWindow<TFormRN2>("FormRN2", only);
    MeasureWindow<TFormRN3>("FormRN3", only);
    MeasureWindow<TFormRN4>("FormRN4", only);
    MeasureWindow<TFormRN5>("FormRN5", only);
    MeasureWindow<TFormRN6>("FormRN6", only);
    return 0;
}
