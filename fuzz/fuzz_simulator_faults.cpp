// ZORVEK_SIMULATOR_FAULTS, _SIZE and _COUNT come from the environment.
#include <cstddef>
#include <cstdint>
#include <string>

#include "spi/SimulatedSiren.h"
#include "spi/SimulatorOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    zorvek::SimulatorFaults faults;
    std::string error;
    bool ok = zorvek::ParseSimulatorFaults(text, faults, error);
    if (!ok && !(faults == zorvek::SimulatorFaults{})) __builtin_trap();  // a bad list changes nothing
    if (ok && faults.weakBits.size() + faults.readErrorAt.size() < 64) {
        // The parsed faults must be safe to run with.
        zorvek::SimulatorOptions options;
        options.size = 256u << 10;
        options.faults = faults;
        zorvek::SimulatedSiren siren(options);
        int32_t count = 0;
        siren.AdapterCountDevices(count);
    }
    (void)zorvek::ParseSimulatorSize(text);
    if (auto count = zorvek::ParseSimulatorCount(text); count && (*count < 1 || *count > zorvek::kMaxSimulatorCount))
        __builtin_trap();
    return 0;
}
