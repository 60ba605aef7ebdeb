#pragma once
// A message in the making: mono samples as floats (full scale is +-1) at a rate,
// and the figures a person sees of it before and after preparation.
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

#include "audio/PrepareResult.h"

namespace zorvek {

struct MonoSignal {
    std::vector<float> samples;
    uint32_t rate = 0;

    double Seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
};

// Duration, loudness (EBU R128 integrated, LUFS) and peaks; -infinity for silence.
struct SignalStats {
    double seconds = 0;
    double loudness = -std::numeric_limits<double>::infinity();
    double truePeak = -std::numeric_limits<double>::infinity();    // dBTP
    double samplePeak = -std::numeric_limits<double>::infinity();  // dBFS
};

// Called between steps and during long ones with what is being done; false stops the work.
using PrepareProgress = std::function<bool(const char* step)>;

inline double DbToGain(double db) { return std::pow(10.0, db / 20.0); }
inline double GainToDb(double gain) {
    return gain > 0 ? 20.0 * std::log10(gain) : -std::numeric_limits<double>::infinity();
}

// Mono at `rate` through libsoxr (very high quality, no dither: same input, same output).
PrepareStatus ResampleSignal(MonoSignal& signal, uint32_t rate);

}  // namespace zorvek
