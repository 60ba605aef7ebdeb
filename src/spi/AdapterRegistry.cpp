#include "spi/AdapterRegistry.h"

namespace zorvek {

// Each driver's row lives in its own source file.
const AdapterDriver& FtdiDriver();       // FtdiDriver.cpp
const AdapterDriver& SimulatorDriver();  // SimulatedDriver.cpp

const std::vector<const AdapterDriver*>& AdapterDrivers() {
    static const std::vector<const AdapterDriver*> table = {&FtdiDriver(), &SimulatorDriver()};
    return table;
}

const AdapterDriver* FindAdapterDriver(std::string_view name) {
    for (const AdapterDriver* driver : AdapterDrivers())
        if (name == driver->name) return driver;
    return nullptr;
}

std::string AdapterDriverNames(const char* lastJoin) {
    std::string names;
    const auto& drivers = AdapterDrivers();
    for (size_t i = 0; i < drivers.size(); ++i) {
        if (i > 0) names += i + 1 == drivers.size() ? lastJoin : ", ";
        names += std::string("\"") + drivers[i]->name + "\"";
    }
    return names;
}

const AdapterKind AdapterKind::Ftdi{&FtdiDriver()};
const AdapterKind AdapterKind::Simulator{&SimulatorDriver()};

const AdapterDriver& AdapterKind::Driver() const {
    return driver ? *driver : *AdapterDrivers().front();
}

const char* AdapterKindName(AdapterKind kind) {
    return kind.Driver().displayName;
}

}  // namespace zorvek
