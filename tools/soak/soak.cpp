// Soak run by hand: every window opened, every type button, zooms, recolouring and exports, with the memory before and after.
//
//   quillon-soak [--zooms N] [--out FOLDER]
//
// Builds the application as src/shell/main.cpp does, drives it through its
// widgets, then closes the launcher. Prints the peak resident set size
// (getrusage) and the current one (/proc/self/statm) after each phase.
// Exit status: 0, or 1 when a command reported an error or a calculation
// did not end.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "export/Scenes.h"
#include "window/FormExtendedBasic.h"
#include "shell/Application.h"
#include "shell/FormExport.h"
#include "shell/FormMain.h"
#include "ModalDialogs.h"
#include "window/ColourPanel.h"
#include "window/ErrorReport.h"
#include "window/FormBasicTamoSet.h"
#include "ScriptedDialogs.h"

namespace {

constexpr int kCalculationLimitMs = 600000;

int problems = 0;
QElapsedTimer runClock;

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long CurrentRssKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Memory(const char* phase)
{
    std::printf("%-34s peak RSS %7ld kB, current RSS %7ld kB  (%6.1f s)\n", phase, PeakRssKb(), CurrentRssKb(),
                runClock.elapsed() / 1000.0);
    std::fflush(stdout);
}

// Processes events until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int limitMs = kCalculationLimitMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(20);
    while (!condition()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void AwaitCalculation(TFormBasicTamoSet* w, const char* what)
{
    if (!WaitUntil([w] { return !w->IsCalculating(); })) {
        ++problems;
        std::fprintf(stderr, "soak: %s of %s did not end\n", what, qPrintable(w->windowTitle()));
    }
}

void Drive(int zooms, const QString& out)
{
    Memory("started, no window open");
    std::vector<TFormBasicTamoSet*> windows;
    for (QToolButton* b : FormMain->FractalButtons) {
        b->click();
        windows.push_back(WindowOfLauncherButton(b->objectName()));
    }
    // Each window starts calculating when it is first activated.
    for (TFormBasicTamoSet* w : windows)
        if (!WaitUntil([w] { return !w->StartPending; }, 30000)) {
            ++problems;
            std::fprintf(stderr, "soak: %s never started\n", qPrintable(w->windowTitle()));
        }
    for (TFormBasicTamoSet* w : windows)
        AwaitCalculation(w, "the first picture");
    Memory("24 windows open and calculated");

    for (TFormBasicTamoSet* w : windows)
        if (auto* rn = dynamic_cast<TFormExtendedBasic*>(w))
            for (QToolButton* type : rn->TypeButtons()) {
                type->click();
                AwaitCalculation(w, qPrintable(type->objectName()));
            }
    Memory("36 type buttons");

    int calculations = 0;
    for (int round = 0; round < zooms; ++round) {
        // All windows zoom at once: several calculations share the pool.
        for (QToolButton* TFormBasicTamoSet::*button : {&TFormBasicTamoSet::BitBtnZIN, &TFormBasicTamoSet::BitBtnZOUT}) {
            for (TFormBasicTamoSet* w : windows)
                (w->*button)->click();
            for (TFormBasicTamoSet* w : windows)
                AwaitCalculation(w, "a zoom");
            calculations += static_cast<int>(windows.size());
        }
        Memory(qPrintable(QString("  zoom round %1 of %2").arg(round + 1).arg(zooms)));
    }
    Memory(qPrintable(QString("%1 zooms in and out").arg(calculations)));

    // Recolouring: every palette page, the panels, rotation and offsets.
    int colourStep = 0;
    testseam::Dialogs().colour = [&colourStep](const QColor&) -> std::optional<QColor> {
        ++colourStep;
        return QColor::fromRgb((colourStep * 67) % 256, (colourStep * 151) % 256, (colourStep * 29) % 256);
    };
    for (TFormBasicTamoSet* w : windows) {
        for (int page = 1; page < w->PagCPal->count(); ++page) {
            w->PagCPal->setCurrentIndex(page);
            for (ColourPanel* p : w->PagCPal->currentWidget()->findChildren<ColourPanel*>())
                QTest::mouseClick(p, Qt::LeftButton);
        }
        for (QSlider* s : {w->TB1, w->TBR, w->TBG, w->TBB})
            for (int step = 0; step < 5; ++step)
                s->triggerAction(QAbstractSlider::SliderPageStepAdd);
        w->ButReset->click();
        w->PagCPal->setCurrentIndex(2);
    }
    testseam::Dialogs().colour = nullptr;
    Memory("recoloured");

    for (std::size_t k = 0; k < windows.size(); ++k) {
        TFormBasicTamoSet* w = windows[k];
        const QString base = QDir(out).filePath(QString("w%1").arg(k));
        testseam::Dialogs().saveFile = [base](const SaveDialogSettings& settings) {
            return settings.name == "SavePOV" ? base : base + ".bmp";
        };
        w->MMSave->trigger();
        testsupport::SaveWhenPovOptionsOpen(20000);
        w->MMPov->trigger();
        if (QFileInfo(base + ".bmp").size() < 2000000 || QFileInfo(base + ".pov.tga").size() != 787218 ||
            !QFileInfo(base + ".pov").isFile()) {
            ++problems;
            std::fprintf(stderr, "soak: the files of %s are missing or short\n", qPrintable(w->windowTitle()));
        }
        QFile::remove(base + ".bmp");
        QFile::remove(base + ".pov");
        QFile::remove(base + ".pov.tga");
    }
    testseam::Dialogs().saveFile = nullptr;
    Memory("24 bitmaps and POV-Ray exports");

    FormMain->close();
}

} // namespace

int main(int argc, char** argv)
{
    int zooms = 20;
    QString out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--zooms") == 0 && i + 1 < argc)
            zooms = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
        else {
            std::fprintf(stderr, "usage: quillon-soak [--zooms N] [--out FOLDER]\n");
            return 2;
        }
    }
    runClock.start();

    QuillonApplication app(argc, argv);
    StartApplication(app);

    QTemporaryDir scratch;
    if (out.isEmpty())
        out = scratch.path();
    testseam::Dialogs().error = [](const QString& m) {
        ++problems;
        std::fprintf(stderr, "soak: reported: %s\n", qPrintable(m));
    };
    QTimer::singleShot(0, [zooms, out] { Drive(zooms, out); });
    const int status = QApplication::exec();
    DestroyApplicationWindows();
    testseam::Dialogs().error = nullptr;
    Memory("closed, windows destroyed");
    std::printf("event loop returned %d; %d problems\n", status, problems);
    return status != 0 || problems > 0 ? 1 : 0;
}
