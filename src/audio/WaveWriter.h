#pragma once
// Writes a minimal RIFF WAVE file piece by piece: a "fmt " chunk, then a
// "data" chunk whose samples may come in any number of parts. Each chunk is
// written with a size of 0 and given its real size when the file is closed.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorvek {

// The bytes of a WAV file up to its samples: RIFF and WAVE, the "fmt " chunk
// (padded to even length) and the "data" chunk's head, sized for `dataBytes`.
std::vector<uint8_t> WaveFileHead(const uint8_t* format, uint32_t formatLength, uint32_t dataBytes);

class WaveWriter {
public:
    WaveWriter() = default;
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    // Creates (or replaces) the file and writes everything up to the samples.
    // False when the file cannot be created.
    bool Create(const std::string& fileName, const uint8_t* format, uint32_t formatLength);
    // Appends sample bytes; a null pointer appends zeros.
    void Write(const uint8_t* bytes, size_t count);
    // Pads an odd data chunk, fills in the sizes and closes. True when every
    // byte reached the file.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    uint64_t dataBytes_ = 0;
    uint64_t dataSizeOffset_ = 0;
    bool ok_ = true;
};

}  // namespace zorvek
