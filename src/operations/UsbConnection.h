#pragma once
// The adapter's lifecycle as the window's buttons and the operations use it:
// find and open it, set up SPI and report, close; and the two diagnostic commands.
#include "job/JobState.h"
#include "job/Translate.h"
#include "job/UserPort.h"
#include "operations/SpiLink.h"

namespace zorvek {

inline constexpr const char* kMsgDeviceFound = ZT("FT2232C device found.");
inline constexpr const char* kMsgDeviceInfo = ZT("Device name = %s; Location ID = %d.");
inline constexpr const char* kMsgCouldNotOpen = ZT("Could not open device.");
inline constexpr const char* kMsgSpiInitError = ZT("Error initialising SPI.");
inline constexpr const char* kMsgClockFrequency = ZT("Clock frequency = %d Hz.");
inline constexpr const char* kMsgUpperGpio = ZT("Upper GPIO = %d, %d, %d, %d.");
inline constexpr const char* kMsgCloseError = ZT("Error closing device.");
inline constexpr const char* kMsgNoAdapter =
    ZT("No siren programmer found.\nCheck that the USB adapter is plugged in and try again.");

// On failure abortFlag is set and the person was told.
void SetupUsb(JobState& job, SpiLink& link, UserPort& port);
void CloseUsb(JobState& job, SpiLink& link, UserPort& port);
void TestWrite(JobState& job, SpiLink& link, UserPort& port);
void TestRead(JobState& job, SpiLink& link, UserPort& port);

}  // namespace zorvek
