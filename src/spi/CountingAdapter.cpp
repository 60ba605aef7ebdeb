#include "spi/CountingAdapter.h"

namespace zorvek {

int32_t CountingAdapter::AdapterCountDevices(int32_t& count) {
    ++counters_.calls;
    return inner_.AdapterCountDevices(count);
}

int32_t CountingAdapter::AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) {
    ++counters_.calls;
    return inner_.AdapterDeviceInfo(index, name, locationId);
}

int32_t CountingAdapter::AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) {
    ++counters_.calls;
    return inner_.AdapterOpen(name, locationId, handle);
}

int32_t CountingAdapter::AdapterClose(uint32_t handle) {
    ++counters_.calls;
    return inner_.AdapterClose(handle);
}

int32_t CountingAdapter::AdapterInitSpi(uint32_t handle, int32_t clockDivisor) {
    ++counters_.calls;
    return inner_.AdapterInitSpi(handle, clockDivisor);
}

int32_t CountingAdapter::AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) {
    ++counters_.calls;
    return inner_.AdapterSetClock(handle, wantedHz, hz);
}

int32_t CountingAdapter::AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) {
    ++counters_.calls;
    return inner_.AdapterClockFrequency(clockDivisor, hz);
}

int32_t CountingAdapter::AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) {
    ++counters_.calls;
    return inner_.AdapterSetPins(handle, low, upper);
}

int32_t CountingAdapter::AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) {
    ++counters_.calls;
    ++counters_.roundTrips;
    return inner_.AdapterReadUpperPins(handle, levels);
}

int32_t CountingAdapter::AdapterWrite(uint32_t handle, const WriteFrame& frame) {
    ++counters_.calls;
    const int32_t status = inner_.AdapterWrite(handle, frame);
    if (status == kAdapterOk) {
        ++counters_.writeFrames;
        counters_.bytesOut += frame.controlByteCount + (frame.dataFlag ? frame.dataByteCount : 0);
    }
    return status;
}

int32_t CountingAdapter::AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) {
    ++counters_.calls;
    const int32_t status = inner_.AdapterRead(handle, frame, bytesReturned);
    ++counters_.roundTrips;
    if (status == kAdapterOk) {
        counters_.bytesOut += frame.controlByteCount;
        counters_.bytesIn += bytesReturned;
    }
    return status;
}

int32_t CountingAdapter::AdapterIdleClocks(uint32_t handle, int32_t byteCount) {
    ++counters_.calls;
    const int32_t status = inner_.AdapterIdleClocks(handle, byteCount);
    if (status == kAdapterOk) counters_.idleBytes += byteCount;
    return status;
}

int32_t CountingAdapter::AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                                      int32_t& received) {
    ++counters_.calls;
    const int32_t status = inner_.AdapterBatch(handle, frames, count, receive, received);
    bool reads = false;
    for (size_t i = 0; i < count; ++i) {
        const BatchFrame& f = frames[i];
        reads = reads || f.readCount > 0;
        if (status != kAdapterOk) continue;
        if (f.idleBytes > 0) {
            counters_.idleBytes += f.idleBytes;
        } else {
            counters_.bytesOut += f.controlCount + f.dataCount;
            counters_.bytesIn += f.readCount;
            if (f.readCount == 0) ++counters_.writeFrames;
        }
    }
    if (reads) ++counters_.roundTrips;
    return status;
}

}  // namespace zorvek
