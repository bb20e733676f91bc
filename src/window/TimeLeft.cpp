// The time left of a long job from its recent rate.
#include "window/TimeLeft.h"

namespace window {

void TimeLeft::Add(double elapsed, std::int64_t done, std::int64_t total)
{
    total_ = total;
    if (done <= 0)
        return; // still starting: the rate begins with the first step
    if (!readings_.empty() && done < readings_.back().second)
        readings_.clear(); // a new count (the job restarted its steps)
    readings_.emplace_back(elapsed, done);
    // Keep one reading at or before the window's start, so the rate spans it.
    while (readings_.size() > 2 && readings_[1].first <= elapsed - kWindowSeconds)
        readings_.pop_front();
}

double TimeLeft::SecondsLeft() const
{
    if (readings_.size() < 2 || total_ <= 0)
        return -1.0;
    const auto& [t0, d0] = readings_.front();
    const auto& [t1, d1] = readings_.back();
    const double span = t1 - t0;
    if (span < kLeastSeconds || d1 <= d0)
        return -1.0;
    const double rate = static_cast<double>(d1 - d0) / span;
    const std::int64_t left = total_ > d1 ? total_ - d1 : 0;
    return static_cast<double>(left) / rate;
}

} // namespace window
