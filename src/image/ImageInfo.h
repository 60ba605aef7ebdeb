#pragma once
// Reading a flash image back: the message table, settings and audio of an image
// file or a siren image file, for inspection and for unpacking one message.
// The bytes come from outside, so every address is checked against the data.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "audio/TwelveBit.h"
#include "image/FlashImage.h"
#include "job/JobState.h"

namespace zorvek {

// The rate every message is converted to; the image itself stores none.
inline constexpr uint32_t kImageSampleRate = 22010;

struct MessageInfo {
    int messageNumber = 0;  // as the user numbers them: "Message 1" is slot 7
    int slot = 0;
    MessageEntry entry;
    uint32_t samples = 0;      // 12-bit samples the message holds
    uint32_t packedBytes = 0;  // their packed length, samples * 3 / 2
    double seconds = 0;        // at kImageSampleRate
    const char* beacon = "";   // "None", "Single", "Double", "Static" or "" for an unknown code
    bool repeat = false;       // bit 15 of the repeat word
    uint16_t repeatCount = 0;  // bits 0-14
    uint8_t volumeByte = 0;
    int volumeLevel = 0;       // 10..2, 0 when the byte is no list entry
    int sharesAudioWith = 0;   // message number of an earlier message with the same start, else 0
    bool audioInside = false;  // the samples lie in the audio area and inside the data
    // Where the message's audio turns to erased flash up to its end (whole pages
    // of 0xFF, as a programming stopped half-way leaves it); 0 when it does not.
    uint32_t erasedFrom = 0;
};

struct ImageInfo {
    size_t dataSize = 0;
    // Capacity the free space is counted against: the data's own length when it
    // is a whole flash (a siren image file), else the capacity assumed by the caller.
    uint32_t flashSize = 0;
    bool wholeFlash = false;
    bool erased = false;                             // message table never programmed (all 0xFF)
    std::array<MessageInfo, kSlotCount> messages{};  // index 0 is "Message 1"
    uint8_t dipByte = 0;
    bool dip32Tone = false;
    uint8_t firmwareMarker = 0;
    bool firmwareUpdate = false;        // marker not 0: the siren takes the firmware area on start
    size_t firmwareBytesSet = 0;        // firmware-area bytes that are not erased
    uint32_t audioEnd = 0;              // first address after the last message's samples
    int64_t freeBytes = 0;              // flashSize - 1 - audioEnd: what a larger job could still add
    double freeSeconds = 0;             // freeBytes as audio at kImageSampleRate
    std::vector<std::string> problems;  // inconsistencies found, in plain words
};

// Capacities a siren flash can have; a file of one of these lengths is a whole flash.
bool IsFlashSize(size_t size);

// Decodes `data`. True on success; false when it cannot be an image (shorter than the
// table, settings and firmware area), with `error` set. `assumedFlashSize` is used
// when the data is not a whole flash.
bool DecodeImageInfo(std::span<const uint8_t> data, uint32_t assumedFlashSize, ImageInfo& info,
                     std::string* error = nullptr);

// Human-readable and JSON renderings; `name` is the file shown in them.
std::string FormatImageInfoText(const ImageInfo& info, const std::string& name);
std::string FormatImageInfoJson(const ImageInfo& info, const std::string& name);

// The samples of "Message N" (1..7) as 16-bit values. True on success; false with
// `error` set when the number is out of range or its samples lie outside the data.
bool ExtractMessage(std::span<const uint8_t> data, int messageNumber, std::vector<int16_t>& samples,
                    std::string* error = nullptr);

// Writes 16-bit mono samples as a WAV file at kImageSampleRate; false with `error` set when it could not be written.
bool WriteMessageWave(const std::string& path, const std::vector<int16_t>& samples, std::string* error = nullptr);

}  // namespace zorvek
