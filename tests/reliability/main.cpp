// Entry point of the reliability tests: one QApplication for every test, offscreen, and a guard against forgotten modal dialogs.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "window/FormBasicTamoSet.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A finished picture appears at the next tick: waiting up to a second for
    // it after every calculation would be most of the suite's time. No test
    // here depends on the interval.
    TFormBasicTamoSet::Timer1IntervalHook = 50;

    // A modal dialog nobody answers would block its test until ctest's
    // timeout; after a minute it fails the test and is closed instead.
    QPointer<QWidget> modal;
    QElapsedTimer open;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        QWidget* now = QApplication::activeModalWidget();
        if (now != modal) {
            modal = now;
            open.restart();
        } else if (modal && open.elapsed() > 60000) {
            ADD_FAILURE() << "modal window '" << modal->objectName().toStdString() << "' left open for a minute";
            modal->close();
            modal = nullptr;
        }
    });
    guard.start(500);
    return RUN_ALL_TESTS();
}
