// The content-aware write: read what the siren holds, erase and program only
// what differs, read back only what was changed.
#include <algorithm>
#include <vector>

#include "operations/ChangePlan.h"
#include "operations/OperationSupport.h"

namespace zorvek {

namespace {

struct Geometry {
    uint32_t sector;
    uint32_t page;
};

Geometry GeometryOf(const JobState& job) {
    const FlashChip* chip = IdentifiedChip(job);
    return {chip ? chip->sectorSize : kFlashSectorSize, chip ? chip->pageSize : kFlashPageSize};
}

// Erases the plan's sectors (runs of neighbours in one call) and programs its pages.
void RunPlan(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress, const ChangePlan& plan,
             const uint8_t* data, uint32_t sectorSize) {
    if (!plan.eraseSectors.empty()) {
        progress->SetRange(0, static_cast<int>(plan.eraseSectors.size()), 1);
        progress->SetText("Erasing...");
        job.flashStatusText = "Erasing";
        port.exchangeToWindow();
        for (size_t i = 0; i < plan.eraseSectors.size() && !job.abortFlag;) {
            size_t j = i + 1;
            while (j < plan.eraseSectors.size() && plan.eraseSectors[j] == plan.eraseSectors[j - 1] + 1) ++j;
            EraseSectors(job, link, port, plan.eraseSectors[i] * sectorSize, static_cast<int32_t>(j - i));
            i = j;
        }
    }
    if (plan.programRuns.empty() || job.abortFlag) return;
    job.flashStatusText = "Programming";
    port.exchangeToWindow();
    progress->SetRange(0, std::max(1, plan.pagesWritten), 1);
    progress->SetText("Programming...");
    for (const PageRun& run : plan.programRuns) {
        if (job.abortFlag) return;
        ProgramPages(job, link, port, run.address, data + run.address, run.length);
    }
}

struct SectorCheck {
    int32_t verified = 1;  // VerifyFlash's codes: 1 match, 0 difference, 6 stopped
    uint32_t firstDifference = 0;
    std::vector<uint32_t> differing;
};

// Reads back the touched sectors and compares them with the image.
SectorCheck CheckSectors(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                         const std::vector<uint32_t>& sectors, const uint8_t* data, size_t length,
                         uint32_t sectorSize) {
    SectorCheck check;
    progress->SetRange(0, std::max<int32_t>(1, static_cast<int32_t>(sectors.size()) * ReadFrameCount(link, sectorSize)),
                       1);
    progress->SetText("Verifying...");
    job.flashStatusText = "Verifying";
    port.exchangeToWindow();
    std::vector<uint8_t> buffer(sectorSize);
    for (uint32_t sector : sectors) {
        const size_t start = static_cast<size_t>(sector) * sectorSize;
        const size_t count = std::min<size_t>(sectorSize, length - start);
        if (ReadFlashRange(job, link, port, static_cast<uint32_t>(start), buffer.data(), count) != 0) {
            check.verified = kStopped;
            return check;
        }
        const auto mismatch =
            std::mismatch(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(count), data + start);
        if (mismatch.first != buffer.begin() + static_cast<std::ptrdiff_t>(count)) {
            if (check.differing.empty())
                check.firstDifference = static_cast<uint32_t>(start + (mismatch.first - buffer.begin()));
            check.differing.push_back(sector);
            check.verified = 0;
        }
    }
    return check;
}

// A sector's first bytes are read alone: where one of them needs a bit raised the
// sector is erased anyway and what the rest holds no longer matters (it is marked
// as needing the erase, 0x00). A siren full of another image is read that little.
constexpr uint32_t kProbeBytes = 4096;

bool ReadWhatMatters(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress, uint8_t* current,
                     const uint8_t* wanted, size_t length, uint32_t sectorSize) {
    for (size_t start = 0; start < length; start += sectorSize) {
        const size_t end = std::min(length, start + sectorSize);
        const size_t probe = std::min<size_t>(end - start, kProbeBytes);
        if (ReadFlashRange(job, link, port, static_cast<uint32_t>(start), current + start, probe, false) != 0)
            return false;
        bool rises = false;
        for (size_t i = start; i < start + probe && !rises; ++i) rises = (~current[i] & wanted[i] & 0xFF) != 0;
        if (rises)
            std::fill(current + start + probe, current + end, uint8_t{0x00});
        else if (end > start + probe && ReadFlashRange(job, link, port, static_cast<uint32_t>(start + probe),
                                                       current + start + probe, end - start - probe, false) != 0)
            return false;
        progress->Step();
    }
    return true;
}

void Count(WriteCounts& counts, const ChangePlan& plan) {
    counts.sectorsErased += plan.sectorsErased;
    counts.pagesWritten += plan.pagesWritten;
}

}  // namespace

FlashWriteResult WriteChangedOnly(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                                  const uint8_t* data, size_t length, const WritePlan& plan) {
    FlashWriteResult result;
    link.writeRefused = false;
    const Geometry geometry = GeometryOf(job);

    // What the siren holds decides the rest; nothing is changed before it is known.
    std::vector<uint8_t> current(length);
    progress->SetRange(0, std::max<int32_t>(1, static_cast<int32_t>((length + geometry.sector - 1) / geometry.sector)),
                       1);
    progress->SetText("Reading...");
    job.flashStatusText = "Reading";
    port.exchangeToWindow();
    if (job.abortFlag || !ReadWhatMatters(job, link, port, progress, current.data(), data, length, geometry.sector)) {
        result.stopped = true;
        result.cancelled = progress.Cancelled();
        return result;
    }
    ChangePlan changes = PlanChanges(current.data(), data, length, geometry.sector, geometry.page);
    const int32_t pages = changes.pagesWritten + changes.pagesAlreadyRight;
    if (changes.Nothing()) {
        // The first read compared every byte: it is the verify.
        result.counts.pagesAlreadyRight = pages;
        return result;
    }
    const int32_t sectors = static_cast<int32_t>((length + geometry.sector - 1) / geometry.sector);
    // Only a write that must erase anyway may erase the whole chip instead.
    const bool bulk =
        changes.sectorsErased > 0 && UseBulkErase(plan.erase, job.flashLastAddress, changes.sectorsErased);
    if (bulk) {
        // Then every sector is erased: program what is not 0xFF, read all of it back.
        const std::vector<uint8_t> erased(length, kErasedByte);
        changes = PlanChanges(erased.data(), data, length, geometry.sector, geometry.page);
        changes.touchedSectors.clear();
        for (int32_t s = 0; s < sectors; ++s) changes.touchedSectors.push_back(static_cast<uint32_t>(s));
    }

    if (!LiftWriteProtection(job, link, port)) {
        result.stopped = true;
        result.refused = link.writeRefused;
        return result;
    }
    if (bulk) {
        progress->SetRange(0, sectors, 1);
        progress->SetText("Erasing...");
        job.flashStatusText = "Erasing";
        port.exchangeToWindow();
        BulkErase(job, link, port, sectors);
        result.counts.sectorsErased = sectors;
    }
    RunPlan(job, link, port, progress, changes, data, geometry.sector);
    Count(result.counts, changes);
    result.counts.pagesAlreadyRight = pages - changes.pagesWritten;

    if (plan.verify && !job.abortFlag) {
        SectorCheck check =
            CheckSectors(job, link, port, progress, changes.touchedSectors, data, length, geometry.sector);
        if (check.verified == 0 && !job.abortFlag) {
            // Once more the described way: erase those sectors, program all their pages.
            const ChangePlan redo = PlanFullSectors(check.differing, length, geometry.sector, geometry.page);
            RunPlan(job, link, port, progress, redo, data, geometry.sector);
            Count(result.counts, redo);
            if (!job.abortFlag)
                check = CheckSectors(job, link, port, progress, check.differing, data, length, geometry.sector);
            else
                check.verified = kStopped;
        }
        if (check.verified == 0) ReportVerifyMismatch(job, link, port, check.firstDifference);
        result.verified = check.verified;
    }
    result.stopped = job.abortFlag != 0;
    result.cancelled = progress.Cancelled();
    result.refused = link.writeRefused && !result.cancelled;
    RestoreWriteProtection(job, link, port);
    result.unverified = result.verified == kStopped && !result.cancelled;
    return result;
}

}  // namespace zorvek
