#pragma once
// The job configuration file (.zfg): 32 lines of 8-bit text, each ended by "\r\n".
#include <istream>
#include <string>
#include <string_view>

#include "job/JobState.h"

namespace zorvek {

inline constexpr int kConfigLineCount = 32;

// The 32 lines of the file for this job.
std::string FormatConfig(const JobState& job);

// Reads up to 32 lines into the job's configuration fields; missing lines read
// as empty (empty paths, 0 values). A line ends at "\n" with one "\r" before it
// dropped. Non-empty relative WAV and firmware paths are taken relative to
// `baseFolder` when it is not empty. Values are taken without range checks.
void ParseConfig(std::istream& in, JobState& job, const std::string& baseFolder = {});
void ParseConfig(std::string_view text, JobState& job, const std::string& baseFolder = {});

// Number lines are read like the C library's decimal conversion: leading white
// space, an optional sign, then digits up to the first other character; no
// digits gives 0. Values beyond the 32-bit range are clamped.
int32_t ConfigNumber(std::string_view line);

// Whether `text` is a whole job file: 32 lines whose number lines are whole
// numbers. Empty when it is; otherwise what is wrong, naming the line.
std::string ConfigTextProblem(std::string_view text);

// Empty when every path of the job can be saved; otherwise which one cannot
// (a line break would shift every later line of the file).
std::string UnsavablePathProblem(const JobState& job);

// Whole-file helpers for the commands and the command-line tool.
// True on success, false with `error` set (also for anything but a regular
// file of at most kMaxJobFileBytes).
bool ReadConfigFile(const std::string& path, JobState& job, std::string* error = nullptr);
// Writes a temporary file beside `path` and renames it into place, so a failed
// save never leaves a half-written file where a good one was. A job whose paths
// hold a line break is refused and the file left as it was.
bool WriteConfigFile(const std::string& path, const JobState& job, std::string* error = nullptr);

}  // namespace zorvek
