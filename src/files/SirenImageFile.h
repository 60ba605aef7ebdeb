#pragma once
// Siren image files (.zmg): a byte-for-byte copy of a siren's flash, no header.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "job/FlashChips.h"

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

    // True when the temporary file could be created; false with `error` set otherwise.
    bool Open(const std::string& target, std::string* error);
    bool Write(const uint8_t* data, size_t count, std::string* error);
    // Flushes, syncs and renames over the target. True on success.
    bool Commit(std::string* error) { return CommitTo(target_, error); }
    // The same, into another file of the same folder (the target stays as it was).
    bool CommitTo(const std::string& path, std::string* error);
    // Removes the temporary file; the target stays as it was.
    void Abandon();

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

// Where a cancelled read keeps the pages it read: NAME.partial.zmg beside NAME.zmg.
std::string PartialImagePath(const std::string& target);

// Reads at most `limit` bytes of a siren image file into `out`, so a huge file
// costs no memory; `restErased` tells whether every byte after them is the
// erased value (read in chunks, stopping at the first other byte). True on
// success; false with `error` set otherwise.
bool ReadImageHead(const std::string& path, size_t limit, std::vector<uint8_t>& out, bool& restErased,
                  std::string* error);

// The largest siren image file read whole: the largest flash.
inline constexpr uint64_t kMaxImageFileBytes = uint64_t{LargestFlashChip().capacity};

// Reads a whole regular file of at most `maxBytes`. True on success; false with
// `error` set otherwise (also for a FIFO, a device or a longer file).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string* error,
                   uint64_t maxBytes = kMaxImageFileBytes);

}  // namespace zorvek
