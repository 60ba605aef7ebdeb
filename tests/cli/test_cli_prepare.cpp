// zorvek-cli prepare, say and voices, run as a separate process on sources that
// sox, lame and ffmpeg make (skipped where they are not installed); loudness is
// checked with ffmpeg's ebur128 filter, a meter independent of ours.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "TestFiles.h"
#include "WavTestSupport.h"
#include "audio/AudioDecode.h"
#include "audio/PreparedOutput.h"
#include "audio/Resampler.h"
#include "audio/WaveFile.h"

namespace fs = std::filesystem;
using zorvek::test::HaveTool;

namespace {

struct CliResult {
    int status = -1;
    std::string out, err;
};

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Prepare : public ::testing::Test {
protected:
    zorvek::test::ScratchFolder dir;

    std::string F(const std::string& name) const { return dir.file(name); }

    CliResult Cli(const std::string& args) {
        const std::string command = std::string("'") + ZORVEK_CLI_PATH + "' " + args + " >'" + F("out") + "' 2>'" +
                                    F("err") + "' </dev/null";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(F("out")), Read(F("err"))};
    }
    void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    // ffmpeg's integrated loudness and true peak of a file.
    std::pair<double, double> Meter(const std::string& path) {
        const std::string text = F("meter.txt");
        Shell("ffmpeg -hide_banner -nostats -i '" + path + "' -af ebur128=peak=true -f null - 2>'" + text + "'");
        const std::string log = Read(text);
        std::smatch i, p;
        const std::string summary = log.substr(log.rfind("Summary:"));
        EXPECT_TRUE(std::regex_search(summary, i, std::regex(R"(I:\s+(-?[0-9.]+) LUFS)")));
        EXPECT_TRUE(std::regex_search(summary, p, std::regex(R"(Peak:\s+(-?[0-9.]+|-inf) dBFS)")));
        return {std::stod(i[1]), std::stod(p[1])};
    }
};

TEST_F(Prepare, LoudnessOfQuietLoudAndClippedSourcesMeetsTargetAndCeiling) {
    if (!HaveTool("sox")) GTEST_SKIP() << "sox not installed";
    Shell("cd '" + dir.folder() + "' && sox -R -n -r 44100 -c 2 quiet.wav synth 6 pinknoise vol 0.02 && "
          "sox -R -n -r 48000 loud.wav synth 6 sine 300 sine 1700 remix - vol 0.9 && "
          "sox -R -n -r 44100 -b 16 clipped.wav synth 6 pinknoise vol 4 2>/dev/null");
    for (const char* name : {"quiet", "loud", "clipped"}) {
        const CliResult r = Cli(std::string("prepare ") + F(std::string(name) + ".wav") + " -o " + F("out.wav") +
                          " --loudness -16");
        ASSERT_EQ(r.status, 0) << name << r.err;
        EXPECT_NE(r.out.find("Before:"), std::string::npos);
        EXPECT_NE(r.out.find("After:   6.00 s, -16.0 LUFS"), std::string::npos) << r.out;
        if (!HaveTool("ffmpeg")) continue;
        const auto [loudness, peak] = Meter(F("out.wav"));
        EXPECT_NEAR(loudness, -16, 0.5) << name;
        EXPECT_LE(peak, -1.0) << name;
    }
    // The output is a WAV Program takes as it is: already at its rate and depth.
    zorvek::CWaveFile wave;
    ASSERT_TRUE(wave.Open(F("out.wav")) && wave.Parse() && wave.ReadData());
    EXPECT_EQ(wave.Format().channels(), 1);
    EXPECT_EQ(wave.Format().bitsPerSample(), 16);
    EXPECT_EQ(wave.SampleRate(), zorvek::kSirenSampleRate);
    ASSERT_EQ(zorvek::ResampleWaveFile(F("out.wav"), F("program.wav")), zorvek::ResampleOk);
    zorvek::DecodedAudio prepared, programmed;
    ASSERT_TRUE(zorvek::DecodeAudioFile(F("out.wav"), prepared).ok());
    ASSERT_TRUE(zorvek::DecodeAudioFile(F("program.wav"), programmed).ok());
    EXPECT_TRUE(prepared.mono.samples == programmed.mono.samples);  // sample for sample
}

TEST_F(Prepare, TrimLeavesSoundAtBothEndsAndTheMiddleUntouched) {
    if (!HaveTool("sox")) GTEST_SKIP() << "sox not installed";
    Shell("sox -R -n -r 22010 -b 16 '" + F("padded.wav") + "' synth 2 sine 500 vol 0.5 pad 1.5 2");
    const CliResult r = Cli("prepare " + F("padded.wav") + " -o " + F("out.wav") + " --trim");
    ASSERT_EQ(r.status, 0) << r.err;
    zorvek::DecodedAudio in, out;
    ASSERT_TRUE(zorvek::DecodeAudioFile(F("padded.wav"), in).ok());
    ASSERT_TRUE(zorvek::DecodeAudioFile(F("out.wav"), out).ok());
    const auto& s = out.mono.samples;
    EXPECT_NEAR(out.mono.Seconds(), 2.04, 0.02);
    auto rmsDb = [&](size_t from, size_t count) {
        double sum = 0;
        for (size_t i = from; i < from + count; ++i) sum += double{s[i]} * s[i];
        return 10 * std::log10(sum / static_cast<double>(count));
    };
    const size_t ms50 = 22010 / 20;
    const double level = rmsDb(0, s.size());
    EXPECT_GT(rmsDb(0, ms50), level - 20);
    EXPECT_GT(rmsDb(s.size() - ms50, ms50), level - 20);
    // The tone between, sample for sample.
    const auto& a = in.mono.samples;
    EXPECT_NE(std::search(a.begin(), a.end(), s.begin() + 500, s.end() - 500), a.end());
}

TEST_F(Prepare, FlacOggAndMp3PrepareLikeTheWavTheyCameFrom) {
    if (!HaveTool("sox") || !HaveTool("espeak-ng")) GTEST_SKIP() << "sox or espeak-ng not installed";
    Shell("espeak-ng -w '" + F("speech.wav") +
          "' 'Attention. A flood warning is in force for the river valley. Move to higher ground now.'");
    Shell("cd '" + dir.folder() + "' && sox speech.wav speech.flac && sox speech.wav speech.ogg");
    std::vector<std::string> sources = {"speech.wav", "speech.flac", "speech.ogg"};
    if (HaveTool("lame")) {
        Shell("lame --quiet '" + F("speech.wav") + "' '" + F("speech.mp3") + "'");
        sources.push_back("speech.mp3");
    } else if (HaveTool("ffmpeg")) {
        Shell("ffmpeg -loglevel error -i '" + F("speech.wav") + "' '" + F("speech.mp3") + "'");
        sources.push_back("speech.mp3");
    }
    double seconds = 0;
    for (const std::string& name : sources) {
        const CliResult r = Cli("prepare " + F(name) + " -o " + F(name + ".out.wav") + " --trim --loudness -16 --highpass 250");
        ASSERT_EQ(r.status, 0) << name << r.err;
        zorvek::DecodedAudio out;
        ASSERT_TRUE(zorvek::DecodeAudioFile(F(name + ".out.wav"), out).ok());
        if (seconds == 0) seconds = out.source.seconds;
        EXPECT_NEAR(out.source.seconds, seconds, 0.06) << name;
        EXPECT_NEAR(out.source.loudness, -16, 0.2) << name;
        EXPECT_LE(out.source.truePeak, -1.0) << name;
    }
}

TEST_F(Prepare, SayMakesSpeechAndVoicesListsThem) {
    const CliResult r = Cli("say 'Test message' --voice en -o " + F("say.wav"));
    ASSERT_EQ(r.status, 0) << r.err;
    zorvek::DecodedAudio out;
    ASSERT_TRUE(zorvek::DecodeAudioFile(F("say.wav"), out).ok());
    EXPECT_GT(out.source.seconds, 0.5);
    EXPECT_LT(out.source.seconds, 3.0);
    EXPECT_GT(out.source.loudness, -40);
    const CliResult voices = Cli("voices");
    EXPECT_EQ(voices.status, 0);
    EXPECT_NE(voices.out.find("en-us"), std::string::npos);
}

TEST_F(Prepare, BadInputsExitWithAMessageAndLeaveNoFile) {
    const std::string source = dir.write("speech.txt", "not audio at all");
    dir.write("empty.wav", "");
    const std::vector<uint8_t> silent = zorvek::EncodeSirenWave(std::vector<int16_t>(22010 * 4, 0));
    std::ofstream(F("silent.wav"), std::ios::binary).write(reinterpret_cast<const char*>(silent.data()),
                                                           static_cast<std::streamsize>(silent.size()));
    const std::string out = F("out.wav");
    struct Case {
        std::string args;
        std::string says;
        int status;
    };
    const std::vector<Case> cases = {
        {"prepare " + F("missing.wav") + " -o " + out, "Cannot read", 1},
        {"prepare " + source + " -o " + out, "Not an audio file", 1},
        {"prepare " + F("empty.wav") + " -o " + out, "no samples", 1},
        {"prepare " + F("silent.wav") + " -o " + out + " --loudness -16", "silent", 1},
        {"say 'hello' --voice xx-none -o " + out, "Unknown voice \"xx-none\". Voices: af,", 1},
        {"say '  ' -o " + out, "no text", 1},
        {"prepare " + source + " -o " + out + " --highpass 5", "from 20 to 4000 Hz", 2},
        {"prepare " + source, "prepare needs -o OUT.wav", 2},
        {"say 'hello' -o " + F("no/such/out.wav"), "Cannot create a file in", 1},
        {"prepare " + source + " -o " + source, "", 1},
        {"say 'hello' -o " + dir.folder(), "it is a folder", 1},
    };
    for (const Case& c : cases) {
        const CliResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.args;
    }
    EXPECT_EQ(Read(source), "not audio at all");
    EXPECT_FALSE(fs::exists(F("no")));
}

}  // namespace
