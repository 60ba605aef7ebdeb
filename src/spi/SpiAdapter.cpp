#include "spi/SpiAdapter.h"

#include <algorithm>

namespace zorvek {

namespace {

bool IsModeZeroStart(const StartCondition& start) {
    return start.clockIdleHigh == 0 && start.dataOutIdleHigh == 0 && start.chipSelectIdleHigh == 1 &&
           start.chipSelectLine == 0;
}

bool UpperPinsUntouched(const UpperPinsDuringTransfer& pins) {
    for (int32_t flag : pins.flags)
        if (flag != 0) return false;
    return true;
}

}  // namespace

bool IsSupportedWriteFrame(const WriteFrame& frame) {
    if (!IsModeZeroStart(frame.start) || !UpperPinsUntouched(frame.upperPins)) return false;
    if (frame.msbFirst != 1 || frame.risingEdge != 0) return false;
    if (frame.controlByteCount < 1 || frame.control == nullptr) return false;
    if (frame.controlBitCount != 8 * frame.controlByteCount) return false;
    if (frame.dataFlag == 0) return true;
    if (frame.dataByteCount < 1 || frame.data == nullptr) return false;
    return frame.dataBitCount == 8 * frame.dataByteCount;
}

bool IsSupportedReadFrame(const ReadFrame& frame) {
    if (!IsModeZeroStart(frame.start) || !UpperPinsUntouched(frame.upperPins)) return false;
    if (frame.controlMsbFirst != 1 || frame.controlRisingEdge != 0) return false;
    if (frame.readMsbFirst != 1 || frame.readRisingEdge != 1) return false;
    if (frame.controlByteCount < 1 || frame.control == nullptr) return false;
    if (frame.controlBitCount != 8 * frame.controlByteCount) return false;
    if (frame.readBitCount < 8 || frame.readBitCount % 8 != 0 || frame.receive == nullptr) return false;
    return true;
}

bool IsSupportedBatchFrame(const BatchFrame& frame) {
    if (frame.idleBytes > 0) return frame.controlCount == 0 && frame.dataCount == 0 && frame.readCount == 0;
    if (frame.controlCount < 1 || frame.control == nullptr) return false;
    if (frame.dataCount < 0 || (frame.dataCount > 0 && frame.data == nullptr)) return false;
    if (frame.readCount < 0) return false;
    return !(frame.dataCount > 0 && frame.readCount > 0);  // a frame writes data or reads, not both
}

int32_t SpiAdapter::AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                                 int32_t& received) {
    received = 0;
    for (size_t i = 0; i < count; ++i)
        if (!IsSupportedBatchFrame(frames[i])) return kAdapterInvalidParameter;
    for (size_t i = 0; i < count; ++i) {
        const BatchFrame& f = frames[i];
        int32_t status = kAdapterOk;
        if (f.idleBytes > 0) {
            status = AdapterIdleClocks(handle, f.idleBytes);
        } else if (f.readCount > 0) {
            ReadFrame frame;
            frame.control = f.control;
            frame.controlByteCount = f.controlCount;
            frame.controlBitCount = 8 * f.controlCount;
            frame.readBitCount = 8 * f.readCount;
            frame.receive = receive + received;
            int32_t returned = 0;
            status = AdapterRead(handle, frame, returned);
            if (status == kAdapterOk) received += f.readCount;
        } else {
            static const uint8_t kNoData = 0;
            WriteFrame frame;
            frame.control = f.control;
            frame.controlByteCount = f.controlCount;
            frame.controlBitCount = 8 * f.controlCount;
            frame.dataFlag = f.dataCount > 0 ? 1 : 0;
            frame.data = f.dataCount > 0 ? f.data : &kNoData;
            frame.dataByteCount = f.dataCount > 0 ? f.dataCount : 1;
            frame.dataBitCount = 8 * frame.dataByteCount;
            status = AdapterWrite(handle, frame);
        }
        if (status != kAdapterOk) return status;
    }
    return kAdapterOk;
}

std::chrono::nanoseconds SpiAdapter::Elapsed() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

int32_t ClockFrequencyForDivisor(int32_t clockDivisor) {
    if (clockDivisor < 0 || clockDivisor > 0xFFFF) return 0;
    return 12000000 / ((1 + clockDivisor) * 2);
}

int32_t DivisorForClock(int64_t baseHz, int64_t wantedHz) {
    if (wantedHz <= 0) return 0xFFFF;
    const int64_t half = baseHz / 2;
    const int64_t divisor = (half + wantedHz - 1) / wantedHz - 1;  // rounded up: never faster than asked
    return static_cast<int32_t>(std::clamp<int64_t>(divisor, 0, 0xFFFF));
}

}  // namespace zorvek
