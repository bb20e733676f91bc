// The one-line progress bar quillon-render draws on a terminal.
#include "ProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cli {

std::string FormatDuration(double seconds)
{
    const long s = std::isfinite(seconds) && seconds > 0 ? static_cast<long>(std::min(seconds, 1e8) + 0.5) : 0;
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

ProgressBar::ProgressBar(std::string label, bool enabled, std::string unit)
    : label_(std::move(label)), enabled_(enabled), unit_(std::move(unit)), start_(std::chrono::steady_clock::now()), lastDraw_(start_)
{
}

void ProgressBar::Finish()
{
    if (drawn_)
        std::fputc('\n', stderr);
    drawn_ = false;
}

void ProgressBar::Update(std::int64_t done, std::int64_t total)
{
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (done < total && now - lastDraw_ < std::chrono::milliseconds(250))
        return;
    lastDraw_ = now;
    Draw(done, total, std::chrono::duration<double>(now - start_).count());
}

void ProgressBar::Draw(std::int64_t done, std::int64_t total, double seconds)
{
    constexpr int kWidth = 30;
    const double fraction = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(fraction * kWidth);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '-');
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0.0;
    const std::string left = rate > 0 ? FormatDuration(static_cast<double>(total - done) / rate) : "?";
    std::fprintf(stderr, "\r%s [%s] %3d%%  %lld/%lld %s  %.*f %s/s  %s left \x1b[K", label_.c_str(), bar.c_str(),
                 static_cast<int>(fraction * 100), static_cast<long long>(done), static_cast<long long>(total),
                 unit_.c_str(), rate < 10 ? 1 : 0, rate, unit_.c_str(), left.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

} // namespace cli
