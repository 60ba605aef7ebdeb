#include "job/SlotTable.h"

#include <stdexcept>

namespace zorvek {

const std::array<SlotInfo, kSlotCount> kSlotTable = {{
    {1, 2, 0, 1093, "Message 2", 1011, 1014, "WAV &2 Open", 1039, 1044, 1101, 1079, 1020, 1023, 1026, 1029,
     "WAV1 Location", "Tone 1", "Bcn 1", "Vol 2"},
    {2, 3, 1, 1094, "Message 3", 1012, 1015, "WAV &3 Open", 1041, 1045, 1102, 1080, 1021, 1024, 1027, 1030,
     "WAV2 Location", "Tone 2", "Bcn 2", "Vol 3"},
    {3, 4, 2, 1095, "Message 4", 1013, 1017, "WAV &4 Open", 1042, 1046, 1103, 1083, 1022, 1025, 1028, 1031,
     "WAV3 Location", "Tone 3", "Bcn 3", "Vol 4"},
    {4, 5, 3, 1096, "Message 5", 1034, 1035, "WAV &5 Open", 1047, 1048, 1104, 1084, 1036, 1037, 1038, 1043,
     "WAV4 Location", "Tone 4", "Bcn 4", "Vol 5"},
    {5, 6, 4, 1097, "Message 6", 1049, 1050, "WAV &6 Open", 1055, 1056, 1105, 1085, 1051, 1052, 1053, 1054,
     "WAV5 Location", "Tone 5", "Bcn 5", "Vol 6"},
    {6, 7, 5, 1098, "Message 7", 1058, 1059, "WAV &7 Open", 1064, 1065, 1106, 1086, 1060, 1061, 1062, 1063,
     "WAV6 Location", "Tone 6", "Bcn 6", "Vol 7"},
    {7, 1, 6, 1092, "Message 1", 1066, 1067, "WAV &1 Open", 1072, 1073, 1100, 1078, 1068, 1069, 1070, 1071,
     "WAV7 Location", "Tone 7", "Bcn 7", "Vol 1"},
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
    if (index == 0 || index == 43 || index == 45 || index == 48) return "None";
    return std::to_string(index);
}

const std::array<const char*, kBeaconCount> kBeaconEntries = {"None", "Single", "Double", "Static"};
const std::array<const char*, kVolumeCount> kVolumeEntries = {"10", "9", "8", "7", "6", "5", "4", "3", "2"};

const std::array<UsageInfo, 4> kUsageTable = {{
    {Gas, "Gas", "Gas", 1089},
    {Fire, "Fire", "Fire", 1090},
    {IndustrialDc, "IndustrialDc", "Ind. (DC)", 1091},
    {IndustrialAc, "IndustrialAc", "Ind. (AC)", 1099},
}};

int FirstSlotWithSamePath(const JobState& job, int slot) {
    for (int earlier = 1; earlier < slot; ++earlier)
        if (job.slot(earlier).wavPath == job.slot(slot).wavPath) return earlier;
    return slot;
}

bool IsDistinctSlot(const JobState& job, int slot) { return FirstSlotWithSamePath(job, slot) == slot; }

}  // namespace zorvek
