#include "job/FlashChips.h"

#include <set>

namespace zorvek {

std::string CapacityName(uint32_t capacity) {
    if (capacity % (1u << 20) == 0) return std::to_string(capacity >> 20) + "M";
    return std::to_string(capacity >> 10) + "K";
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

}  // namespace zorvek
