#pragma once
// The adapter's lifecycle without a window: find and open it, set up SPI and
// its lines, and release it again. Each step's outcome is kept for whoever
// reports it.
#include <chrono>
#include <cstdint>
#include <string>

#include "job/Result.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

// Enumeration polls, and the time they may take at most.
inline constexpr int kEnumerationPolls = 10000;
inline constexpr std::chrono::milliseconds kEnumerationLimit{2000};

// SPI runs at 12 MHz / ((1 + divisor) * 2) = 6 MHz.
inline constexpr int32_t kSpiClockDivisor = 0;

struct AdapterOpening {
    int32_t devices = 0;  // attached, as the last poll counted
    std::string name;     // of the device opened (the last one listed)
    int32_t locationId = 0;
    uint32_t handle = 0;  // 0: not opened
    Result open;          // AdapterOpen; its detail says why, where the adapter knows
    Result initSpi;
    Result clock;
    int32_t clockHz = 0;  // 0 when the clock could not be read
    Result setPins;
    Result readPins;
    UpperPinLevels levels;
    int32_t lastStatus = 0;  // status of the last adapter call made

    bool Opened() const { return handle != 0; }
};

// Polls for an adapter for up to kEnumerationLimit, opens the last one listed,
// sets up SPI mode 0 at `clockDivisor`, raises the connect line and reads the
// upper lines back. Stops after a failed open; later steps run whatever their
// predecessors said, as a link that opened is worth reporting on.
AdapterOpening OpenAdapter(SpiAdapter& adapter, int32_t clockDivisor = kSpiClockDivisor);

struct AdapterClosing {
    Result setPins;
    Result close;
    int32_t lastStatus = 0;
};
// Drops the connect line and closes.
AdapterClosing CloseAdapter(SpiAdapter& adapter, uint32_t handle);

}  // namespace zorvek
