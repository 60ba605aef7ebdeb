#include "operations/ConfigCommands.h"

#include "files/ConfigFile.h"
#include "job/Paths.h"
#include "job/SlotTable.h"
#include "job/Translate.h"
#include "operations/SirenOperations.h"

namespace zorvek {

namespace {

int32_t listValue(int32_t value, int count) {
    return value >= 0 && value < count ? value : -1;
}

}  // namespace

void NormaliseToControls(JobState& job) {
    for (auto& s : job.slots) {
        s.toneIndex = listValue(s.toneIndex, kToneCount);
        s.beaconIndex = listValue(s.beaconIndex, kBeaconCount);
        s.volumeIndex = listValue(s.volumeIndex, kVolumeCount);
    }
    job.firmwareUpdate = job.firmwareUpdate ? 1 : 0;
    job.verify = job.verify ? 1 : 0;
    job.dip32Tone = job.dip32Tone ? 1 : 0;
}

std::optional<std::string> SaveConfig(JobState& job, UserPort& port) {
    std::optional<std::string> chosen =
        port.ChooseSaveFile(FileDialogOptions::ForSaving(kConfigFilter, "zfg", job.configFolder));
    if (!chosen) {
        port.ShowMessage(ZT("Save cancelled by user."), ZT("Caution!"), MessageIcon::Stop);
        return std::nullopt;
    }
    job.configFolder = FolderOfChosenFile(*chosen);
    bool written = false;
    if (chosen->empty()) {
        port.ShowMessage(ZT("No file selected!"), ZT("Caution!"), MessageIcon::Stop);
    } else {
        std::string error;
        written = WriteConfigFile(*chosen, job, &error);
        if (!written)
            port.ShowMessage(std::string(ZT("The configuration was not saved.")) + "\n" + error, kProgramTitle,
                             MessageIcon::Stop);
    }
    port.exchangeToWindow();
    return written ? chosen : std::nullopt;
}

namespace {

// A job file that switches the firmware update on asks first, as the menu item does.
void ConfirmFirmwareUpdate(JobState& job, UserPort& port) {
    if (job.firmwareUpdate && port.AskYesNo(kMsgFirmwareWarning, ZT("Warning!"), MessageIcon::Stop))
        job.firmwareUpdate = 0;
}

// After a read, or an empty choice: the banners and the window follow the job.
void PresentLoadedJob(JobState& job, UserPort& port) {
    if (job.firmwareUpdate) {
        port.ShowFirmwareBanner(true);
        job.statusLineText = job.firmwarePath;
    } else {
        port.ShowFirmwareBanner(false);
        job.statusLineText.clear();
    }
    port.exchangeToWindow();
    NormaliseToControls(job);
}

}  // namespace

std::optional<std::string> LoadConfig(JobState& job, UserPort& port) {
    std::optional<std::string> chosen =
        port.ChooseOpenFile(FileDialogOptions::ForOpening(kConfigFilter, "zfg", job.configFolder));
    bool read = false;
    if (!chosen) {
        port.ShowMessage(ZT("Load cancelled by user."), ZT("Caution!"), MessageIcon::Stop);
    } else {
        job.configFolder = FolderOfChosenFile(*chosen);
        if (chosen->empty()) {
            port.ShowMessage(ZT("No file selected!"), ZT("Caution!"), MessageIcon::Stop);
        } else if (!ReadConfigFile(*chosen, job)) {
            port.ShowMessage(ZT("Error trying to open config."), kProgramTitle, MessageIcon::Warning);
            return std::nullopt;
        } else {
            read = true;
            ConfirmFirmwareUpdate(job, port);
        }
        PresentLoadedJob(job, port);
    }
    port.ShowDip32ToneIndicator(job.dip32Tone != 0);
    return read ? chosen : std::nullopt;
}

bool LoadConfigFile(JobState& job, UserPort& port, const std::string& path) {
    if (!ReadConfigFile(path, job)) {
        port.ShowMessage(std::string(ZT("Error trying to open config.")) + "\n" + path, kProgramTitle,
                         MessageIcon::Warning);
        return false;
    }
    job.configFolder = FolderOfChosenFile(path);
    ConfirmFirmwareUpdate(job, port);
    PresentLoadedJob(job, port);
    port.ShowDip32ToneIndicator(job.dip32Tone != 0);
    return true;
}

}  // namespace zorvek
