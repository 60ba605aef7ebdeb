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
