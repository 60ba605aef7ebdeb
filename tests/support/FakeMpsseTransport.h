#pragma once
// A USB transport that behaves like an FTDI chip in MPSSE mode, with the chip's
// buffers, flow control and timing (MpsseEngine), driving a SimulatedFlash over SPI.
// It transfers as libftdi does: writes in 4 KiB bulk transfers, reads that strip the
// status bytes of every packet.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "MpsseEngine.h"
#include "spi/UsbTransport.h"

namespace zorvek::test {

class FakeMpsseTransport : public UsbTransport, public MpsseEngine {
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
    bool& stalled = frozen;                  // answers never arrive
    bool failWrites = false;
    std::chrono::milliseconds writeTimeout{1000};
    std::chrono::milliseconds readTimeout{100};

    // State
    bool open = false;

    // Record
    std::vector<std::vector<uint8_t>> writes;  // every USB write, as sent
    int readCalls = 0;
    int writeCalls = 0;
    int roundTrips = 0;  // writes whose answers the host read
    int resets = 0, purges = 0;
    int purgesInMpsse = 0;  // purges made after the switch into MPSSE mode
    std::vector<uint8_t> bitModes;

    std::vector<uint8_t> AllWritten() const;

private:
    std::deque<uint8_t> received_;  // data of IN packets not yet handed out
    bool answered_ = true;          // the latest write's answers were read
};

}  // namespace zorvek::test
