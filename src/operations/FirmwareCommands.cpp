#include <filesystem>
#include <optional>
#include <vector>

#include "files/FirmwareRecoveryFile.h"
#include "job/Translate.h"
#include "image/FirmwareHexLoader.h"
#include "job/Paths.h"
#include "job/TextFormat.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "operations/FlashRoutines.h"

namespace zorvek {
namespace {

constexpr uint32_t kFirmwareReadBack = 0x10000;  // the first sector: table, settings, firmware

}  // namespace

std::optional<std::string> SirenOperations::ChooseFirmwareFile(const std::optional<std::string>& given) {
    auto path = given ? given : port_.ChooseOpenFile(FileDialogOptions::ForOpening(kHexFilter, "hex", job_.hexFolder));
    if (path) {
        job_.firmwarePath = *path;
        job_.hexFolder = FolderOfChosenFile(*path);
    }
    return path;
}

void SirenOperations::ToggleFirmwareUpdate() {
    if (job_.firmwareUpdate) {
        job_.firmwareUpdate = 0;
        port_.ShowFirmwareBanner(false);
        job_.statusLineText.clear();
    } else if (!port_.AskYesNo(kMsgFirmwareWarning, ZT("Warning!"), MessageIcon::Stop)) {
        job_.firmwareUpdate = 1;
        port_.ShowFirmwareBanner(true);
        if (!ChooseFirmwareFile()) {
            job_.firmwareUpdate = 0;
            port_.ShowMessage(kMsgNoFirmware, ZT("Caution!"), MessageIcon::Stop);
            port_.ShowFirmwareBanner(false);
            job_.statusLineText.clear();
        } else {
            if (job_.firmwarePath.empty()) {
                job_.firmwareUpdate = 0;
                port_.ShowMessage(kMsgNoFirmware, ZT("Caution!"), MessageIcon::Stop);
                port_.ShowFirmwareBanner(false);
            }
            job_.statusLineText = job_.firmwarePath;
        }
    }
    port_.exchangeToWindow();
}

void SirenOperations::ToggleDip32Tone() {
    job_.dip32Tone = job_.dip32Tone ? 0 : 1;
    port_.ShowDip32ToneIndicator(job_.dip32Tone != 0);
}

OperationOutcome SirenOperations::UpdateFirmwareOnly(const FirmwareRequest& request) {
    job_.firmwareUpdate = 0;
    auto finish = [this](OperationOutcome outcome) {
        port_.ShowFirmwareBanner(false);
        if (link_.handle != 0) CloseUsb(job_, link_, port_);
        job_.flashStatusText.clear();
        port_.exchangeToWindow();
        return outcome;
    };
    if (!request.confirmed && port_.AskYesNo(kMsgFirmwareWarning, ZT("Warning!"), MessageIcon::Stop))
        return finish(OperationOutcome::Cancelled);
    port_.ShowFirmwareBanner(true);
    const auto chosen = ChooseFirmwareFile(request.hexPath);
    if (!chosen || chosen->empty()) {
        port_.ShowMessage(kMsgNoFirmware, ZT("Caution!"), MessageIcon::Stop);
        port_.ShowFirmwareBanner(false);
        port_.exchangeToWindow();
        return finish(OperationOutcome::Cancelled);
    }
    const std::string recoveryFolder = request.recoveryFolder.value_or(DefaultFirmwareRecoveryFolder());

    job_.abortFlag = 0;
    const OperationOutcome opened = OpenAndIdentify();
    if (opened != OperationOutcome::Success) return opened;
    UsbSession session(job_, link_, port_);

    ProgressScope progress(link_, port_);
    progress->BeginModal(ZT("Progress"), false);
    constexpr int kPages = static_cast<int>(kFirmwareReadBack / kFlashPageSize);
    progress->SetRange(0, 3 * kPages + 1, 1);  // read, erase, program, verify
    progress->SetText(ZT("Reading..."));
    // Everything outside the firmware area is written back as it is now, so
    // every page must have been read; otherwise nothing is erased.
    std::vector<uint8_t> buffer(kFirmwareReadBack, kErasedByte);
    bool readFailed = false;
    for (uint32_t address = 0; address < kFirmwareReadBack; address += kFlashPageSize) {
        if (ReadFlash(job_, link_, port_, address, buffer.data() + address, kFlashPageSize) != 0) {
            readFailed = true;
            break;
        }
        progress->PumpMessages(true);
        progress->Step();
        if (progress->IsCancelled()) break;
    }
    if (readFailed || progress.Cancelled()) {
        const bool cancelled = progress.Cancelled();
        progress.Destroy();
        if (readFailed) port_.ShowMessage(kMsgFirmwareReadFailed, kProgramTitle, MessageIcon::Stop);
        return finish(cancelled ? OperationOutcome::Cancelled : OperationOutcome::Failed);
    }

    // An interrupted update left its copy of the sector: when the siren shows
    // only that update's traces, the copy is what the sector held.
    std::optional<std::string> restoredFrom;
    const auto flashId = static_cast<uint32_t>(job_.flashIdValue);
    const uint32_t capacity = job_.flashLastAddress + 1;
    if (request.restoreFrom) {
        FirmwareRecovery named;
        std::string error;
        if (!ReadFirmwareRecovery(*request.restoreFrom, named, &error) ||
            MatchRecovery(named, buffer, flashId, capacity) == RecoveryMatch::Foreign) {
            // Asked for by name: going on without it would not be what was asked.
            progress.Destroy();
            port_.ShowMessage((error.empty() ? Format(kMsgRecoveryForeign, request.restoreFrom->c_str()) : error) +
                                  "\nThe firmware was NOT updated; the siren is unchanged.",
                              kProgramTitle, MessageIcon::Stop);
            return finish(OperationOutcome::Failed);
        }
        port_.ShowMessage(Format(kMsgRecoveryUsed, request.restoreFrom->c_str()), kProgramTitle,
                          MessageIcon::Information);
        buffer = named.before;
    } else {
        std::string others;
        std::string blank;
        for (const std::string& candidate : ListFirmwareRecoveryFiles(recoveryFolder)) {
            FirmwareRecovery found;
            const RecoveryMatch match = ReadFirmwareRecovery(candidate, found, nullptr)
                                            ? MatchRecovery(found, buffer, flashId, capacity)
                                            : RecoveryMatch::Foreign;
            if (match == RecoveryMatch::Belongs) {
                port_.ShowMessage(Format(kMsgRecoveryUsed, candidate.c_str()), kProgramTitle, MessageIcon::Information);
                buffer = found.before;
                restoredFrom = candidate;
                break;
            }
            (match == RecoveryMatch::Blank ? blank : others) += candidate + "\n";
        }
        if (!restoredFrom && !blank.empty()) {
            blank.pop_back();
            port_.ShowMessage(Format(kMsgRecoveryBlankSiren, blank.c_str()), kProgramTitle, MessageIcon::Warning);
        }
        if (!restoredFrom && !others.empty()) {
            others.pop_back();
            port_.ShowMessage(Format(kMsgRecoveryForeign, others.c_str()), kProgramTitle, MessageIcon::Warning);
        }
    }
    FirmwareRecovery recovery;
    recovery.before = buffer;
    recovery.identity = IdentifySiren(flashId, capacity, recovery.before);

    const int loaded = LoadFirmwareHex(job_, port_, buffer, kFirmwareOffset);
    if (loaded == kHexNotFound) {
        progress.Destroy();
        port_.ShowMessage(kMsgFirmwareNotFound, ZT("Warning!"), MessageIcon::Stop);
        session.Close();
        return OperationOutcome::Failed;
    }
    if (loaded != kHexLoaded) {
        // The loader has said what is wrong with the file; the siren is untouched.
        progress.Destroy();
        session.Close();
        return OperationOutcome::Failed;
    }
    progress->PumpMessages(true);
    if (progress.Cancelled()) {
        progress.Destroy();
        return finish(OperationOutcome::Cancelled);
    }
    if (!LiftWriteProtection(job_, link_, port_)) {
        progress.Destroy();
        return finish(OperationOutcome::Failed);
    }

    // Once erased, the sector exists only in this process until it is written
    // back: keep it on disk first, and hold Cancel until it is back.
    recovery.writing = buffer;
    std::string saveError;
    const std::string recoveryPath = WriteNewFirmwareRecovery(recoveryFolder, recovery, &saveError);
    if (recoveryPath.empty()) {
        progress.Destroy();
        port_.ShowMessage(Format(kMsgRecoveryNotSaved, saveError.c_str()), kProgramTitle, MessageIcon::Stop);
        return finish(OperationOutcome::Failed);
    }
    if (restoredFrom) {
        // The new copy holds the same first 64 KiB; two would only confuse the next update.
        std::error_code ec;
        std::filesystem::remove(*restoredFrom, ec);
        restoredFrom.reset();
    }
    CancelHold hold(progress.Popup());
    link_.progress = &hold;
    hold.SetText(ZT("Erasing..."));
    EraseSectors(job_, link_, port_, 0, 1);
    job_.flashStatusText = ZT("Programming");
    port_.exchangeToWindow();
    hold.SetText(ZT("Programming..."));
    // The same page path as Program: pipelined, each page proven by its status.
    ProgramPages(job_, link_, port_, 0, buffer.data(), kFirmwareReadBack);
    int32_t verified = kStopped;
    const bool verifyRan = job_.abortFlag == 0;
    if (verifyRan) {
        hold.SetText(ZT("Verifying..."));
        verified = VerifyFlash(job_, link_, port_, static_cast<int32_t>(kFirmwareReadBack), buffer.data());
    }
    // The copy is promised to the next update only as far as that update will take
    // it: after a difference the sector can be read and judged as that update will.
    const char* keptMessage = kMsgRecoveryKeptUnlessBlank;
    if (verified == 0) {
        std::vector<uint8_t> now(kFirmwareReadBack);
        bool read = true;
        for (uint32_t address = 0; read && address < kFirmwareReadBack; address += kFlashPageSize)
            read = ReadFlash(job_, link_, port_, address, now.data() + address, kFlashPageSize) == 0;
        keptMessage = read && MatchRecovery(recovery, now, flashId, capacity) == RecoveryMatch::Belongs
                          ? kMsgRecoveryKept
                          : kMsgRecoveryKeptNotMatched;
    }
    RestoreWriteProtection(job_, link_, port_);
    link_.progress = &progress.Popup();
    const bool verifyStopped = verifyRan && verified == kStopped;
    progress.Destroy();
    port_.exchangeToWindow();

    if (verified == 1) {
        std::error_code ec;
        std::filesystem::remove(recoveryPath, ec);
        return finish(OperationOutcome::Success);
    }
    const std::string kept = Format(keptMessage, recoveryPath.c_str());
    if (verified == 0) {
        // VerifyFlash has reported the location.
        port_.ShowMessage(kept, kProgramTitle, MessageIcon::Stop);
        return finish(OperationOutcome::VerifyFailed);
    }
    port_.ShowMessage(std::string(verifyStopped ? kMsgNotVerified : kMsgFirmwareIncomplete) + "\n" + kept,
                      kProgramTitle, MessageIcon::Stop);
    return finish(OperationOutcome::Failed);
}

}  // namespace zorvek
