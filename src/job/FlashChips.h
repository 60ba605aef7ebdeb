#pragma once
// The serial flash chips a siren may carry, as data: the one home of flash facts.
// The driver, the simulated flash, the image decoder and every list shown to a
// person read them from here.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "job/FlashCommands.h"

namespace zorvek {

// Every chip of the table programs 256-byte pages and erases 64 KiB sectors; the
// image layout is built on the same units.
inline constexpr uint32_t kFlashPageSize = 256;
inline constexpr uint32_t kFlashSectorSize = 0x10000;
// The usual siren flash, assumed where none has been identified.
inline constexpr uint32_t kDefaultFlashSize = 2u << 20;

// How the block-protect bits of status register 1 map to the protected range, as
// the "protected area sizes" tables of the datasheets give it. Every chip of the
// table protects 2^(BP-1) 64 KiB blocks counted from the top (the whole chip once
// that reaches the capacity); some add a bottom bit, a bit for 4 KiB units and a
// complement bit in the second status register.
struct FlashProtection {
    uint8_t blockBits = 0x1C;    // BP field in status register 1
    uint8_t bottomBit = 0;       // TB: the range counts from address 0 (0: none)
    uint8_t smallBit = 0;        // SEC: 4 KiB units, at most 32 KiB (0: none)
    uint8_t complementBit2 = 0;  // CMP in status register 2: the range inverts (0: none)

    // Every bit whose clearing lifts the protection, in registers 1 and 2.
    constexpr uint8_t Bits1() const { return static_cast<uint8_t>(blockBits | bottomBit | smallBit); }
    constexpr uint8_t Bits2() const { return complementBit2; }
};

struct FlashChip {
    const char* name = "";
    const char* maker = "";
    uint32_t jedecId = 0;   // answer to Read Identification (0x9F): maker, type, density
    uint8_t signature = 0;  // answer to Release from Deep Power-down / Read Electronic Signature; 0: no RES
    bool sfdp = false;      // serves JESD216 parameter tables (0x5A)
    uint32_t capacity = 0;  // bytes
    uint32_t pageSize = kFlashPageSize;
    uint32_t sectorSize = kFlashSectorSize;
    uint8_t sectorEraseOpcode = kCmdSectorErase;  // erases one `sectorSize` sector
    FlashProtection protection{};
    // Writing status register 1 alone may clear register 2 (quad enable, CMP,
    // lock bits): the write takes both bytes, the second as read.
    bool statusRegister2 = false;
    // A program or erase refused for protection also clears the write-enable latch.
    bool refusalClearsLatch = false;
    // READ (0x03) up to this clock; FAST_READ (0x0B, one dummy byte) above it.
    uint32_t readMaxHz = 0;
    uint32_t fastReadMaxHz = 0;
    // Datasheet busy times: typical and maximum.
    std::chrono::microseconds pageProgramTypical{0};
    std::chrono::microseconds pageProgramMax{0};
    std::chrono::milliseconds sectorEraseTypical{0};
    std::chrono::milliseconds sectorEraseMax{0};
    std::chrono::milliseconds bulkEraseTypical{0};
    std::chrono::milliseconds bulkEraseMax{0};
    std::chrono::milliseconds statusWriteMax{15};

    constexpr uint32_t LastAddress() const { return capacity - 1; }
};

// Figures from each part's datasheet (AC characteristics: tPP page program, tSE or
// tBE 64 KiB erase, tBE/tCE bulk erase, tW write status register; fR READ and fC
// FAST_READ clocks; "Read Identification", "Release from Deep Power-down and Read
// Electronic Signature" and the status register and protected-area tables).
// The M25P parts come first: a capacity or a RES byte alone names them, as before
// JEDEC identification existed.
inline constexpr FlashChip kFlashChips[] = {
    // M25P20 and M25P40 (Numonyx): tPP 0.8/5 ms, tSE 0.6/3 s, tBE 3/6 and 4.5/10 s,
    // tW 5/15 ms; fR 33 MHz, fC 75 MHz; BP1..0 (M25P20), BP2..0 (M25P40); no SFDP.
    {.name = "M25P20", .maker = "Micron", .jedecId = 0x202012, .signature = 0x11, .sfdp = false,
     .capacity = 256u << 10,
     .protection = {.blockBits = 0x0C},
     .readMaxHz = 33000000, .fastReadMaxHz = 75000000,
     .pageProgramTypical = std::chrono::microseconds(800), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(3000), .bulkEraseMax = std::chrono::milliseconds(6000), .statusWriteMax = std::chrono::milliseconds(15)},
    {.name = "M25P40", .maker = "Micron", .jedecId = 0x202013, .signature = 0x12, .sfdp = false,
     .capacity = 512u << 10,
     .readMaxHz = 33000000, .fastReadMaxHz = 75000000,
     .pageProgramTypical = std::chrono::microseconds(800), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(4500), .bulkEraseMax = std::chrono::milliseconds(10000), .statusWriteMax = std::chrono::milliseconds(15)},
    // M25P80, M25P16, M25P32 (Numonyx/Micron): tPP 0.64/5 ms, tSE 0.6/3 s, tBE 8/20,
    // 13/40, 23/80 s, tW 5/15 ms; fR 33 MHz, fC 75 MHz; BP2..0, SRWD; no SFDP.
    {.name = "M25P80", .maker = "Micron", .jedecId = 0x202014, .signature = 0x13, .sfdp = false,
     .capacity = 1u << 20,
     .readMaxHz = 33000000, .fastReadMaxHz = 75000000,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(8000), .bulkEraseMax = std::chrono::milliseconds(20000), .statusWriteMax = std::chrono::milliseconds(15)},
    {.name = "M25P16", .maker = "Micron", .jedecId = 0x202015, .signature = 0x14, .sfdp = false,
     .capacity = 2u << 20,
     .readMaxHz = 33000000, .fastReadMaxHz = 75000000,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(13000), .bulkEraseMax = std::chrono::milliseconds(40000), .statusWriteMax = std::chrono::milliseconds(15)},
    {.name = "M25P32", .maker = "Micron", .jedecId = 0x202016, .signature = 0x15, .sfdp = false,
     .capacity = 4u << 20,
     .readMaxHz = 33000000, .fastReadMaxHz = 75000000,
     .pageProgramTypical = std::chrono::microseconds(640), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(600), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(23000), .bulkEraseMax = std::chrono::milliseconds(80000), .statusWriteMax = std::chrono::milliseconds(15)},
    // N25Q032A (Micron, the M25P32 successor): tPP 0.5/5 ms, 64 KiB sector 0.7/3 s,
    // bulk 30/60 s, tW 1.3/8 ms; READ 54 MHz, FAST_READ 108 MHz; BP2..0, TB (bit 5),
    // BP3 (bit 6), SRWD; no RES; SFDP.
    {.name = "N25Q032A", .maker = "Micron", .jedecId = 0x20BA16, .signature = 0x00, .sfdp = true,
     .capacity = 4u << 20,
     .protection = {.blockBits = 0x5C, .bottomBit = 0x20},
     .readMaxHz = 54000000, .fastReadMaxHz = 108000000,
     .pageProgramTypical = std::chrono::microseconds(500), .pageProgramMax = std::chrono::microseconds(5000),
     .sectorEraseTypical = std::chrono::milliseconds(700), .sectorEraseMax = std::chrono::milliseconds(3000),
     .bulkEraseTypical = std::chrono::milliseconds(30000), .bulkEraseMax = std::chrono::milliseconds(60000), .statusWriteMax = std::chrono::milliseconds(8)},
    // W25Q16JV, W25Q32JV (Winbond): tPP 0.4/3 ms, tBE2 (64 KiB) 150/2000 ms, tCE 5/25 s
    // (16JV) and 10/50 s (32JV), tW 10/15 ms; fR 50 MHz, FAST_READ 133 MHz; RES 14h/15h;
    // SR1 BP2..0, TB, SEC, SRP0; SR2 QE, CMP (bit 6); SFDP.
    {.name = "W25Q16JV", .maker = "Winbond", .jedecId = 0xEF4015, .signature = 0x14, .sfdp = true,
     .capacity = 2u << 20,
     .protection = {.blockBits = 0x1C, .bottomBit = 0x20, .smallBit = 0x40, .complementBit2 = 0x40},
     .statusRegister2 = true,
     .readMaxHz = 50000000, .fastReadMaxHz = 133000000,
     .pageProgramTypical = std::chrono::microseconds(400), .pageProgramMax = std::chrono::microseconds(3000),
     .sectorEraseTypical = std::chrono::milliseconds(150), .sectorEraseMax = std::chrono::milliseconds(2000),
     .bulkEraseTypical = std::chrono::milliseconds(5000), .bulkEraseMax = std::chrono::milliseconds(25000), .statusWriteMax = std::chrono::milliseconds(15)},
    {.name = "W25Q32JV", .maker = "Winbond", .jedecId = 0xEF4016, .signature = 0x15, .sfdp = true,
     .capacity = 4u << 20,
     .protection = {.blockBits = 0x1C, .bottomBit = 0x20, .smallBit = 0x40, .complementBit2 = 0x40},
     .statusRegister2 = true,
     .readMaxHz = 50000000, .fastReadMaxHz = 133000000,
     .pageProgramTypical = std::chrono::microseconds(400), .pageProgramMax = std::chrono::microseconds(3000),
     .sectorEraseTypical = std::chrono::milliseconds(150), .sectorEraseMax = std::chrono::milliseconds(2000),
     .bulkEraseTypical = std::chrono::milliseconds(10000), .bulkEraseMax = std::chrono::milliseconds(50000), .statusWriteMax = std::chrono::milliseconds(15)},
    // MX25L1606E (Macronix, PM1548): tPP 0.6/3 ms, tBE 64 KiB 0.7/2 s, tCE 14/20 s,
    // tW 40/100 ms; READ 33 MHz, FAST_READ 86 MHz; RES 14h; BP3..0, SRWD; a program or
    // erase of a protected area is not executed and resets WEL; SFDP.
    {.name = "MX25L1606E", .maker = "Macronix", .jedecId = 0xC22015, .signature = 0x14, .sfdp = true,
     .capacity = 2u << 20,
     .protection = {.blockBits = 0x3C},
     .refusalClearsLatch = true,
     .readMaxHz = 33000000, .fastReadMaxHz = 86000000,
     .pageProgramTypical = std::chrono::microseconds(600), .pageProgramMax = std::chrono::microseconds(3000),
     .sectorEraseTypical = std::chrono::milliseconds(700), .sectorEraseMax = std::chrono::milliseconds(2000),
     .bulkEraseTypical = std::chrono::milliseconds(14000), .bulkEraseMax = std::chrono::milliseconds(20000), .statusWriteMax = std::chrono::milliseconds(100)},
    // MX25L3233F (Macronix, PM2373): tPP 0.5/1.5 ms, tBE 64 KiB 0.35/2 s, tCE 25/50 s,
    // tW 40 ms max; READ 50 MHz, FAST_READ 133 MHz; RES 15h; BP3..0 (TB is one-time
    // programmable in the configuration register and left alone), QE, SRWD; SFDP.
    {.name = "MX25L3233F", .maker = "Macronix", .jedecId = 0xC22016, .signature = 0x15, .sfdp = true,
     .capacity = 4u << 20,
     .protection = {.blockBits = 0x3C},
     .refusalClearsLatch = true,
     .readMaxHz = 50000000, .fastReadMaxHz = 133000000,
     .pageProgramTypical = std::chrono::microseconds(500), .pageProgramMax = std::chrono::microseconds(1500),
     .sectorEraseTypical = std::chrono::milliseconds(350), .sectorEraseMax = std::chrono::milliseconds(2000),
     .bulkEraseTypical = std::chrono::milliseconds(25000), .bulkEraseMax = std::chrono::milliseconds(50000), .statusWriteMax = std::chrono::milliseconds(40)},
    // GD25Q16C, GD25Q32C (GigaDevice): tPP 0.6/2.4 ms, tBE 64 KiB 0.15/1.2 s, tCE 7/20 s
    // and 10/30 s, tW 5/30 ms; READ 80 MHz, FAST_READ 120 MHz; RES 14h/15h; SR1 BP4..0
    // (BP3 acts as TB, BP4 as SEC), SRP0; SR2 QE, CMP (bit 14); SFDP.
    {.name = "GD25Q16C", .maker = "GigaDevice", .jedecId = 0xC84015, .signature = 0x14, .sfdp = true,
     .capacity = 2u << 20,
     .protection = {.blockBits = 0x1C, .bottomBit = 0x20, .smallBit = 0x40, .complementBit2 = 0x40},
     .statusRegister2 = true,
     .readMaxHz = 80000000, .fastReadMaxHz = 120000000,
     .pageProgramTypical = std::chrono::microseconds(600), .pageProgramMax = std::chrono::microseconds(2400),
     .sectorEraseTypical = std::chrono::milliseconds(150), .sectorEraseMax = std::chrono::milliseconds(1200),
     .bulkEraseTypical = std::chrono::milliseconds(7000), .bulkEraseMax = std::chrono::milliseconds(20000), .statusWriteMax = std::chrono::milliseconds(30)},
    {.name = "GD25Q32C", .maker = "GigaDevice", .jedecId = 0xC84016, .signature = 0x15, .sfdp = true,
     .capacity = 4u << 20,
     .protection = {.blockBits = 0x1C, .bottomBit = 0x20, .smallBit = 0x40, .complementBit2 = 0x40},
     .statusRegister2 = true,
     .readMaxHz = 80000000, .fastReadMaxHz = 120000000,
     .pageProgramTypical = std::chrono::microseconds(600), .pageProgramMax = std::chrono::microseconds(2400),
     .sectorEraseTypical = std::chrono::milliseconds(150), .sectorEraseMax = std::chrono::milliseconds(1200),
     .bulkEraseTypical = std::chrono::milliseconds(10000), .bulkEraseMax = std::chrono::milliseconds(30000), .statusWriteMax = std::chrono::milliseconds(30)},
};

// The chip with this signature or capacity, or nullptr when the table has none.
constexpr const FlashChip* FlashChipForSignature(uint32_t signature) {
    for (const FlashChip& chip : kFlashChips)
        if (chip.signature != 0 && chip.signature == signature) return &chip;
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

constexpr const FlashChip* FlashChipForJedecId(uint32_t jedecId) {
    for (const FlashChip& chip : kFlashChips)
        if (chip.jedecId == jedecId) return &chip;
    return nullptr;
}

// The chip of this name (as the table spells it, case ignored), or nullptr.
const FlashChip* FlashChipNamed(std::string_view name);
// Every part of the table, e.g. "M25P20, M25P40, ... GD25Q32C".
std::string FlashChipNames();
// The maker a JEDEC manufacturer byte stands for ("unknown maker" when the table has none).
const char* JedecMakerName(uint8_t manufacturer);
// "EF 40 15".
std::string JedecIdText(uint32_t jedecId);

// A chip the table does not know, as its SFDP tables describe it: the family's
// longest busy times, protection in BP2..0 only.
FlashChip ChipFromParameters(uint32_t jedecId, uint32_t capacity, uint32_t pageSize, uint8_t sectorEraseOpcode);

// The address range [begin, end) that the protection bits in status registers 1
// and 2 keep from program and erase.
struct FlashRange {
    uint32_t begin = 0;
    uint32_t end = 0;
    constexpr bool Empty() const { return begin >= end; }
    constexpr bool Overlaps(uint32_t from, uint32_t to) const { return from < end && begin < to; }
    bool operator==(const FlashRange&) const = default;
};
constexpr FlashRange ProtectedRange(const FlashChip& chip, uint8_t status1, uint8_t status2 = 0) {
    const FlashProtection& p = chip.protection;
    // The BP field, its bits gathered from low to high (N25Q: BP3 sits above TB).
    uint32_t bp = 0;
    for (int bit = 7; bit >= 0; --bit) {
        if (p.blockBits & (1u << bit)) bp = (bp << 1) | ((status1 >> bit) & 1u);
    }
    uint32_t size = 0;
    if (bp != 0 && p.smallBit && (status1 & p.smallBit)) {
        size = bp >= 7 ? chip.capacity : std::min<uint32_t>(32u << 10, (4u << 10) << (bp - 1));
    } else if (bp != 0) {
        size = bp - 1 >= 31 ? chip.capacity : std::min<uint64_t>(chip.capacity, uint64_t{kFlashSectorSize} << (bp - 1));
    }
    const bool bottom = p.bottomBit && (status1 & p.bottomBit);
    FlashRange range = bottom ? FlashRange{0, size} : FlashRange{chip.capacity - size, chip.capacity};
    if (p.complementBit2 && (status2 & p.complementBit2)) {
        if (size == 0) return {0, chip.capacity};
        if (size == chip.capacity) return {};
        range = bottom ? FlashRange{size, chip.capacity} : FlashRange{0, chip.capacity - size};
    }
    return range.Empty() ? FlashRange{} : range;
}

// "256K", "2M": how a person names a capacity of the table.
std::string CapacityName(uint32_t capacity);
// "2 MiB", "64 KiB", "4 KiB": a capacity or range size in words.
std::string CapacityText(uint32_t bytes);
// Every capacity of the table, e.g. "256K, 512K, 1M, 2M, 4M" with `lastJoin` ", "
// or "256K, 512K, 1M, 2M or 4M" with " or ".
std::string CapacityNames(const char* lastJoin = ", ");

}  // namespace zorvek
