// Ctrl+C on the command line as a cancel: a flag the work reads between rows and frames.
#pragma once

#include <atomic>
#include <csignal>

namespace movie {

// While one exists, the first SIGINT or SIGTERM sets Flag() instead of
// ending the program, so the work in progress can stop and clean up; the
// next one ends the program as usual (a second Ctrl+C always works). The
// signals are delivered without restarting calls, so a blocked wait wakes.
// One at a time per process; destroying it restores the previous actions.
class InterruptCancel {
public:
    InterruptCancel();
    ~InterruptCancel();
    InterruptCancel(const InterruptCancel&) = delete;
    InterruptCancel& operator=(const InterruptCancel&) = delete;

    static const std::atomic<bool>& Flag();
    bool Raised() const { return Flag().load(std::memory_order_relaxed); }

private:
    struct sigaction oldInt_ {}, oldTerm_ {};
};

} // namespace movie
