#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "audio/AudioPipeline.h"
#include "audio/MessageForecast.h"
#include "job/SlotTable.h"

using namespace zorvek;
using namespace zorvek::test;
namespace fs = std::filesystem;

namespace {

const std::string kOpenFailure1 =
    "Failed to open file specified for message 1.\nCheck file exists and it is Uncompressed PCM.\n(check Help)";

// The bytes Pack12Bit must give for 16-bit samples, worked out independently.
Bytes ExpectedPacked(std::vector<int16_t> samples) {
    if (samples.size() % 2) samples.pop_back();
    Bytes out;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        auto code = [](int s) {
            const int reduced = s >= 32759 ? 32752 : static_cast<int>(std::floor((s + 8) / 16.0)) * 16;
            return reduced / 16 + 2048;
        };
        const int a = code(samples[i]), b = code(samples[i + 1]);
        out.push_back(static_cast<uint8_t>(a & 0xFF));
        out.push_back(static_cast<uint8_t>((a >> 8) | ((b >> 8) << 4)));
        out.push_back(static_cast<uint8_t>(b & 0xFF));
    }
    return out.empty() ? Bytes{0x00, 0x88, 0x00} : out;
}

int WriteGarbageForSlotOne(const std::string& input, const std::string& output, uint32_t rate, uint32_t bits) {
    if (output.ends_with("output0.wav")) {
        WriteBytes(output, Bytes(40, 'z'));
        return 0;
    }
    return ResampleWaveFile(input, output, rate, bits);
}

class PipelineTest : public ::testing::Test {
protected:
    void SetUp() override {
        job.programFolder = program.folder();
        if (const char* previous = std::getenv("XDG_CACHE_HOME")) savedCache = previous;
        ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    }
    void TearDown() override {
        if (savedCache.empty())
            ::unsetenv("XDG_CACHE_HOME");
        else
            ::setenv("XDG_CACHE_HOME", savedCache.c_str(), 1);
    }
    std::string Source(const std::string& name) const { return sources.file(name); }
    // The work folder: the user's cache, whatever the program's folder.
    std::string Work(const std::string& name = "") const { return cache.folder() + "Zorvek/" + name; }
    bool TempExists(const std::string& name) const { return fs::exists(Work(name)); }

    ScratchFolder program;
    ScratchFolder cache;
    std::string savedCache;
    ScratchFolder sources;
    JobState job;
    ScriptedUserPort port;
    PreparedAudio audio;
};

TEST_F(PipelineTest, NoFileAtAllGivesSevenSilencePairs) {
    for (auto& slot : job.slots) slot.channelsText = "was", slot.bitsText = "was";
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(audio.audioTotal, 3u);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(audio.PackedSize(slot), 3u);
        EXPECT_EQ(Bytes(audio.PackedBytes(slot), audio.PackedBytes(slot) + 3), (Bytes{0x00, 0x88, 0x00}));
        EXPECT_EQ(audio.SampleCount(slot), 2u);
        EXPECT_EQ(audio.SampleRate(slot), 0u);
        EXPECT_EQ(job.slot(slot).rateText, "0 samples/s");
        EXPECT_EQ(job.slot(slot).samplesText, "0 samples");
        EXPECT_EQ(job.slot(slot).channelsText, "was");
        EXPECT_EQ(job.slot(slot).bitsText, "was");
        EXPECT_FALSE(TempExists(BroadcastFreeName(slot - 1)));
    }
    EXPECT_EQ(port.exchanges, 1);
}

TEST_F(PipelineTest, SameFileTwiceIsConvertedForBothAndCountedOnce) {
    // At the siren rate the chain is exact: reduce, drop the odd sample, pack.
    const std::vector<int16_t> samples{0, -16, 7, 8, -9, 32767, -32768};
    WriteBytes(Source("a.wav"), PcmWave(1, 22010, 16, Samples16(samples)));
    job.slot(1).wavPath = Source("a.wav");
    job.slot(3).wavPath = Source("a.wav");
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_TRUE(port.messages.empty());

    const Bytes expected = ExpectedPacked(samples);
    ASSERT_EQ(expected.size(), 9u);
    for (int slot : {1, 3}) {
        SCOPED_TRACE(slot);
        ASSERT_EQ(audio.PackedSize(slot), 9u);
        EXPECT_EQ(Bytes(audio.PackedBytes(slot), audio.PackedBytes(slot) + 9), expected);
        EXPECT_EQ(audio.SampleCount(slot), 6u);
        EXPECT_EQ(audio.SampleRate(slot), 22010u);
        EXPECT_EQ(job.slot(slot).channelsText, "Mono");
        EXPECT_EQ(job.slot(slot).rateText, "22010 samples/s");
        EXPECT_EQ(job.slot(slot).bitsText, "16-bit");
        EXPECT_EQ(job.slot(slot).samplesText, "7 samples");
        const int digit = slot - 1;
        EXPECT_TRUE(TempExists(BroadcastFreeName(digit)));
        EXPECT_TRUE(TempExists(ResampledName(digit)));
        EXPECT_TRUE(TempExists(TwelveBitOutputName(digit)));
    }
    // Slot 1, slot 2's silence; slot 3 repeats slot 1, slots 4..7 repeat slot 2.
    EXPECT_EQ(audio.audioTotal, 9u + 3u);
    EXPECT_TRUE(IsDistinctSlot(job, 2));
    EXPECT_FALSE(IsDistinctSlot(job, 3));
    EXPECT_FALSE(IsDistinctSlot(job, 4));

    RemoveTemporaryFiles(job, port, audio);
    EXPECT_TRUE(fs::is_empty(program.path()));
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(audio.PackedSize(1), 9u);  // the samples stay for programming
}

TEST_F(PipelineTest, BroadcastStereoSourceReachesTheResamplerAsBareMono) {
    std::vector<int16_t> frames;
    for (int i = 0; i < 4410; ++i) frames.push_back(static_cast<int16_t>(i * 7)), frames.push_back(-1000);
    WriteBytes(Source("bwf.wav"),
               RiffWave({Chunk("bext", Bytes(602, 'b')), Chunk("LIST", Bytes(27, 'l')),
                         Chunk("fmt ", FmtBody(1, 2, 44100, 16)), Chunk("data", Samples16(frames))}));
    job.slot(2).wavPath = Source("bwf.wav");
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_TRUE(port.messages.empty());

    const Bytes bare = ReadBytes(Work(BroadcastFreeName(1)));
    ASSERT_EQ(bare.size(), 46u + 8820u);
    EXPECT_EQ(IdAt(bare, 12), "fmt ");
    EXPECT_EQ(Le32At(bare, 16), 18u);
    EXPECT_EQ(IdAt(bare, 38), "data");
    EXPECT_EQ(bare[22], 1);  // one channel
    std::vector<int16_t> left;
    for (size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i]);
    EXPECT_EQ(Bytes(bare.begin() + 46, bare.end()), Samples16(left));

    EXPECT_EQ(job.slot(2).channelsText, "Mono");
    EXPECT_EQ(job.slot(2).rateText, "22010 samples/s");
    EXPECT_EQ(job.slot(2).samplesText, "2201 samples");
    EXPECT_EQ(audio.PackedSize(2), 3u * 1100u);
}

TEST_F(PipelineTest, MissingFileForSlotSevenStopsProgramming) {
    job.slot(7).wavPath = Source("gone.wav");
    EXPECT_EQ(PrepareMessageAudio(job, port, audio), 0);
    // Each box about the file names the message and the file chosen for it.
    const std::string failure = kOpenFailure1 + "\nMessage 1: " + Source("gone.wav");
    EXPECT_EQ(port.Texts(), (std::vector<std::string>{failure, "Broadcast WAV Eliminate NOT successful.", failure,
                                                      "Siren has NOT been programmed."}));
    EXPECT_EQ(port.messages[0].caption, "Zorvek");
    EXPECT_EQ(port.messages[1].caption, kProgramTitle);
    EXPECT_EQ(port.messages[3].caption, kProgramTitle);
    // Stage 1 still wrote the slot's file, without samples; it stays for now.
    const Bytes bare = ReadBytes(Work(BroadcastFreeName(6)));
    ASSERT_EQ(bare.size(), 46u);
    EXPECT_EQ(Le32At(bare, 42), 0u);
    EXPECT_FALSE(TempExists(ResampledName(6)));
}

TEST_F(PipelineTest, CompressedSourceStopsProgrammingAfterItsMessage) {
    WriteBytes(Source("float.wav"), RiffWave({Chunk("fmt ", FmtBody(3, 1, 44100, 32)), Chunk("data", Bytes(400, 0))}));
    job.slot(1).wavPath = Source("float.wav");
    EXPECT_EQ(PrepareMessageAudio(job, port, audio), 0);
    ASSERT_EQ(port.messages.size(), 3u);
    EXPECT_EQ(port.messages[0].text, "Waveform is compressed. Sorry.\nMessage " +
                                         std::to_string(slotInfo(1).messageNumber) + ": " + Source("float.wav"));
    EXPECT_EQ(port.messages[2].text, "Siren has NOT been programmed.");
}

// A data chunk claiming far more than the file holds: never programmed as a shorter message.
TEST_F(PipelineTest, AMessageCutShortStopsProgrammingAndTheGaugeCountsNone) {
    WriteBytes(Source("cut.wav"),
               RiffWave({Chunk("fmt ", FmtBody(1, 1, 16000, 16)), Chunk("data", Bytes(2000, 1), 0xFFFFFFF0)}));
    job.slot(3).wavPath = Source("cut.wav");
    EXPECT_EQ(PrepareMessageAudio(job, port, audio), 0);
    EXPECT_TRUE(port.SawContaining("Failed to read data chunk in file."));
    EXPECT_TRUE(port.Saw("Siren has NOT been programmed."));
    EXPECT_FALSE(ForecastMessage(Source("cut.wav")).usable);
}

TEST_F(PipelineTest, UnreadableResampledFileLeavesTheSlotSilent) {
    WriteBytes(Source("a.wav"), PcmWave(1, 22010, 16, Samples16({100, 200, 300, 400})));
    job.slot(1).wavPath = Source("a.wav");
    job.slot(2).wavPath = Source("a.wav");
    ASSERT_EQ(PrepareMessageAudio(job, port, audio, &WriteGarbageForSlotOne), 1);
    // The temporary file is not the person's concern: the box names the file they chose.
    EXPECT_EQ(port.Texts(),
              (std::vector<std::string>{"No embedded WAVE format within file.\nMessage " +
                                        std::to_string(slotInfo(1).messageNumber) + ": " + Source("a.wav")}));
    EXPECT_EQ(Bytes(audio.PackedBytes(1), audio.PackedBytes(1) + 3), (Bytes{0x00, 0x88, 0x00}));
    EXPECT_EQ(audio.PackedSize(2), 6u);
    // Slot 2 repeats slot 1's path: only slot 1 and slot 3 (first empty) count.
    EXPECT_EQ(audio.audioTotal, 3u + 3u);
}

TEST_F(PipelineTest, WithoutResamplerProgrammingEndsSilently) {
    WriteBytes(Source("a.wav"), PcmWave(1, 22010, 16, Samples16({1, 2})));
    job.slot(4).wavPath = Source("a.wav");
    EXPECT_EQ(PrepareMessageAudio(job, port, audio, nullptr), 0);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_TRUE(TempExists(BroadcastFreeName(3)));
}

TEST_F(PipelineTest, VerboseCleanUpReportsEveryMissingName) {
    job.verbose = 1;
    RemoveTemporaryFiles(job, port, program.folder());
    ASSERT_EQ(port.messages.size(), 22u);
    const std::string f = program.folder();
    EXPECT_EQ(port.messages[0].text, f + "tarn.bat was not found.");
    EXPECT_EQ(port.messages[1].text, f + "output0.wav was not found.");
    EXPECT_EQ(port.messages[2].text, f + "12-bit output0.wav was not found.");
    EXPECT_EQ(port.messages[3].text, f + "No BCast input0.wav was not found.");
    EXPECT_EQ(port.messages[21].text, f + "No BCast input6.wav was not found.");
    EXPECT_EQ(port.messages[0].caption, kProgramTitle);

    // A name that cannot be deleted for another reason gets its own text.
    ScriptedUserPort other;
    fs::create_directory(program.file("tarn.bat"));
    fs::create_directory(program.file("tarn.bat/inside"));
    RemoveTemporaryFiles(job, other, program.folder());
    EXPECT_EQ(other.messages[0].text, "Access to " + f + "tarn.bat was denied.");

    // Not verbose: silent.
    job.verbose = 0;
    ScriptedUserPort quiet;
    RemoveTemporaryFiles(job, quiet, program.folder());
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(PipelineTest, StartRemovesOutputOfAnEarlierRun) {
    fs::create_directories(Work());
    fs::permissions(Work(), fs::perms::owner_all);  // as the program makes it: only then is it used
    WriteBytes(Work("tarn.bat"), Bytes{1});
    WriteBytes(Work(ResampledName(5)), PcmWave(1, 22010, 16, Samples16({1, 2, 3, 4})));
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_FALSE(TempExists("tarn.bat"));
    EXPECT_FALSE(TempExists(ResampledName(5)));
}

TEST_F(PipelineTest, WorkFilesGoToThePrivateUserCacheNeverBesideTheProgram) {
    // A writable program folder (/usr/bin under sudo) is not used.
    EXPECT_EQ(AudioWorkFolder(job), Work());
    WriteBytes(Source("a.wav"), PcmWave(1, 22010, 16, Samples16({1, 2, 3, 4})));
    job.slot(1).wavPath = Source("a.wav");
    EXPECT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_TRUE(TempExists("output0.wav"));
    EXPECT_TRUE(fs::is_empty(program.path()));
    EXPECT_EQ(fs::status(Work()).permissions() & fs::perms::all, fs::perms::owner_all);
    RemoveTemporaryFiles(job, port, audio);
    EXPECT_FALSE(TempExists("output0.wav"));

    ::unsetenv("XDG_CACHE_HOME");
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(AudioWorkFolder(job), std::string(home) + "/.cache/Zorvek/");
    }
}

TEST_F(PipelineTest, ConcurrentRunsNeverShareTemporaryFiles) {
    WriteBytes(Source("a.wav"), PcmWave(1, 22010, 16, Samples16({1, 2, 3, 4})));
    job.slot(1).wavPath = Source("a.wav");

    // Another run holds the program folder.
    auto other = AudioWorkspace::Acquire(job);
    ASSERT_TRUE(other->IsLocked());
    EXPECT_FALSE(other->IsPrivate());
    WriteBytes(Work(ResampledName(0)), Bytes{'o', 't', 'h', 'e', 'r'});

    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    const std::string own = audio.Folder();
    EXPECT_NE(own, Work());
    EXPECT_TRUE(fs::exists(own + ResampledName(0)));
    EXPECT_EQ(ReadBytes(Work(ResampledName(0))), (Bytes{'o', 't', 'h', 'e', 'r'}));
    EXPECT_EQ(audio.PackedSize(1), 6u);
    RemoveTemporaryFiles(job, port, audio);
    EXPECT_FALSE(fs::exists(own));  // the private folder goes with the run
    EXPECT_TRUE(TempExists(ResampledName(0)));
    // A clean-up outside any run leaves the other run's files alone too.
    RemoveTemporaryFiles(job, port);
    EXPECT_TRUE(TempExists(ResampledName(0)));

    // Once the other run is done, the shared folder is free again.
    other.reset();
    RemoveTemporaryFiles(job, port);
    EXPECT_FALSE(TempExists(ResampledName(0)));
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_EQ(audio.Folder(), Work());
}

TEST_F(PipelineTest, SpokenAndSynthesisedMessages) {
    if (!HaveTool("espeak-ng") || !HaveTool("sox")) GTEST_SKIP() << "espeak-ng or sox not installed";
    const std::string speech = Source("speech.wav");
    const std::string tone = Source("tone.wav");
    ASSERT_EQ(std::system(("espeak-ng -w '" + speech + "' 'Gas alarm. Leave the building.' >/dev/null 2>&1").c_str()),
              0);
    ASSERT_EQ(
        std::system(("sox -n -r 44100 -b 16 -c 2 '" + tone + "' synth 1.5 sine 600 sine 900 >/dev/null 2>&1").c_str()),
        0);
    job.slot(7).wavPath = speech;
    job.slot(1).wavPath = tone;
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);
    EXPECT_TRUE(port.messages.empty());

    CWaveFile source;
    ASSERT_EQ(source.Open(speech), 1);
    ASSERT_EQ(source.Parse(), 1);
    ASSERT_EQ(source.ReadData(), 1);
    const double seconds = source.DataSize() / 2.0 / source.Format().samplesPerSecond();
    EXPECT_NEAR(audio.SampleCount(7), seconds * 22010, 2.0);
    EXPECT_EQ(job.slot(7).rateText, "22010 samples/s");
    EXPECT_EQ(job.slot(1).channelsText, "Mono");
    EXPECT_NEAR(audio.SampleCount(1), 1.5 * 22010, 2.0);
    EXPECT_EQ(audio.audioTotal, uint64_t{audio.PackedSize(1)} + 3 + audio.PackedSize(7));

    // The speech is not silence: its codes spread around mid-scale.
    const uint8_t* p = audio.PackedBytes(7);
    int loud = 0;
    for (uint32_t i = 0; i < audio.PackedSize(7); i += 3) {
        const int a = p[i] | (p[i + 1] & 0x0F) << 8;
        const int b = p[i + 2] | (p[i + 1] >> 4) << 8;
        loud += (std::abs(a - 2048) > 64) + (std::abs(b - 2048) > 64);
    }
    EXPECT_GT(loud, 1000);
}

}  // namespace
