#pragma once
// File menu commands "&Save Configuration" and "Load &Configuration".
#include <optional>
#include <string>

#include "job/JobState.h"
#include "job/UserPort.h"

namespace zorvek {

inline constexpr const char* kConfigFilter = "ZFG Files (*.zfg)|*.zfg|All Files (*.*)|*.*||";

// Asks for a file and writes the job's configuration to it. The file's path
// when it was written, else nothing.
std::optional<std::string> SaveConfig(JobState& job, UserPort& port);
// Asks for a file and reads a configuration from it into the job. The file's
// path when it was read, else nothing.
std::optional<std::string> LoadConfig(JobState& job, UserPort& port);
// Reads the configuration of a file already chosen (a recent job).
bool LoadConfigFile(JobState& job, UserPort& port, const std::string& path);

// What a list control hands back for a value it has no entry for (-1), and a
// check box for any value (0 or 1): loaded values pass through the window's
// controls, so the job holds what the window shows.
void NormaliseToControls(JobState& job);

}  // namespace zorvek
