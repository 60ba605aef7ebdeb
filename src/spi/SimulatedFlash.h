#pragma once
// A serial flash of the chip table (an M25P16 unless told otherwise), clocked byte
// by byte: the chip behind the simulated siren and behind the fake USB transport of
// the adapter tests. It answers identification as its part does (JEDEC ID, RES or
// none, SFDP tables where the part has them) and refuses program and erase inside
// the range its block-protect bits guard, as the datasheets say.
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "job/FlashChips.h"

namespace zorvek {

class SimulatedFlash {
public:
    static constexpr uint32_t kPageSize = kFlashPageSize;
    static constexpr uint32_t kSectorSize = kFlashSectorSize;
    static constexpr uint32_t kDefaultSize = kDefaultFlashSize;

    // The capacities of the chip table; anything else is refused.
    static bool IsSupportedSize(uint32_t size);
    // RES signature of a supported size: 0x11 (256 KiB) to 0x15 (4 MiB).
    static uint8_t SignatureForSize(uint32_t size);

    // An erased chip. An unsupported size falls back to the default.
    explicit SimulatedFlash(uint32_t size = kDefaultSize);
    // An erased chip of these facts (any capacity from 64 KiB to 16 MiB, a power of two).
    explicit SimulatedFlash(const FlashChip& chip);
    const FlashChip& Chip() const { return chip_; }

    uint32_t Size() const { return static_cast<uint32_t>(memory_.size()); }
    std::vector<uint8_t>& Memory() { return memory_; }
    const std::vector<uint8_t>& Memory() const { return memory_; }

    // The SPI lines: chip select falls, bytes are exchanged, chip select rises.
    void Select();
    void Deselect();
    uint8_t Exchange(uint8_t mosi);
    // Bulk forms of Exchange: outgoing bytes whose answer is ignored, and incoming
    // bytes clocked with the data-out line low.
    void WriteBytes(const uint8_t* data, size_t count);
    void ReadBytes(uint8_t* data, size_t count);

    // Virtual time: program and erase stay busy until it has passed their duration.
    void AdvanceTime(std::chrono::nanoseconds delta) { now_ += delta; }
    std::chrono::nanoseconds Now() const { return now_; }
    bool Busy() const;
    // Let programs and erases also end by real time, whichever comes first.
    void SetWallClock(bool on) { wallClock_ = on; }
    uint8_t StatusRegister();

    // Identification and protection.
    void SetJedecId(uint32_t jedecId) { jedecId_ = jedecId; }
    // SFDP tables for the chip's facts, or none (the command then reads nothing driven).
    void ServeSfdp(bool on);
    // Status registers at power-up: protection bits and SRWD (busy and latch are the chip's own).
    void SetStatusRegisters(uint8_t status1, uint8_t status2 = 0);
    uint8_t StatusRegister1() { return StatusRegister(); }
    uint8_t StatusRegister2() const { return status2_; }
    // The WP pin held low: with SRWD set, the status register cannot be written.
    void SetWriteProtectPinLow(bool low) { wpLow_ = low; }

    // Faults.
    void SetSignature(uint8_t signature) { signature_ = signature; }
    uint8_t Signature() const { return signature_; }
    void AddWeakBit(uint32_t address, int bit) { weakBits_.emplace_back(address, bit); }
    void ClearWeakBits() { weakBits_.clear(); }
    // The program or erase started after `count` completed ones never finishes (-1: never).
    void SetStuckBusyAfter(int64_t count) { stuckBusyAfter_ = count; }
    // The program or erase started after `count` completed ones takes `duration`
    // instead of its typical time (still within the datasheet maximum, say).
    void SetSlowWriteAfter(int64_t count, std::chrono::nanoseconds duration) {
        slowWriteAfter_ = count;
        slowWriteDuration_ = duration;
    }

    // Typical datasheet durations for this size.
    std::chrono::nanoseconds PageProgramTime() const { return chip_.pageProgramTypical; }
    std::chrono::nanoseconds SectorEraseTime() const { return chip_.sectorEraseTypical; }
    std::chrono::nanoseconds BulkEraseTime() const { return chip_.bulkEraseTypical; }

    // What the chip did, for tests and benchmarks.
    int64_t pagePrograms = 0;
    int64_t sectorErases = 0;
    int64_t bulkErases = 0;
    int64_t ignoredCommands = 0;           // sent while busy, or without write enable, or refused
    int64_t refusedCommands = 0;           // programs and erases refused by block protection
    int64_t statusWrites = 0;
    std::chrono::nanoseconds busyTime{0};  // sum of the typical durations started
    bool modified = false;

private:
    enum class Phase { Idle, Command, Ignored };
    void Execute();  // on chip select rising
    void Settle();
    bool StartWrite(std::chrono::nanoseconds duration);
    // False, counted and (where the part does so) with the latch cleared, when
    // [from, to) touches the protected range.
    bool Allowed(uint32_t from, uint32_t to);
    void WriteStatus();
    uint32_t Mask() const { return Size() - 1; }
    uint8_t OutputFor(uint8_t mosi);

    FlashChip chip_;
    std::vector<uint8_t> memory_;
    uint8_t signature_;
    uint32_t jedecId_;
    std::vector<uint8_t> sfdp_;
    uint8_t status1_ = 0;
    uint8_t status2_ = 0;
    bool wpLow_ = false;
    uint8_t statusLatch_[2] = {};
    std::chrono::nanoseconds now_{0};
    std::chrono::nanoseconds busyUntil_{0};
    bool wallClock_ = false;
    std::chrono::steady_clock::time_point wallBusyUntil_{};
    bool writeEnabled_ = false;
    bool clearLatchWhenIdle_ = false;
    int64_t writesStarted_ = 0;
    int64_t stuckBusyAfter_ = -1;
    int64_t slowWriteAfter_ = -1;
    std::chrono::nanoseconds slowWriteDuration_{0};
    std::vector<std::pair<uint32_t, int>> weakBits_;

    bool selected_ = false;
    Phase phase_ = Phase::Idle;
    uint8_t opcode_ = 0;
    uint64_t frameBytes_ = 0;  // bytes clocked since chip select fell
    uint32_t address_ = 0;
    uint8_t pageLatch_[kPageSize];
    uint64_t latchedBytes_ = 0;
};

}  // namespace zorvek
