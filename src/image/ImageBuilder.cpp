#include "image/ImageBuilder.h"

#include <algorithm>
#include <cmath>

#include "image/FirmwareHexLoader.h"
#include "image/SlotCodes.h"

namespace zorvek {

size_t AudioTotal(const JobState& job, const SlotAudioSet& audio) {
    size_t total = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot)
        if (IsDistinctSlot(job, slot)) total += audio[static_cast<size_t>(slot - 1)].packed.size();
    return total;
}

size_t ImageLength(const JobState& job, const SlotAudioSet& audio) {
    return kAudioStart + AudioTotal(job, audio);
}

uint32_t LastSampleIndex(size_t packedBytes) {
    size_t samples = 2 * packedBytes / 3;
    if (samples < 1 + 6) return 0;
    return static_cast<uint32_t>(samples - 1);
}

uint16_t RepeatWord(uint8_t toneCode, uint32_t lastSampleIndex, uint32_t sampleRate) {
    double seconds = 3.0;
    if (lastSampleIndex != 0 && sampleRate != 0) seconds += static_cast<double>(lastSampleIndex) / sampleRate;
    auto periodsIn = [seconds](double span) { return static_cast<uint16_t>(std::floor(span / seconds + 0.5)); };
    switch (toneCode) {
        case 49:
            return static_cast<uint16_t>(0x8000 + periodsIn(600.0));
        case 50:
            return static_cast<uint16_t>(0x8000 + periodsIn(120.0));
        case 64:
            return 0x8001;
        default:
            return 0x0001;
    }
}

int BuildFlashImage(const JobState& job, const SlotAudioSet& audio, FlashImage& image, std::string* problem) {
    image = FlashImage();
    auto fail = [problem](int result, std::string why) {
        if (problem) *problem = std::move(why);
        return result;
    };

    std::string setting = UnencodableSettingMessage(job);
    if (!setting.empty()) return fail(kImageBadSetting, setting);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!IsDistinctSlot(job, slot)) continue;
        size_t bytes = audio[static_cast<size_t>(slot - 1)].packed.size();
        if (bytes == 0 || bytes % 3 != 0)
            return fail(kImageBadAudio, "Slot " + std::to_string(slot) + " has " + std::to_string(bytes) +
                                            " bytes of packed audio; a positive multiple of 3 is needed.");
    }
    size_t length = ImageLength(job, audio);
    if (length > kMaxImageLength) return fail(kImageTooLong, "The image is longer than 16 MiB.");

    image = FlashImage(length);
    std::array<uint32_t, kSlotCount> start{};
    uint32_t running = kAudioStart;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const MessageSlot& s = job.slot(slot);
        const int first = FirstSlotWithSamePath(job, slot);
        const SlotAudio& a = audio[static_cast<size_t>(first - 1)];
        if (first == slot) {
            start[static_cast<size_t>(slot - 1)] = running;
            std::copy(a.packed.begin(), a.packed.end(), image.data() + running);
            running += static_cast<uint32_t>(a.packed.size());
        } else {
            start[static_cast<size_t>(slot - 1)] = start[static_cast<size_t>(first - 1)];
        }
        MessageEntry e;
        e.lastSampleIndex = LastSampleIndex(a.packed.size());
        e.startAddress = start[static_cast<size_t>(slot - 1)];
        e.toneCode = ToneCode(s.toneIndex);
        e.beaconCode = BeaconCode(s.beaconIndex);
        e.repeatWord = RepeatWord(e.toneCode, e.lastSampleIndex, a.sampleRate);
        image.setEntry(slot, e);
        image[kVolumeOffset + static_cast<size_t>(slot - 1)] = static_cast<uint8_t>(s.volumeIndex);
    }
    image[kDip32ToneOffset] = job.dip32Tone ? 1 : 0;
    return kImageBuilt;
}

int ApplyFirmware(JobState& job, UserPort& port, FlashImage& image) {
    int result = LoadFirmwareHex(job, port, image.bytes(), kFirmwareOffset);
    if (image.size() <= kFirmwareMarkerOffset) return result;
    if (!job.firmwareUpdate) {
        image[kFirmwareMarkerOffset] = 0;
    } else if (result != kHexLoaded) {
        image[kFirmwareMarkerOffset] = 0;
        port.ShowMessage("Firmware file not found.\nUpdate not possible.", "Warning!", MessageIcon::Stop);
    }
    return result;
}

}  // namespace zorvek
