#pragma once
// Read-only RIFF chunk walking over one file. Every read and every search is
// bounded by the file's real size, whatever sizes the chunks declare.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zorvek {

using FourCc = uint32_t;

constexpr FourCc MakeFourCc(const char (&id)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(id[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(id[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(id[3])) << 24;
}

struct ChunkRecord {
    FourCc id = 0;
    uint32_t size = 0;        // declared size of the contents
    FourCc formType = 0;      // "RIFF" chunks only
    uint64_t dataOffset = 0;  // file offset of the contents (after the form type for "RIFF")
    uint32_t flags = 0;

    // Offset just past the contents and the pad byte of an odd size.
    uint64_t End() const { return dataOffset + size + (size & 1u); }
};

class RiffFile {
public:
    RiffFile() = default;
    ~RiffFile() { Close(); }
    RiffFile(const RiffFile&) = delete;
    RiffFile& operator=(const RiffFile&) = delete;

    // Opens a regular file for reading; false for anything else (missing, folder, device).
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    uint64_t Size() const { return size_; }
    uint64_t Position() const { return position_; }

    // From the current position, searches the chunks inside `parent` (the whole
    // file when null) for `id` (and `formType` for "RIFF"/"LIST") and enters it.
    // Fails at the end of the parent's declared contents or at the end of the file.
    bool Descend(ChunkRecord& found, const ChunkRecord* parent, FourCc id, FourCc formType = 0);
    // Moves past the chunk's contents and its pad byte.
    void Ascend(const ChunkRecord& chunk) { position_ = chunk.End(); }
    // Moves to an absolute offset (only ever a position inside, or at the end of, a chunk).
    void Seek(uint64_t offset) { position_ = offset; }
    // Reads up to `count` bytes at the current position; returns how many arrived.
    size_t Read(void* buffer, size_t count);

private:
    size_t ReadAt(uint64_t offset, void* buffer, size_t count);

    int fd_ = -1;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

}  // namespace zorvek
