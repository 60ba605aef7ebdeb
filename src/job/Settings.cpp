#include "job/Settings.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "job/SlotTable.h"

namespace zorvek {
namespace {

const std::string kSection = kSettingsSection;

// "Vol 1" .. "Vol 7" name rows, not slots: this gives the slot of "Vol n".
int slotOfVolumeKey(int n) { return n == 1 ? 7 : n - 1; }

std::string volumeKey(int n) { return "Vol " + std::to_string(n); }

}  // namespace

void loadSettings(JobState& job, SettingsStore& store) {
    for (int s = 1; s <= kSlotCount; ++s) job.slot(s).wavPath = store.ReadText(kSection, slotInfo(s).pathKey, "");
    job.compression = store.ReadInt(kSection, "Compression", 0);
    job.verbose = store.ReadInt(kSection, "Verbose", 0);
    job.verify = store.ReadInt(kSection, "Verify", 0);
    for (int s = 1; s <= kSlotCount; ++s) job.slot(s).toneIndex = store.ReadInt(kSection, slotInfo(s).toneKey, 0);
    for (int s = 1; s <= kSlotCount; ++s)
        job.slot(s).beaconIndex = store.ReadInt(kSection, slotInfo(s).beaconKey, 0);
    for (int n = 1; n <= kSlotCount; ++n)
        job.slot(slotOfVolumeKey(n)).volumeIndex = store.ReadInt(kSection, volumeKey(n), 0);
    job.usage = store.ReadInt(kSection, "Usage", 0);
    job.hexFolder = store.ReadText(kSection, "HEX Location", "");
    job.wavFolder = store.ReadText(kSection, "WAV Location", "");
    job.configFolder = store.ReadText(kSection, "ZFG Location", "");
    job.imageFolder = store.ReadText(kSection, "ZMG Location", "");
}

void saveAllSettings(const JobState& job, SettingsStore& store) {
    for (int s = 1; s <= kSlotCount; ++s) store.WriteText(kSection, slotInfo(s).pathKey, job.slot(s).wavPath);
    store.WriteInt(kSection, "Compression", job.compression);
    store.WriteInt(kSection, "Verbose", job.verbose);
    store.WriteInt(kSection, "Verify", job.verify);
    for (int s = 1; s <= kSlotCount; ++s) store.WriteInt(kSection, slotInfo(s).toneKey, job.slot(s).toneIndex);
    for (int s = 1; s <= kSlotCount; ++s) store.WriteInt(kSection, slotInfo(s).beaconKey, job.slot(s).beaconIndex);
    for (int n = 1; n <= kSlotCount; ++n)
        store.WriteInt(kSection, volumeKey(n), job.slot(slotOfVolumeKey(n)).volumeIndex);
    store.WriteInt(kSection, "Usage", job.usage);
    store.WriteText(kSection, "HEX Location", job.hexFolder);
    store.WriteText(kSection, "WAV Location", job.wavFolder);
    store.WriteText(kSection, "ZFG Location", job.configFolder);
    store.WriteText(kSection, "ZMG Location", job.imageFolder);
}

void savePartialSettings(const JobState& job, SettingsStore& store) {
    for (int s = 1; s <= 3; ++s) store.WriteText(kSection, slotInfo(s).pathKey, job.slot(s).wavPath);
    store.WriteInt(kSection, "Compression", job.compression);
    store.WriteInt(kSection, "Verbose", job.verbose);
}

std::string computeProgramFolder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) {
        exe = fs::absolute(fs::path(argv0 ? argv0 : ""), ec);
    }
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace zorvek
