#pragma once
// Reading a message's audio from any format libsndfile knows (WAV in all its
// forms, FLAC, Ogg Vorbis, MP3, AIFF, ...): mixed down to mono, at its own rate,
// with the source's own figures measured on all its channels.
#include <cstdint>
#include <span>
#include <string>

#include "audio/MonoSignal.h"

namespace zorvek {

// Longest source accepted: far beyond what a siren's flash holds, and a bound on memory.
inline constexpr double kMaxSourceSeconds = 600.0;
inline constexpr unsigned kMaxSourceChannels = 8;

struct DecodedAudio {
    MonoSignal mono;
    SignalStats source;      // of the file as it is, all channels
    unsigned channels = 0;
    std::string formatName;  // "WAV", "FLAC", "OGG (Vorbis)", "MPEG Layer III", ...
};

// A file by name. Never follows into a FIFO or device: only regular files are read.
PrepareStatus DecodeAudioFile(const std::string& path, DecodedAudio& out, const PrepareProgress& progress = {});
// The same from bytes in memory (`name` for messages only).
PrepareStatus DecodeAudioMemory(std::span<const uint8_t> bytes, const std::string& name, DecodedAudio& out);

}  // namespace zorvek
