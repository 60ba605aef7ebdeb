// The described flash routines over the flash driver.
#include "operations/FlashRoutines.h"
#include "job/Translate.h"

#include <algorithm>

#include "job/TextFormat.h"
#include "operations/LinkFrames.h"

namespace zorvek {

using detail::LinkStatus;
using detail::SetFlashStatus;
using detail::Show;

namespace {

// A routine that gave up: abortFlag, and the one failure the person is told of here.
void Stop(JobState& job, SpiLink& link, UserPort& port, const Result& r) {
    link.writeRefused = link.writeRefused || r.fault == Fault::WriteProtected;
    job.abortFlag = 1;
    if (r.fault == Fault::StillBusy) Show(port, Format(kMsgStillBusy, static_cast<int>(r.value / 1000)));
    if (r.fault == Fault::WriteProtected) Show(port, Format(kMsgRefused, r.address));
}

}  // namespace

LinkFlash::LinkFlash(JobState& job, SpiLink& link, UserPort& port)
    : observer_(job, port),
      flash_(detail::AdapterOf(link), link.handle, IdentifiedChip(job), link.progress, &observer_, link.clockHz) {}

const FlashChip* IdentifiedChip(const JobState& job) {
    const FlashIdentity& id = job.flashIdentity;
    if (id.Identified() && id.chip.LastAddress() == job.flashLastAddress) return &id.chip;
    return FlashChipForLastAddress(job.flashLastAddress);
}

uint32_t FlashLastAddressForSignature(uint32_t signature) {
    const FlashChip* chip = FlashChipForSignature(signature);
    return chip ? chip->LastAddress() : 0;
}

int32_t ReadSignature(JobState& job, SpiLink& link, UserPort& port) {
    uint8_t signature = 0;
    const Result r = LinkFlash(job, link, port)->ReadSignature(signature);
    link.lastStatus = LinkStatus(r);
    if (job.verbose) {
        job.messageText = Format(kMsgSignature, signature);
        if (r) Show(port, job.messageText);
    }
    job.flashIdText = Format("0x%x", signature);
    port.exchangeToWindow();
    job.flashIdValue = signature;
    return link.lastStatus;
}

void IdentifyFlash(JobState& job, SpiLink& link, UserPort& port) {
    link.lastStatus = ReadSignature(job, link, port);
    if (link.lastStatus != 0) {
        // A failed read says nothing about the chip, whatever byte it left.
        job.abortFlag = 1;
        Show(port, kMsgSignatureUnread);
        return;
    }
    uint32_t lastAddress = FlashLastAddressForSignature(job.flashIdValue);
    if (lastAddress == 0) {
        job.abortFlag = 1;
        Show(port, Format(kMsgSignatureUnknown, job.flashIdValue));
        return;
    }
    job.flashLastAddress = lastAddress;
}

void IdentifyChip(JobState& job, SpiLink& link, UserPort& port) {
    FlashIdentity id;
    const Result r = LinkFlash(job, link, port)->Identify(id);
    link.lastStatus = LinkStatus(r);
    // The signature as IdentifyFlash reports it, whatever else was read.
    const uint8_t signature = id.signature.value_or(r.fault == Fault::Adapter ? 0 : 0xFF);
    if (job.verbose) {
        job.messageText = Format(kMsgSignature, signature);
        if (r.fault != Fault::Adapter) Show(port, job.messageText);
    }
    job.flashIdText = Format("0x%x", signature);
    port.exchangeToWindow();
    job.flashIdValue = signature;
    if (r.fault == Fault::Adapter || r.fault == Fault::Cancelled) {
        job.abortFlag = 1;
        Show(port, kMsgSignatureUnread);
        return;
    }
    if (r.fault == Fault::StillBusy) {
        job.abortFlag = 1;
        Show(port, Format(kMsgBusyAtIdentify, r.detail.c_str()));
        return;
    }
    if (r.fault == Fault::NotRecognised) {
        job.abortFlag = 1;
        if (!r.detail.empty() && r.value == id.jedecId && id.jedecId != 0)
            Show(port, Format(kMsgJedecUnknown, JedecIdText(id.jedecId).c_str(),
                              JedecMakerName(static_cast<uint8_t>(id.jedecId >> 16)), r.detail.c_str()));
        else if (!r.detail.empty())
            Show(port, Format(kMsgIdentityMismatch, r.detail.c_str()));
        else
            Show(port, Format(kMsgSignatureUnknown, static_cast<unsigned>(r.value)));
        return;
    }
    job.flashIdentity = id;
    job.flashLastAddress = id.chip.LastAddress();
    if (id.source == FlashFactsSource::Sfdp)
        Show(port, Format(kMsgUsingSfdp, JedecIdText(id.jedecId).c_str(), id.chip.maker,
                          CapacityText(id.chip.capacity).c_str(), id.chip.pageSize));
    ApplySpiClock(job, link, port);
}

int64_t SpiClockFor(const FlashChip* chip, int64_t wantedHz) {
    // Identification runs at the setup clock, which every chip takes; above it only
    // a chip whose limits are known, and FAST_READ's limit is the highest of them.
    if (chip == nullptr || chip->fastReadMaxHz == 0) return std::min<int64_t>(wantedHz, kDefaultSpiClockHz);
    return std::min<int64_t>(wantedHz, chip->fastReadMaxHz);
}

void ApplySpiClock(JobState& job, SpiLink& link, UserPort& port, int32_t wantedHz) {
    if (link.handle == 0 || link.adapter == nullptr) return;
    const auto wanted =
        static_cast<int32_t>(SpiClockFor(IdentifiedChip(job), wantedHz > 0 ? wantedHz : job.spiClockHz));
    if (wanted == link.clockHz) return;
    int32_t hz = 0;
    link.lastStatus = link.adapter->AdapterSetClock(link.handle, wanted, hz);
    if (link.lastStatus != kAdapterOk || hz <= 0) {
        // An adapter that cannot change its clock keeps the one it was set up with.
        if (link.lastStatus == kAdapterInvalidParameter) link.lastStatus = kAdapterOk;
        return;
    }
    link.clockHz = hz;
    if (job.verbose) Show(port, Format(kMsgSpiClock, hz / 1e6, wanted / 1e6));
}

std::string ProtectionText(const FlashIdentity& id) {
    const FlashRange range = id.Protected();
    std::string text = range.Empty() ? std::string("none")
                                     : Format("0x%06X-0x%06X (%s)", range.begin, range.end - 1,
                                              CapacityText(range.end - range.begin).c_str());
    text += Format(", status register 0x%02X", id.status1);
    if (id.chip.statusRegister2) text += Format(" 0x%02X", id.status2);
    if (id.status1 & kStatusRegisterProtect) text += ", SRWD set";
    return text;
}

std::string IdentitySummary(const FlashIdentity& id) {
    return Format("Flash: %s %s, JEDEC ID %s, %s, signature %s, protected: %s (%s)", id.chip.maker, id.chip.name,
                  JedecIdText(id.jedecId).c_str(), CapacityText(id.chip.capacity).c_str(),
                  id.signature ? Format("0x%02X", *id.signature).c_str() : "none", ProtectionText(id).c_str(),
                  FactsSourceName(id.source));
}

bool LiftWriteProtection(JobState& job, SpiLink& link, UserPort& port) {
    if (job.abortFlag) return false;
    const FlashIdentity& id = job.flashIdentity;
    if (IdentifiedChip(job) != &id.chip || !id.ProtectionBitsSet()) return true;
    // A Cancel in the middle would leave the bits cleared with nobody to put them back.
    ProgressPort* const progress = link.progress;
    link.progress = nullptr;
    const Result r = LinkFlash(job, link, port)->LiftProtection(id);
    link.progress = progress;
    link.lastStatus = LinkStatus(r);
    if (r.fault == Fault::WriteProtected) {
        job.abortFlag = 1;
        link.writeRefused = true;
        Show(port, Format(kMsgWriteProtected, r.detail.c_str()));
        return false;
    }
    if (!r) {
        Stop(job, link, port, r);
        return false;
    }
    if (job.verbose) Show(port, Format(kMsgProtectionLifted, id.status1));
    return true;
}

void RestoreWriteProtection(JobState& job, SpiLink& link, UserPort& port) {
    const FlashIdentity& id = job.flashIdentity;
    if (IdentifiedChip(job) != &id.chip || !id.ProtectionBitsSet() || link.handle == 0) return;
    // Cancel has been seen by now; the restore must not stop for it.
    ProgressPort* const progress = link.progress;
    link.progress = nullptr;
    const Result r = LinkFlash(job, link, port)->RestoreProtection(id);
    link.progress = progress;
    link.lastStatus = LinkStatus(r);
    Show(port, r ? Format(kMsgProtectionRestored, id.status1)
                 : Format(kMsgProtectionNotRestored, id.status1, Describe(r).c_str()));
}

int32_t WriteEnable(JobState& job, SpiLink& link, UserPort& port) {
    link.lastStatus = LinkStatus(LinkFlash(job, link, port)->WriteEnable());
    return link.lastStatus;
}

bool WaitWhileBusy(JobState& job, SpiLink& link, UserPort& port, std::chrono::milliseconds limit) {
    const Result r = LinkFlash(job, link, port)->WaitWhileBusy(limit);
    link.lastStatus = LinkStatus(r);
    if (!r) Stop(job, link, port, r);
    return r.ok();
}

int32_t PageProgramIdleBytes(uint32_t flashLastAddress, int32_t clockHz) {
    return SpiFlash::PageProgramIdleBytes(FlashChipForLastAddress(flashLastAddress), clockHz);
}

int32_t PageProgram(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                    int32_t count) {
    if (job.abortFlag) return kStopped;
    const Result r = LinkFlash(job, link, port)->PageProgram(address, data, count);
    link.lastStatus = LinkStatus(r);
    if (r.fault == Fault::InvalidArgument) return link.lastStatus;
    if (r.fault == Fault::PageCrossing) {
        job.abortFlag = 1;
        Show(port, Format(kMsgPageCrossing, count, address, kFlashPageSize));
        return link.lastStatus;
    }
    if (r) return 0;
    // A chip that never finished is no adapter fault, but it is no success either.
    Stop(job, link, port, r);
    return link.lastStatus != 0 ? link.lastStatus : kStopped;
}

int32_t ProgramPages(JobState& job, SpiLink& link, UserPort& port, uint32_t address, const uint8_t* data,
                     size_t length) {
    if (job.abortFlag) return kStopped;
    const Result r = LinkFlash(job, link, port)->ProgramPages(address, data, length);
    if (r) return 0;
    link.lastStatus = LinkStatus(r);
    Stop(job, link, port, r);
    return link.lastStatus != 0 ? link.lastStatus : kStopped;
}

int32_t ReadFlash(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, int32_t count) {
    link.lastStatus = LinkStatus(LinkFlash(job, link, port)->Read(address, buffer, count));
    return link.lastStatus;
}

void ChipErase(JobState& job, SpiLink& link, UserPort& port) {
    const Result r = LinkFlash(job, link, port)->EraseChip();
    link.lastStatus = LinkStatus(r);
    if (!r) Stop(job, link, port, r);
    SetFlashStatus(job, port, "");
}

bool BulkEraseIsFaster(const FlashChip* chip, int32_t sectors) {
    if (chip == nullptr || chip->sectorEraseTypical.count() <= 0 || chip->bulkEraseTypical.count() <= 0) return false;
    return sectors * chip->sectorEraseTypical >= chip->bulkEraseTypical;
}

bool UseBulkErase(EraseMode mode, uint32_t flashLastAddress, int32_t sectors) {
    switch (mode) {
        case EraseMode::Chip:
            return true;
        case EraseMode::Auto:
            return BulkEraseIsFaster(FlashChipForLastAddress(flashLastAddress), sectors);
        case EraseMode::Sectors:
            break;
    }
    return false;
}

// 0 when the erase ended, 6 when it stopped; a stopped erase leaves its window text.
template <typename Erase>
int32_t RunErase(JobState& job, SpiLink& link, UserPort& port, Erase erase) {
    if (job.abortFlag) return kStopped;
    LinkFlash flash(job, link, port);
    const Result r = erase(*flash.operator->());
    link.lastStatus = LinkStatus(r);
    if (!r) {
        Stop(job, link, port, r);
        return kStopped;
    }
    SetFlashStatus(job, port, "");
    return 0;
}

int32_t BulkErase(JobState& job, SpiLink& link, UserPort& port, int32_t steps) {
    return RunErase(job, link, port, [steps](SpiFlash& flash) { return flash.EraseChip(steps); });
}

int32_t EraseSectors(JobState& job, SpiLink& link, UserPort& port, uint32_t address, int32_t count) {
    return RunErase(job, link, port, [=](SpiFlash& flash) { return flash.EraseSectors(address, count); });
}

int32_t VerifyFlash(JobState& job, SpiLink& link, UserPort& port, int32_t length, const uint8_t* data) {
    SetFlashStatus(job, port, ZT("Verifying"));
    if (job.abortFlag) return kStopped;
    const Result r =
        LinkFlash(job, link, port)->Verify(data, static_cast<size_t>(std::max(length, 0)), link.verifyFrameBytes);
    if (r) return 1;
    if (r.fault == Fault::Mismatch) {
        ReportVerifyMismatch(job, link, port, r.address);
        return 0;
    }
    // Nothing is known about a block that could not be read back: that is a
    // stopped run, not a difference.
    link.lastStatus = LinkStatus(r);
    job.abortFlag = 1;
    return kStopped;
}

void ReportVerifyMismatch(JobState& job, SpiLink& link, UserPort& port, uint32_t address) {
    job.messageText = Format(kMsgVerifyError, static_cast<int>(address));
    job.flashStatusText.clear();
    port.exchangeToWindow();
    if (link.progress) link.progress->Hide();
    Show(port, job.messageText);
}

int32_t ReadFlashRange(JobState& job, SpiLink& link, UserPort& port, uint32_t address, uint8_t* buffer, size_t length,
                       bool stepEachFrame) {
    const auto frame = static_cast<size_t>(std::max<int32_t>(link.verifyFrameBytes, 256));
    for (size_t done = 0; done < length; done += frame) {
        if (job.abortFlag) return kStopped;
        if (link.progress) {
            link.progress->PumpMessages(true);
            if (link.progress->IsCancelled()) {
                job.abortFlag = 1;
                return kStopped;
            }
        }
        const auto count = static_cast<int32_t>(std::min(frame, length - done));
        if (ReadFlash(job, link, port, address + static_cast<uint32_t>(done), buffer + done, count) != 0) {
            job.abortFlag = 1;  // nothing is known of what could not be read
            return kStopped;
        }
        if (link.progress && stepEachFrame) link.progress->Step();
    }
    return 0;
}

int32_t ReadFrameCount(const SpiLink& link, size_t length) {
    const auto frame = static_cast<size_t>(std::max<int32_t>(link.verifyFrameBytes, 256));
    return static_cast<int32_t>((length + frame - 1) / frame);
}

}  // namespace zorvek
