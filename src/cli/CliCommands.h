#pragma once
// Runs one zorvek-cli command line: chooses the adapter, drives the siren
// operations through the console UserPort and turns their outcome into the
// exit status.
#include <string>
#include <vector>

#include "operations/SirenOperations.h"

namespace zorvek::cli {

int ExitStatusFor(OperationOutcome outcome);

// The whole program after main: arguments without the program name.
// `programPath` is argv[0], for the program folder.
int RunCli(const std::vector<std::string>& arguments, const char* programPath);

}  // namespace zorvek::cli
