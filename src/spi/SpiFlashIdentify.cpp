// The flash driver's identification (JEDEC ID, RES signature, SFDP) and its
// status register writes, which lift and restore block protection.
#include <vector>

#include "job/TextFormat.h"
#include "spi/Sfdp.h"
#include "spi/SpiFlash.h"

namespace zorvek {

namespace {

Result NotRecognised(int64_t value, std::string detail = {}) {
    Result r = Result::Failure(Fault::NotRecognised, std::move(detail));
    r.value = value;
    return r;
}

// No chip drives data out for an instruction it lacks: all ones, or all zeros
// behind a pull-down.
bool NoAnswer(uint32_t jedecId) {
    return jedecId == 0 || jedecId == 0xFFFFFF;
}

}  // namespace

Result SpiFlash::ReadJedecId(uint32_t& jedecId) {
    const uint8_t control[] = {kCmdReadJedecId};
    uint8_t id[3] = {};
    jedecId = 0;
    Result r = Query(control, sizeof control, id, sizeof id);
    if (r) jedecId = (uint32_t{id[0]} << 16) | (uint32_t{id[1]} << 8) | id[2];
    return r;
}

Result SpiFlash::ReadSfdp(uint32_t address, uint8_t* buffer, int32_t count) {
    if (count < 1 || buffer == nullptr) return Result::Failure(Fault::InvalidArgument);
    uint8_t control[5] = {kCmdReadSfdp, 0, 0, 0, 0};
    AddressBytes(control + 1, address);
    return Query(control, sizeof control, buffer, count);
}

Result SpiFlash::ReadStatusRegisters(uint8_t& status1, uint8_t& status2) {
    status2 = 0;
    // Not one of the polls the observer is told of: these are facts, not waiting.
    const uint8_t read1[] = {kCmdReadStatus};
    if (Result r = Query(read1, sizeof read1, &status1, 1); !r) return r;
    if (!chip_ || !chip_->statusRegister2) return Result::Ok();
    const uint8_t control[] = {kCmdReadStatus2};
    return Query(control, sizeof control, &status2, 1);
}

Result SpiFlash::WriteStatusRegisters(uint8_t status1, uint8_t status2) {
    if (Result r = WriteEnable(); !r) return r;
    uint8_t latch = 0;
    if (Result r = ReadStatus(latch); !r) return r;
    if ((latch & kStatusWriteEnabled) == 0)
        return Result::Failure(Fault::WriteProtected, "the write-enable latch did not set");
    const bool two = chip_ && chip_->statusRegister2;
    const uint8_t control[] = {kCmdWriteStatus, status1, status2};
    if (Result r = Write(control, two ? 3 : 2); !r) return r;
    const auto maximum = chip_ ? chip_->statusWriteMax : std::chrono::milliseconds(100);
    if (Result r = WaitWhileBusy(std::max(std::chrono::milliseconds(1000), 10 * maximum), true); !r) return r;
    uint8_t back1 = 0, back2 = 0;
    if (Result r = ReadStatusRegisters(back1, back2); !r) return r;
    // The busy and latch bits are the chip's own; the rest must read back as written.
    const uint8_t mask1 = static_cast<uint8_t>(~(kStatusBusy | kStatusWriteEnabled));
    if ((back1 & mask1) != (status1 & mask1) || (two && back2 != status2)) {
        Result r = Result::Failure(
            Fault::WriteProtected,
            Format("the status register reads 0x%02X after writing 0x%02X", back1, status1));
        r.value = back1;
        return r;
    }
    return Result::Ok();
}

Result SpiFlash::Identify(FlashIdentity& identity) {
    identity = FlashIdentity{};
    uint32_t jedec = 0;
    if (Result r = ReadJedecId(jedec); !r) return r;
    identity.jedecId = jedec;
    uint8_t signature = 0;
    if (Result r = ReadSignature(signature); !r) return r;
    const bool answered = signature != 0xFF && signature != 0x00;
    if (answered) identity.signature = signature;

    if (const FlashChip* chip = NoAnswer(jedec) ? nullptr : FlashChipForJedecId(jedec)) {
        // Both answers come from the same die; a RES byte that disagrees says the
        // bus is not what it seems.
        if (chip->signature != 0 && signature != chip->signature)
            return NotRecognised(signature, Format("the JEDEC ID %s is the %s %s, whose electronic signature is 0x%02X",
                                                   JedecIdText(jedec).c_str(), chip->maker, chip->name,
                                                   chip->signature));
        identity.chip = *chip;
        identity.source = FlashFactsSource::Table;
    } else if (NoAnswer(jedec)) {
        const FlashChip* bySignature = FlashChipForSignature(signature);
        if (!bySignature) {
            // No flash, or one still erasing or programming for an earlier run (one
            // stopped while the chip worked on): that one answers only status reads.
            uint8_t status = 0;
            if (Result r = ReadStatus(status); !r) return r;
            if (status != 0xFF && (status & kStatusBusy))
                return Result::Failure(Fault::StillBusy, Format("status register 0x%02X", status));
            return NotRecognised(signature);
        }
        identity.chip = *bySignature;
        identity.source = FlashFactsSource::Signature;
    } else {
        std::vector<uint8_t> sfdp(kSfdpHeaderBytes);
        if (Result r = ReadSfdp(0, sfdp.data(), static_cast<int32_t>(sfdp.size())); !r) return r;
        const size_t needed = SfdpBytesNeeded(sfdp.data(), sfdp.size());
        if (needed == 0) return NotRecognised(jedec, "no SFDP parameters");
        sfdp.resize(needed);
        if (Result r = ReadSfdp(0, sfdp.data(), static_cast<int32_t>(sfdp.size())); !r) return r;
        SfdpParameters p;
        if (Result r = ParseSfdp(sfdp.data(), sfdp.size(), p); !r) return NotRecognised(jedec, r.detail);
        identity.chip = ChipFromParameters(jedec, p.capacity, p.pageSize, p.erase64k);
        identity.source = FlashFactsSource::Sfdp;
    }
    chip_ = &identity.chip;
    return ReadStatusRegisters(identity.status1, identity.status2);
}

Result SpiFlash::LiftProtection(const FlashIdentity& identity) {
    if (!identity.ProtectionBitsSet()) return Result::Ok();
    const FlashProtection& p = identity.chip.protection;
    const auto status1 = static_cast<uint8_t>(identity.status1 & ~p.Bits1() & ~(kStatusBusy | kStatusWriteEnabled));
    const auto status2 = static_cast<uint8_t>(identity.status2 & ~p.Bits2());
    Result r = WriteStatusRegisters(status1, status2);
    if (!r && r.fault == Fault::WriteProtected && (identity.status1 & kStatusRegisterProtect))
        r.detail = "the status register is write-disabled (SRWD) and the WP pin is held low";
    return r;
}

Result SpiFlash::RestoreProtection(const FlashIdentity& identity) {
    if (!identity.ProtectionBitsSet()) return Result::Ok();
    return WriteStatusRegisters(static_cast<uint8_t>(identity.status1 & ~(kStatusBusy | kStatusWriteEnabled)),
                                identity.status2);
}

}  // namespace zorvek
