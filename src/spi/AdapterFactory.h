#pragma once
// Chooses the adapter once at start: the FTDI programmer or the simulated siren.
#include <memory>
#include <string>
#include <vector>

#include "spi/SpiAdapter.h"

namespace zorvek {

enum class AdapterKind { Ftdi, Simulator };

// "FTDI adapter" or "Simulated Siren", e.g. for the window title.
const char* AdapterKindName(AdapterKind kind);

struct AdapterChoice {
    std::unique_ptr<SpiAdapter> adapter;
    AdapterKind kind = AdapterKind::Ftdi;
    std::vector<std::string> warnings;  // bad environment values, to show the user
};

// ZORVEK_ADAPTER ("ftdi" or "simulator") overrides the "Simulated Siren" setting;
// the simulator is shaped by ZORVEK_SIMULATOR_FILE, _SIZE and _FAULTS.
AdapterChoice MakeAdapterFromEnvironment(bool simulatedSettingDefault);

}  // namespace zorvek
