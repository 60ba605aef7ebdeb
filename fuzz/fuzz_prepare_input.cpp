// Arbitrary bytes as a message's audio for preparation: decoding through
// libsndfile (every format it knows), then every step of the preparation.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "audio/AudioDecode.h"
#include "audio/MessagePreparation.h"
#include "audio/PreparedOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zorvek::DecodedAudio decoded;
    const zorvek::PrepareStatus status = zorvek::DecodeAudioMemory(std::span(data, size), "fuzz", decoded);
    if (!status.ok()) {
        if (zorvek::DescribePrepareStatus(status).empty()) std::abort();
        return 0;
    }
    if (decoded.mono.samples.empty() || decoded.channels == 0) std::abort();
    for (float s : decoded.mono.samples)
        if (!std::isfinite(s)) std::abort();  // refused as BadSamples instead
    // The steps on long inputs only cost time; their bounds are the same.
    if (decoded.mono.Seconds() > 20) return 0;
    zorvek::PrepareSettings settings;
    settings.trim = true;
    settings.highPassHz = 250;
    settings.loudnessLufs = -16;
    zorvek::PreparedMessage message;
    const double seconds = decoded.mono.Seconds();
    if (zorvek::PrepareSignal(std::move(decoded.mono), decoded.source, settings, message).ok()) {
        if (message.samples.empty() || message.after.seconds > seconds + 0.01) std::abort();
        if (message.after.truePeak > -0.9) std::abort();  // the ceiling holds whatever came in
        const std::vector<uint8_t> wav = zorvek::EncodeSirenWave(message.samples);
        zorvek::DecodedAudio back;
        if (!zorvek::DecodeAudioMemory(wav, "back", back).ok() || back.mono.samples.size() != message.samples.size())
            std::abort();
    }
    return 0;
}
