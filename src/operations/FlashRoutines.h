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

inline constexpr const char* kMsgJedecUnknown =
    ZT("Flash not recognised: JEDEC ID %s (%s) is not in the chip table, and the flash reports no usable "
    "SFDP parameters (%s).\nNothing was erased or written.");
inline constexpr const char* kMsgBusyAtIdentify =
    ZT("The flash is still busy with an erase or write an earlier run started (%s), so it "
    "cannot be identified yet.\nA whole-chip erase can take a minute or more: wait, then try again.");
inline constexpr const char* kMsgIdentityMismatch =
    ZT("Flash not recognised: %s.\nCheck connections and try again.");
inline constexpr const char* kMsgUsingSfdp =
    ZT("The flash (JEDEC ID %s, %s) is not in the chip table, using the parameters it reports: %s, %u-byte pages.");
inline constexpr const char* kMsgWriteProtected =
    ZT("The flash is write-protected (%s), so nothing was erased or written.\n"
    "Check the siren's WP line (it must be high to change the protection) and whether its firmware locks the "
    "flash, then try again.");
inline constexpr const char* kMsgRefused =
    ZT("The flash did not accept the erase or program at 0x%06X: it is write-protected there.\n"
    "Check the siren's WP line and whether its firmware locks the flash, then try again.");
inline constexpr const char* kMsgSpiClock = ZT("SPI clock %.2f MHz (asked for %.2f MHz).");
inline constexpr const char* kMsgProtectionLifted = ZT("Flash block protection lifted (status register was 0x%02X).");
inline constexpr const char* kMsgProtectionRestored =
    ZT("The flash's block protection was lifted for writing and has been restored (status register 0x%02X).");
inline constexpr const char* kMsgProtectionNotRestored =
    ZT("The flash's block protection (status register 0x%02X) could not be restored: %s.");

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
// The RES signature alone, as the M25P family is identified.
void IdentifyFlash(JobState& job, SpiLink& link, UserPort& port);
// JEDEC ID, RES signature and, for a chip the table does not know, its SFDP tables;
// then the status registers. Fills `job.flashIdentity` and the signature fields
// IdentifyFlash fills; on failure abortFlag is set and the person was told.
void IdentifyChip(JobState& job, SpiLink& link, UserPort& port);
// The SPI clock for a chip (null: not identified) when `wantedHz` is asked for:
// never above the chip's FAST_READ limit (reads above its READ limit go out as
// FAST_READ), nor above the setup clock for a chip whose limits are unknown.
int64_t SpiClockFor(const FlashChip* chip, int64_t wantedHz);
// After identification: the job's SPI clock as the chip and the adapter allow it
// (link.clockHz is then the clock running). IdentifyChip does this itself.
// `wantedHz` > 0 asks for that clock instead of the job's.
void ApplySpiClock(JobState& job, SpiLink& link, UserPort& port, int32_t wantedHz = 0);
// Before the first erase of a write: clears the block-protect bits identification
// found set. False (told, abortFlag set) when the flash stays write-protected.
bool LiftWriteProtection(JobState& job, SpiLink& link, UserPort& port);
// After the write, however it ended: the protection bits as found, and says so.
void RestoreWriteProtection(JobState& job, SpiLink& link, UserPort& port);
// "none", or "0x1F0000-0x1FFFFF (64 KiB), status register 0x04" style text.
std::string ProtectionText(const FlashIdentity& identity);
// One line for the window: maker, part, JEDEC ID, capacity, signature, protection, source.
std::string IdentitySummary(const FlashIdentity& identity);
// The identified chip: the full identification's, else the table's for the capacity.
const FlashChip* IdentifiedChip(const JobState& job);
int32_t ReadSignature(JobState& job, SpiLink& link, UserPort& port);
int32_t WriteEnable(JobState& job, SpiLink& link, UserPort& port);
// Polls until the flash is idle. False when it gave up: Cancel, a failed read, or
// the flash busy longer than `limit`; abortFlag is set then.
bool WaitWhileBusy(JobState& job, SpiLink& link, UserPort& port,
                   std::chrono::milliseconds limit = kSectorEraseBusyLimit);
// Bytes clocked at `clockHz` (0: the setup clock) that last the typical page program
// time of a flash whose highest address is `flashLastAddress` (0: not identified).
int32_t PageProgramIdleBytes(uint32_t flashLastAddress, int32_t clockHz);
// 1-256 bytes that stay inside one 256-byte page. 0, the failing adapter status,
// or 6 when stopped (the flash stayed busy, or abortFlag was already set).
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

// Says a read-back difference at `address` as VerifyFlash does.
void ReportVerifyMismatch(JobState& job, SpiLink& link, UserPort& port, uint32_t address);
// `length` bytes from `address` in frames of the link's verify frame, looking at
// Cancel before and stepping the popup after each. 0, or 6 when stopped (Cancel or a
// failed read; abortFlag is set then, nothing is said).
int32_t ReadFlashRange(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, size_t length,
                       bool stepEachFrame = true);
// The popup steps ReadFlashRange takes for `length` bytes.
int32_t ReadFrameCount(const SpiLink& link, size_t length);

}  // namespace zorvek
