#include "spi/SimulatedFlash.h"

#include <algorithm>
#include <cstring>

#include "job/FlashCommands.h"

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
    : chip_(FlashChipForCapacity(IsSupportedSize(size) ? size : kDefaultSize)),
      memory_(chip_->capacity, kErasedByte),
      signature_(chip_->signature) {
    std::memset(pageLatch_, kErasedByte, sizeof pageLatch_);
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
    return static_cast<uint8_t>((Busy() ? 0x01 : 0x00) | (writeEnabled_ ? 0x02 : 0x00));
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
        case kCmdReadSignature:
            return frameBytes_ >= 4 ? signature_ : kFloating;
        case kCmdReadData:
            if (frameBytes_ >= 4) return memory_[address_++ & Mask()];
            address_ = (address_ << 8) | mosi;
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
    if (selected_ && phase_ == Phase::Command && opcode_ == kCmdReadData && frameBytes_ >= 4) {
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

void SimulatedFlash::Execute() {
    // Instructions that act on chip select rising need exactly their own bytes.
    switch (opcode_) {
        case kCmdWriteEnable:
            if (frameBytes_ == 1) writeEnabled_ = true;
            break;
        case kCmdChipErase:
            if (frameBytes_ == 1 && StartWrite(BulkEraseTime())) {
                ++bulkErases;
                std::fill(memory_.begin(), memory_.end(), 0xFF);
            }
            break;
        case kCmdSectorErase:
            if (frameBytes_ == 4 && StartWrite(SectorEraseTime())) {
                ++sectorErases;
                uint32_t base = address_ & Mask() & ~(kSectorSize - 1);
                std::fill_n(memory_.begin() + base, kSectorSize, 0xFF);
            }
            break;
        case kCmdPageProgram:
            if (frameBytes_ > 4 && StartWrite(PageProgramTime())) {
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
