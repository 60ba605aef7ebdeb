#include "files/SirenImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

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
    temp_ = target + ".partial-XXXXXX";
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
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
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

bool StagedFileWriter::Commit(std::string* error) {
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
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        if (error) *error = ErrnoText("Could not replace", target_);
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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = path + " is a folder.";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = ErrnoText("Could not open", path);
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = ErrnoText("Could not read", path);
        return false;
    }
    return true;
}

}  // namespace zorvek
