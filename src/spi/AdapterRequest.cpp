#include "spi/AdapterRequest.h"

#include <algorithm>
#include <cstdlib>

#include "job/FlashChips.h"

namespace zorvek {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

}  // namespace

AdapterRequest DefaultAdapterRequest() {
    AdapterRequest request;
    request.simulator.filePath = DefaultSimulatorFile();
    return request;
}

AdapterEnvironment ReadAdapterEnvironment() {
    AdapterEnvironment environment;
    if (auto kind = Variable("ZORVEK_ADAPTER")) {
        if (const AdapterDriver* driver = FindAdapterDriver(*kind))
            environment.kind = AdapterKind{driver};
        else
            environment.unknownKind = *kind;
    }
    environment.simulatorFile = Variable("ZORVEK_SIMULATOR_FILE");
    if (auto size = Variable("ZORVEK_SIMULATOR_SIZE")) {
        environment.simulatorSize = ParseSimulatorSize(*size);
        if (!environment.simulatorSize)
            environment.warnings.push_back("ZORVEK_SIMULATOR_SIZE \"" + *size +
                                           "\" is not one of " + CapacityNames() + "; using " +
                                           CapacityName(kDefaultFlashSize) + ".");
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
    AdapterMade made = request.kind.Driver().make(request);
    choice.adapter = std::move(made.adapter);
    choice.loadError = std::move(made.loadError);
    return choice;
}

Result ListAdapters(const AdapterRequest& request, std::vector<AdapterListing>& adapters) {
    return request.kind.Driver().list(request, adapters);
}

AdapterRequest AdapterRequestFromEnvironment(bool simulatedSetting, std::vector<std::string>& warnings) {
    AdapterRequest request = DefaultAdapterRequest();
    request.kind = simulatedSetting ? AdapterKind::Simulator : AdapterKind::Ftdi;
    const AdapterEnvironment environment = ReadAdapterEnvironment();
    ApplyEnvironment(environment, request);
    if (!environment.unknownKind.empty())
        warnings.push_back("ZORVEK_ADAPTER \"" + environment.unknownKind + "\" is neither " +
                           AdapterDriverNames(" nor ") + "; using the " +
                           (simulatedSetting ? "simulator." : "FTDI adapter."));
    if (request.kind.Driver().keepsFlash)
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

}  // namespace zorvek
