#pragma once
// Making a message ready for a siren: any audio file (or speech) becomes a
// 16-bit mono WAV at the siren's 22010 samples/s, so Program converts it without
// loss, after the steps asked for: a high-pass for horns, trimming the silence
// at either end, and loudness (or peak) normalisation.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioDecode.h"
#include "audio/MonoSignal.h"
#include "audio/SpeechSynth.h"

namespace zorvek {

struct PrepareSettings {
    bool trim = false;
    double trimThresholdDbfs = -45.0;   // of the finished message
    std::optional<double> highPassHz;   // corner, 20..4000 Hz
    std::optional<double> loudnessLufs;  // integrated loudness target
    // With a loudness target: the true-peak ceiling (default -1 dBTP). Alone: the
    // level the true peak is normalised to.
    std::optional<double> peakDbtp;
};

// Empty when every value is in range, else the first one that is not.
PrepareStatus CheckPrepareSettings(const PrepareSettings& settings);

struct PreparedMessage {
    std::vector<int16_t> samples;  // mono, kSirenSampleRate
    SignalStats before;            // the source as it is
    SignalStats after;             // the prepared message
    std::string source;            // "MP3, stereo, 44100 samples/s" or "speech, voice en"
    std::vector<std::string> steps;  // what was done, one sentence each
};

// The steps on a decoded signal (any rate); `before` is reported as the source's.
PrepareStatus PrepareSignal(MonoSignal signal, const SignalStats& before, const PrepareSettings& settings,
                            PreparedMessage& out, const PrepareProgress& progress = {});
// Reads the file and prepares it.
PrepareStatus PrepareAudioFile(const std::string& path, const PrepareSettings& settings, PreparedMessage& out,
                               const PrepareProgress& progress = {});
// Speaks the text and prepares the speech.
PrepareStatus PrepareSpeech(const SpeechRequest& speech, const PrepareSettings& settings, PreparedMessage& out,
                            const PrepareProgress& progress = {});

// "3.42 s, -16.0 LUFS, true peak -1.2 dBTP".
std::string DescribeStats(const SignalStats& stats);

}  // namespace zorvek
