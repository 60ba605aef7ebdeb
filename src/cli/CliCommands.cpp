#include "cli/CliCommands.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/CliOptions.h"
#include "cli/ConsoleUserPort.h"
#include "files/AtomicFile.h"
#include "files/ConfigFile.h"
#include "files/SirenImageFile.h"
#include "image/ImageInfo.h"
#include "job/Settings.h"
#include "spi/CountingAdapter.h"
#include "spi/FtdiAdapter.h"
#include "spi/SimulatedSiren.h"

namespace zorvek::cli {
namespace {

constexpr const char* kProgram = "zorvek-cli";
constexpr uint32_t kDefaultFlashSize = 2u << 20;
constexpr const char* kSimulatedSerial = "SIM0001";

void Say(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
    std::fflush(stderr);
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string Hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
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
    std::optional<uint32_t> SimulatorSize(std::string& error) const;
    int Finish(OperationOutcome outcome, const char* done);
    void PrintStats() const;
    void NoAdapterAdvice() const;

    int Program();
    int Image();
    int Read();
    int Write();
    int Firmware();
    int Identify();
    int Info();
    int Extract();
    int LoadJob(const std::string& path);

    const CliOptions& o_;
    ConsoleUserPort port_;
    JobState job_;
    std::unique_ptr<SpiAdapter> adapter_;
    SimulatedSiren* siren_ = nullptr;
    FtdiAdapter* ftdi_ = nullptr;
    std::unique_ptr<CountingAdapter> counting_;
    SpiLink link_;
};

std::optional<uint32_t> CliRun::SimulatorSize(std::string& error) const {
    if (o_.simulatorSize) {
        if (auto size = ParseSimulatorSize(*o_.simulatorSize)) return size;
        error = "--simulator-size must be 256K, 512K, 1M, 2M or 4M, not \"" + *o_.simulatorSize + "\"";
        return std::nullopt;
    }
    if (const char* env = std::getenv("ZORVEK_SIMULATOR_SIZE"); env && *env)
        if (auto size = ParseSimulatorSize(env)) return size;
    return kDefaultFlashSize;
}

int CliRun::ChooseAdapter() {
    bool simulated = false;
    if (o_.adapter) {
        simulated = *o_.adapter == "simulator";
    } else if (const char* env = std::getenv("ZORVEK_ADAPTER"); env && *env) {
        const std::string value(env);
        if (value != "simulator" && value != "ftdi") {
            Say("ZORVEK_ADAPTER \"" + value + "\" is neither \"ftdi\" nor \"simulator\"");
            return kExitUsage;
        }
        simulated = value == "simulator";
    } else {
        simulated = o_.simulatorFile.has_value() || o_.simulatorSize.has_value();
    }
    if (simulated) {
        std::vector<std::string> warnings;
        SimulatorOptions options = SimulatorOptionsFromEnvironment(warnings);
        std::string error;
        const auto size = SimulatorSize(error);
        if (!size) {
            Say(error);
            return kExitUsage;
        }
        options.size = *size;
        if (o_.simulatorFile) options.filePath = Absolute(*o_.simulatorFile);
        // The simulated siren has one serial number; asking for another finds nothing.
        if (o_.device && *o_.device != kSimulatedSerial) options.faults.noDevice = true;
        for (const auto& w : warnings) Say("warning: " + w);
        auto siren = std::make_unique<SimulatedSiren>(options);
        if (!siren->LoadError().empty()) {
            Say("simulated siren: " + siren->LoadError());
            return kExitFailed;
        }
        siren_ = siren.get();
        adapter_ = std::move(siren);
    } else {
        auto ftdi = std::make_unique<FtdiAdapter>(MakeLibFtdiTransport());
        if (o_.device) ftdi->SetSerialFilter(*o_.device);
        ftdi_ = ftdi.get();
        adapter_ = std::move(ftdi);
    }
    counting_ = std::make_unique<CountingAdapter>(*adapter_);
    link_.adapter = counting_.get();
    return kExitSuccess;
}

void CliRun::NoAdapterAdvice() const {
    if (siren_) {
        Say("the simulated siren could not be reached (see ZORVEK_SIMULATOR_FAULTS and --device).");
        return;
    }
    std::string text = "no usable siren programmer. Check that the USB adapter is plugged in.";
    if (ftdi_ && o_.device) {
        text += "\nNo adapter has the serial number \"" + *o_.device + "\"";
        const auto& seen = ftdi_->SeenSerials();
        if (seen.empty()) {
            text += ".";
        } else {
            text += "; found:";
            for (const auto& s : seen) text += " \"" + s + "\"";
        }
    }
    text += std::string("\nIf it is plugged in, this user may not open it: install the udev rule ") + kUdevRulePath +
            " (the package does) and plug the adapter in again. That rule serves the user at the machine's own "
            "seat; for a login over the network or a service, add a rule with GROUP=\"plugdev\", MODE=\"0660\" "
            "and put the user in that group.";
    Say(text);
}

void CliRun::PrintStats() const {
    if (!counting_) return;
    const AdapterCounters& c = counting_->Counters();
    std::fprintf(stderr, "Adapter calls: %lld\nRound trips: %lld\nWrite-only frames: %lld\n",
                 static_cast<long long>(c.calls), static_cast<long long>(c.roundTrips),
                 static_cast<long long>(c.writeFrames));
    std::fprintf(stderr, "Bytes to flash: %lld\nBytes from flash: %lld\n", static_cast<long long>(c.bytesOut),
                 static_cast<long long>(c.bytesIn));
    if (siren_) {
        const double modelled = static_cast<double>(siren_->ModelledTime().count()) / 1e9;
        const double floor =
            static_cast<double>((siren_->Flash().busyTime + siren_->Counters().spiBitTime).count()) / 1e9;
        std::fprintf(stderr, "Modelled time: %.2f s (physical floor %.2f s: flash busy plus SPI bits at 6 MHz)\n",
                     modelled, floor);
    }
}

int CliRun::Finish(OperationOutcome outcome, const char* done) {
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
    if (!ReadConfigFile(Absolute(path), job_, &error)) {
        Say(error);
        return kExitFailed;
    }
    job_.verbose = o_.verbose ? 1 : 0;
    // A relative firmware path in a hand-written job is meant from the job's
    // folder, as its WAV paths are.
    const std::string& hex = job_.firmwarePath;
    const bool foreignAbsolute = !hex.empty() && (hex[0] == '\\' || (hex.size() > 1 && hex[1] == ':'));
    if (!hex.empty() && !foreignAbsolute && std::filesystem::path(hex).is_relative())
        job_.firmwarePath =
            (std::filesystem::path(Absolute(path)).parent_path() / job_.firmwarePath).lexically_normal().string();
    return kExitSuccess;
}

int CliRun::Program() {
    if (int status = LoadJob(o_.args[0])) return status;
    if (o_.verify) job_.verify = *o_.verify ? 1 : 0;
    if (int status = ChooseAdapter()) return status;
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.ProgramCommand(), "siren programmed.");
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
    port_.fileAnswers.push_back(Absolute(o_.args[0]));
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.ReadSiren(), "siren read.");
}

int CliRun::Write() {
    if (int status = ChooseAdapter()) return status;
    job_.verify = o_.verify.value_or(false) ? 1 : 0;
    port_.fileAnswers.push_back(Absolute(o_.args[0]));
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.WriteSiren(), "siren written.");
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
    if (int status = ChooseAdapter()) return status;
    // The question ends in "Abort?": going ahead is answering No. Without an
    // answer (end of input) the safe answer is to abort.
    if (o_.yes) port_.answerPolicy = [](const std::string&) { return std::optional<bool>(false); };
    port_.eofAnswer = true;
    port_.fileAnswers.push_back(Absolute(o_.args[0]));
    SirenOperations ops(job_, link_, port_);
    return Finish(ops.UpdateFirmwareOnly(), "firmware updated.");
}

int CliRun::Identify() {
    if (int status = ChooseAdapter()) return status;
    job_.abortFlag = 0;
    SetupUsb(job_, link_, port_);
    if (job_.abortFlag) return Finish(OperationOutcome::NoAdapter, nullptr);
    IdentifyFlash(job_, link_, port_);
    const bool known = job_.abortFlag == 0;
    CloseUsb(job_, link_, port_);
    if (!known) return Finish(OperationOutcome::Failed, nullptr);
    const uint64_t capacity = uint64_t{job_.flashLastAddress} + 1;
    std::printf("Signature: 0x%02X\nCapacity: %llu bytes (%llu KiB)\nHighest address: %s\n", job_.flashIdValue,
                static_cast<unsigned long long>(capacity), static_cast<unsigned long long>(capacity / 1024),
                Hex(job_.flashLastAddress).c_str());
    return kExitSuccess;
}

int CliRun::Info() {
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(o_.args[0], data, &error)) {
        Say(error.empty() ? "cannot read " + o_.args[0] : error);
        return kExitFailed;
    }
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
    const std::string text = o_.json ? FormatImageInfoJson(info, o_.args[0]) : FormatImageInfoText(info, o_.args[0]);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitSuccess;
}

int CliRun::Extract() {
    std::vector<uint8_t> data;
    std::string error;
    if (!ReadWholeFile(o_.args[0], data, &error)) {
        Say(error.empty() ? "cannot read " + o_.args[0] : error);
        return kExitFailed;
    }
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
    const std::string& c = o_.command;
    if (c == "program")
        status = Program();
    else if (c == "image")
        status = Image();
    else if (c == "read")
        status = Read();
    else if (c == "write")
        status = Write();
    else if (c == "firmware")
        status = Firmware();
    else if (c == "identify")
        status = Identify();
    else if (c == "info")
        status = Info();
    else if (c == "extract")
        status = Extract();
    if (o_.stats) PrintStats();
    return status;
}

}  // namespace

int ExitStatusFor(OperationOutcome outcome) {
    switch (outcome) {
        case OperationOutcome::Success:
            return kExitSuccess;
        case OperationOutcome::Failed:
            return kExitFailed;
        case OperationOutcome::Cancelled:
            return kExitCancelled;
        case OperationOutcome::VerifyFailed:
            return kExitVerify;
        case OperationOutcome::NoAdapter:
            return kExitNoAdapter;
    }
    return kExitFailed;
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
    CliRun run(options, programPath);
    return run.Run();
}

}  // namespace zorvek::cli
