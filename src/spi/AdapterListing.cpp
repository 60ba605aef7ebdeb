#include "spi/AdapterListing.h"

#include <algorithm>

#include "job/TextFormat.h"
#include "spi/OpenFailure.h"

namespace zorvek {

bool IsSupportedAdapter(const UsbDeviceInfo& device) {
    return device.productId != kFt4232hProductId && ChipFromBcdDevice(device.bcdDevice) != MpsseChip::Ft4232H;
}

AdapterListing ListingFor(const UsbDeviceInfo& device) {
    AdapterListing listing;
    listing.serial = device.serial;
    listing.description = device.description;
    listing.chip =
        ChipName(device.productId == kFt4232hProductId ? MpsseChip::Ft4232H : ChipFromBcdDevice(device.bcdDevice));
    listing.bus = device.bus;
    listing.address = device.address;
    listing.supported = IsSupportedAdapter(device);
    if (!listing.supported) {
        listing.openable = false;
        listing.whyNot = kFt4232hUnsupported;
    } else if (device.accessDenied) {
        listing.openable = false;
        listing.whyNot =
            std::string("access denied: install the udev rule ") + kUdevRulePath + ", then plug the adapter in again";
    }
    return listing;
}

std::string DescribeSerials(const std::vector<AdapterListing>& adapters) {
    std::string text;
    for (size_t i = 0; i < adapters.size(); ++i) {
        if (i > 0) text += i + 1 == adapters.size() ? " and " : ", ";
        const AdapterListing& a = adapters[i];
        text += a.serial.empty() ? Format("(no serial number readable) at bus %03d device %03d", a.bus, a.address)
                                 : a.serial;
    }
    return text;
}

AdapterPick PickAdapter(const std::vector<AdapterListing>& attached, const std::optional<std::string>& serial) {
    AdapterPick pick;
    if (serial) {
        auto it = std::find_if(attached.begin(), attached.end(),
                               [&](const AdapterListing& a) { return !a.serial.empty() && a.serial == *serial; });
        if (it != attached.end()) {
            pick.result = PickResult::Chosen;
            pick.chosen = *it;
            return pick;
        }
        pick.result = PickResult::SerialAbsent;
        pick.message = "No adapter with the serial number \"" + *serial + "\" is attached";
        pick.message += attached.empty() ? "." : "; attached: " + DescribeSerials(attached) + ".";
        return pick;
    }
    std::vector<AdapterListing> usable;
    std::copy_if(attached.begin(), attached.end(), std::back_inserter(usable),
                 [](const AdapterListing& a) { return a.supported; });
    if (usable.size() == 1) {
        pick.result = PickResult::Chosen;
        pick.chosen = usable.front();
    } else if (usable.empty()) {
        pick.result = PickResult::NoneAttached;
        if (!attached.empty()) pick.message = kFt4232hUnsupported;
    } else {
        pick.result = PickResult::NeedsChoice;
        pick.message = Format("%zu adapters are attached: ", usable.size()) + DescribeSerials(usable) +
                       ". Which one drives the siren must be chosen; another device's lines are never driven "
                       "by guess.";
    }
    return pick;
}

}  // namespace zorvek
