// The one-line progress bar quillon-render draws on a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace cli {

// Percentage, the count done, the count per second and time left, redrawn
// at most four times a second; draws nothing when disabled (stderr not a
// terminal, --quiet). The unit names what is counted: rows, frames.
class ProgressBar {
public:
    ProgressBar(std::string label, bool enabled, std::string unit = "rows");
    ~ProgressBar() { Finish(); }
    void Update(std::int64_t done, std::int64_t total);
    // Ends the line if one was drawn, before anything else is printed.
    void Finish();

private:
    void Draw(std::int64_t done, std::int64_t total, double seconds);

    std::string label_;
    bool enabled_;
    std::string unit_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_, lastDraw_;
};

// "1:05" or "2:03:04".
std::string FormatDuration(double seconds);

} // namespace cli
