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

#include "job/SafeFiles.h"

namespace zorvek {

namespace fs = std::filesystem;

namespace {
std::string WithSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}
}  // namespace

std::string AudioWorkFolder(const JobState&) {
    // Never the program's folder (run with sudo that is /usr/bin), and never a
    // folder of a predictable name that another user could make first.
    std::string base;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') {
        base = cache;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.cache";
    } else {
        return {};
    }
    return WithSlash(base) + "Zorvek/";
}

namespace {
// Takes the lock of the folder open as `fd`; closes it and returns -1 when another run holds it.
int LockFolder(int fd) {
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
    if (shared.empty()) return nullptr;
    std::error_code ec;
    fs::create_directories(fs::path(shared).parent_path().parent_path(), ec);
    ::mkdir(shared.c_str(), 0700);
    // Fixed file names are safe only in a folder no one else can write to.
    const int folder = OpenPrivateFolder(shared);
    if (folder < 0) return nullptr;
    const int fd = LockFolder(folder);
    if (fd < 0) return nullptr;
    std::unique_ptr<AudioWorkspace> space(new AudioWorkspace());
    space->folder_ = shared;
    space->lockFd_ = fd;
    return space;
}

std::unique_ptr<AudioWorkspace> AudioWorkspace::Acquire(const JobState& job) {
    if (auto space = TryShared(job)) return space;
    // Another run holds the shared folder, or there is none to trust: work apart,
    // in a fresh folder of this run's own.
    std::string own;
    const std::string shared = AudioWorkFolder(job);
    if (!shared.empty()) {
        const int fd = OpenPrivateFolder(shared);
        if (fd >= 0) {
            ::close(fd);
            own = MakePrivateFolder(shared, "zorvek-run-");
        }
    }
    if (own.empty()) own = MakePrivateFolder(TemporaryFolder(), "zorvek-run-");
    if (own.empty()) return nullptr;
    std::unique_ptr<AudioWorkspace> space(new AudioWorkspace());
    space->folder_ = own;
    space->private_ = true;
    return space;
}

AudioWorkspace::~AudioWorkspace() {
    if (private_) RemovePrivateFolder(folder_);
    if (lockFd_ >= 0) ::close(lockFd_);  // closing releases the lock
}

}  // namespace zorvek
