#pragma once
// A UserPort that shows nothing, for benchmarks and fuzz targets: it counts the
// messages (and can echo them), answers every question No, cancels every file
// dialog and makes progress popups that are never cancelled.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "job/UserPort.h"

namespace zorvek {

class SilentProgress : public ProgressPort {
public:
    bool BeginModal(const std::string&, bool) override { return true; }
    void SetRange(int, int, int) override {}
    int SetPosition(int) override { return 0; }
    int Step() override { return 0; }
    void SetText(const std::string&) override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool IsCancelled() const override { return false; }
    void Destroy() override {}
};

class SilentUserPort : public UserPort {
public:
    // With `echo`, each message is also printed there as "message: <text>".
    explicit SilentUserPort(std::FILE* echo = nullptr) : echo_(echo) {}

    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override;
    bool AskYesNo(const std::string&, const std::string&, MessageIcon) override { return false; }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions&) override { return std::nullopt; }
    void exchangeToWindow() override {}
    void ShowFirmwareBanner(bool) override {}
    void ShowDip32ToneIndicator(bool) override {}
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override;

    int messages = 0;
    int emptyMessages = 0;  // a message without text is a fault of its sender

private:
    std::FILE* echo_;
};

}  // namespace zorvek
