#pragma once
// Trimming the silence before and after a message: each second of it costs
// flash and warning time.
#include <cstddef>

#include "audio/MonoSignal.h"

namespace zorvek {

inline constexpr double kDefaultTrimThresholdDbfs = -45.0;
// Kept before the first and after the last sound, faded, so that no word starts with a click.
inline constexpr double kTrimMarginSeconds = 0.02;
// Sound is found in 10 ms windows by their RMS level.
inline constexpr double kTrimWindowSeconds = 0.01;

struct TrimResult {
    size_t removedStart = 0;  // samples
    size_t removedEnd = 0;
};

// Removes what lies before the first and after the last window at or above
// `thresholdDbfs` (less `gainDb`, the gain the message will still get, so that
// the threshold holds for the finished message), keeping the margin. Samples
// between stay untouched. Silent when no window reaches the threshold.
PrepareStatus TrimSilence(MonoSignal& signal, double thresholdDbfs, double gainDb, TrimResult& result);

}  // namespace zorvek
