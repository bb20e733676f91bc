// A window on a real X server of 16 bits a pixel: the start picture is shown at once and recolouring works.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

TEST(DisplayDepth, OnASixteenBitXServerTheViewStartsUniformAndRecoloursAtOnce)
{
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    ASSERT_FALSE(xvfbRun.isEmpty()) << "scripts/setup.sh installs xvfb and xauth";
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    // The X libraries keep allocations to the end of the process; leaks are
    // the business of the other tests.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    probe.setProcessEnvironment(env);
    probe.start(xvfbRun, {"-a", "-s", "-screen 0 1280x1024x16 -nolisten tcp", QUILLON_DISPLAY_PROBE});
    ASSERT_TRUE(probe.waitForStarted(30000)) << probe.errorString().toStdString();
    const bool finished = probe.waitForFinished(300000);
    if (!finished) {
        probe.kill();
        probe.waitForFinished(10000);
    }
    const std::string out = probe.readAllStandardOutput().toStdString();
    const std::string err = probe.readAllStandardError().toStdString();
    ASSERT_TRUE(finished) << out << err;
    ASSERT_EQ(probe.exitCode(), 0) << out << err;
    EXPECT_NE(out.find("platform xcb\n"), std::string::npos) << out << err;
    EXPECT_NE(out.find("depth 16\n"), std::string::npos) << out << err;
    for (const char* line : {"truecolour 1\n", "rgb-enabled 1\n", "start-uniform 1\n", "calculating 1\n",
                             "finished 1\n", "page2-recoloured 1\n", "page2-on-screen 1\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << out << err;
}
