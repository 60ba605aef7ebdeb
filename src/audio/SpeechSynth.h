#pragma once
// Text to speech through espeak-ng's library, for quick and test messages
// without a microphone. The speech is a MonoSignal like any decoded file.
#include <string>
#include <vector>

#include "audio/MonoSignal.h"

namespace zorvek {

inline constexpr const char* kDefaultVoice = "en";
inline constexpr int kDefaultSpeechWpm = 160;  // a little slower than espeak's 175: clearer from a horn
inline constexpr int kMinSpeechWpm = 80;
inline constexpr int kMaxSpeechWpm = 450;
inline constexpr int kDefaultSpeechPitch = 50;  // 0..100
inline constexpr size_t kMaxSpeechTextBytes = 10000;

struct VoiceInfo {
    std::string language;    // what --voice takes: "en", "en-us", "de", ...
    std::string name;        // "English (Great Britain)"
    std::string identifier;  // "gmw/en"
};

struct SpeechRequest {
    std::string text;  // UTF-8
    std::string voice = kDefaultVoice;  // a language, name or identifier, optionally "+variant"
    int wordsPerMinute = kDefaultSpeechWpm;
    int pitch = kDefaultSpeechPitch;
};

// The voices installed, by language. Empty (with `error`) when espeak-ng cannot start.
std::vector<VoiceInfo> ListVoices(std::string* error = nullptr);

// Speaks the text into `out` (espeak-ng's own rate, 22050 samples/s). Safe to call
// from any thread: calls are taken one at a time. EmptyText, UnknownVoice (the
// detail names the languages there are), BadSetting, SpeechFailed, Cancelled.
PrepareStatus SynthesizeSpeech(const SpeechRequest& request, MonoSignal& out, const PrepareProgress& progress = {});

}  // namespace zorvek
