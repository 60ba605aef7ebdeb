#include "cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <string>

#include "cli/PrepareCommands.h"
#include "spi/AdapterRegistry.h"

namespace zorvek::cli {
namespace {

struct CommandRule {
    size_t operands;
    const char* operandNames;
    std::set<std::string> options;  // command-specific options it accepts
};

const std::map<std::string, CommandRule>& Commands() {
    static const std::map<std::string, CommandRule> commands = {
        {"program",
         {1,
          "JOB.zfg",
          {"--verify", "--no-verify", "--lenient", "--erase", "--write", "--spi-clock", "--repeat", "--log", "--yes"}}},
        {"image", {1, "JOB.zfg", {"-o", "--lenient"}}},
        {"read", {1, "OUT.zmg", {"--spi-clock"}}},
        {"write", {1, "IN.zmg", {"--verify", "--no-verify", "--erase", "--write", "--spi-clock", "--repeat", "--log"}}},
        {"firmware", {1, "FILE.hex", {"--yes", "--restore-from"}}},
        {"identify", {0, "", {"--json", "--spi-clock"}}},
        {"adapters", {0, "", {"--json"}}},
        {"selftest", {0, "", {"-o"}}},
        {"info", {1, "FILE", {"--json"}}},
        {"extract", {1, "FILE", {"--message", "-o"}}},
        {"prepare", {1, "IN", {"-o", "--trim", "--silence", "--highpass", "--loudness", "--peak"}}},
        {"say",
         {1,
          "\"TEXT\"",
          {"-o", "--voice", "--speed", "--pitch", "--trim", "--silence", "--highpass", "--loudness", "--peak"}}},
        {"voices", {0, "", {}}},
    };
    return commands;
}

const std::set<std::string> kEveryCommandOptions = {
    "--help", "-h", "--version", "-V", "--verbose", "-v", "--quiet", "-q", "--stats",
    "--adapter", "--device", "--simulator-file", "--simulator-size"};
const std::set<std::string> kValueOptions = {"--adapter", "--device", "--simulator-file", "--simulator-size",
                                             "-o",        "--output", "--message",        "--restore-from",
                                             "--erase",   "--log",    "--write",          "--spi-clock"};

// "6000000", "6M", "6MHz", "750k": Hz, 100 kHz to 100 MHz.
std::optional<int32_t> ParseClockHz(std::string text) {
    double scale = 1;
    if (text.size() > 2 && (text.ends_with("Hz") || text.ends_with("hz"))) text.resize(text.size() - 2);
    if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) scale = 1e3;
    if (!text.empty() && (text.back() == 'm' || text.back() == 'M')) scale = 1e6;
    if (scale != 1) text.pop_back();
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text == ".")
        return std::nullopt;
    const double hz = std::stod(text) * scale;
    if (!(hz >= 100e3 && hz <= 100e6)) return std::nullopt;
    return static_cast<int32_t>(hz + 0.5);
}

}  // namespace

std::string ParseCliArguments(const std::vector<std::string>& arguments, CliOptions& o) {
    o = CliOptions{};
    std::vector<std::string> operands;
    std::set<std::string> seen;  // command-specific options used, by canonical name
    bool endOfOptions = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string arg = arguments[i];
        if (endOfOptions || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            endOfOptions = true;
            continue;
        }
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        } else if (arg.size() > 2 && arg.rfind("-o", 0) == 0 && arg[1] == 'o') {
            value = arg.substr(2);
            arg = "-o";
        }
        if (arg == "--output") arg = "-o";
        bool audioValue = false;
        const bool audioOption = IsPrepareOption(arg, audioValue);
        const bool takesValue = kValueOptions.count(arg) != 0 || audioValue;
        if (takesValue && !value) {
            if (i + 1 >= arguments.size()) return "option " + arg + " needs a value";
            value = arguments[++i];
        } else if (!takesValue && value) {
            return "option " + arg + " takes no value";
        }
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version" || arg == "-V") {
            o.version = true;
        } else if (arg == "--verbose" || arg == "-v") {
            o.verbose = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--stats") {
            o.stats = true;
        } else if (arg == "--adapter") {
            if (!FindAdapterDriver(*value))
                return "--adapter must be " + AdapterDriverNames(" or ") + ", not \"" + *value + "\"";
            o.adapter = value;
        } else if (arg == "--device") {
            if (value->empty()) return "--device needs a serial number";
            o.device = value;
            if (std::find(o.devices.begin(), o.devices.end(), *value) == o.devices.end()) o.devices.push_back(*value);
        } else if (arg == "--simulator-file") {
            if (value->empty()) return "--simulator-file needs a path";
            o.simulatorFile = value;
        } else if (arg == "--simulator-size") {
            o.simulatorSize = value;
        } else if (arg == "-o") {
            if (value->empty()) return "-o needs a file name";
            o.output = value;
        } else if (arg == "--message") {
            int n = 0;
            auto [end, ec] = std::from_chars(value->data(), value->data() + value->size(), n);
            if (ec != std::errc() || end != value->data() + value->size() || n < 1 || n > 7)
                return "--message must be a number from 1 to 7, not \"" + *value + "\"";
            o.message = n;
        } else if (arg == "--verify" || arg == "--no-verify") {
            if (o.verify && *o.verify != (arg == "--verify")) return "--verify and --no-verify exclude each other";
            o.verify = arg == "--verify";
        } else if (arg == "--restore-from") {
            if (value->empty()) return "--restore-from needs a file name";
            o.restoreFrom = value;
        } else if (arg == "--lenient") {
            o.lenient = true;
        } else if (arg == "--erase") {
            if (*value == "sectors")
                o.erase = EraseMode::Sectors;
            else if (*value == "chip")
                o.erase = EraseMode::Chip;
            else if (*value == "auto")
                o.erase = EraseMode::Auto;
            else
                return "--erase must be \"sectors\", \"chip\" or \"auto\", not \"" + *value + "\"";
        } else if (arg == "--write") {
            if (*value != "changed" && *value != "all")
                return "--write must be \"changed\" or \"all\", not \"" + *value + "\"";
            o.writeChanged = *value == "changed";
        } else if (arg == "--spi-clock") {
            const std::optional<int32_t> hz = ParseClockHz(*value);
            if (!hz)
                return "--spi-clock must be a frequency from 100k to 100M (Hz, or with k or M), not \"" + *value + "\"";
            o.spiClockHz = hz;
        } else if (arg == "--repeat") {
            o.repeat = true;
        } else if (arg == "--log") {
            if (value->empty()) return "--log needs a file name";
            o.log = value;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--yes" || arg == "-y") {
            o.yes = true;
        } else if (audioOption) {
            o.audio[arg] = value.value_or("");
        } else {
            return "unknown option " + arg;
        }
        // Options that apply to every command need no check against the command.
        if (!kEveryCommandOptions.count(arg)) seen.insert(arg == "-y" ? "--yes" : arg);
    }
    if (o.quiet && o.verbose) return "--quiet and --verbose exclude each other";
    if (operands.empty()) {
        if (o.help || o.version) return {};
        return "no command given";
    }
    o.command = operands.front();
    o.args.assign(operands.begin() + 1, operands.end());
    const auto rule = Commands().find(o.command);
    if (rule == Commands().end()) return "unknown command \"" + o.command + "\"";
    if (o.help || o.version) return {};
    for (const auto& option : seen)
        if (!rule->second.options.count(option)) return "option " + option + " does not apply to " + o.command;
    if (o.args.size() != rule->second.operands) {
        if (rule->second.operands == 0) return o.command + " takes no file";
        return o.args.size() < rule->second.operands
                   ? o.command + " needs " + rule->second.operandNames
                   : o.command + " takes one file, not " + std::to_string(o.args.size());
    }
    if (o.args.size() == 1 && o.args[0].empty()) return o.command + " needs " + rule->second.operandNames;
    if (o.devices.size() > 1 && std::find(o.devices.begin(), o.devices.end(), "all") != o.devices.end())
        return "--device all names every adapter; give no other --device with it";
    const bool gang = o.devices.size() > 1 || (o.devices.size() == 1 && o.devices[0] == "all");
    if (gang && o.command != "program" && o.command != "write")
        return "only program and write use several adapters at once";
    if ((gang || o.repeat || o.log) && o.verify == false) return "programming for production always verifies";
    if (o.command == "image" && !o.output) return "image needs -o IMAGE.bin";
    if (o.command == "extract" && !o.output) return "extract needs -o OUT.wav";
    if (o.command == "extract" && !o.message) return "extract needs --message N";
    if ((o.command == "prepare" || o.command == "say") && !o.output) return o.command + " needs -o OUT.wav";
    return {};
}

namespace {

std::string HelpBody();

// The --adapter line names every driver of the registry.
std::string AdapterHelp() {
    std::string names;
    for (const AdapterDriver* driver : AdapterDrivers()) names += (names.empty() ? "" : "|") + std::string(driver->name);
    std::string line = "  --adapter " + names;
    line.resize(std::max<size_t>(line.size() + 1, 29), ' ');
    return line + "adapter to use (default: $ZORVEK_ADAPTER, else " + AdapterDrivers().front()->name +
           ";\n                             --simulator-file or --simulator-size alone choose the simulator)\n";
}

}  // namespace

std::string HelpText() {
    std::string text = HelpBody();
    text.replace(text.find("@ADAPTERS@"), 10, AdapterHelp());
    return text;
}

namespace {

std::string HelpBody() {
    return R"(Usage: zorvek-cli [options] COMMAND [arguments]

Programs voice sirens from the command line, with the same results as the window.

Commands:
  program JOB.zfg [--verify | --no-verify] [--lenient] [--erase MODE]
                  [--write changed|all] [--spi-clock HZ] [--yes]
                        program the job of a configuration file into the siren
                        (the job's Verify line decides unless an option is given);
                        a job file that is not 32 lines with whole numbers on its
                        number lines is refused unless --lenient loads it as the
                        window does; a job that turns the firmware update on is
                        refused (exit 2) unless --yes says to update it too
  image JOB.zfg -o IMAGE.bin [--lenient]
                        build the flash image only, no adapter: the bytes program
                        would write; refused (no file) where program would refuse
  read OUT.zmg          copy the siren's whole flash into a siren image file
  write IN.zmg [--no-verify] [--erase MODE] [--write changed|all]
                        write a siren image file into the siren and read it back
  firmware FILE.hex [--yes] [--restore-from RECOVERY]
                        update only the controller firmware from an Intel HEX file;
                        asks first on the terminal, --yes answers to go ahead.
                        An interrupted update's copy of the first 64 KiB is found
                        and put back; --restore-from names such a copy
  identify [--json]     show the flash signature, capacity and highest address, the
                        chip (maker, part, JEDEC ID), its write protection and
                        whether its facts come from the chip table or its SFDP tables
  adapters [--json]     list the adapters attached (of the kind --adapter chooses),
                        also those that cannot be opened, and why
  selftest [-o BACKUP.zmg]
                        hardware check: identify, read the whole siren into a backup
                        file, write it back with verify, read again and compare;
                        prints times, round trips and speed. The siren ends as it
                        was found (default backup: selftest-backup-<time>.zmg here)
  info FILE [--json]    decode an image or siren image file: messages ("Message 1"
                        is the window's top row), DIP mode, volumes, firmware marker,
                        end of audio and free space
  extract FILE --message N -o OUT.wav
                        unpack message N (1-7) into a 22010 samples/s 16-bit mono WAV
  prepare IN -o OUT.wav [--trim] [--silence DBFS] [--highpass HZ]
          [--loudness LUFS] [--peak DBTP]
                        make a message ready for a siren: read WAV, FLAC, Ogg Vorbis
                        or MP3; trim the silence at both ends (below -45 dBFS, or
                        --silence); high-pass for horns (e.g. 250 Hz); loudness to
                        LUFS (e.g. -16) under a true-peak ceiling (--peak, default
                        -1 dBTP; alone: the true peak to that level); write a 16-bit
                        mono WAV at 22010 samples/s. Prints before and after
  say "TEXT" -o OUT.wav [--voice NAME] [--speed WPM] [--pitch 0-100] [steps]
                        speak the text (espeak-ng) and prepare it as prepare does
  voices                list the voices say takes

Options:
@ADAPTERS@  --device SERIAL            use the adapter with this USB serial number; needed
                             when several are attached (see the adapters command)
  --device SERIAL (several times), --device all
                             program or write: the same image into every adapter
                             named (all: every one attached) at once, one result
                             each; the exit status is the worst
  --repeat                   program or write: siren after siren until Ctrl-C; waits
                             for a siren, programs and verifies it, prints PASS or
                             FAIL, waits until it is taken out; then a summary
  --log FILE                 program or write, the production way (also alone: one
                             siren, always verified): append one JSON line per siren
                             (time, adapter, signature, file, CRC-32 of the image,
                             erase mode, write mode, sectors erased, pages written,
                             pages already right, outcome, seconds, round trips,
                             failure)
  --simulator-file PATH      the simulated siren's flash content
                             (default: $ZORVEK_SIMULATOR_FILE, else
                             ~/.local/share/Zorvek/simulated-siren.bin)
  --simulator-size BYTES     its capacity: 256K, 512K, 1M, 2M or 4M (default 2M);
                             for image, the flash size the image must fit
  --erase MODE               how program and write erase: sectors (default: the
                             64 KiB sectors the image covers), chip (one bulk erase)
                             or auto (bulk erase where the chip's typical times
                             make it faster, e.g. 22 or more sectors of an M25P16)
  --write WHAT               how program and write change the siren: changed
                             (default: read it first, erase only sectors where a
                             bit must go from 0 to 1, program only differing pages,
                             read back only what changed) or all (erase every
                             sector the image covers and program every page)
  --spi-clock HZ             program, write, read, identify: the SPI clock asked
                             for, e.g. 30M (default 6M); the adapter allows at most
                             its own (FT2232D 6 MHz, FT2232H 30 MHz) and reads stay
                             within the identified chip's READ and FAST_READ limits
  --stats                    after the command, print the adapter's counters and,
                             after program or write, sectors erased, pages written
                             and pages already right
  -v, --verbose              also show the diagnostic messages
  -q, --quiet                no progress display and no result lines (production
                             runs still print PASS/FAIL and the summary)
  -h, --help                 show this help
  -V, --version              show the version
  $ZORVEK_SIMULATOR_FAULTS applies to the simulated siren as in the window;
  $ZORVEK_SIMULATOR_COUNT=N attaches N simulated sirens, SIM0001 to SIM000N.

Messages the window shows in a box go to standard error as "Caption: text".
Ctrl-C during a long operation acts as Cancel.

Exit status:
  0  success
  1  the operation failed
  2  usage error (also: firmware without --yes when standard input is no terminal,
     program of a job that updates the firmware without --yes)
  3  cancelled (Ctrl-C, or the question answered to stop)
  4  verification found a difference
  5  no adapter found, it cannot be opened, or several are attached
     and --device does not choose one
)";
}

}  // namespace

}  // namespace zorvek::cli
