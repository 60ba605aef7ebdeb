#include "job/Usage.h"

#include "job/SlotTable.h"

namespace zorvek {
namespace {

using Captions = std::array<const char*, kRowCount>;

const std::array<Captions, 4> kCaptionsByUsage = {{
    {"Default Warning Message", "Stage 1: Alert", "Stage 2: Gas Release Imminent", "Stage 3: Gas Released",
     "(Not Used)", "(Not Used)", "Gas Release on Hold"},
    {"Default Warning Message", "Stage 1: Alert", "Stage 2: Evacuate", "(Not Used)", "Test Message",
     "Test Over Message", "(Not Used)"},
    {"Message 1", "Message 2", "Message 3", "Message 4", "Message 5", "Message 6", "Message 7"},
    {"Message 1", "Message 2", "Message 3", "Message 4", "Not Available", "Not Available", "Not Available"},
}};

}  // namespace

const std::array<const char*, kRowCount>& rowCaptions(SirenUsage usage) {
    return kCaptionsByUsage.at(static_cast<size_t>(usage));
}

const std::array<int, 15> kLockableControls = {1034, 1049, 1058, 1035, 1050, 1059, 1047, 1055,
                                               1064, 1084, 1085, 1086, 1048, 1056, 1065};
const std::array<int, 3> kLockableSlots = {4, 5, 6};

const std::array<int, kSlotCount> kBeaconListIds = {1073, 1044, 1045, 1046, 1048, 1056, 1065};
const std::array<int, kSlotCount> kBeaconCaptionIds = {1100, 1101, 1102, 1103, 1104, 1105, 1106};

const std::array<TooltipEntry, 4> kTooltips = {{
    {1014, "Select a voice message for stage 1..."},
    {1015, "Select a voice message for stage 2..."},
    {1017, "Select a voice message for stage 3..."},
    {1035, "Select a voice message for stage 4..."},
}};

UsagePresentation usagePresentation(int32_t usage) {
    UsagePresentation p;
    if (!isKnownUsage(usage)) return p;
    p.known = true;
    const auto& captions = rowCaptions(static_cast<SirenUsage>(usage));
    for (int r = 0; r < kRowCount; ++r) p.rowCaptions[static_cast<size_t>(r)] = captions[static_cast<size_t>(r)];
    p.lockedRows = usage == IndustrialAc;
    p.beaconsVisible = usage == Gas || usage == Fire;
    return p;
}

UsagePresentation applyUsageToJob(JobState& job) {
    UsagePresentation p = usagePresentation(job.usage);
    if (!p.lockedRows) return p;
    for (int s : kLockableSlots) job.slot(s).wavPath.clear();
    for (int s : kLockableSlots) job.slot(s).beaconIndex = 0;
    for (int s : kLockableSlots) job.slot(s).toneIndex = 0;
    return p;
}

const char* tooltipFor(int controlId) {
    if (controlId == 0) return nullptr;
    for (const auto& entry : kTooltips)
        if (entry.controlId == controlId) return entry.text;
    return nullptr;
}

}  // namespace zorvek
