#include "spi/AdapterRequest.h"

#include <algorithm>
#include <cstdlib>

#include "spi/FtdiAdapter.h"
#include "spi/SimulatedSiren.h"

namespace zorvek {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

const char* AdapterKindName(AdapterKind kind) {
    return kind == AdapterKind::Simulator ? "Simulated Siren" : "FTDI adapter";
}

AdapterRequest DefaultAdapterRequest() {
    AdapterRequest request;
    request.simulator.filePath = DefaultSimulatorFile();
    return request;
}

AdapterEnvironment ReadAdapterEnvironment() {
    AdapterEnvironment environment;
    if (auto kind = Variable("ZORVEK_ADAPTER")) {
        if (*kind == "simulator")
            environment.kind = AdapterKind::Simulator;
        else if (*kind == "ftdi")
            environment.kind = AdapterKind::Ftdi;
        else
            environment.unknownKind = *kind;
    }
    environment.simulatorFile = Variable("ZORVEK_SIMULATOR_FILE");
    if (auto size = Variable("ZORVEK_SIMULATOR_SIZE")) {
        environment.simulatorSize = ParseSimulatorSize(*size);
        if (!environment.simulatorSize)
            environment.warnings.push_back("ZORVEK_SIMULATOR_SIZE \"" + *size +
                                           "\" is not one of 256K, 512K, 1M, 2M, 4M; using 2M.");
    }
    if (auto count = Variable("ZORVEK_SIMULATOR_COUNT")) {
        environment.simulatorCount = ParseSimulatorCount(*count);
        if (!environment.simulatorCount)
            environment.warnings.push_back("ZORVEK_SIMULATOR_COUNT \"" + *count + "\" is not a number from 1 to " +
                                           std::to_string(kMaxSimulatorCount) + "; attaching one.");
    }
    if (auto faults = Variable("ZORVEK_SIMULATOR_FAULTS")) {
        SimulatorFaults parsed;
        std::string error;
        if (ParseSimulatorFaults(*faults, parsed, error))
            environment.faults = parsed;
        else
            environment.warnings.push_back("ZORVEK_SIMULATOR_FAULTS: " + error + "; no faults injected.");
    }
    return environment;
}

void ApplyEnvironment(const AdapterEnvironment& environment, AdapterRequest& request) {
    if (environment.kind) request.kind = *environment.kind;
    if (environment.simulatorFile) request.simulator.filePath = *environment.simulatorFile;
    if (environment.simulatorSize) request.simulator.size = *environment.simulatorSize;
    if (environment.faults) request.simulator.faults = *environment.faults;
    if (environment.simulatorCount) request.simulatorCount = *environment.simulatorCount;
}

AdapterChoice MakeAdapter(const AdapterRequest& request) {
    AdapterChoice choice;
    choice.kind = request.kind;
    if (request.kind == AdapterKind::Simulator) {
        SimulatorOptions options = request.simulator;
        options.wallClock = true;
        int number = 0;
        for (int n = 1; n <= request.simulatorCount; ++n)
            if (request.serial ? *request.serial == SimulatedSerial(n) : request.simulatorCount == 1) number = n;
        options.number = std::max(number, 1);
        options.filePath = SimulatorFileFor(request.simulator.filePath, options.number);
        if (number == 0) options.faults.noDevice = true;
        auto siren = std::make_unique<SimulatedSiren>(options);
        choice.loadError = siren->LoadError();
        choice.siren = siren.get();
        choice.adapter = std::move(siren);
    } else {
        auto ftdi = std::make_unique<FtdiAdapter>(MakeLibFtdiTransport());
        if (request.serial) ftdi->SetSerialFilter(*request.serial);
        choice.ftdi = ftdi.get();
        choice.adapter = std::move(ftdi);
    }
    return choice;
}

bool ListFtdiAdapters(UsbTransport& transport, std::vector<AdapterListing>& adapters, std::string& error) {
    adapters.clear();
    std::vector<UsbDeviceInfo> devices;
    if (!transport.Enumerate(devices)) {
        error = "USB devices could not be listed: " + transport.ErrorText();
        return false;
    }
    for (const auto& device : devices) adapters.push_back(ListingFor(device));
    return true;
}

bool ListAdapters(const AdapterRequest& request, std::vector<AdapterListing>& adapters, std::string& error) {
    if (request.kind == AdapterKind::Ftdi) {
        auto transport = MakeLibFtdiTransport();
        return ListFtdiAdapters(*transport, adapters, error);
    }
    adapters.clear();
    if (request.simulator.faults.noDevice) return true;
    for (int n = 1; n <= request.simulatorCount; ++n) {
        AdapterListing listing;
        listing.serial = SimulatedSerial(n);
        listing.description = AdapterKindName(AdapterKind::Simulator);
        listing.chip = "simulated";
        listing.bus = 1;
        listing.address = n;
        if (request.simulator.faults.openFails) {
            listing.openable = false;
            listing.whyNot = "refuses to open (open-fails fault)";
        }
        adapters.push_back(listing);
    }
    return true;
}

AdapterRequest AdapterRequestFromEnvironment(bool simulatedSetting, std::vector<std::string>& warnings) {
    AdapterRequest request = DefaultAdapterRequest();
    request.kind = simulatedSetting ? AdapterKind::Simulator : AdapterKind::Ftdi;
    const AdapterEnvironment environment = ReadAdapterEnvironment();
    ApplyEnvironment(environment, request);
    if (!environment.unknownKind.empty())
        warnings.push_back("ZORVEK_ADAPTER \"" + environment.unknownKind +
                           "\" is neither \"ftdi\" nor \"simulator\"; using the " +
                           (simulatedSetting ? "simulator." : "FTDI adapter."));
    if (request.kind == AdapterKind::Simulator)
        warnings.insert(warnings.end(), environment.warnings.begin(), environment.warnings.end());
    return request;
}

AdapterChoice MakeAdapterFromEnvironment(bool simulatedSetting) {
    std::vector<std::string> warnings;
    const AdapterRequest request = AdapterRequestFromEnvironment(simulatedSetting, warnings);
    AdapterChoice choice = MakeAdapter(request);
    if (!choice.loadError.empty()) warnings.push_back("Simulated siren: " + choice.loadError + ".");
    choice.warnings = std::move(warnings);
    return choice;
}

std::vector<std::string> SimulatedSerials(int count) {
    std::vector<std::string> serials;
    for (int n = 1; n <= count; ++n) serials.push_back(SimulatedSerial(n));
    return serials;
}

AdapterRequest SimulatedRequestFor(const AdapterRequest& base, const std::string& serial) {
    AdapterRequest request = base;
    request.kind = AdapterKind::Simulator;
    request.serial = serial;
    return request;
}

}  // namespace zorvek
