#include "files/ConfigFile.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/AtomicFile.h"
#include "job/Paths.h"

namespace zorvek {

namespace {

// Volume lines follow the window's rows: slot 7 (the top row) first.
constexpr int kVolumeLineSlots[kSlotCount] = {7, 1, 2, 3, 4, 5, 6};

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int32_t ConfigNumber(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && isCSpace(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1) value = static_cast<long long>(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

std::string FormatConfig(const JobState& job) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const MessageSlot& s = job.slot(slot);
        line(s.wavPath);
        line(std::to_string(s.toneIndex));
        line(std::to_string(s.beaconIndex));
    }
    line(job.firmwarePath);
    line(std::to_string(job.firmwareUpdate));
    line(std::to_string(job.verify));
    line(std::to_string(job.dip32Tone));
    for (int slot : kVolumeLineSlots) line(std::to_string(job.slot(slot).volumeIndex));
    return out;
}

void ParseConfig(std::istream& in, JobState& job, const std::string& baseFolder) {
    std::string lines[kConfigLineCount];
    for (auto& text : lines) {
        if (!std::getline(in, text)) {
            text.clear();
            break;
        }
        if (!text.empty() && text.back() == '\r' && !in.eof()) text.pop_back();
    }
    int n = 0;
    auto next = [&]() -> const std::string& { return lines[n++]; };
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        MessageSlot& s = job.slot(slot);
        s.wavPath = ResolveAgainst(next(), baseFolder);
        s.toneIndex = ConfigNumber(next());
        s.beaconIndex = ConfigNumber(next());
    }
    job.firmwarePath = next();
    job.firmwareUpdate = ConfigNumber(next());
    job.verify = ConfigNumber(next());
    job.dip32Tone = ConfigNumber(next());
    for (int slot : kVolumeLineSlots) job.slot(slot).volumeIndex = ConfigNumber(next());
}

void ParseConfig(std::string_view text, JobState& job, const std::string& baseFolder) {
    std::istringstream in{std::string(text)};
    ParseConfig(in, job, baseFolder);
}

bool ReadConfigFile(const std::string& path, JobState& job, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = path + " is a folder";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        if (error) *error = "Cannot open " + path;
        return false;
    }
    JobState loaded = job;
    ParseConfig(in, loaded, std::filesystem::path(AbsolutePath(path)).parent_path().string());
    if (in.bad()) {
        if (error) *error = "Cannot read " + path;
        return false;
    }
    job = std::move(loaded);
    return true;
}

bool WriteConfigFile(const std::string& path, const JobState& job, std::string* error) {
    std::string text = FormatConfig(job);
    return ReplaceFileContent(path, text, error);
}

}  // namespace zorvek
