#include "files/SirenImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "files/AtomicFile.h"
#include "job/SafeFiles.h"

namespace zorvek {
namespace {

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

StagedFileWriter::~StagedFileWriter() {
    Abandon();
}

bool StagedFileWriter::Open(const std::string& target, std::string* error) {
    Abandon();
    target_ = target;
    if (std::string problem = ReplaceProblem(target); !problem.empty()) {
        if (error) *error = problem;
        return false;
    }
    constexpr std::string_view kSuffix = ".partial-XXXXXX";
    const std::filesystem::path path(target);
    temp_ = (path.parent_path() / NameWithRoom(path.filename().string(), kSuffix.size())).string() +
            std::string(kSuffix);
    std::vector<char> name(temp_.begin(), temp_.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        if (error) *error = ErrnoText("Could not create a file beside", target);
        temp_.clear();
        return false;
    }
    temp_ = name.data();
    // mkstemp makes the file private; an image file is an ordinary document.
    ::fchmod(fd, static_cast<mode_t>(NewFilePermissions(target)));
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        if (error) *error = ErrnoText("Could not write", temp_);
        Abandon();
        return false;
    }
    return true;
}

bool StagedFileWriter::Write(const uint8_t* data, size_t count, std::string* error) {
    if (!file_) {
        if (error) *error = "The file is not open.";
        return false;
    }
    if (count && std::fwrite(data, 1, count, file_) != count) {
        if (error) *error = ErrnoText("Could not write", target_);
        return false;
    }
    return true;
}

bool StagedFileWriter::CommitTo(const std::string& path, std::string* error) {
    if (!file_) {
        if (error) *error = "The file is not open.";
        return false;
    }
    bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (!ok) {
        if (error) *error = ErrnoText("Could not write", target_);
        Abandon();
        return false;
    }
    if (::rename(temp_.c_str(), path.c_str()) != 0) {
        if (error) *error = ErrnoText("Could not replace", path);
        Abandon();
        return false;
    }
    temp_.clear();
    return true;
}

void StagedFileWriter::Abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

std::string PartialImagePath(const std::string& target) {
    constexpr std::string_view kExtension = ".zmg";
    std::string stem = target;
    if (stem.size() > kExtension.size() &&
        stem.compare(stem.size() - kExtension.size(), kExtension.size(), kExtension) == 0)
        stem.resize(stem.size() - kExtension.size());
    const std::filesystem::path path(stem);
    constexpr std::string_view kExtension2 = ".partial.zmg";
    return (path.parent_path() / NameWithRoom(path.filename().string(), kExtension2.size())).string() +
           std::string(kExtension2);
}

bool ReadImageHead(const std::string& path, size_t limit, std::vector<uint8_t>& out, bool& restErased,
                   std::string* error) {
    // Any length is read, a chunk at a time, so only its kind is checked.
    const int fd = OpenRegularFile(path, UINT64_MAX, error);
    if (fd < 0) return false;
    auto readSome = [&](uint8_t* into, size_t count) -> ssize_t {
        size_t done = 0;
        while (done < count) {
            const ssize_t got = ::read(fd, into + done, count - done);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return -1;
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        return static_cast<ssize_t>(done);
    };
    out.resize(limit);
    ssize_t got = readSome(out.data(), limit);
    if (got >= 0) out.resize(static_cast<size_t>(got));
    restErased = true;
    std::vector<uint8_t> chunk(1 << 16);
    while (got > 0 && restErased) {
        got = readSome(chunk.data(), chunk.size());
        if (got > 0) restErased = std::all_of(chunk.begin(), chunk.begin() + got, [](uint8_t c) { return c == 0xFF; });
    }
    ::close(fd);
    if (got < 0) {
        if (error) *error = ErrnoText("Could not read", path);
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string* error, uint64_t maxBytes) {
    return ReadRegularFile(path, maxBytes, out, error);
}

}  // namespace zorvek
