#pragma once
// UserPort for the terminal: boxes become "Caption: text" lines on stderr,
// file names come with the command (a file dialog is a Cancel), Ctrl-C is the
// popup's Cancel.
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "job/ProgressEstimate.h"
#include "job/UserPort.h"

namespace zorvek::cli {

// Set by the SIGINT handler; the progress popup reports it as Cancel.
bool InterruptRequested();
void InstallInterruptHandler();
void ClearInterrupt();

class ConsoleProgress : public ProgressPort {
public:
    // `clock` gives seconds for elapsed time, time left and speed; the steady clock when empty.
    ConsoleProgress(std::FILE* out, bool terminal, bool quiet, std::string title,
                    std::function<double()> clock = {});
    ~ConsoleProgress() override;
    bool BeginModal(const std::string& title, bool smooth) override;
    void SetRange(int lower, int upper, int step) override;
    int SetPosition(int position) override;
    int Step() override;
    void SetText(const std::string& text) override;
    void SetStepBytes(int bytes) override;
    void Hide() override;
    void PumpMessages(bool cancelOnEscape) override;
    bool IsCancelled() const override { return cancelled_; }
    void Destroy() override;

private:
    void Render(bool force);
    void Draw(int percent, double now);
    void FinishLine();
    double Now() const;
    // ", 0:12 elapsed, about 15 s left, 54 KiB/s" as far as known.
    std::string Timing(double now) const;

    std::FILE* out_;
    bool terminal_;
    bool quiet_;
    std::string title_;
    std::string text_;
    int lower_ = 0, upper_ = 100, step_ = 1, position_ = 0;
    int lastPercent_ = -1;
    int peakPercent_ = 0;
    bool cancelled_ = false;
    bool lineOpen_ = false;
    bool destroyed_ = false;
    size_t lastWidth_ = 0;
    std::function<double()> clock_;
    ProgressEstimate estimate_;
    double lastRender_ = 0;
};

class ConsoleUserPort : public UserPort {
public:
    ConsoleUserPort(std::FILE* err, bool terminal, bool quiet);

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) override;
    void exchangeToWindow() override {}
    void ShowFirmwareBanner(bool) override {}
    void ShowDip32ToneIndicator(bool) override {}
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override;

    // The answer when standard input ends (or Ctrl-C) before y or n was typed.
    bool eofAnswer = false;

    int messagesShown() const { return messagesShown_; }
    const std::string& lastMessage() const { return lastMessage_; }

private:
    std::FILE* err_;
    bool terminal_;
    bool quiet_;
    int messagesShown_ = 0;
    std::string lastMessage_;
};

// Formats a box as the terminal shows it: "Caption: line one\n          line two".
std::string FormatMessage(const std::string& caption, const std::string& text);

}  // namespace zorvek::cli
