#include "spi/LinkFrames.h"

namespace zorvek::detail {

int32_t SendWriteFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, const uint8_t* data,
                       int32_t dataCount) {
    static const uint8_t kNoData = 0;
    WriteFrame frame;
    frame.controlBitCount = 8 * controlCount;
    frame.control = control;
    frame.controlByteCount = controlCount;
    frame.dataFlag = dataCount > 0 ? 1 : 0;
    frame.dataBitCount = dataCount > 0 ? 8 * dataCount : 8;
    frame.data = dataCount > 0 ? data : &kNoData;
    frame.dataByteCount = dataCount > 0 ? dataCount : 1;
    link.lastStatus = 0;
    link.lastStatus = link.adapter ? link.adapter->AdapterWrite(link.handle, frame) : kAdapterNotOpened;
    return link.lastStatus;
}

int32_t SendReadFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count) {
    ReadFrame frame;
    frame.controlBitCount = 8 * controlCount;
    frame.control = control;
    frame.controlByteCount = controlCount;
    frame.readBitCount = 8 * count;
    frame.receive = buffer;
    int32_t returned = 0;
    link.lastStatus = 0;
    link.lastStatus = link.adapter ? link.adapter->AdapterRead(link.handle, frame, returned) : kAdapterNotOpened;
    return link.lastStatus;
}

void AddressBytes(uint8_t* out, uint32_t address) {
    out[0] = static_cast<uint8_t>(address >> 16);
    out[1] = static_cast<uint8_t>(address >> 8);
    out[2] = static_cast<uint8_t>(address);
}

void SetFlashStatus(JobState& job, UserPort& port, const char* text) {
    job.flashStatusText = text;
    port.exchangeToWindow();
}

void Show(UserPort& port, const std::string& text) {
    port.ShowMessage(text, kProgramTitle, MessageIcon::None);
}

}  // namespace zorvek::detail
