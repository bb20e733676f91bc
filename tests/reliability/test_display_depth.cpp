// A window on a real X server of 16 bits a pixel: the start picture is shown at once and recolouring works.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "Spawn.h"

TEST(DisplayDepth, OnASixteenBitXServerTheViewStartsUniformAndRecoloursAtOnce)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    ASSERT_FALSE(xvfbRun.isEmpty()) << "scripts/setup.sh installs xvfb and xauth";
    // The X libraries keep allocations to the end of the process; leaks are
    // the business of the other tests.
    const char* asan = std::getenv("ASAN_OPTIONS");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const testsupport::ProgramRun probe = testsupport::RunProgram(
        xvfbRun.toStdString(), {"-a", "-s", "-screen 0 1280x1024x16 -nolisten tcp", QUILLON_DISPLAY_PROBE},
        dir.path().toStdString(),
        {"QT_QPA_PLATFORM=xcb", std::string("ASAN_OPTIONS=") + (asan ? asan : "") + ":detect_leaks=0"},
        std::chrono::minutes(5));
    const std::string& out = probe.out;
    const std::string& err = probe.err;
    ASSERT_TRUE(probe.ending.exited) << out << err;
    ASSERT_EQ(probe.ending.status, 0) << out << err;
    EXPECT_NE(out.find("platform xcb\n"), std::string::npos) << out << err;
    EXPECT_NE(out.find("depth 16\n"), std::string::npos) << out << err;
    for (const char* line : {"truecolour 1\n", "rgb-enabled 1\n", "start-uniform 1\n", "calculating 1\n",
                             "finished 1\n", "page2-recoloured 1\n", "page2-on-screen 1\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << out << err;
}
