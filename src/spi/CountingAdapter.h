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

    // A batch is one round trip when any frame reads: the adapters this wraps send it at once.
    ZORVEK_SPI_ADAPTER_OPERATIONS;
    int32_t AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) override;
    bool IdleClocksAreFree() const override { return inner_.IdleClocksAreFree(); }
    std::chrono::nanoseconds Elapsed() const override { return inner_.Elapsed(); }
    std::string LastErrorDetail() const override { return inner_.LastErrorDetail(); }
    AdapterDiagnostics Diagnostics() const override { return inner_.Diagnostics(); }

    const AdapterCounters& Counters() const { return counters_; }

private:
    SpiAdapter& inner_;
    AdapterCounters counters_;
};

}  // namespace zorvek
