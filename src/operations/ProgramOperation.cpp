#include <algorithm>

#include "audio/AudioPipeline.h"
#include "job/Translate.h"
#include "audio/Resampler.h"
#include "image/ImageBuilder.h"
#include "image/SlotCodes.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

// "Message 5: 3.2 s too long": the message that crosses the flash's end (an
// empty row's silence pushed out counts against the message before it), and
// how much playing time the job must lose.
std::string TooBigDetail(const JobState& job, const PreparedAudio& audio) {
    uint64_t end = kAudioStart;
    int crossing = 0, lastWithFile = 0;
    for (int s = 1; s <= kSlotCount; ++s) {
        if (!IsDistinctSlot(job, s)) continue;
        end += audio.PackedSize(s);
        if (crossing == 0 && !job.slot(s).wavPath.empty()) lastWithFile = s;
        if (crossing == 0 && end > job.flashLastAddress) crossing = lastWithFile ? lastWithFile : s;
    }
    const double over = static_cast<double>(end - job.flashLastAddress) * 2.0 / 3.0 / kSirenSampleRate;
    return Format(kMsgTooBigDetail, slotInfo(crossing == 0 ? 1 : crossing).messageNumber, std::max(0.1, over));
}

}  // namespace

OperationOutcome SirenOperations::OpenAndIdentify() {
    SetupUsb(job_, link_, port_);
    if (job_.abortFlag) return OperationOutcome::NoAdapter;
    IdentifyChip(job_, link_, port_);
    if (job_.abortFlag) {
        CloseUsb(job_, link_, port_);
        return OperationOutcome::Failed;
    }
    return OperationOutcome::Success;
}

OperationOutcome SirenOperations::ProgramCommand(const ProgramRequest& request) {
    if (request.verify) job_.verify = *request.verify ? 1 : 0;  // the window shows it
    job_.abortFlag = 0;
    const OperationOutcome opened = OpenAndIdentify();
    if (opened != OperationOutcome::Success) return opened;
    UsbSession session(job_, link_, port_);
    return ProgramSiren(request);
}

OperationOutcome SirenOperations::PrepareImage(PreparedAudio& audio, FlashImage& image) {
    // A setting the siren cannot store must stop the run before anything is converted or erased.
    if (!CheckSlotSettings(job_, port_)) return OperationOutcome::Failed;
    if (!PrepareMessageAudio(job_, port_, audio)) return OperationOutcome::Failed;

    const uint64_t length = kAudioStart + audio.audioTotal;
    if (length > job_.flashLastAddress) {
        port_.ShowMessage(std::string(kMsgTooBig) + "\n" + TooBigDetail(job_, audio), kProgramTitle, MessageIcon::None);
        return OperationOutcome::Failed;
    }
    if (job_.verbose) port_.ShowMessage(kMsgEnoughSpace, kProgramTitle, MessageIcon::None);

    SlotAudioSet slots{};
    for (int s = 1; s <= kSlotCount; ++s) {
        slots[static_cast<size_t>(s - 1)].packed = {audio.PackedBytes(s), audio.PackedSize(s)};
        slots[static_cast<size_t>(s - 1)].sampleRate = audio.SampleRate(s);
    }
    std::string problem;
    if (BuildFlashImage(job_, slots, image, &problem) != kImageBuilt) {
        port_.ShowMessage(problem + "\n" + kMsgNotProgrammed, kProgramTitle, MessageIcon::Stop);
        return OperationOutcome::Failed;
    }
    ApplyFirmware(job_, port_, image);
    return OperationOutcome::Success;
}

OperationOutcome SirenOperations::BuildImage(FlashImage& image) {
    PreparedAudio audio;
    const OperationOutcome outcome = PrepareImage(audio, image);
    RemoveTemporaryFiles(job_, port_, audio);  // on every way out, a failed conversion too
    audio.Release();
    return outcome;
}

OperationOutcome SirenOperations::ProgramSiren(const ProgramRequest& request) {
    PreparedAudio audio;
    FlashImage image;
    const OperationOutcome prepared = PrepareImage(audio, image);
    if (prepared != OperationOutcome::Success) {
        RemoveTemporaryFiles(job_, port_, audio);
        return prepared;
    }

    job_.abortFlag = 0;
    ProgressScope progress(link_, port_);
    progress->BeginModal(ZT("Progress"), false);

    const WritePlan plan{request.verify.value_or(job_.verify != 0), request.erase.value_or(job_.eraseMode),
                         request.writeChanged.value_or(job_.writeChanged)};
    const FlashWriteResult written =
        EraseProgramVerify(job_, link_, port_, progress, image.data(), image.size(), plan);

    job_.flashIdText.clear();
    job_.flashStatusText.clear();
    port_.exchangeToWindow();
    image = FlashImage();
    RemoveTemporaryFiles(job_, port_, audio);
    progress.Destroy();
    audio.Release();

    return OutcomeOfWrite(written, port_, kMsgProgrammingIncomplete);
}

OperationOutcome OutcomeOfWrite(const FlashWriteResult& written, UserPort& port, const char* incompleteMessage) {
    if (written.cancelled) return OperationOutcome::Cancelled;
    if (written.refused) return OperationOutcome::Failed;  // the protection message said it all
    if (written.stopped) {
        port.ShowMessage(written.unverified ? kMsgNotVerified : incompleteMessage, kProgramTitle, MessageIcon::Stop);
        return OperationOutcome::Failed;
    }
    if (written.verified == 0) return OperationOutcome::VerifyFailed;
    return OperationOutcome::Success;
}

FlashWriteResult EraseProgramVerify(JobState& job, SpiLink& link, UserPort& port, ProgressScope& progress,
                                    const uint8_t* data, size_t length, const WritePlan& plan) {
    // A Cancel that came before the popup (Ctrl-C on a terminal while the
    // work before it ran) stops the run before the first erase.
    progress->PumpMessages(true);
    if (progress->IsCancelled()) job.abortFlag = 1;
    job.lastWrite = {};
    if (plan.changedOnly) {
        const FlashWriteResult changed = WriteChangedOnly(job, link, port, progress, data, length, plan);
        job.lastWrite = changed.counts;
        return changed;
    }

    FlashWriteResult result;
    link.writeRefused = false;
    // A protected chip ignores erase and program: lift the protection first, or
    // stop before anything is erased.
    const bool lifting = !job.abortFlag;
    if (lifting && !LiftWriteProtection(job, link, port)) {
        result.stopped = true;
        result.refused = link.writeRefused;
        return result;
    }
    const uint32_t sectorSize = IdentifiedChip(job) ? IdentifiedChip(job)->sectorSize : kFlashSectorSize;
    // The sectors the image touches, no more: one more would wrap to sector 0 on a full image.
    const int sectors = static_cast<int>((length + sectorSize - 1) / sectorSize);
    progress->SetRange(0, sectors, 1);
    progress->SetText(ZT("Erasing..."));
    if (UseBulkErase(plan.erase, job.flashLastAddress, sectors))
        BulkErase(job, link, port, sectors);
    else
        EraseSectors(job, link, port, 0, sectors);

    job.flashStatusText = ZT("Programming");
    port.exchangeToWindow();
    progress->SetRange(0, sectors * 256, 1);
    progress->SetText(ZT("Programming..."));
    progress->SetStepBytes(static_cast<int>(kFlashPageSize));
    ProgramPages(job, link, port, 0, data, length);

    if (plan.verify && !job.abortFlag) {
        progress->SetPosition(1);
        progress->SetText(ZT("Verifying..."));
        progress->SetStepBytes(static_cast<int>(kFlashPageSize));
        result.verified = VerifyFlash(job, link, port, static_cast<int32_t>(length), data);
    }
    result.stopped = job.abortFlag != 0;
    result.cancelled = progress.Cancelled();
    // Protection was named already; "stopped answering" would send the person to the cables.
    result.refused = link.writeRefused && !result.cancelled;
    if (lifting) RestoreWriteProtection(job, link, port);
    result.unverified = result.verified == kStopped && !result.cancelled;
    const uint32_t pageSize = IdentifiedChip(job) ? IdentifiedChip(job)->pageSize : kFlashPageSize;
    result.counts = {sectors, static_cast<int32_t>((length + pageSize - 1) / pageSize), 0};
    job.lastWrite = result.counts;
    return result;
}

}  // namespace zorvek
