#include "spi/AdapterFactory.h"

#include <cstdlib>

#include "spi/FtdiAdapter.h"
#include "spi/SimulatedSiren.h"

namespace zorvek {

const char* AdapterKindName(AdapterKind kind) {
    return kind == AdapterKind::Simulator ? "Simulated Siren" : "FTDI adapter";
}

AdapterChoice MakeAdapterFromEnvironment(bool simulatedSettingDefault) {
    AdapterChoice choice;
    bool simulated = simulatedSettingDefault;
    if (const char* chosen = std::getenv("ZORVEK_ADAPTER"); chosen && *chosen) {
        std::string value(chosen);
        if (value == "simulator") {
            simulated = true;
        } else if (value == "ftdi") {
            simulated = false;
        } else {
            choice.warnings.push_back("ZORVEK_ADAPTER \"" + value +
                                      "\" is neither \"ftdi\" nor \"simulator\"; using the " +
                                      (simulated ? "simulator." : "FTDI adapter."));
        }
    }
    if (simulated) {
        choice.kind = AdapterKind::Simulator;
        auto siren = std::make_unique<SimulatedSiren>(SimulatorOptionsFromEnvironment(choice.warnings));
        if (!siren->LoadError().empty()) choice.warnings.push_back("Simulated siren: " + siren->LoadError() + ".");
        choice.adapter = std::move(siren);
    } else {
        choice.kind = AdapterKind::Ftdi;
        choice.adapter = std::make_unique<FtdiAdapter>(MakeLibFtdiTransport());
    }
    return choice;
}

}  // namespace zorvek
