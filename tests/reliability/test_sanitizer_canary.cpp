// The sanitizer builds really fail on a report: a deliberate fault of each kind, run with the options and suppressions CI uses.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QString>
#include <QTemporaryDir>

#include "Spawn.h"

namespace {

const QString kSanitizers = QStringLiteral(QUILLON_SANITIZERS);

struct Outcome {
    int exitCode = 0;
    bool crashed = false;
    QByteArray err;
};

Outcome RunCanary(const char* mode)
{
    std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen"};
    // The suppression files CI passes, should the test run without them.
    const std::string supp = QUILLON_SOURCE_DIR "/tests/sanitizer/";
    if (std::getenv("LSAN_OPTIONS") == nullptr)
        environment.push_back("LSAN_OPTIONS=suppressions=" + supp + "lsan.supp");
    if (std::getenv("TSAN_OPTIONS") == nullptr)
        environment.push_back("TSAN_OPTIONS=suppressions=" + supp + "tsan.supp");
    QTemporaryDir dir;
    const testsupport::ProgramRun run = testsupport::RunProgram(
        QUILLON_SANITIZER_CANARY, {mode}, dir.path().toStdString(), environment, std::chrono::minutes(2));
    Outcome o;
    o.crashed = run.ending.signalled || run.ending.timedOut;
    o.exitCode = run.ending.status;
    o.err = QByteArray::fromStdString(run.err);
    return o;
}

void ExpectReportedAndFailed(const char* mode, const char* report)
{
    const Outcome o = RunCanary(mode);
    EXPECT_TRUE(o.crashed || o.exitCode != 0) << mode << ": the run did not fail\n" << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(report)) << mode << ": no '" << report << "' report\n" << o.err.toStdString();
}

} // namespace

TEST(SanitizerCanary, AddressErrorsAndLeaksInOurCodeFailTheRun)
{
    if (!kSanitizers.contains("address"))
        GTEST_SKIP() << "not an AddressSanitizer build";
    ExpectReportedAndFailed("heap-overflow", "AddressSanitizer: heap-buffer-overflow");
    // Allocated in handlers called by Qt: the suppressions must not hide it.
    const Outcome leak = RunCanary("leak");
    EXPECT_NE(leak.exitCode, 0) << leak.err.toStdString();
    EXPECT_TRUE(leak.err.contains("LeakSanitizer: detected memory leaks")) << leak.err.toStdString();
    EXPECT_TRUE(leak.err.contains("Direct leak of 2000 byte(s)")) << leak.err.toStdString();
    EXPECT_TRUE(leak.err.contains("Direct leak of 4000 byte(s)")) << leak.err.toStdString();
}

TEST(SanitizerCanary, UndefinedBehaviourFailsTheRun)
{
    if (!kSanitizers.contains("undefined"))
        GTEST_SKIP() << "not an UndefinedBehaviorSanitizer build";
    ExpectReportedAndFailed("signed-overflow", "runtime error: signed integer overflow");
    if (kSanitizers.contains("float-cast-overflow"))
        ExpectReportedAndFailed("float-to-int", "runtime error:");
}

TEST(SanitizerCanary, DataRacesInOurThreadsFailTheRun)
{
    if (!kSanitizers.contains("thread"))
        GTEST_SKIP() << "not a ThreadSanitizer build";
    ExpectReportedAndFailed("race", "ThreadSanitizer: data race");
}
