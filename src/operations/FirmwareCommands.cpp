#include <optional>
#include <vector>

#include "image/FirmwareHexLoader.h"
#include "job/Paths.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "spi/FlashRoutines.h"

namespace zorvek {
namespace {

constexpr uint32_t kFirmwareReadBack = 0x10000;  // the first sector: table, settings, firmware

}  // namespace

std::optional<std::string> SirenOperations::ChooseFirmwareFile(const std::optional<std::string>& given) {
    FileDialogOptions dialog;
    dialog.filter = kHexFilter;
    dialog.defaultExtension = "hex";
    dialog.initialName = "*.hex";
    dialog.initialFolder = job_.hexFolder;
    dialog.mustExist = true;
    auto path = given ? given : port_.ChooseOpenFile(dialog);
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
    } else if (!port_.AskYesNo(kMsgFirmwareWarning, "Warning!", MessageIcon::Stop)) {
        job_.firmwareUpdate = 1;
        port_.ShowFirmwareBanner(true);
        if (!ChooseFirmwareFile()) {
            job_.firmwareUpdate = 0;
            port_.ShowMessage(kMsgNoFirmware, "Caution!", MessageIcon::Stop);
            port_.ShowFirmwareBanner(false);
            job_.statusLineText.clear();
        } else {
            if (job_.firmwarePath.empty()) {
                job_.firmwareUpdate = 0;
                port_.ShowMessage(kMsgNoFirmware, "Caution!", MessageIcon::Stop);
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
    if (!request.confirmed && port_.AskYesNo(kMsgFirmwareWarning, "Warning!", MessageIcon::Stop))
        return finish(OperationOutcome::Cancelled);
    port_.ShowFirmwareBanner(true);
    const auto chosen = ChooseFirmwareFile(request.hexPath);
    if (!chosen || chosen->empty()) {
        port_.ShowMessage(kMsgNoFirmware, "Caution!", MessageIcon::Stop);
        port_.ShowFirmwareBanner(false);
        port_.exchangeToWindow();
        return finish(OperationOutcome::Cancelled);
    }

    job_.abortFlag = 0;
    const OperationOutcome opened = OpenAndIdentify();
    if (opened != OperationOutcome::Success) return opened;
    UsbSession session(job_, link_, port_);

    ProgressScope progress(link_, port_);
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
        if (progress->IsCancelled()) break;
    }
    if (readFailed || progress.Cancelled()) {
        const bool cancelled = progress.Cancelled();
        progress.Destroy();
        if (readFailed) port_.ShowMessage(kMsgFirmwareReadFailed, kProgramTitle, MessageIcon::Stop);
        return finish(cancelled ? OperationOutcome::Cancelled : OperationOutcome::Failed);
    }

    const int loaded = LoadFirmwareHex(job_, port_, buffer, kFirmwareOffset);
    if (loaded == kHexNotFound) {
        port_.ShowMessage(kMsgFirmwareNotFound, "Warning!", MessageIcon::Stop);
        session.Close();
        return OperationOutcome::Failed;
    }
    if (loaded != kHexLoaded) {
        // The loader has said what is wrong with the file; the siren is untouched.
        session.Close();
        return OperationOutcome::Failed;
    }

    EraseSectors(job_, link_, port_, 0, 1);
    job_.flashStatusText = "Programming";
    port_.exchangeToWindow();
    for (uint32_t address = 0; address < kFirmwareReadBack; address += kFlashPageSize) {
        if (job_.abortFlag) break;
        PageProgram(job_, link_, port_, address, buffer.data() + address, kFlashPageSize);
    }
    const bool stopped = job_.abortFlag != 0;
    const bool cancelled = progress.Cancelled();
    progress.Destroy();
    port_.exchangeToWindow();
    if (stopped && !cancelled) port_.ShowMessage(kMsgFirmwareIncomplete, kProgramTitle, MessageIcon::Stop);
    return finish(cancelled ? OperationOutcome::Cancelled
                            : (stopped ? OperationOutcome::Failed : OperationOutcome::Success));
}

}  // namespace zorvek
