#pragma once
// Which sectors a content-aware write erases and which pages it programs, from
// what the flash holds and what it must hold. Pure: no flash, no adapter.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zorvek {

// A run of consecutive pages to program, in bytes from address `address`.
struct PageRun {
    uint32_t address = 0;
    uint32_t length = 0;
    bool operator==(const PageRun&) const = default;
};

struct ChangePlan {
    std::vector<uint32_t> eraseSectors;    // sector indices, ascending
    std::vector<PageRun> programRuns;      // ascending, page aligned
    std::vector<uint32_t> touchedSectors;  // erased or programmed: what the read-back checks
    int32_t sectorsErased = 0;
    int32_t pagesWritten = 0;
    int32_t pagesAlreadyRight = 0;  // pages of the image the write leaves as they are
    bool Nothing() const { return eraseSectors.empty() && programRuns.empty(); }
};

// `current` and `wanted` hold `length` bytes from address 0. A sector is erased
// when some byte needs a bit to go from 0 to 1; a page is programmed when what
// the sector holds afterwards (erased or as it is) differs from what it must
// hold. A page erased to all 0xFF that must hold 0xFF is not programmed.
ChangePlan PlanChanges(const uint8_t* current, const uint8_t* wanted, size_t length, uint32_t sectorSize,
                       uint32_t pageSize);

// The plan of the described procedure for the sectors `sectors` (every page of them programmed).
ChangePlan PlanFullSectors(const std::vector<uint32_t>& sectors, size_t length, uint32_t sectorSize, uint32_t pageSize);

}  // namespace zorvek
