// Reading images back: the message table decoded against what the builder
// wrote, the 12-bit unpacking against the packer, and hostile data refused.
#include <gtest/gtest.h>

#include <random>

#include "audio/WaveFile.h"
#include "image/ImageBuilder.h"
#include "image/ImageInfo.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

// Packs 16-bit samples the way the audio stage does.
std::vector<uint8_t> Pack(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s)));
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
    CWaveFile wave;
    wave.SetSamples(WaveFormatRecord::Pcm(1, 22010, 16), bytes);
    wave.Pack12Bit();
    return wave.PackedBytes();
}

std::vector<int16_t> ReducedSamples(size_t count, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> code(0, 4095);
    std::vector<int16_t> out(count);
    for (auto& s : out) s = static_cast<int16_t>(code(rng) * 16 - 32768);
    if (count >= 4) {
        out[0] = -32768;  // code 0
        out[1] = 32752;   // code 4095
        out[2] = 0;       // silence, 2048
        out[3] = -16;
    }
    return out;
}

TEST(Unpack12Bit, InvertsThePacking) {
    const auto samples = ReducedSamples(1000, 7);
    const auto packed = Pack(samples);
    ASSERT_EQ(packed.size(), 1500u);
    EXPECT_EQ(Unpack12Bit(packed), samples);
    // The silent pair that stands for an empty slot.
    const uint8_t silence[] = {0x00, 0x88, 0x00};
    EXPECT_EQ(Unpack12Bit(silence), (std::vector<int16_t>{0, 0}));
    // Trailing bytes that hold no whole pair are left out.
    EXPECT_EQ(Unpack12Bit(std::span<const uint8_t>(packed.data(), 5)).size(), 2u);
}

class DecodedImage : public ::testing::Test {
protected:
    void Build() {
        SlotAudioSet set{};
        for (int s = 1; s <= kSlotCount; ++s) {
            auto& p = packed[static_cast<size_t>(s - 1)];
            if (p.empty()) p = {0x00, 0x88, 0x00};
            set[static_cast<size_t>(s - 1)] = {p, job.slot(s).wavPath.empty() ? 0u : 22010u};
        }
        ASSERT_EQ(BuildFlashImage(job, set, image), kImageBuilt);
        image[kFirmwareMarkerOffset] = 0;
    }
    std::span<const uint8_t> Data() const { return image.bytes(); }

    JobState job;
    std::array<std::vector<int16_t>, kSlotCount> samples{};
    std::array<std::vector<uint8_t>, kSlotCount> packed{};
    FlashImage image;
};

TEST_F(DecodedImage, MessagesInTheUsersNumbering) {
    // Slot 7 is "Message 1"; slot 2 repeats slot 7's file; slot 4 holds a short message.
    job.slot(7) = {"/a.wav", 49, 2, 3};
    job.slot(1) = {"/b.wav", 12, 0, 8};
    job.slot(2) = {"/a.wav", 64, 3, 1};
    job.slot(4) = {"/c.wav", 47, 1, 0};
    job.slot(5) = {"/d.wav", 0, 0, 0};  // after the short message, so its end is known
    job.dip32Tone = 1;
    samples[6] = ReducedSamples(88040, 1);
    samples[0] = ReducedSamples(400, 2);
    samples[3] = ReducedSamples(4, 3);
    samples[4] = ReducedSamples(10, 4);
    samples[1] = samples[6];
    for (int s : {7, 1, 2, 4, 5}) packed[static_cast<size_t>(s - 1)] = Pack(samples[static_cast<size_t>(s - 1)]);
    Build();

    ImageInfo info;
    ASSERT_TRUE(DecodeImageInfo(Data(), 0x200000, info));
    EXPECT_FALSE(info.erased);
    EXPECT_FALSE(info.wholeFlash);
    EXPECT_TRUE(info.dip32Tone);
    EXPECT_FALSE(info.firmwareUpdate);
    EXPECT_TRUE(info.problems.empty()) << info.problems.front();

    const MessageInfo& m1 = info.messages[0];
    EXPECT_EQ(m1.slot, 7);
    EXPECT_EQ(m1.samples, 88040u);
    EXPECT_NEAR(m1.seconds, 4.0, 0.001);
    EXPECT_EQ(m1.entry.toneCode, 49);
    EXPECT_STREQ(m1.beacon, "Double");
    EXPECT_TRUE(m1.repeat);
    EXPECT_EQ(m1.repeatCount, 0x56);  // 600 s / 6.99995 s
    EXPECT_EQ(m1.volumeLevel, 7);
    EXPECT_EQ(m1.sharesAudioWith, 3);  // slot 2 comes first in the flash

    const MessageInfo& m2 = info.messages[1];  // slot 1: the first audio
    EXPECT_EQ(m2.entry.startAddress, kAudioStart);
    EXPECT_EQ(m2.samples, 400u);
    EXPECT_STREQ(m2.beacon, "None");
    EXPECT_EQ(m2.volumeLevel, 2);

    const MessageInfo& m5 = info.messages[4];  // slot 4: 4 samples, stored with last index 0
    EXPECT_EQ(m5.entry.lastSampleIndex, 0u);
    EXPECT_EQ(m5.samples, 4u);
    EXPECT_EQ(m5.entry.toneCode, 0);  // entry 47 plays no tone
    EXPECT_STREQ(m5.beacon, "Single");

    EXPECT_EQ(info.audioEnd, image.size());
    EXPECT_EQ(info.freeBytes, 0x1FFFFF - static_cast<int64_t>(image.size()));

    for (int n : {1, 2, 3, 5, 6}) {
        std::vector<int16_t> out;
        ASSERT_TRUE(ExtractMessage(Data(), n, out)) << n;
        EXPECT_EQ(out, samples[static_cast<size_t>(slotForMessageNumber(n) - 1)]) << n;
    }
    std::vector<int16_t> empty;
    ASSERT_TRUE(ExtractMessage(Data(), 7, empty));
    EXPECT_EQ(empty, (std::vector<int16_t>{0, 0}));

    const std::string json = FormatImageInfoJson(info, "a \"quoted\"\\name");
    EXPECT_NE(json.find("\"file\":\"a \\\"quoted\\\"\\\\name\""), std::string::npos);
    EXPECT_NE(json.find("\"message\":1,\"slot\":7,\"start\":"), std::string::npos);
    EXPECT_NE(json.find("\"problems\":[]"), std::string::npos);
}

TEST_F(DecodedImage, WholeFlashCountsFreeSpaceAgainstItsOwnSize) {
    Build();
    std::vector<uint8_t> flash(0x40000, kErasedByte);
    std::copy(image.bytes().begin(), image.bytes().end(), flash.begin());
    ImageInfo info;
    ASSERT_TRUE(DecodeImageInfo(flash, 0x200000, info));
    EXPECT_TRUE(info.wholeFlash);
    EXPECT_EQ(info.flashSize, 0x40000u);
    EXPECT_EQ(info.audioEnd, kAudioStart + 3);
    EXPECT_EQ(info.freeBytes, 0x3FFFF - static_cast<int64_t>(kAudioStart + 3));
}

TEST(ImageInfoOutsideData, RefusedOrReported) {
    ImageInfo info;
    std::string error;
    std::vector<uint8_t> shortData(kAudioStart - 1, 0);
    EXPECT_FALSE(DecodeImageInfo(shortData, 0x200000, info, &error));
    EXPECT_NE(error.find("too short"), std::string::npos);

    // An erased siren: nothing to decode, nothing to extract.
    std::vector<uint8_t> erased(0x200000, kErasedByte);
    ASSERT_TRUE(DecodeImageInfo(erased, 0x200000, info));
    EXPECT_TRUE(info.erased);
    std::vector<int16_t> samples;
    EXPECT_FALSE(ExtractMessage(erased, 1, samples, &error));

    // Entries pointing into the table, past the end, and at the 24-bit limit.
    std::vector<uint8_t> hostile(kAudioStart + 30, 0);
    MessageEntry e;
    e.lastSampleIndex = 0xFFFFFF;
    e.startAddress = 0xFFFFFF;
    auto bytes = e.Encode();
    std::copy(bytes.begin(), bytes.end(), hostile.begin() + 60);  // slot 7, "Message 1"
    e = {};
    e.startAddress = 0x10;
    bytes = e.Encode();
    std::copy(bytes.begin(), bytes.end(), hostile.begin());  // slot 1, "Message 2"
    hostile[kVolumeOffset] = 9;
    ASSERT_TRUE(DecodeImageInfo(hostile, 0x200000, info));
    EXPECT_FALSE(info.messages[0].audioInside);
    EXPECT_FALSE(info.messages[1].audioInside);
    EXPECT_EQ(info.messages[1].volumeLevel, 0);
    EXPECT_GE(info.problems.size(), 3u);
    EXPECT_FALSE(ExtractMessage(hostile, 1, samples, &error));
    EXPECT_NE(error.find("outside"), std::string::npos);
    EXPECT_FALSE(ExtractMessage(hostile, 2, samples, &error));
    EXPECT_FALSE(ExtractMessage(hostile, 8, samples, &error));
    EXPECT_TRUE(samples.empty());
}

TEST_F(DecodedImage, AudioErasedToItsEndIsReportedAsAnInterruptedProgramming) {
    job.slot(7) = {"/a.wav", 1, 0, 0};
    job.slot(1) = {"/b.wav", 1, 0, 0};
    samples[6] = ReducedSamples(20000, 5);
    samples[0] = ReducedSamples(20000, 6);
    packed[6] = Pack(samples[6]);
    packed[0] = Pack(samples[0]);
    Build();
    std::vector<uint8_t> flash(0x40000, kErasedByte);
    // Programming stopped on a page inside Message 2 (slot 1, the first in the image).
    const uint32_t stop = (kAudioStart + 0x1000) / 256 * 256;
    std::copy(image.bytes().begin(), image.bytes().begin() + stop, flash.begin());
    ImageInfo info;
    ASSERT_TRUE(DecodeImageInfo(flash, 0x200000, info));
    EXPECT_EQ(info.messages[1].erasedFrom, stop);
    EXPECT_NE(info.messages[0].erasedFrom, 0u);  // wholly erased: from its start
    const std::string text = FormatImageInfoText(info, "siren.zmg");
    EXPECT_NE(text.find(Format("Message 2: audio erased from 0x%06X (an interrupted programming?)", stop)),
              std::string::npos)
        << text;
    // The whole image: nothing erased.
    ASSERT_TRUE(DecodeImageInfo(image.bytes(), 0x200000, info));
    for (const MessageInfo& m : info.messages) EXPECT_EQ(m.erasedFrom, 0u) << m.messageNumber;
}

}  // namespace
}  // namespace zorvek
