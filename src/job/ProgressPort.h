#pragma once
// The progress popup as the core sees it. The front end shows it; the core
// reports progress and polls for Cancel between flash commands.
#include <string>

namespace zorvek {

class ProgressPort {
public:
    virtual ~ProgressPort() = default;
    // Disables the main window while the popup lives; creates the popup with
    // this title only if it does not exist yet.
    virtual bool BeginModal(const std::string& title, bool smooth) = 0;
    virtual void SetRange(int lower, int upper, int step) = 0;
    // Each returns the previous bar position and shows a hidden popup again.
    virtual int SetPosition(int position) = 0;
    virtual int Step() = 0;
    // A new text starts a new step (erasing, programming, verifying, reading).
    virtual void SetText(const std::string& text) = 0;
    // The bytes of data one position of the step stands for, for the speed and
    // the time left; 0 (the default) for a step that moves no data, as erasing.
    virtual void SetStepBytes(int bytes) { (void)bytes; }
    virtual void Hide() = 0;
    // Handles waiting events without ever waiting; Escape counts as Cancel only when asked.
    virtual void PumpMessages(bool cancelOnEscape) = 0;
    virtual bool IsCancelled() const = 0;
    // Ends modality (re-enables the main window) and removes the popup.
    virtual void Destroy() = 0;
};

}  // namespace zorvek
