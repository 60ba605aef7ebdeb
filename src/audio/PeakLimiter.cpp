#include "audio/PeakLimiter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <numbers>

namespace zorvek {
namespace {

constexpr int kTaps = 16;  // per phase: samples n-7 .. n+8
constexpr int kPhases = 4;

using PhaseTable = std::array<std::array<double, kTaps>, kPhases - 1>;

PhaseTable MakePhases() {
    PhaseTable table{};
    for (int p = 1; p < kPhases; ++p) {
        const double frac = static_cast<double>(p) / kPhases;
        for (int k = 0; k < kTaps; ++k) {
            const double t = (k - (kTaps / 2 - 1)) - frac;  // distance from the point between samples
            const double sinc = std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
            const double w = 0.5 + 0.5 * std::cos(std::numbers::pi * t / (kTaps / 2.0));  // Hann
            table[static_cast<size_t>(p - 1)][static_cast<size_t>(k)] = sinc * w;
        }
    }
    return table;
}

}  // namespace

std::vector<float> TruePeakEnvelope(const std::vector<float>& s) {
    static const PhaseTable phases = MakePhases();
    const auto n = static_cast<std::ptrdiff_t>(s.size());
    std::vector<float> peak(s.size());
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        double top = std::fabs(s[static_cast<size_t>(i)]);
        for (const auto& h : phases) {
            double v = 0;
            for (int k = 0; k < kTaps; ++k) {
                const std::ptrdiff_t j = i + k - (kTaps / 2 - 1);
                if (j >= 0 && j < n) v += h[static_cast<size_t>(k)] * s[static_cast<size_t>(j)];
            }
            top = std::max(top, std::fabs(v));
        }
        peak[static_cast<size_t>(i)] = static_cast<float>(top);
    }
    return peak;
}

double LimitTruePeak(MonoSignal& signal, double ceilingDb) {
    std::vector<float>& s = signal.samples;
    if (s.empty()) return 0;
    const double ceiling = DbToGain(ceilingDb);
    const std::vector<float> peak = TruePeakEnvelope(s);
    const size_t n = s.size();
    std::vector<double> need(n);
    bool any = false;
    for (size_t i = 0; i < n; ++i) {
        need[i] = peak[i] > ceiling ? ceiling / peak[i] : 1.0;
        any = any || need[i] < 1.0;
    }
    if (!any) return 0;
    const size_t ahead = std::max<size_t>(1, static_cast<size_t>(0.005 * signal.rate));
    // Smallest need over the next `ahead` samples (a sliding minimum).
    std::vector<double> lowest(n);
    std::deque<size_t> window;
    for (size_t i = n; i-- > 0;) {
        while (!window.empty() && need[window.back()] >= need[i]) window.pop_back();
        window.push_back(i);
        while (window.front() >= i + ahead) window.pop_front();
        lowest[i] = need[window.front()];
    }
    // Falls at once, recovers slowly; never above what is needed.
    const double release = 1.0 - std::exp(-1.0 / (0.05 * signal.rate));
    double held = 1.0;
    for (size_t i = 0; i < n; ++i) {
        held = lowest[i] < held ? lowest[i] : held + (lowest[i] - held) * release;
        lowest[i] = held;
    }
    // A moving average over the look-ahead smooths the fall; at a peak every value
    // averaged is already at or below what that peak needs (before the start
    // counts as the first value, which every peak of the first window needs).
    double sum = lowest[0] * static_cast<double>(ahead), deepest = 1.0;
    for (size_t i = 0; i < n; ++i) {
        sum += lowest[i] - (i >= ahead ? lowest[i - ahead] : lowest[0]);
        const double gain = sum / static_cast<double>(ahead);
        s[i] = static_cast<float>(s[i] * gain);
        deepest = std::min(deepest, gain);
    }
    return -GainToDb(deepest);
}

}  // namespace zorvek
