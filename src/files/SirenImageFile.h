#pragma once
// Siren image files (.zmg): a byte-for-byte copy of a siren's flash, no header.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zorvek {

inline constexpr const char* kImageFilter = "ZMG Files (*.zmg)|*.zmg|All Files (*.*)|*.*||";

// Writes a file beside its target and puts it in place only on Commit, so an
// earlier file survives a failed or abandoned write.
class StagedFileWriter {
public:
    StagedFileWriter() = default;
    ~StagedFileWriter();
    StagedFileWriter(const StagedFileWriter&) = delete;
    StagedFileWriter& operator=(const StagedFileWriter&) = delete;

    // 1 when the temporary file could be created; 0 with `error` set otherwise.
    bool Open(const std::string& target, std::string* error);
    bool Write(const uint8_t* data, size_t count, std::string* error);
    // Flushes, syncs and renames over the target. True on success.
    bool Commit(std::string* error);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

// Reads a whole file. true on success; false with `error` set otherwise.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string* error);

}  // namespace zorvek
