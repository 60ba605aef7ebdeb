#include "operations/ProductionStation.h"

#include <algorithm>
#include <thread>

#include "job/TextFormat.h"
#include "job/Translate.h"
#include "operations/OperationSupport.h"

namespace zorvek {

namespace {

// Passes everything on and keeps the first message of a run: the failure's own
// words (a stuck flash, a difference at an address) rather than the summary after it.
class NotingPort : public UserPort {
public:
    explicit NotingPort(UserPort& inner) : inner_(inner) {}
    void ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon) override {
        if (first.empty()) first = text;
        inner_.ShowMessage(text, caption, icon);
    }
    bool AskYesNo(const std::string& text, const std::string& caption, MessageIcon icon) override {
        return inner_.AskYesNo(text, caption, icon);
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& dialog) override {
        return inner_.ChooseOpenFile(dialog);
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& dialog) override {
        return inner_.ChooseSaveFile(dialog);
    }
    void exchangeToWindow() override { inner_.exchangeToWindow(); }
    void ShowFirmwareBanner(bool visible) override { inner_.ShowFirmwareBanner(visible); }
    void ShowDip32ToneIndicator(bool visible) override { inner_.ShowDip32ToneIndicator(visible); }
    std::unique_ptr<ProgressPort> MakeProgress(const std::string& title, bool smooth) override {
        return inner_.MakeProgress(title, smooth);
    }
    std::string first;

private:
    UserPort& inner_;
};

// A message's first line, for a one-line report.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

}  // namespace

ProductionStation::~ProductionStation() {
    if (link_.handle != 0) CloseUsb(job_, link_, port_);
}

bool ProductionStation::Open() {
    job_.abortFlag = 0;
    SetupUsb(job_, link_, port_);
    return job_.abortFlag == 0 && link_.handle != 0;
}

bool ProductionStation::Identify(FlashIdentity& identity, bool& adapterFailed) {
    // Identified as Program identifies: by JEDEC ID, by RES for the oldest parts, by
    // SFDP for a part the table lacks. The signature alone would miss chips without
    // RES and leave block protection unknown until an erase is refused.
    const Result r = LinkFlash(job_, link_, port_)->Identify(identity);
    adapterFailed = r.fault == Fault::Adapter;
    job_.flashIdValue = identity.signature.value_or(adapterFailed ? 0 : kErasedByte);
    // A flash that answers but cannot be used would keep the bench waiting without a
    // word: say so once, until the socket is empty again.
    const bool answered = identity.signature || (identity.jedecId != 0 && identity.jedecId != 0xFFFFFF) ||
                          r.fault == Fault::StillBusy;
    if (r.ok() || adapterFailed || !answered) {
        shownProblem_.clear();
    } else if (const std::string problem = Describe(r); problem != shownProblem_) {
        shownProblem_ = problem;
        port_.ShowMessage(Format(kMsgUnusableFlash, problem.c_str()), kProgramTitle, MessageIcon::Warning);
    }
    return r.ok();
}

SocketWait ProductionStation::Wait(bool forSiren, const std::function<bool()>& stop,
                                   std::chrono::milliseconds interval) {
    for (;;) {
        if (stop && stop()) return SocketWait::Stopped;
        FlashIdentity identity;
        bool adapterFailed = false;
        bool present = Identify(identity, adapterFailed);
        if (present && forSiren) {
            // A siren being pushed into the socket may answer half a read: it counts
            // once a second identification agrees.
            FlashIdentity again;
            present = Identify(again, adapterFailed) && again.jedecId == identity.jedecId &&
                      again.signature == identity.signature;
            identity = again;
        }
        if (adapterFailed) return SocketWait::AdapterFailed;
        if (forSiren && present) {
            job_.flashIdentity = identity;
            job_.flashLastAddress = identity.chip.LastAddress();
            return SocketWait::Done;
        }
        if (!forSiren && !present) return SocketWait::Done;
        std::this_thread::sleep_for(interval);
    }
}

SocketWait ProductionStation::WaitForSiren(const std::function<bool()>& stop, std::chrono::milliseconds interval) {
    return Wait(true, stop, interval);
}

SocketWait ProductionStation::WaitForRemoval(const std::function<bool()>& stop, std::chrono::milliseconds interval) {
    return Wait(false, stop, interval);
}

SirenReport ProductionStation::Program(const std::vector<uint8_t>& image) {
    const auto start = std::chrono::steady_clock::now();
    SirenReport report;
    report.signature = job_.flashIdValue;
    job_.lastWrite = {};
    NotingPort port(port_);
    auto finish = [&](OperationOutcome outcome, const std::string& failure) {
        report.outcome = outcome;
        report.failure = FirstLine(failure);
        report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return report;
    };

    const uint64_t flashSize = uint64_t{job_.flashLastAddress} + 1;
    size_t length = image.size();
    if (length > flashSize) {
        if (!std::all_of(image.begin() + static_cast<std::ptrdiff_t>(flashSize), image.end(),
                         [](uint8_t b) { return b == kErasedByte; }))
            return finish(OperationOutcome::Failed, ZT("The image does not fit this siren's flash."));
        length = static_cast<size_t>(flashSize);
    }

    job_.abortFlag = 0;
    FlashWriteResult written;
    {
        ProgressScope progress(link_, port);
        progress->BeginModal(ZT("Progress"), false);
        // The signature polls stay at the setup clock every chip takes; the write runs at the chosen one.
        ApplySpiClock(job_, link_, port);
        // A production siren passes only once read back.
        written = EraseProgramVerify(job_, link_, port, progress, image.data(), length,
                                     {true, job_.eraseMode, job_.writeChanged});
    }
    ApplySpiClock(job_, link_, port, kDefaultSpiClockHz);
    job_.flashStatusText.clear();
    port.exchangeToWindow();
    // Worded as every programming run is: a read-back that failed is "not verified", not "not programmed".
    const OperationOutcome outcome = OutcomeOfWrite(written, port, kMsgProgrammingIncomplete);
    if (outcome == OperationOutcome::Cancelled) return finish(outcome, "cancelled");
    return finish(outcome, outcome == OperationOutcome::Success ? "" : port.first);
}

}  // namespace zorvek
