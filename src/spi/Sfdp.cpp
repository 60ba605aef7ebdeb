#include "spi/Sfdp.h"

#include <algorithm>

namespace zorvek {

namespace {

constexpr uint8_t kSignature[4] = {'S', 'F', 'D', 'P'};
constexpr size_t kBasicTableAt = 0x30;  // where BuildSfdp puts the basic table
constexpr uint32_t kBasicDwords = 16;

uint32_t Dword(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
void PutDword(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Result Bad(const char* why) {
    return Result::Failure(Fault::Format, why);
}

}  // namespace

size_t SfdpBytesNeeded(const uint8_t* header, size_t size) {
    if (size < kSfdpHeaderBytes || !std::equal(kSignature, kSignature + 4, header)) return 0;
    // First parameter header: ID LSB, minor, major, length in DWORDs, 24-bit pointer, ID MSB.
    const uint8_t* p = header + 8;
    const size_t pointer = p[4] | (size_t{p[5]} << 8) | (size_t{p[6]} << 16);
    const size_t end = pointer + size_t{p[3]} * 4;
    return end <= kSfdpMaxBytes ? std::max(end, kSfdpHeaderBytes) : 0;
}

Result ParseSfdp(const uint8_t* bytes, size_t size, SfdpParameters& out) {
    if (size < kSfdpHeaderBytes || !std::equal(kSignature, kSignature + 4, bytes)) return Bad("no SFDP signature");
    if (bytes[5] != 1) return Bad("an SFDP major revision other than 1");
    const uint8_t* p = bytes + 8;
    // The first parameter header must be the basic flash parameter table (ID FF00).
    if (p[0] != 0x00 || p[7] != 0xFF) return Bad("no basic flash parameter table first");
    const size_t pointer = p[4] | (size_t{p[5]} << 8) | (size_t{p[6]} << 16);
    const size_t dwords = p[3];
    if (dwords < 9) return Bad("a basic flash parameter table shorter than 9 DWORDs");
    if (pointer + dwords * 4 > size) return Bad("a basic flash parameter table outside what was read");
    const uint8_t* t = bytes + pointer;

    SfdpParameters r;
    const uint32_t d1 = Dword(t), d2 = Dword(t + 4), d8 = Dword(t + 28), d9 = Dword(t + 32);
    if ((d1 >> 17 & 3) == 2) return Bad("4-byte addresses only");
    // Density: bits - 1, or 2^N bits with bit 31 set.
    uint64_t bits = (d2 & 0x80000000u) ? (d2 & 0x7FFFFFFFu) < 64 ? uint64_t{1} << (d2 & 0x7FFFFFFFu) : 0
                                       : uint64_t{d2} + 1;
    if (bits < 8 * uint64_t{kFlashSectorSize} || bits > 8 * (uint64_t{16} << 20) || (bits & (bits - 1)) != 0)
        return Bad("a density this programmer cannot address (64 KiB to 16 MiB)");
    r.capacity = static_cast<uint32_t>(bits / 8);
    if ((d1 & 3) == 1) r.erase4k = static_cast<uint8_t>(d1 >> 8);
    // Erase types 1 to 4: size 2^N bytes and opcode.
    const uint32_t types[2] = {d8, d9};
    for (uint32_t d : types)
        for (int half = 0; half < 2; ++half) {
            const uint32_t size2 = d >> (16 * half) & 0xFF, opcode = d >> (16 * half + 8) & 0xFF;
            if (size2 == 16) r.erase64k = static_cast<uint8_t>(opcode);
            if (size2 == 12 && r.erase4k == 0) r.erase4k = static_cast<uint8_t>(opcode);
        }
    if (r.erase64k == 0) return Bad("no 64 KiB erase");
    // JESD216A and later: page size 2^N in DWORD 11 bits 7:4.
    if (dwords >= 11) {
        const uint32_t n = Dword(t + 40) >> 4 & 0xF;
        if (n < 4 || n > 12) return Bad("an unusable page size");
        r.pageSize = 1u << n;
    }
    out = r;
    return Result::Ok();
}

std::vector<uint8_t> BuildSfdp(const FlashChip& chip) {
    std::vector<uint8_t> out(kBasicTableAt + kBasicDwords * 4, 0xFF);
    std::copy(kSignature, kSignature + 4, out.begin());
    // JESD216B (1.6), one parameter header.
    const uint8_t header[] = {0x06, 0x01, 0x00, 0xFF,
                              0x00, 0x06, 0x01, kBasicDwords, kBasicTableAt, 0x00, 0x00, 0xFF};
    std::copy(std::begin(header), std::end(header), out.begin() + 4);
    // DWORD 1: 4 KiB erase 0x20, page-sized writes, 3-byte addresses.
    PutDword(out, kBasicTableAt + 0, 0xFFF120E5);
    PutDword(out, kBasicTableAt + 4, chip.capacity * 8 - 1);
    // DWORD 8 and 9: erase types 4 KiB (0x20), 32 KiB (0x52), 64 KiB, none.
    PutDword(out, kBasicTableAt + 28, 0x520F200C);
    PutDword(out, kBasicTableAt + 32, 0x00000010u | (uint32_t{chip.sectorEraseOpcode} << 8));
    // DWORD 11: page size 2^N in bits 7:4, the rest left as the table's typical times.
    uint32_t pageBits = 0;
    while ((1u << pageBits) < chip.pageSize) ++pageBits;
    PutDword(out, kBasicTableAt + 40, 0x0F000001u | (pageBits << 4));
    return out;
}

}  // namespace zorvek
