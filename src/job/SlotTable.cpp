#include "job/SlotTable.h"

#include <stdexcept>

#include "job/Translate.h"

namespace zorvek {

const std::array<SlotInfo, kSlotCount> kSlotTable = {{
    {1, 2, 0, "WAV1 Location", "Tone 1", "Bcn 1", "Vol 2"},
    {2, 3, 1, "WAV2 Location", "Tone 2", "Bcn 2", "Vol 3"},
    {3, 4, 2, "WAV3 Location", "Tone 3", "Bcn 3", "Vol 4"},
    {4, 5, 3, "WAV4 Location", "Tone 4", "Bcn 4", "Vol 5"},
    {5, 6, 4, "WAV5 Location", "Tone 5", "Bcn 5", "Vol 6"},
    {6, 7, 5, "WAV6 Location", "Tone 6", "Bcn 6", "Vol 7"},
    {7, 1, 6, "WAV7 Location", "Tone 7", "Bcn 7", "Vol 1"},
}};

const std::array<int, kSlotCount> kRowOrder = {7, 1, 2, 3, 4, 5, 6};

const SlotInfo& slotInfo(int slot) {
    if (slot < 1 || slot > kSlotCount) throw std::out_of_range("slot number");
    return kSlotTable[static_cast<size_t>(slot - 1)];
}

int slotForMessageNumber(int messageNumber) {
    for (const auto& info : kSlotTable)
        if (info.messageNumber == messageNumber) return info.slot;
    return 0;
}

std::string toneEntry(int index) {
    if (index < 0 || index >= kToneCount) return {};
    if (index == 0 || index == 43 || index == 45 || index == 48) return ZT("None");
    return std::to_string(index);
}

const std::array<const char*, kBeaconCount> kBeaconEntries = {ZT("None"), ZT("Single"), ZT("Double"), ZT("Static")};
const std::array<const char*, kVolumeCount> kVolumeEntries = {"10", "9", "8", "7", "6", "5", "4", "3", "2"};

int FirstSlotWithSamePath(const JobState& job, int slot) {
    for (int earlier = 1; earlier < slot; ++earlier)
        if (job.slot(earlier).wavPath == job.slot(slot).wavPath) return earlier;
    return slot;
}

bool IsDistinctSlot(const JobState& job, int slot) {
    return FirstSlotWithSamePath(job, slot) == slot;
}

}  // namespace zorvek
