#include "operations/RunSummary.h"

#include "job/ProgressEstimate.h"
#include "job/TextFormat.h"
#include "job/Translate.h"

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
            return verified ? ZT("Programmed and verified") : ZT("Programmed (not verified)");
        case RunKind::WriteImage:
            return verified ? ZT("Written and verified") : ZT("Written (not verified)");
        case RunKind::ReadImage:
            return ZT("Read and saved");
        case RunKind::UpdateFirmware:
            return ZT("Firmware updated");
    }
    return "Done";
}

// In the order of RunKind.
constexpr const char* kCancelledTexts[] = {
    ZT("Cancelled: the siren is NOT completely programmed"), ZT("Cancelled: the siren may NOT be completely written"),
    ZT("Cancelled: no image was read"), ZT("Cancelled: the firmware may NOT be completely updated")};

std::string Cancelled(RunKind kind) {
    return EnumLookup(kind, kCancelledTexts, "Cancelled");
}
}  // namespace

std::string DescribeWriteCounts(const WriteCounts& counts) {
    const auto plural = [](int32_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + Translated(n == 1 ? one : many);
    };
    return plural(counts.sectorsErased, ZT("sector erased"), ZT("sectors erased")) + ", " +
           plural(counts.pagesWritten, ZT("page written"), ZT("pages written")) + ", " +
           std::to_string(counts.pagesAlreadyRight) + " " + Translated(ZT("already right"));
}

namespace {
RunSummary SummariseOutcome(RunKind kind, OperationOutcome outcome, bool verified, int64_t seconds,
                            const std::string& reason) {
    RunSummary summary;
    switch (outcome) {
        case OperationOutcome::Success:
            summary.text = Format(ZT("%s, %lld s"), Translated(Done(kind, verified)).c_str(),
                                  static_cast<long long>(seconds < 0 ? 0 : seconds));
            return summary;
        case OperationOutcome::Cancelled:
            summary.tone = RunSummary::Tone::Warning;
            summary.text = Translated(Cancelled(kind));
            return summary;
        case OperationOutcome::VerifyFailed:
            summary.tone = RunSummary::Tone::Error;
            summary.text = Translated(ZT("Failed: the siren does not hold what was written"));
            return summary;
        case OperationOutcome::NoAdapter:
        case OperationOutcome::Failed:
            break;
    }
    summary.tone = RunSummary::Tone::Error;
    // The reason is what the person was told, already in the language.
    std::string why = ShortReason(TranslatedLines(reason));
    if (why.empty())
        why = outcome == OperationOutcome::NoAdapter ? ZT("the adapter could not be opened") : ZT("the run stopped");
    summary.text = Format(ZT("Failed: %s"), Translated(why).c_str());
    return summary;
}
}  // namespace

RunSummary SummariseRun(RunKind kind, OperationOutcome outcome, bool verified, int64_t seconds,
                        const std::string& reason, double bytesPerSecond, const WriteCounts* counts) {
    RunSummary summary = SummariseOutcome(kind, outcome, verified, seconds, reason);
    if (outcome != OperationOutcome::Success) return summary;
    // A speed over less than a second says more about the clock than the link.
    if (bytesPerSecond > 0 && seconds >= 1) summary.text += ", " + FormatKiBPerSecond(bytesPerSecond);
    if (counts && (kind == RunKind::Program || kind == RunKind::WriteImage))
        summary.text += ": " + DescribeWriteCounts(*counts);
    return summary;
}

}  // namespace zorvek
