#pragma once
// Places the firmware of the HEX file named by the job into an image buffer.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "image/FlashImage.h"
#include "job/JobState.h"
#include "job/UserPort.h"

namespace zorvek {

// Results of LoadFirmwareHex. Callers treat both failures alike (no firmware
// update); the distinct values let them tell a missing file from a bad one.
inline constexpr int kHexLoaded = 0;
inline constexpr int kHexNotFound = -1;  // the file cannot be opened
inline constexpr int kHexInvalid = -2;   // opened, but not usable as firmware

inline constexpr const char* kVolumeTestFileName = "VolumeTest.txt";
inline constexpr const char* kHexFoundNote = " (HEX Found)";

// Reads job.firmwarePath (relative paths are taken from job.programFolder) and
// copies every byte its data records supply to buffer[baseOffset + address - 0xE000].
// Bytes the file does not supply, and everything outside the firmware area, are
// left alone; on any failure the buffer is not touched at all.
//  - an invalid file shows "Invalid hex file" with the line and reason;
//  - on success " (HEX Found)" is appended to job.flashIdText;
//  - when "VolumeTest.txt" exists in job.programFolder, the slot volumes are
//    written to buffer offsets 0x47-0x4D afterwards (with a notice); a volume
//    outside its list is refused with a message and the result kHexInvalid.
int LoadFirmwareHex(JobState& job, UserPort& port, std::span<uint8_t> buffer, size_t baseOffset = kFirmwareOffset);

}  // namespace zorvek
