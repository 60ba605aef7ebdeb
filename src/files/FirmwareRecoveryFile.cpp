#include "files/FirmwareRecoveryFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <span>

#include "files/AtomicFile.h"
#include "job/Paths.h"

namespace zorvek {
namespace {

// 16 bytes with the terminating zero, then the two sectors.
constexpr char kMagic[] = "ZorvekFwRecov01";
constexpr size_t kMagicBytes = sizeof kMagic;
constexpr size_t kFileBytes = kMagicBytes + 2 * size_t{kRecoverySectorBytes};
constexpr const char* kFilePrefix = "firmware-recovery-";

}  // namespace

std::string DefaultFirmwareRecoveryFolder() {
    return UserDataFolder();
}

std::vector<std::string> ListFirmwareRecoveryFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::pair<fs::file_time_type, std::string>> found;
    std::error_code ec;
    if (folder.empty()) return {};
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kFilePrefix, 0) != 0 || it->path().extension() != ".bin" || !it->is_regular_file(ec)) continue;
        found.emplace_back(it->last_write_time(ec), it->path().string());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    std::vector<std::string> paths;
    for (auto& f : found) paths.push_back(std::move(f.second));
    return paths;
}

std::string WriteNewFirmwareRecovery(const std::string& folder, const FirmwareRecovery& recovery, std::string* error) {
    namespace fs = std::filesystem;
    if (recovery.before.size() != kRecoverySectorBytes || recovery.writing.size() != kRecoverySectorBytes) {
        if (error) *error = "Incomplete recovery data";
        return {};
    }
    if (folder.empty()) {
        if (error) *error = "No folder for user data ($HOME is not set)";
        return {};
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string path;
    for (int n = 1; path.empty() || fs::exists(path, ec); ++n)
        path = (fs::path(folder) / (std::string(kFilePrefix) + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".bin"))
                   .string();
    std::vector<char> content(kMagic, kMagic + kMagicBytes);
    content.insert(content.end(), recovery.before.begin(), recovery.before.end());
    content.insert(content.end(), recovery.writing.begin(), recovery.writing.end());
    if (!ReplaceFileContent(path, std::span<const char>(content), error)) return {};
    return path;
}

bool ReadFirmwareRecovery(const std::string& path, FirmwareRecovery& recovery, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "Cannot open " + path;
        return false;
    }
    // One byte more than a whole file tells a longer file apart without reading it all.
    std::vector<char> content(kFileBytes + 1);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (static_cast<size_t>(in.gcount()) != kFileBytes || std::memcmp(content.data(), kMagic, kMagicBytes) != 0) {
        if (error) *error = path + " is not a firmware recovery file";
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(content.data()) + kMagicBytes;
    recovery.before.assign(bytes, bytes + kRecoverySectorBytes);
    recovery.writing.assign(bytes + kRecoverySectorBytes, bytes + 2 * kRecoverySectorBytes);
    return true;
}

bool RecoveryFitsSector(const FirmwareRecovery& recovery, const std::vector<uint8_t>& sector) {
    if (sector.size() != kRecoverySectorBytes || recovery.writing.size() != kRecoverySectorBytes) return false;
    for (size_t i = 0; i < sector.size(); ++i)
        if (sector[i] != 0xFF && sector[i] != recovery.writing[i]) return false;
    return true;
}

}  // namespace zorvek
