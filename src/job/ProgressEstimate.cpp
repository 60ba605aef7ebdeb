#include "job/ProgressEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek {
namespace {
// A rate is measured over at least this long, so a burst of steps between two
// USB round trips does not count as speed.
constexpr double kWindowSeconds = 0.5;
// Windows needed before a figure is given, and how far the last may stray.
constexpr int kWindowsForSteady = 3;
constexpr double kSteadyTolerance = 0.25;
constexpr double kSmoothing = 0.3;  // weight of the newest window
}  // namespace

void ProgressEstimate::StartRun(double now) {
    runStart_ = now;
    runBytes_ = 0;
    started_ = false;
}

void ProgressEstimate::StartStep(double now, int lower, int upper, int stepBytes) {
    lower_ = lower;
    upper_ = upper;
    stepBytes_ = stepBytes;
    Restart(now, position_);
    stepStart_ = lower;
}

void ProgressEstimate::SetRange(double now, int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    Restart(now, position_);
    stepStart_ = lower;
}

void ProgressEstimate::SetStepBytes(int stepBytes) {
    stepBytes_ = stepBytes;
}

void ProgressEstimate::Restart(double now, int position) {
    anchorTime_ = now;
    anchorPosition_ = position;
    rate_ = lastRate_ = 0;
    windows_ = 0;
    steady_ = false;
    started_ = false;
}

void ProgressEstimate::Update(double now, int position) {
    // The first report of a step may come after setting up; the rate starts there.
    // A bar set back (verify starting over the program's range) is a new start too.
    if (stepBytes_ > 0) runBytes_ = std::max<int64_t>(runBytes_, int64_t{position - stepStart_} * stepBytes_);
    if (!started_ || position < position_) {
        position_ = position;
        Restart(now, position);
        started_ = true;
        return;
    }
    position_ = position;
    const double span = now - anchorTime_;
    if (span < kWindowSeconds) return;
    lastRate_ = (position - anchorPosition_) / span;
    rate_ = windows_ == 0 ? lastRate_ : (1 - kSmoothing) * rate_ + kSmoothing * lastRate_;
    ++windows_;
    anchorTime_ = now;
    anchorPosition_ = position;
    // Once shown, a figure stays: one jumping in and out is worse than none.
    if (!steady_ && windows_ >= kWindowsForSteady && rate_ > 0 &&
        std::fabs(lastRate_ - rate_) <= kSteadyTolerance * rate_)
        steady_ = true;
}

std::optional<double> ProgressEstimate::SecondsLeft() const {
    if (!steady_ || rate_ <= 0 || position_ >= upper_) return std::nullopt;
    return std::max(0, upper_ - position_) / rate_;
}

double ProgressEstimate::StepBytesPerSecond() const {
    return windows_ > 0 ? rate_ * stepBytes_ : 0;
}

std::string FormatSecondsLeft(double seconds) {
    long n = std::lround(std::ceil(std::max(0.0, seconds)));
    if (n >= 60)
        n = (n + 5) / 10 * 10;
    else if (n >= 10)
        n = (n + 2) / 5 * 5;
    return Format(ZT("about %ld s left"), std::max(1L, n));
}

std::string FormatElapsed(double seconds) {
    const long total = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string FormatKiBPerSecond(double bytesPerSecond) {
    const double kib = std::max(0.0, bytesPerSecond) / 1024;
    return kib < 10 ? Format(ZT("%.1f KiB/s"), kib) : Format(ZT("%.0f KiB/s"), kib);
}

}  // namespace zorvek
