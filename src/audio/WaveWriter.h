#pragma once
// Writes a minimal RIFF WAVE file piece by piece: a "fmt " chunk, then a
// "data" chunk whose samples may come in any number of parts. Each chunk is
// written with a size of 0 and given its real size when the file is closed.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorvek {

class WaveWriter {
public:
    WaveWriter() = default;
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    // Creates the file (mode 0600: these are work files), replacing a file of
    // that name, and writes everything up to the samples. False when the file
    // cannot be created.
    bool Create(const std::string& fileName, const uint8_t* format, uint32_t formatLength);
    // Appends sample bytes; a null pointer appends zeros.
    void Write(const uint8_t* bytes, size_t count);
    // Pads an odd data chunk, fills in the sizes and closes. True when every
    // byte reached the file.
    bool Close();

    // Everything up to the samples of a file whose data chunk holds `dataBytes`.
    static std::vector<uint8_t> Head(const uint8_t* format, uint32_t formatLength, uint64_t dataBytes);
    // A whole file in memory, for writing in one piece (atomically).
    static std::vector<uint8_t> WholeFile(const uint8_t* format, uint32_t formatLength, const uint8_t* samples,
                                          size_t count);

private:
    std::FILE* file_ = nullptr;
    uint64_t dataBytes_ = 0;
    uint64_t dataSizeOffset_ = 0;
    bool ok_ = true;
};

}  // namespace zorvek
