#pragma once
// MPSSE opcodes of the FTDI FT2232 family used for SPI mode 0, MSB first.
#include <cstdint>

namespace zorvek::mpsse {

inline constexpr uint8_t kBytesOutFallingEdge = 0x11;  // data changes on the falling edge
inline constexpr uint8_t kBytesInRisingEdge = 0x20;    // data sampled on the rising edge
inline constexpr uint8_t kBytesInOutFallingRising = 0x31;
inline constexpr uint8_t kSetLowByte = 0x80;  // value, direction of ADBUS0-7
inline constexpr uint8_t kReadLowByte = 0x81;
inline constexpr uint8_t kSetHighByte = 0x82;  // value, direction of ACBUS0-7
inline constexpr uint8_t kReadHighByte = 0x83;
inline constexpr uint8_t kLoopbackOn = 0x84;
inline constexpr uint8_t kLoopbackOff = 0x85;
inline constexpr uint8_t kClockDivisor = 0x86;  // low, high
inline constexpr uint8_t kSendImmediate = 0x87;
inline constexpr uint8_t kDivideBy5Off = 0x8A;  // H series only
// MPSSE master clocks: every chip's 12 MHz, and the H series' 60 MHz with divide-by-5 off.
inline constexpr int64_t kBaseClockHz = 12000000;
inline constexpr int64_t kHighSpeedBaseClockHz = 60000000;
inline constexpr uint8_t kDivideBy5On = 0x8B;
inline constexpr uint8_t kThreePhaseOn = 0x8C;
inline constexpr uint8_t kThreePhaseOff = 0x8D;
inline constexpr uint8_t kClockBytesNoData = 0x8F;    // H series only: length low, high
inline constexpr uint8_t kAdaptiveClockingOn = 0x96;  // H series only
inline constexpr uint8_t kAdaptiveClockingOff = 0x97;
inline constexpr uint8_t kBadCommandReply = 0xFA;
inline constexpr uint8_t kSyncProbe = 0xAA;  // not an opcode: answered with FA AA

inline constexpr uint8_t kBitModeReset = 0x00;
inline constexpr uint8_t kBitModeMpsse = 0x02;

// ADBUS lines.
inline constexpr uint8_t kClockPin = 0x01;
inline constexpr uint8_t kDataOutPin = 0x02;
inline constexpr uint8_t kDataInPin = 0x04;
inline constexpr uint8_t kChipSelectPin = 0x08;  // ADBUS3
inline constexpr uint8_t kLowDirection = 0xFB;   // all outputs but data in

inline constexpr int kMaxBytesPerCommand = 65536;

}  // namespace zorvek::mpsse
