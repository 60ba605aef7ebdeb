#include "audio/AudioWorkspace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zorvek {

namespace fs = std::filesystem;

namespace {
std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// A fresh folder only this run knows, below `parent`; empty if none can be made.
std::string MakePrivateFolder(const std::string& parent) {
    std::string pattern = WithSlash(parent) + "zorvek-run-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return {};
    return WithSlash(buffer.data());
}
}  // namespace

std::string AudioWorkFolder(const JobState&) {
    // Never the program's folder: run with sudo that is /usr/bin.
    std::string base;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') {
        base = cache;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.cache";
    } else {
        std::error_code ec;
        base = fs::temp_directory_path(ec).string();
        if (ec || base.empty()) base = "/tmp";
    }
    return WithSlash(base) + "Zorvek/";
}

namespace {
// A locked descriptor of the folder, or -1 when it is taken or cannot be opened.
int LockFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    int rc;
    do rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) return fd;
    ::close(fd);
    return -1;
}
}  // namespace

std::unique_ptr<AudioWorkspace> AudioWorkspace::TryShared(const JobState& job) {
    const std::string shared = AudioWorkFolder(job);
    std::error_code ec;
    fs::create_directories(fs::path(shared).parent_path().parent_path(), ec);
    ::mkdir(shared.c_str(), 0700);  // the user's own; an existing folder is kept as it is
    const int fd = LockFolder(shared);
    if (fd < 0) return nullptr;
    std::unique_ptr<AudioWorkspace> space(new AudioWorkspace());
    space->folder_ = shared;
    space->lockFd_ = fd;
    return space;
}

std::unique_ptr<AudioWorkspace> AudioWorkspace::Acquire(const JobState& job) {
    if (auto space = TryShared(job)) return space;
    // Another run holds the shared folder (or it cannot be used): work apart.
    std::unique_ptr<AudioWorkspace> space(new AudioWorkspace());
    const std::string shared = AudioWorkFolder(job);
    space->folder_ = shared;
    std::error_code ec;
    std::string own = MakePrivateFolder(shared);
    if (own.empty()) own = MakePrivateFolder(fs::temp_directory_path(ec).string());
    if (!own.empty()) {
        space->folder_ = own;
        space->private_ = true;
    }
    return space;
}

AudioWorkspace::~AudioWorkspace() {
    if (private_) {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    if (lockFd_ >= 0) ::close(lockFd_);  // closing releases the lock
}

}  // namespace zorvek
