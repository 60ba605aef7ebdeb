#pragma once
// Test double for UserPort and ProgressPort: records everything shown,
// answers questions and file dialogs from a script, cancels on demand.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "job/UserPort.h"

namespace zorvek::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
    bool question = false;
};

struct ProgressLog {
    std::vector<std::string> calls;  // "BeginModal Progress", "SetRange 0 5 1", "SetText Erasing...", ...
    int steps = 0;                   // Step/SetPosition calls
    int pumps = 0;                   // PumpMessages calls
    int cancelAtStep = -1;           // cancel once this many progress calls were made
    int cancelAtPump = -1;           // cancel on this PumpMessages call (1-based)
    bool cancelled = false;
    bool modal = false;
    bool destroyed = false;
    int position = 0;
    int lower = 0, upper = 100, step = 1;
    std::string text;
    std::string title;
    std::function<void(const std::string&)> onText;  // told of every SetText
};

class ScriptedProgress : public ProgressPort {
public:
    explicit ScriptedProgress(std::shared_ptr<ProgressLog> log) : log_(std::move(log)) {}
    ~ScriptedProgress() override { Destroy(); }
    bool BeginModal(const std::string& title, bool smooth) override;
    void SetRange(int lower, int upper, int step) override;
    int SetPosition(int position) override;
    int Step() override;
    void SetText(const std::string& text) override;
    void Hide() override;
    void PumpMessages(bool cancelOnEscape) override;
    bool IsCancelled() const override { return log_->cancelled; }
    void Destroy() override;

private:
    void CountStep();
    std::shared_ptr<ProgressLog> log_;
};

class ScriptedUserPort : public UserPort {
public:
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) override;
    void exchangeToWindow() override { ++exchanges; }
    void ShowFirmwareBanner(bool visible) override { firmwareBanner = visible; }
    void ShowDip32ToneIndicator(bool visible) override { dip32Indicator = visible; }
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override;

    // Texts of all messages shown, in order.
    std::vector<std::string> Texts() const;
    bool Saw(const std::string& text) const;
    // Whether any message shown contains `part`.
    bool SawContaining(const std::string& part) const;

    // Script
    std::deque<bool> yesNoAnswers;                       // default answer when empty: No
    std::deque<std::optional<std::string>> fileAnswers;  // default when empty: cancel
    int cancelAtStep = -1;                               // applied to every progress made
    int cancelAtPump = -1;
    std::function<void(const std::string&)> onProgressText;  // given to every progress made

    // Record
    std::vector<ShownMessage> messages;
    std::vector<FileDialogOptions> openDialogs;
    std::vector<FileDialogOptions> saveDialogs;
    std::vector<std::shared_ptr<ProgressLog>> progresses;
    int exchanges = 0;
    bool firmwareBanner = false;
    bool dip32Indicator = false;
};

}  // namespace zorvek::test
