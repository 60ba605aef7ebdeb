#include "cli/PrepareCommands.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "audio/HighPass.h"
#include "audio/LoudnessNormalise.h"
#include "audio/MessagePreparation.h"
#include "audio/PreparedOutput.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleUserPort.h"
#include "job/TextFormat.h"

namespace zorvek::cli {
namespace {

constexpr const char* kProgram = "zorvek-cli";

void Say(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
    std::fflush(stderr);
}

// The option's value as a number; nullopt when absent; a usage error in `problem`.
std::optional<double> Number(const CliOptions& o, const char* name, std::string& problem) {
    const auto it = o.audio.find(name);
    if (it == o.audio.end()) return std::nullopt;
    const std::string& text = it->second;
    double value = 0;
    const char* begin = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
    auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        problem = std::string(name) + " needs a number, not \"" + text + "\"";
    return value;
}

bool ReadSettings(const CliOptions& o, PrepareSettings& s, std::string& problem) {
    s.trim = o.audio.count("--trim") || o.audio.count("--silence");
    if (auto v = Number(o, "--silence", problem)) s.trimThresholdDbfs = *v;
    s.highPassHz = Number(o, "--highpass", problem);
    s.loudnessLufs = Number(o, "--loudness", problem);
    s.peakDbtp = Number(o, "--peak", problem);
    if (!problem.empty()) return false;
    const PrepareStatus check = CheckPrepareSettings(s);
    problem = check.ok() ? "" : check.detail;
    return check.ok();
}

void PrintReport(const std::string& what, const PreparedMessage& m, const std::string& output) {
    std::printf("Source:  %s (%s)\nBefore:  %s\n", what.c_str(), m.source.c_str(), DescribeStats(m.before).c_str());
    for (const std::string& step : m.steps) std::printf("         %s\n", step.c_str());
    std::printf("After:   %s\n", DescribeStats(m.after).c_str());
    const double saved = m.before.seconds - m.after.seconds;
    std::printf("Wrote:   %s (16-bit mono, %u samples/s%s)\n", output.c_str(), 22010u,
                saved >= 0.005 ? Format(", %.2f s shorter", saved).c_str() : "");
    std::fflush(stdout);
}

int Finish(const PrepareStatus& status, const std::string& what, const PreparedMessage& m, const CliOptions& o,
           const std::string& source) {
    if (status.fault == PrepareFault::Cancelled) {
        Say("cancelled; nothing written");
        return kExitCancelled;
    }
    if (!status.ok()) {
        Say(DescribePrepareStatus(status));
        return status.fault == PrepareFault::BadSetting ? kExitUsage : kExitFailed;
    }
    if (const PrepareStatus saved = SavePreparedMessage(*o.output, source, m.samples); !saved.ok()) {
        Say(DescribePrepareStatus(saved));
        return kExitFailed;
    }
    if (!o.quiet) PrintReport(what, m, *o.output);
    return kExitSuccess;
}

bool KeepGoing(const char*) { return !InterruptRequested(); }

int Voices() {
    std::string error;
    const std::vector<VoiceInfo> voices = ListVoices(&error);
    if (voices.empty()) {
        Say(error.empty() ? "no voices are installed (the espeak-ng-data package holds them)" : error);
        return kExitFailed;
    }
    std::printf("%-22s %-22s %s\n", "LANGUAGE", "VOICE", "NAME");
    for (const VoiceInfo& v : voices)
        std::printf("%-22s %-22s %s\n", v.language.c_str(), v.identifier.c_str(), v.name.c_str());
    return kExitSuccess;
}

int Speak(const CliOptions& o, const PrepareSettings& settings) {
    std::string problem;
    SpeechRequest speech;
    speech.text = o.args[0];
    if (auto it = o.audio.find("--voice"); it != o.audio.end()) speech.voice = it->second;
    if (auto v = Number(o, "--speed", problem)) speech.wordsPerMinute = static_cast<int>(*v);
    if (auto v = Number(o, "--pitch", problem)) speech.pitch = static_cast<int>(*v);
    if (!problem.empty()) {
        Say(problem);
        return kExitUsage;
    }
    PreparedMessage m;
    const PrepareStatus status = PrepareSpeech(speech, settings, m, &KeepGoing);
    return Finish(status, "\"" + speech.text + "\"", m, o, {});
}

}  // namespace

bool IsPrepareCommand(const std::string& command) {
    return command == "prepare" || command == "say" || command == "voices";
}

bool IsPrepareOption(const std::string& option, bool& takesValue) {
    static const std::map<std::string, bool> options = {
        {"--trim", false},    {"--silence", true}, {"--highpass", true}, {"--loudness", true},
        {"--peak", true},     {"--voice", true},   {"--speed", true},    {"--pitch", true}};
    const auto it = options.find(option);
    if (it == options.end()) return false;
    takesValue = it->second;
    return true;
}

int RunPrepareCommand(const CliOptions& o) {
    if (o.command == "voices") return Voices();
    PrepareSettings settings;
    std::string problem;
    if (!ReadSettings(o, settings, problem)) {
        Say(problem);
        return kExitUsage;
    }
    if (o.command == "say") return Speak(o, settings);
    PreparedMessage m;
    const PrepareStatus status = PrepareAudioFile(o.args[0], settings, m, &KeepGoing);
    return Finish(status, o.args[0], m, o, o.args[0]);
}

}  // namespace zorvek::cli
