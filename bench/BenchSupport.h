#pragma once
// What the benchmarks share: a UserPort that shows nothing and CPU time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "job/UserPort.h"

namespace zorvek::bench {

class QuietProgress : public ProgressPort {
public:
    bool BeginModal(const std::string&, bool) override { return true; }
    void SetRange(int, int, int) override {}
    int SetPosition(int) override { return 0; }
    int Step() override { return 0; }
    int Advance(int) override { return 0; }
    void SetText(const std::string&) override {}
    void Reset() override {}
    void Show() override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool IsCancelled() const override { return false; }
    void Destroy() override {}
};

class QuietPort : public UserPort {
public:
    int messages = 0;
    void ShowMessage(const std::string& text, const std::string&, MessageIcon) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool AskYesNo(const std::string&, const std::string&, MessageIcon) override { return false; }
    std::optional<std::string> ChooseOpenFile(const FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const FileDialogSpec&) override { return std::nullopt; }
    void exchangeToWindow() override {}
    void ShowFirmwareBanner(bool) override {}
    void ShowDip32ToneIndicator(bool) override {}
    std::unique_ptr<ProgressPort> MakeProgress(const std::string&, bool) override {
        return std::make_unique<QuietProgress>();
    }
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Seconds(std::chrono::nanoseconds t) {
    return static_cast<double>(t.count()) / 1e9;
}

}  // namespace zorvek::bench
