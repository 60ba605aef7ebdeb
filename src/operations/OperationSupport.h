#pragma once
// Scope guards shared by the siren commands.
#include <memory>

#include "job/JobState.h"
#include "job/UserPort.h"
#include "spi/FlashRoutines.h"
#include "spi/UsbConnection.h"

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
    ProgressScope(SpiLink& link, UserPort& port) : link_(link), popup_(port.MakeProgress("Complete...", false)) {
        link_.progress = popup_.get();
    }
    ~ProgressScope() { Destroy(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    ProgressPort* operator->() { return popup_.get(); }
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

// How an erase-program-verify pass ended.
struct FlashWriteResult {
    bool stopped = false;    // abortFlag was set: a fault or Cancel
    bool cancelled = false;  // Cancel was pressed
    int32_t verified = 1;    // VerifyFlash's result; 1 when not verifying
};

// Erases (length / 64 KiB + 1) sectors from address 0 (or the whole chip, as the
// job's erase mode decides), programs `data` page by
// page and, with Verify on, reads it back, stepping the modal popup through
// "Erasing...", "Programming..." and "Verifying...".
FlashWriteResult EraseProgramVerify(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                                    const uint8_t* data, size_t length);

}  // namespace zorvek
