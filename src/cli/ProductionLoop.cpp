#include "cli/ProductionLoop.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleUserPort.h"
#include "files/ProductionLog.h"
#include "job/SilentUserPort.h"
#include "job/TextFormat.h"
#include "operations/ProductionStation.h"
#include "spi/CountingAdapter.h"

namespace zorvek::cli {
namespace {

// Workers print whole lines, one at a time.
std::mutex g_console;

void PrintLine(std::FILE* to, const std::string& line) {
    std::lock_guard<std::mutex> lock(g_console);
    std::fprintf(to, "%s\n", EscapeControlCharacters(line).c_str());
    std::fflush(to);
}

// Progress as plain lines named by the adapter, so several workers can share a terminal.
class WorkerProgress : public ProgressPort {
public:
    WorkerProgress(std::string serial, bool quiet) : serial_(std::move(serial)), quiet_(quiet) {}
    bool BeginModal(const std::string&, bool) override { return true; }
    void SetRange(int lower, int upper, int) override {
        lower_ = lower;
        upper_ = std::max(upper, lower + 1);
        position_ = lower;
        shown_ = -1;
    }
    int SetPosition(int position) override {
        const int previous = position_;
        position_ = position;
        Render();
        return previous;
    }
    int Step() override { return SetPosition(position_ + 1); }
    void SetText(const std::string& text) override {
        text_ = text;
        shown_ = -1;
        Render();
    }
    void Hide() override {}
    void PumpMessages(bool) override {
        if (InterruptRequested()) cancelled_ = true;
    }
    bool IsCancelled() const override { return cancelled_; }
    void Destroy() override {}

private:
    void Render() {
        const int percent =
            static_cast<int>(std::clamp<int64_t>(int64_t{100} * (position_ - lower_) / (upper_ - lower_), 0, 100));
        if (quiet_ || text_.empty() || (shown_ >= 0 && percent < shown_ + 25 && percent != 100) || percent == shown_)
            return;
        shown_ = percent;
        PrintLine(stderr, serial_ + ": " + text_ + " " + std::to_string(percent) + "%");
    }

    std::string serial_;
    bool quiet_;
    std::string text_;
    int lower_ = 0, upper_ = 100, position_ = 0, shown_ = -1;
    bool cancelled_ = false;
};

// Boxes become lines named by the adapter; questions are answered No, dialogs cancelled.
class WorkerPort : public SilentUserPort {
public:
    WorkerPort(std::string serial, bool quiet) : serial_(std::move(serial)), quiet_(quiet) {}
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon) override {
        PrintLine(stderr, serial_ + ": " + FormatMessage(caption, text));
    }
    std::unique_ptr<ProgressPort> MakeProgress(const std::string&, bool) override {
        return std::make_unique<WorkerProgress>(serial_, quiet_);
    }

private:
    std::string serial_;
    bool quiet_;
};

struct WorkerResult {
    std::string serial;
    int sirens = 0, passed = 0;
    double seconds = 0;
    int exitStatus = kExitSuccess;
};

int Severity(int exitStatus) {
    switch (exitStatus) {
        case kExitSuccess:
            return 0;
        case kExitCancelled:
            return 1;
        case kExitVerify:
            return 2;
        case kExitFailed:
            return 3;
        default:
            return 4;
    }
}

void Worsen(int& status, int candidate) {
    status = WorseExitStatus(status, candidate);
}

const char* EraseName(EraseMode mode) {
    static constexpr const char* kNames[] = {"sectors", "chip", "auto"};  // in the order of EraseMode
    return EnumLookup(mode, kNames, "sectors");
}

const char* OutcomeName(OperationOutcome outcome) {
    if (outcome == OperationOutcome::Success) return "pass";
    return outcome == OperationOutcome::Cancelled ? "cancelled" : "fail";
}

std::string Summary(const std::string& who, const WorkerResult& r) {
    char text[160];
    std::snprintf(text, sizeof text, "%s: %d siren%s, %d passed, %d failed, mean %.1f s", who.c_str(), r.sirens,
                  r.sirens == 1 ? "" : "s", r.passed, r.sirens - r.passed, r.sirens ? r.seconds / r.sirens : 0.0);
    return text;
}

void RunWorker(const ProductionPlan& plan, const AdapterRequest& request, uint32_t imageCrc, WorkerResult& result) {
    const char* lone = request.kind.Driver().loneSerial;
    result.serial = request.serial.value_or(lone ? std::string(lone) : std::string("FTDI"));
    AdapterChoice choice = MakeAdapter(request);
    if (!choice.loadError.empty()) {
        PrintLine(stderr, result.serial + ": simulated siren: " + choice.loadError);
        result.exitStatus = kExitFailed;
        return;
    }
    CountingAdapter counting(*choice.adapter);
    JobState job = plan.job;
    SpiLink link;
    link.adapter = &counting;
    WorkerPort port(result.serial, plan.quiet);
    ProductionStation station(job, link, port);
    if (!station.Open()) {
        PrintLine(stdout, result.serial + ": no adapter");
        result.exitStatus = kExitNoAdapter;
        return;
    }
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    // Whether a wait for the socket ends the loop (Ctrl-C, or the adapter gone: said).
    auto waitEnds = [&](SocketWait wait) {
        if (wait == SocketWait::AdapterFailed) {
            PrintLine(stderr, result.serial + ": the adapter stopped answering.");
            Worsen(result.exitStatus, kExitNoAdapter);
        }
        return wait == SocketWait::Stopped || wait == SocketWait::AdapterFailed;
    };
    for (;;) {
        if (plan.repeat) {
            if (!plan.quiet && result.sirens == 0) PrintLine(stderr, result.serial + ": waiting for a siren...");
            if (waitEnds(station.WaitForSiren([] { return InterruptRequested(); }))) break;
        } else {
            // One siren, which must be there now: a single look.
            int looks = 0;
            const SocketWait arrived = station.WaitForSiren([&] { return looks++ > 0; });
            if (arrived != SocketWait::Done) {
                // A failed read says nothing about the siren: name what did not answer.
                PrintLine(stderr, result.serial + (arrived == SocketWait::AdapterFailed
                                                       ? std::string(": the adapter stopped answering.")
                                                       : ": no siren answers (signature " +
                                                             Format("0x%02X", job.flashIdValue) + ")."));
                Worsen(result.exitStatus, arrived == SocketWait::AdapterFailed ? kExitNoAdapter : kExitFailed);
                break;
            }
        }
        const int64_t tripsBefore = counting.Counters().roundTrips;
        const SirenReport report = station.Program(plan.image);
        ++result.sirens;
        result.seconds += report.seconds;
        if (report.Passed()) ++result.passed;
        Worsen(result.exitStatus, ExitStatusFor(report.outcome));
        char line[96];
        std::snprintf(line, sizeof line, ": siren %d %s in %.1f s (signature 0x%02X)", result.sirens,
                      report.Passed() ? "PASS" : "FAIL", report.seconds, report.signature);
        PrintLine(stdout,
                  (terminal ? "\a" : "") + result.serial + line + (report.Passed() ? "" : ": " + report.failure));
        if (plan.logPath) {
            ProductionLogEntry entry;
            entry.time = ProductionLogTime();
            entry.adapter = result.serial;
            entry.signature = report.signature;
            entry.file = plan.sourceFile;
            entry.imageCrc = imageCrc;
            entry.eraseMode = EraseName(job.eraseMode);
            entry.writeMode = job.writeChanged ? "changed" : "all";
            entry.sectorsErased = job.lastWrite.sectorsErased;
            entry.pagesWritten = job.lastWrite.pagesWritten;
            entry.pagesAlreadyRight = job.lastWrite.pagesAlreadyRight;
            entry.outcome = OutcomeName(report.outcome);
            entry.seconds = report.seconds;
            entry.roundTrips = counting.Counters().roundTrips - tripsBefore;
            entry.failure = report.failure;
            std::string error;
            if (!AppendProductionLogLine(*plan.logPath, FormatProductionLogLine(entry), &error)) {
                // A siren that cannot be logged must not be followed by more unlogged ones.
                PrintLine(stderr, result.serial + ": " + error + "; stopping.");
                Worsen(result.exitStatus, kExitFailed);
                break;
            }
        }
        if (!plan.repeat || InterruptRequested()) break;
        if (!plan.quiet) PrintLine(stderr, result.serial + ": take the siren out; waiting for the next one...");
        if (waitEnds(station.WaitForRemoval([] { return InterruptRequested(); }))) break;
    }
}

}  // namespace

int WorseExitStatus(int a, int b) {
    return Severity(b) > Severity(a) ? b : a;
}

int RunProduction(const ProductionPlan& plan) {
    const uint32_t crc = Crc32(plan.image.data(), plan.image.size());
    std::vector<WorkerResult> results(plan.adapters.size());
    if (plan.adapters.size() == 1) {
        RunWorker(plan, plan.adapters[0], crc, results[0]);
    } else {
        // One worker per adapter; each owns its adapter, job copy and link.
        std::vector<std::thread> workers;
        for (size_t i = 0; i < plan.adapters.size(); ++i)
            workers.emplace_back([&, i] { RunWorker(plan, plan.adapters[i], crc, results[i]); });
        for (auto& w : workers) w.join();
    }
    WorkerResult total;
    int status = kExitSuccess;
    for (const auto& r : results) {
        total.sirens += r.sirens;
        total.passed += r.passed;
        total.seconds += r.seconds;
        Worsen(status, r.exitStatus);
        if (results.size() > 1 && plan.repeat) PrintLine(stdout, Summary(r.serial, r));
    }
    if (plan.repeat || results.size() > 1) PrintLine(stdout, Summary("Total", total));
    return status;
}

}  // namespace zorvek::cli
