#include <gtest/gtest.h>

#include "job/SlotTable.h"
#include "job/Usage.h"

using namespace zorvek;

namespace {

JobState filledJob() {
    JobState job;
    for (int s = 1; s <= kSlotCount; ++s) {
        job.slot(s).wavPath = "/snd/m" + std::to_string(s) + ".wav";
        job.slot(s).toneIndex = 10 + s;
        job.slot(s).beaconIndex = 1 + s % 3;
        job.slot(s).volumeIndex = s;
    }
    return job;
}

}  // namespace

TEST(Usage, RowCaptionsPerUsage) {
    auto gas = usagePresentation(Gas);
    ASSERT_TRUE(gas.known);
    EXPECT_EQ(gas.rowCaptions[0], "Default Warning Message");
    EXPECT_EQ(gas.rowCaptions[2], "Stage 2: Gas Release Imminent");
    EXPECT_EQ(gas.rowCaptions[4], "(Not Used)");
    EXPECT_EQ(gas.rowCaptions[6], "Gas Release on Hold");

    auto fire = usagePresentation(Fire);
    EXPECT_EQ(fire.rowCaptions[2], "Stage 2: Evacuate");
    EXPECT_EQ(fire.rowCaptions[3], "(Not Used)");
    EXPECT_EQ(fire.rowCaptions[4], "Test Message");
    EXPECT_EQ(fire.rowCaptions[5], "Test Over Message");

    auto ac = usagePresentation(IndustrialAc);
    EXPECT_EQ(ac.rowCaptions[3], "Message 4");
    for (int r = 4; r < 7; ++r) EXPECT_EQ(ac.rowCaptions[static_cast<size_t>(r)], "Not Available");
}

TEST(Usage, LockingAndBeaconsFollowTheUsage) {
    EXPECT_FALSE(usagePresentation(Gas).lockedRows);
    EXPECT_FALSE(usagePresentation(Fire).lockedRows);
    EXPECT_FALSE(usagePresentation(IndustrialDc).lockedRows);
    EXPECT_TRUE(usagePresentation(IndustrialAc).lockedRows);
    EXPECT_TRUE(usagePresentation(Gas).beaconsVisible);
    EXPECT_TRUE(usagePresentation(Fire).beaconsVisible);
    EXPECT_FALSE(usagePresentation(IndustrialDc).beaconsVisible);
    EXPECT_FALSE(usagePresentation(IndustrialAc).beaconsVisible);
}

TEST(Usage, IndustrialAcClearsSlots4To6ButKeepsTheirVolumes) {
    JobState job = filledJob();
    job.usage = IndustrialAc;
    applyUsageToJob(job);
    for (int s : {4, 5, 6}) {
        EXPECT_EQ(job.slot(s).wavPath, "");
        EXPECT_EQ(job.slot(s).toneIndex, 0);
        EXPECT_EQ(job.slot(s).beaconIndex, 0);
        EXPECT_EQ(job.slot(s).volumeIndex, s);
    }
    for (int s : {1, 2, 3, 7}) {
        EXPECT_EQ(job.slot(s).wavPath, "/snd/m" + std::to_string(s) + ".wav");
        EXPECT_EQ(job.slot(s).toneIndex, 10 + s);
    }
    // Going back does not bring anything back.
    job.usage = Gas;
    applyUsageToJob(job);
    EXPECT_EQ(job.slot(4).wavPath, "");
}

TEST(Usage, OtherUsagesLeaveTheJobAlone) {
    for (int32_t usage : {0, 1, 2, 4, 5, -1, INT32_MIN}) {
        JobState job = filledJob();
        job.usage = usage;
        applyUsageToJob(job);
        EXPECT_EQ(job.slot(5).wavPath, "/snd/m5.wav") << usage;
        EXPECT_EQ(job.slot(5).beaconIndex, filledJob().slot(5).beaconIndex) << usage;
    }
}

TEST(Usage, UnknownUsageChangesNoPresentation) {
    for (int32_t usage : {4, 5, -1, -4, INT32_MAX}) {
        auto p = usagePresentation(usage);
        EXPECT_FALSE(p.known) << usage;
        EXPECT_FALSE(p.lockedRows);
        EXPECT_TRUE(p.rowCaptions[0].empty());
    }
}
