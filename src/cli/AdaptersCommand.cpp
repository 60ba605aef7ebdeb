#include "cli/AdaptersCommand.h"

#include "job/TextFormat.h"

namespace zorvek::cli {

std::string FormatAdapterTable(const std::vector<AdapterListing>& adapters) {
    std::string text =
        Format("%-12s %-10s %-4s %-4s %-24s %s\n", "SERIAL", "CHIP", "BUS", "ADDR", "DESCRIPTION", "STATUS");
    for (const AdapterListing& a : adapters) {
        const std::string status = a.openable ? "usable" : "not usable: " + a.whyNot;
        text += Format("%-12s %-10s %03d  %03d  %-24s %s\n", a.serial.empty() ? "-" : a.serial.c_str(), a.chip.c_str(),
                       a.bus, a.address, a.description.empty() ? "-" : a.description.c_str(), status.c_str());
    }
    return text;
}

std::string FormatAdapterJson(const std::vector<AdapterListing>& adapters) {
    std::string text = "{\"adapters\":[";
    for (size_t i = 0; i < adapters.size(); ++i) {
        const AdapterListing& a = adapters[i];
        if (i) text += ",";
        text += "{\"serial\":" + JsonQuoted(a.serial) + ",\"description\":" + JsonQuoted(a.description) +
                ",\"chip\":" + JsonQuoted(a.chip) + Format(",\"bus\":%d,\"address\":%d", a.bus, a.address) +
                ",\"supported\":" + (a.supported ? "true" : "false") +
                ",\"openable\":" + (a.openable ? "true" : "false") + ",\"problem\":" + JsonQuoted(a.whyNot) + "}";
    }
    return text + "]}\n";
}

}  // namespace zorvek::cli
