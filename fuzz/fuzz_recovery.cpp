// Any file named with zorvek-cli firmware --restore-from: read as a recovery file
// or refused, never read past its buffers.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files/FirmwareRecoveryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/zorvek-fuzz-recovery-" + std::to_string(::getpid()) + ".bin";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    zorvek::FirmwareRecovery recovery;
    std::string error;
    if (zorvek::ReadFirmwareRecovery(path, recovery, &error)) {
        const std::vector<uint8_t> erased(zorvek::kRecoverySectorBytes, 0xFF);
        // An erased sector fits any update of the file's siren; the user says whose it is.
        const auto& id = recovery.identity;
        const auto match = zorvek::MatchRecovery(recovery, erased, id.flashId, id.capacity);
        if (match == zorvek::RecoveryMatch::Foreign) __builtin_trap();
        (void)zorvek::MatchRecovery(recovery, recovery.before, id.flashId, id.capacity);
        // A blank siren is never taken for the file's siren by itself (unless its copy was blank too).
        if (match == zorvek::RecoveryMatch::Belongs &&
            !(id.known && zorvek::IdentifySiren(id.flashId, id.capacity, erased) == id))
            __builtin_trap();
        // What the update was writing is that update's own trace; another flash is never this siren.
        if (zorvek::MatchRecovery(recovery, recovery.writing, id.flashId, id.capacity) ==
            zorvek::RecoveryMatch::Foreign)
            __builtin_trap();
        if (id.known && zorvek::MatchRecovery(recovery, recovery.before, id.flashId ^ 1, id.capacity) !=
                            zorvek::RecoveryMatch::Foreign)
            __builtin_trap();
    }
    std::remove(path.c_str());
    return 0;
}
