#pragma once
// What the siren usage does to the presentation of the seven rows and to the
// job itself. Both front ends take these facts from here; the window only
// applies them to its controls.
#include <array>
#include <cstdint>
#include <string>

#include "job/JobState.h"

namespace zorvek {

// Rows are counted from the top of the window: row 1 holds slot 7, rows 2..7 hold slots 1..6.
constexpr int kRowCount = kSlotCount;

// Only these four values change the presentation; anything else leaves it as it is.
constexpr bool isKnownUsage(int32_t usage) {
    return usage >= Gas && usage <= IndustrialAc;
}

// The seven row captions, rows 1..7, of a known usage.
const std::array<const char*, kRowCount>& rowCaptions(SirenUsage usage);

// The slots whose rows IndustrialAc locks and clears.
extern const std::array<int, 3> kLockableSlots;

// How the window is to present a usage.
struct UsagePresentation {
    bool known = false;  // false: the window keeps captions, enabling and beacons as they are
    std::array<std::string, kRowCount> rowCaptions{};
    bool lockedRows = false;  // rows 5..7 (slots 4..6) disabled
    bool beaconsVisible = true;
};

UsagePresentation usagePresentation(int32_t usage);

// The job side of changing to the job's usage: under IndustrialAc the paths,
// tones and beacons of slots 4..6 are cleared for good (volumes stay).
// Returns how the window is to present the usage.
UsagePresentation applyUsageToJob(JobState& job);

}  // namespace zorvek
