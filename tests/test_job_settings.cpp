#include <gtest/gtest.h>

#include "job/JobState.h"
#include "job/Settings.h"
#include "job/SlotTable.h"

using namespace zorvek;

namespace {
const char* S = kSettingsSection;
}

TEST(FixedLists, ToneBeaconVolumeEntries) {
    EXPECT_EQ(toneEntry(0), "None");
    EXPECT_EQ(toneEntry(1), "1");
    EXPECT_EQ(toneEntry(42), "42");
    EXPECT_EQ(toneEntry(43), "None");
    EXPECT_EQ(toneEntry(44), "44");
    EXPECT_EQ(toneEntry(45), "None");
    EXPECT_EQ(toneEntry(48), "None");
    EXPECT_EQ(toneEntry(64), "64");
    EXPECT_EQ(toneEntry(65), "");
    EXPECT_EQ(toneEntry(-1), "");
    EXPECT_STREQ(kBeaconEntries[3], "Static");
    EXPECT_STREQ(kVolumeEntries[0], "10");
    EXPECT_STREQ(kVolumeEntries[8], "2");
    EXPECT_EQ(volumeLevel(8), 2);
}

TEST(SlotTableData, RowsVersusSlots) {
    // The top row is slot 7, captioned "Message 1", and its volume key is "Vol 1".
    EXPECT_EQ(kRowOrder[0], 7);
    EXPECT_EQ(slotInfo(7).messageNumber, 1);
    EXPECT_STREQ(slotInfo(7).volumeKey, "Vol 1");
    EXPECT_STREQ(slotInfo(7).pathKey, "WAV7 Location");
    EXPECT_STREQ(slotInfo(1).pathKey, "WAV1 Location");
    EXPECT_STREQ(slotInfo(1).volumeKey, "Vol 2");
    EXPECT_EQ(slotInfo(1).messageNumber, 2);
    for (int s = 1; s <= 7; ++s) {
        EXPECT_EQ(slotInfo(s).slot, s);
        EXPECT_EQ(slotInfo(s).tempDigit, s - 1);
        EXPECT_EQ(slotForMessageNumber(slotInfo(s).messageNumber), s);
    }
    EXPECT_EQ(slotForMessageNumber(8), 0);
    EXPECT_THROW(slotInfo(0), std::out_of_range);
}

TEST(Settings, FirstRunOnEmptyStoreGivesDefaults) {
    MemorySettingsStore store;
    JobState job;
    loadSettings(job, store);
    for (const auto& slot : job.slots) {
        EXPECT_EQ(slot.wavPath, "");
        EXPECT_EQ(slot.toneIndex, 0);
        EXPECT_EQ(slot.beaconIndex, 0);
        EXPECT_EQ(slot.volumeIndex, 0);
    }
    EXPECT_EQ(job.usage, Gas);
    EXPECT_EQ(job.verify, 0);
    EXPECT_EQ(job.usbStatusText, "Idle");
}

TEST(Settings, KeyMappingFollowsRowsForVolumeAndSlotsForTheRest) {
    MemorySettingsStore store;
    store.WriteText(S, "WAV1 Location", "/a/one.wav");
    store.WriteText(S, "WAV7 Location", "/a/seven.wav");
    store.WriteInt(S, "Tone 1", 12);
    store.WriteInt(S, "Bcn 1", 2);
    store.WriteInt(S, "Vol 1", 5);  // top row = slot 7
    store.WriteInt(S, "Vol 2", 3);  // slot 1
    store.WriteInt(S, "Vol 7", 8);  // slot 6
    store.WriteInt(S, "Usage", 2);
    store.WriteText(S, "ZMG Location", "/img/");
    JobState job;
    loadSettings(job, store);
    EXPECT_EQ(job.slot(1).wavPath, "/a/one.wav");
    EXPECT_EQ(job.slot(7).wavPath, "/a/seven.wav");
    EXPECT_EQ(job.slot(1).toneIndex, 12);
    EXPECT_EQ(job.slot(1).beaconIndex, 2);
    EXPECT_EQ(job.slot(7).volumeIndex, 5);
    EXPECT_EQ(job.slot(1).volumeIndex, 3);
    EXPECT_EQ(job.slot(6).volumeIndex, 8);
    EXPECT_EQ(job.usage, IndustrialDc);
    EXPECT_EQ(job.imageFolder, "/img/");
}

TEST(Settings, OutOfRangeAndWronglyTypedValues) {
    MemorySettingsStore store;
    store.WriteInt(S, "Tone 1", 70);
    store.WriteInt(S, "Usage", 9);
    store.WriteText(S, "Verify", "yes");  // not an integer: default
    store.WriteInt(S, "WAV2 Location", 4);  // not a text: default
    JobState job;
    job.verify = 1;
    loadSettings(job, store);
    EXPECT_EQ(job.slot(1).toneIndex, 70);
    EXPECT_EQ(job.usage, 9);
    EXPECT_EQ(job.verify, 0);
    EXPECT_EQ(job.slot(2).wavPath, "");
}

TEST(Settings, SaveAllWritesThirtySixKeysInOrder) {
    JobState job;
    job.slot(7).volumeIndex = 4;
    job.slot(3).wavPath = "";
    job.slot(2).wavPath = "/x.wav";
    job.usage = Fire;
    job.hexFolder = "/hex/";
    MemorySettingsStore store;
    saveAllSettings(job, store);
    const auto& log = store.WriteLog();
    ASSERT_EQ(log.size(), 36u);
    std::vector<std::string> expected = {"WAV1 Location", "WAV2 Location", "WAV3 Location", "WAV4 Location",
                                         "WAV5 Location", "WAV6 Location", "WAV7 Location", "Compression",
                                         "Verbose",       "Verify",        "Tone 1",        "Tone 2",
                                         "Tone 3",        "Tone 4",        "Tone 5",        "Tone 6",
                                         "Tone 7",        "Bcn 1",         "Bcn 2",         "Bcn 3",
                                         "Bcn 4",         "Bcn 5",         "Bcn 6",         "Bcn 7",
                                         "Vol 1",         "Vol 2",         "Vol 3",         "Vol 4",
                                         "Vol 5",         "Vol 6",         "Vol 7",         "Usage",
                                         "HEX Location",  "WAV Location",  "ZFG Location",  "ZMG Location"};
    EXPECT_EQ(log, expected);
    // Empty texts are written, not left out.
    EXPECT_TRUE(store.Contains(S, "WAV3 Location"));
    EXPECT_EQ(store.ReadText(S, "WAV3 Location", "missing"), "");
    EXPECT_EQ(store.ReadInt(S, "Vol 1", -9), 4);
    EXPECT_EQ(store.ReadInt(S, "Usage", -9), 1);

    JobState back;
    loadSettings(back, store);
    EXPECT_EQ(back.slot(2).wavPath, "/x.wav");
    EXPECT_EQ(back.slot(7).volumeIndex, 4);
    EXPECT_EQ(back.hexFolder, "/hex/");
}

TEST(Settings, PartialSaveWritesExactlyFiveKeys) {
    MemorySettingsStore store;
    JobState earlier;
    earlier.slot(5).wavPath = "/keep.wav";
    earlier.slot(1).toneIndex = 7;
    earlier.verify = 1;
    saveAllSettings(earlier, store);
    store.ClearWriteLog();

    JobState job;
    job.slot(1).wavPath = "/one.wav";
    job.slot(5).wavPath = "/changed.wav";
    job.verbose = 1;
    savePartialSettings(job, store);
    std::vector<std::string> expected = {"WAV1 Location", "WAV2 Location", "WAV3 Location", "Compression",
                                         "Verbose"};
    EXPECT_EQ(store.WriteLog(), expected);
    JobState back;
    loadSettings(back, store);
    EXPECT_EQ(back.slot(1).wavPath, "/one.wav");
    EXPECT_EQ(back.slot(5).wavPath, "/keep.wav");
    EXPECT_EQ(back.slot(1).toneIndex, 7);
    EXPECT_EQ(back.verify, 1);
    EXPECT_EQ(back.verbose, 1);
}

TEST(Settings, ProgramFolderEndsInSeparator) {
    std::string folder = computeProgramFolder("/ignored/by/proc");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(folder.front(), '/');
}
