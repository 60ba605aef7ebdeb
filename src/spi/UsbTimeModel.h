#pragma once
// The time the FTDI adapter's USB side adds to a job, per chip type, for the simulated
// siren. It counts the bytes FtdiAdapter would send for each frame (MPSSE commands,
// and on the C/D the pauses as zero bytes) and the answers with their packets' status
// bytes. The chip's buffer lets USB transfer and SPI clocking overlap, so a write and
// the reading of its answers cost the USB time only where it exceeds the clocking
// since the last round trip, plus the host's scheduling gaps of the two transfers.
// Small buffers cost more: between libftdi's 4 KiB transfers the engine runs dry once
// the gap outlasts what the buffer holds (the FT2232D's 384 bytes out, 128 in), and
// a write longer than the latency timer leaves its answers to arrive in two reads.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>

#include "spi/FtdiChipModel.h"

namespace zorvek {

struct UsbTraffic {
    int64_t bytesOut = 0;  // commands and data to the chip
    int64_t bytesIn = 0;   // answers and status bytes from it
    int64_t transfers = 0;
    std::chrono::nanoseconds charged{0};  // time added beyond the SPI clocking
};

class UsbTimeModel {
public:
    UsbTimeModel(const FtdiChipModel& chip, int64_t spiClockHz) : chip_(&chip), spiClockHz_(spiClockHz) {}

    const FtdiChipModel& Chip() const { return *chip_; }
    const UsbTraffic& Traffic() const { return traffic_; }
    int64_t SpiClockHz() const { return spiClockHz_; }
    void SetSpiClockHz(int64_t hz) { spiClockHz_ = hz; }

    // A chip-select frame writing `outCount` bytes and reading `readCount`.
    void Frame(int64_t outCount, int64_t readCount);
    // Clocks with chip select high.
    void Idle(int64_t byteCount);
    // A command of `bytes` without SPI clocks (pins, the send-immediate).
    void Command(int64_t bytes) { window_.out += bytes; }
    // The queued bytes go out and `answers` come back. `now` is the modelled time, which
    // the SPI clocking has advanced; returns the time to add.
    std::chrono::nanoseconds RoundTrip(std::chrono::nanoseconds now, int64_t answers);

private:
    struct Window {
        int64_t out = 0;
        std::chrono::nanoseconds start{0};
    };
    std::chrono::nanoseconds SpiTime(int64_t bytes) const {
        return std::chrono::nanoseconds(bytes * 8 * 1000000000 / spiClockHz_);
    }

    const FtdiChipModel* chip_;
    int64_t spiClockHz_;
    UsbTraffic traffic_;
    Window window_;
};

// The least time any adapter of the chip type could take for the same traffic: the
// flash's busy times plus the SPI bits clocked outside them, and never less than the
// USB bytes at the bus's practical rate. The larger of the two, not their sum: the
// chip's buffers let USB transfer overlap SPI clocking and busy times (the emulated
// FT2232D programs faster than their sum).
struct TimeFloor {
    std::chrono::nanoseconds flashBusy{0};
    std::chrono::nanoseconds spiBits{0};
    std::chrono::nanoseconds usb{0};

    std::chrono::nanoseconds Total() const { return std::max(flashBusy + spiBits, usb); }
};
TimeFloor FloorFor(const UsbTimeModel& model, std::chrono::nanoseconds flashBusy, std::chrono::nanoseconds spiBits);
// "the larger of flash busy 25.04 + SPI bits at 6 MHz 5.67 = 30.71 s and USB 8.86 MB at 1.00 MB/s = 8.86 s"
std::string DescribeFloor(const TimeFloor& floor, const UsbTimeModel& model);
// "FT2232D (full speed)"
std::string DescribeChip(const FtdiChipModel& chip);

}  // namespace zorvek
