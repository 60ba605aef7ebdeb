#pragma once
// A look-ahead limiter on the true (inter-sample) peak, so that loudness can be
// raised to its target without a peak passing the ceiling.
#include <vector>

#include "audio/MonoSignal.h"

namespace zorvek {

// The peak each sample stands for: the larger of the sample and the three
// points 4x oversampling puts between it and the next (windowed sinc, 16 taps).
std::vector<float> TruePeakEnvelope(const std::vector<float>& samples);

// Scales the signal down wherever its true peak would pass `ceilingDb` (dBTP):
// the gain falls within 5 ms before a peak and recovers over about 50 ms, so
// speech keeps its shape. Returns the largest reduction in dB (0: untouched).
double LimitTruePeak(MonoSignal& signal, double ceilingDb);

}  // namespace zorvek
