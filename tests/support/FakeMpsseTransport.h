#pragma once
// A USB transport that behaves like an FTDI chip in MPSSE mode: it decodes every
// command written to it, drives a SimulatedFlash over SPI and answers reads.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "spi/SimulatedFlash.h"
#include "spi/UsbTransport.h"

namespace zorvek::test {

class FakeMpsseTransport : public UsbTransport {
public:
    explicit FakeMpsseTransport(uint16_t bcdDevice = 0x0500, uint32_t flashSize = SimulatedFlash::kDefaultSize);

    bool Enumerate(std::vector<UsbDeviceInfo>& devices) override;
    int Open(const UsbDeviceInfo& device) override;
    std::string ErrorText() const override { return openErrorText; }
    int LibusbResult() const override { return openLibusbResult; }
    void Close() override { open = false; }
    bool Reset() override;
    bool Purge() override;
    bool SetLatencyTimer(uint8_t milliseconds) override;
    bool SetBitMode(uint8_t mask, uint8_t mode) override;
    int Write(const uint8_t* data, int size) override;
    int Read(uint8_t* data, int size) override;
    std::chrono::nanoseconds Now() const override { return flash.Now(); }

    // Script
    std::vector<UsbDeviceInfo> devices;
    int openResult = 0;  // libftdi's code for the open
    std::string openErrorText;
    int openLibusbResult = 0;
    std::vector<uint8_t> staleAtModeSwitch;  // left in the chip by an earlier session
    std::vector<uint8_t> staleAfterPurge;    // in flight when the purge ran
    int failWriteAfter = -1;                 // writes that succeed before every later one fails
    int failReadAfter = -1;                  // the same for reads
    int maxBytesPerRead = 1 << 30;           // deliver answers in pieces of at most this
    bool emptyReadEvery2nd = false;          // every other Read returns nothing
    bool stalled = false;                    // answers never arrive
    bool failWrites = false;

    // State
    SimulatedFlash flash;
    MpsseChip chip;
    bool open = false;
    bool mpsse = false;
    bool selected = false;
    uint8_t lowValue = 0, lowDirection = 0, highValue = 0, highDirection = 0;
    uint16_t divisor = 0xFFFF;
    bool divideBy5 = false;
    bool threePhase = true;  // unknown after reset: a test sees it turned off
    bool adaptive = true;
    bool loopback = true;

    // Record
    std::vector<std::vector<uint8_t>> writes;  // every USB write, as sent
    int readCalls = 0;
    int writeCalls = 0;
    int roundTrips = 0;  // writes that asked for an answer
    int resets = 0, purges = 0;
    int purgesInMpsse = 0;  // purges made after the switch into MPSSE mode
    int latencyMs = -1;
    std::vector<uint8_t> bitModes;
    std::vector<uint8_t> badCommands;  // opcodes answered with 0xFA
    std::vector<int> selectedFrames;   // bytes clocked per chip-select frame

    // Clock rate the engine runs SPI at, from divisor and divide-by-5.
    int64_t SpiClockHz() const;
    std::vector<uint8_t> AllWritten() const;

private:
    void Decode();
    void SetLow(uint8_t value, uint8_t direction);
    void ClockBytes(int64_t count);

    std::vector<uint8_t> pending_;  // written bytes not yet decoded (partial command)
    std::deque<uint8_t> answers_;
    int clockedInFrame_ = 0;
};

}  // namespace zorvek::test
