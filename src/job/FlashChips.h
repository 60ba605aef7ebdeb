#pragma once
// The serial flash chips a siren may carry, as data: every routine, the
// simulated flash and the image decoder read their facts from here.
#include <array>
#include <chrono>
#include <cstdint>

namespace zorvek {

// Every chip of the family programs 256-byte pages and erases 64 KiB sectors.
inline constexpr uint32_t kFlashPageSize = 256;
inline constexpr uint32_t kFlashSectorSize = 0x10000;
// The usual siren flash, assumed where none has been identified.
inline constexpr uint32_t kDefaultFlashSize = 2u << 20;

struct FlashChip {
    uint8_t signature;  // answer to Release from Deep Power-down / Read Electronic Signature
    const char* name;
    uint32_t capacity;  // bytes
    uint32_t pageSize;
    uint32_t sectorSize;
    // Datasheet busy times: typical and maximum.
    std::chrono::microseconds pageProgramTypical;
    std::chrono::microseconds pageProgramMax;
    std::chrono::milliseconds sectorEraseTypical;
    std::chrono::milliseconds sectorEraseMax;
    std::chrono::milliseconds bulkEraseTypical;
    std::chrono::milliseconds bulkEraseMax;

    uint32_t LastAddress() const { return capacity - 1; }
};

inline constexpr std::array<FlashChip, 5> kFlashChips = {{
    {0x11, "M25P20", 256u << 10, kFlashPageSize, kFlashSectorSize, std::chrono::microseconds(800),
     std::chrono::microseconds(5000), std::chrono::milliseconds(600), std::chrono::milliseconds(3000),
     std::chrono::milliseconds(3000), std::chrono::milliseconds(6000)},
    {0x12, "M25P40", 512u << 10, kFlashPageSize, kFlashSectorSize, std::chrono::microseconds(800),
     std::chrono::microseconds(5000), std::chrono::milliseconds(600), std::chrono::milliseconds(3000),
     std::chrono::milliseconds(4500), std::chrono::milliseconds(10000)},
    {0x13, "M25P80", 1u << 20, kFlashPageSize, kFlashSectorSize, std::chrono::microseconds(640),
     std::chrono::microseconds(5000), std::chrono::milliseconds(600), std::chrono::milliseconds(3000),
     std::chrono::milliseconds(8000), std::chrono::milliseconds(20000)},
    {0x14, "M25P16", 2u << 20, kFlashPageSize, kFlashSectorSize, std::chrono::microseconds(640),
     std::chrono::microseconds(5000), std::chrono::milliseconds(600), std::chrono::milliseconds(3000),
     std::chrono::milliseconds(13000), std::chrono::milliseconds(40000)},
    {0x15, "M25P32", 4u << 20, kFlashPageSize, kFlashSectorSize, std::chrono::microseconds(640),
     std::chrono::microseconds(5000), std::chrono::milliseconds(600), std::chrono::milliseconds(3000),
     std::chrono::milliseconds(23000), std::chrono::milliseconds(80000)},
}};

// The chip with this signature or capacity, or nullptr when the family has none.
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

}  // namespace zorvek
