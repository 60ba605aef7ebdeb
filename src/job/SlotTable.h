#pragma once
// Fixed lists and the per-slot facts (numbering, settings keys). Every module
// takes these from here rather than repeating them; the window's control
// identifiers are the window's own (app/ControlIds.h).
#include <array>
#include <string>

#include "job/JobState.h"

namespace zorvek {

struct SlotInfo {
    int slot;           // 1..7, order in the flash image and files
    int messageNumber;  // number shown to the user ("Message N")
    int tempDigit;      // digit in temporary file names
    const char* pathKey;
    const char* toneKey;
    const char* beaconKey;
    const char* volumeKey;  // volume keys follow the rows: "Vol 1" is slot 7
};

// Index 0 is slot 1.
extern const std::array<SlotInfo, kSlotCount> kSlotTable;

// Slot info by slot number 1..7.
const SlotInfo& slotInfo(int slot);
// Slot number (1..7) of the message the user calls "Message n"; 0 if none.
int slotForMessageNumber(int messageNumber);
// Slots in the order of the window's rows, top to bottom: 7, 1, 2, ..., 6.
extern const std::array<int, kSlotCount> kRowOrder;

constexpr int kToneCount = 65;
constexpr int kBeaconCount = 4;
constexpr int kVolumeCount = 9;

// Entry text of the Siren Tone list at a position.
std::string toneEntry(int index);
extern const std::array<const char*, kBeaconCount> kBeaconEntries;
extern const std::array<const char*, kVolumeCount> kVolumeEntries;
// The volume level (10..2) a Siren Vol position stands for.
constexpr int volumeLevel(int volumeIndex) {
    return 10 - volumeIndex;
}

// First slot (1..slot) whose wavPath equals this slot's: exact, case-sensitive
// text, so all slots without a file share the first empty one.
int FirstSlotWithSamePath(const JobState& job, int slot);
// True when no lower-numbered slot names the same file; only such slots are
// converted into their own audio and counted in the flash.
bool IsDistinctSlot(const JobState& job, int slot);

}  // namespace zorvek
