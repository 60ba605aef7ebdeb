#pragma once
// Builds WAV files byte by byte for tests, and gives each test a scratch folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace zorvek::test {

using Bytes = std::vector<uint8_t>;

inline void Append16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void AppendId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(id[i]));
}

// One chunk with its declared size (defaults to the real size) and pad byte.
inline Bytes Chunk(const char* id, const Bytes& body, int64_t declared = -1) {
    Bytes b;
    AppendId(b, id);
    Append32(b, declared < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(declared));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() % 2) b.push_back(0);
    return b;
}

// The 16 PCM bytes of a "fmt " chunk, optionally with extra-size and more.
inline Bytes FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, size_t length = 16) {
    Bytes b;
    const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
    Append16(b, tag);
    Append16(b, channels);
    Append32(b, rate);
    Append32(b, rate * align);
    Append16(b, align);
    Append16(b, bits);
    for (size_t i = 16; i < length; ++i) b.push_back(static_cast<uint8_t>(0xA0 + i));  // recognisable extras
    return b;
}

inline Bytes Samples16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) Append16(b, static_cast<uint16_t>(s));
    return b;
}

// "RIFF" size "WAVE" followed by the given chunks.
inline Bytes RiffWave(const std::vector<Bytes>& chunks, int64_t declared = -1) {
    Bytes body;
    AppendId(body, "WAVE");
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body, declared);
}

inline Bytes PcmWave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data) {
    return RiffWave({Chunk("fmt ", FmtBody(1, channels, rate, bits)), Chunk("data", data)});
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline uint32_t Le32At(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b.at(at)) | static_cast<uint32_t>(b.at(at + 1)) << 8 |
           static_cast<uint32_t>(b.at(at + 2)) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}
inline std::string IdAt(const Bytes& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

// True when the tool runs (for tests that generate audio with it).
inline bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace zorvek::test
