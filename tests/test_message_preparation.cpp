// Message preparation, step by step: high-pass, trim, limiter, loudness, decoding,
// speech and saving.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <random>

#include "TestFiles.h"
#include "WavTestSupport.h"
#include "audio/AudioDecode.h"
#include "audio/HighPass.h"
#include "audio/Loudness.h"
#include "audio/LoudnessNormalise.h"
#include "audio/MessagePreparation.h"
#include "audio/PeakLimiter.h"
#include "audio/PreparedOutput.h"
#include "audio/SilenceTrim.h"
#include "audio/SpeechSynth.h"

namespace zorvek {
namespace {

constexpr uint32_t kRate = 22010;

MonoSignal Sine(double hz, double seconds, double amplitude) {
    MonoSignal s{std::vector<float>(static_cast<size_t>(seconds * kRate)), kRate};
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / kRate));
    return s;
}

// Noise with a speech-like crest factor: Gaussian, bursts of 300 ms, seeded.
MonoSignal Bursts(double seconds, double level, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    MonoSignal s{std::vector<float>(static_cast<size_t>(seconds * kRate)), kRate};
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] = static_cast<float>(level * ((i / (kRate * 3 / 10)) % 2 ? 0.3 : 1.0)) * gauss(random);
    return s;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

double Rms(const std::vector<float>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i) sum += double{s[i]} * s[i];
    return std::sqrt(sum / static_cast<double>(count));
}

TEST(HighPass, CutsRumbleKeepsSpeechBandRefusesOddCorners) {
    MonoSignal low = Sine(50, 1, 0.5), mid = Sine(1000, 1, 0.5);
    ASSERT_TRUE(ApplyHighPass(low, 250).ok());
    ASSERT_TRUE(ApplyHighPass(mid, 250).ok());
    EXPECT_LT(GainToDb(Rms(low.samples, kRate / 2, kRate / 2) / (0.5 / std::sqrt(2))), -25.0);
    EXPECT_NEAR(GainToDb(Rms(mid.samples, kRate / 2, kRate / 2) / (0.5 / std::sqrt(2))), 0.0, 0.2);
    EXPECT_EQ(ApplyHighPass(mid, 10).fault, PrepareFault::BadSetting);
    EXPECT_EQ(ApplyHighPass(mid, std::nan("")).fault, PrepareFault::BadSetting);
}

TEST(SilenceTrim, KeepsTheSoundUntouchedWithAShortMarginAndRefusesSilence) {
    MonoSignal tone = Sine(440, 1, 0.3);
    MonoSignal s{std::vector<float>(kRate, 0.0f), kRate};
    s.samples.insert(s.samples.end(), tone.samples.begin(), tone.samples.end());
    s.samples.resize(s.samples.size() + 2 * kRate, 0.0f);
    TrimResult r;
    ASSERT_TRUE(TrimSilence(s, -45, 0, r).ok());
    const auto margin = static_cast<size_t>(kTrimMarginSeconds * kRate);
    const double window = kRate * kTrimWindowSeconds;
    EXPECT_NEAR(static_cast<double>(r.removedStart), kRate - margin, window);
    EXPECT_NEAR(static_cast<double>(r.removedEnd), 2.0 * kRate - margin, window);
    EXPECT_TRUE(std::equal(tone.samples.begin(), tone.samples.end(), s.samples.begin() + (kRate - r.removedStart)));

    // A -50 dBFS hiss is silence for a message that gains nothing, sound for one gaining 20 dB.
    MonoSignal hiss = Sine(440, 1, DbToGain(-50 + 3));
    MonoSignal copy = hiss;
    EXPECT_EQ(TrimSilence(hiss, -45, 0, r).fault, PrepareFault::Silent);
    EXPECT_TRUE(TrimSilence(copy, -45, 20, r).ok());
}

TEST(PeakLimiter, HoldsTheCeilingAndLeavesQuietPartsAlone) {
    MonoSignal s = Bursts(4, 0.05);
    for (size_t i = 0; i < 200; i += 20) s.samples[kRate + i] = (i / 20) % 2 ? -1.0f : 1.0f;  // clicks at 1 s
    const std::vector<float> before = s.samples;
    const double reduced = LimitTruePeak(s, -3);
    EXPECT_GT(reduced, 2.0);
    std::vector<float> peaks = TruePeakEnvelope(s.samples);
    EXPECT_LT(GainToDb(*std::max_element(peaks.begin(), peaks.end())), -2.9);
    // Far from any peak over the ceiling (the bursts stay well under it), samples are unchanged.
    size_t unchanged = 0;
    for (size_t i = 3 * kRate; i < 4 * kRate; ++i) unchanged += s.samples[i] == before[i];
    EXPECT_GT(unchanged, kRate * 9 / 10);
}

TEST(LoudnessNormalise, ReachesTargetUnderCeilingFallsBackWhenShortRefusesSilence) {
    for (double level : {0.003, 0.2, 0.9}) {
        MonoSignal s = Bursts(6, level);
        LevelResult r;
        ASSERT_TRUE(NormaliseLoudness(s, -16, -1, r).ok()) << level;
        SignalStats st;
        ASSERT_TRUE(MeasureSignal(s, st));
        EXPECT_NEAR(st.loudness, -16, 0.1) << level;
        EXPECT_LE(st.truePeak, -1.0) << level;
        EXPECT_FALSE(r.peakFallback);
    }
    MonoSignal shortOne = Bursts(1.5, 0.05);
    LevelResult r;
    ASSERT_TRUE(NormaliseLoudness(shortOne, -16, -1, r).ok());
    EXPECT_TRUE(r.peakFallback);
    EXPECT_NEAR(r.truePeak, -1.1, 0.05);

    MonoSignal hum = Sine(50, 5, DbToGain(-70));
    EXPECT_EQ(NormaliseLoudness(hum, -16, -1, r).fault, PrepareFault::Silent);
}

TEST(AudioDecode, ReadsOwnWavBackAndRefusesWhatIsNotAudio) {
    const std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 5};
    const std::vector<uint8_t> wav = EncodeSirenWave(samples);
    DecodedAudio d;
    ASSERT_TRUE(DecodeAudioMemory(wav, "mem", d).ok());
    ASSERT_EQ(d.mono.samples.size(), samples.size());
    EXPECT_EQ(d.mono.rate, kRate);
    for (size_t i = 0; i < samples.size(); ++i) EXPECT_EQ(d.mono.samples[i] * 32768.0f, samples[i]);

    const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(DecodeAudioMemory(text, "mem", d).fault, PrepareFault::NotAudio);
    EXPECT_EQ(DecodeAudioMemory({}, "mem", d).fault, PrepareFault::ZeroLength);
    test::ScratchFolder scratch;
    EXPECT_EQ(DecodeAudioFile(scratch.file("missing.wav"), d).fault, PrepareFault::NoFile);
    EXPECT_EQ(DecodeAudioFile(scratch.folder(), d).fault, PrepareFault::NoFile);
    ASSERT_EQ(::mkfifo(scratch.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(DecodeAudioFile(scratch.file("fifo"), d).fault, PrepareFault::NoFile);  // and does not wait
}

TEST(PreparedOutput, NeverReplacesTheSourceAndLeavesNothingOnFailure) {
    test::ScratchFolder scratch;
    const std::string source = scratch.write("voice.wav", "original");
    const std::vector<int16_t> samples(100, 7);
    EXPECT_EQ(SavePreparedMessage(source, source, samples).fault, PrepareFault::SameAsSource);
    std::filesystem::create_symlink(source, scratch.file("link.wav"));
    EXPECT_EQ(SavePreparedMessage(scratch.file("link.wav"), source, samples).fault, PrepareFault::SameAsSource);
    EXPECT_EQ(ReadAll(source), "original");
    EXPECT_EQ(SavePreparedMessage(scratch.file("no/such/folder.wav"), source, samples).fault,
              PrepareFault::WriteFailed);

    EXPECT_EQ(PreparedFileName(source), scratch.file("voice-prepared.wav"));
    ASSERT_TRUE(SavePreparedMessage(PreparedFileName(source), source, samples).ok());
    EXPECT_EQ(PreparedFileName(source), scratch.file("voice-prepared-2.wav"));
    EXPECT_EQ(PreparedFileName(scratch.file("voice-prepared.wav")), scratch.file("voice-prepared-2.wav"));
    EXPECT_EQ(SpeechFileName(scratch.folder(), "  Fire! Leave now.  "), scratch.file("speech-fire-leave-now.wav"));
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
        EXPECT_NE(entry.path().filename().string()[0], '.') << "temporary file left";
}

TEST(Speech, SpeaksKnownVoicesAndNamesTheOthers) {
    MonoSignal s;
    ASSERT_TRUE(SynthesizeSpeech({"Test message", "en"}, s).ok());
    EXPECT_GT(s.Seconds(), 0.5);
    EXPECT_LT(s.Seconds(), 4.0);
    const PrepareStatus unknown = SynthesizeSpeech({"Test", "../../etc/passwd"}, s);
    EXPECT_EQ(unknown.fault, PrepareFault::UnknownVoice);
    EXPECT_NE(unknown.detail.find("en-us"), std::string::npos);
    EXPECT_EQ(SynthesizeSpeech({" \n ", "en"}, s).fault, PrepareFault::EmptyText);
    EXPECT_EQ(SynthesizeSpeech({"Test", "en", 20}, s).fault, PrepareFault::BadSetting);
}

TEST(MessagePreparation, SpeechThroughEveryStepEndsAtTheSirenRate) {
    PrepareSettings settings;
    settings.trim = true;
    settings.highPassHz = 250;
    settings.loudnessLufs = -16;
    PreparedMessage m;
    ASSERT_TRUE(PrepareSpeech({"This is a test of the siren. This is only a test. Had this been a real emergency, you would "
                               "have been told where to go.", "en"}, settings, m).ok());
    EXPECT_NEAR(m.after.loudness, -16, 0.2);
    EXPECT_LE(m.after.truePeak, -1.0);
    EXPECT_DOUBLE_EQ(m.after.seconds * kRate, static_cast<double>(m.samples.size()));
    EXPECT_GE(m.steps.size(), 4u);
    int stopped = 0;
    EXPECT_EQ(PrepareSpeech({"Test", "en"}, settings, m, [&](const char*) { return ++stopped < 2; }).fault,
              PrepareFault::Cancelled);
}

}  // namespace
}  // namespace zorvek
