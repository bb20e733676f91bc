// Entry point of the GUI tests: one QApplication for every test, offscreen.
#include <QApplication>

#include <gtest/gtest.h>

#include "window/FormBasicTamoSet.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // A finished picture appears at the next tick: waiting up to a second for
    // it after every calculation would be most of the suite's time. The one
    // test of the design's interval builds its window without this.
    TFormBasicTamoSet::Timer1IntervalHook = 50;
    return RUN_ALL_TESTS();
}
