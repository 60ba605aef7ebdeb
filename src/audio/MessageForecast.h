#pragma once
// What the audio stage will make of a WAV file, known from its header alone:
// fast enough to run whenever a path changes, exact to the byte, so the window
// can say whether a job fits before anything is converted.
#include <cstdint>
#include <string>

#include "audio/WaveFormat.h"

namespace zorvek {

struct MessageForecast {
    // False when the run would stop at this file; `problem` says why.
    bool usable = false;
    std::string problem;
    // Samples at 22010 per second after conversion (what the row reports after a run).
    uint64_t convertedSamples = 0;
    // Bytes the message takes in the flash: two 12-bit samples in three bytes,
    // or the 3-byte silent pair for a message too short to hold one pair.
    uint64_t packedBytes = 0;
};

// The sample count the resampler makes of `inputFrames` frames at `inputRate`:
// the exact ratio, halves rounded up (as libsoxr's flushed output comes out).
uint64_t ConvertedFrameCount(uint64_t inputFrames, uint32_t inputRate);
// Packed bytes of a converted message of `samples` samples.
uint64_t PackedLengthOf(uint64_t samples);

// From the format record and the data bytes the file really holds.
MessageForecast ForecastFromFormat(const WaveFormatRecord& format, uint64_t dataBytesHeld);
// Reads the header of `path` (no samples) and forecasts it.
MessageForecast ForecastMessage(const std::string& path);

}  // namespace zorvek
