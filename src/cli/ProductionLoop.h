#pragma once
// Production programming from the command line: the same image into one or
// several adapters at once, once or siren after siren (--repeat), with PASS or
// FAIL per siren, an optional JSON log and a summary.
#include <optional>
#include <string>
#include <vector>

#include "job/JobState.h"
#include "spi/AdapterRequest.h"

namespace zorvek::cli {

struct ProductionPlan {
    std::vector<AdapterRequest> adapters;  // one worker each
    std::vector<uint8_t> image;            // built once, before any worker starts
    std::string sourceFile;                // the job or image file, for the log
    JobState job;                          // copied per worker: erase mode, verbose
    bool repeat = false;
    std::optional<std::string> logPath;
    bool quiet = false;
};

// Runs every worker to its end; the exit status is the worst of their results.
int RunProduction(const ProductionPlan& plan);

// The worse of two exit statuses: a cancel is milder than a difference, a
// difference than a failure, a failure than no adapter.
int WorseExitStatus(int a, int b);

}  // namespace zorvek::cli
