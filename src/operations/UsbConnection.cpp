// Opening and closing the adapter as the window reports it, and the diagnostic
// Test Write and Test Read.
#include "operations/UsbConnection.h"
#include "job/Translate.h"

#include <string>

#include "job/TextFormat.h"
#include "operations/FlashRoutines.h"
#include "operations/LinkFrames.h"
#include "spi/AdapterLifecycle.h"

namespace zorvek {

using detail::Show;

namespace {

void SetUsbStatus(JobState& job, UserPort& port, const char* text) {
    job.usbStatusText = text;
    port.exchangeToWindow();
}

}  // namespace

void SetupUsb(JobState& job, SpiLink& link, UserPort& port) {
    if (!link.adapter) {
        Show(port, kMsgNoAdapter);
        job.abortFlag = 1;
        return;
    }
    const AdapterOpening o = OpenAdapter(*link.adapter, kSpiClockDivisor);
    link.lastStatus = o.lastStatus;
    if (o.devices <= 0) {
        Show(port, kMsgNoAdapter);
        job.abortFlag = 1;
        return;
    }
    if (job.verbose) Show(port, kMsgDeviceFound);
    job.messageText = Format(kMsgDeviceInfo, o.name.c_str(), o.locationId);
    if (job.verbose) Show(port, job.messageText);

    if (!o.Opened()) {
        link.handle = 0;
        Show(port, o.open.detail.empty() ? std::string(kMsgCouldNotOpen)
                                         : std::string(kMsgCouldNotOpen) + "\n" + o.open.detail);
        SetUsbStatus(job, port, ZT("Idle"));
        job.abortFlag = 1;
        return;
    }
    link.handle = o.handle;
    link.deviceName = o.name;
    SetUsbStatus(job, port, ZT("Device Connected"));
    if (!o.initSpi) Show(port, kMsgSpiInitError);

    link.clockHz = o.clockHz;
    if (job.verbose) {
        job.messageText = Format(kMsgClockFrequency, o.clockHz);
        if (o.clock) Show(port, job.messageText);
    }
    job.messageText = Format(kMsgUpperGpio, o.levels.high[0], o.levels.high[1], o.levels.high[2], o.levels.high[3]);
    if (o.readPins && job.verbose) Show(port, job.messageText);
}

void CloseUsb(JobState& job, SpiLink& link, UserPort& port) {
    if (link.handle == 0 || link.adapter == nullptr) return;
    const AdapterClosing c = CloseAdapter(*link.adapter, link.handle);
    link.lastStatus = c.lastStatus;
    job.usbStatusText = ZT("Idle");
    job.flashIdText.clear();
    port.exchangeToWindow();
    link.handle = 0;
    if (!c.close) Show(port, kMsgCloseError);
}

void TestWrite(JobState& job, SpiLink& link, UserPort& port) {
    static const uint8_t kPattern[] = {'9', '2', '3', '6', '5'};
    detail::SetFlashStatus(job, port, ZT("Programming"));
    PageProgram(job, link, port, 0x200, kPattern, sizeof kPattern);
    detail::SetFlashStatus(job, port, "");
}

void TestRead(JobState& job, SpiLink& link, UserPort& port) {
    detail::SetFlashStatus(job, port, ZT("Reading"));
    uint8_t bytes[10] = {};
    const auto address = static_cast<uint32_t>(job.testAddress);
    link.lastStatus = ReadFlash(job, link, port, address, bytes, sizeof bytes);
    std::string text = "Reading bytes:\n";
    for (uint32_t k = 0; k < 10; ++k) text += Format(" 0x%03x = 0x%02x\n", address + k, bytes[k]);
    job.messageText = text;
    if (link.lastStatus == 0) Show(port, job.messageText);
    detail::SetFlashStatus(job, port, "");
}

}  // namespace zorvek
