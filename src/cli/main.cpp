// zorvek-cli: the siren operations for scripts and machines without a desktop.
#include <string>
#include <vector>

#include "cli/CliCommands.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return zorvek::cli::RunCli(arguments, argc > 0 ? argv[0] : nullptr);
}
