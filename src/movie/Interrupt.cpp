// Ctrl+C on the command line as a cancel: a flag the work reads between rows and frames.
#include "movie/Interrupt.h"

#include <stdexcept>

namespace movie {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set in a signal handler");

void OnInterrupt(int) { interrupted.store(true, std::memory_order_relaxed); }

} // namespace

InterruptCancel::InterruptCancel()
{
    interrupted.store(false, std::memory_order_relaxed);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND; // no SA_RESTART: a poll or write in progress returns EINTR
    if (sigaction(SIGINT, &action, &oldInt_) != 0)
        throw std::runtime_error("cannot install the Ctrl+C handler");
    if (sigaction(SIGTERM, &action, &oldTerm_) != 0) {
        sigaction(SIGINT, &oldInt_, nullptr);
        throw std::runtime_error("cannot install the Ctrl+C handler");
    }
}

InterruptCancel::~InterruptCancel()
{
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

const std::atomic<bool>& InterruptCancel::Flag() { return interrupted; }

} // namespace movie
