#pragma once
// Opcodes of the M25P-family serial flash, shared by the routines that send
// them and the simulated chip that answers them.
#include <cstdint>

namespace zorvek {

inline constexpr uint8_t kCmdReadSignature = 0xAB;
inline constexpr uint8_t kCmdWriteEnable = 0x06;
inline constexpr uint8_t kCmdReadStatus = 0x05;
inline constexpr uint8_t kCmdPageProgram = 0x02;
inline constexpr uint8_t kCmdReadData = 0x03;
inline constexpr uint8_t kCmdChipErase = 0xC7;
inline constexpr uint8_t kCmdSectorErase = 0xD8;

}  // namespace zorvek
