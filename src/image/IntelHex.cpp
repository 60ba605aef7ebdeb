#include "image/IntelHex.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "job/TextFormat.h"

namespace zorvek {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string hex2(unsigned value) {
    return Format("0x%02X", value & 0xFFu);
}

std::string hex4(uint64_t value) {
    return Format("0x%04llX", static_cast<unsigned long long>(value));
}

class HexParser {
public:
    explicit HexParser(HexReadResult& result) : r_(result) {}

    // False once reading must stop (end record or an invalid record).
    bool Line(std::string_view line, int number) {
        while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
        bool blank = true;
        for (char c : line) blank = blank && isBlank(c);
        if (blank) return true;
        // A file goes on after its end only when something was appended or spliced.
        if (r_.endRecordSeen) return Fail(number, "a record after the end-of-file record");
        if (line.front() != ':') return Fail(number, "the record does not start with ':'");
        line.remove_prefix(1);
        if (line.size() % 2 != 0) return Fail(number, "odd number of hex digits");
        std::vector<uint8_t> bytes;
        bytes.reserve(line.size() / 2);
        for (size_t i = 0; i < line.size(); i += 2) {
            int hi = hexValue(line[i]);
            int lo = hexValue(line[i + 1]);
            if (hi < 0 || lo < 0) return Fail(number, "bad hex digit");
            bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
        }
        if (bytes.size() < 5) return Fail(number, "the record is too short");
        size_t count = bytes[0];
        if (bytes.size() != count + 5)
            return Fail(number, "byte count " + std::to_string(count) + " does not match the record length");
        unsigned sum = 0;
        for (size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
        unsigned expected = (0x100u - (sum & 0xFFu)) & 0xFFu;
        if (bytes.back() != expected)
            return Fail(number, "bad checksum " + hex2(bytes.back()) + ", expected " + hex2(expected));

        // 64 bits: a base of 0xFFFF0000 plus an offset must not wrap where long has 32.
        const uint64_t offset = (uint64_t{bytes[1]} << 8) | bytes[2];
        const uint8_t* data = bytes.data() + 4;
        switch (bytes[3]) {
            case 0x00:
                return Data(number, base_ + offset, data, count);
            case 0x01:
                r_.endRecordSeen = true;
                return true;  // only blank lines may follow
            case 0x02:
            case 0x04: {
                if (count != 2) return Fail(number, "extended address record without two data bytes");
                const uint64_t value = (uint64_t{data[0]} << 8) | data[1];
                base_ = bytes[3] == 0x02 ? value << 4 : value << 16;
                return true;
            }
            case 0x03:
            case 0x05:
                return true;  // start addresses mean nothing to the siren
            default:
                return Fail(number, "unknown record type " + hex2(bytes[3]));
        }
    }

    bool Fail(int number, std::string reason) {
        r_.errorLine = number;
        r_.reason = std::move(reason);
        failed_ = true;
        return false;
    }

    bool failed() const { return failed_; }

private:
    bool Data(int number, uint64_t address, const uint8_t* data, size_t count) {
        if (count == 0) return true;
        const uint64_t last = address + count - 1;
        if (address < kFirmwareFirstAddress || last > kFirmwareLastAddress)
            return Fail(number, "data for " + hex4(address) + "-" + hex4(last) +
                                    " lies outside the firmware area 0xE000-0xFFFF");
        for (size_t i = 0; i < count; ++i) {
            const auto index = static_cast<size_t>(address - kFirmwareFirstAddress) + i;
            r_.firmware.bytes[index] = data[i];
            r_.firmware.present.set(index);
        }
        ++r_.dataRecords;
        return true;
    }

    HexReadResult& r_;
    uint64_t base_ = 0;
    bool failed_ = false;
};

}  // namespace

HexReadResult ReadIntelHex(std::istream& in) {
    HexReadResult result;
    HexParser parser(result);
    std::string line;
    int number = 0;
    bool more = true;
    while (more) {
        line.clear();
        bool tooLong = false;
        bool gotAny = false;
        std::streambuf* buf = in.rdbuf();
        int c = 0;
        while (buf && (c = buf->sbumpc()) != std::char_traits<char>::eof()) {
            gotAny = true;
            if (c == '\n') break;
            if (line.size() < kMaxHexLineLength)
                line.push_back(static_cast<char>(c));
            else
                tooLong = true;
        }
        bool atEnd = !buf || c == std::char_traits<char>::eof();
        if (!gotAny && atEnd) break;
        ++number;
        if (tooLong) {
            parser.Fail(number, "the line is longer than " + std::to_string(kMaxHexLineLength) + " characters");
            break;
        }
        more = parser.Line(line, number) && !atEnd;
    }
    if (!parser.failed()) {
        if (result.dataRecords == 0) {
            result.reason = "The file holds no firmware data.";
        } else if (!result.endRecordSeen) {
            // A file cut short (a copy or download that stopped) must never reach the controller.
            result.reason = "The file ends without its end-of-file record (:00000001FF): it is incomplete.";
        } else {
            result.valid = true;
        }
    }
    return result;
}

HexReadResult ReadIntelHex(std::string_view text) {
    std::istringstream in{std::string(text)};
    return ReadIntelHex(in);
}

}  // namespace zorvek
