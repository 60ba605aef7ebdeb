// Opening and closing the adapter, and the diagnostic Test Write and Test Read.
#include "spi/UsbConnection.h"

#include <string>

#include "job/TextFormat.h"
#include "spi/FlashRoutines.h"
#include "spi/LinkFrames.h"

namespace zorvek {

using detail::Show;

namespace {

template <typename Call>
int32_t Record(SpiLink& link, Call call) {
    link.lastStatus = 0;
    link.lastStatus = call();
    return link.lastStatus;
}

void SetUsbStatus(JobState& job, UserPort& port, const char* text) {
    job.usbStatusText = text;
    port.exchangeToWindow();
}

}  // namespace

void SetupUsb(JobState& job, SpiLink& link, UserPort& port) {
    SpiAdapter* adapter = link.adapter;
    int32_t count = 0;
    if (adapter) {
        // Adapters can take a moment to enumerate after being plugged in, but the
        // window must not freeze for long when there is none.
        const auto start = adapter->Elapsed();
        for (int poll = 0; poll < kEnumerationPolls && count == 0; ++poll) {
            int32_t found = 0;
            link.lastStatus = adapter->AdapterCountDevices(found);
            if (link.lastStatus == 0) count = found;
            if (count == 0 && adapter->Elapsed() - start > kEnumerationLimit) break;
        }
    }
    if (count <= 0) {
        Show(port, kMsgNoAdapter);
        job.abortFlag = 1;
        return;
    }
    if (job.verbose) Show(port, kMsgDeviceFound);

    std::string name;
    int32_t locationId = 0;
    Record(link, [&] { return adapter->AdapterDeviceInfo(count - 1, name, locationId); });
    if (name.size() >= static_cast<size_t>(kDeviceNameSize)) name.resize(kDeviceNameSize - 1);
    job.messageText = Format(kMsgDeviceInfo, name.c_str(), locationId);
    if (job.verbose) Show(port, job.messageText);

    uint32_t handle = 0;
    if (Record(link, [&] { return adapter->AdapterOpen(name, locationId, handle); }) != 0 || handle == 0) {
        link.handle = 0;
        std::string detail = adapter->LastErrorDetail();
        Show(port, detail.empty() ? std::string(kMsgCouldNotOpen) : std::string(kMsgCouldNotOpen) + "\n" + detail);
        SetUsbStatus(job, port, "Idle");
        job.abortFlag = 1;
        return;
    }
    link.handle = handle;
    link.deviceName = name;
    SetUsbStatus(job, port, "Device Connected");

    if (Record(link, [&] { return adapter->AdapterInitSpi(link.handle, kSpiClockDivisor); }) != 0)
        Show(port, kMsgSpiInitError);

    int32_t hz = 0;
    int32_t status = Record(link, [&] { return adapter->AdapterClockFrequency(kSpiClockDivisor, hz); });
    link.clockHz = status == 0 ? hz : 0;
    if (job.verbose) {
        job.messageText = Format(kMsgClockFrequency, hz);
        if (status == 0) Show(port, job.messageText);
    }

    Record(link, [&] { return adapter->AdapterSetPins(link.handle, kLowPinIdleStates, kUpperPinsConnected); });

    UpperPinLevels levels;
    status = Record(link, [&] { return adapter->AdapterReadUpperPins(link.handle, levels); });
    job.messageText = Format(kMsgUpperGpio, levels.high[0], levels.high[1], levels.high[2], levels.high[3]);
    if (status == 0 && job.verbose) Show(port, job.messageText);
}

void CloseUsb(JobState& job, SpiLink& link, UserPort& port) {
    if (link.handle == 0 || link.adapter == nullptr) return;
    Record(link, [&] { return link.adapter->AdapterSetPins(link.handle, kLowPinIdleStates, kUpperPinsClosing); });
    int32_t status = Record(link, [&] { return link.adapter->AdapterClose(link.handle); });
    job.usbStatusText = "Idle";
    job.flashIdText.clear();
    port.exchangeToWindow();
    link.handle = 0;
    if (status != 0) Show(port, kMsgCloseError);
}

void TestWrite(JobState& job, SpiLink& link, UserPort& port) {
    static const uint8_t kPattern[] = {'9', '2', '3', '6', '5'};
    job.flashStatusText = "Programming";
    port.exchangeToWindow();
    PageProgram(job, link, port, 0x200, kPattern, sizeof kPattern);
    job.flashStatusText.clear();
    port.exchangeToWindow();
}

void TestRead(JobState& job, SpiLink& link, UserPort& port) {
    job.flashStatusText = "Reading";
    port.exchangeToWindow();
    uint8_t bytes[10] = {};
    const auto address = static_cast<uint32_t>(job.testAddress);
    link.lastStatus = ReadFlash(job, link, port, address, bytes, sizeof bytes);
    std::string text = "Reading bytes:\n";
    for (uint32_t k = 0; k < 10; ++k) text += Format(" 0x%03x = 0x%02x\n", address + k, bytes[k]);
    job.messageText = text;
    if (link.lastStatus == 0) Show(port, job.messageText);
    job.flashStatusText.clear();
    port.exchangeToWindow();
}

}  // namespace zorvek
