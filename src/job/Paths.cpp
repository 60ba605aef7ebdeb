#include "job/Paths.h"

#include <cstdlib>
#include <filesystem>

namespace zorvek {

bool IsAbsolutePath(const std::string& path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

std::string ResolveAgainst(const std::string& path, const std::string& baseFolder) {
    if (path.empty() || baseFolder.empty() || IsAbsolutePath(path)) return path;
    return (std::filesystem::path(baseFolder) / path).lexically_normal().string();
}

std::string UserDataFolder() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    return base + "/Zorvek/";
}

std::string FolderOfChosenFile(const std::string& path) {
    const size_t separator = path.find_last_of('/');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace zorvek
