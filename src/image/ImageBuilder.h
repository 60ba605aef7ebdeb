#pragma once
// Builds the siren's flash image from the job and the packed audio of each slot.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "image/FlashImage.h"
#include "job/JobState.h"
#include "job/SlotTable.h"
#include "job/UserPort.h"

namespace zorvek {

// What the audio stage hands on for one slot.
struct SlotAudio {
    // Packed 12-bit samples, two in three bytes; a multiple of 3 and at least
    // 3 bytes (an empty slot is 0x00 0x88 0x00). Must stay alive during the build.
    std::span<const uint8_t> packed;
    // Samples per second of the converted message; 0 when not known.
    uint32_t sampleRate = 0;
};
// Index 0 is slot 1. A slot whose wavPath repeats an earlier slot's takes that
// earlier slot's audio; its own entry is not read and may be left empty.
using SlotAudioSet = std::array<SlotAudio, kSlotCount>;

// Results of BuildFlashImage.
inline constexpr int kImageBuilt = 0;
inline constexpr int kImageBadSetting = 1;  // a tone, beacon or volume outside its list
inline constexpr int kImageBadAudio = 2;    // a distinct slot's audio is empty or not whole sample pairs
inline constexpr int kImageTooLong = 3;     // beyond what 24-bit addresses reach

// Sum of the packed lengths of the distinct slots.
size_t AudioTotal(const JobState& job, const SlotAudioSet& audio);
// 0x2100 plus the audio total.
size_t ImageLength(const JobState& job, const SlotAudioSet& audio);

// Last sample index stored for a message of `packedBytes` bytes (0 below 6).
uint32_t LastSampleIndex(size_t packedBytes);
// Repeat word of a tone code for a message with this last sample index and rate.
uint16_t RepeatWord(uint8_t toneCode, uint32_t lastSampleIndex, uint32_t sampleRate);

// Message table, DIP byte, volumes and audio; the firmware area and every byte
// not named here stay 0xFF. On failure `image` is left empty and, when given,
// `problem` says why.
int BuildFlashImage(const JobState& job, const SlotAudioSet& audio, FlashImage& image, std::string* problem = nullptr);

// Fills the firmware area from the job's HEX file and sets the firmware update
// marker: 0 unless a firmware update is wanted and the file was usable. When it
// is wanted but the file is missing or invalid, shows "Firmware file not
// found.\nUpdate not possible." Returns LoadFirmwareHex's result.
int ApplyFirmware(JobState& job, UserPort& port, FlashImage& image);

}  // namespace zorvek
