#pragma once
// The adapter drivers as one table: a name for options, the environment and the
// settings, a name for people, and what each one can do. Front ends look a
// driver up here and never test which one they hold; a new adapter is one source
// file and one row.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/Result.h"
#include "spi/AdapterListing.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

struct AdapterRequest;

struct AdapterMade {
    std::unique_ptr<SpiAdapter> adapter;
    std::string loadError;  // the driver started, but what it keeps could not be read
};

struct AdapterDriver {
    const char* name;               // --adapter, ZORVEK_ADAPTER, settings
    const char* displayName;        // for people: "FTDI adapter"
    const char* serialSettingsKey;  // where the window remembers the chosen serial number
    const char* noun;               // "adapter ", "the simulated siren ": before a serial number
    // The window title names it, so nobody takes it for another kind.
    bool namedInTitle;
    // It keeps a flash of its own: --simulator-file, --simulator-size and the
    // ZORVEK_SIMULATOR_* variables apply.
    bool keepsFlash;
    // The serial number of the one adapter used when none is named (null: the one listed).
    const char* loneSerial;
    Result (*list)(const AdapterRequest& request, std::vector<AdapterListing>& adapters);
    AdapterMade (*make)(const AdapterRequest& request);
    // What to check when no adapter of this driver answered; `askedSerial`: the one the person named.
    std::string (*noAdapterAdvice)(const std::optional<std::string>& askedSerial,
                                   const AdapterDiagnostics& diagnostics);
    // Options that name this adapter again on a command line.
    std::string (*commandLineOptions)(const AdapterRequest& request);
};

// Every driver, the default first.
const std::vector<const AdapterDriver*>& AdapterDrivers();
// The driver of that name, or null.
const AdapterDriver* FindAdapterDriver(std::string_view name);
// "ftdi" or "simulator" (every name, for messages and help).
std::string AdapterDriverNames(const char* lastJoin = " or ");

// A driver of the table, compared by identity. Ftdi is the default; the two
// constants name today's rows for code that must pick one.
struct AdapterKind {
    const AdapterDriver* driver = nullptr;
    static const AdapterKind Ftdi;
    static const AdapterKind Simulator;
    const AdapterDriver& Driver() const;
    friend bool operator==(AdapterKind a, AdapterKind b) { return &a.Driver() == &b.Driver(); }
};

// "FTDI adapter" or "Simulated Siren", e.g. for the window title.
const char* AdapterKindName(AdapterKind kind);

}  // namespace zorvek
