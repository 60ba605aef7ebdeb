#include "cli/ConsoleUserPort.h"

#include <algorithm>
#include <csignal>
#include <iostream>

#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// The first Ctrl-C asks the running operation to stop at its next check; a
// second one ends the program at once, for an operation that no longer checks.
extern "C" void OnInterrupt(int signal) {
    if (g_interrupted) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_interrupted = 1;
}

}  // namespace

bool InterruptRequested() {
    return g_interrupted != 0;
}
void ClearInterrupt() {
    g_interrupted = 0;
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::string FormatMessage(const std::string& caption, const std::string& text) {
    std::string head = caption.empty() ? std::string() : caption + ": ";
    std::string out = head;
    const std::string indent(head.size(), ' ');
    for (char c : EscapeControlCharacters(text)) {
        out += c;
        if (c == '\n') out += indent;
    }
    // Drop trailing blanks left by texts that end in a line break.
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    return out;
}

ConsoleProgress::ConsoleProgress(std::FILE* out, bool terminal, bool quiet, std::string title,
                                 std::function<double()> clock)
    : out_(out), terminal_(terminal), quiet_(quiet), title_(Translated(title)), clock_(std::move(clock)) {
    lastRender_ = Now();
    estimate_.StartRun(lastRender_);
}

double ConsoleProgress::Now() const {
    if (clock_) return clock_();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ConsoleProgress::~ConsoleProgress() {
    Destroy();
}

bool ConsoleProgress::BeginModal(const std::string&, bool) {
    return true;
}

void ConsoleProgress::SetRange(int lower, int upper, int step) {
    lower_ = lower;
    upper_ = upper;
    step_ = step;
    estimate_.SetRange(Now(), lower, upper);
}

int ConsoleProgress::SetPosition(int position) {
    int previous = position_;
    position_ = position;
    estimate_.Update(Now(), position);
    Render(false);
    return previous;
}

int ConsoleProgress::Step() {
    return SetPosition(position_ + step_);
}

void ConsoleProgress::SetText(const std::string& text) {
    FinishLine();
    text_ = EscapeControlCharacters(TranslatedLines(text));
    lastPercent_ = -1;
    peakPercent_ = 0;
    estimate_.StartStep(Now(), lower_, upper_, 0);
    Render(true);
}

void ConsoleProgress::SetStepBytes(int bytes) {
    estimate_.SetStepBytes(bytes);
}

std::string ConsoleProgress::Timing(double now) const {
    std::string timing = ", " + Format(ZT("%s elapsed"), FormatElapsed(estimate_.RunSeconds(now)).c_str());
    if (const auto left = estimate_.SecondsLeft()) timing += ", " + FormatSecondsLeft(*left);
    if (const double speed = estimate_.StepBytesPerSecond(); speed > 0) timing += ", " + FormatKiBPerSecond(speed);
    return timing;
}

void ConsoleProgress::Hide() {
    FinishLine();
}

void ConsoleProgress::PumpMessages(bool) {
    if (InterruptRequested()) cancelled_ = true;
}

void ConsoleProgress::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    FinishLine();
}

void ConsoleProgress::FinishLine() {
    if (lineOpen_) {
        // The redraws are throttled: show where the phase ended before leaving the line.
        if (terminal_ && peakPercent_ != lastPercent_) Draw(peakPercent_, Now());
        std::fputc('\n', out_);
        std::fflush(out_);
        lineOpen_ = false;
    }
}

void ConsoleProgress::Draw(int percent, double now) {
    lastRender_ = now;
    lastPercent_ = percent;
    const std::string label = text_.empty() ? title_ : text_;
    const int width = 30;
    std::string bar(static_cast<size_t>(percent * width / 100), '#');
    bar.resize(width, '.');
    char head[160];
    std::snprintf(head, sizeof head, "\r%-16s [%s] %3d%%", label.c_str(), bar.c_str(), percent);
    std::string line = head + Timing(now);
    // Blank what a longer line drawn before left behind.
    const size_t drawn = line.size();
    if (drawn < lastWidth_) line.append(lastWidth_ - drawn, ' ');
    lastWidth_ = drawn;
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    lineOpen_ = true;
}

void ConsoleProgress::Render(bool force) {
    if (quiet_ || destroyed_) return;
    int percent = 0;
    if (upper_ > lower_) percent = static_cast<int>((position_ - lower_) * 100.0 / (upper_ - lower_) + 0.5);
    percent = std::clamp(percent, 0, 100);
    // A bar set back within a phase (the verify pass restarting it) is not
    // shown going backwards; the next phase's text starts it afresh.
    if (percent < peakPercent_) return;
    peakPercent_ = percent;
    const double now = Now();
    if (terminal_) {
        // Redraw at most ~20 times a second; terminals are slow.
        if (!force && percent == lastPercent_) return;
        if (!force && percent != 100 && now - lastRender_ < 0.05) return;
        Draw(percent, now);
    } else {
        // Plain lines for logs: one each time the bar passes a tenth.
        if (!force && percent / 10 <= lastPercent_ / 10) return;
        lastPercent_ = percent;
        std::fprintf(out_, "%s %d%%%s\n", (text_.empty() ? title_ : text_).c_str(), percent, Timing(now).c_str());
        std::fflush(out_);
    }
}

ConsoleUserPort::ConsoleUserPort(std::FILE* err, bool terminal, bool quiet)
    : err_(err), terminal_(terminal), quiet_(quiet) {}

void ConsoleUserPort::ShowMessage(const std::string& text, const std::string& caption, MessageIcon) {
    ++messagesShown_;
    lastMessage_ = text;
    std::fprintf(err_, "%s\n", FormatMessage(Translated(caption), TranslatedLines(text)).c_str());
    std::fflush(err_);
}

bool ConsoleUserPort::AskYesNo(const std::string& text, const std::string& caption, MessageIcon) {
    // An explicit answer only: Enter alone must not pick a side of a warning.
    std::fprintf(err_, "%s [y/n] ", FormatMessage(Translated(caption), TranslatedLines(text)).c_str());
    for (;;) {
        std::fflush(err_);
        std::string line;
        if (!std::getline(std::cin, line) || InterruptRequested()) {
            std::fputc('\n', err_);
            return eofAnswer;
        }
        if (line == "y" || line == "Y" || line == "yes" || line == "Yes") return true;
        if (line == "n" || line == "N" || line == "no" || line == "No") return false;
        std::fprintf(err_, "Please answer y or n: ");
    }
}

// The command line names every file an operation needs; there is no dialog to ask.
std::optional<std::string> ConsoleUserPort::ChooseOpenFile(const FileDialogOptions&) {
    return std::nullopt;
}

std::optional<std::string> ConsoleUserPort::ChooseSaveFile(const FileDialogOptions&) {
    return std::nullopt;
}

std::unique_ptr<ProgressPort> ConsoleUserPort::MakeProgress(const std::string& title, bool) {
    return std::make_unique<ConsoleProgress>(err_, terminal_, quiet_, title);
}

}  // namespace zorvek::cli
