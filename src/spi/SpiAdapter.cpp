#include "spi/SpiAdapter.h"

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

std::chrono::nanoseconds SpiAdapter::Elapsed() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

int32_t ClockFrequencyForDivisor(int32_t clockDivisor) {
    if (clockDivisor < 0 || clockDivisor > 0xFFFF) return 0;
    return 12000000 / ((1 + clockDivisor) * 2);
}

}  // namespace zorvek
