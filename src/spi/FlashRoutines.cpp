// The serial flash command set: signature, write enable, busy polling, page
// program, read, erase and read-back verification.
#include "spi/FlashRoutines.h"

#include <algorithm>
#include <array>
#include <vector>

#include "job/TextFormat.h"
#include "spi/LinkFrames.h"

namespace zorvek {

using detail::SendReadFrame;
using detail::SendWriteFrame;
using detail::Show;

namespace {

void SetFlashStatus(JobState& job, UserPort& port, const char* text) {
    job.flashStatusText = text;
    port.exchangeToWindow();
}

void AddressBytes(uint8_t* out, uint32_t address) {
    out[0] = static_cast<uint8_t>(address >> 16);
    out[1] = static_cast<uint8_t>(address >> 8);
    out[2] = static_cast<uint8_t>(address);
}

}  // namespace

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

uint32_t FlashLastAddressForSignature(uint32_t signature) {
    const FlashChip* chip = FlashChipForSignature(signature);
    return chip ? chip->LastAddress() : 0;
}

int32_t ReadSignature(JobState& job, SpiLink& link, UserPort& port) {
    const uint8_t control[] = {kCmdReadSignature, 0, 0, 0, 0};
    uint8_t signature = 0;  // what a failed read reports
    int32_t status = SendReadFrame(link, control, sizeof control, &signature, 1);
    if (job.verbose) {
        job.messageText = Format(kMsgSignature, signature);
        if (status == 0) Show(port, job.messageText);
    }
    job.flashIdText = Format("0x%x", signature);
    port.exchangeToWindow();
    job.flashIdValue = signature;
    return status;
}

void IdentifyFlash(JobState& job, SpiLink& link, UserPort& port) {
    link.lastStatus = ReadSignature(job, link, port);
    if (link.lastStatus != 0) {
        // A failed read says nothing about the chip, whatever byte it left.
        job.abortFlag = 1;
        Show(port, kMsgSignatureUnread);
        return;
    }
    uint32_t lastAddress = FlashLastAddressForSignature(job.flashIdValue);
    if (lastAddress == 0) {
        job.abortFlag = 1;
        Show(port, Format(kMsgSignatureUnknown, job.flashIdValue));
        return;
    }
    job.flashLastAddress = lastAddress;
}

int32_t WriteEnable(JobState&, SpiLink& link, UserPort&) {
    const uint8_t control[] = {kCmdWriteEnable};
    return SendWriteFrame(link, control, sizeof control, nullptr, 0);
}

bool WaitWhileBusy(JobState& job, SpiLink& link, UserPort& port, std::chrono::milliseconds limit) {
    const uint8_t control[] = {kCmdReadStatus};
    const auto start = link.adapter ? link.adapter->Elapsed() : std::chrono::nanoseconds(0);
    for (;;) {
        bool cancelled = false;
        if (link.progress) {
            link.progress->PumpMessages(true);
            if (link.progress->IsCancelled()) {
                job.abortFlag = 1;
                cancelled = true;
            }
        }
        uint8_t status = 0;
        int32_t result = SendReadFrame(link, control, sizeof control, &status, 1);
        if (job.verbose) {
            job.messageText = Format(kMsgStatusRegister, status);
            if (result == 0) Show(port, job.messageText);
        }
        if (result != 0) {
            job.abortFlag = 1;
            return false;
        }
        if (cancelled) return false;
        if ((status & 0x01) == 0) return true;
        if (link.adapter->Elapsed() - start > limit) {
            job.abortFlag = 1;
            Show(port, Format(kMsgStillBusy, static_cast<int>(limit.count() / 1000)));
            return false;
        }
    }
}

int32_t PageProgramIdleBytes(uint32_t flashLastAddress, int32_t clockHz) {
    if (clockHz <= 0) clockHz = ClockFrequencyForDivisor(kSpiClockDivisor);
    // Unknown size: the longest typical time, so the first poll still tends to find it idle.
    std::chrono::nanoseconds typical{0};
    if (const FlashChip* chip = FlashChipForCapacity(uint64_t{flashLastAddress} + 1)) {
        typical = chip->pageProgramTypical;
    } else {
        for (const FlashChip& c : kFlashChips)
            typical = std::max<std::chrono::nanoseconds>(typical, c.pageProgramTypical);
    }
    const int64_t bitsTimesNs = static_cast<int64_t>(typical.count()) * clockHz;
    constexpr int64_t kNsPerByteAt1Hz = 8 * 1000000000LL;
    return static_cast<int32_t>((bitsTimesNs + kNsPerByteAt1Hz - 1) / kNsPerByteAt1Hz);
}

int32_t PageProgram(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                    int32_t count) {
    if (job.abortFlag) return kStopped;
    if (count < 1 || count > static_cast<int32_t>(kFlashPageSize) || data == nullptr) {
        link.lastStatus = kAdapterInvalidParameter;
        return link.lastStatus;
    }
    WriteEnable(job, link, port);
    if (job.abortFlag) return kStopped;
    uint8_t control[4] = {kCmdPageProgram};
    AddressBytes(control + 1, address);
    const int32_t sent = SendWriteFrame(link, control, sizeof control, data, count);
    if (job.abortFlag) return kStopped;
    // A poll sent straight after the program finds the flash busy and costs a round
    // trip of its own. Clocking idle bytes (chip select high) for the typical program
    // time travels in the same USB write as the page, and the poll finds it done.
    // The status is left alone: the poll reports a broken link anyway.
    if (sent == 0 && link.adapter)
        link.adapter->AdapterIdleClocks(link.handle, PageProgramIdleBytes(job.flashLastAddress, link.clockHz));
    WaitWhileBusy(job, link, port, kPageProgramBusyLimit);
    return link.lastStatus;
}

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

int32_t ReadFlash(JobState&, SpiLink& link, UserPort&, uint32_t address, uint8_t* buffer, int32_t count) {
    if (count < 1 || buffer == nullptr) {
        link.lastStatus = kAdapterInvalidParameter;
        return link.lastStatus;
    }
    uint8_t control[4] = {kCmdReadData};
    AddressBytes(control + 1, address);
    return SendReadFrame(link, control, sizeof control, buffer, count);
}

void ChipErase(JobState& job, SpiLink& link, UserPort& port) {
    WriteEnable(job, link, port);
    SetFlashStatus(job, port, "Erasing");
    const uint8_t control[] = {kCmdChipErase};
    SendWriteFrame(link, control, sizeof control, nullptr, 0);
    WaitWhileBusy(job, link, port, kChipEraseBusyLimit);
    SetFlashStatus(job, port, "");
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

int32_t EraseSectors(JobState& job, SpiLink& link, UserPort& port, uint32_t address, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (job.abortFlag) return kStopped;
        WriteEnable(job, link, port);
        SetFlashStatus(job, port, "Erasing");
        uint8_t control[4] = {kCmdSectorErase};
        AddressBytes(control + 1, address);
        SendWriteFrame(link, control, sizeof control, nullptr, 0);
        address += kFlashSectorSize;
        if (link.progress) link.progress->Step();
        if (job.abortFlag) return kStopped;
        WaitWhileBusy(job, link, port, kSectorEraseBusyLimit);
    }
    SetFlashStatus(job, port, "");
    return 0;
}

int32_t VerifyFlash(JobState& job, SpiLink& link, UserPort& port, int32_t length, const uint8_t* data) {
    SetFlashStatus(job, port, "Verifying");
    const int64_t total = std::max<int64_t>(length, 0);
    // Blocks of 256 bytes, one even for an empty image.
    const int64_t blocksEnd = std::max<int64_t>(1, (total + kFlashPageSize - 1) / kFlashPageSize) * kFlashPageSize;
    // Read frames of many blocks save a USB round trip per block.
    const int64_t frameBytes =
        std::max<int64_t>(kFlashPageSize, link.verifyFrameBytes / kFlashPageSize * kFlashPageSize);
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(frameBytes, blocksEnd)));
    int64_t bufferStart = 0, bufferEnd = 0;  // flash range held in buffer
    bool singleBlocks = false;               // after a failed multi-block read
    for (int64_t b = 0; b < total + 255 || b == 0; b += kFlashPageSize) {
        if (job.abortFlag) return kStopped;
        if (link.progress) {
            link.progress->PumpMessages(true);
            if (link.progress->IsCancelled()) {
                job.abortFlag = 1;
                return kStopped;
            }
        }
        bool readOk = true;
        if (b >= bufferEnd) {
            int64_t want = singleBlocks ? kFlashPageSize : std::min(frameBytes, blocksEnd - b);
            int32_t status =
                ReadFlash(job, link, port, static_cast<uint32_t>(b), buffer.data(), static_cast<int32_t>(want));
            if (status != 0 && want > static_cast<int64_t>(kFlashPageSize)) {
                // Narrow the failure down to its block.
                singleBlocks = true;
                want = kFlashPageSize;
                status =
                    ReadFlash(job, link, port, static_cast<uint32_t>(b), buffer.data(), static_cast<int32_t>(want));
            }
            readOk = status == 0;
            bufferStart = b;
            bufferEnd = readOk ? b + want : b;  // a failed block is read again if ever needed
        }
        const int64_t blockEnd = std::min<int64_t>(b + kFlashPageSize, total);
        for (int64_t at = b; at < blockEnd; ++at) {
            // A block that could not be read back differs from its first byte on.
            if (!readOk || buffer[static_cast<size_t>(at - bufferStart)] != data[at]) {
                job.messageText = Format(kMsgVerifyError, static_cast<int>(at));
                job.flashStatusText.clear();
                port.exchangeToWindow();
                if (link.progress) link.progress->Hide();
                Show(port, job.messageText);
                return 0;
            }
        }
        if (link.progress) link.progress->Step();
    }
    return 1;
}

}  // namespace zorvek
