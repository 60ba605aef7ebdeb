#pragma once
// Frame building shared by the link routines.
#include <cstdint>
#include <string>

#include "job/JobState.h"
#include "job/UserPort.h"
#include "spi/SpiLink.h"

namespace zorvek::detail {

// Each stores the call's status in lastStatus (0 first) and returns it.
int32_t SendWriteFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, const uint8_t* data,
                       int32_t dataCount);
int32_t SendReadFrame(SpiLink& link, const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count);

// The three address bytes of a command, most significant first.
void AddressBytes(uint8_t* out, uint32_t address);
// Sets the window's flash status text and refreshes the window.
void SetFlashStatus(JobState& job, UserPort& port, const char* text);

// A plain box with an OK button over the main window.
void Show(UserPort& port, const std::string& text);

}  // namespace zorvek::detail
