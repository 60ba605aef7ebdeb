#pragma once
// One FTDI channel in MPSSE mode as the silicon behaves, on an emulated clock: bulk OUT
// packets enter the chip's TX buffer only while it has room (else they are NAKed), the
// engine decodes and clocks commands byte by byte at the SPI rate as they arrive and
// stops while its RX buffer cannot take an answer, and IN packets leave when a full
// packet waits, after 0x87 (send immediate) or when the latency timer expires. Both
// the fake transport of the unit tests and the libusb-level emulator run on it.
#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

#include "spi/FtdiChipModel.h"
#include "spi/SimulatedFlash.h"

namespace zorvek::test {

class MpsseEngine {
public:
    explicit MpsseEngine(uint16_t bcdDevice = 0x0500, uint32_t flashSize = SimulatedFlash::kDefaultSize);

    // A bulk OUT transfer: bytes accepted; `timedOut` when the chip kept NAKing past `timeout`.
    int BulkOut(const uint8_t* data, int size, std::chrono::nanoseconds timeout, bool& timedOut);
    // A bulk IN transfer of at most `size` bytes: packets of two status bytes and data,
    // ended by a short packet. `timedOut` when no packet came within `timeout`.
    int BulkIn(uint8_t* data, int size, std::chrono::nanoseconds timeout, bool& timedOut);
    void PurgeRx();  // answers waiting for the host
    void PurgeTx();  // bytes not yet decoded, a half-received command with them
    void ResetSio();
    void SetLatencyTimer(uint8_t ms) { latencyMs = ms; }
    void SetBitMode(uint8_t mode);
    // Lets the engine run for `duration` with no USB traffic.
    void Idle(std::chrono::nanoseconds duration);
    std::chrono::nanoseconds Now() const { return flash.Now(); }
    // Puts bytes into the RX buffer as if an earlier session had left them there.
    void InjectAnswers(const std::vector<uint8_t>& bytes);
    int64_t SpiClockHz() const;
    size_t RxWaiting() const { return rx_.size(); }
    size_t TxWaiting() const { return tx_.size(); }

    const FtdiChipModel& model;
    SimulatedFlash flash;
    MpsseChip chip;
    bool frozen = false;  // the engine executes nothing (a chip not in MPSSE mode, or hung)
    bool mpsse = false;
    bool selected = false;
    uint8_t lowValue = 0, lowDirection = 0, highValue = 0, highDirection = 0;
    uint16_t divisor = 0xFFFF;
    bool divideBy5 = false;
    bool threePhase = true;  // unknown after reset: a test sees it turned off
    bool adaptive = true;
    bool loopback = true;
    int latencyMs = 16;  // the chip's default

    // Record
    std::vector<uint8_t> badCommands;  // opcodes answered with 0xFA
    std::vector<int> selectedFrames;   // bytes clocked per chip-select frame
    int64_t naks = 0;                  // OUT packets refused for a full TX buffer
    int64_t stalls = 0;                // times the engine stopped for a full RX buffer
    int64_t latencyPackets = 0;        // IN packets sent because the latency timer expired
    int64_t sendImmediates = 0;
    size_t rxHighWater = 0;

private:
    // Executes until the clock reaches `until` or the engine cannot go on (then the
    // clock jumps to `until`). Commands that clock nothing take no time.
    void RunUntil(std::chrono::nanoseconds until);
    // One step of at most `maxBytes` clocked bytes; false when the engine must wait.
    bool Step(int64_t maxBytes);
    bool Answer(uint8_t byte);
    void Clock(int64_t bytes);
    void SetLow(uint8_t value, uint8_t direction);
    bool PacketReady() const;

    std::deque<uint8_t> tx_;
    std::deque<uint8_t> rx_;
    std::vector<uint8_t> command_;  // opcode and parameters of the command being decoded
    int64_t remaining_ = 0;         // bytes the current data command still clocks
    size_t flushMark_ = 0;          // answers 0x87 asked to send at once
    bool stalled_ = false;
    std::chrono::nanoseconds lastPacketAt_{0};
    int clockedInFrame_ = 0;
};

}  // namespace zorvek::test
