// SFDP tables come from whatever chip sits in the siren.
#include <cstddef>
#include <cstdint>

#include "spi/Sfdp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t needed = zorvek::SfdpBytesNeeded(data, size);
    if (needed > zorvek::kSfdpMaxBytes) __builtin_trap();
    zorvek::SfdpParameters p;
    if (zorvek::ParseSfdp(data, size, p)) {
        // Only what the driver can use gets through.
        if (p.capacity < zorvek::kFlashSectorSize || p.capacity > (16u << 20) || p.erase64k == 0) __builtin_trap();
        if (p.pageSize < 16 || p.pageSize > 4096) __builtin_trap();
    }
    return 0;
}
