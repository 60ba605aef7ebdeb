#include "files/ConfigFile.h"

#include <charconv>
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "files/AtomicFile.h"
#include "job/Paths.h"
#include "job/SafeFiles.h"
#include "job/SlotTable.h"

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
    // Taken from the job's folder like the WAV paths, so the window and the
    // command line program the same firmware from the same job file.
    job.firmwarePath = ResolveAgainst(next(), baseFolder);
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
    std::vector<uint8_t> text;
    if (!ReadRegularFile(path, kMaxJobFileBytes, text, error)) return false;
    JobState loaded = job;
    ParseConfig(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), loaded,
                std::filesystem::path(AbsolutePath(path)).parent_path().string());
    job = std::move(loaded);
    return true;
}

std::string ConfigTextProblem(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    if (lines.size() != kConfigLineCount)
        return "it has " + std::to_string(lines.size()) + " lines; a job file has " + std::to_string(kConfigLineCount);
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t number = i + 1;
        // Lines 1, 4, ..., 19 and 22 are paths; every other line is a number.
        const bool pathLine = (number <= 3 * kSlotCount && i % 3 == 0) || number == 3 * kSlotCount + 1;
        if (pathLine) continue;
        std::string_view digits = lines[i];
        while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) digits.remove_prefix(1);
        while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) digits.remove_suffix(1);
        long long value = 0;
        const char* first = digits.data();
        if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') ++first;
        const auto [end, ec] = std::from_chars(first, digits.data() + digits.size(), value);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || value < INT32_MIN ||
            value > INT32_MAX)
            return "line " + std::to_string(number) + " is \"" + std::string(lines[i]) + "\", not a whole number";
    }
    return {};
}

std::string UnsavablePathProblem(const JobState& job) {
    const auto hasBreak = [](const std::string& path) { return path.find_first_of("\r\n") != std::string::npos; };
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (hasBreak(job.slot(slot).wavPath))
            return "The WAV file path of message " + std::to_string(slotInfo(slot).messageNumber) +
                   " contains a line break, which a job file cannot hold.";
    if (hasBreak(job.firmwarePath))
        return "The firmware file path contains a line break, which a job file cannot hold.";
    return {};
}

bool WriteConfigFile(const std::string& path, const JobState& job, std::string* error) {
    if (std::string problem = UnsavablePathProblem(job); !problem.empty()) {
        if (error) *error = problem;
        return false;
    }
    std::string text = FormatConfig(job);
    return ReplaceFileContent(path, text, error);
}

}  // namespace zorvek
