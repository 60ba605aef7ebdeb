#include "ScriptedUserPort.h"

#include <algorithm>

namespace zorvek::test {

bool ScriptedProgress::BeginModal(const std::string& title, bool) {
    log_->calls.push_back("BeginModal " + title);
    log_->modal = true;
    return true;
}

void ScriptedProgress::SetRange(int lower, int upper, int step) {
    log_->calls.push_back("SetRange " + std::to_string(lower) + " " + std::to_string(upper) + " " +
                          std::to_string(step));
    log_->lower = lower;
    log_->upper = upper;
    log_->step = step;
}

void ScriptedProgress::CountStep() {
    ++log_->steps;
    if (log_->cancelAtStep >= 0 && log_->steps >= log_->cancelAtStep) log_->cancelled = true;
}

int ScriptedProgress::SetPosition(int position) {
    int previous = log_->position;
    log_->position = position;
    CountStep();
    return previous;
}

int ScriptedProgress::Step() {
    int previous = log_->position;
    log_->position += log_->step;
    CountStep();
    return previous;
}

void ScriptedProgress::SetText(const std::string& text) {
    log_->calls.push_back("SetText " + text);
    log_->text = text;
    if (log_->onText) log_->onText(text);
}

void ScriptedProgress::Hide() {
    log_->calls.push_back("Hide");
}

void ScriptedProgress::PumpMessages(bool) {
    ++log_->pumps;
    if (log_->cancelAtPump > 0 && log_->pumps >= log_->cancelAtPump) log_->cancelled = true;
}

void ScriptedProgress::Destroy() {
    if (log_->destroyed) return;
    log_->calls.push_back("Destroy");
    log_->modal = false;
    log_->destroyed = true;
}

void ScriptedUserPort::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon, false});
}

bool ScriptedUserPort::AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) {
    messages.push_back({text, caption, icon, true});
    if (yesNoAnswers.empty()) return false;
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserPort::ChooseOpenFile(const FileDialogOptions& dialog) {
    openDialogs.push_back(dialog);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserPort::ChooseSaveFile(const FileDialogOptions& dialog) {
    saveDialogs.push_back(dialog);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::unique_ptr<ProgressPort> ScriptedUserPort::MakeProgress(const std::string& title, bool) {
    auto log = std::make_shared<ProgressLog>();
    log->title = title;
    log->cancelAtStep = cancelAtStep;
    log->cancelAtPump = cancelAtPump;
    log->onText = onProgressText;
    progresses.push_back(log);
    return std::make_unique<ScriptedProgress>(log);
}

std::vector<std::string> ScriptedUserPort::Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

bool ScriptedUserPort::SawContaining(const std::string& part) const {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const ShownMessage& m) { return m.text.find(part) != std::string::npos; });
}

bool ScriptedUserPort::Saw(const std::string& text) const {
    return std::any_of(messages.begin(), messages.end(), [&](const ShownMessage& m) { return m.text == text; });
}

}  // namespace zorvek::test
