#include "job/RecentJobs.h"

#include <algorithm>
#include <filesystem>

namespace zorvek {
namespace {

std::string Key(size_t index) {
    return "File" + std::to_string(index + 1);
}

void Write(SettingsStore& store, const std::vector<std::string>& paths) {
    // Every key is written, so a shorter list leaves no stale entry behind.
    for (size_t i = 0; i < kRecentJobsKept; ++i) store.WriteText(kRecentJobsSection, Key(i), i < paths.size() ? paths[i] : "");
}

}  // namespace

std::vector<std::string> ReadRecentJobs(SettingsStore& store) {
    std::vector<std::string> paths;
    for (size_t i = 0; i < kRecentJobsKept; ++i) {
        std::string path = store.ReadText(kRecentJobsSection, Key(i), "");
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(std::move(path));
    }
    return paths;
}

void RememberRecentJob(SettingsStore& store, const std::string& path) {
    if (path.empty()) return;
    std::vector<std::string> paths = ReadRecentJobs(store);
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    if (paths.size() > kRecentJobsKept) paths.resize(kRecentJobsKept);
    Write(store, paths);
}

void ForgetRecentJob(SettingsStore& store, const std::string& path) {
    std::vector<std::string> paths = ReadRecentJobs(store);
    std::error_code ec;
    std::erase_if(paths, [&](const std::string& p) {
        return path.empty() ? !std::filesystem::exists(p, ec) : p == path;
    });
    Write(store, paths);
}

void ClearRecentJobs(SettingsStore& store) {
    Write(store, {});
}

}  // namespace zorvek
