#pragma once
// The serial flash routines as the window and the operations call them: with the
// job, the link and the user port. Each is a thin wrapper over the flash driver
// (spi/SpiFlash.h) that turns its result into the routine's status, the window
// texts, the messages and `abortFlag`.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "job/FlashChips.h"
#include "job/JobState.h"
#include "job/Translate.h"
#include "job/UserPort.h"
#include "operations/LinkFrames.h"
#include "operations/SpiLink.h"
#include "spi/SpiFlash.h"

namespace zorvek {

// Result of a routine stopped by `abortFlag`.
inline constexpr int32_t kStopped = 6;

// How long a wait gives up after when no chip has been identified.
inline constexpr std::chrono::milliseconds kPageProgramBusyLimit = BusyLimit(nullptr, BusyKind::PageProgram);
inline constexpr std::chrono::milliseconds kSectorEraseBusyLimit = BusyLimit(nullptr, BusyKind::SectorErase);

inline constexpr const char* kMsgSignature = ZT("Electronic Signature = 0x%x.");
inline constexpr const char* kMsgStatusRegister = ZT("Flash Status Register = 0x%x.");
inline constexpr const char* kMsgVerifyError = ZT("Error verifying! Check connections and try again. Location %d.");
inline constexpr const char* kMsgSignatureUnknown =
    ZT("Flash not recognised: electronic signature 0x%x.\nCheck connections and try again.");
inline constexpr const char* kMsgSignatureUnread =
    ZT("Could not read the flash's electronic signature.\nCheck connections and try again.");
// The flash would wrap such a write inside its page and overwrite the page's start.
inline constexpr const char* kMsgPageCrossing =
    ZT("Internal error: a page program of %d bytes at 0x%06X would cross a %u-byte page boundary.\n"
    "Nothing was written; the operation stops.");
inline constexpr const char* kMsgStillBusy =
    ZT("The flash was still busy after %d seconds, so the operation was stopped.\nCheck connections and try again.");

// Highest byte address (capacity - 1) for a signature, or 0 when it is not in the table.
uint32_t FlashLastAddressForSignature(uint32_t signature);

// The driver for the link, with the identified chip, the link's popup and the
// window's diagnostics.
class LinkFlash {
public:
    LinkFlash(JobState& job, SpiLink& link, UserPort& port);
    SpiFlash* operator->() { return &flash_; }

private:
    detail::WindowFlashObserver observer_;
    SpiFlash flash_;
};

// Statuses are adapter statuses (0 = success), 6 = stopped.
void IdentifyFlash(JobState& job, SpiLink& link, UserPort& port);
int32_t ReadSignature(JobState& job, SpiLink& link, UserPort& port);
int32_t WriteEnable(JobState& job, SpiLink& link, UserPort& port);
// Polls until the flash is idle. False when it gave up: Cancel, a failed read, or
// the flash busy longer than `limit`; abortFlag is set then.
bool WaitWhileBusy(JobState& job, SpiLink& link, UserPort& port,
                   std::chrono::milliseconds limit = kSectorEraseBusyLimit);
// Bytes clocked at `clockHz` (0: the setup clock) that last the typical page program
// time of a flash whose highest address is `flashLastAddress` (0: not identified).
int32_t PageProgramIdleBytes(uint32_t flashLastAddress, int32_t clockHz);
// 1-256 bytes that stay inside one 256-byte page.
int32_t PageProgram(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data, int32_t count);
// Pipelined programming (SpiFlash::ProgramPages). 0 = every page written; 6 = stopped
// (Cancel, or the flash stayed busy); else the failing adapter status. abortFlag is
// set on every failure.
int32_t ProgramPages(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                     size_t length);
int32_t ReadFlash(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, int32_t count);
void ChipErase(JobState& job, SpiLink& link, UserPort& port);
// Whether one bulk erase beats erasing `sectors` sectors one by one, by the chip's
// typical times. Never for a chip the table does not know.
bool BulkEraseIsFaster(const FlashChip* chip, int32_t sectors);
// The erase `mode` resolves to for an image of `sectors` sectors on the identified flash.
bool UseBulkErase(EraseMode mode, uint32_t flashLastAddress, int32_t sectors);
// Bulk erase, stepping the popup towards `steps`. 0, 6 when stopped (Cancel, fault or still busy).
int32_t BulkErase(JobState& job, SpiLink& link, UserPort& port, int32_t steps);
// 0, or 6 when stopped.
int32_t EraseSectors(JobState& job, SpiLink& link, UserPort& port, uint32_t address, int32_t count);
// Image byte k belongs at flash address k. 1 = match, 0 = mismatch (reported), 6 = stopped:
// Cancel, or a read that failed (abortFlag is set then, nothing is reported).
int32_t VerifyFlash(JobState& job, SpiLink& link, UserPort& port, int32_t length, const uint8_t* data);

}  // namespace zorvek
