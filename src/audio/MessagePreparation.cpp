#include "audio/MessagePreparation.h"

#include <algorithm>
#include <cmath>

#include "audio/HighPass.h"
#include "audio/Loudness.h"
#include "audio/LoudnessNormalise.h"
#include "audio/Resampler.h"
#include "audio/SilenceTrim.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

std::string Db(double value, const char* unit) {
    return std::isfinite(value) ? Format("%.1f %s", value, unit) : std::string("-inf ") + unit;
}

std::string ChannelWords(unsigned channels) {
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

bool Go(const PrepareProgress& progress, const char* step) { return !progress || progress(step); }

}  // namespace

PrepareStatus CheckPrepareSettings(const PrepareSettings& s) {
    if (s.trim && !(s.trimThresholdDbfs >= -90 && s.trimThresholdDbfs <= -10))
        return PrepareFailure(PrepareFault::BadSetting, Format("The silence threshold must be from -90 to -10 dBFS, not %g.",
                                                               s.trimThresholdDbfs));
    if (s.highPassHz && !(*s.highPassHz >= kMinHighPassHz && *s.highPassHz <= kMaxHighPassHz))
        return PrepareFailure(PrepareFault::BadSetting,
                              Format("The high-pass corner must be from 20 to 4000 Hz, not %g Hz.", *s.highPassHz));
    if (s.loudnessLufs)
        if (PrepareStatus st = CheckLoudnessTarget(*s.loudnessLufs); !st.ok()) return st;
    if (s.peakDbtp)
        if (PrepareStatus st = CheckPeakLevel(*s.peakDbtp); !st.ok()) return st;
    return PrepareStatus::Ok();
}

std::string DescribeStats(const SignalStats& s) {
    return Format("%.2f s, ", s.seconds) + Db(s.loudness, "LUFS") + ", true peak " + Db(s.truePeak, "dBTP");
}

PrepareStatus PrepareSignal(MonoSignal signal, const SignalStats& before, const PrepareSettings& settings,
                            PreparedMessage& out, const PrepareProgress& progress) {
    out.before = before;
    out.samples.clear();
    out.steps.clear();
    if (PrepareStatus s = CheckPrepareSettings(settings); !s.ok()) return s;
    if (signal.samples.empty()) return PrepareFailure(PrepareFault::ZeroLength, "no samples");
    if (!Go(progress, "Resampling")) return PrepareFailure(PrepareFault::Cancelled, {});
    if (signal.rate != kSirenSampleRate) {
        const uint32_t from = signal.rate;
        if (PrepareStatus s = ResampleSignal(signal, kSirenSampleRate); !s.ok()) return s;
        out.steps.push_back(Format("Resampled from %u to %u samples/s.", from, kSirenSampleRate));
    }
    if (settings.highPassHz) {
        if (!Go(progress, "Filtering")) return PrepareFailure(PrepareFault::Cancelled, {});
        if (PrepareStatus s = ApplyHighPass(signal, *settings.highPassHz); !s.ok()) return s;
        out.steps.push_back(Format("High-pass at %g Hz for horn loudspeakers.", *settings.highPassHz));
    }
    const bool level = settings.loudnessLufs || settings.peakDbtp;
    const double peakLevel = settings.peakDbtp.value_or(kDefaultCeilingDbtp);
    SignalStats now;
    if (!MeasureSignal(signal, now)) return PrepareFailure(PrepareFault::Failed, "the loudness meter failed");
    if (now.samplePeak < kSilentPeakDbfs)
        return PrepareFailure(PrepareFault::Silent, std::isfinite(now.samplePeak)
                                                        ? Format("its loudest sample is at %.1f dBFS", now.samplePeak)
                                                        : std::string("every sample is zero"));
    if (settings.trim) {
        if (!Go(progress, "Trimming")) return PrepareFailure(PrepareFault::Cancelled, {});
        double gain = 0;
        if (level)
            if (PrepareStatus s = AnticipatedGain(now, settings.loudnessLufs, peakLevel, gain); !s.ok()) return s;
        TrimResult trimmed;
        if (PrepareStatus s = TrimSilence(signal, settings.trimThresholdDbfs, gain, trimmed); !s.ok()) return s;
        out.steps.push_back(Format("Trimmed %.2f s of silence at the start and %.2f s at the end (below %g dBFS).",
                                   static_cast<double>(trimmed.removedStart) / kSirenSampleRate,
                                   static_cast<double>(trimmed.removedEnd) / kSirenSampleRate,
                                   settings.trimThresholdDbfs));
    }
    if (level) {
        if (!Go(progress, "Loudness")) return PrepareFailure(PrepareFault::Cancelled, {});
        LevelResult r;
        if (settings.loudnessLufs) {
            if (PrepareStatus s = NormaliseLoudness(signal, *settings.loudnessLufs, peakLevel, r); !s.ok()) return s;
        } else if (PrepareStatus s = NormalisePeak(signal, peakLevel, r); !s.ok()) {
            return s;
        }
        if (r.peakFallback)
            out.steps.push_back(Format("Shorter than %g s, too short to measure loudness: peak-normalised to %g dBTP "
                                       "instead (gain %+.1f dB).",
                                       kShortMessageSeconds, peakLevel, r.gainDb));
        else if (settings.loudnessLufs)
            out.steps.push_back(Format("Loudness to %g LUFS (gain %+.1f dB) under a true-peak ceiling of %g dBTP", *settings.loudnessLufs,
                                       r.gainDb, peakLevel) +
                                (r.limitedDb > 0.05 ? Format("; peaks limited by up to %.1f dB.", r.limitedDb) : "."));
        else
            out.steps.push_back(Format("Peak-normalised to %g dBTP (gain %+.1f dB).", peakLevel, r.gainDb));
    }
    if (!Go(progress, "Writing")) return PrepareFailure(PrepareFault::Cancelled, {});
    size_t clipped = 0;
    out.samples.reserve(signal.samples.size());
    for (float v : signal.samples) {
        const double scaled = std::nearbyint(static_cast<double>(v) * 32768.0);
        if (scaled > 32767 || scaled < -32768) ++clipped;
        out.samples.push_back(static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0)));
    }
    if (clipped) out.steps.push_back(Format("%zu samples were beyond full scale and were clipped.", clipped));
    // The figures of exactly what is saved.
    MonoSignal saved{std::vector<float>(out.samples.size()), kSirenSampleRate};
    for (size_t i = 0; i < out.samples.size(); ++i) saved.samples[i] = static_cast<float>(out.samples[i]) / 32768.0f;
    if (!MeasureSignal(saved, out.after)) return PrepareFailure(PrepareFault::Failed, "the loudness meter failed");
    return PrepareStatus::Ok();
}

PrepareStatus PrepareAudioFile(const std::string& path, const PrepareSettings& settings, PreparedMessage& out,
                               const PrepareProgress& progress) {
    out = PreparedMessage{};
    if (PrepareStatus s = CheckPrepareSettings(settings); !s.ok()) return s;
    DecodedAudio decoded;
    if (PrepareStatus s = DecodeAudioFile(path, decoded, progress); !s.ok()) return s;
    const std::string source = Format("%s, %s, %u samples/s", decoded.formatName.c_str(),
                                      ChannelWords(decoded.channels).c_str(), decoded.mono.rate);
    PrepareStatus s = PrepareSignal(std::move(decoded.mono), decoded.source, settings, out, progress);
    out.source = source;
    if (s.ok() && decoded.channels > 1)
        out.steps.insert(out.steps.begin(), "Mixed " + ChannelWords(decoded.channels) + " down to mono.");
    return s;
}

PrepareStatus PrepareSpeech(const SpeechRequest& speech, const PrepareSettings& settings, PreparedMessage& out,
                            const PrepareProgress& progress) {
    out = PreparedMessage{};
    if (PrepareStatus s = CheckPrepareSettings(settings); !s.ok()) return s;
    MonoSignal spoken;
    if (PrepareStatus s = SynthesizeSpeech(speech, spoken, progress); !s.ok()) return s;
    SignalStats before;
    if (!MeasureSignal(spoken, before)) return PrepareFailure(PrepareFault::Failed, "the loudness meter failed");
    PrepareStatus s = PrepareSignal(std::move(spoken), before, settings, out, progress);
    out.source = "speech, voice " + speech.voice + Format(", %d words per minute", speech.wordsPerMinute);
    return s;
}

}  // namespace zorvek
