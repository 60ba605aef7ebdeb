#include "job/FlashChips.h"

#include <cctype>
#include <set>
#include <utility>

#include "job/TextFormat.h"

namespace zorvek {

std::string CapacityName(uint32_t capacity) {
    if (capacity % (1u << 20) == 0) return std::to_string(capacity >> 20) + "M";
    return std::to_string(capacity >> 10) + "K";
}

std::string CapacityText(uint32_t bytes) {
    if (bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string CapacityNames(const char* lastJoin) {
    std::set<uint32_t> capacities;
    for (const FlashChip& chip : kFlashChips) capacities.insert(chip.capacity);
    std::string names;
    size_t left = capacities.size();
    for (uint32_t capacity : capacities) {
        names += CapacityName(capacity);
        if (--left > 1) names += ", ";
        if (left == 1) names += lastJoin;
    }
    return names;
}

const FlashChip* FlashChipNamed(std::string_view name) {
    for (const FlashChip& chip : kFlashChips) {
        const std::string_view own = chip.name;
        if (own.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < own.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(own[i])) == std::toupper(static_cast<unsigned char>(name[i]));
        if (same) return &chip;
    }
    return nullptr;
}

std::string FlashChipNames() {
    std::string names;
    for (const FlashChip& chip : kFlashChips) names += (names.empty() ? "" : ", ") + std::string(chip.name);
    return names;
}

const char* JedecMakerName(uint8_t manufacturer) {
    // JEP106 bank 1 codes of the makers whose serial flash sirens carry.
    static constexpr std::pair<uint8_t, const char*> kMakers[] = {
        {0x20, "Micron"}, {0xEF, "Winbond"}, {0xC2, "Macronix"}, {0xC8, "GigaDevice"},
        {0x01, "Spansion (Infineon)"}, {0x1F, "Adesto"}, {0x9D, "ISSI"}, {0xBF, "Microchip (SST)"},
    };
    for (const auto& [code, name] : kMakers)
        if (code == manufacturer) return name;
    return "unknown maker";
}

std::string JedecIdText(uint32_t jedecId) {
    return Format("%02X %02X %02X", (jedecId >> 16) & 0xFF, (jedecId >> 8) & 0xFF, jedecId & 0xFF);
}

FlashChip ChipFromParameters(uint32_t jedecId, uint32_t capacity, uint32_t pageSize, uint8_t sectorEraseOpcode) {
    FlashChip chip;
    chip.name = "(not in the chip table)";
    chip.maker = JedecMakerName(static_cast<uint8_t>(jedecId >> 16));
    chip.jedecId = jedecId;
    chip.sfdp = true;
    chip.capacity = capacity;
    chip.pageSize = pageSize;
    chip.sectorEraseOpcode = sectorEraseOpcode;
    for (const FlashChip& c : kFlashChips) {
        chip.pageProgramTypical = std::max(chip.pageProgramTypical, c.pageProgramTypical);
        chip.pageProgramMax = std::max(chip.pageProgramMax, c.pageProgramMax);
        chip.sectorEraseTypical = std::max(chip.sectorEraseTypical, c.sectorEraseTypical);
        chip.sectorEraseMax = std::max(chip.sectorEraseMax, c.sectorEraseMax);
        chip.bulkEraseTypical = std::max(chip.bulkEraseTypical, c.bulkEraseTypical);
        chip.bulkEraseMax = std::max(chip.bulkEraseMax, c.bulkEraseMax);
        chip.statusWriteMax = std::max(chip.statusWriteMax, c.statusWriteMax);
        chip.readMaxHz = chip.readMaxHz == 0 ? c.readMaxHz : std::min(chip.readMaxHz, c.readMaxHz);
    }
    chip.fastReadMaxHz = chip.readMaxHz;
    return chip;
}

}  // namespace zorvek
