#pragma once
// Saving a prepared message: a 16-bit mono WAV at the siren's rate, written
// whole or not at all, and never over the file it was made from.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "audio/PrepareResult.h"

namespace zorvek {

// The whole WAV file (RIFF, an 18-byte "fmt " chunk as our other writers use, "data").
std::vector<uint8_t> EncodeSirenWave(std::span<const int16_t> samples);

// Writes the samples to `outPath` through a temporary file renamed into place;
// refuses (SameAsSource) when `outPath` is `sourcePath` or a link to it. On any
// failure nothing is left at `outPath` that was not there before.
PrepareStatus SavePreparedMessage(const std::string& outPath, const std::string& sourcePath,
                                  std::span<const int16_t> samples);

// A free name beside the source: "name-prepared.wav", else "name-prepared-2.wav", ...
std::string PreparedFileName(const std::string& sourcePath);
// A free name for speech in `folder` (ending in '/'): "speech-<first words>.wav", numbered likewise.
std::string SpeechFileName(const std::string& folder, const std::string& text);

}  // namespace zorvek
