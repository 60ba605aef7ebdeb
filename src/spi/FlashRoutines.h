#pragma once
// The serial flash routines. Operations call them with the job, the link and the
// user port; they report through the port, the JobState texts and `abortFlag`.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "job/FlashChips.h"
#include "job/JobState.h"
#include "job/UserPort.h"
#include "spi/FlashCommands.h"
#include "spi/SpiLink.h"

namespace zorvek {

// Result of a routine stopped by `abortFlag`.
inline constexpr int32_t kStopped = 6;

// How long a program or erase may keep the flash busy before the wait gives up:
// many times the largest maxima of the chip table (5 ms, 3 s, 80 s).
inline constexpr std::chrono::milliseconds kPageProgramBusyLimit{1000};
inline constexpr std::chrono::milliseconds kSectorEraseBusyLimit{30000};
inline constexpr std::chrono::milliseconds kChipEraseBusyLimit{400000};

inline constexpr const char* kMsgSignature = "Electronic Signature = 0x%x.";
inline constexpr const char* kMsgStatusRegister = "Flash Status Register = 0x%x.";
inline constexpr const char* kMsgVerifyError = "Error verifying! Check connections and try again. Location %d.";
inline constexpr const char* kMsgSignatureUnknown =
    "Flash not recognised: electronic signature 0x%x.\nCheck connections and try again.";
inline constexpr const char* kMsgSignatureUnread =
    "Could not read the flash's electronic signature.\nCheck connections and try again.";
// The flash would wrap such a write inside its page and overwrite the page's start.
inline constexpr const char* kMsgPageCrossing =
    "Internal error: a page program of %d bytes at 0x%06X would cross a %u-byte page boundary.\n"
    "Nothing was written; the operation stops.";
inline constexpr const char* kMsgStillBusy =
    "The flash was still busy after %d seconds, so the operation was stopped.\nCheck connections and try again.";

// Highest byte address (capacity - 1) for a signature, or 0 when it is not in the table.
uint32_t FlashLastAddressForSignature(uint32_t signature);

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
// 1-256 bytes that stay inside one 256-byte page. The wait for the flash starts with
// idle clocks of the typical program time, so its first poll usually finds it done.
int32_t PageProgram(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data, int32_t count);
// Pages per USB round trip of ProgramPages: 8 KiB, so Cancel is looked at every 8 KiB
// and a batch's status bytes (one per page and one before) stay within what an
// FT2232D holds for the host.
inline constexpr int32_t kPagesPerBatch = 32;
// Programs `length` bytes from `address` (a page boundary) in batches: per page write
// enable, page program, idle clocks of the typical program time and a status read, all
// statuses collected with one round trip. A page counts as written only when the
// status before it found the flash idle and the one after it finds the program ended;
// from the first page without that proof the rest is sent again. Steps the progress
// once per written page. 0 = every page written; 6 = stopped (Cancel, or the flash
// stayed busy); else the failing adapter status. abortFlag is set on every failure.
int32_t ProgramPages(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                     size_t length);
int32_t ReadFlash(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, int32_t count);
void ChipErase(JobState& job, SpiLink& link, UserPort& port);
// Whether one bulk erase beats erasing `sectors` sectors one by one, by the chip's
// typical times. Never for a chip the table does not know.
bool BulkEraseIsFaster(const FlashChip* chip, int32_t sectors);
// The erase `mode` resolves to for an image of `sectors` sectors on the identified flash.
bool UseBulkErase(EraseMode mode, uint32_t flashLastAddress, int32_t sectors);
// Bulk erase (0xC7), waiting up to kChipEraseBusyLimit. With a popup the position moves
// from 0 towards `steps` over the chip's typical erase time and reaches `steps` only
// when the status says done. 0, 6 when stopped (Cancel, fault or still busy).
int32_t BulkErase(JobState& job, SpiLink& link, UserPort& port, int32_t steps);
// 0, or 6 when stopped.
int32_t EraseSectors(JobState& job, SpiLink& link, UserPort& port, uint32_t address, int32_t count);
// Image byte k belongs at flash address k. 1 = match, 0 = mismatch (reported), 6 = stopped:
// Cancel, or a read that failed (abortFlag is set then, nothing is reported).
int32_t VerifyFlash(JobState& job, SpiLink& link, UserPort& port, int32_t length, const uint8_t* data);

}  // namespace zorvek
