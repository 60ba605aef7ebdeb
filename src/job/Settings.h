#pragma once
// Loading and saving the job between runs.
#include "job/JobState.h"
#include "job/SettingsStore.h"

namespace zorvek {

// Reads every job key; values are taken as stored, without range checks.
void loadSettings(JobState& job, SettingsStore& store);
// Writes all 36 job keys (what "&Quit", the close box and Escape do).
void saveAllSettings(const JobState& job, SettingsStore& store);
// Writes the first three slot paths, "Compression" and "Verbose" (what File > Exit does).
void savePartialSettings(const JobState& job, SettingsStore& store);

// Folder of the running program, ending in a separator. Falls back to the
// folder part of argv0 when the executable's own path cannot be read.
std::string computeProgramFolder(const char* argv0);

// Settings keys of the window's own choices, beside the job's keys.
// Integer, 0 or 1: the simulated siren over the FTDI adapter.
inline constexpr const char* kSimulatedSirenKey = "Simulated Siren";
// Text: the serial number of the adapter chosen among several, for the FTDI
// adapters and for the simulated ones.
inline constexpr const char* kAdapterSerialKey = "Adapter Serial";
inline constexpr const char* kSimulatedAdapterSerialKey = "Simulated Adapter Serial";
// Integer, 0 or 1: erase by bulk erase where that is faster (EraseMode::Auto).
inline constexpr const char* kFastEraseKey = "Fast Erase";
// Integer, 0 or 1: write only what differs (on when missing).
inline constexpr const char* kWriteChangedKey = "Write Only What Differs";
// Integer, Hz: the SPI clock asked for (kDefaultSpiClockHz when missing).
inline constexpr const char* kSpiClockKey = "SPI Clock";

}  // namespace zorvek
