#pragma once
// What a firmware update keeps on disk while the siren's first sector is erased:
// the sector as it was read back, and the sector the update is writing. With both,
// a later update can tell whether a damaged sector is the one this file is for.
#include <cstdint>
#include <string>
#include <vector>

namespace zorvek {

inline constexpr uint32_t kRecoverySectorBytes = 0x10000;

// Which siren a recovery file belongs to: its flash and what its first 64 KiB held.
struct SirenIdentity {
    bool known = false;       // false in files written before identities were kept
    uint32_t flashId = 0;     // the flash's identification (its signature)
    uint32_t capacity = 0;    // bytes
    uint64_t sectorHash = 0;  // FNV-1a of the first 64 KiB before the update
    bool operator==(const SirenIdentity&) const = default;
};

struct FirmwareRecovery {
    std::vector<uint8_t> before;   // the first 64 KiB as read back before erasing
    std::vector<uint8_t> writing;  // the first 64 KiB the update writes
    SirenIdentity identity;
};

// The identity of a siren whose flash is `flashId` and `capacity` bytes and
// whose first 64 KiB hold `sector`.
SirenIdentity IdentifySiren(uint32_t flashId, uint32_t capacity, const std::vector<uint8_t>& sector);

enum class RecoveryMatch {
    Belongs,  // this siren's: it still holds what the file kept, or traces of that update
    Blank,    // the sector is erased: any siren's copy would fit, so only the user can say
    Foreign,  // another siren's, or another flash
};

// The one test of whether `recovery` is the copy of the siren whose first 64
// KiB now read `sector` (flash `flashId` of `capacity` bytes).
RecoveryMatch MatchRecovery(const FirmwareRecovery& recovery, const std::vector<uint8_t>& sector, uint32_t flashId,
                            uint32_t capacity);

// $XDG_DATA_HOME/Zorvek/ (~/.local/share/Zorvek/), empty when neither variable is set.
std::string DefaultFirmwareRecoveryFolder();

// The recovery files in `folder` (firmware-recovery-*.bin), newest first. Each
// interrupted update has its own, so several sirens can wait for theirs.
std::vector<std::string> ListFirmwareRecoveryFiles(const std::string& folder);

// Saves atomically under a new name in `folder`, making the folder. The path on
// success; empty with `error` set otherwise.
std::string WriteNewFirmwareRecovery(const std::string& folder, const FirmwareRecovery& recovery, std::string* error);
// True when `path` holds a whole recovery file, with or without an identity
// (files of earlier versions have none); false with `error` set otherwise (a
// missing file, a short or long one, another kind of file).
bool ReadFirmwareRecovery(const std::string& path, FirmwareRecovery& recovery, std::string* error);

}  // namespace zorvek
