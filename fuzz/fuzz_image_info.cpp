// Image and siren image files come from outside: decoding, rendering and
// unpacking any bytes must stay inside them and never crash.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/ImageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The table and settings are what the fuzzer varies; pad to a decodable
    // length so it does not spend its time on the length check.
    std::vector<uint8_t> bytes(data, data + size);
    if (size > 0 && (data[0] & 1) && bytes.size() < zorvek::kAudioStart + 64)
        bytes.resize(zorvek::kAudioStart + 64 + data[size - 1], 0x5A);
    zorvek::ImageInfo info;
    std::string error;
    if (zorvek::DecodeImageInfo(bytes, 0x200000, info, &error)) {
        (void)zorvek::FormatImageInfoText(info, "fuzz");
        (void)zorvek::FormatImageInfoJson(info, "fuzz\"\\\x01");
        for (const auto& m : info.messages)
            if (m.audioInside && (m.entry.startAddress + uint64_t{m.packedBytes} > bytes.size())) __builtin_trap();
    }
    for (int n = 0; n <= 8; ++n) {
        std::vector<int16_t> samples;
        if (zorvek::ExtractMessage(bytes, n, samples, &error) && (n < 1 || n > 7)) __builtin_trap();
    }
    (void)zorvek::Unpack12Bit(std::span<const uint8_t>(data, size));
    return 0;
}
