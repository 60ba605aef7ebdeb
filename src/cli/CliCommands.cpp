#include "cli/CliCommands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>

#include "cli/AdaptersCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleUserPort.h"
#include "cli/PrepareCommands.h"
#include "cli/ProductionLoop.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "files/SirenImageFile.h"
#include "image/ImageInfo.h"
#include "job/Paths.h"
#include "job/SafeFiles.h"
#include "job/Settings.h"
#include "job/TextFormat.h"
#include "operations/FlashRoutines.h"
#include "operations/SelfTest.h"
#include "operations/UsbConnection.h"
#include "spi/AdapterRequest.h"
#include "spi/CountingAdapter.h"

namespace zorvek::cli {
namespace {

constexpr const char* kProgram = "zorvek-cli";

void Say(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, EscapeControlCharacters(text).c_str());
    std::fflush(stderr);
}

std::string Hex(uint64_t value) {
    return Format("0x%llX", static_cast<unsigned long long>(value));
}

class CliRun {
public:
    CliRun(const CliOptions& options, const char* programPath)
        : o_(options), port_(stderr, isatty(fileno(stderr)) != 0, options.quiet) {
        job_.programFolder = computeProgramFolder(programPath);
        job_.verbose = o_.verbose ? 1 : 0;
    }

    int Run();

private:
    // Adapter, from the options over the environment. 0, or an exit status.
    int ChooseAdapter();
    // The request the options and the environment make, before any choice among
    // the attached adapters. 0, or an exit status.
    int BuildRequest(AdapterRequest& request);
    std::optional<std::string> Device() const {
        return o_.devices.empty() ? std::nullopt : std::optional<std::string>(o_.devices.front());
    }
    std::optional<uint32_t> SimulatorSize(std::string& error) const;
    int Finish(OperationOutcome outcome, const char* done);
    void PrintStats() const;
    void NoAdapterAdvice() const;
    // The whole file, or false after saying why not.
    bool ReadInputFile(const std::string& path, std::vector<uint8_t>& data) const;

    // Production programming: --repeat, --log or several adapters.
    bool ForProduction() const;
    // `leftOut`: an attached adapter --device all could not use (said).
    int ProductionAdapters(std::vector<AdapterRequest>& adapters, bool& leftOut);
    int Production(std::vector<uint8_t> image);

    int Program();
    int Image();
    int Read();
    int Write();
    int Firmware();
    int Identify();
    int Adapters();
    int SelfTest();
    int Info();
    int Extract();
    int LoadJob(const std::string& path);

    const CliOptions& o_;
    ConsoleUserPort port_;
    JobState job_;
    AdapterEnvironment environment_ = ReadAdapterEnvironment();
    std::unique_ptr<SpiAdapter> adapter_;
    AdapterRequest request_;  // what adapter_ was made from
    std::unique_ptr<CountingAdapter> counting_;
    SpiLink link_;
};

std::optional<uint32_t> CliRun::SimulatorSize(std::string& error) const {
    if (o_.simulatorSize) {
        if (auto size = ParseSimulatorSize(*o_.simulatorSize)) return size;
        error = "--simulator-size must be " + CapacityNames(" or ") + ", not \"" + *o_.simulatorSize + "\"";
        return std::nullopt;
    }
    return environment_.simulatorSize.value_or(kDefaultFlashSize);
}

int CliRun::BuildRequest(AdapterRequest& request) {
    // The options over the environment over the defaults.
    request = DefaultAdapterRequest();
    ApplyEnvironment(environment_, request);
    if (o_.adapter) {
        request.kind = AdapterKind{FindAdapterDriver(*o_.adapter)};  // the options checked the name
    } else if (!environment_.unknownKind.empty()) {
        Say("ZORVEK_ADAPTER \"" + environment_.unknownKind + "\" is neither " + AdapterDriverNames(" nor "));
        return kExitUsage;
    } else if (!environment_.kind) {
        // Options only a driver with a flash of its own takes choose it.
        request.kind = AdapterKind{};
        for (const AdapterDriver* driver : AdapterDrivers())
            if (driver->keepsFlash && (o_.simulatorFile || o_.simulatorSize)) {
                request.kind = AdapterKind{driver};
                break;
            }
    }
    request.serial = Device();
    if (request.kind.Driver().keepsFlash) {
        std::string error;
        const auto size = SimulatorSize(error);
        if (!size) {
            Say(error);
            return kExitUsage;
        }
        request.simulator.size = *size;
        if (o_.simulatorFile) request.simulator.filePath = AbsolutePath(*o_.simulatorFile);
        for (const auto& w : environment_.warnings) Say("warning: " + w);
    }
    return kExitSuccess;
}

int CliRun::ChooseAdapter() {
    AdapterRequest request;
    if (int status = BuildRequest(request)) return status;
    if (!request.serial) {
        // With several adapters attached the person chooses: never the order of enumeration.
        std::vector<AdapterListing> attached;
        if (ListAdapters(request, attached)) {
            const AdapterPick pick = PickAdapter(attached, std::nullopt);
            if (pick.result == PickResult::NeedsChoice) {
                Say(pick.message + "\nChoose one with --device SERIAL (\"" + std::string(kProgram) +
                    " adapters\" lists them).");
                return kExitNoAdapter;
            }
            if (pick.result == PickResult::Chosen && !pick.chosen->serial.empty()) request.serial = pick.chosen->serial;
        }
    }
    request_ = request;
    AdapterChoice choice = MakeAdapter(request);
    if (!choice.loadError.empty()) {
        Say("simulated siren: " + choice.loadError);
        return kExitFailed;
    }
    adapter_ = std::move(choice.adapter);
    counting_ = std::make_unique<CountingAdapter>(*adapter_);
    link_.adapter = counting_.get();
    return kExitSuccess;
}

bool CliRun::ForProduction() const {
    return o_.repeat || o_.log || o_.devices.size() > 1 || (o_.devices.size() == 1 && o_.devices[0] == "all");
}

int CliRun::ProductionAdapters(std::vector<AdapterRequest>& adapters, bool& leftOut) {
    AdapterRequest base;
    if (int status = BuildRequest(base)) return status;
    const bool all = o_.devices.size() == 1 && o_.devices[0] == "all";
    if (!all) {
        // A serial number no adapter has finds no device, as an absent adapter.
        for (const auto& serial : o_.devices) {
            AdapterRequest request = base;
            request.serial = serial;
            adapters.push_back(request);
        }
        if (adapters.empty()) {
            if (const char* lone = base.kind.Driver().loneSerial) base.serial = lone;
            adapters.push_back(base);
        }
        return kExitSuccess;
    }
    // Every supported adapter attached, by its serial number, as "adapters" lists them.
    base.serial.reset();
    std::vector<AdapterListing> attached;
    if (const Result listed = ListAdapters(base, attached); !listed) Say(Describe(listed));
    for (const auto& listing : attached) {
        if (!listing.supported) continue;
        if (listing.serial.empty()) {
            // A programmer left out must not let the run pass as if every siren was done.
            Say(Format("the adapter at bus %03d device %03d is left out: ", listing.bus, listing.address) +
                (listing.whyNot.empty() ? "it has no serial number to tell it from the others" : listing.whyNot) +
                ".");
            leftOut = true;
            continue;
        }
        AdapterRequest request = base;
        request.serial = listing.serial;
        adapters.push_back(request);
    }
    if (adapters.empty()) {
        AdapterChoice probe = MakeAdapter(base);
        request_ = base;
        adapter_ = std::move(probe.adapter);
        return Finish(OperationOutcome::NoAdapter, nullptr);
    }
    return kExitSuccess;
}

int CliRun::Production(std::vector<uint8_t> image) {
    ProductionPlan plan;
    bool leftOut = false;
    if (int status = ProductionAdapters(plan.adapters, leftOut)) return status;
    plan.image = std::move(image);
    plan.sourceFile = AbsolutePath(o_.args[0]);
    plan.job = job_;
    plan.repeat = o_.repeat;
    if (o_.log) plan.logPath = AbsolutePath(*o_.log);
    plan.quiet = o_.quiet;
    return WorseExitStatus(RunProduction(plan), leftOut ? kExitNoAdapter : kExitSuccess);
}

void CliRun::NoAdapterAdvice() const {
    Say(request_.kind.Driver().noAdapterAdvice(Device(), adapter_ ? adapter_->Diagnostics() : AdapterDiagnostics{}));
}

void CliRun::PrintStats() const {
    if (!counting_) return;
    const AdapterCounters& c = counting_->Counters();
    std::fprintf(stderr, "Adapter calls: %lld\nRound trips: %lld\nWrite-only frames: %lld\n",
                 static_cast<long long>(c.calls), static_cast<long long>(c.roundTrips),
                 static_cast<long long>(c.writeFrames));
    std::fprintf(stderr, "Bytes to flash: %lld\nBytes from flash: %lld\n", static_cast<long long>(c.bytesOut),
                 static_cast<long long>(c.bytesIn));
    const AdapterDiagnostics d = counting_->Diagnostics();
    if (!d.model.empty()) std::fprintf(stderr, "Adapter model: %s\n", d.model.c_str());
    if (d.modelled && d.floor) {
        std::fprintf(stderr, "Modelled time: %.2f s (physical floor %.2f s: %s)\n",
                     static_cast<double>(d.modelled->count()) / 1e9, static_cast<double>(d.floor->count()) / 1e9,
                     d.floorBasis.c_str());
    }
    if (d.busReleased) std::fprintf(stderr, "Bus released at close: %s\n", *d.busReleased ? "yes" : "no");
    if (link_.clockHz > 0) std::fprintf(stderr, "SPI clock: %.2f MHz\n", link_.clockHz / 1e6);
    if (o_.command == "program" || o_.command == "write")
        std::fprintf(stderr, "Sectors erased: %d\nPages written: %d\nPages already right: %d\n",
                     job_.lastWrite.sectorsErased, job_.lastWrite.pagesWritten, job_.lastWrite.pagesAlreadyRight);
}

int CliRun::Finish(OperationOutcome outcome, const char* done) {
    // The simulated siren keeps its flash in a file: when that could not be saved,
    // what was written is lost, whatever the run reported before.
    const std::string saveError = adapter_ ? adapter_->Diagnostics().saveError : std::string();
    if (!saveError.empty() && outcome == OperationOutcome::Success) outcome = OperationOutcome::Failed;
    const int status = ExitStatusFor(outcome);
    switch (outcome) {
        case OperationOutcome::Success:
            if (!o_.quiet && done) Say(done);
            break;
        case OperationOutcome::Cancelled:
            Say("cancelled.");
            break;
        case OperationOutcome::VerifyFailed:
            Say("verification found a difference.");
            break;
        case OperationOutcome::NoAdapter:
            NoAdapterAdvice();
            break;
        case OperationOutcome::Failed:
            if (!saveError.empty()) Say(saveError);
            Say("failed.");
            break;
    }
    return status;
}

int CliRun::LoadJob(const std::string& path) {
    std::string error;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        Say("job file " + path + " does not exist");
        return kExitFailed;
    }
    if (!o_.lenient) {
        // The window shows what it loaded before Program; here nothing would, so a
        // damaged job is refused before anything is converted or erased.
        std::vector<uint8_t> text;
        if (!ReadWholeFile(path, text, &error, kMaxJobFileBytes)) {
            Say(error);
            return kExitFailed;
        }
        const std::string problem =
            ConfigTextProblem(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        if (!problem.empty()) {
            Say("job file " + path + " is damaged: " + problem +
                ". Nothing was converted or written (--lenient loads it as the window does).");
            return kExitFailed;
        }
    }
    if (!ReadConfigFile(AbsolutePath(path), job_, &error)) {
        Say(error);
        return kExitFailed;
    }
    job_.verbose = o_.verbose ? 1 : 0;
    return kExitSuccess;
}

int CliRun::Program() {
    if (int status = LoadJob(o_.args[0])) return status;
    // The window asks before a job switches the firmware update on; here --yes is that answer.
    if (job_.firmwareUpdate && !o_.yes) {
        Say("the job " + o_.args[0] + " turns the firmware update on: program would also replace the siren's " +
            "controller firmware with " + (job_.firmwarePath.empty() ? "(no file)" : job_.firmwarePath) +
            ". Nothing was done; add --yes to go ahead, or set line 23 of the job to 0.");
        return kExitUsage;
    }
    if (ForProduction()) {
        if (o_.erase) job_.eraseMode = *o_.erase;
        // Built once, before any adapter is used, against the largest flash; each
        // siren then takes it only if it fits.
        job_.flashLastAddress = LargestFlashChip().LastAddress();
        SirenOperations ops(job_, link_, port_);
        FlashImage image;
        const OperationOutcome built = ops.BuildImage(image);
        if (built != OperationOutcome::Success) return Finish(built, nullptr);
        job_.flashLastAddress = 0;
        return Production(std::vector<uint8_t>(image.data(), image.data() + image.size()));
    }
    if (int status = ChooseAdapter()) return status;
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.ProgramCommand({.verify = o_.verify, .erase = o_.erase}), "siren programmed.");
}

int CliRun::Image() {
    if (int status = LoadJob(o_.args[0])) return status;
    std::string error;
    const auto size = SimulatorSize(error);
    if (!size) {
        Say(error);
        return kExitUsage;
    }
    job_.flashLastAddress = *size - 1;
    SirenOperations ops(job_, link_, port_);
    FlashImage image;
    const OperationOutcome outcome = ops.BuildImage(image);
    if (outcome != OperationOutcome::Success) return Finish(outcome, nullptr);
    std::span<const char> content(reinterpret_cast<const char*>(image.data()), image.size());
    if (!ReplaceFileContent(*o_.output, content, &error)) {
        Say("could not write " + *o_.output + ": " + error);
        return kExitFailed;
    }
    if (!o_.quiet) Say("wrote " + std::to_string(image.size()) + " bytes to " + *o_.output + ".");
    return kExitSuccess;
}

int CliRun::Read() {
    if (int status = ChooseAdapter()) return status;
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.ReadSiren({.imagePath = AbsolutePath(o_.args[0])}), "siren read.");
}

int CliRun::Write() {
    if (ForProduction()) {
        if (o_.erase) job_.eraseMode = *o_.erase;
        std::vector<uint8_t> data;
        if (!ReadInputFile(AbsolutePath(o_.args[0]), data)) return kExitFailed;
        // As the Siren Writer: a short file is padded with erased bytes.
        data.resize(std::max<size_t>(data.size(), kDefaultFlashSize), kErasedByte);
        return Production(std::move(data));
    }
    if (int status = ChooseAdapter()) return status;
    SirenOperations ops(job_, link_, port_);
    return Finish(
        ops.WriteSiren({.imagePath = AbsolutePath(o_.args[0]), .verify = o_.verify.value_or(true), .erase = o_.erase}),
        "siren written.");
}

int CliRun::Firmware() {
    if (!o_.yes && isatty(STDIN_FILENO) == 0) {
        Say("updating the firmware asks first, and standard input is no terminal; add --yes to go ahead.");
        return kExitUsage;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(o_.args[0], ec)) {
        Say("firmware file " + o_.args[0] + " not found");
        return kExitFailed;
    }
    if (o_.restoreFrom && !std::filesystem::is_regular_file(*o_.restoreFrom, ec)) {
        Say("recovery file " + *o_.restoreFrom + " not found");
        return kExitFailed;
    }
    if (int status = ChooseAdapter()) return status;
    // The question ends in "Abort?". Without an answer (end of input) the safe
    // answer is to abort.
    port_.eofAnswer = true;
    SirenOperations ops(job_, link_, port_);
    FirmwareRequest request{.hexPath = AbsolutePath(o_.args[0]), .confirmed = o_.yes};
    if (o_.restoreFrom) request.restoreFrom = AbsolutePath(*o_.restoreFrom);
    return Finish(ops.UpdateFirmwareOnly(request), "firmware updated.");
}

int CliRun::Identify() {
    if (int status = ChooseAdapter()) return status;
    job_.abortFlag = 0;
    SetupUsb(job_, link_, port_);
    if (job_.abortFlag) return Finish(OperationOutcome::NoAdapter, nullptr);
    IdentifyChip(job_, link_, port_);
    const bool known = job_.abortFlag == 0;
    CloseUsb(job_, link_, port_);
    if (!known) return Finish(OperationOutcome::Failed, nullptr);
    const FlashIdentity& id = job_.flashIdentity;
    const uint64_t capacity = uint64_t{job_.flashLastAddress} + 1;
    const std::string signature = id.signature ? Format("0x%02X", *id.signature) : "none";
    if (o_.json) {
        const FlashRange range = id.Protected();
        std::printf("{\"maker\":%s,\"part\":%s,\"jedecId\":%s,\"capacity\":%llu,\"highestAddress\":%u,"
                    "\"signature\":%s,\"statusRegister\":%u,\"protected\":%s,\"source\":%s}\n",
                    JsonQuoted(id.chip.maker).c_str(), JsonQuoted(id.chip.name).c_str(),
                    JsonQuoted(JedecIdText(id.jedecId)).c_str(), static_cast<unsigned long long>(capacity),
                    job_.flashLastAddress, id.signature ? std::to_string(*id.signature).c_str() : "null",
                    id.status1,
                    range.Empty() ? "null" : Format("{\"from\":%u,\"to\":%u}", range.begin, range.end - 1).c_str(),
                    JsonQuoted(FactsSourceName(id.source)).c_str());
        return kExitSuccess;
    }
    std::printf("Signature: %s\nCapacity: %llu bytes (%llu KiB)\nHighest address: %s\n", signature.c_str(),
                static_cast<unsigned long long>(capacity), static_cast<unsigned long long>(capacity / 1024),
                Hex(job_.flashLastAddress).c_str());
    std::printf("Chip: %s %s\nJEDEC ID: %s\nProtected: %s\nFacts from: %s\n", id.chip.maker, id.chip.name,
                JedecIdText(id.jedecId).c_str(), ProtectionText(id).c_str(), FactsSourceName(id.source));
    return kExitSuccess;
}

int CliRun::Adapters() {
    AdapterRequest request;
    if (int status = BuildRequest(request)) return status;
    std::vector<AdapterListing> attached;
    if (const Result listed = ListAdapters(request, attached); !listed) {
        Say(Describe(listed));
        return kExitFailed;
    }
    // Serial numbers and descriptions come from the devices: text, never terminal commands.
    const std::string text = o_.json ? FormatAdapterJson(attached) : EscapeControlCharacters(FormatAdapterTable(attached));
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (attached.empty()) {
        if (!o_.json && !o_.quiet) Say(std::string("no ") + AdapterKindName(request.kind) + " attached.");
        return kExitNoAdapter;
    }
    return kExitSuccess;
}

int CliRun::SelfTest() {
    {
        AdapterRequest request;
        if (int status = BuildRequest(request)) return status;
        std::vector<AdapterListing> attached;
        const Result listed = ListAdapters(request, attached);
        const std::string list = listed ? FormatAdapterTable(attached) : Describe(listed) + "\n";
        std::printf("Adapters attached:\n%s\n", list.c_str());
    }
    if (int status = ChooseAdapter()) return status;
    std::string backup = o_.output ? AbsolutePath(*o_.output) : std::string();
    if (backup.empty()) {
        const std::time_t now = std::time(nullptr);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
        backup = AbsolutePath(std::string("selftest-backup-") + stamp + ".zmg");
    }
    if (!o_.quiet)
        Say("self-test on " + std::string(request_.kind.Driver().noun) + request_.serial.value_or("") +
            "; backup: " + backup);
    zorvek::SelfTest test(job_, link_, port_);
    const SelfTestReport report = test.Run(backup);
    std::string restore = std::string(kProgram) + " write --verify";
    restore += request_.kind.Driver().commandLineOptions(request_);
    if (request_.serial) restore += " --device " + *request_.serial;
    restore += " " + backup;
    const std::string text = FormatSelfTestReport(report, restore);
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (report.outcome != OperationOutcome::Success && report.steps.empty()) Say(report.problem);
    return ExitStatusFor(report.outcome);
}

bool CliRun::ReadInputFile(const std::string& path, std::vector<uint8_t>& data) const {
    std::string error;
    if (ReadWholeFile(path, data, &error)) return true;
    Say(error.empty() ? "cannot read " + path : error);
    return false;
}

int CliRun::Info() {
    std::vector<uint8_t> data;
    if (!ReadInputFile(o_.args[0], data)) return kExitFailed;
    std::string error;
    const auto size = SimulatorSize(error);
    if (!size) {
        Say(error);
        return kExitUsage;
    }
    ImageInfo info;
    if (!DecodeImageInfo(data, *size, info, &error)) {
        Say(o_.args[0] + ": " + error);
        return kExitFailed;
    }
    const std::string text =
        o_.json ? FormatImageInfoJson(info, o_.args[0]) : EscapeControlCharacters(FormatImageInfoText(info, o_.args[0]));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitSuccess;
}

int CliRun::Extract() {
    std::vector<uint8_t> data;
    if (!ReadInputFile(o_.args[0], data)) return kExitFailed;
    std::string error;
    std::vector<int16_t> samples;
    if (!ExtractMessage(data, *o_.message, samples, &error)) {
        Say(o_.args[0] + ": " + error);
        return kExitFailed;
    }
    if (!WriteMessageWave(*o_.output, samples, &error)) {
        Say(error);
        return kExitFailed;
    }
    if (!o_.quiet)
        Say("wrote Message " + std::to_string(*o_.message) + ", " + std::to_string(samples.size()) + " samples, to " +
            *o_.output + ".");
    return kExitSuccess;
}

int CliRun::Run() {
    int status = kExitFailed;
    static const std::map<std::string, int (CliRun::*)()> kCommands = {
        {"program", &CliRun::Program}, {"image", &CliRun::Image},       {"read", &CliRun::Read},
        {"write", &CliRun::Write},     {"firmware", &CliRun::Firmware}, {"identify", &CliRun::Identify},
        {"adapters", &CliRun::Adapters}, {"selftest", &CliRun::SelfTest}, {"info", &CliRun::Info},
        {"extract", &CliRun::Extract}};
    if (o_.writeChanged) job_.writeChanged = *o_.writeChanged;
    if (o_.spiClockHz) job_.spiClockHz = *o_.spiClockHz;
    if (auto command = kCommands.find(o_.command); command != kCommands.end()) status = (this->*command->second)();
    if (o_.stats) PrintStats();
    return status;
}

}  // namespace

int ExitStatusFor(OperationOutcome outcome) {
    // In the order of OperationOutcome.
    static constexpr int kStatuses[] = {kExitSuccess, kExitFailed, kExitCancelled, kExitVerify, kExitNoAdapter};
    return EnumLookup(outcome, kStatuses, static_cast<int>(kExitFailed));
}

int RunCli(const std::vector<std::string>& arguments, const char* programPath) {
    CliOptions options;
    const std::string problem = ParseCliArguments(arguments, options);
    if (!problem.empty()) {
        Say(problem);
        std::fprintf(stderr, "Try '%s --help'.\n", kProgram);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return kExitSuccess;
    }
    if (options.version) {
        std::printf("%s %s\n", kProgram, ZORVEK_VERSION);
        return kExitSuccess;
    }
    InstallInterruptHandler();
    if (IsPrepareCommand(options.command)) return RunPrepareCommand(options);
    CliRun run(options, programPath);
    return run.Run();
}

}  // namespace zorvek::cli
