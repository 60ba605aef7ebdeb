#pragma once
// The message-preparation commands: prepare (any audio file), say (text to
// speech) and voices. They need no adapter.
#include <map>
#include <string>

namespace zorvek::cli {

struct CliOptions;

// True for the commands below.
bool IsPrepareCommand(const std::string& command);
// Options of prepare and say, as the parser keeps them: name -> value ("" for --trim).
bool IsPrepareOption(const std::string& option, bool& takesValue);
// Runs prepare, say or voices. Returns the exit status.
int RunPrepareCommand(const CliOptions& options);

}  // namespace zorvek::cli
