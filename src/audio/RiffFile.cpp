#include "audio/RiffFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace zorvek {

namespace {
constexpr FourCc kRiff = MakeFourCc("RIFF");
constexpr FourCc kList = MakeFourCc("LIST");

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

bool RiffFile::Open(const std::string& path) {
    Close();
    // Non-blocking so that a FIFO cannot stall the open; only regular files are accepted.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    position_ = 0;
    return true;
}

void RiffFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    position_ = 0;
}

size_t RiffFile::ReadAt(uint64_t offset, void* buffer, size_t count) {
    if (fd_ < 0 || offset >= size_) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
    size_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
        ssize_t got = ::pread(fd_, out + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // error, or the file shrank meanwhile
        done += static_cast<size_t>(got);
    }
    return done;
}

size_t RiffFile::Read(void* buffer, size_t count) {
    size_t got = ReadAt(position_, buffer, count);
    position_ += got;
    return got;
}

bool RiffFile::Descend(ChunkRecord& found, const ChunkRecord* parent, FourCc id, FourCc formType) {
    if (fd_ < 0) return false;
    const uint64_t end = parent ? std::min(parent->dataOffset + parent->size, size_) : size_;
    uint64_t pos = position_;
    const bool hasForm = id == kRiff || id == kList;
    while (pos + 8 <= end) {
        uint8_t header[12];
        const size_t want = hasForm ? 12 : 8;
        size_t got = ReadAt(pos, header, want);
        if (got < 8) return false;
        ChunkRecord chunk;
        chunk.id = Le32(header);
        chunk.size = Le32(header + 4);
        chunk.dataOffset = pos + 8;
        if (chunk.id == id) {
            if (!hasForm) {
                found = chunk;
                position_ = chunk.dataOffset;
                return true;
            }
            if (got == 12 && pos + 12 <= end) {
                chunk.formType = Le32(header + 8);
                if (formType == 0 || chunk.formType == formType) {
                    found = chunk;
                    position_ = chunk.dataOffset + 4;
                    return true;
                }
            }
        }
        pos = chunk.End();
    }
    return false;
}

}  // namespace zorvek
