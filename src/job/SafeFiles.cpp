#include "job/SafeFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace zorvek {

namespace {

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

std::string NotRegular(const std::string& path, mode_t mode) {
    return path + " is " + KindOf(mode) + ", not a regular file.";
}

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

// Why `path` could not be opened: what it is when that is the reason (a FIFO
// without a writer, say), else the system's word.
std::string OpenFailure(const std::string& what, const std::string& path, int code) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return NotRegular(path, st.st_mode);
    return what + " " + path + ": " + std::strerror(code);
}

// A regular file's descriptor with O_NONBLOCK cleared, or -1 (and `fd` closed).
int KeepIfRegular(int fd, const std::string& path, std::string* error, struct stat& st) {
    if (::fstat(fd, &st) != 0) {
        Fail(error, "Could not read " + path + ": " + std::strerror(errno));
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        Fail(error, NotRegular(path, st.st_mode));
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

int OpenRegularFile(const std::string& path, uint64_t maxBytes, std::string* error, uint64_t* size) {
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        Fail(error, OpenFailure("Could not open", path, errno));
        return -1;
    }
    struct stat st {};
    if (KeepIfRegular(fd, path, error, st) < 0) return -1;
    const auto bytes = static_cast<uint64_t>(st.st_size);
    if (bytes > maxBytes) {
        Fail(error, path + " is " + std::to_string(bytes) + " bytes, more than such a file can hold (" +
                        std::to_string(maxBytes) + ").");
        ::close(fd);
        return -1;
    }
    if (size) *size = bytes;
    return fd;
}

bool ReadRegularFile(const std::string& path, uint64_t maxBytes, std::vector<uint8_t>& out, std::string* error) {
    uint64_t size = 0;
    const int fd = OpenRegularFile(path, maxBytes, error, &size);
    if (fd < 0) return false;
    out.clear();
    out.reserve(static_cast<size_t>(size));
    // Read to the end, not to the size seen: the file may grow, but never past the cap.
    uint8_t chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            Fail(error, "Could not read " + path + ": " + std::strerror(errno));
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        if (out.size() + static_cast<size_t>(got) > maxBytes) {
            Fail(error, path + " is more than such a file can hold (" + std::to_string(maxBytes) + " bytes).");
            ::close(fd);
            return false;
        }
        out.insert(out.end(), chunk, chunk + got);
    }
    ::close(fd);
    return true;
}

int OpenRegularForAppend(const std::string& path, unsigned mode, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                          static_cast<mode_t>(mode));
    if (fd < 0) {
        Fail(error, OpenFailure("cannot open", path, errno));
        return -1;
    }
    struct stat st {};
    return KeepIfRegular(fd, path, error, st);
}

std::string ReplaceProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return {};
    return NotRegular(path, st.st_mode) + " It is left as it is.";
}

namespace {
// "x/" would be followed where x is a link, whatever O_NOFOLLOW says.
std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}
}  // namespace

int OpenPrivateFolder(const std::string& path) {
    const int fd = ::open(WithoutTrailingSlash(path).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700)
        return fd;
    ::close(fd);
    return -1;
}

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && tmp[0] == '/' ? std::string(tmp) : std::string("/tmp");
}

std::string MakePrivateFolder(const std::string& parent, const std::string& prefix) {
    std::string pattern = parent;
    if (!pattern.empty() && pattern.back() != '/') pattern += '/';
    pattern += prefix + "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) return {};
    return std::string(buffer.data()) + "/";
}

namespace {
// Empties the folder open as `fd` (closed here), never following a link.
void EmptyFolder(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    for (const auto& name : names) {
        if (::unlinkat(fd, name.c_str(), 0) == 0) continue;
        const int sub = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) continue;
        EmptyFolder(sub);
        ::unlinkat(fd, name.c_str(), AT_REMOVEDIR);
    }
    ::closedir(dir);
}
}  // namespace

void RemovePrivateFolder(const std::string& path) {
    const std::string folder = WithoutTrailingSlash(path);
    if (folder.empty()) return;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A link put in its place is removed, and only the link.
        struct stat st {};
        if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(folder.c_str());
        return;
    }
    EmptyFolder(fd);
    ::rmdir(folder.c_str());
}

int CreateNewFile(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

std::string NameWithRoom(const std::string& name, size_t extra) {
    constexpr size_t kNameMax = NAME_MAX;
    if (name.size() + extra <= kNameMax) return name;
    size_t keep = extra >= kNameMax ? 0 : kNameMax - extra;
    // Never cut inside a UTF-8 character.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return name.substr(0, keep);
}

}  // namespace zorvek
