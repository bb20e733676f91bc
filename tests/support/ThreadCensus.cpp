// Counts the threads a test binary starts, so that a run of the suites that are not labelled
// "threads" fails when one of them starts a thread: such a suite belongs in the ThreadSanitizer
// tree. Linked into every test binary of the trees without a sanitizer; the check is on when
// QUILLON_THREAD_CENSUS is set (tests/CMakeLists.txt sets it on those runs).
//
// Every thread of the process, whoever starts it (std::thread, QThread, a library), begins in
// pthread_create; the executable's own definition comes first in the dynamic lookup, counts, and
// hands the call to the C library's. Qt's thread pool is the one exception: Qt starts its workers
// there when it converts or scales a large picture, in whichever test first draws one, and the
// program itself never uses a QThreadPool.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <execinfo.h>
#include <pthread.h>

namespace {

std::atomic<long> threadsStarted{0};

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateFunction RealCreate()
{
    static const auto real = reinterpret_cast<CreateFunction>(dlsym(RTLD_NEXT, "pthread_create"));
    return real;
}

// Whether the thread being started is a worker of a QThreadPool: its start
// comes through QThreadPoolPrivate, a few frames up.
bool StartedByQtsPool()
{
    void* frames[8];
    const int n = backtrace(frames, 8);
    for (int k = 1; k < n; ++k) {
        Dl_info info{};
        if (dladdr(frames[k], &info) != 0 && info.dli_sname && std::strstr(info.dli_sname, "QThreadPoolPrivate"))
            return true;
    }
    return false;
}

class CensusListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override { before_ = threadsStarted.load(); }

    void OnTestEnd(const testing::TestInfo& test) override
    {
        const long started = threadsStarted.load() - before_;
        if (started > 0)
            offenders.push_back(std::string(test.test_suite_name()) + "." + test.name() + " started " +
                                std::to_string(started) + (started == 1 ? " thread" : " threads"));
    }

    std::vector<std::string> offenders;

private:
    long before_ = 0;
};

class CensusCheck : public testing::Environment {
public:
    explicit CensusCheck(const CensusListener* listener) : listener_(listener) {}

    void TearDown() override
    {
        for (const std::string& offender : listener_->offenders)
            ADD_FAILURE() << offender << " outside the ThreadSanitizer tree: add its suite to the gtest filter of "
                          << "\"threads\" suites beside its test binary in tests/CMakeLists.txt";
    }

private:
    const CensusListener* listener_;
};

// Registered before main: GoogleTest takes listeners and environments at any
// time before RUN_ALL_TESTS.
[[maybe_unused]] const bool registered = [] {
    if (!std::getenv("QUILLON_THREAD_CENSUS"))
        return false;
    auto* listener = new CensusListener; // owned by GoogleTest
    testing::UnitTest::GetInstance()->listeners().Append(listener);
    testing::AddGlobalTestEnvironment(new CensusCheck(listener));
    return true;
}();

} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* arg) noexcept
{
    if (!StartedByQtsPool())
        threadsStarted.fetch_add(1);
    return RealCreate()(thread, attributes, start, arg);
}
