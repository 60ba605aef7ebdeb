#pragma once
// What each FT2232 chip type is on its USB side, from FTDI's data sheets: packet size,
// the two buffers of a channel, the bus speed and the MPSSE commands it knows. The
// adapter sizes its batches from these, the simulated siren charges USB time by them
// and the tests' chip emulation enforces them.
#include <chrono>
#include <cstdint>

#include "spi/UsbTransport.h"

namespace zorvek {

struct FtdiChipModel {
    MpsseChip chip;
    const char* name;
    bool highSpeed;                        // USB 2.0 high speed (480 Mbit/s), else full speed (12 Mbit/s)
    int32_t packetSize;                    // bulk packet; every IN packet starts with two status bytes
    int32_t txBufferBytes;                 // host to chip, per channel: a full one NAKs bulk OUT
    int32_t rxBufferBytes;                 // chip to host, per channel: a full one stops the engine
    int64_t usbBytesPerSecond;             // practical bulk rate of the bus for one device
    std::chrono::nanoseconds transferGap;  // host scheduling per USB transfer: a frame or microframe share
    bool clockOnlyCommand;                 // 0x8F: clocks without data (H series only)

    // A write followed by the read of its answers.
    std::chrono::nanoseconds RoundTrip() const { return 2 * transferGap; }
    std::chrono::nanoseconds UsbTime(int64_t bytes) const {
        return std::chrono::nanoseconds(bytes * 1000000000 / usbBytesPerSecond);
    }
};

// FT2232C/D: full speed, 384 bytes towards the chip and 128 towards the host per channel.
inline constexpr FtdiChipModel kFt2232dModel{
    .chip = MpsseChip::Ft2232C,
    .name = "FT2232D",
    .highSpeed = false,
    .packetSize = 64,
    .txBufferBytes = 384,
    .rxBufferBytes = 128,
    .usbBytesPerSecond = 1000000,
    .transferGap = std::chrono::microseconds(500),
    .clockOnlyCommand = false,
};
// FT2232H: high speed, 4 KiB each way per channel.
inline constexpr FtdiChipModel kFt2232hModel{
    .chip = MpsseChip::Ft2232H,
    .name = "FT2232H",
    .highSpeed = true,
    .packetSize = 512,
    .txBufferBytes = 4096,
    .rxBufferBytes = 4096,
    .usbBytesPerSecond = 40000000,
    .transferGap = std::chrono::nanoseconds(62500),
    .clockOnlyCommand = true,
};
// FT232H: high speed, 1 KiB each way.
inline constexpr FtdiChipModel kFt232hModel{
    .chip = MpsseChip::Ft232H,
    .name = "FT232H",
    .highSpeed = true,
    .packetSize = 512,
    .txBufferBytes = 1024,
    .rxBufferBytes = 1024,
    .usbBytesPerSecond = 40000000,
    .transferGap = std::chrono::nanoseconds(62500),
    .clockOnlyCommand = true,
};

// The model of a chip type; an unknown one gets the smallest buffers, the D's.
constexpr const FtdiChipModel& FtdiChipModelFor(MpsseChip chip) {
    switch (chip) {
        case MpsseChip::Ft2232H:
            return kFt2232hModel;
        case MpsseChip::Ft4232H:  // 2 KiB each way, refused anyway (no upper GPIO byte): the smaller
        case MpsseChip::Ft232H:
            return kFt232hModel;
        default:
            return kFt2232dModel;
    }
}

// libftdi's bulk transfer sizes: a write goes out in transfers of this many bytes.
inline constexpr int32_t kLibFtdiWriteChunk = 4096;

// The fastest SPI clock the chip's MPSSE makes: 30 MHz from the H series' 60 MHz
// master clock, 6 MHz from the C/D's 12 MHz.
inline constexpr int64_t MaxSpiClockHz(MpsseChip chip) {
    return IsHighSpeedChip(chip) ? 30000000 : 6000000;
}

}  // namespace zorvek
