#pragma once
// The serial flash's command set and the bits of its status register, shared by
// the driver that sends the commands, the simulated chip that answers them and
// the image code that knows what erased flash reads as.
#include <cstdint>

namespace zorvek {

// Opcodes.
enum FlashCommand : uint8_t {
    kCmdReadSignature = 0xAB, kCmdWriteEnable = 0x06, kCmdReadStatus = 0x05, kCmdPageProgram = 0x02,
    kCmdReadData = 0x03,      kCmdChipErase = 0xC7,   kCmdSectorErase = 0xD8
};

// Status register: write in progress, write enable latch.
inline constexpr uint8_t kStatusBusy = 0x01;
inline constexpr uint8_t kStatusWriteEnabled = 0x02;

// Erased flash reads as 0xFF; programming only clears bits.
inline constexpr uint8_t kErasedByte = 0xFF;

}  // namespace zorvek
