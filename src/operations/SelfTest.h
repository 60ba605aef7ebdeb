#pragma once
// A hardware check for the bench: identify, read the whole siren into a backup
// file, read it again to make sure the backup is sound, write the backup back
// with verify, read once more and compare. Every command the programmer uses is
// exercised, and the siren ends holding what it held before.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "job/JobState.h"
#include "job/UserPort.h"
#include "operations/SirenOperations.h"
#include "operations/SpiLink.h"

namespace zorvek {

struct SelfTestStep {
    std::string name;
    OperationOutcome outcome = OperationOutcome::Failed;
    std::chrono::nanoseconds time{0};  // on the adapter's clock (modelled for the simulated siren)
    int64_t roundTrips = 0;
    uint64_t bytes = 0;  // flash bytes moved
};

struct SelfTestReport {
    OperationOutcome outcome = OperationOutcome::Failed;
    std::vector<SelfTestStep> steps;
    uint32_t signature = 0;
    uint64_t capacity = 0;
    std::string backupPath;
    bool backupSaved = false;      // the backup file holds the siren as found
    bool written = false;          // the write-back began: the siren was erased at some point
    bool restoredByRetry = false;  // the write-back failed and a second one succeeded
    bool mayDiffer = false;        // the siren may no longer hold the backup's content
    std::string problem;           // what went wrong, for the report
    bool modelledTime = false;     // times come from the simulated siren's model, not a clock
};

class SelfTest {
public:
    SelfTest(JobState& job, SpiLink& link, UserPort& port) : job_(job), link_(link), port_(port) {}
    // `backupPath` must not exist yet: an earlier backup is never overwritten.
    SelfTestReport Run(const std::string& backupPath);

private:
    JobState& job_;
    SpiLink& link_;
    UserPort& port_;
};

// The report as text for a bug report. `restoreCommand` is how the person writes
// the backup back (shown when the siren may differ from what was found).
std::string FormatSelfTestReport(const SelfTestReport& report, const std::string& restoreCommand);

}  // namespace zorvek
