#include "spi/AdapterLifecycle.h"

namespace zorvek {

namespace {

// Runs one adapter call, keeping its status as the latest.
template <typename Call>
Result Track(int32_t& lastStatus, Call call) {
    lastStatus = call();
    return lastStatus == kAdapterOk ? Result::Ok() : Result::AdapterFailure(lastStatus);
}

}  // namespace

AdapterOpening OpenAdapter(SpiAdapter& adapter, int32_t clockDivisor) {
    AdapterOpening o;
    // Adapters can take a moment to enumerate after being plugged in, but the
    // window must not freeze for long when there is none.
    const auto start = adapter.Elapsed();
    for (int poll = 0; poll < kEnumerationPolls && o.devices == 0; ++poll) {
        int32_t found = 0;
        o.lastStatus = adapter.AdapterCountDevices(found);
        if (o.lastStatus == kAdapterOk) o.devices = found;
        if (o.devices == 0 && adapter.Elapsed() - start > kEnumerationLimit) break;
    }
    if (o.devices <= 0) {
        o.open = Result::Failure(Fault::Adapter, "no adapter attached");
        return o;
    }
    Track(o.lastStatus, [&] { return adapter.AdapterDeviceInfo(o.devices - 1, o.name, o.locationId); });
    if (o.name.size() >= static_cast<size_t>(kDeviceNameSize)) o.name.resize(kDeviceNameSize - 1);

    uint32_t handle = 0;
    o.open = Track(o.lastStatus, [&] { return adapter.AdapterOpen(o.name, o.locationId, handle); });
    if (o.open && handle == 0) o.open = Result::AdapterFailure(kAdapterInvalidHandle);
    if (!o.open) {
        o.open.detail = adapter.LastErrorDetail();
        return o;
    }
    o.handle = handle;
    o.initSpi = Track(o.lastStatus, [&] { return adapter.AdapterInitSpi(handle, clockDivisor); });
    int32_t hz = 0;
    o.clock = Track(o.lastStatus, [&] { return adapter.AdapterClockFrequency(clockDivisor, hz); });
    o.clockHz = o.clock ? hz : 0;
    o.setPins =
        Track(o.lastStatus, [&] { return adapter.AdapterSetPins(handle, kLowPinIdleStates, kUpperPinsConnected); });
    o.readPins = Track(o.lastStatus, [&] { return adapter.AdapterReadUpperPins(handle, o.levels); });
    return o;
}

AdapterClosing CloseAdapter(SpiAdapter& adapter, uint32_t handle) {
    AdapterClosing c;
    c.setPins =
        Track(c.lastStatus, [&] { return adapter.AdapterSetPins(handle, kLowPinIdleStates, kUpperPinsClosing); });
    c.close = Track(c.lastStatus, [&] { return adapter.AdapterClose(handle); });
    return c;
}

}  // namespace zorvek
