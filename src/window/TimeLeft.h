// The time a long job has left, from the rows per second it has made lately; no Qt.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>

namespace window {

// Readings of a job's progress in, seconds left out. The rate is the steps
// made over the last kWindowSeconds (or since the first step, when that is
// more recent): the start-up before the first step (a pool still busy with
// the windows' own pictures, an encoder starting) and stretches of another
// speed long ago do not count, so the estimate follows the job's speed now.
class TimeLeft {
public:
    static constexpr double kWindowSeconds = 10.0;
    // How long the rate must have been measured before it says anything.
    static constexpr double kLeastSeconds = 1.0;

    // `done` of `total` steps after `elapsed` seconds; readings come in order.
    void Add(double elapsed, std::int64_t done, std::int64_t total);
    // Seconds left at the last reading's rate; negative while there is too
    // little to go on.
    double SecondsLeft() const;

private:
    std::deque<std::pair<double, std::int64_t>> readings_; // (elapsed, done), oldest first
    std::int64_t total_ = 0;
};

} // namespace window
