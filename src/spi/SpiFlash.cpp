// The serial flash command set: signature, write enable, busy polling, page
// program (one page, or pipelined), read, erase and read-back verification.
#include "spi/SpiFlash.h"

#include <algorithm>
#include <array>

namespace zorvek {

namespace {

// Batches in a row that write nothing before the flash is given up on.
constexpr int kMaxFruitlessBatches = 3;

Result Refused(uint32_t address) {
    Result r = Result::Failure(Fault::WriteProtected, "the flash did not take the command");
    r.address = address;
    return r;
}

Result StillBusy(std::chrono::milliseconds limit) {
    Result r = Result::Failure(Fault::StillBusy);
    r.value = limit.count();
    return r;
}

}  // namespace

void AddressBytes(uint8_t* out, uint32_t address) {
    out[0] = static_cast<uint8_t>(address >> 16);
    out[1] = static_cast<uint8_t>(address >> 8);
    out[2] = static_cast<uint8_t>(address);
}

WriteFrame MakeWriteFrame(const uint8_t* control, int32_t controlCount, const uint8_t* data, int32_t dataCount) {
    static const uint8_t kNoData = 0;
    WriteFrame frame;
    frame.controlBitCount = 8 * controlCount;
    frame.control = control;
    frame.controlByteCount = controlCount;
    frame.dataFlag = dataCount > 0 ? 1 : 0;
    frame.dataBitCount = dataCount > 0 ? 8 * dataCount : 8;
    frame.data = dataCount > 0 ? data : &kNoData;
    frame.dataByteCount = dataCount > 0 ? dataCount : 1;
    return frame;
}

ReadFrame MakeReadFrame(const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count) {
    ReadFrame frame;
    frame.controlBitCount = 8 * controlCount;
    frame.control = control;
    frame.controlByteCount = controlCount;
    frame.readBitCount = 8 * count;
    frame.receive = buffer;
    return frame;
}

SpiFlash::SpiFlash(SpiAdapter& adapter, uint32_t handle, const FlashChip* chip, ProgressPort* progress,
                   FlashObserver* observer, int32_t clockHz)
    : adapter_(adapter),
      handle_(handle),
      chip_(chip),
      progress_(progress),
      observer_(observer ? observer : &silent_),
      clockHz_(clockHz) {}

Result SpiFlash::Write(const uint8_t* control, int32_t controlCount, const uint8_t* data, int32_t dataCount) {
    const int32_t status = adapter_.AdapterWrite(handle_, MakeWriteFrame(control, controlCount, data, dataCount));
    return status == kAdapterOk ? Result::Ok() : Result::AdapterFailure(status);
}

Result SpiFlash::Query(const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count) {
    int32_t returned = 0;
    const int32_t status =
        adapter_.AdapterRead(handle_, MakeReadFrame(control, controlCount, buffer, count), returned);
    return status == kAdapterOk ? Result::Ok() : Result::AdapterFailure(status);
}

bool SpiFlash::CancelRequested() {
    if (!progress_) return false;
    progress_->PumpMessages(true);
    return progress_->IsCancelled();
}

void SpiFlash::Step() {
    if (progress_) progress_->Step();
}

Result SpiFlash::ReadSignature(uint8_t& signature) {
    const uint8_t control[] = {kCmdReadSignature, 0, 0, 0, 0};
    signature = 0;  // what a failed read reports
    return Query(control, sizeof control, &signature, 1);
}

Result SpiFlash::WriteEnable() {
    const uint8_t control[] = {kCmdWriteEnable};
    return Write(control, sizeof control);
}

Result SpiFlash::ReadStatus(uint8_t& status) {
    const uint8_t control[] = {kCmdReadStatus};
    status = 0;
    Result r = Query(control, sizeof control, &status, 1);
    if (r) observer_->StatusRead(status);
    return r;
}

Result SpiFlash::WaitWhileBusy(std::chrono::milliseconds limit, bool paced) {
    return Wait(limit, nullptr, paced);
}

void SpiFlash::PollPause() {
    if (!adapter_.IdleClocksAreFree()) return;
    const int32_t hz = clockHz_ > 0 ? clockHz_ : ClockFrequencyForDivisor(0);
    adapter_.AdapterIdleClocks(handle_, hz / 8 / 1000);  // its status shows in the poll
}

Result SpiFlash::Wait(std::chrono::milliseconds limit, uint8_t* first, bool paced) {
    const auto start = adapter_.Elapsed();
    for (bool again = false;; again = true) {
        const bool cancelled = CancelRequested();
        if (paced && again) PollPause();
        uint8_t status = 0;
        if (Result r = ReadStatus(status); !r) return r;
        if (first) {
            *first = status;
            first = nullptr;
        }
        if (cancelled) return Result::Failure(Fault::Cancelled);
        if ((status & kStatusBusy) == 0) return Result::Ok();
        if (adapter_.Elapsed() - start > limit) return StillBusy(limit);
    }
}

int32_t SpiFlash::PageProgramIdleBytes(const FlashChip* chip, int32_t clockHz) {
    if (clockHz <= 0) clockHz = ClockFrequencyForDivisor(0);
    const int64_t bitsTimesNs = TypicalBusy(chip, BusyKind::PageProgram).count() * clockHz;
    constexpr int64_t kNsPerByteAt1Hz = 8 * 1000000000LL;
    return static_cast<int32_t>((bitsTimesNs + kNsPerByteAt1Hz - 1) / kNsPerByteAt1Hz);
}

Result SpiFlash::PageProgram(uint32_t address, const uint8_t* data, int32_t count) {
    const uint32_t page = PageSize();
    if (count < 1 || count > static_cast<int32_t>(page) || data == nullptr)
        return Result::Failure(Fault::InvalidArgument);
    if (address % page + static_cast<uint32_t>(count) > page) {
        Result r = Result::Failure(Fault::PageCrossing);
        r.address = address;
        r.value = count;
        return r;
    }
    if (Result r = WriteEnable(); !r) return r;
    uint8_t control[4] = {kCmdPageProgram};
    AddressBytes(control + 1, address);
    if (Result r = Write(control, sizeof control, data, count); !r) return r;
    // A poll sent straight after the program finds the flash busy and costs a round
    // trip of its own. Clocking idle bytes (chip select high) for the typical program
    // time travels in the same USB write as the page, and the poll finds it done.
    // Its status is left alone: the poll reports a broken link anyway.
    adapter_.AdapterIdleClocks(handle_, PageProgramIdleBytes(chip_, clockHz_));
    uint8_t first = kStatusBusy;
    if (Result r = Wait(BusyLimit(chip_, BusyKind::PageProgram), &first); !r) return r;
    // Idle with the latch still set: the chip never started the program.
    if ((first & (kStatusBusy | kStatusWriteEnabled)) == kStatusWriteEnabled) return Refused(address);
    return Result::Ok();
}

Result SpiFlash::ProgramPages(uint32_t address, const uint8_t* data, size_t length) {
    const uint32_t page = PageSize();
    if (length == 0) return Result::Ok();
    if (data == nullptr || address % page != 0) return Result::Failure(Fault::InvalidArgument);
    static const uint8_t kWriteEnable[] = {kCmdWriteEnable};
    static const uint8_t kReadStatus[] = {kCmdReadStatus};
    const int32_t typicalIdle = PageProgramIdleBytes(chip_, clockHz_);
    // Grows when pages outlast it (a slower chip than typical), up to the datasheet maximum.
    int32_t idle = typicalIdle;
    const int32_t maxIdle = typicalIdle * 8;
    const size_t pages = (length + page - 1) / page;

    std::array<std::array<uint8_t, 4>, kPagesPerBatch> heads{};
    std::array<uint8_t, kPagesPerBatch + 1> status{};
    std::vector<BatchFrame> frames;
    frames.reserve(1 + 4 * kPagesPerBatch);
    size_t next = 0;
    int fruitless = 0;
    while (next < pages) {
        if (CancelRequested()) return Result::Failure(Fault::Cancelled);
        const size_t batch = std::min<size_t>(kPagesPerBatch, pages - next);
        frames.clear();
        // The status before the first page proves the flash free to take it.
        frames.push_back({kReadStatus, 1, nullptr, 0, 1, 0});
        for (size_t k = 0; k < batch; ++k) {
            const size_t offset = (next + k) * page;
            heads[k][0] = kCmdPageProgram;
            AddressBytes(heads[k].data() + 1, address + static_cast<uint32_t>(offset));
            const auto count = static_cast<int32_t>(std::min<size_t>(page, length - offset));
            frames.push_back({kWriteEnable, 1, nullptr, 0, 0, 0});
            frames.push_back({heads[k].data(), 4, data + offset, count, 0, 0});
            if (idle > 0) frames.push_back({nullptr, 0, nullptr, 0, 0, idle});
            frames.push_back({kReadStatus, 1, nullptr, 0, 1, 0});
        }
        int32_t received = 0;
        int32_t sent = adapter_.AdapterBatch(handle_, frames.data(), frames.size(), status.data(), received);
        if (sent == kAdapterOk && received != static_cast<int32_t>(batch + 1)) sent = kAdapterIoError;
        if (sent != kAdapterOk) return Result::AdapterFailure(sent);

        // A busy flash decodes nothing but status reads, so page k was taken only if
        // status k (before it) was idle, and it ended only if status k + 1 is idle
        // with the write-enable latch cleared again.
        size_t written = 0;
        bool outlasted = false;  // page `next + written` was taken but still runs
        for (size_t k = 0; k < batch; ++k) {
            const uint8_t before = status[k], after = status[k + 1];
            if (before & kStatusBusy) break;
            observer_->StatusRead(after);
            if (after & kStatusBusy) {
                outlasted = true;
                break;
            }
            if (after & kStatusWriteEnabled) break;  // the program was not taken
            ++written;
        }
        for (size_t k = 0; k < written; ++k) Step();
        next += written;
        if (outlasted || (status[written] & kStatusBusy)) {
            // Let the flash finish, then resend from the first page not proven written.
            if (Result r = WaitWhileBusy(BusyLimit(chip_, BusyKind::PageProgram)); !r) return r;
            if (outlasted) {
                ++next;
                ++written;
                Step();
                idle = std::min(maxIdle, idle + idle / 4 + 1);
            }
        }
        fruitless = written > 0 ? 0 : fruitless + 1;
        if (fruitless >= kMaxFruitlessBatches) {
            // Idle, and the latch set by the write enable still set: the chip heard
            // the program and refused it, which only protection makes it do.
            const uint8_t last = status[written + 1];
            if ((last & (kStatusBusy | kStatusWriteEnabled)) == kStatusWriteEnabled)
                return Refused(address + static_cast<uint32_t>(next * page));
            return Result::AdapterFailure(kAdapterIoError, "the flash took no page in three batches");
        }
    }
    return Result::Ok();
}

Result SpiFlash::Read(uint32_t address, uint8_t* buffer, int32_t count) {
    if (count < 1 || buffer == nullptr) return Result::Failure(Fault::InvalidArgument);
    // READ is specified up to the chip's read clock only; FAST_READ's dummy byte
    // gives the array time above it.
    const bool fast = chip_ && chip_->readMaxHz > 0 && clockHz_ > static_cast<int32_t>(chip_->readMaxHz);
    uint8_t control[5] = {fast ? kCmdFastRead : kCmdReadData, 0, 0, 0, 0};
    AddressBytes(control + 1, address);
    return Query(control, fast ? 5 : 4, buffer, count);
}

Result SpiFlash::CheckTaken(uint8_t firstStatus, uint32_t probe) {
    if (firstStatus & kStatusBusy) return Result::Ok();
    if (firstStatus & kStatusWriteEnabled) return Refused(probe);
    // Idle at once with the latch clear: done within a poll, or refused by a chip
    // that clears the latch on refusal. An erased start tells which.
    uint8_t head[16];
    if (Result r = Read(probe, head, sizeof head); !r) return r;
    for (uint8_t b : head)
        if (b != kErasedByte) return Refused(probe);
    return Result::Ok();
}

Result SpiFlash::EraseSectors(uint32_t address, int32_t count) {
    if (count <= 0) return Result::Ok();
    const auto limit = BusyLimit(chip_, BusyKind::SectorErase);
    // A busy flash ignores the write enable and the erase: what an earlier run left
    // running (one that gave up waiting) must end first.
    if (Result r = WaitWhileBusy(limit, true); !r) return r;
    for (int32_t i = 0; i < count; ++i) {
        if (Result r = WriteEnable(); !r) return r;
        observer_->EraseStarting();
        uint8_t control[4] = {SectorEraseOpcode()};
        AddressBytes(control + 1, address);
        if (Result r = Write(control, sizeof control); !r) return r;
        const uint32_t sector = address;
        address += SectorSize();
        Step();
        uint8_t first = kStatusBusy;
        if (Result r = Wait(limit, &first, true); !r) return r;
        if (Result r = CheckTaken(first, sector); !r) return r;
    }
    return Result::Ok();
}

Result SpiFlash::EraseChip(int32_t steps) {
    if (Result r = WaitWhileBusy(BusyLimit(chip_, BusyKind::SectorErase), true); !r) return r;  // as EraseSectors
    if (Result r = WriteEnable(); !r) return r;
    observer_->EraseStarting();
    const uint8_t control[] = {kCmdChipErase};
    if (Result r = Write(control, sizeof control); !r) return r;
    const auto limit = BusyLimit(chip_, BusyKind::BulkErase);
    const std::chrono::nanoseconds typical = TypicalBusy(chip_, BusyKind::BulkErase);
    const auto start = adapter_.Elapsed();
    int32_t shown = 0;
    for (bool first = true;; first = false) {
        if (CancelRequested()) return Result::Failure(Fault::Cancelled);
        if (!first) PollPause();
        uint8_t status = 0;
        if (Result r = ReadStatus(status); !r) return r;
        const auto elapsed = adapter_.Elapsed() - start;
        if (first)
            if (Result r = CheckTaken(status, 0); !r) return r;
        if ((status & kStatusBusy) == 0) break;
        if (elapsed > limit) return StillBusy(limit);
        // Typical time gone but still busy: stay one short of the end.
        const auto position =
            static_cast<int32_t>(std::min<int64_t>(steps - 1, steps * elapsed.count() / typical.count()));
        if (progress_ && steps > 0 && position > shown) {
            shown = position;
            progress_->SetPosition(position);
        }
    }
    if (progress_ && steps > 0) progress_->SetPosition(steps);
    return Result::Ok();
}

Result SpiFlash::Verify(const uint8_t* data, size_t length, int32_t frameBytes) {
    const int64_t page = PageSize();
    const auto total = static_cast<int64_t>(length);
    // Blocks of a page, one even for an empty image.
    const int64_t blocksEnd = std::max<int64_t>(1, (total + page - 1) / page) * page;
    // Read frames of many blocks save a USB round trip per block.
    const int64_t frame = std::max<int64_t>(page, frameBytes / page * page);
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min(frame, blocksEnd)));
    int64_t bufferStart = 0, bufferEnd = 0;  // flash range held in buffer
    bool singleBlocks = false;               // after a failed multi-block read
    for (int64_t b = 0; b < total + page - 1 || b == 0; b += page) {
        if (CancelRequested()) return Result::Failure(Fault::Cancelled);
        if (b >= bufferEnd && b < blocksEnd) {
            int64_t want = singleBlocks ? page : std::min(frame, blocksEnd - b);
            Result r = Read(static_cast<uint32_t>(b), buffer.data(), static_cast<int32_t>(want));
            if (!r && want > page) {
                // Narrow the failure down to its block.
                singleBlocks = true;
                want = page;
                r = Read(static_cast<uint32_t>(b), buffer.data(), static_cast<int32_t>(want));
            }
            if (!r) {
                r.address = static_cast<uint32_t>(b);
                return r;
            }
            bufferStart = b;
            bufferEnd = b + want;
        }
        const int64_t blockEnd = std::min<int64_t>(b + page, total);
        for (int64_t at = b; at < blockEnd; ++at) {
            if (buffer[static_cast<size_t>(at - bufferStart)] != data[at]) {
                Result r = Result::Failure(Fault::Mismatch);
                r.address = static_cast<uint32_t>(at);
                return r;
            }
        }
        Step();
    }
    return Result::Ok();
}

}  // namespace zorvek
