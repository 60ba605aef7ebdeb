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
#include "job/SafeFiles.h"

namespace zorvek {
namespace {

// 16 bytes with the terminating zero, then (since 02) the siren's identity,
// then the two sectors. Files of 01 carry no identity; they are still read.
constexpr char kMagicV1[] = "ZorvekFwRecov01";
constexpr char kMagic[] = "ZorvekFwRecov02";
constexpr size_t kMagicBytes = sizeof kMagic;
constexpr size_t kIdentityBytes = 16;
constexpr size_t kSectorsBytes = 2 * size_t{kRecoverySectorBytes};
constexpr size_t kFileBytesV1 = kMagicBytes + kSectorsBytes;
constexpr size_t kFileBytes = kMagicBytes + kIdentityBytes + kSectorsBytes;
constexpr const char* kFilePrefix = "firmware-recovery-";

void PutLe(std::vector<char>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

uint64_t GetLe(const uint8_t* p, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}

bool AllErased(const std::vector<uint8_t>& sector) {
    return std::all_of(sector.begin(), sector.end(), [](uint8_t b) { return b == 0xFF; });
}

}  // namespace

SirenIdentity IdentifySiren(uint32_t flashId, uint32_t capacity, const std::vector<uint8_t>& sector) {
    uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a, 64 bits
    for (uint8_t b : sector) hash = (hash ^ b) * 0x100000001b3ull;
    return {.known = true, .flashId = flashId, .capacity = capacity, .sectorHash = hash};
}

RecoveryMatch MatchRecovery(const FirmwareRecovery& recovery, const std::vector<uint8_t>& sector, uint32_t flashId,
                            uint32_t capacity) {
    if (sector.size() != kRecoverySectorBytes || recovery.writing.size() != kRecoverySectorBytes)
        return RecoveryMatch::Foreign;
    const SirenIdentity& id = recovery.identity;
    if (id.known && (id.flashId != flashId || id.capacity != capacity)) return RecoveryMatch::Foreign;
    // Still as it was before that update: the update stopped before erasing.
    if (id.known && IdentifySiren(flashId, capacity, sector) == id) return RecoveryMatch::Belongs;
    if (AllErased(sector)) return RecoveryMatch::Blank;
    // Traces of that update: every bit erased or what it was writing. Programming
    // only clears bits, so this takes in a byte cut off while being programmed and a
    // bit that failed to program (what a failed verify leaves).
    for (size_t i = 0; i < sector.size(); ++i)
        if ((sector[i] & recovery.writing[i]) != recovery.writing[i]) return RecoveryMatch::Foreign;
    return RecoveryMatch::Belongs;
}

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
    const SirenIdentity& id = recovery.identity;
    PutLe(content, id.flashId, 4);
    PutLe(content, id.capacity, 4);
    PutLe(content, id.sectorHash, 8);
    content.insert(content.end(), recovery.before.begin(), recovery.before.end());
    content.insert(content.end(), recovery.writing.begin(), recovery.writing.end());
    if (!ReplaceFileContent(path, std::span<const char>(content), error)) return {};
    return path;
}

bool ReadFirmwareRecovery(const std::string& path, FirmwareRecovery& recovery, std::string* error) {
    std::vector<uint8_t> content;
    std::string problem;
    if (!ReadRegularFile(path, kFileBytes, content, &problem)) {
        if (error) *error = problem.find("more than") != std::string::npos ? path + " is not a firmware recovery file"
                                                                             : problem;
        return false;
    }
    const bool v2 = content.size() == kFileBytes && std::memcmp(content.data(), kMagic, kMagicBytes) == 0;
    const bool v1 = content.size() == kFileBytesV1 && std::memcmp(content.data(), kMagicV1, kMagicBytes) == 0;
    if (!v1 && !v2) {
        if (error) *error = path + " is not a firmware recovery file";
        return false;
    }
    const uint8_t* bytes = content.data() + kMagicBytes;
    recovery.identity = {};
    if (v2) {
        recovery.identity = {.known = true,
                             .flashId = static_cast<uint32_t>(GetLe(bytes, 4)),
                             .capacity = static_cast<uint32_t>(GetLe(bytes + 4, 4)),
                             .sectorHash = GetLe(bytes + 8, 8)};
        bytes += kIdentityBytes;
    }
    recovery.before.assign(bytes, bytes + kRecoverySectorBytes);
    recovery.writing.assign(bytes + kRecoverySectorBytes, bytes + 2 * kRecoverySectorBytes);
    return true;
}

}  // namespace zorvek
