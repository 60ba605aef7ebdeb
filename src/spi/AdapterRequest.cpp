#include "spi/AdapterRequest.h"

#include <cstdio>
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
}

AdapterChoice MakeAdapter(const AdapterRequest& request) {
    AdapterChoice choice;
    choice.kind = request.kind;
    if (request.kind == AdapterKind::Simulator) {
        SimulatorOptions options = request.simulator;
        if (request.serial && *request.serial != options.serial) options.faults.noDevice = true;
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

int SimulatedAdapterCount() {
    const auto text = Variable("ZORVEK_SIMULATOR_COUNT");
    if (!text) return 1;
    char* end = nullptr;
    const long count = std::strtol(text->c_str(), &end, 10);
    return (*end == '\0' && count >= 1 && count <= 64) ? static_cast<int>(count) : 1;
}

std::vector<std::string> SimulatedSerials(int count) {
    std::vector<std::string> serials;
    for (int k = 1; k <= count; ++k) {
        char serial[16];
        std::snprintf(serial, sizeof serial, "SIM%04d", k);
        serials.emplace_back(serial);
    }
    return serials;
}

AdapterRequest SimulatedRequestFor(const AdapterRequest& base, const std::string& serial) {
    AdapterRequest request = base;
    request.kind = AdapterKind::Simulator;
    request.serial = serial;
    request.simulator.serial = serial;
    if (serial != kSimulatedSerial && !request.simulator.filePath.empty()) request.simulator.filePath += "-" + serial;
    return request;
}

AdapterChoice MakeAdapterFromEnvironment(bool simulatedSetting) {
    AdapterRequest request = DefaultAdapterRequest();
    request.kind = simulatedSetting ? AdapterKind::Simulator : AdapterKind::Ftdi;
    const AdapterEnvironment environment = ReadAdapterEnvironment();
    ApplyEnvironment(environment, request);
    std::vector<std::string> warnings;
    if (!environment.unknownKind.empty())
        warnings.push_back("ZORVEK_ADAPTER \"" + environment.unknownKind +
                           "\" is neither \"ftdi\" nor \"simulator\"; using the " +
                           (simulatedSetting ? "simulator." : "FTDI adapter."));
    if (request.kind == AdapterKind::Simulator)
        warnings.insert(warnings.end(), environment.warnings.begin(), environment.warnings.end());
    AdapterChoice choice = MakeAdapter(request);
    if (!choice.loadError.empty()) warnings.push_back("Simulated siren: " + choice.loadError + ".");
    choice.warnings = std::move(warnings);
    return choice;
}

}  // namespace zorvek
