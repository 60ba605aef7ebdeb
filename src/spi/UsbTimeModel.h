#pragma once
// The time the FTDI adapter's USB side adds to a job, per chip type, for the simulated
// siren. It counts the bytes FtdiAdapter would send for each frame (MPSSE commands,
// and on the C/D the pauses as zero bytes) and the answers with their packets' status
// bytes. The chip's buffer lets USB transfer and SPI clocking overlap, so a write and
// the reading of its answers cost the USB time only where it exceeds the clocking
// since the last round trip, plus the host's scheduling gaps of the two transfers.
#include <chrono>
#include <cstdint>

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
    explicit UsbTimeModel(const FtdiChipModel& chip) : chip_(&chip) {}

    const FtdiChipModel& Chip() const { return *chip_; }
    const UsbTraffic& Traffic() const { return traffic_; }

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
    const FtdiChipModel* chip_;
    UsbTraffic traffic_;
    Window window_;
};

}  // namespace zorvek
