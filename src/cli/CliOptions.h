#pragma once
// The command line of zorvek-cli: commands, options and exit statuses.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "job/JobState.h"

namespace zorvek::cli {

// Exit statuses, also listed in --help and the README.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailed = 1,     // the operation failed
    kExitUsage = 2,      // bad command line (or a question that needs a terminal)
    kExitCancelled = 3,  // Ctrl-C, or the user answered to stop
    kExitVerify = 4,     // verification found a difference
    kExitNoAdapter = 5,  // no adapter found, or it cannot be opened
};

struct CliOptions {
    std::string command;            // empty with --help or --version alone
    std::vector<std::string> args;  // operands after the command
    std::optional<std::string> adapter;
    std::optional<std::string> device;  // the last --device
    std::vector<std::string> devices;   // every --device, in order ("all" for every adapter)
    std::optional<std::string> simulatorFile;
    std::optional<std::string> simulatorSize;
    std::optional<std::string> output;       // -o
    std::optional<int> message;              // --message
    std::optional<bool> verify;              // --verify / --no-verify
    std::optional<std::string> restoreFrom;  // firmware --restore-from
    bool lenient = false;                    // program --lenient: load a job as the window does
    std::optional<EraseMode> erase;          // --erase
    std::optional<bool> writeChanged;        // --write changed|all
    std::optional<int32_t> spiClockHz;       // --spi-clock
    bool repeat = false;                     // --repeat: siren after siren until Ctrl-C
    std::optional<std::string> log;          // --log FILE
    std::map<std::string, std::string> audio;  // prepare and say: --trim, --loudness, --voice, ...
    bool json = false;
    bool yes = false;
    bool stats = false;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Parses and checks the whole command line. Empty on success, else what is wrong
// (one line, for "zorvek-cli: <text>").
std::string ParseCliArguments(const std::vector<std::string>& arguments, CliOptions& options);

// The --help text.
std::string HelpText();

}  // namespace zorvek::cli
