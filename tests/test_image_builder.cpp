// The flash image, checked byte by byte against values worked out by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "ScriptedUserPort.h"
#include "TestFiles.h"
#include "image/FirmwareHexLoader.h"
#include "image/ImageBuilder.h"
#include "image/SlotCodes.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t> kSilence = {0x00, 0x88, 0x00};

std::vector<uint8_t> Ramp(uint8_t first, size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class ImageBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = scratch_.path();
        job_.programFolder = dir_.string() + "/";
        for (auto& a : audio_) a = {kSilence, 0};
    }

    std::string WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }

    FlashImage Build() {
        FlashImage image;
        std::string problem;
        EXPECT_EQ(BuildFlashImage(job_, audio_, image, &problem), kImageBuilt) << problem;
        return image;
    }

    test::ScratchFolder scratch_;
    fs::path dir_;
    JobState job_;
    SlotAudioSet audio_{};
    test::ScriptedUserPort port_;
};

TEST_F(ImageBuilderTest, SmallJobMatchesHandWorkedBytes) {
    const auto a = Ramp(0x10, 30), b = Ramp(0x40, 12), c = Ramp(0x60, 9), capitalA = Ramp(0x80, 6);
    struct Row {
        const char* path;
        const std::vector<uint8_t>* audio;
        uint32_t rate;
        int tone, beacon, volume;
    };
    const Row rows[kSlotCount] = {
        {"/job/a.wav", &a, 22010, 47, 0, 0},   // tone 47 plays no tone
        {"", &kSilence, 0, 49, 1, 1},          // empty: two silent samples
        {"/job/a.wav", nullptr, 0, 64, 2, 2},  // shares slot 1's samples
        {"/job/b.wav", &b, 8, 50, 3, 3},
        {"", nullptr, 0, 43, 0, 4},  // shares slot 2's silence
        {"/job/c.wav", &c, 22010, 5, 1, 8},
        {"/job/A.wav", &capitalA, 22010, 48, 2, 7},  // paths compare case-sensitively
    };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const Row& r = rows[slot - 1];
        job_.slot(slot).wavPath = r.path;
        job_.slot(slot).toneIndex = r.tone;
        job_.slot(slot).beaconIndex = r.beacon;
        job_.slot(slot).volumeIndex = r.volume;
        audio_[static_cast<size_t>(slot - 1)] =
            r.audio ? SlotAudio{*r.audio, r.rate} : SlotAudio{std::span<const uint8_t>(), 0};
    }
    job_.dip32Tone = 1;
    job_.firmwareUpdate = 1;
    const std::string hex = test::HexRecord(0xE000, {0x02, 0x03}) + "\n" + test::HexRecord(0xFDFE, {0x5A}) + "\n" +
                            test::HexRecord(0xFFFF, {0x22}) + "\n" + test::kHexEndRecord + "\n";
    job_.firmwarePath = WriteFile("fw.hex", hex);
    WriteFile(kVolumeTestFileName, "");

    FlashImage image = Build();
    ASSERT_EQ(ApplyFirmware(job_, port_, image), kHexLoaded);

    const std::vector<uint8_t> head = {
        0x00, 0x00, 0x13, 0x00, 0x21, 0x00, 0x00, 0x30, 0x00, 0x01,  // slot 1
        0x00, 0x00, 0x00, 0x00, 0x21, 0x1E, 0x31, 0x00, 0x80, 0xC8,  // slot 2: 600 s / 3 s = 200
        0x00, 0x00, 0x13, 0x00, 0x21, 0x00, 0x40, 0x10, 0x80, 0x01,  // slot 3
        0x00, 0x00, 0x07, 0x00, 0x21, 0x21, 0x32, 0x20, 0x80, 0x1F,  // slot 4: 120 s / 3.875 s = 31
        0x00, 0x00, 0x00, 0x00, 0x21, 0x1E, 0x00, 0x30, 0x00, 0x01,  // slot 5
        0x00, 0x00, 0x00, 0x00, 0x21, 0x2D, 0x05, 0x00, 0x00, 0x01,  // slot 6: 6 samples
        0x00, 0x00, 0x00, 0x00, 0x21, 0x36, 0x00, 0x10, 0x00, 0x01,  // slot 7
        0x01,                                                        // 32-tone DIP mode
        0x00, 0x01, 0x02, 0x03, 0x04, 0x08, 0x07,                    // volumes of slots 1..7
    };
    std::vector<uint8_t> expected(0x213C, 0xFF);
    std::copy(head.begin(), head.end(), expected.begin());
    expected[0x100] = 0x02;
    expected[0x101] = 0x03;
    expected[0x1EFE] = 0x5A;
    expected[0x20FF] = 0x22;
    size_t at = 0x2100;
    for (const auto* part : {&a, &kSilence, &b, &c, &capitalA}) {
        std::copy(part->begin(), part->end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
        at += part->size();
    }
    ASSERT_EQ(image.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(image[i], expected[i]) << "offset 0x" << std::hex << i;

    EXPECT_EQ(job_.flashIdText, " (HEX Found)");
    ASSERT_EQ(port_.Texts(), std::vector<std::string>{"Updating Siren Tone Volumes with HEX!!!"});
    EXPECT_EQ(image.entry(4), (MessageEntry{7, 0x2121, 50, 0x20, 0x801F}));
}

TEST_F(ImageBuilderTest, JobWithoutFilesHoldsOneSilentMessage) {
    FlashImage image = Build();
    ASSERT_EQ(image.size(), 0x2103u);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        EXPECT_EQ(image.entry(slot), (MessageEntry{0, 0x2100, 0, 0x30, 0x0001})) << slot;
    EXPECT_EQ(image[0x2100], 0x00);
    EXPECT_EQ(image[0x2101], 0x88);
    EXPECT_EQ(image[0x2102], 0x00);
    EXPECT_EQ(image[0x46], 0x00);
    for (size_t i = 0x4E; i < 0x2100; ++i) ASSERT_EQ(image[i], 0xFF) << i;
}

TEST_F(ImageBuilderTest, LongMessageRepeatCounts) {
    // 88 040 samples at 22 010 samples/s last 4 s; with the 3 s pause 600 s hold 86 periods.
    std::vector<uint8_t> packed(88040 / 2 * 3, 0x00);
    job_.slot(1).wavPath = "/long.wav";
    job_.slot(1).toneIndex = 49;
    job_.slot(2).wavPath = "/long.wav";
    job_.slot(2).toneIndex = 50;
    job_.slot(3).wavPath = "/long.wav";
    job_.slot(3).toneIndex = 64;
    audio_[0] = {packed, 22010};
    FlashImage image = Build();
    EXPECT_EQ(image.entry(1).lastSampleIndex, 88039u);
    EXPECT_EQ(image.entry(1).repeatWord, 0x8056);
    EXPECT_EQ(image.entry(2).repeatWord, 0x8011);  // 120 s / 7 s = 17.1
    EXPECT_EQ(image.entry(3).repeatWord, 0x8001);
    EXPECT_EQ(image.size(), 0x2100 + packed.size() + 3);
    EXPECT_EQ(image.entry(4).startAddress, 0x2100 + packed.size());

    // Without a known rate only the pause counts.
    EXPECT_EQ(RepeatWord(49, 88039, 0), 0x8000 + 200);
    EXPECT_EQ(RepeatWord(1, 88039, 22010), 0x0001);
    EXPECT_EQ(RepeatWord(0, 88039, 22010), 0x0001);
}

TEST_F(ImageBuilderTest, FirmwareMarkerFollowsTheUpdateFlag) {
    job_.firmwarePath = WriteFile("fw.hex", test::HexRecord(0xFDFE, {0x5A}) + "\n" + test::kHexEndRecord);

    FlashImage without = Build();
    EXPECT_EQ(ApplyFirmware(job_, port_, without), kHexLoaded);
    job_.firmwareUpdate = 1;
    FlashImage with = Build();
    EXPECT_EQ(ApplyFirmware(job_, port_, with), kHexLoaded);
    EXPECT_EQ(without[0x1EFE], 0x00);
    EXPECT_EQ(with[0x1EFE], 0x5A);
    without[0x1EFE] = 0x5A;
    EXPECT_TRUE(std::equal(with.bytes().begin(), with.bytes().end(), without.bytes().begin()));
    EXPECT_TRUE(port_.messages.empty());
}

TEST_F(ImageBuilderTest, UnusableFirmwareFileMeansNoUpdate) {
    job_.firmwareUpdate = 1;
    job_.firmwarePath = (dir_ / "absent.hex").string();
    FlashImage image = Build();
    EXPECT_EQ(ApplyFirmware(job_, port_, image), kHexNotFound);
    EXPECT_EQ(image[0x1EFE], 0x00);
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_EQ(port_.messages[0].text, "Firmware file not found.\nUpdate not possible.");
    EXPECT_EQ(port_.messages[0].caption, "Warning!");
    EXPECT_EQ(job_.flashIdText, "");

    // A damaged file is reported, then treated the same way.
    port_.messages.clear();
    job_.firmwarePath = WriteFile("bad.hex", ":01FDFE005A00\n");
    image = Build();
    EXPECT_EQ(ApplyFirmware(job_, port_, image), kHexInvalid);
    EXPECT_EQ(image[0x1EFE], 0x00);
    for (size_t i = 0x100; i < 0x2100; ++i) {
        if (i != 0x1EFE) {
            ASSERT_EQ(image[i], 0xFF) << i;
        }
    }
    ASSERT_EQ(port_.messages.size(), 2u);
    EXPECT_EQ(port_.messages[0].text.rfind("Invalid hex file\nLine 1: bad checksum", 0), 0u);
    EXPECT_EQ(port_.messages[1].text, "Firmware file not found.\nUpdate not possible.");
}

TEST_F(ImageBuilderTest, SettingsWithoutEncodingAreRefused) {
    FlashImage image;
    std::string problem;
    job_.slot(7).toneIndex = -1;
    EXPECT_EQ(BuildFlashImage(job_, audio_, image, &problem), kImageBadSetting);
    EXPECT_EQ(problem, "Message 1: no Siren Tone is selected.");
    EXPECT_EQ(image.size(), 0u);

    job_.slot(7).toneIndex = 64;
    job_.slot(2).beaconIndex = 4;
    EXPECT_EQ(BuildFlashImage(job_, audio_, image, &problem), kImageBadSetting);
    EXPECT_EQ(problem, "Message 3: Beacon 4 is not in the list.");

    job_.slot(2).beaconIndex = 3;
    job_.slot(6).volumeIndex = 9;
    EXPECT_EQ(BuildFlashImage(job_, audio_, image, &problem), kImageBadSetting);
    EXPECT_EQ(problem, "Message 7: Siren Vol 9 is not in the list.");

    job_.slot(6).volumeIndex = 8;
    job_.slot(1).toneIndex = 65;
    EXPECT_EQ(UnencodableSettingMessage(job_), "Message 2: Siren Tone 65 is not in the list.");
    EXPECT_FALSE(CheckSlotSettings(job_, port_));
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_EQ(port_.messages[0].text, "Message 2: Siren Tone 65 is not in the list.\nSiren has NOT been programmed.");
    job_.slot(1).toneIndex = 0;
    EXPECT_EQ(UnencodableSettingMessage(job_), "");
    EXPECT_TRUE(CheckSlotSettings(job_, port_));
    EXPECT_EQ(port_.messages.size(), 1u);
}

TEST_F(ImageBuilderTest, BrokenAudioIsRefused) {
    FlashImage image;
    const std::vector<uint8_t> four(4, 0);
    job_.slot(1).wavPath = "/x.wav";
    audio_[0] = {four, 22010};
    EXPECT_EQ(BuildFlashImage(job_, audio_, image), kImageBadAudio);
    audio_[0] = {std::span<const uint8_t>(), 22010};
    EXPECT_EQ(BuildFlashImage(job_, audio_, image), kImageBadAudio);
    EXPECT_EQ(image.size(), 0u);
}

TEST_F(ImageBuilderTest, DistinctSlotsCompareExactPaths) {
    job_.slot(1).wavPath = "/a.wav";
    job_.slot(2).wavPath = "/A.wav";
    job_.slot(3).wavPath = "/a.wav";
    job_.slot(4).wavPath = "";
    job_.slot(5).wavPath = "";
    job_.slot(6).wavPath = "/a.wav ";
    job_.slot(7).wavPath = "/A.wav";
    const bool distinct[kSlotCount] = {true, true, false, true, false, true, false};
    for (int slot = 1; slot <= kSlotCount; ++slot) EXPECT_EQ(IsDistinctSlot(job_, slot), distinct[slot - 1]) << slot;
    EXPECT_EQ(FirstSlotWithSamePath(job_, 7), 2);
    EXPECT_EQ(AudioTotal(job_, audio_), 4 * 3u);
}

}  // namespace
}  // namespace zorvek
