#pragma once
// What identification found out about the flash in the siren: the chip and where
// its facts came from, its answers and its protection as found.
#include <cstdint>
#include <optional>

#include "job/FlashChips.h"

namespace zorvek {

enum class FlashFactsSource { None, Table, Signature, Sfdp };

struct FlashIdentity {
    FlashChip chip{};  // capacity 0: nothing identified
    FlashFactsSource source = FlashFactsSource::None;
    uint32_t jedecId = 0;                // as read; 0 or 0xFFFFFF: the chip did not answer
    std::optional<uint8_t> signature;    // RES answer, when the chip gave one
    uint8_t status1 = 0;                 // status registers as found
    uint8_t status2 = 0;                 // read only where the chip has a second one

    bool Identified() const { return chip.capacity != 0; }
    FlashRange Protected() const { return Identified() ? ProtectedRange(chip, status1, status2) : FlashRange{}; }
    bool ProtectionBitsSet() const {
        return (status1 & chip.protection.Bits1()) != 0 || (status2 & chip.protection.Bits2()) != 0;
    }
};

// "table", "electronic signature" or "SFDP": where the facts came from, in words.
inline const char* FactsSourceName(FlashFactsSource source) {
    switch (source) {
        case FlashFactsSource::Table:
            return "chip table";
        case FlashFactsSource::Signature:
            return "chip table, by electronic signature";
        case FlashFactsSource::Sfdp:
            return "SFDP parameters";
        case FlashFactsSource::None:
            break;
    }
    return "none";
}

}  // namespace zorvek
