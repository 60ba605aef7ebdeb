#pragma once
// The serial flash driver: the flash's commands over an open adapter, with one
// wait-while-busy, one Cancel check and one result type. It knows nothing of
// the window or the job; the operations word its results.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "job/FlashChips.h"
#include "job/FlashIdentity.h"
#include "job/ProgressPort.h"
#include "job/Result.h"
#include "spi/SpiAdapter.h"

namespace zorvek {

// What a flash command tells whoever runs it besides its result; every call optional.
class FlashObserver {
public:
    virtual ~FlashObserver() = default;
    // Each status register value read while waiting or proving pages (diagnostics).
    virtual void StatusRead(uint8_t /*status*/) {}
    // An erase command is about to go out.
    virtual void EraseStarting() {}
};

// Pages per USB round trip of ProgramPages: 8 KiB, so Cancel is looked at every 8 KiB
// and a batch's status bytes (one per page and one before) stay within what an
// FT2232D holds for the host.
inline constexpr int32_t kPagesPerBatch = 32;

class SpiFlash {
public:
    // `chip` null: not identified yet, or a size the table does not know; waits
    // then allow the table's longest times. `progress` null: nothing to step and no Cancel.
    SpiFlash(SpiAdapter& adapter, uint32_t handle, const FlashChip* chip = nullptr, ProgressPort* progress = nullptr,
             FlashObserver* observer = nullptr, int32_t clockHz = 0);

    // Read Electronic Signature (0xAB, three dummy bytes): the one answer byte.
    Result ReadSignature(uint8_t& signature);
    // Read Identification (0x9F): maker, memory type and density, most significant first.
    Result ReadJedecId(uint32_t& jedecId);
    // `count` bytes of the SFDP tables from `address` (0x5A, one dummy byte).
    Result ReadSfdp(uint32_t address, uint8_t* buffer, int32_t count);
    // Status register 1, and 2 where the chip has one (else 0).
    Result ReadStatusRegisters(uint8_t& status1, uint8_t& status2);
    // Write enable, seen set, then Write Status Register with one byte, or two where
    // the chip's second register must be kept; waits and reads back.
    // WriteProtected when the latch does not set or the bits read back differ.
    Result WriteStatusRegisters(uint8_t status1, uint8_t status2);
    // JEDEC ID first: a table chip by it; no answer to it (old M25P parts), a table
    // chip by the RES signature; an ID the table does not know, the chip's SFDP
    // tables. Then the status registers. NotRecognised (`value` the RES byte, or
    // the JEDEC ID with `detail` saying why) when none of these names the chip.
    Result Identify(FlashIdentity& identity);
    // Clears the protection bits the identity found set, keeping every other bit.
    // WriteProtected when they do not clear (SRWD with WP low, or a locked register).
    Result LiftProtection(const FlashIdentity& identity);
    // Puts the status registers back as the identity found them.
    Result RestoreProtection(const FlashIdentity& identity);
    Result WriteEnable();
    // Polls the status register until the flash is idle. Cancel is looked at before
    // every poll, but the poll still goes out, so a broken link shows as such.
    // `paced`: for erases and status writes, which take many milliseconds; see PollPause.
    Result WaitWhileBusy(std::chrono::milliseconds limit, bool paced = false);
    // 1 to a page of bytes inside one page, then the wait; idle clocks of the
    // typical program time go first, so the first poll usually finds it done.
    Result PageProgram(uint32_t address, const uint8_t* data, int32_t count);
    // `length` bytes from a page boundary, pipelined: per page write enable, page
    // program, idle clocks and a status read, a batch's statuses collected with
    // one round trip. A page counts as written only when the status before it found
    // the flash idle and the one after it finds the program ended (write-enable
    // latch clear); from the first page without that proof the rest is sent again.
    // Steps the progress once per written page.
    Result ProgramPages(uint32_t address, const uint8_t* data, size_t length);
    Result Read(uint32_t address, uint8_t* buffer, int32_t count);
    // `count` sectors from `address`, each with its own wait; steps once per sector.
    Result EraseSectors(uint32_t address, int32_t count);
    // Bulk erase. With progress, the position moves from 0 towards `steps` over the
    // chip's typical erase time and reaches `steps` only when the status says done.
    Result EraseChip(int32_t steps = 0);
    // Reads back and compares `length` bytes from address 0 in frames of `frameBytes`,
    // stepping once per page; Mismatch names the first differing address.
    Result Verify(const uint8_t* data, size_t length, int32_t frameBytes);

    // Bytes clocked at `clockHz` (0: the setup clock) that last the chip's typical
    // page program time (the table's longest for an unknown chip).
    static int32_t PageProgramIdleBytes(const FlashChip* chip, int32_t clockHz);

    const FlashChip* Chip() const { return chip_; }
    uint32_t PageSize() const { return chip_ ? chip_->pageSize : kFlashPageSize; }
    uint32_t SectorSize() const { return chip_ ? chip_->sectorSize : kFlashSectorSize; }
    uint8_t SectorEraseOpcode() const { return chip_ ? chip_->sectorEraseOpcode : uint8_t{kCmdSectorErase}; }

private:
    Result Write(const uint8_t* control, int32_t controlCount, const uint8_t* data = nullptr, int32_t dataCount = 0);
    Result Query(const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count);
    Result ReadStatus(uint8_t& status);
    // WaitWhileBusy that also hands back the first status it read.
    Result Wait(std::chrono::milliseconds limit, uint8_t* first, bool paced = false);
    // Before the second and later polls of a long wait: a millisecond of idle clocks,
    // which ride with the poll in the same USB write, so a high-speed adapter asks
    // about once a millisecond instead of once a microframe. Only where the adapter
    // pauses without sending the idle bytes: elsewhere a round trip is long enough.
    void PollPause();
    // After a program or erase whose first status showed the flash idle: the chip
    // either refused it (latch still set) or finished it; `probe` is read back to
    // tell a refusal that also cleared the latch.
    Result CheckTaken(uint8_t firstStatus, uint32_t probe);
    bool CancelRequested();
    void Step();

    SpiAdapter& adapter_;
    uint32_t handle_;
    const FlashChip* chip_;
    ProgressPort* progress_;
    FlashObserver* observer_;
    FlashObserver silent_;
    int32_t clockHz_;
};

// The three address bytes of a command, most significant first.
void AddressBytes(uint8_t* out, uint32_t address);
// One chip-select frame that writes `control` and then `data` (none: `dataCount` 0).
WriteFrame MakeWriteFrame(const uint8_t* control, int32_t controlCount, const uint8_t* data, int32_t dataCount);
// One chip-select frame that writes `control` and then reads `count` bytes into `buffer`.
ReadFrame MakeReadFrame(const uint8_t* control, int32_t controlCount, uint8_t* buffer, int32_t count);

}  // namespace zorvek
