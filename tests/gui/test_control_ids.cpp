// The window's control tables: row captions, locking and tooltips by usage.
#include <gtest/gtest.h>

#include <set>

#include "app/ControlIds.h"
#include "job/SlotTable.h"
#include "job/Usage.h"

using namespace zorvek;

TEST(WindowControls, IndustrialDcCaptionsAreTheRowTemplates) {
    // The industrial DC captions are the template's, which number the rows, not the slots.
    auto dc = usagePresentation(IndustrialDc);
    for (int row = 1; row <= kRowCount; ++row) {
        const int slot = kRowOrder[static_cast<size_t>(row - 1)];
        EXPECT_EQ(dc.rowCaptions[static_cast<size_t>(row - 1)], slotControls(slot).rowCaption);
        EXPECT_EQ(rowFrameId(row), slotControls(slot).rowCaptionId);
    }
}

TEST(WindowControls, LockableControlsAreExactlyTheEditableControlsOfSlots4To6) {
    std::set<int> expected;
    for (int s : {4, 5, 6}) {
        const auto& info = slotControls(s);
        expected.insert({info.pathBoxId, info.openButtonId, info.toneListId, info.volumeListId, info.beaconListId});
    }
    EXPECT_EQ(std::set<int>(lockableControls().begin(), lockableControls().end()), expected);
    // Disabled row by row within each kind of control, as the window always did.
    EXPECT_EQ(lockableControls(), (std::vector<int>{1034, 1049, 1058, 1035, 1050, 1059, 1047, 1055, 1064, 1084, 1085,
                                                    1086, 1048, 1056, 1065}));
    for (int r = 0; r < kRowCount; ++r) {
        const auto& info = slotControls(kRowOrder[static_cast<size_t>(r)]);
        EXPECT_EQ(beaconListIds()[static_cast<size_t>(r)], info.beaconListId);
        EXPECT_EQ(beaconCaptionIds()[static_cast<size_t>(r)], info.beaconCaptionId);
    }
}

TEST(WindowControls, TooltipsNameTheFirstFourStagesOnly) {
    EXPECT_STREQ(tooltipFor(1014), "Select a voice message for stage 1...");
    EXPECT_STREQ(tooltipFor(1035), "Select a voice message for stage 4...");
    EXPECT_EQ(tooltipFor(1067), nullptr);  // "WAV &1 Open", the default message
    EXPECT_EQ(tooltipFor(1050), nullptr);
    EXPECT_EQ(tooltipFor(0), nullptr);
    EXPECT_EQ(tooltipFor(2), nullptr);
}
