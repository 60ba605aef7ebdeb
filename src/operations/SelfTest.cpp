#include "operations/SelfTest.h"

#include <filesystem>

#include "files/SirenImageFile.h"
#include "job/SafeFiles.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "spi/CountingAdapter.h"
#include "operations/FlashRoutines.h"
#include "operations/UsbConnection.h"

namespace zorvek {
namespace {

// In the order of OperationOutcome.
constexpr const char* kOutcomeNames[] = {"ok", "FAILED", "CANCELLED", "VERIFY FAILED", "NO ADAPTER"};

const char* OutcomeName(OperationOutcome outcome) {
    return EnumLookup(outcome, kOutcomeNames, "FAILED");
}

bool SameFiles(const std::string& a, const std::string& b) {
    std::vector<uint8_t> first, second;
    std::string error;
    return ReadWholeFile(a, first, &error) && ReadWholeFile(b, second, &error) && first == second;
}

}  // namespace

SelfTestReport SelfTest::Run(const std::string& backupPath) {
    SelfTestReport report;
    report.backupPath = backupPath;
    std::error_code ec;
    if (std::filesystem::exists(backupPath, ec)) {
        report.problem = Format(ZT("The backup file %s exists already; choose a new name."), backupPath.c_str());
        return report;
    }
    if (!link_.adapter) {
        report.outcome = OperationOutcome::NoAdapter;
        report.problem = ZT("No adapter.");
        return report;
    }
    report.modelledTime = link_.adapter->Diagnostics().modelled.has_value();
    // The test opens and closes the adapter itself, on a link of its own.
    if (link_.handle != 0) CloseUsb(job_, link_, port_);
    // The write-back verifies whatever the job says; the job's own choice is kept.
    struct KeepVerify {
        JobState& job;
        int32_t verify;
        ~KeepVerify() { job.verify = verify; }
    } keepVerify{job_, job_.verify};
    // Counted on a link of its own, so the report holds this run's round trips only.
    CountingAdapter counting(*link_.adapter);
    SpiLink link = link_;
    link.adapter = &counting;
    link.handle = 0;
    SirenOperations ops(job_, link, port_);
    // The second reads go to a fresh folder of this run's own: never a name
    // beside the backup that could be someone's file (or a planted link).
    struct CheckFolder {
        std::string path;
        ~CheckFolder() {
            if (!path.empty()) RemovePrivateFolder(path);
        }
    } checkFolder{MakePrivateFolder(std::filesystem::path(backupPath).parent_path().string(), ".selftest-")};
    if (checkFolder.path.empty()) checkFolder.path = MakePrivateFolder(TemporaryFolder(), "zorvek-selftest-");
    if (checkFolder.path.empty()) {
        report.problem = "No private folder for the second read could be made; nothing was read or written.";
        return report;
    }
    const std::string checkPath = checkFolder.path + "check.zmg";

    auto step = [&](const char* name, uint64_t bytes, auto call) {
        const auto start = counting.Elapsed();
        const int64_t trips = counting.Counters().roundTrips;
        SelfTestStep s;
        s.name = name;
        s.bytes = bytes;
        s.outcome = call();
        s.time = counting.Elapsed() - start;
        s.roundTrips = counting.Counters().roundTrips - trips;
        report.steps.push_back(s);
        report.outcome = s.outcome;
        return s.outcome == OperationOutcome::Success;
    };
    auto readInto = [&](const std::string& path) { return ops.ReadSiren({.imagePath = path}); };
    auto compareWithBackup = [&](OperationOutcome read) {
        if (read != OperationOutcome::Success) return read;
        const bool same = SameFiles(backupPath, checkPath);
        std::filesystem::remove(checkPath, ec);
        return same ? OperationOutcome::Success : OperationOutcome::VerifyFailed;
    };

    const bool identified = step("identify", 0, [&] {
        job_.abortFlag = 0;
        SetupUsb(job_, link, port_);
        if (job_.abortFlag) return OperationOutcome::NoAdapter;
        IdentifyChip(job_, link, port_);
        const bool known = job_.abortFlag == 0;
        CloseUsb(job_, link, port_);
        return known ? OperationOutcome::Success : OperationOutcome::Failed;
    });
    if (!identified) {
        report.problem = ZT("The flash could not be identified; nothing was read or written.");
        return report;
    }
    report.signature = job_.flashIdValue;
    report.capacity = uint64_t{job_.flashLastAddress} + 1;

    if (!step("read into backup", report.capacity, [&] { return readInto(backupPath); })) {
        report.problem = ZT("Reading the siren failed; nothing was written.");
        return report;
    }
    report.backupSaved = true;
    // A backup that a second read does not confirm must never be written back.
    if (!step("read again, compare", report.capacity, [&] { return compareWithBackup(readInto(checkPath)); })) {
        report.problem = report.outcome == OperationOutcome::VerifyFailed
                             ? ZT("Two reads of the siren differ: the link is unreliable. Nothing was written.")
                             : ZT("Reading the siren again failed; nothing was written.");
        return report;
    }

    report.written = true;
    // Every sector erased and programmed: writing back only what differs would write nothing.
    auto writeBack = [&] { return ops.WriteSiren({.imagePath = backupPath, .verify = true, .writeChanged = false}); };
    bool good =
        step("write back with verify", report.capacity, writeBack) &&
        step("read, compare with backup", report.capacity, [&] { return compareWithBackup(readInto(checkPath)); });
    if (good) return report;

    const OperationOutcome failure = report.outcome;
    report.problem = Format(ZT("The round trip failed at \"%s\"."), report.steps.back().name.c_str());
    // Put the siren back as it was found, unless the person asked to stop.
    if (failure != OperationOutcome::Cancelled && step("restore from backup", report.capacity, writeBack)) {
        report.restoredByRetry = true;
        report.problem += "\n" + Translated(ZT("The siren was written again from the backup and verified."));
    } else {
        report.mayDiffer = true;
    }
    report.outcome = failure;
    return report;
}

std::string FormatSelfTestReport(const SelfTestReport& r, const std::string& restoreCommand) {
    // The table stays in English: it is made to be pasted into a bug report.
    std::string text = Translated(ZT("Self-test report")) + "\n";
    if (r.capacity)
        text += Format("Flash: signature 0x%02X, %llu bytes (%llu KiB)\n", r.signature,
                       static_cast<unsigned long long>(r.capacity), static_cast<unsigned long long>(r.capacity / 1024));
    text += Format("%-28s %-14s %10s %12s %10s\n", "Step", "Result", r.modelledTime ? "Modelled s" : "Time (s)",
                   "Round trips", "KiB/s");
    for (const SelfTestStep& s : r.steps) {
        const double seconds = static_cast<double>(s.time.count()) / 1e9;
        std::string speed = "-";
        if (s.bytes && seconds > 0 && s.outcome == OperationOutcome::Success)
            speed = Format("%.1f", static_cast<double>(s.bytes) / 1024.0 / seconds);
        text += Format("%-28s %-14s %10.3f %12lld %10s\n", s.name.c_str(), OutcomeName(s.outcome), seconds,
                       static_cast<long long>(s.roundTrips), speed.c_str());
    }
    if (r.modelledTime) text += Translated(ZT("Times and speeds are modelled by the simulated siren, not measured.")) + "\n";
    text += Format(ZT("Result: %s"), r.outcome == OperationOutcome::Success ? "PASSED" : "FAILED") + "\n";
    if (!r.problem.empty()) text += TranslatedLines(r.problem) + "\n";
    if (r.backupSaved) text += Format(ZT("Backup of the siren as found: %s"), r.backupPath.c_str()) + "\n";
    if (r.mayDiffer)
        text += Translated(ZT("The siren may no longer hold what it held before. Restore it from the backup with:")) +
                "\n  " + restoreCommand + "\n";
    return text;
}

}  // namespace zorvek
