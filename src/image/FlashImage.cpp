#include "image/FlashImage.h"

#include <algorithm>

namespace zorvek {

namespace {

void put24(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 16);
    out[1] = static_cast<uint8_t>(value >> 8);
    out[2] = static_cast<uint8_t>(value);
}

uint32_t get24(const uint8_t* in) {
    return (static_cast<uint32_t>(in[0]) << 16) | (static_cast<uint32_t>(in[1]) << 8) | in[2];
}

size_t entryOffset(int slot) {
    return kMessageTableOffset + static_cast<size_t>(slot - 1) * kMessageEntrySize;
}

}  // namespace

std::array<uint8_t, kMessageEntrySize> MessageEntry::Encode() const {
    std::array<uint8_t, kMessageEntrySize> out{};
    put24(&out[0], lastSampleIndex);
    put24(&out[3], startAddress);
    out[6] = toneCode;
    out[7] = beaconCode;
    out[8] = static_cast<uint8_t>(repeatWord >> 8);
    out[9] = static_cast<uint8_t>(repeatWord);
    return out;
}

MessageEntry MessageEntry::Decode(std::span<const uint8_t, kMessageEntrySize> bytes) {
    MessageEntry e;
    e.lastSampleIndex = get24(&bytes[0]);
    e.startAddress = get24(&bytes[3]);
    e.toneCode = bytes[6];
    e.beaconCode = bytes[7];
    e.repeatWord = static_cast<uint16_t>((bytes[8] << 8) | bytes[9]);
    return e;
}

MessageEntry FlashImage::entry(int slot) const {
    return MessageEntry::Decode(
        std::span<const uint8_t, kMessageEntrySize>(bytes_.data() + entryOffset(slot), kMessageEntrySize));
}

void FlashImage::setEntry(int slot, const MessageEntry& entry) {
    auto encoded = entry.Encode();
    std::copy(encoded.begin(), encoded.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(entryOffset(slot)));
}

}  // namespace zorvek
