#include "files/ProductionLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "job/SafeFiles.h"

namespace zorvek {

namespace {

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// A JSON string, quotes included; control characters escaped, other bytes as they are.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string ProductionLogTime() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string FormatProductionLogLine(const ProductionLogEntry& e) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "\"signature\":\"0x%02X\",", e.signature);
    std::string line = "{\"time\":" + Quoted(e.time) + ",\"adapter\":" + Quoted(e.adapter) + "," + numbers;
    std::snprintf(numbers, sizeof numbers, "\"crc32\":\"%08X\",", e.imageCrc);
    line += "\"file\":" + Quoted(e.file) + "," + numbers + "\"erase\":" + Quoted(e.eraseMode) +
            ",\"write\":" + Quoted(e.writeMode) + ",";
    std::snprintf(numbers, sizeof numbers, "\"sectorsErased\":%d,\"pagesWritten\":%d,\"pagesAlreadyRight\":%d,",
                  static_cast<int>(e.sectorsErased), static_cast<int>(e.pagesWritten),
                  static_cast<int>(e.pagesAlreadyRight));
    line += numbers + std::string("\"outcome\":") + Quoted(e.outcome) + ",";
    std::snprintf(numbers, sizeof numbers, "\"seconds\":%.3f,\"roundTrips\":%lld,", e.seconds,
                  static_cast<long long>(e.roundTrips));
    return line + numbers + "\"failure\":" + Quoted(e.failure) + "}";
}

bool AppendProductionLogLine(const std::string& path, const std::string& line, std::string* error) {
    // Only a regular file: a FIFO would hold the bench up until someone reads it.
    const int fd = OpenRegularForAppend(path, 0644, error);
    if (fd < 0) return false;
    // One write per line: lines of several writers to one log never interleave.
    const std::string text = line + "\n";
    const ssize_t written = ::write(fd, text.data(), text.size());
    const bool ok = written == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    if (!ok && error) *error = "cannot write " + path + ": " + std::strerror(errno);
    ::close(fd);
    return ok;
}

}  // namespace zorvek
