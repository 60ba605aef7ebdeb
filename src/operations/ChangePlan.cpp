#include "operations/ChangePlan.h"

#include <algorithm>

namespace zorvek {

namespace {

void AddPage(ChangePlan& plan, uint32_t address, uint32_t length) {
    if (!plan.programRuns.empty()) {
        PageRun& last = plan.programRuns.back();
        if (last.address + last.length == address) {
            last.length += length;
            return;
        }
    }
    plan.programRuns.push_back({address, length});
}

void Touch(ChangePlan& plan, uint32_t sector) {
    if (plan.touchedSectors.empty() || plan.touchedSectors.back() != sector) plan.touchedSectors.push_back(sector);
}

}  // namespace

ChangePlan PlanChanges(const uint8_t* current, const uint8_t* wanted, size_t length, uint32_t sectorSize,
                       uint32_t pageSize) {
    ChangePlan plan;
    if (sectorSize == 0 || pageSize == 0 || sectorSize % pageSize != 0) return plan;
    for (size_t start = 0; start < length; start += sectorSize) {
        const auto sector = static_cast<uint32_t>(start / sectorSize);
        const size_t end = std::min(length, start + sectorSize);
        bool erase = false;
        for (size_t i = start; i < end && !erase; ++i) erase = (~current[i] & wanted[i] & 0xFF) != 0;
        if (erase) {
            plan.eraseSectors.push_back(sector);
            ++plan.sectorsErased;
            Touch(plan, sector);
        }
        for (size_t page = start; page < end; page += pageSize) {
            const size_t pageEnd = std::min(end, page + pageSize);
            bool differs = false;
            for (size_t i = page; i < pageEnd && !differs; ++i)
                differs = wanted[i] != (erase ? uint8_t{0xFF} : current[i]);
            if (differs) {
                AddPage(plan, static_cast<uint32_t>(page), static_cast<uint32_t>(pageEnd - page));
                ++plan.pagesWritten;
                Touch(plan, sector);
            } else {
                ++plan.pagesAlreadyRight;
            }
        }
    }
    return plan;
}

ChangePlan PlanFullSectors(const std::vector<uint32_t>& sectors, size_t length, uint32_t sectorSize,
                           uint32_t pageSize) {
    ChangePlan plan;
    if (sectorSize == 0 || pageSize == 0) return plan;
    for (uint32_t sector : sectors) {
        const size_t start = static_cast<size_t>(sector) * sectorSize;
        if (start >= length) continue;
        const size_t end = std::min(length, start + sectorSize);
        plan.eraseSectors.push_back(sector);
        ++plan.sectorsErased;
        Touch(plan, sector);
        for (size_t page = start; page < end; page += pageSize) {
            AddPage(plan, static_cast<uint32_t>(page), static_cast<uint32_t>(std::min(end, page + pageSize) - page));
            ++plan.pagesWritten;
        }
    }
    return plan;
}

}  // namespace zorvek
