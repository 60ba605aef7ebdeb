#include "spi/SimulatedFlash.h"

#include <algorithm>
#include <cstring>

#include "job/FlashCommands.h"
#include "spi/Sfdp.h"

namespace zorvek {

namespace {
constexpr uint8_t kFloating = 0xFF;  // data-out not driven
constexpr auto kForever = std::chrono::nanoseconds::max();
}  // namespace

bool SimulatedFlash::IsSupportedSize(uint32_t size) {
    return FlashChipForCapacity(size) != nullptr;
}

uint8_t SimulatedFlash::SignatureForSize(uint32_t size) {
    const FlashChip* chip = FlashChipForCapacity(size);
    return chip ? chip->signature : FlashChipForCapacity(kDefaultSize)->signature;
}

SimulatedFlash::SimulatedFlash(uint32_t size)
    : SimulatedFlash(*FlashChipForCapacity(IsSupportedSize(size) ? size : kDefaultSize)) {}

SimulatedFlash::SimulatedFlash(const FlashChip& chip)
    : chip_(chip), memory_(chip.capacity, kErasedByte), signature_(chip.signature), jedecId_(chip.jedecId) {
    std::memset(pageLatch_, kErasedByte, sizeof pageLatch_);
    ServeSfdp(chip.sfdp);
}

void SimulatedFlash::ServeSfdp(bool on) {
    sfdp_ = on ? BuildSfdp(chip_) : std::vector<uint8_t>();
}

void SimulatedFlash::SetStatusRegisters(uint8_t status1, uint8_t status2) {
    status1_ = static_cast<uint8_t>(status1 & ~(kStatusBusy | kStatusWriteEnabled));
    status2_ = chip_.statusRegister2 ? status2 : 0;
}

bool SimulatedFlash::Busy() const {
    if (now_ >= busyUntil_) return false;
    return !wallClock_ || busyUntil_ == kForever || std::chrono::steady_clock::now() < wallBusyUntil_;
}

void SimulatedFlash::Settle() {
    // The write-enable latch clears when a program or erase completes.
    if (clearLatchWhenIdle_ && !Busy()) {
        writeEnabled_ = false;
        clearLatchWhenIdle_ = false;
    }
}

uint8_t SimulatedFlash::StatusRegister() {
    Settle();
    return static_cast<uint8_t>(status1_ | (Busy() ? kStatusBusy : 0) | (writeEnabled_ ? kStatusWriteEnabled : 0));
}

void SimulatedFlash::Select() {
    Settle();
    selected_ = true;
    phase_ = Phase::Idle;
    frameBytes_ = 0;
    latchedBytes_ = 0;
}

void SimulatedFlash::Deselect() {
    if (selected_ && phase_ == Phase::Command) Execute();
    selected_ = false;
    phase_ = Phase::Idle;
}

uint8_t SimulatedFlash::OutputFor(uint8_t mosi) {
    switch (opcode_) {
        case kCmdReadStatus:
            return StatusRegister();
        case kCmdReadStatus2:
            return chip_.statusRegister2 ? status2_ : kFloating;
        case kCmdReadSignature:
            // A part without RES does not drive data out for it.
            return frameBytes_ >= 4 && signature_ != 0 ? signature_ : kFloating;
        case kCmdReadJedecId:
            return frameBytes_ <= 3 && jedecId_ != 0 ? static_cast<uint8_t>(jedecId_ >> (8 * (3 - frameBytes_)))
                                                     : kFloating;
        case kCmdReadData:
            if (frameBytes_ >= 4) return memory_[address_++ & Mask()];
            address_ = (address_ << 8) | mosi;
            return kFloating;
        case kCmdFastRead:  // address, one dummy byte, data
            if (frameBytes_ >= 5) return memory_[address_++ & Mask()];
            if (frameBytes_ < 4) address_ = (address_ << 8) | mosi;
            return kFloating;
        case kCmdReadSfdp:
            if (frameBytes_ >= 5) {
                const uint32_t at = address_++;
                return at < sfdp_.size() ? sfdp_[at] : kFloating;
            }
            if (frameBytes_ < 4) address_ = (address_ << 8) | mosi;
            return kFloating;
        case kCmdWriteStatus:
            if (frameBytes_ <= 2) statusLatch_[frameBytes_ - 1] = mosi;
            return kFloating;
        case kCmdPageProgram:
        case kCmdSectorErase:
            if (frameBytes_ < 4) {
                address_ = (address_ << 8) | mosi;
            } else if (opcode_ == kCmdPageProgram) {
                pageLatch_[(address_ + latchedBytes_) & (kPageSize - 1)] = mosi;
                ++latchedBytes_;
            }
            return kFloating;
        default:
            return kFloating;
    }
}

uint8_t SimulatedFlash::Exchange(uint8_t mosi) {
    if (!selected_) return kFloating;
    uint8_t out = kFloating;
    if (phase_ == Phase::Idle) {
        opcode_ = mosi;
        address_ = 0;
        // A busy chip decodes nothing but the status read.
        phase_ = (Busy() && mosi != kCmdReadStatus) ? Phase::Ignored : Phase::Command;
        if (phase_ == Phase::Ignored) ++ignoredCommands;
        if (opcode_ == kCmdPageProgram) std::memset(pageLatch_, kErasedByte, sizeof pageLatch_);
    } else if (phase_ == Phase::Command) {
        out = OutputFor(mosi);
    }
    ++frameBytes_;
    return out;
}

void SimulatedFlash::WriteBytes(const uint8_t* data, size_t count) {
    for (size_t i = 0; i < count; ++i) Exchange(data[i]);
}

void SimulatedFlash::ReadBytes(uint8_t* data, size_t count) {
    size_t i = 0;
    // Bulk read of the array: straight copies, wrapping at the end of the chip.
    const uint64_t dataFrom = opcode_ == kCmdFastRead ? 5 : 4;
    if (selected_ && phase_ == Phase::Command && (opcode_ == kCmdReadData || opcode_ == kCmdFastRead) &&
        frameBytes_ >= dataFrom) {
        while (i < count) {
            uint32_t at = address_ & Mask();
            size_t run = std::min<size_t>(count - i, Size() - at);
            std::memcpy(data + i, memory_.data() + at, run);
            address_ = at + static_cast<uint32_t>(run);
            i += run;
        }
        frameBytes_ += count;
        return;
    }
    for (; i < count; ++i) data[i] = Exchange(0x00);
}

bool SimulatedFlash::StartWrite(std::chrono::nanoseconds duration) {
    if (!writeEnabled_) {
        ++ignoredCommands;
        return false;
    }
    busyTime += duration;
    modified = true;
    bool stuck = stuckBusyAfter_ >= 0 && writesStarted_ >= stuckBusyAfter_;
    if (writesStarted_ == slowWriteAfter_) duration = slowWriteDuration_;
    ++writesStarted_;
    busyUntil_ = stuck ? kForever : now_ + duration;
    if (wallClock_) wallBusyUntil_ = std::chrono::steady_clock::now() + duration;
    clearLatchWhenIdle_ = true;
    return !stuck;  // a stuck chip never gets to change its array
}

bool SimulatedFlash::Allowed(uint32_t from, uint32_t to) {
    if (!writeEnabled_ || !ProtectedRange(chip_, status1_, status2_).Overlaps(from, to)) return true;
    ++ignoredCommands;
    ++refusedCommands;
    if (chip_.refusalClearsLatch) writeEnabled_ = false;
    return false;
}

void SimulatedFlash::WriteStatus() {
    const uint64_t bytes = frameBytes_ - 1;
    if (!writeEnabled_ || bytes < 1 || bytes > 2) return;
    // SRWD with WP low: not executed (W25Q: SRP0 = 1, /WP = 0 is hardware protected).
    if ((status1_ & kStatusRegisterProtect) && wpLow_) return;
    ++statusWrites;
    status1_ = static_cast<uint8_t>(statusLatch_[0] & ~(kStatusBusy | kStatusWriteEnabled));
    // A part with a second register takes it as the second byte; one byte alone
    // clears it (GD25Q16C: the eighth bit ends the write of S15-S0 with S15-S8 zero).
    if (chip_.statusRegister2) status2_ = bytes == 2 ? statusLatch_[1] : 0;
    busyUntil_ = now_ + chip_.statusWriteMax / 3;
    if (wallClock_) wallBusyUntil_ = std::chrono::steady_clock::now() + chip_.statusWriteMax / 3;
    clearLatchWhenIdle_ = true;
}

void SimulatedFlash::Execute() {
    // Instructions that act on chip select rising need exactly their own bytes.
    switch (opcode_) {
        case kCmdWriteEnable:
            if (frameBytes_ == 1) writeEnabled_ = true;
            break;
        case kCmdWriteStatus:
            WriteStatus();
            break;
        case kCmdChipErase:
            // Refused when any part of the array is protected.
            if (frameBytes_ == 1 && Allowed(0, Size()) && StartWrite(BulkEraseTime())) {
                ++bulkErases;
                std::fill(memory_.begin(), memory_.end(), 0xFF);
            }
            break;
        case kCmdSectorErase:
            if (frameBytes_ == 4 && Allowed(address_ & Mask() & ~(kSectorSize - 1),
                                            (address_ & Mask() & ~(kSectorSize - 1)) + kSectorSize) &&
                StartWrite(SectorEraseTime())) {
                ++sectorErases;
                uint32_t base = address_ & Mask() & ~(kSectorSize - 1);
                std::fill_n(memory_.begin() + base, kSectorSize, 0xFF);
            }
            break;
        case kCmdPageProgram:
            if (frameBytes_ > 4 &&
                Allowed(address_ & Mask() & ~(kPageSize - 1), (address_ & Mask() & ~(kPageSize - 1)) + kPageSize) &&
                StartWrite(PageProgramTime())) {
                ++pagePrograms;
                uint32_t page = address_ & Mask() & ~(kPageSize - 1);
                for (uint32_t j = 0; j < kPageSize; ++j) {
                    uint8_t value = pageLatch_[j];
                    for (const auto& [weakAddress, bit] : weakBits_)
                        if ((weakAddress & Mask()) == page + j) value |= static_cast<uint8_t>(1u << bit);
                    memory_[page + j] &= value;  // programming only clears bits
                }
            }
            break;
        default:
            break;
    }
}

}  // namespace zorvek
