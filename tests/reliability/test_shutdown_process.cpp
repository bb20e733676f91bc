// Closing the launcher of a real application process while all 24 windows calculate: every worker stops and the process exits 0.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

// Far beyond what the run takes even under ThreadSanitizer.
constexpr int kLimitMs = 600000;

} // namespace

TEST(ShutdownProcess, ClosingTheLauncherWhileEveryWindowCalculatesExitsZero)
{
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    probe.start(QUILLON_SHUTDOWN_PROBE, QStringList());
    ASSERT_TRUE(probe.waitForStarted(30000)) << probe.errorString().toStdString();
    const bool finished = probe.waitForFinished(kLimitMs);
    if (!finished) {
        probe.kill();
        probe.waitForFinished(10000);
    }
    const QByteArray out = probe.readAllStandardOutput();
    const QByteArray err = probe.readAllStandardError();
    ASSERT_TRUE(finished) << "no exit within " << kLimitMs / 1000 << " s\n" << out.toStdString() << err.toStdString();
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit) << err.toStdString();
    EXPECT_EQ(probe.exitCode(), 0) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(out.contains("24 calculating at close")) << out.toStdString();
    // A sanitizer's report fails the run even where its exit code would not.
    EXPECT_FALSE(err.contains("Sanitizer")) << err.toStdString();
    EXPECT_FALSE(err.contains("runtime error")) << err.toStdString();
}
