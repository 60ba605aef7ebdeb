#pragma once
// The serial flash chips a siren may carry, as data: the one home of flash facts.
// The driver, the simulated flash, the image decoder and every list shown to a
// person read them from here.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "job/FlashCommands.h"

namespace zorvek {

// Every chip of the table programs 256-byte pages and erases 64 KiB sectors; the
// image layout is built on the same units.
inline constexpr uint32_t kFlashPageSize = 256;
inline constexpr uint32_t kFlashSectorSize = 0x10000;
// The usual siren flash, assumed where none has been identified.
inline constexpr uint32_t kDefaultFlashSize = 2u << 20;

struct FlashChip {
    const char* name = "";
    uint8_t signature = 0;  // answer to Release from Deep Power-down / Read Electronic Signature
    uint32_t capacity = 0;  // bytes
    uint32_t pageSize = kFlashPageSize;
    uint32_t sectorSize = kFlashSectorSize;
    // Datasheet busy times: typical and maximum.
    std::chrono::microseconds pageProgramTypical{0};
    std::chrono::microseconds pageProgramMax{0};
    std::chrono::milliseconds sectorEraseTypical{0};
    std::chrono::milliseconds sectorEraseMax{0};
    std::chrono::milliseconds bulkEraseTypical{0};
    std::chrono::milliseconds bulkEraseMax{0};

    constexpr uint32_t LastAddress() const { return capacity - 1; }
};

// M25P family datasheet figures (page program, sector erase, bulk erase).
inline constexpr FlashChip kFlashChips[] = {
    {.name = "M25P20", .signature = 0x11, .capacity = 256u << 10,
     .pageProgramTypical = std::chrono::microseconds(800), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(3000), .bulkEraseMax = std::chrono::milliseconds(6000)},
    {.name = "M25P40", .signature = 0x12, .capacity = 512u << 10,
     .pageProgramTypical = std::chrono::microseconds(800), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(4500), .bulkEraseMax = std::chrono::milliseconds(10000)},
    {.name = "M25P80", .signature = 0x13, .capacity = 1u << 20,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(8000), .bulkEraseMax = std::chrono::milliseconds(20000)},
    {.name = "M25P16", .signature = 0x14, .capacity = 2u << 20,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(13000), .bulkEraseMax = std::chrono::milliseconds(40000)},
    {.name = "M25P32", .signature = 0x15, .capacity = 4u << 20,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(23000), .bulkEraseMax = std::chrono::milliseconds(80000)},
};

// The chip with this signature or capacity, or nullptr when the table has none.
constexpr const FlashChip* FlashChipForSignature(uint32_t signature) {
    for (const FlashChip& chip : kFlashChips)
        if (chip.signature == signature) return &chip;
    return nullptr;
}
constexpr const FlashChip* FlashChipForCapacity(uint64_t capacity) {
    for (const FlashChip& chip : kFlashChips)
        if (chip.capacity == capacity) return &chip;
    return nullptr;
}
// The identified chip, from the highest address IdentifyFlash found (0: none).
constexpr const FlashChip* FlashChipForLastAddress(uint32_t lastAddress) {
    return lastAddress == 0 ? nullptr : FlashChipForCapacity(uint64_t{lastAddress} + 1);
}
constexpr const FlashChip& LargestFlashChip() {
    const FlashChip* largest = &kFlashChips[0];
    for (const FlashChip& chip : kFlashChips)
        if (chip.capacity > largest->capacity) largest = &chip;
    return *largest;
}

// How long a program or erase may keep the flash busy before a wait gives up:
// ten times the datasheet maximum (never under a second, as a USB round trip may
// take that long on a loaded machine). A chip the table does not know gets the
// longest of the table.
enum class BusyKind { PageProgram, SectorErase, BulkErase };
constexpr std::chrono::milliseconds BusyMaximum(const FlashChip& chip, BusyKind kind) {
    switch (kind) {
        case BusyKind::PageProgram:
            return std::chrono::duration_cast<std::chrono::milliseconds>(chip.pageProgramMax);
        case BusyKind::SectorErase:
            return chip.sectorEraseMax;
        case BusyKind::BulkErase:
            break;
    }
    return chip.bulkEraseMax;
}
constexpr std::chrono::milliseconds BusyLimit(const FlashChip* chip, BusyKind kind) {
    std::chrono::milliseconds longest{0};
    if (chip) {
        longest = BusyMaximum(*chip, kind);
    } else {
        for (const FlashChip& c : kFlashChips) longest = std::max(longest, BusyMaximum(c, kind));
    }
    return std::max(std::chrono::milliseconds(1000), 10 * longest);
}
// The typical time of a program or erase, for pacing and progress; the table's
// longest for a chip it does not know.
constexpr std::chrono::nanoseconds TypicalBusy(const FlashChip* chip, BusyKind kind) {
    auto typical = [kind](const FlashChip& c) -> std::chrono::nanoseconds {
        switch (kind) {
            case BusyKind::PageProgram:
                return c.pageProgramTypical;
            case BusyKind::SectorErase:
                return c.sectorEraseTypical;
            case BusyKind::BulkErase:
                break;
        }
        return c.bulkEraseTypical;
    };
    if (chip) return typical(*chip);
    std::chrono::nanoseconds longest{0};
    for (const FlashChip& c : kFlashChips) longest = std::max(longest, typical(c));
    return longest;
}

// "256K", "2M": how a person names a capacity of the table.
std::string CapacityName(uint32_t capacity);
// Every capacity of the table, e.g. "256K, 512K, 1M, 2M, 4M" with `lastJoin` ", "
// or "256K, 512K, 1M, 2M or 4M" with " or ".
std::string CapacityNames(const char* lastJoin = ", ");

}  // namespace zorvek
