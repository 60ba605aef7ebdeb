#include "app/ControlIds.h"

#include <stdexcept>

#include "job/SlotTable.h"
#include "job/Translate.h"
#include "job/Usage.h"

namespace zorvek {

const std::array<SlotControlIds, kSlotCount> kSlotControlTable = {{
    {1, 1093, ZT("Message 2"), 1011, 1014, ZT("WAV &2 Open"), 1039, 1044, 1101, 1079, 1020, 1023, 1026, 1029},
    {2, 1094, ZT("Message 3"), 1012, 1015, ZT("WAV &3 Open"), 1041, 1045, 1102, 1080, 1021, 1024, 1027, 1030},
    {3, 1095, ZT("Message 4"), 1013, 1017, ZT("WAV &4 Open"), 1042, 1046, 1103, 1083, 1022, 1025, 1028, 1031},
    {4, 1096, ZT("Message 5"), 1034, 1035, ZT("WAV &5 Open"), 1047, 1048, 1104, 1084, 1036, 1037, 1038, 1043},
    {5, 1097, ZT("Message 6"), 1049, 1050, ZT("WAV &6 Open"), 1055, 1056, 1105, 1085, 1051, 1052, 1053, 1054},
    {6, 1098, ZT("Message 7"), 1058, 1059, ZT("WAV &7 Open"), 1064, 1065, 1106, 1086, 1060, 1061, 1062, 1063},
    {7, 1092, ZT("Message 1"), 1066, 1067, ZT("WAV &1 Open"), 1072, 1073, 1100, 1078, 1068, 1069, 1070, 1071},
}};

const SlotControlIds& slotControls(int slot) {
    if (slot < 1 || slot > kSlotCount) throw std::out_of_range("slot number");
    return kSlotControlTable[static_cast<size_t>(slot - 1)];
}

const std::vector<int>& lockableControls() {
    static const std::vector<int> ids = [] {
        std::vector<int> all;
        for (int SlotControlIds::*member :
             {&SlotControlIds::pathBoxId, &SlotControlIds::openButtonId, &SlotControlIds::toneListId,
              &SlotControlIds::volumeListId, &SlotControlIds::beaconListId})
            for (int slot : kLockableSlots) all.push_back(slotControls(slot).*member);
        return all;
    }();
    return ids;
}

namespace {
std::vector<int> inRowOrder(int SlotControlIds::*member) {
    std::vector<int> ids;
    for (int slot : kRowOrder) ids.push_back(slotControls(slot).*member);
    return ids;
}
}  // namespace

const std::vector<int>& beaconListIds() {
    static const std::vector<int> ids = inRowOrder(&SlotControlIds::beaconListId);
    return ids;
}

const std::vector<int>& beaconCaptionIds() {
    static const std::vector<int> ids = inRowOrder(&SlotControlIds::beaconCaptionId);
    return ids;
}

const std::array<UsageButton, 4> kUsageButtons = {{
    {Gas, ZT("Gas"), 1089},
    {Fire, ZT("Fire"), 1090},
    {IndustrialDc, ZT("Ind. (DC)"), 1091},
    {IndustrialAc, ZT("Ind. (AC)"), 1099},
}};

namespace {
struct TooltipEntry {
    int controlId;
    const char* text;
};
const std::array<TooltipEntry, 4> kTooltips = {{
    {1014, ZT("Select a voice message for stage 1...")},
    {1015, ZT("Select a voice message for stage 2...")},
    {1017, ZT("Select a voice message for stage 3...")},
    {1035, ZT("Select a voice message for stage 4...")},
}};
}  // namespace

const char* tooltipFor(int controlId) {
    if (controlId == 0) return nullptr;
    for (const auto& entry : kTooltips)
        if (entry.controlId == controlId) return entry.text;
    return nullptr;
}

}  // namespace zorvek
