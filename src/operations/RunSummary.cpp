#include "operations/RunSummary.h"

#include "job/TextFormat.h"

namespace zorvek {

namespace {
// A status line has room for one short sentence.
constexpr size_t kReasonLength = 80;

std::string ShortReason(const std::string& reason) {
    std::string line = reason.substr(0, reason.find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.size() > kReasonLength) {
        size_t cut = kReasonLength;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
        line = line.substr(0, cut) + "...";
    }
    return line;
}

std::string Done(RunKind kind, bool verified) {
    switch (kind) {
        case RunKind::Program:
            return verified ? "Programmed and verified" : "Programmed (not verified)";
        case RunKind::WriteImage:
            return verified ? "Written and verified" : "Written (not verified)";
        case RunKind::ReadImage:
            return "Read and saved";
        case RunKind::UpdateFirmware:
            return "Firmware updated";
    }
    return "Done";
}

// In the order of RunKind.
constexpr const char* kCancelledTexts[] = {
    "Cancelled: the siren is NOT completely programmed", "Cancelled: the siren may NOT be completely written",
    "Cancelled: no image was read", "Cancelled: the firmware may NOT be completely updated"};

std::string Cancelled(RunKind kind) {
    return EnumLookup(kind, kCancelledTexts, "Cancelled");
}
}  // namespace

std::string DescribeWriteCounts(const WriteCounts& counts) {
    const auto plural = [](int32_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return plural(counts.sectorsErased, "sector erased", "sectors erased") + ", " +
           plural(counts.pagesWritten, "page written", "pages written") + ", " +
           std::to_string(counts.pagesAlreadyRight) + " already right";
}

RunSummary SummariseRun(RunKind kind, OperationOutcome outcome, bool verified, int64_t seconds,
                        const std::string& reason, const WriteCounts* counts) {
    RunSummary summary;
    switch (outcome) {
        case OperationOutcome::Success:
            summary.text = Done(kind, verified) + ", " + std::to_string(seconds < 0 ? 0 : seconds) + " s";
            if (counts && (kind == RunKind::Program || kind == RunKind::WriteImage))
                summary.text += ": " + DescribeWriteCounts(*counts);
            return summary;
        case OperationOutcome::Cancelled:
            summary.tone = RunSummary::Tone::Warning;
            summary.text = Cancelled(kind);
            return summary;
        case OperationOutcome::VerifyFailed:
            summary.tone = RunSummary::Tone::Error;
            summary.text = "Failed: the siren does not hold what was written";
            return summary;
        case OperationOutcome::NoAdapter:
        case OperationOutcome::Failed:
            break;
    }
    summary.tone = RunSummary::Tone::Error;
    std::string why = ShortReason(reason);
    if (why.empty())
        why = outcome == OperationOutcome::NoAdapter ? "the adapter could not be opened" : "the run stopped";
    summary.text = "Failed: " + why;
    return summary;
}

}  // namespace zorvek
