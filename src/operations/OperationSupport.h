#pragma once
// Scope guards shared by the siren commands.
#include <memory>

#include "job/JobState.h"
#include "job/Translate.h"
#include "job/UserPort.h"
#include "operations/FlashRoutines.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"

namespace zorvek {

// Closes the adapter when the command leaves, whichever way it leaves.
class UsbSession {
public:
    UsbSession(JobState& job, SpiLink& link, UserPort& port) : job_(job), link_(link), port_(port) {}
    ~UsbSession() { Close(); }
    UsbSession(const UsbSession&) = delete;
    UsbSession& operator=(const UsbSession&) = delete;
    void Close() {
        if (link_.handle != 0) CloseUsb(job_, link_, port_);
    }

private:
    JobState& job_;
    SpiLink& link_;
    UserPort& port_;
};

// The progress popup of one command, made known to the flash routines for
// its lifetime and destroyed (ending its modality) when the command leaves.
class ProgressScope {
public:
    ProgressScope(SpiLink& link, UserPort& port) : link_(link), popup_(port.MakeProgress(ZT("Complete..."), false)) {
        link_.progress = popup_.get();
    }
    ~ProgressScope() { Destroy(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    ProgressPort* operator->() { return popup_.get(); }
    ProgressPort& Popup() { return *popup_; }
    bool Cancelled() const { return popup_ && popup_->IsCancelled(); }
    void Destroy() {
        if (!popup_) return;
        cancelled_ = popup_->IsCancelled();
        link_.progress = nullptr;
        popup_->Destroy();
        popup_.reset();
    }
    // Whether Cancel was pressed, also after Destroy.
    bool WasCancelled() const { return popup_ ? popup_->IsCancelled() : cancelled_; }

private:
    SpiLink& link_;
    std::unique_ptr<ProgressPort> popup_;
    bool cancelled_ = false;
};

// Stands between the popup and the flash routines while a sector must be put
// back whatever happens: Cancel is seen (and the popup says so) but not passed on.
class CancelHold : public ProgressPort {
public:
    explicit CancelHold(ProgressPort& popup) : popup_(popup) {}
    bool BeginModal(const std::string& title, bool smooth) override { return popup_.BeginModal(title, smooth); }
    void SetRange(int lower, int upper, int step) override { popup_.SetRange(lower, upper, step); }
    int SetPosition(int position) override { return popup_.SetPosition(position); }
    int Step() override { return popup_.Step(); }
    void SetText(const std::string& text) override {
        if (!held_) popup_.SetText(text);
    }
    void SetStepBytes(int bytes) override { popup_.SetStepBytes(bytes); }
    void Hide() override { popup_.Hide(); }
    void PumpMessages(bool cancelOnEscape) override {
        popup_.PumpMessages(cancelOnEscape);
        if (!held_ && popup_.IsCancelled()) {
            held_ = true;
            popup_.SetText(kMsgFinishing);
        }
    }
    bool IsCancelled() const override { return false; }
    void Destroy() override {}
    // Whether Cancel was pressed while held.
    bool Held() const { return held_; }

private:
    ProgressPort& popup_;
    bool held_ = false;
};

// How an erase-program-verify pass ended.
struct FlashWriteResult {
    bool stopped = false;     // abortFlag was set: a fault or Cancel
    bool cancelled = false;   // Cancel was pressed
    bool unverified = false;  // the read-back stopped: nothing known about what was written
    int32_t verified = 1;     // VerifyFlash's result; 1 when not verifying
    bool refused = false;     // the flash stayed write-protected; nothing was erased, the person was told
    WriteCounts counts;       // what was erased and written, and what was already right
};

// Lifts the flash's block protection (refusing when it stays), erases the sectors
// the image touches from address 0 (or the whole chip, as the
// plan's erase mode decides), programs `data` page by page and, with the plan's
// verify on, reads it back, stepping the modal popup through "Erasing...",
// "Programming..." and "Verifying..."; then restores the protection as found.
FlashWriteResult EraseProgramVerify(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                                    const uint8_t* data, size_t length, const WritePlan& plan);

// The plan's "write only what differs": reads the image's range first, then erases
// only sectors where a bit must go from 0 to 1 and programs only pages that differ,
// reads back what it changed and, where that differs, does those sectors once more
// the described way. Nothing to change: the first read was the verify.
FlashWriteResult WriteChangedOnly(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                                  const uint8_t* data, size_t length, const WritePlan& plan);

// How an erase-program-verify pass ends for the command: a stop that was no
// Cancel is said (with `incompleteMessage` unless the read-back failed) and fails.
OperationOutcome OutcomeOfWrite(const FlashWriteResult& written, UserPort& port, const char* incompleteMessage);

}  // namespace zorvek
