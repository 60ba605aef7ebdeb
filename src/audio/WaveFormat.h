#pragma once
// The WAVE "fmt " fields as they lie in the file: little-endian, 20 bytes
// (16 bytes of PCM fields, extra-size, two spare bytes).
#include <array>
#include <cstddef>
#include <cstdint>

namespace zorvek {

struct WaveFormatRecord {
    static constexpr size_t kSize = 20;
    // The format length every writer of our own files uses: PCM fields plus extra-size.
    static constexpr uint32_t kWrittenLength = 18;
    static constexpr uint16_t kPcmTag = 1;

    std::array<uint8_t, kSize> bytes{};

    uint16_t formatTag() const { return get16(0); }
    uint16_t channels() const { return get16(2); }
    uint32_t samplesPerSecond() const { return get32(4); }
    uint32_t averageBytesPerSecond() const { return get32(8); }
    uint16_t blockAlign() const { return get16(12); }
    uint16_t bitsPerSample() const { return get16(14); }
    uint16_t extraSize() const { return get16(16); }

    void setFormatTag(uint16_t v) { set16(0, v); }
    void setChannels(uint16_t v) { set16(2, v); }
    void setSamplesPerSecond(uint32_t v) { set32(4, v); }
    void setAverageBytesPerSecond(uint32_t v) { set32(8, v); }
    void setBlockAlign(uint16_t v) { set16(12, v); }
    void setBitsPerSample(uint16_t v) { set16(14, v); }

    // A plain PCM record with consistent block align and byte rate.
    static WaveFormatRecord Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
        WaveFormatRecord f;
        const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
        f.setFormatTag(kPcmTag);
        f.setChannels(channels);
        f.setSamplesPerSecond(rate);
        f.setAverageBytesPerSecond(rate * align);
        f.setBlockAlign(align);
        f.setBitsPerSample(bits);
        return f;
    }

private:
    uint16_t get16(size_t at) const { return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)); }
    uint32_t get32(size_t at) const {
        return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
               static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    void set16(size_t at, uint16_t v) {
        bytes[at] = static_cast<uint8_t>(v);
        bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void set32(size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

}  // namespace zorvek
