#include "audio/LoudnessNormalise.h"

#include <cmath>

#include "audio/Loudness.h"
#include "audio/PeakLimiter.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

// Meters differ a little in how they oversample; aim this far under the ceiling.
constexpr double kLimiterMarginDb = 0.3;
constexpr double kCheckMarginDb = 0.1;
constexpr int kMaxRounds = 8;

void Scale(MonoSignal& signal, double gainDb) {
    const auto g = static_cast<float>(DbToGain(gainDb));
    for (float& s : signal.samples) s *= g;
}

PrepareStatus Measure(const MonoSignal& signal, SignalStats& stats) {
    if (!MeasureSignal(signal, stats)) return PrepareFailure(PrepareFault::Failed, "the loudness meter failed");
    return PrepareStatus::Ok();
}

PrepareStatus RefuseSilence(const SignalStats& stats) {
    if (stats.samplePeak < kSilentPeakDbfs)
        return PrepareFailure(PrepareFault::Silent,
                              std::isfinite(stats.samplePeak)
                                  ? Format("its loudest sample is at %.1f dBFS", stats.samplePeak)
                                  : std::string("every sample is zero"));
    return PrepareStatus::Ok();
}

}  // namespace

PrepareStatus CheckLoudnessTarget(double lufs) {
    if (lufs >= -40 && lufs <= -5) return PrepareStatus::Ok();
    return PrepareFailure(PrepareFault::BadSetting,
                          Format("The loudness target must be from -40 to -5 LUFS, not %g.", lufs));
}

PrepareStatus CheckPeakLevel(double dbtp) {
    if (dbtp >= -20 && dbtp <= 0) return PrepareStatus::Ok();
    return PrepareFailure(PrepareFault::BadSetting, Format("The peak level must be from -20 to 0 dBTP, not %g.", dbtp));
}

PrepareStatus AnticipatedGain(const SignalStats& stats, std::optional<double> loudnessLufs, double peakDbtp,
                              double& gainDb) {
    if (PrepareStatus s = RefuseSilence(stats); !s.ok()) return s;
    if (loudnessLufs && stats.seconds >= kShortMessageSeconds && std::isfinite(stats.loudness))
        gainDb = *loudnessLufs - stats.loudness;
    else
        gainDb = peakDbtp - stats.truePeak;
    return PrepareStatus::Ok();
}

PrepareStatus NormalisePeak(MonoSignal& signal, double levelDbtp, LevelResult& result) {
    result = {};
    SignalStats stats;
    if (PrepareStatus s = Measure(signal, stats); !s.ok()) return s;
    if (PrepareStatus s = RefuseSilence(stats); !s.ok()) return s;
    result.gainDb = levelDbtp - kCheckMarginDb - stats.truePeak;
    Scale(signal, result.gainDb);
    if (PrepareStatus s = Measure(signal, stats); !s.ok()) return s;
    result.loudness = stats.loudness;
    result.truePeak = stats.truePeak;
    return PrepareStatus::Ok();
}

PrepareStatus NormaliseLoudness(MonoSignal& signal, double targetLufs, double ceilingDbtp, LevelResult& result) {
    result = {};
    SignalStats stats;
    if (PrepareStatus s = Measure(signal, stats); !s.ok()) return s;
    if (PrepareStatus s = RefuseSilence(stats); !s.ok()) return s;
    if (stats.seconds < kShortMessageSeconds || !std::isfinite(stats.loudness)) {
        PrepareStatus s = NormalisePeak(signal, ceilingDbtp, result);
        result.peakFallback = true;
        return s;
    }
    // Each round starts from the original, so limiting never piles up; the gain
    // grows by what the limiter took from the loudness.
    const MonoSignal original = signal;
    double gain = targetLufs - stats.loudness;
    for (int round = 0; round < kMaxRounds; ++round) {
        signal = original;
        Scale(signal, gain);
        result.limitedDb = LimitTruePeak(signal, ceilingDbtp - kLimiterMarginDb);
        if (PrepareStatus s = Measure(signal, stats); !s.ok()) return s;
        if (std::fabs(stats.loudness - targetLufs) <= 0.05) break;
        gain += targetLufs - stats.loudness;
    }
    result.gainDb = gain;
    // The limiter's own estimate of the peaks against the meter's: the meter decides.
    if (stats.truePeak > ceilingDbtp - kCheckMarginDb) {
        Scale(signal, ceilingDbtp - kCheckMarginDb - stats.truePeak);
        if (PrepareStatus s = Measure(signal, stats); !s.ok()) return s;
    }
    result.loudness = stats.loudness;
    result.truePeak = stats.truePeak;
    return PrepareStatus::Ok();
}

}  // namespace zorvek
