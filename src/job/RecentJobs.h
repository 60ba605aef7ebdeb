#pragma once
// The configuration files loaded or saved last, newest first, kept in the
// settings for File > Recent Jobs.
#include <string>
#include <vector>

#include "job/SettingsStore.h"

namespace zorvek {

inline constexpr const char* kRecentJobsSection = "Recent Jobs";
inline constexpr size_t kRecentJobsKept = 8;

std::vector<std::string> ReadRecentJobs(SettingsStore& store);
// Puts `path` first (once), keeping at most kRecentJobsKept.
void RememberRecentJob(SettingsStore& store, const std::string& path);
// Takes `path` off the list; with an empty path, every file that no longer exists.
void ForgetRecentJob(SettingsStore& store, const std::string& path);
void ClearRecentJobs(SettingsStore& store);

}  // namespace zorvek
