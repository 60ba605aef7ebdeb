// Any byte string fed to the HEX reader and to the loader: no out-of-bounds
// access, and a file judged invalid never changes the target buffer.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "image/FirmwareHexLoader.h"
#include "image/IntelHex.h"
#include "job/SilentUserPort.h"

namespace {

std::string TempPath() {
    static std::string path = "/tmp/fuzz_hex_" + std::to_string(::getpid()) + ".hex";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    zorvek::HexReadResult parsed = zorvek::ReadIntelHex(text);
    if (parsed.valid && parsed.dataRecords == 0) std::abort();
    if (!parsed.valid && parsed.reason.empty()) std::abort();
    if (parsed.valid && !parsed.endRecordSeen) std::abort();  // a file cut short is never firmware

    {
        std::ofstream out(TempPath(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    zorvek::JobState job;
    job.firmwarePath = TempPath();
    job.programFolder = "/nonexistent-fuzz-folder/";
    zorvek::SilentUserPort port;
    // A buffer ending inside the firmware area catches any write past its end.
    std::vector<uint8_t> buffer(0x1800, 0xA5);
    const std::vector<uint8_t> before = buffer;
    int result = zorvek::LoadFirmwareHex(job, port, buffer, zorvek::kFirmwareOffset);
    if (result == zorvek::kHexInvalid && (buffer != before || port.messages != 1)) std::abort();
    if (result == zorvek::kHexLoaded && job.flashIdText != zorvek::kHexFoundNote) std::abort();
    for (size_t i = 0; i < zorvek::kFirmwareOffset; ++i)
        if (buffer[i] != 0xA5) std::abort();
    return 0;
}
