// The registry row of FTDI FT2232-family adapters through libftdi1.
#include "job/Settings.h"
#include "spi/AdapterRegistry.h"
#include "spi/AdapterRequest.h"
#include "spi/FtdiAdapter.h"

namespace zorvek {

const AdapterDriver& FtdiDriver();

namespace {

Result List(const AdapterRequest&, std::vector<AdapterListing>& adapters) {
    auto transport = MakeLibFtdiTransport();
    return ListFtdiAdapters(*transport, adapters);
}

AdapterMade Make(const AdapterRequest& request) {
    auto ftdi = std::make_unique<FtdiAdapter>(MakeLibFtdiTransport());
    if (request.serial) ftdi->SetSerialFilter(*request.serial);
    return {std::move(ftdi), {}};
}

std::string Advice(const std::optional<std::string>& askedSerial, const AdapterDiagnostics& diagnostics) {
    std::string text = "no usable siren programmer. Check that the USB adapter is plugged in.";
    if (askedSerial) {
        text += "\nNo adapter has the serial number \"" + *askedSerial + "\"";
        if (diagnostics.seenSerials.empty()) {
            text += ".";
        } else {
            text += "; found:";
            for (const auto& s : diagnostics.seenSerials) text += " \"" + s + "\"";
        }
    }
    text += std::string("\nIf it is plugged in, this user may not open it: install the udev rule ") + kUdevRulePath +
            " (the package does) and plug the adapter in again. That rule serves the user at the machine's own "
            "seat; for a login over the network or a service, add a rule with GROUP=\"plugdev\", MODE=\"0660\" "
            "and put the user in that group.";
    return text;
}

std::string Options(const AdapterRequest&) {
    return {};
}

}  // namespace

const AdapterDriver& FtdiDriver() {
    static const AdapterDriver driver{.name = "ftdi", .displayName = "FTDI adapter",
        .serialSettingsKey = kAdapterSerialKey, .noun = "adapter ", .namedInTitle = false, .keepsFlash = false,
        .loneSerial = nullptr, .list = &List, .make = &Make, .noAdapterAdvice = &Advice,
        .commandLineOptions = &Options};
    return driver;
}

Result ListFtdiAdapters(UsbTransport& transport, std::vector<AdapterListing>& adapters) {
    adapters.clear();
    std::vector<UsbDeviceInfo> devices;
    if (!transport.Enumerate(devices))
        return Result::Failure(Fault::Adapter, "USB devices could not be listed: " + transport.ErrorText());
    for (const auto& device : devices) adapters.push_back(ListingFor(device));
    return Result::Ok();
}

AdapterDiagnostics FtdiAdapter::Diagnostics() const {
    AdapterDiagnostics d;
    d.seenSerials = seenSerials_;
    return d;
}

}  // namespace zorvek
