#include "operations/LinkFrames.h"

#include "job/TextFormat.h"
#include "job/Translate.h"
#include "operations/FlashRoutines.h"

namespace zorvek::detail {

namespace {

// Stands in for a link that was never opened.
class NotOpenedAdapter final : public SpiAdapter {
public:
    int32_t AdapterCountDevices(int32_t& count) override {
        count = 0;
        return kAdapterNotOpened;
    }
    int32_t AdapterDeviceInfo(int32_t, std::string&, int32_t&) override { return kAdapterNotOpened; }
    int32_t AdapterOpen(const std::string&, int32_t, uint32_t&) override { return kAdapterNotOpened; }
    int32_t AdapterClose(uint32_t) override { return kAdapterNotOpened; }
    int32_t AdapterInitSpi(uint32_t, int32_t) override { return kAdapterNotOpened; }
    int32_t AdapterClockFrequency(int32_t, int32_t&) override { return kAdapterNotOpened; }
    int32_t AdapterSetPins(uint32_t, const LowPinIdleStates&, const UpperPinSetup&) override {
        return kAdapterNotOpened;
    }
    int32_t AdapterReadUpperPins(uint32_t, UpperPinLevels&) override { return kAdapterNotOpened; }
    int32_t AdapterWrite(uint32_t, const WriteFrame&) override { return kAdapterNotOpened; }
    int32_t AdapterRead(uint32_t, const ReadFrame&, int32_t&) override { return kAdapterNotOpened; }
    int32_t AdapterIdleClocks(uint32_t, int32_t) override { return kAdapterNotOpened; }
    std::chrono::nanoseconds Elapsed() const override { return {}; }
};

}  // namespace

SpiAdapter& AdapterOf(SpiLink& link) {
    static NotOpenedAdapter notOpened;
    return link.adapter ? *link.adapter : notOpened;
}

int32_t SendWriteFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, const uint8_t* data,
                       int32_t dataCount) {
    link.lastStatus = 0;
    link.lastStatus = AdapterOf(link).AdapterWrite(link.handle, MakeWriteFrame(control, controlCount, data, dataCount));
    return link.lastStatus;
}

int32_t SendReadFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count) {
    int32_t returned = 0;
    link.lastStatus = 0;
    link.lastStatus =
        AdapterOf(link).AdapterRead(link.handle, MakeReadFrame(control, controlCount, buffer, count), returned);
    return link.lastStatus;
}

void WindowFlashObserver::StatusRead(uint8_t status) {
    if (!job_.verbose) return;
    job_.messageText = Format(kMsgStatusRegister, status);
    Show(port_, job_.messageText);
}

void WindowFlashObserver::EraseStarting() {
    SetFlashStatus(job_, port_, ZT("Erasing"));
}

int32_t LinkStatus(const Result& result) {
    switch (result.fault) {
        case Fault::Adapter:
            return result.status;
        case Fault::InvalidArgument:
        case Fault::PageCrossing:
            return kAdapterInvalidParameter;
        default:
            return kAdapterOk;
    }
}

void SetFlashStatus(JobState& job, UserPort& port, const char* text) {
    job.flashStatusText = text;
    port.exchangeToWindow();
}

void Show(UserPort& port, const std::string& text) {
    port.ShowMessage(text, kProgramTitle, MessageIcon::None);
}

}  // namespace zorvek::detail
