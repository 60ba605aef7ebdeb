#include "job/Usage.h"

#include "job/SlotTable.h"
#include "job/Translate.h"

namespace zorvek {
namespace {

using Captions = std::array<const char*, kRowCount>;

const std::array<Captions, 4> kCaptionsByUsage = {{
    {ZT("Default Warning Message"), ZT("Stage 1: Alert"), ZT("Stage 2: Gas Release Imminent"), ZT("Stage 3: Gas Released"),
     ZT("(Not Used)"), ZT("(Not Used)"), ZT("Gas Release on Hold")},
    {ZT("Default Warning Message"), ZT("Stage 1: Alert"), ZT("Stage 2: Evacuate"), ZT("(Not Used)"), ZT("Test Message"),
     ZT("Test Over Message"), ZT("(Not Used)")},
    {ZT("Message 1"), ZT("Message 2"), ZT("Message 3"), ZT("Message 4"), ZT("Message 5"), ZT("Message 6"), ZT("Message 7")},
    {ZT("Message 1"), ZT("Message 2"), ZT("Message 3"), ZT("Message 4"), ZT("Not Available"), ZT("Not Available"), ZT("Not Available")},
}};

}  // namespace

const std::array<const char*, kRowCount>& rowCaptions(SirenUsage usage) {
    return kCaptionsByUsage.at(static_cast<size_t>(usage));
}

const std::array<int, 3> kLockableSlots = {4, 5, 6};

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

}  // namespace zorvek
