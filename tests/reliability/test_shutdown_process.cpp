// Closing the launcher of a real application process while all 24 windows calculate: every worker stops and the process exits 0.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QTemporaryDir>

#include "Spawn.h"

namespace {

// Far beyond what the run takes even under ThreadSanitizer.
constexpr std::chrono::minutes kLimit{10};

} // namespace

TEST(ShutdownProcess, ClosingTheLauncherWhileEveryWindowCalculatesExitsZero)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const testsupport::ProgramRun run = testsupport::RunProgram(
        QUILLON_SHUTDOWN_PROBE, {}, dir.path().toStdString(), {"QT_QPA_PLATFORM=offscreen"}, kLimit);
    const QByteArray out = QByteArray::fromStdString(run.out);
    const QByteArray err = QByteArray::fromStdString(run.err);
    ASSERT_FALSE(run.ending.timedOut) << "no exit within " << kLimit.count() << " min\n"
                                      << out.toStdString() << err.toStdString();
    ASSERT_TRUE(run.ending.exited) << err.toStdString();
    EXPECT_EQ(run.ending.status, 0) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(out.contains("24 calculating at close")) << out.toStdString();
    // A sanitizer's report fails the run even where its exit code would not.
    EXPECT_FALSE(err.contains("Sanitizer")) << err.toStdString();
    EXPECT_FALSE(err.contains("runtime error")) << err.toStdString();
}
