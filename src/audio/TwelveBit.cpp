#include "audio/TwelveBit.h"

namespace zorvek {

std::vector<int16_t> Unpack12Bit(std::span<const uint8_t> packed) {
    std::vector<int16_t> out;
    out.reserve(packed.size() / 3 * 2);
    auto sample = [](unsigned code) { return static_cast<int16_t>(static_cast<int>(code << 4) - 32768); };
    for (size_t k = 0; k + 3 <= packed.size(); k += 3) {
        const unsigned a = packed[k] | ((packed[k + 1] & 0x0Fu) << 8);
        const unsigned b = packed[k + 2] | ((packed[k + 1] & 0xF0u) << 4);
        out.push_back(sample(a));
        out.push_back(sample(b));
    }
    return out;
}

}  // namespace zorvek
