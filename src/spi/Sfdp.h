#pragma once
// JEDEC Serial Flash Discoverable Parameters (JESD216): the header, the first
// parameter header and the basic flash parameter table, as a chip serves them at
// SFDP addresses from 0 (command 0x5A, three address bytes, one dummy byte).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "job/FlashChips.h"
#include "job/Result.h"

namespace zorvek {

// The header and the first parameter header.
inline constexpr size_t kSfdpHeaderBytes = 16;
// What a reader fetches at most: a basic table of up to 64 DWORDs behind its pointer.
inline constexpr size_t kSfdpMaxBytes = 0x400;

struct SfdpParameters {
    uint32_t capacity = 0;             // bytes
    uint32_t pageSize = kFlashPageSize;  // 256 where the table (before JESD216A) does not say
    uint8_t erase4k = 0;               // 4 KiB erase opcode, 0: none
    uint8_t erase64k = 0;              // 64 KiB erase opcode, 0: none
};

// Bytes to read from SFDP address 0 to hold the basic table the header points at,
// or 0 when `header` (kSfdpHeaderBytes) is no SFDP header.
size_t SfdpBytesNeeded(const uint8_t* header, size_t size);
// Parses the header and basic flash parameter table from `bytes` (read from SFDP
// address 0). Fault::Format with the reason when they are missing or unusable.
Result ParseSfdp(const uint8_t* bytes, size_t size, SfdpParameters& out);
// The tables a chip of these facts serves (JESD216B layout, 16 DWORDs).
std::vector<uint8_t> BuildSfdp(const FlashChip& chip);

}  // namespace zorvek
