#include "audio/SpeechSynth.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "audio/AudioDecode.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

// espeak-ng keeps one global synthesiser.
std::mutex& SpeechMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string StatusText(espeak_ng_STATUS status) {
    char text[512] = {};
    espeak_ng_GetStatusCodeMessage(status, text, sizeof text);
    return text;
}

// Once per process, under SpeechMutex(). Empty on success.
std::string StartOnce() {
    static bool started = false;
    static std::string failure;
    if (started) return failure;
    started = true;
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    if (status == ENS_OK) status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
    if (status != ENS_OK) failure = "espeak-ng cannot start: " + StatusText(status);
    if (context) espeak_ng_ClearErrorContext(&context);
    return failure;
}

std::vector<VoiceInfo> ListLocked() {
    std::vector<VoiceInfo> voices;
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (; list && *list; ++list) {
        const espeak_VOICE* v = *list;
        // languages: a priority byte, then a name, repeated; the first is the voice's own.
        const char* language = v->languages && *v->languages ? v->languages + 1 : "";
        voices.push_back({language, v->name ? v->name : "", v->identifier ? v->identifier : ""});
    }
    std::sort(voices.begin(), voices.end(),
              [](const VoiceInfo& a, const VoiceInfo& b) { return a.language < b.language; });
    return voices;
}

bool Matches(const VoiceInfo& v, const std::string& wanted) {
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string w = lower(wanted);
    const std::string id = v.identifier.substr(v.identifier.rfind('/') + 1);
    return w == lower(v.language) || w == lower(v.name) || w == lower(v.identifier) || w == lower(id);
}

struct Collector {
    std::vector<float>* samples;
    const PrepareProgress* progress;
    size_t maxSamples;
    bool stopped = false;
    bool tooLong = false;
};

int Collect(short* wav, int count, espeak_EVENT* events) {
    auto* c = events ? static_cast<Collector*>(events->user_data) : nullptr;
    if (!c) return 1;
    if (wav && count > 0) {
        for (int i = 0; i < count; ++i) c->samples->push_back(static_cast<float>(wav[i]) / 32768.0f);
        if (c->samples->size() > c->maxSamples) {
            c->tooLong = true;
            return 1;
        }
    }
    if (*c->progress && !(*c->progress)("Speaking")) {
        c->stopped = true;
        return 1;
    }
    return 0;
}

}  // namespace

std::vector<VoiceInfo> ListVoices(std::string* error) {
    std::lock_guard lock(SpeechMutex());
    const std::string failure = StartOnce();
    if (!failure.empty()) {
        if (error) *error = failure;
        return {};
    }
    return ListLocked();
}

PrepareStatus SynthesizeSpeech(const SpeechRequest& request, MonoSignal& out, const PrepareProgress& progress) {
    out = MonoSignal{};
    const bool blank = std::all_of(request.text.begin(), request.text.end(),
                                   [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
    if (blank) return PrepareFailure(PrepareFault::EmptyText, {});
    if (request.text.size() > kMaxSpeechTextBytes)
        return PrepareFailure(PrepareFault::BadSetting,
                              Format("The text is too long to speak (%zu bytes; at most %zu).", request.text.size(),
                                     kMaxSpeechTextBytes));
    if (request.wordsPerMinute < kMinSpeechWpm || request.wordsPerMinute > kMaxSpeechWpm)
        return PrepareFailure(PrepareFault::BadSetting, Format("The speed must be from %d to %d words per minute, not %d.",
                                                               kMinSpeechWpm, kMaxSpeechWpm, request.wordsPerMinute));
    if (request.pitch < 0 || request.pitch > 100)
        return PrepareFailure(PrepareFault::BadSetting, Format("The pitch must be from 0 to 100, not %d.", request.pitch));

    std::lock_guard lock(SpeechMutex());
    if (const std::string failure = StartOnce(); !failure.empty())
        return PrepareFailure(PrepareFault::SpeechFailed, failure);
    // Only a voice of the list reaches espeak-ng, which takes a name as a file path.
    const std::string base = request.voice.substr(0, request.voice.find('+'));
    const std::string variant = request.voice.size() > base.size() ? request.voice.substr(base.size() + 1) : "";
    const std::vector<VoiceInfo> voices = ListLocked();
    const auto found =
        std::find_if(voices.begin(), voices.end(), [&](const VoiceInfo& v) { return Matches(v, base); });
    const bool variantOk = std::all_of(variant.begin(), variant.end(),
                                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
    if (found == voices.end() || !variantOk) {
        std::string available;
        for (const VoiceInfo& v : voices) available += (available.empty() ? "" : ", ") + v.language;
        return PrepareFailure(PrepareFault::UnknownVoice,
                              "\"" + request.voice + "\". Voices: " + (available.empty() ? "none installed" : available));
    }
    std::string chosen = found->identifier;
    if (!variant.empty()) chosen += "+" + variant;
    if (espeak_ng_STATUS status = espeak_ng_SetVoiceByName(chosen.c_str()); status != ENS_OK)
        return PrepareFailure(PrepareFault::UnknownVoice, "\"" + request.voice + "\": " + StatusText(status));
    espeak_SetParameter(espeakRATE, request.wordsPerMinute, 0);
    espeak_SetParameter(espeakPITCH, request.pitch, 0);

    out.rate = static_cast<uint32_t>(espeak_ng_GetSampleRate());
    Collector collector{&out.samples, &progress, static_cast<size_t>(kMaxSourceSeconds * out.rate)};
    espeak_SetSynthCallback(&Collect);
    const espeak_ng_STATUS status = espeak_ng_Synthesize(request.text.c_str(), request.text.size() + 1, 0, POS_CHARACTER,
                                                         0, espeakCHARS_UTF8, nullptr, &collector);
    espeak_ng_Synchronize();
    if (collector.stopped) return PrepareFailure(PrepareFault::Cancelled, {});
    if (collector.tooLong) return PrepareFailure(PrepareFault::BadSetting, "The speech would last over 10 minutes.");
    if (status != ENS_OK) return PrepareFailure(PrepareFault::SpeechFailed, StatusText(status));
    if (out.samples.empty()) return PrepareFailure(PrepareFault::SpeechFailed, "espeak-ng made no sound of the text");
    return PrepareStatus::Ok();
}

}  // namespace zorvek
