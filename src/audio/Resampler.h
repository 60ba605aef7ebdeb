#pragma once
// The resampling step of the audio stage: reads one PCM WAV file and writes it
// again at another rate as 16-bit PCM with the same channel count.
#include <cstdint>
#include <string>

namespace zorvek {

inline constexpr uint32_t kSirenSampleRate = 22010;
inline constexpr uint32_t kSirenBitsPerSample = 16;
inline constexpr uint32_t kMinInputRate = 4000;
inline constexpr uint32_t kMaxInputRate = 384000;

enum ResampleResult : int {
    ResampleOk = 0,
    ResampleNoInput = 1,      // missing, or not a PCM WAV file that parses
    ResampleNoSamples = 2,    // parses, but holds no whole frame, or too few for one output frame
    ResampleUnsupported = 3,  // depth, rate or channel count outside what is accepted
    ResampleFailed = 4,       // the converter failed or ran out of memory
    ResampleWriteFailed = 5,  // the output could not be written completely
};

// Accepts 8-, 16-, 24- and 32-bit integer PCM (format tag 1) with 1 to 8
// channels at 4000 to 384000 samples/s. Converts at very high quality with no
// dither, so the same input always gives the same bytes; values beyond the
// 16-bit range are clamped. An input already at the output rate is passed
// through sample for sample (16-bit input unchanged). Shows nothing; for an
// input it cannot use, or on any failure, it leaves no output file behind
// (an older file of the output's name is removed first).
int ResampleWaveFile(const std::string& inputPath, const std::string& outputPath,
                     uint32_t outputRate = kSirenSampleRate, uint32_t outputBits = kSirenBitsPerSample);

}  // namespace zorvek
