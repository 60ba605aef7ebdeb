#include "image/SlotCodes.h"

#include "job/SlotTable.h"

namespace zorvek {

bool ToneEncodable(int32_t toneIndex) {
    return toneIndex >= 0 && toneIndex < kToneCount;
}
bool BeaconEncodable(int32_t beaconIndex) {
    return beaconIndex >= 0 && beaconIndex < kBeaconCount;
}
bool VolumeEncodable(int32_t volumeIndex) {
    return volumeIndex >= 0 && volumeIndex < kVolumeCount;
}

uint8_t ToneCode(int32_t toneIndex) {
    if (!ToneEncodable(toneIndex)) return 0;
    if (toneIndex == 43 || toneIndex == 45 || toneIndex == 47 || toneIndex == 48) return 0;
    return static_cast<uint8_t>(toneIndex);
}

uint8_t BeaconCode(int32_t beaconIndex) {
    static constexpr uint8_t kCodes[kBeaconCount] = {0x30, 0x00, 0x10, 0x20};
    return BeaconEncodable(beaconIndex) ? kCodes[beaconIndex] : 0x30;
}

namespace {

std::string describe(int slot, const char* what, int32_t value) {
    std::string text = "Message " + std::to_string(slotInfo(slot).messageNumber) + ": ";
    if (value == -1) return text + "no " + what + " is selected.";
    return text + what + " " + std::to_string(value) + " is not in the list.";
}

}  // namespace

std::string UnencodableSettingMessage(const JobState& job) {
    // Rows in the order the user sees them, so the first one named is the topmost.
    for (int slot : kRowOrder) {
        const MessageSlot& s = job.slot(slot);
        if (!ToneEncodable(s.toneIndex)) return describe(slot, "Siren Tone", s.toneIndex);
        if (!BeaconEncodable(s.beaconIndex)) return describe(slot, "Beacon", s.beaconIndex);
        if (!VolumeEncodable(s.volumeIndex)) return describe(slot, "Siren Vol", s.volumeIndex);
    }
    return {};
}

std::string UnencodableVolumeMessage(const JobState& job) {
    for (int slot : kRowOrder) {
        const MessageSlot& s = job.slot(slot);
        if (!VolumeEncodable(s.volumeIndex)) return describe(slot, "Siren Vol", s.volumeIndex);
    }
    return {};
}

bool CheckSlotSettings(const JobState& job, UserPort& port) {
    std::string problem = UnencodableSettingMessage(job);
    if (problem.empty()) return true;
    port.ShowMessage(problem + "\nSiren has NOT been programmed.", kProgramTitle, MessageIcon::Stop);
    return false;
}

}  // namespace zorvek
