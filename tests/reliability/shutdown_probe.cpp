// A real run of the application: all 24 windows opened from the launcher's buttons, the launcher closed while they calculate.
//
// Start-up is that of src/shell/main.cpp, call for call. Exit status: the
// event loop's (0) when every check held; 3 when a check failed; 4 when the
// windows did not all start calculating within the time limit.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <map>
#include <vector>

#include "export/Scenes.h"
#include "shell/Application.h"
#include "shell/FormMain.h"
#include "window/CalcOnForm.h"
#include "window/FormBasicTamoSet.h"

namespace {

constexpr int kStartLimitMs = 240000;

int failures = 0;

void Check(bool ok, const QString& what)
{
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "shutdown probe: %s\n", qPrintable(what));
    }
}

// Clicks the launcher's buttons one at a time, each once the window of the
// previous one calculates, then closes the launcher.
class Driver : public QObject {
public:
    Driver()
    {
        clock_.start();
        connect(&tick_, &QTimer::timeout, this, [this] { Step(); });
        tick_.start(10);
    }

    bool timedOut = false;

private:
    void Step()
    {
        const std::vector<QToolButton*>& buttons = FormMain->FractalButtons;
        if (next_ > 0 && !opened_.back()->IsCalculating() && opened_.back()->LastComputedRow() < 0) {
            if (clock_.elapsed() < kStartLimitMs)
                return;
            timedOut = true;
            std::fprintf(stderr, "shutdown probe: %s did not start calculating\n",
                         qPrintable(opened_.back()->windowTitle()));
            Close();
            return;
        }
        if (next_ < buttons.size()) {
            QToolButton* b = buttons[next_++];
            b->click();
            opened_.push_back(WindowOfLauncherButton(b->objectName()));
            Check(opened_.back() != nullptr && opened_.back()->isVisible(),
                  b->objectName() + " did not show its window");
            return;
        }
        Close();
    }

    void Close()
    {
        tick_.stop();
        // A closed fractal window is only hidden and goes on calculating.
        for (std::size_t k = 0; k < opened_.size(); k += 2)
            if (opened_[k])
                opened_[k]->MMClose->trigger();
        std::map<TFormBasicTamoSet*, int> rowsAtClose;
        int calculating = 0;
        for (TFormBasicTamoSet* w : FractalWindows()) {
            if (w->IsCalculating()) {
                ++calculating;
                rowsAtClose[w] = w->LastComputedRow();
            }
        }
        std::printf("opened %zu windows in %lld ms; %d calculating at close\n", opened_.size(),
                    static_cast<long long>(clock_.elapsed()), calculating);
        Check(timedOut || calculating == static_cast<int>(FractalWindows().size()),
              QString("only %1 windows calculate when the launcher is closed").arg(calculating));

        QElapsedTimer closing;
        closing.start();
        FormMain->close(); // returns once every calculation has stopped
        std::printf("close took %lld ms\n", static_cast<long long>(closing.elapsed()));

        for (TFormBasicTamoSet* w : FractalWindows()) {
            const QString title = w->windowTitle();
            Check(!w->IsCalculating(), title + " still calculates");
            Check(w->StopWasRequested(), title + " was not asked to stop");
            Check(title.endsWith(" Closing..."), title + " lacks the closing mark");
            const auto at = rowsAtClose.find(w);
            if (at != rowsAtClose.end()) {
                const int rows = w->LastComputedRow();
                std::printf("  %-40s row %4d at close, %4d at the end\n", qPrintable(title), at->second, rows);
                // The row in progress is finished, no further one is started.
                Check(rows <= at->second + 1, title + " went on past the row it was computing");
            }
        }
        Check(!FormMain->isVisible(), "the launcher is still visible");
    }

    QTimer tick_;
    QElapsedTimer clock_;
    std::size_t next_ = 0;
    std::vector<TFormBasicTamoSet*> opened_;
};

} // namespace

int main(int argc, char** argv)
{
    // As src/shell/main.cpp.
    QuillonApplication app(argc, argv);
    StartApplication(app);

    Driver driver;
    const int status = QApplication::exec();

    DestroyApplicationWindows();
    // Every worker has ended and been freed with its window.
    Check(TCalcOnForm::LiveCount() == 0, QString("%1 workers outlive their windows").arg(TCalcOnForm::LiveCount()));

    std::printf("event loop returned %d; %d failed checks\n", status, failures);
    if (driver.timedOut)
        return 4;
    return failures > 0 ? 3 : status;
}
