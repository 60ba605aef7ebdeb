#pragma once
// Which adapter a front end wants, as one request: the window fills it from its
// settings, the command-line tool from its options, and both lay the environment
// over it. ZORVEK_ADAPTER and the ZORVEK_SIMULATOR_* variables are read here only.
// With several adapters attached the request must name one by serial number.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "job/Result.h"
#include "spi/AdapterListing.h"
#include "spi/AdapterRegistry.h"
#include "spi/SimulatorOptions.h"
#include "spi/SpiAdapter.h"
#include "spi/UsbTransport.h"

namespace zorvek {

// The first simulated siren's USB serial number.
inline constexpr const char* kSimulatedSerial = "SIM0001";

struct AdapterRequest {
    AdapterKind kind;  // the registry's default driver unless chosen
    std::optional<std::string> serial;  // only the adapter with this serial number
    SimulatorOptions simulator;         // file (of SIM0001), size and faults of the simulated sirens
    int simulatorCount = 1;             // simulated adapters attached: SIM0001, SIM0002, ...
};

// The request before anything is chosen: the FTDI adapter; a simulated siren
// would keep its flash in DefaultSimulatorFile().
AdapterRequest DefaultAdapterRequest();

// What the environment asks for. A variable that is not set stays empty.
struct AdapterEnvironment {
    std::optional<AdapterKind> kind;           // ZORVEK_ADAPTER
    std::string unknownKind;                   // its value when it names no adapter
    std::optional<std::string> simulatorFile;  // ZORVEK_SIMULATOR_FILE
    std::optional<uint32_t> simulatorSize;     // ZORVEK_SIMULATOR_SIZE
    std::optional<SimulatorFaults> faults;     // ZORVEK_SIMULATOR_FAULTS
    std::optional<int> simulatorCount;         // ZORVEK_SIMULATOR_COUNT
    std::vector<std::string> warnings;         // bad size or fault values, which are ignored
};
AdapterEnvironment ReadAdapterEnvironment();

// Lays what the environment sets over the request.
void ApplyEnvironment(const AdapterEnvironment& environment, AdapterRequest& request);

struct AdapterChoice {
    std::unique_ptr<SpiAdapter> adapter;
    AdapterKind kind;
    std::string loadError;              // what the driver keeps (a simulated siren's file) could not be read
    std::vector<std::string> warnings;  // for the window: bad environment values, load error
};

// Makes the requested adapter. A simulated siren asked for by a serial number
// that none has finds no device, as an absent adapter would; so does a request
// without one when several simulated sirens are attached.
AdapterChoice MakeAdapter(const AdapterRequest& request);

// The adapters of the request's kind attached now, usable or not; a failure when
// USB cannot be enumerated.
Result ListAdapters(const AdapterRequest& request, std::vector<AdapterListing>& adapters);
Result ListFtdiAdapters(UsbTransport& transport, std::vector<AdapterListing>& adapters);

// The window's request: the "Simulated Siren" setting with the environment laid
// over it, no serial number yet. Bad values are named in `warnings`.
AdapterRequest AdapterRequestFromEnvironment(bool simulatedSetting, std::vector<std::string>& warnings);

// The window's choice: the "Simulated Siren" setting with the environment laid
// over it. Bad values, and a simulated siren whose file cannot be read, are
// named in the warnings.
AdapterChoice MakeAdapterFromEnvironment(bool simulatedSetting);


}  // namespace zorvek
