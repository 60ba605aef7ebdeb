#pragma once
// The connection to the siren's serial flash and every routine that talks to it.
// Operations call the routines with the job, the link and the user port; the
// routines report through the port, the JobState texts and `abortFlag`.
#include <chrono>
#include <cstdint>

#include "job/JobState.h"
#include "job/ProgressPort.h"
#include "job/UserPort.h"
#include "spi/FlashCommands.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

struct SpiLink {
    SpiAdapter* adapter = nullptr;     // chosen at start, not owned
    uint32_t handle = 0;               // 0: no connection
    int32_t lastStatus = 0;            // status of the latest adapter call
    ProgressPort* progress = nullptr;  // popup of the running operation, not owned; may be null
    // Bytes per read frame of the read-back; compared and stepped per 256-byte block anyway.
    int32_t verifyFrameBytes = 0x10000;
    int32_t clockHz = 0;  // SPI clock reported at setup; 0 until then
};

// Result of a routine stopped by `abortFlag`.
inline constexpr int32_t kStopped = 6;
inline constexpr uint32_t kFlashPageSize = 256;
inline constexpr uint32_t kFlashSectorSize = 0x10000;
// SetupUsb runs the SPI clock at 12 MHz / ((1 + divisor) * 2) = 6 MHz.
inline constexpr int32_t kSpiClockDivisor = 0;


// How long a program or erase may keep the flash busy before the wait gives up:
// many times the datasheet maxima (5 ms, 3 s, 80 s for the largest chip).
inline constexpr std::chrono::milliseconds kPageProgramBusyLimit{1000};
inline constexpr std::chrono::milliseconds kSectorEraseBusyLimit{30000};
inline constexpr std::chrono::milliseconds kChipEraseBusyLimit{400000};
// Typical page program time (datasheet): chips of 1 MiB and more, and smaller ones.
inline constexpr std::chrono::microseconds kPageProgramTypical{640};
inline constexpr std::chrono::microseconds kPageProgramTypicalSmall{800};
// Enumeration polls of SetupUsb, and the time they may take at most.
inline constexpr int kEnumerationPolls = 10000;
inline constexpr std::chrono::milliseconds kEnumerationLimit{2000};

// Messages.
inline constexpr const char* kMsgDeviceFound = "FT2232C device found.";
inline constexpr const char* kMsgDeviceInfo = "Device name = %s; Location ID = %d.";
inline constexpr const char* kMsgCouldNotOpen = "Could not open device.";
inline constexpr const char* kMsgSpiInitError = "Error initialising SPI.";
inline constexpr const char* kMsgClockFrequency = "Clock frequency = %d Hz.";
inline constexpr const char* kMsgUpperGpio = "Upper GPIO = %d, %d, %d, %d.";
inline constexpr const char* kMsgCloseError = "Error closing device.";
inline constexpr const char* kMsgSignature = "Electronic Signature = 0x%x.";
inline constexpr const char* kMsgStatusRegister = "Flash Status Register = 0x%x.";
inline constexpr const char* kMsgVerifyError = "Error verifying! Check connections and try again. Location %d.";
inline constexpr const char* kMsgNoAdapter =
    "No siren programmer found.\nCheck that the USB adapter is plugged in and try again.";
inline constexpr const char* kMsgSignatureUnknown =
    "Flash not recognised: electronic signature 0x%x.\nCheck connections and try again.";
inline constexpr const char* kMsgSignatureUnread =
    "Could not read the flash's electronic signature.\nCheck connections and try again.";
inline constexpr const char* kMsgStillBusy =
    "The flash was still busy after %d seconds, so the operation was stopped.\nCheck connections and try again.";

// Highest byte address (capacity - 1) for a signature, or 0 when it is not in the table.
uint32_t FlashLastAddressForSignature(uint32_t signature);

// Connection lifecycle and diagnostic commands.
void SetupUsb(JobState& job, SpiLink& link, UserPort& port);
void CloseUsb(JobState& job, SpiLink& link, UserPort& port);
void TestWrite(JobState& job, SpiLink& link, UserPort& port);
void TestRead(JobState& job, SpiLink& link, UserPort& port);

// Serial flash routines. Statuses are adapter statuses (0 = success), 6 = stopped.
void IdentifyFlash(JobState& job, SpiLink& link, UserPort& port);
int32_t ReadSignature(JobState& job, SpiLink& link, UserPort& port);
int32_t WriteEnable(JobState& job, SpiLink& link, UserPort& port);
// Polls until the flash is idle; sets abortFlag on Cancel, a failed read or when
// the flash stays busy longer than `limit`. Always 0.
int32_t WaitWhileBusy(JobState& job, SpiLink& link, UserPort& port,
                      std::chrono::milliseconds limit = kSectorEraseBusyLimit);
// Bytes clocked at `clockHz` (0: the setup clock) that last the typical page program
// time of a flash whose highest address is `flashLastAddress` (0: not identified).
int32_t PageProgramIdleBytes(uint32_t flashLastAddress, int32_t clockHz);
// 1-256 bytes that stay inside one 256-byte page. The wait for the flash starts with
// idle clocks of the typical program time, so its first poll usually finds it done.
int32_t PageProgram(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data, int32_t count);
int32_t ReadFlash(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, int32_t count);
void ChipErase(JobState& job, SpiLink& link, UserPort& port);
// 0, or 6 when stopped.
int32_t EraseSectors(JobState& job, SpiLink& link, UserPort& port, uint32_t address, int32_t count);
// Image byte k belongs at flash address k. 1 = match, 0 = mismatch (reported), 6 = stopped.
int32_t VerifyFlash(JobState& job, SpiLink& link, UserPort& port, int32_t length, const uint8_t* data);

}  // namespace zorvek
