// What Listen plays: the samples programming would store, unpacked.
#include <gtest/gtest.h>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "audio/AudioPipeline.h"
#include "audio/MessagePreview.h"
#include "audio/TwelveBit.h"

using namespace zorvek;
using namespace zorvek::test;

TEST(MessagePreviewTest, PlaysExactlyWhatProgrammingStores) {
    ScratchFolder program, sources;
    std::vector<int16_t> stereo;
    for (int i = 0; i < 2 * 3001; ++i) stereo.push_back(static_cast<int16_t>((i * 7919) % 60000 - 30000));
    const std::string path = sources.file("two.wav");
    WriteBytes(path, PcmWave(2, 16000, 16, Samples16(stereo)));

    JobState job;
    job.programFolder = program.folder();
    job.slot(3).wavPath = path;
    ScriptedUserPort port;
    PreparedAudio audio;
    ASSERT_EQ(PrepareMessageAudio(job, port, audio), 1);

    const MessagePreview preview = PreviewMessage(path);
    EXPECT_TRUE(preview.problem.empty());
    EXPECT_EQ(preview.samples, Unpack12Bit({audio.PackedBytes(3), audio.PackedSize(3)}));
    EXPECT_EQ(preview.samples.size(), audio.SampleCount(3));
    EXPECT_EQ(preview.samples.size() % 2, 0u);

    EXPECT_FALSE(PreviewMessage(sources.file("missing.wav")).problem.empty());
}

TEST(MessagePreviewTest, UnpackingGivesTheTwelveBitLevels) {
    // Codes 0x000 and 0xFFF, then the silent pair.
    const uint8_t packed[] = {0x00, 0xF0, 0xFF, 0x00, 0x88, 0x00};
    EXPECT_EQ(Unpack12Bit(packed), (std::vector<int16_t>{-32768, 32752, 0, 0}));
}
