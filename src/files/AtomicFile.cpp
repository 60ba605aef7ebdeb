#include "files/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "job/SafeFiles.h"

namespace zorvek {

namespace {

bool failWith(std::string* error, const std::string& what, int code) {
    if (error) *error = what + ": " + std::strerror(code);
    return false;
}

}  // namespace

unsigned NewFilePermissions(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) return existing.st_mode & 07777;
    // Reading the mask through umask() would change it for every thread for a moment.
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 0666 & ~mask;
}

bool ReplaceFileContent(const std::string& path, std::span<const char> content, std::string* error) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        if (error) *error = "No file name given";
        return false;
    }
    fs::path target(path);
    // Replace what a link points to, not the link itself.
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path folder = target.parent_path();
    std::string name = target.filename().string();
    if (name.empty()) {
        if (error) *error = "Not a file name: " + path;
        return false;
    }
    // A folder, a FIFO or a device in its place is never replaced by a file.
    if (std::string problem = ReplaceProblem(target.string()); !problem.empty()) {
        if (error) *error = problem;
        return false;
    }
    // The temporary name must fit where the target's name just fits.
    constexpr std::string_view kSuffix = ".tmp-XXXXXX";
    std::string pattern = (folder / ("." + NameWithRoom(name, 1 + kSuffix.size()) + std::string(kSuffix))).string();
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return failWith(error, "Cannot create a file in " + (folder.empty() ? "." : folder.string()), errno);
    std::string tempPath(temp.data());

    auto abandon = [&](const std::string& what, int code) {
        ::close(fd);
        ::unlink(tempPath.c_str());
        return failWith(error, what, code);
    };
    ::fchmod(fd, static_cast<mode_t>(NewFilePermissions(target.string())));
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return abandon("Cannot write " + path, errno);
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    if (::fsync(fd) != 0) return abandon("Cannot write " + path, errno);
    if (::close(fd) != 0) {
        int code = errno;
        ::unlink(tempPath.c_str());
        return failWith(error, "Cannot write " + path, code);
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        int code = errno;
        ::unlink(tempPath.c_str());
        return failWith(error, "Cannot replace " + path, code);
    }
    return true;
}

}  // namespace zorvek
