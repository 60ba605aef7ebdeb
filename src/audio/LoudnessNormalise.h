#pragma once
// Bringing a message to a loudness target under a true-peak ceiling, or, for
// short messages and on request, its true peak to a level.
#include <optional>

#include "audio/MonoSignal.h"

namespace zorvek {

inline constexpr double kDefaultLoudnessLufs = -16.0;
inline constexpr double kDefaultCeilingDbtp = -1.0;
// Integrated loudness needs a few seconds of gated blocks to mean much.
inline constexpr double kShortMessageSeconds = 3.0;
// A message whose loudest sample stays below this is silence (or hum): never amplified.
inline constexpr double kSilentPeakDbfs = -60.0;

struct LevelResult {
    double gainDb = 0;        // applied to the whole message
    double limitedDb = 0;     // largest further reduction by the limiter
    bool peakFallback = false;  // shorter than kShortMessageSeconds: peak-normalised instead
    double loudness = 0;      // reached, LUFS
    double truePeak = 0;      // reached, dBTP
};

// Range checks, with the sentence a person reads.
PrepareStatus CheckLoudnessTarget(double lufs);
PrepareStatus CheckPeakLevel(double dbtp);

// The gain NormaliseLoudness or NormalisePeak would apply, for stats measured
// before (for the trim threshold); Silent for a silent message.
PrepareStatus AnticipatedGain(const SignalStats& stats, std::optional<double> loudnessLufs, double peakDbtp,
                              double& gainDb);

// Integrated loudness to `targetLufs` (within 0.1 LU where the limiter allows),
// the true peak at or under `ceilingDbtp`. Messages under 3 s are peak-normalised
// to the ceiling instead (result.peakFallback). Silent input is refused.
PrepareStatus NormaliseLoudness(MonoSignal& signal, double targetLufs, double ceilingDbtp, LevelResult& result);
// True peak to `levelDbtp` (a little under, for other meters' oversampling).
PrepareStatus NormalisePeak(MonoSignal& signal, double levelDbtp, LevelResult& result);

}  // namespace zorvek
