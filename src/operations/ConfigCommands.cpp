#include "operations/ConfigCommands.h"

#include "files/ConfigFile.h"
#include "job/Paths.h"
#include "job/SlotTable.h"

namespace zorvek {

namespace {

FileDialogOptions configDialog(const JobState& job) {
    FileDialogOptions dialog;
    dialog.filter = kConfigFilter;
    dialog.defaultExtension = "zfg";
    dialog.initialName = "*.zfg";
    dialog.initialFolder = job.configFolder;
    return dialog;
}

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
    FileDialogOptions dialog = configDialog(job);
    dialog.overwritePrompt = true;
    std::optional<std::string> chosen = port.ChooseSaveFile(dialog);
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
    FileDialogOptions dialog = configDialog(job);
    dialog.mustExist = true;
    std::optional<std::string> chosen = port.ChooseOpenFile(dialog);
    if (!chosen) {
        port.ShowMessage("Load cancelled by user.", "Caution!", MessageIcon::Stop);
    } else {
        job.configFolder = FolderOfChosenFile(*chosen);
        if (chosen->empty()) {
            port.ShowMessage("No file selected!", "Caution!", MessageIcon::Stop);
        } else if (!ReadConfigFile(*chosen, job)) {
            port.ShowMessage("Error trying to open config.", kProgramTitle, MessageIcon::Warning);
            return;
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
