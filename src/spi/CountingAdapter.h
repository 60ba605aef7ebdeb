#pragma once
// Wraps any adapter and counts what passes through it: calls, reading frames
// (each one a USB round trip on real hardware) and bytes each way.
#include <cstdint>

#include "spi/SpiAdapter.h"

namespace zorvek {

struct AdapterCounters {
    int64_t calls = 0;
    int64_t roundTrips = 0;  // reading frames and pin reads: the host waits for an answer
    int64_t writeFrames = 0;
    int64_t bytesOut = 0;   // clocked to the flash
    int64_t bytesIn = 0;    // clocked from the flash
    int64_t idleBytes = 0;  // clocked with chip select high
};

class CountingAdapter : public SpiAdapter {
public:
    explicit CountingAdapter(SpiAdapter& inner) : inner_(inner) {}

    int32_t AdapterCountDevices(int32_t& count) override;
    int32_t AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) override;
    int32_t AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) override;
    int32_t AdapterClose(uint32_t handle) override;
    int32_t AdapterInitSpi(uint32_t handle, int32_t clockDivisor) override;
    int32_t AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) override;
    int32_t AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) override;
    int32_t AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) override;
    int32_t AdapterWrite(uint32_t handle, const WriteFrame& frame) override;
    int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) override;
    int32_t AdapterIdleClocks(uint32_t handle, int32_t byteCount) override;
    // One round trip when any frame reads: the adapters this wraps send a batch at once.
    int32_t AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                         int32_t& received) override;
    std::chrono::nanoseconds Elapsed() const override { return inner_.Elapsed(); }
    bool ClockIsModelled() const override { return inner_.ClockIsModelled(); }
    std::string LastErrorDetail() const override { return inner_.LastErrorDetail(); }

    const AdapterCounters& Counters() const { return counters_; }

private:
    SpiAdapter& inner_;
    AdapterCounters counters_;
};

}  // namespace zorvek
