// The serial flash command set: signature, write enable, busy polling, page
// program, read, erase and read-back verification.
#include "spi/FlashRoutines.h"

#include <algorithm>
#include <vector>

#include "job/TextFormat.h"
#include "spi/LinkFrames.h"

namespace zorvek {

using detail::SendReadFrame;
using detail::SendWriteFrame;
using detail::Show;

using detail::AddressBytes;
using detail::SetFlashStatus;

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
    if (address % kFlashPageSize + static_cast<uint32_t>(count) > kFlashPageSize) {
        link.lastStatus = kAdapterInvalidParameter;
        job.abortFlag = 1;
        Show(port, Format(kMsgPageCrossing, count, address, kFlashPageSize));
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
        if (b >= bufferEnd && b < blocksEnd) {
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
            if (status != 0) {
                // Nothing is known about a block that could not be read back: that is
                // a stopped run, not a difference.
                job.abortFlag = 1;
                return kStopped;
            }
            bufferStart = b;
            bufferEnd = b + want;
        }
        const int64_t blockEnd = std::min<int64_t>(b + kFlashPageSize, total);
        for (int64_t at = b; at < blockEnd; ++at) {
            if (buffer[static_cast<size_t>(at - bufferStart)] != data[at]) {
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
