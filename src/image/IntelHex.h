#pragma once
// Intel HEX reader for the controller firmware (program memory 0xE000-0xFFFF).
// The whole file is checked before any byte is used: a damaged file must never
// reach the siren's controller.
#include <array>
#include <bitset>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "image/FlashImage.h"

namespace zorvek {

struct FirmwareData {
    std::array<uint8_t, kFirmwareSize> bytes{};  // index 0 is controller address 0xE000
    std::bitset<kFirmwareSize> present;          // which bytes a data record supplied
};

struct HexReadResult {
    bool valid = false;
    int errorLine = 0;   // 1-based line of the first invalid record; 0 when no line is to blame
    std::string reason;  // why the file is not usable
    FirmwareData firmware;
    int dataRecords = 0;
    bool endRecordSeen = false;
};

// Reads the whole stream. "\r\n" and "\n" end a record; blank lines are
// skipped. The end-of-file record is required, and only blank lines may follow it.
HexReadResult ReadIntelHex(std::istream& in);
HexReadResult ReadIntelHex(std::string_view text);

// Longest line accepted: a record of 255 data bytes is 521 characters.
inline constexpr size_t kMaxHexLineLength = 1024;

}  // namespace zorvek
