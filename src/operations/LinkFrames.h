#pragma once
// What the flash routines share: raw frames on the link (each keeps its status
// in lastStatus), the driver for the link, and the window texts they set.
#include <cstdint>
#include <string>

#include "job/JobState.h"
#include "job/Result.h"
#include "job/UserPort.h"
#include "operations/SpiLink.h"
#include "spi/SpiFlash.h"

namespace zorvek::detail {

int32_t SendWriteFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, const uint8_t* data,
                       int32_t dataCount);
int32_t SendReadFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count);

// The link's adapter, or one whose every call fails with kAdapterNotOpened.
SpiAdapter& AdapterOf(SpiLink& link);

// Reports what the driver sees as the routines always have: each status read as a
// verbose message, each erase as "Erasing" in the window.
class WindowFlashObserver : public FlashObserver {
public:
    WindowFlashObserver(JobState& job, UserPort& port) : job_(job), port_(port) {}
    void StatusRead(uint8_t status) override;
    void EraseStarting() override;

private:
    JobState& job_;
    UserPort& port_;
};

// The adapter status a result leaves in lastStatus: the failing call's, or 0.
int32_t LinkStatus(const Result& result);

// Sets the window's flash status text and refreshes the window.
void SetFlashStatus(JobState& job, UserPort& port, const char* text);

// A plain box with an OK button over the main window.
void Show(UserPort& port, const std::string& text);

}  // namespace zorvek::detail
