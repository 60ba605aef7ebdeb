#pragma once
// The siren's flash content as one byte image: image offset == flash address.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "job/FlashCommands.h"

namespace zorvek {

// Layout of the first 0x2100 bytes; the audio follows from kAudioStart.
inline constexpr size_t kMessageTableOffset = 0x0000;
inline constexpr size_t kMessageEntrySize = 10;
inline constexpr size_t kDip32ToneOffset = 0x0046;
inline constexpr size_t kVolumeOffset = 0x0047;  // slots 1..7, one byte each
inline constexpr size_t kFirmwareOffset = 0x0100;
inline constexpr size_t kFirmwareSize = 0x2000;
inline constexpr uint32_t kFirmwareFirstAddress = 0xE000;  // controller address at kFirmwareOffset
inline constexpr uint32_t kFirmwareLastAddress = 0xFFFF;
inline constexpr size_t kFirmwareMarkerOffset = 0x1EFE;  // controller address 0xFDFE
inline constexpr size_t kAudioStart = 0x2100;
// Entries hold 24-bit addresses, so no image may reach past 16 MiB.
inline constexpr size_t kMaxImageLength = 0x1000000;

// One slot's record in the message table; multi-byte fields are big-endian.
struct MessageEntry {
    uint32_t lastSampleIndex = 0;  // 24 bits
    uint32_t startAddress = 0;     // 24 bits
    uint8_t toneCode = 0;
    uint8_t beaconCode = 0;
    uint16_t repeatWord = 0;

    std::array<uint8_t, kMessageEntrySize> Encode() const;
    static MessageEntry Decode(std::span<const uint8_t, kMessageEntrySize> bytes);
    bool operator==(const MessageEntry&) const = default;
};

class FlashImage {
public:
    FlashImage() = default;
    // An image of this many bytes, all erased.
    explicit FlashImage(size_t length) : bytes_(length, kErasedByte) {}

    size_t size() const { return bytes_.size(); }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    std::span<uint8_t> bytes() { return bytes_; }
    std::span<const uint8_t> bytes() const { return bytes_; }
    uint8_t& operator[](size_t offset) { return bytes_[offset]; }
    uint8_t operator[](size_t offset) const { return bytes_[offset]; }

    // Slot 1..7.
    MessageEntry entry(int slot) const;
    void setEntry(int slot, const MessageEntry& entry);

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace zorvek
