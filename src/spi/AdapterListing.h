#pragma once
// What is attached, as the person chooses among it, and the rule that never
// guesses: with several usable adapters and no serial number asked for, nothing
// is picked.
#include <optional>
#include <string>
#include <vector>

#include "spi/UsbTransport.h"

namespace zorvek {

struct AdapterListing {
    std::string serial;  // empty when unreadable
    std::string description;
    std::string chip;  // "FT2232H", "simulated", ...
    int bus = 0;
    int address = 0;
    bool supported = true;  // a chip this program can drive
    bool openable = true;   // as far as can be told without opening it
    std::string whyNot;     // when not openable
};

// The FT4232H has no upper GPIO byte, so the siren's connect line does not exist there.
inline constexpr const char* kFt4232hUnsupported =
    "FT4232H: not supported. Its channels have no upper GPIO lines, so the line that tells the siren a "
    "programmer is connected cannot be driven. Use an FT2232C/D, FT2232H or FT232H adapter.";

bool IsSupportedAdapter(const UsbDeviceInfo& device);
AdapterListing ListingFor(const UsbDeviceInfo& device);

enum class PickResult { Chosen, NoneAttached, SerialAbsent, NeedsChoice };

struct AdapterPick {
    PickResult result = PickResult::NoneAttached;
    std::optional<AdapterListing> chosen;
    std::string message;  // for NoneAttached (when only unsupported ones are there), SerialAbsent, NeedsChoice
};

// The serial number asked for, else the only supported adapter attached.
AdapterPick PickAdapter(const std::vector<AdapterListing>& attached, const std::optional<std::string>& serial);

// "FT111, FT222 and (no serial: access denied) at bus 001 device 004" for messages.
std::string DescribeSerials(const std::vector<AdapterListing>& adapters);

}  // namespace zorvek
