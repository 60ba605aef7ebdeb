#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "WavTestSupport.h"
#include "audio/Resampler.h"
#include "audio/WaveFile.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Decoded {
    WaveFormatRecord format;
    std::vector<int16_t> samples;
};

// Reads a 16-bit file back through the program's own reader.
bool Decode(const std::string& path, Decoded& out) {
    CWaveFile wave;
    if (!wave.Open(path) || !wave.Parse() || !wave.ReadData()) return false;
    out.format = wave.Format();
    out.samples.clear();
    for (uint32_t i = 0; i + 1 < wave.DataSize(); i += 2)
        out.samples.push_back(static_cast<int16_t>(wave.Samples()[i] | wave.Samples()[i + 1] << 8));
    return true;
}

std::vector<int16_t> Sine(double frequency, double rate, size_t count, double amplitude) {
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i)
        s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * frequency * i / rate)));
    return s;
}

// Signal to noise-and-distortion of a sine at `frequency`: the best-fitting
// sine (with offset) is the signal, everything else is the rest. Edges are
// left out, where the filter rings on the abrupt start and end.
double SinadDb(const std::vector<int16_t>& x, double frequency, double rate, size_t edge) {
    double ss = 0, sc = 0, cc = 0, s1 = 0, c1 = 0, n = 0, xs = 0, xc = 0, x1 = 0;
    for (size_t i = edge; i + edge < x.size(); ++i) {
        const double w = 2 * std::numbers::pi * frequency * i / rate, s = std::sin(w), c = std::cos(w);
        ss += s * s, sc += s * c, cc += c * c, s1 += s, c1 += c, n += 1;
        xs += x[i] * s, xc += x[i] * c, x1 += x[i];
    }
    // Solve the 3x3 normal equations by Cramer's rule.
    const double m[3][3] = {{ss, sc, s1}, {sc, cc, c1}, {s1, c1, n}};
    const double v[3] = {xs, xc, x1};
    auto det = [](const double a[3][3]) {
        return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
               a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    };
    double coef[3];
    for (int k = 0; k < 3; ++k) {
        double mk[3][3];
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) mk[r][c] = c == k ? v[r] : m[r][c];
        coef[k] = det(mk) / det(m);
    }
    double signal = 0, rest = 0;
    for (size_t i = edge; i + edge < x.size(); ++i) {
        const double w = 2 * std::numbers::pi * frequency * i / rate;
        const double fit = coef[0] * std::sin(w) + coef[1] * std::cos(w);
        signal += fit * fit;
        const double e = x[i] - fit - coef[2];
        rest += e * e;
    }
    return 10 * std::log10(signal / std::max(rest, 1e-12));
}

double RmsOf(const std::vector<int16_t>& x, size_t edge) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = edge; i + edge < x.size(); ++i, ++n) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / std::max<size_t>(n, 1));
}

class ResamplerTest : public ::testing::Test {
protected:
    std::string In() const { return scratch.file("No BCast input0.wav"); }
    std::string Out() const { return scratch.file("output0.wav"); }
    ScratchFolder scratch;
};

TEST_F(ResamplerTest, OneKilohertzKeepsItsPitchAndPurity) {
    const double amplitude = 0.9 * 32767;
    WriteBytes(In(), PcmWave(1, 44100, 16, Samples16(Sine(1000, 44100, 88200, amplitude))));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.format.samplesPerSecond(), 22010u);
    EXPECT_EQ(out.format.bitsPerSample(), 16u);
    EXPECT_EQ(out.format.channels(), 1u);
    EXPECT_NEAR(static_cast<double>(out.samples.size()), 44020.0, 1.0);
    const double sinad = SinadDb(out.samples, 1000, 22010, 1000);
    // Near the 16-bit limit (about 97 dB for this level).
    EXPECT_GE(sinad, 85.0);
    // Gain: the level stays within 0.1 dB.
    EXPECT_NEAR(20 * std::log10(RmsOf(out.samples, 1000) / (amplitude / std::sqrt(2.0))), 0.0, 0.1);
    RecordProperty("sinad_1khz_db", std::to_string(sinad));
    std::printf("[ figures ] 1 kHz 44100 -> 22010: SINAD %.2f dB\n", sinad);
}

TEST_F(ResamplerTest, FifteenKilohertzIsRejected) {
    const double amplitude = 0.9 * 32767;
    WriteBytes(In(), PcmWave(1, 44100, 16, Samples16(Sine(15000, 44100, 88200, amplitude))));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    const double rms = RmsOf(out.samples, 1000);
    // What is left is below one 16-bit step; a silent output counts as the
    // quantisation floor of half a step.
    const double rejection = 20 * std::log10((amplitude / std::sqrt(2.0)) / std::max(rms, 0.5 / std::sqrt(3.0)));
    EXPECT_GE(rejection, 85.0);
    RecordProperty("rejection_15khz_db", std::to_string(rejection));
    std::printf("[ figures ] 15 kHz 44100 -> 22010: rejection %.2f dB (output RMS %.4f)\n", rejection, rms);
}

TEST_F(ResamplerTest, SirenRatePassesThroughUnchanged) {
    std::vector<int16_t> noise(12345);
    uint32_t seed = 12345;
    for (auto& s : noise) s = static_cast<int16_t>((seed = seed * 1103515245u + 12345u) >> 16);
    noise[0] = -32768, noise[1] = 32767;
    const Bytes data = Samples16(noise);
    WriteBytes(In(), PcmWave(1, 22010, 16, data));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    const Bytes written = ReadBytes(Out());
    ASSERT_EQ(written.size(), 46u + data.size());
    EXPECT_EQ(Bytes(written.begin() + 46, written.end()), data);
}

TEST_F(ResamplerTest, OtherDepthsBecomeSixteenBitsWithRoundingAndClamping) {
    // At the siren rate only the depth changes.
    WriteBytes(In(), PcmWave(1, 22010, 8, {0, 128, 200, 255}));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.samples, (std::vector<int16_t>{-32768, 0, 18432, 32512}));

    // 24-bit: 0x123480 and 0x000080 (halfway) round up, the top value clamps to 32767.
    WriteBytes(In(), PcmWave(1, 22010, 24, {0x80, 0x34, 0x12, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00}));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.samples, (std::vector<int16_t>{0x1235, 32767, -32768, 1}));

    WriteBytes(In(), PcmWave(1, 22010, 32, {0x00, 0x80, 0x34, 0x12, 0x00, 0x00, 0x00, 0x80}));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.samples, (std::vector<int16_t>{0x1235, -32768}));
}

TEST_F(ResamplerTest, OvershootIsClampedNotWrapped) {
    // A full-scale square wave rings past full scale when band-limited.
    std::vector<int16_t> square(44100);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 220) % 2 ? -32768 : 32767;
    WriteBytes(In(), PcmWave(1, 44100, 16, Samples16(square)));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    int highs = 0;
    for (size_t i = 0; i < out.samples.size(); ++i) {
        // Sample i sits at input time i * 44100 / 22010; away from the edges of
        // each half period the sign must follow the input's.
        const double t = i * 44100.0 / 22010.0;
        const double phase = std::fmod(t, 440.0);
        if (phase > 20 && phase < 200) {
            EXPECT_GT(out.samples[i], 16000) << i;
        }
        if (phase > 240 && phase < 420) {
            EXPECT_LT(out.samples[i], -16000) << i;
        }
        highs += out.samples[i] == 32767;
    }
    EXPECT_GT(highs, 0);
}

TEST_F(ResamplerTest, SameInputSameBytesAndChannelsKept) {
    std::vector<int16_t> stereo;
    for (int16_t v : Sine(440, 48000, 24000, 20000))
        stereo.push_back(v), stereo.push_back(static_cast<int16_t>(-v / 2));
    WriteBytes(In(), PcmWave(2, 48000, 16, Samples16(stereo)));
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    const Bytes first = ReadBytes(Out());
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    EXPECT_EQ(ReadBytes(Out()), first);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.format.channels(), 2u);
    EXPECT_EQ(out.format.blockAlign(), 4u);
    EXPECT_NEAR(out.samples.size() / 2.0, 11005.0, 1.0);
}

TEST_F(ResamplerTest, RateLimits) {
    for (uint32_t rate : {4000u, 384000u}) {
        WriteBytes(In(), PcmWave(1, rate, 16, Samples16(Sine(440, rate, rate / 10, 8000))));
        EXPECT_EQ(ResampleWaveFile(In(), Out()), ResampleOk) << rate;
        Decoded out;
        EXPECT_TRUE(Decode(Out(), out));
        EXPECT_NEAR(static_cast<double>(out.samples.size()), 2201.0, 1.0) << rate;
    }
    for (uint32_t rate : {3999u, 384001u}) {
        WriteBytes(In(), PcmWave(1, rate, 16, Samples16({1, 2, 3, 4})));
        EXPECT_EQ(ResampleWaveFile(In(), Out()), ResampleUnsupported) << rate;
        EXPECT_FALSE(std::filesystem::exists(Out())) << rate;
    }
}

TEST_F(ResamplerTest, UnusableInputLeavesNoOutput) {
    struct Case {
        const char* name;
        Bytes file;
        int result;
    };
    const std::vector<Case> cases = {
        {"no samples (stage 1 after a failed open)", RiffWave({Chunk("fmt ", Bytes(18, 0)), Chunk("data", {})}),
         ResampleNoInput},
        {"float", RiffWave({Chunk("fmt ", FmtBody(3, 1, 44100, 32)), Chunk("data", Bytes(8, 0))}), ResampleNoInput},
        {"12-bit", PcmWave(1, 44100, 12, Bytes(8, 0)), ResampleUnsupported},
        {"no channels", PcmWave(0, 44100, 16, Bytes(8, 0)), ResampleUnsupported},
        {"less than a frame", PcmWave(2, 44100, 16, Bytes(2, 0)), ResampleNoSamples},
        {"too short for one output frame", PcmWave(1, 384000, 16, Bytes(4, 9)), ResampleNoSamples},
        {"not a WAV file", Bytes(100, 7), ResampleNoInput},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(Out(), Bytes{1, 2, 3});  // stale output from before
        WriteBytes(In(), c.file);
        EXPECT_EQ(ResampleWaveFile(In(), Out()), c.result);
        EXPECT_FALSE(std::filesystem::exists(Out()));
    }
    EXPECT_EQ(ResampleWaveFile(scratch.file("missing.wav"), Out()), ResampleNoInput);
    EXPECT_FALSE(std::filesystem::exists(Out()));
}

TEST_F(ResamplerTest, SoxMadeTwentyFourBitStereo) {
    if (!HaveTool("sox")) GTEST_SKIP() << "sox not installed";
    // wavpcm: a plain PCM header (sox otherwise writes the extensible form for 24 bits).
    const std::string cmd =
        "sox -n -r 48000 -b 24 -c 2 -t wavpcm '" + In() + "' synth 0.5 sine 1000 sine 1000 gain -3 >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    ASSERT_EQ(ResampleWaveFile(In(), Out()), ResampleOk);
    Decoded out;
    ASSERT_TRUE(Decode(Out(), out));
    EXPECT_EQ(out.format.channels(), 2u);
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.samples.size(); i += 2) left.push_back(out.samples[i]);
    EXPECT_NEAR(static_cast<double>(left.size()), 11005.0, 1.0);
    EXPECT_GE(SinadDb(left, 1000, 22010, 500), 85.0);
}

}  // namespace
