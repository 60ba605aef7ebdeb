#include "operations/ConfigCommands.h"

#include "files/ConfigFile.h"
#include "job/Paths.h"
#include "job/SlotTable.h"
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

void SaveConfig(JobState& job, UserPort& port) {
    std::optional<std::string> chosen =
        port.ChooseSaveFile(FileDialogOptions::ForSaving(kConfigFilter, "zfg", job.configFolder));
    if (!chosen) {
        port.ShowMessage("Save cancelled by user.", "Caution!", MessageIcon::Stop);
        return;
    }
    job.configFolder = FolderOfChosenFile(*chosen);
    if (chosen->empty()) {
        port.ShowMessage("No file selected!", "Caution!", MessageIcon::Stop);
    } else {
        std::string error;
        if (!WriteConfigFile(*chosen, job, &error))
            port.ShowMessage("The configuration was not saved.\n" + error, kProgramTitle, MessageIcon::Stop);
    }
    port.exchangeToWindow();
}

void LoadConfig(JobState& job, UserPort& port) {
    std::optional<std::string> chosen =
        port.ChooseOpenFile(FileDialogOptions::ForOpening(kConfigFilter, "zfg", job.configFolder));
    if (!chosen) {
        port.ShowMessage("Load cancelled by user.", "Caution!", MessageIcon::Stop);
    } else {
        job.configFolder = FolderOfChosenFile(*chosen);
        if (chosen->empty()) {
            port.ShowMessage("No file selected!", "Caution!", MessageIcon::Stop);
        } else if (!ReadConfigFile(*chosen, job)) {
            port.ShowMessage("Error trying to open config.", kProgramTitle, MessageIcon::Warning);
            return;
        } else if (job.firmwareUpdate && port.AskYesNo(kMsgFirmwareWarning, "Warning!", MessageIcon::Stop)) {
            // A job file that switches the firmware update on asks first, as the menu item does.
            job.firmwareUpdate = 0;
        }
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
    port.ShowDip32ToneIndicator(job.dip32Tone != 0);
}

}  // namespace zorvek
