#pragma once
// One line that says how a siren command ended, for a status bar or a log:
// a verified siren, a cancelled half-written one and a failed run must never
// look alike.
#include <cstdint>
#include <string>

#include "operations/SirenOperations.h"

namespace zorvek {

// The commands a summary is made for.
enum class RunKind { Program, WriteImage, ReadImage, UpdateFirmware };

struct RunSummary {
    enum class Tone { Success, Warning, Error };
    Tone tone = Tone::Success;
    std::string text;
};

// `verified` is whether Verify was on for the run; `reason` what the person was
// told first (its first line is used); `seconds` the run's length. A finished run
// of a second or more adds its speed when known (`bytesPerSecond` > 0); `counts`,
// when given, is what a successful program or write did to the flash.
RunSummary SummariseRun(RunKind kind, OperationOutcome outcome, bool verified, int64_t seconds,
                        const std::string& reason, double bytesPerSecond = 0, const WriteCounts* counts = nullptr);
// "3 sectors erased, 700 pages written, 7492 already right".
std::string DescribeWriteCounts(const WriteCounts& counts);

}  // namespace zorvek
