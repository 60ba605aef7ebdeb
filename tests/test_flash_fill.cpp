// The forecast from WAV headers against what the audio stage and the image
// builder really make of the same files.
#include <gtest/gtest.h>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "audio/AudioPipeline.h"
#include "image/FlashFill.h"
#include "operations/RunSummary.h"
#include "operations/SirenOperations.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

class FlashFillTest : public ::testing::Test {
protected:
    void SetUp() override { job.programFolder = program.folder(); }
    // A PCM file with `bytes` data bytes of a ramp, the data chunk declaring `declared`.
    std::string Wav(const std::string& name, uint16_t channels, uint32_t rate, uint16_t bits, size_t bytes,
                    int64_t declared = -1) {
        Bytes data(bytes);
        for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(i * 37);
        WriteBytes(sources.file(name),
                   RiffWave({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", data, declared)}));
        return sources.file(name);
    }

    ScratchFolder program;
    ScratchFolder sources;
    JobState job;
    ScriptedUserPort port;
};

}  // namespace

TEST_F(FlashFillTest, ForecastEqualsWhatTheAudioStageMakes) {
    // Rates up and down, ties of the ratio, odd lengths, several depths and
    // channel counts, a partial last frame.
    const std::vector<std::vector<std::string>> batches = {
        {Wav("a", 1, 44100, 16, 2 * 12345), Wav("b", 2, 8000, 16, 4 * 1001 + 2), Wav("c", 1, 22010, 16, 2 * 777),
         Wav("d", 3, 48000, 24, 9 * 500 + 4), Wav("e", 1, 11025, 8, 5001), Wav("f", 2, 44020, 32, 8 * 301),
         Wav("g", 1, 8804, 16, 2 * 333)},
        {Wav("h", 1, 96000, 16, 2 * 3), Wav("i", 1, 16000, 16, 2 * 4000), Wav("j", 9, 32000, 16, 18 * 77),
         Wav("k", 1, 44100, 16, 2 * 3 + 1), "", "", Wav("m", 1, 384000, 24, 3 * 40)},
    };
    for (const auto& batch : batches) {
        for (int s = 1; s <= kSlotCount; ++s) job.slot(s).wavPath = batch[static_cast<size_t>(s - 1)];
        PreparedAudio audio;
        ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1) << (port.messages.empty() ? "" : port.messages[0].text);
        for (int s = 1; s <= kSlotCount; ++s) {
            if (job.slot(s).wavPath.empty()) continue;
            SCOPED_TRACE(job.slot(s).wavPath);
            const MessageForecast forecast = ForecastMessage(job.slot(s).wavPath);
            ASSERT_TRUE(forecast.usable) << forecast.problem;
            EXPECT_EQ(forecast.packedBytes, audio.PackedSize(s));
            EXPECT_EQ(std::to_string(forecast.convertedSamples) + " samples", job.slot(s).samplesText);
        }
        EXPECT_EQ(ForecastFlashFill(job).used, kAudioStart + audio.audioTotal);
        audio.Release();
    }
}

TEST_F(FlashFillTest, FillHasTheImageLengthAndTheSizeRuleOfProgram) {
    job.slot(7).wavPath = Wav("alarm", 1, 44100, 16, 2 * 44100);
    job.slot(1).wavPath = job.slot(7).wavPath;  // the same file is stored once
    job.slot(2).wavPath = Wav("evacuate", 2, 16000, 16, 4 * 8000);
    FlashFill fill = ForecastFlashFill(job);  // before any flash is identified
    job.flashLastAddress = (2u << 20) - 1;
    FlashImage image;
    SpiLink unused;
    ASSERT_EQ(SirenOperations(job, unused, port).BuildImage(image), OperationOutcome::Success);

    EXPECT_EQ(fill.used, image.size());
    EXPECT_TRUE(fill.capacityAssumed);
    EXPECT_EQ(fill.capacity, 2u << 20);
    ASSERT_EQ(fill.messages.size(), 2u);
    EXPECT_EQ(fill.messages[0].slot, 1);
    EXPECT_EQ(SegmentLabel(fill.messages[0]), "1 2");  // rows of Message 1 and Message 2 share it
    EXPECT_EQ(fill.silenceBytes, 3u);
    EXPECT_EQ(FlashFillSummary(fill).find(" / 2048 KiB (assumed), "), FlashFillSummary(fill).find(" / "));

    // A flash just one byte too small: Program says the files are too big, and so does the fill.
    job.flashLastAddress = static_cast<uint32_t>(image.size() - 1);
    EXPECT_EQ(SirenOperations(job, unused, port).BuildImage(image), OperationOutcome::Failed);
    // The message that does not fit is named, with what it is over (never "0.0 s").
    EXPECT_EQ(port.Texts().back(), std::string(kMsgTooBig) + "\nMessage 3: 0.1 s too long");
    fill = ForecastFlashFill(job);
    EXPECT_FALSE(fill.capacityAssumed);
    EXPECT_FALSE(fill.Fits());
    EXPECT_NE(FlashFillSummary(fill).find(" s too long"), std::string::npos);
    job.flashLastAddress += 1;
    EXPECT_TRUE(ForecastFlashFill(job).Fits());
}

TEST_F(FlashFillTest, FilesProgramWouldRefuseAreMarked) {
    WriteBytes(sources.file("float"), RiffWave({Chunk("fmt ", FmtBody(3, 1, 44100, 32)), Chunk("data", Bytes(64))}));
    const std::vector<std::string> refused = {sources.file("missing"), sources.file("float"),
                                              Wav("12bit", 1, 22010, 12, 64), Wav("slow", 1, 3999, 16, 64),
                                              Wav("one", 1, 44100, 16, 2)};
    for (const std::string& path : refused) {
        SCOPED_TRACE(path);
        const MessageForecast forecast = ForecastMessage(path);
        EXPECT_FALSE(forecast.usable);
        EXPECT_FALSE(forecast.problem.empty());
        job.slot(3).wavPath = path;
        PreparedAudio audio;
        EXPECT_EQ(PrepareMessageAudio(job, port, audio), 0);
        EXPECT_FALSE(ForecastFlashFill(job).allUsable);
    }
}

TEST(RunSummaryTest, SaysHowTheRunEnded) {
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::Success, true, 38, "").text,
              "Programmed and verified, 38 s");
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::Success, false, 35, "").text,
              "Programmed (not verified), 35 s");
    const RunSummary cancelled = SummariseRun(RunKind::Program, OperationOutcome::Cancelled, true, 3, "");
    EXPECT_EQ(cancelled.text, "Cancelled: the siren is NOT completely programmed");
    EXPECT_EQ(cancelled.tone, RunSummary::Tone::Warning);
    const RunSummary failed =
        SummariseRun(RunKind::Program, OperationOutcome::Failed, true, 3, "Chosen files too big for flash chip\nmore");
    EXPECT_EQ(failed.text, "Failed: Chosen files too big for flash chip");
    EXPECT_EQ(failed.tone, RunSummary::Tone::Error);
    // A failure is never passed off as success, even when nothing was said.
    EXPECT_EQ(SummariseRun(RunKind::WriteImage, OperationOutcome::VerifyFailed, true, 3, "").tone,
              RunSummary::Tone::Error);
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::NoAdapter, true, 0, "").text.rfind("Failed: ", 0), 0u);
    EXPECT_LE(SummariseRun(RunKind::Program, OperationOutcome::Failed, true, 0, std::string(300, 'x')).text.size(),
              100u);
    // Speed only for a finished run.
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::Success, true, 38, "", 55 * 1024).text,
              "Programmed and verified, 38 s, 55 KiB/s");
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::Cancelled, true, 3, "", 55 * 1024).text,
              "Cancelled: the siren is NOT completely programmed");
    // A long reason is cut between characters, never inside one ("é" is two bytes).
    const std::string reason = std::string(79, 'x') + "\xC3\xA9" + std::string(40, 'y');
    EXPECT_EQ(SummariseRun(RunKind::Program, OperationOutcome::Failed, true, 0, reason).text,
              "Failed: " + std::string(79, 'x') + "...");
}
