// The registry row of the simulated siren: emulated flashes kept in files.
#include <algorithm>

#include "job/Settings.h"
#include "spi/AdapterRegistry.h"
#include "spi/AdapterRequest.h"
#include "spi/SimulatedSiren.h"

namespace zorvek {

const AdapterDriver& SimulatorDriver();

namespace {

Result List(const AdapterRequest& request, std::vector<AdapterListing>& adapters) {
    adapters.clear();
    if (request.simulator.faults.noDevice) return Result::Ok();
    for (int n = 1; n <= request.simulatorCount; ++n) {
        AdapterListing listing;
        listing.serial = SimulatedSerial(n);
        listing.description = SimulatorDriver().displayName;
        listing.chip = "simulated";
        listing.bus = 1;
        listing.address = n;
        if (request.simulator.faults.openFails) {
            listing.openable = false;
            listing.whyNot = "refuses to open (open-fails fault)";
        }
        adapters.push_back(listing);
    }
    return Result::Ok();
}

AdapterMade Make(const AdapterRequest& request) {
    SimulatorOptions options = request.simulator;
    options.wallClock = true;
    int number = 0;
    for (int n = 1; n <= request.simulatorCount; ++n)
        if (request.serial ? *request.serial == SimulatedSerial(n) : request.simulatorCount == 1) number = n;
    options.number = std::max(number, 1);
    options.filePath = SimulatorFileFor(request.simulator.filePath, options.number);
    // Asked for by a serial number none has, or without one among several: no device,
    // as an absent adapter.
    if (number == 0) options.faults.noDevice = true;
    auto siren = std::make_unique<SimulatedSiren>(options);
    std::string loadError = siren->LoadError();
    return {std::move(siren), std::move(loadError)};
}

std::string Advice(const std::optional<std::string>&, const AdapterDiagnostics&) {
    return "the simulated siren could not be reached (see ZORVEK_SIMULATOR_FAULTS and --device).";
}

std::string Options(const AdapterRequest& request) {
    return " --adapter simulator --simulator-file " + request.simulator.filePath;
}

}  // namespace

const AdapterDriver& SimulatorDriver() {
    static const AdapterDriver driver{.name = "simulator", .displayName = "Simulated Siren",
        .serialSettingsKey = kSimulatedAdapterSerialKey, .noun = "the simulated siren ", .namedInTitle = true,
        .keepsFlash = true, .loneSerial = kSimulatedSerial, .list = &List, .make = &Make, .noAdapterAdvice = &Advice,
        .commandLineOptions = &Options};
    return driver;
}

AdapterDiagnostics SimulatedSiren::Diagnostics() const {
    AdapterDiagnostics d;
    d.model = "simulated";
    d.modelled = ModelledTime();
    d.floor = flash_.busyTime + counters_.spiBitTime;
    d.floorBasis = "flash busy plus SPI bits at 6 MHz";
    if (!saveError_.empty()) d.saveError = "the simulated siren's flash could not be saved: " + saveError_;
    return d;
}

}  // namespace zorvek
