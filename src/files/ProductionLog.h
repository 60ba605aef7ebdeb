#pragma once
// The production log: one JSON object per siren and line, appended and flushed
// to the disk before the next siren starts, so a crash loses no reported siren.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zorvek {

// CRC-32 (IEEE 802.3, as zip and PNG use), to name an image in the log.
uint32_t Crc32(const uint8_t* data, size_t size);

struct ProductionLogEntry {
    std::string time;  // UTC, ISO 8601
    std::string adapter;
    uint32_t signature = 0;
    std::string file;  // the job or image file
    uint32_t imageCrc = 0;
    std::string eraseMode;
    std::string writeMode;  // "changed" or "all"
    int32_t sectorsErased = 0;
    int32_t pagesWritten = 0;
    int32_t pagesAlreadyRight = 0;
    std::string outcome;  // "pass", "fail", "cancelled"
    double seconds = 0;
    int64_t roundTrips = 0;
    std::string failure;
};

std::string FormatProductionLogLine(const ProductionLogEntry& entry);
// The current time as FormatProductionLogLine expects it.
std::string ProductionLogTime();
// Appends the line (a newline is added) and syncs the file. False with `error` set.
bool AppendProductionLogLine(const std::string& path, const std::string& line, std::string* error);

}  // namespace zorvek
