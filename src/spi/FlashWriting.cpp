// Writing at the flash's pace: pipelined page programming and the bulk erase.
#include <algorithm>
#include <array>
#include <vector>

#include "job/TextFormat.h"
#include "spi/FlashRoutines.h"
#include "spi/LinkFrames.h"

namespace zorvek {

using detail::AddressBytes;
using detail::SendReadFrame;
using detail::SendWriteFrame;
using detail::SetFlashStatus;
using detail::Show;

namespace {

constexpr uint8_t kStatusBusy = 0x01;
constexpr uint8_t kStatusWriteEnabled = 0x02;
// Batches in a row that write nothing before the flash is given up on.
constexpr int kMaxFruitlessBatches = 3;

bool CancelRequested(JobState& job, SpiLink& link) {
    if (!link.progress) return false;
    link.progress->PumpMessages(true);
    if (!link.progress->IsCancelled()) return false;
    job.abortFlag = 1;
    return true;
}

// What a failed pipelined run returns; abortFlag is set.
int32_t PipelineFailed(JobState& job, SpiLink& link) {
    job.abortFlag = 1;
    return link.lastStatus != 0 ? link.lastStatus : kStopped;
}

}  // namespace

int32_t ProgramPages(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                     size_t length) {
    if (job.abortFlag) return kStopped;
    if (length == 0) return 0;
    if (data == nullptr || address % kFlashPageSize != 0 || link.adapter == nullptr) {
        link.lastStatus = link.adapter ? kAdapterInvalidParameter : kAdapterNotOpened;
        return PipelineFailed(job, link);
    }
    static const uint8_t kWriteEnable[] = {kCmdWriteEnable};
    static const uint8_t kReadStatus[] = {kCmdReadStatus};
    const int32_t typicalIdle = PageProgramIdleBytes(job.flashLastAddress, link.clockHz);
    // Grows when pages outlast it (a slower chip than typical), up to the datasheet maximum.
    int32_t idle = typicalIdle;
    const int32_t maxIdle = typicalIdle * 8;
    const size_t pages = (length + kFlashPageSize - 1) / kFlashPageSize;

    std::array<std::array<uint8_t, 4>, kPagesPerBatch> heads{};
    std::array<uint8_t, kPagesPerBatch + 1> status{};
    std::vector<BatchFrame> frames;
    frames.reserve(1 + 4 * kPagesPerBatch);
    size_t next = 0;
    int fruitless = 0;
    while (next < pages) {
        if (job.abortFlag || CancelRequested(job, link)) return kStopped;
        const size_t batch = std::min<size_t>(kPagesPerBatch, pages - next);
        frames.clear();
        // The status before the first page proves the flash free to take it.
        frames.push_back({kReadStatus, 1, nullptr, 0, 1, 0});
        for (size_t k = 0; k < batch; ++k) {
            const size_t offset = (next + k) * kFlashPageSize;
            heads[k][0] = kCmdPageProgram;
            AddressBytes(heads[k].data() + 1, address + static_cast<uint32_t>(offset));
            const auto count = static_cast<int32_t>(std::min<size_t>(kFlashPageSize, length - offset));
            frames.push_back({kWriteEnable, 1, nullptr, 0, 0, 0});
            frames.push_back({heads[k].data(), 4, data + offset, count, 0, 0});
            if (idle > 0) frames.push_back({nullptr, 0, nullptr, 0, 0, idle});
            frames.push_back({kReadStatus, 1, nullptr, 0, 1, 0});
        }
        int32_t received = 0;
        link.lastStatus =
            link.adapter->AdapterBatch(link.handle, frames.data(), frames.size(), status.data(), received);
        if (link.lastStatus == 0 && received != static_cast<int32_t>(batch + 1)) link.lastStatus = kAdapterIoError;
        if (link.lastStatus != 0) return PipelineFailed(job, link);

        // A busy flash decodes nothing but status reads, so page k was taken only if
        // status k (before it) was idle, and it ended only if status k + 1 is idle
        // with the write-enable latch cleared again.
        size_t written = 0;
        bool outlasted = false;  // page `next + written` was taken but still runs
        for (size_t k = 0; k < batch; ++k) {
            const uint8_t before = status[k], after = status[k + 1];
            if (before & kStatusBusy) break;
            if (job.verbose) Show(port, Format(kMsgStatusRegister, after));
            if (after & kStatusBusy) {
                outlasted = true;
                break;
            }
            if (after & kStatusWriteEnabled) break;  // the program was not taken
            ++written;
        }
        for (size_t k = 0; k < written; ++k)
            if (link.progress) link.progress->Step();
        next += written;
        if (outlasted || (status[written] & kStatusBusy)) {
            // Let the flash finish, then resend from the first page not proven written.
            if (!WaitWhileBusy(job, link, port, kPageProgramBusyLimit)) return PipelineFailed(job, link);
            if (outlasted) {
                ++next;
                ++written;
                if (link.progress) link.progress->Step();
                idle = std::min(maxIdle, idle + idle / 4 + 1);
            }
        }
        fruitless = written > 0 ? 0 : fruitless + 1;
        if (fruitless >= kMaxFruitlessBatches) {
            link.lastStatus = kAdapterIoError;
            return PipelineFailed(job, link);
        }
    }
    return 0;
}

bool BulkEraseIsFaster(const FlashChip* chip, int32_t sectors) {
    if (chip == nullptr || chip->sectorEraseTypical.count() <= 0 || chip->bulkEraseTypical.count() <= 0) return false;
    return sectors * chip->sectorEraseTypical >= chip->bulkEraseTypical;
}

bool UseBulkErase(EraseMode mode, uint32_t flashLastAddress, int32_t sectors) {
    switch (mode) {
        case EraseMode::Chip:
            return true;
        case EraseMode::Auto:
            return flashLastAddress != 0 &&
                   BulkEraseIsFaster(FlashChipForCapacity(uint64_t{flashLastAddress} + 1), sectors);
        case EraseMode::Sectors:
            break;
    }
    return false;
}

int32_t BulkErase(JobState& job, SpiLink& link, UserPort& port, int32_t steps) {
    if (job.abortFlag) return kStopped;
    WriteEnable(job, link, port);
    SetFlashStatus(job, port, "Erasing");
    const uint8_t control[] = {kCmdChipErase};
    if (SendWriteFrame(link, control, sizeof control, nullptr, 0) != 0) {
        job.abortFlag = 1;
        return kStopped;
    }
    const FlashChip* chip = FlashChipForCapacity(uint64_t{job.flashLastAddress} + 1);
    const std::chrono::nanoseconds typical =
        chip ? std::chrono::nanoseconds(chip->bulkEraseTypical) : std::chrono::nanoseconds(std::chrono::seconds(13));
    const uint8_t poll[] = {kCmdReadStatus};
    const auto start = link.adapter->Elapsed();
    int32_t shown = 0;
    for (;;) {
        if (job.abortFlag || CancelRequested(job, link)) return kStopped;
        uint8_t status = 0;
        if (SendReadFrame(link, poll, sizeof poll, &status, 1) != 0) {
            job.abortFlag = 1;
            return kStopped;
        }
        if (job.verbose) Show(port, Format(kMsgStatusRegister, status));
        const auto elapsed = link.adapter->Elapsed() - start;
        if ((status & kStatusBusy) == 0) break;
        if (elapsed > kChipEraseBusyLimit) {
            job.abortFlag = 1;
            Show(port, Format(kMsgStillBusy, static_cast<int>(kChipEraseBusyLimit.count() / 1000)));
            return kStopped;
        }
        // Typical time gone but still busy: stay one short of the end.
        const auto position =
            static_cast<int32_t>(std::min<int64_t>(steps - 1, steps * elapsed.count() / typical.count()));
        if (link.progress && position > shown) {
            shown = position;
            link.progress->SetPosition(position);
        }
    }
    if (link.progress) link.progress->SetPosition(steps);
    SetFlashStatus(job, port, "");
    return 0;
}

}  // namespace zorvek
