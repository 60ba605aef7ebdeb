#pragma once
// The inverse of the siren's 12-bit packing (CWaveFile::Pack12Bit).
#include <cstdint>
#include <span>
#include <vector>

namespace zorvek {

// Two samples from every three bytes, as the 16-bit values the 12-bit codes stand
// for (code * 16 - 32768). A trailing one or two bytes hold no whole pair and are ignored.
std::vector<int16_t> Unpack12Bit(std::span<const uint8_t> packed);

}  // namespace zorvek
