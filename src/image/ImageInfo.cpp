#include "image/ImageInfo.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "audio/WaveFile.h"
#include "audio/WaveWriter.h"
#include "files/AtomicFile.h"
#include "job/FlashChips.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"

namespace zorvek {
namespace {

// A message of six samples or fewer is stored with last sample index 0, so its
// length is not in the table; in the audio area it takes at most nine bytes.
constexpr uint32_t kShortMessageMaxBytes = 9;
constexpr uint32_t kSilencePairBytes = 3;

const char* BeaconName(uint8_t code) {
    switch (code) {
        case 0x30:
            return "None";
        case 0x00:
            return "Single";
        case 0x10:
            return "Double";
        case 0x20:
            return "Static";
        default:
            return "";
    }
}

std::string JsonString(const std::string& s) {
    return JsonQuoted(s);
}

// Packed length of a message: from its last sample index, or, for the short
// ones, from where the next message's samples begin (the builder lays them
// back to back), else the silent pair that stands in for an empty slot.
uint32_t PackedLength(const MessageEntry& e, const std::array<MessageEntry, kSlotCount>& all) {
    if (e.lastSampleIndex != 0) return static_cast<uint32_t>((uint64_t{e.lastSampleIndex} + 1) * 3 / 2);
    uint32_t next = UINT32_MAX;
    for (const auto& other : all)
        if (other.startAddress > e.startAddress) next = std::min(next, other.startAddress);
    const uint32_t gap = next == UINT32_MAX ? 0 : next - e.startAddress;
    if (gap >= kSilencePairBytes && gap <= kShortMessageMaxBytes && gap % 3 == 0) return gap;
    return kSilencePairBytes;
}


// Programming goes page by page from the start, after erasing: a run stopped
// half-way leaves each later message's audio erased to its end. A page of 0xFF
// is no sound a conversion makes in practice, so a whole page counts.
uint32_t ErasedTail(std::span<const uint8_t> data, uint32_t start, uint32_t end) {
    uint32_t at = end;
    while (at > start && data[at - 1] == kErasedByte) --at;
    const uint32_t page = (at + kFlashPageSize - 1) / kFlashPageSize * kFlashPageSize;
    return end >= page && end - page >= kFlashPageSize ? page : 0;
}

}  // namespace

bool IsFlashSize(size_t size) {
    return FlashChipForCapacity(size) != nullptr;
}

bool DecodeImageInfo(std::span<const uint8_t> data, uint32_t assumedFlashSize, ImageInfo& info, std::string* error) {
    info = ImageInfo{};
    if (data.size() < kAudioStart) {
        if (error)
            *error = Format("%zu bytes is too short for a siren image: the table, settings and firmware take %zu.",
                            data.size(), kAudioStart);
        return false;
    }
    info.dataSize = data.size();
    info.wholeFlash = IsFlashSize(data.size());
    info.flashSize = info.wholeFlash ? static_cast<uint32_t>(data.size()) : assumedFlashSize;
    info.erased = std::all_of(data.begin(), data.begin() + kVolumeOffset + kSlotCount,
                              [](uint8_t b) { return b == kErasedByte; });

    std::array<MessageEntry, kSlotCount> entries{};
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        const size_t at = kMessageTableOffset + static_cast<size_t>(slot - 1) * kMessageEntrySize;
        entries[static_cast<size_t>(slot - 1)] =
            MessageEntry::Decode(std::span<const uint8_t, kMessageEntrySize>(data.data() + at, kMessageEntrySize));
    }
    info.dipByte = data[kDip32ToneOffset];
    info.dip32Tone = info.dipByte == 1;
    info.firmwareMarker = data[kFirmwareMarkerOffset];
    info.firmwareUpdate = info.firmwareMarker != 0;
    info.firmwareBytesSet = static_cast<size_t>(std::count_if(data.begin() + kFirmwareOffset,
                                                              data.begin() + kFirmwareOffset + kFirmwareSize,
                                                              [](uint8_t b) { return b != kErasedByte; }));
    if (info.erased) {
        info.problems.push_back("The message table is erased: nothing has been programmed.");
        info.firmwareUpdate = false;
        info.freeBytes = info.flashSize > kAudioStart ? info.flashSize - 1 - kAudioStart : 0;
        info.freeSeconds = static_cast<double>(info.freeBytes) * 2 / 3 / kImageSampleRate;
        info.audioEnd = kAudioStart;
        for (int n = 1; n <= kSlotCount; ++n) {
            MessageInfo& m = info.messages[static_cast<size_t>(n - 1)];
            m.messageNumber = n;
            m.slot = slotForMessageNumber(n);
            m.entry = entries[static_cast<size_t>(m.slot - 1)];
        }
        return true;
    }
    if (info.dipByte > 1) info.problems.push_back(Format("DIP mode byte 0x%02X is neither 0 nor 1.", info.dipByte));

    uint64_t audioEnd = kAudioStart;
    for (int n = 1; n <= kSlotCount; ++n) {
        MessageInfo& m = info.messages[static_cast<size_t>(n - 1)];
        m.messageNumber = n;
        m.slot = slotForMessageNumber(n);
        m.entry = entries[static_cast<size_t>(m.slot - 1)];
        m.packedBytes = PackedLength(m.entry, entries);
        m.samples = m.entry.lastSampleIndex != 0 ? m.entry.lastSampleIndex + 1 : m.packedBytes * 2 / 3;
        m.seconds = static_cast<double>(m.samples) / kImageSampleRate;
        m.beacon = BeaconName(m.entry.beaconCode);
        m.repeat = (m.entry.repeatWord & 0x8000) != 0;
        m.repeatCount = static_cast<uint16_t>(m.entry.repeatWord & 0x7FFF);
        m.volumeByte = data[kVolumeOffset + static_cast<size_t>(m.slot - 1)];
        m.volumeLevel = m.volumeByte < kVolumeCount ? volumeLevel(m.volumeByte) : 0;
        const uint64_t end = uint64_t{m.entry.startAddress} + m.packedBytes;
        m.audioInside = m.entry.startAddress >= kAudioStart && end <= data.size();
        if (m.audioInside) {
            audioEnd = std::max(audioEnd, end);
            m.erasedFrom = ErasedTail(data, m.entry.startAddress, static_cast<uint32_t>(end));
            if (m.erasedFrom)
                info.problems.push_back(
                    Format("Message %d: audio erased from 0x%06X (an interrupted programming?)", n, m.erasedFrom));
        } else {
            info.problems.push_back(Format("Message %d: its samples (0x%06X to 0x%06llX) lie outside the %s.", n,
                                           m.entry.startAddress, static_cast<unsigned long long>(end),
                                           m.entry.startAddress < kAudioStart ? "audio area" : "data"));
        }
        if (!*m.beacon)
            info.problems.push_back(Format("Message %d: unknown beacon code 0x%02X.", n, m.entry.beaconCode));
        if (m.volumeLevel == 0)
            info.problems.push_back(Format("Message %d: volume byte 0x%02X is no volume level.", n, m.volumeByte));
    }
    // Messages sharing a file share its samples: name the first one, by slot order.
    for (auto& m : info.messages) {
        int firstSlot = m.slot;
        for (int s = 1; s < m.slot; ++s)
            if (entries[static_cast<size_t>(s - 1)].startAddress == m.entry.startAddress) {
                firstSlot = s;
                break;
            }
        if (firstSlot != m.slot) m.sharesAudioWith = slotInfo(firstSlot).messageNumber;
    }
    info.audioEnd = static_cast<uint32_t>(audioEnd);
    const int64_t lastAddress = static_cast<int64_t>(info.flashSize) - 1;
    info.freeBytes = std::max<int64_t>(0, lastAddress - static_cast<int64_t>(audioEnd));
    if (static_cast<int64_t>(audioEnd) > lastAddress)
        info.problems.push_back(
            Format("The audio ends at 0x%06X, beyond a flash of %u bytes.", info.audioEnd, info.flashSize));
    info.freeSeconds = static_cast<double>(info.freeBytes / 3 * 2) / kImageSampleRate;
    return true;
}

std::string FormatImageInfoText(const ImageInfo& info, const std::string& name) {
    std::string out;
    out += Format("File:            %s\n", name.c_str());
    out += Format("Size:            %zu bytes (%s)\n", info.dataSize,
                  info.wholeFlash ? "a whole flash" : "an image; free space counted against the assumed flash");
    out += Format("Flash:           %u bytes, highest address 0x%X\n", info.flashSize,
                  info.flashSize ? info.flashSize - 1 : 0);
    if (!info.erased) {
        out +=
            Format("DIP mode:        %s (byte 0x46 = 0x%02X)\n", info.dip32Tone ? "32-tone" : "standard", info.dipByte);
        out += Format("Firmware marker: 0x%02X (%s); %zu of %zu firmware-area bytes set\n", info.firmwareMarker,
                      info.firmwareUpdate ? "firmware update" : "no firmware update", info.firmwareBytesSet,
                      kFirmwareSize);
        out += "\nMessage  Slot  Start     Samples   Seconds  Tone  Beacon  Repeat word          Volume\n";
        for (const auto& m : info.messages) {
            std::string repeat = Format("0x%04X (%s %u)", m.entry.repeatWord, m.repeat ? "repeat" : "play",
                                        static_cast<unsigned>(m.repeatCount));
            std::string beacon = *m.beacon ? m.beacon : Format("0x%02X", m.entry.beaconCode);
            std::string volume = m.volumeLevel ? std::to_string(m.volumeLevel) : Format("0x%02X?", m.volumeByte);
            std::string shared = m.sharesAudioWith ? Format("  same audio as Message %d", m.sharesAudioWith) : "";
            out += Format("%-8d %-5d 0x%06X  %-8u  %7.3f  %-4s  %-6s  %-19s %s", m.messageNumber, m.slot,
                          m.entry.startAddress, m.samples, m.seconds,
                          m.entry.toneCode ? std::to_string(m.entry.toneCode).c_str() : "None", beacon.c_str(),
                          repeat.c_str(), volume.c_str());
            out += shared + "\n";
        }
        out += "\n";
    }
    out += Format("End of audio:    0x%06X\n", info.audioEnd);
    out += Format("Free space:      %lld bytes (%.1f s at %u samples/s)\n", static_cast<long long>(info.freeBytes),
                  info.freeSeconds, kImageSampleRate);
    for (const auto& p : info.problems) out += "Note: " + p + "\n";
    return out;
}

std::string FormatImageInfoJson(const ImageInfo& info, const std::string& name) {
    std::string out = "{";
    out += "\"file\":" + JsonString(name);
    out += Format(",\"size\":%zu,\"flashSize\":%u,\"wholeFlash\":%s,\"erased\":%s", info.dataSize, info.flashSize,
                  info.wholeFlash ? "true" : "false", info.erased ? "true" : "false");
    out += Format(",\"dipByte\":%u,\"dip32Tone\":%s", info.dipByte, info.dip32Tone ? "true" : "false");
    out += Format(",\"firmwareMarker\":%u,\"firmwareUpdate\":%s,\"firmwareBytesSet\":%zu", info.firmwareMarker,
                  info.firmwareUpdate ? "true" : "false", info.firmwareBytesSet);
    out += ",\"messages\":[";
    if (!info.erased) {
        bool first = true;
        for (const auto& m : info.messages) {
            if (!first) out += ",";
            first = false;
            out += Format("{\"message\":%d,\"slot\":%d,\"start\":%u,\"lastSampleIndex\":%u,\"samples\":%u",
                          m.messageNumber, m.slot, m.entry.startAddress, m.entry.lastSampleIndex, m.samples);
            out += Format(",\"packedBytes\":%u,\"seconds\":%.4f,\"tone\":%u,\"beaconCode\":%u,\"beacon\":%s",
                          m.packedBytes, m.seconds, m.entry.toneCode, m.entry.beaconCode,
                          *m.beacon ? JsonString(m.beacon).c_str() : "null");
            out += Format(",\"repeatWord\":%u,\"repeat\":%s,\"repeatCount\":%u", m.entry.repeatWord,
                          m.repeat ? "true" : "false", static_cast<unsigned>(m.repeatCount));
            out += Format(",\"volumeByte\":%u,\"volumeLevel\":", m.volumeByte);
            out += m.volumeLevel ? std::to_string(m.volumeLevel) : "null";
            out += ",\"sharesAudioWith\":";
            out += m.sharesAudioWith ? std::to_string(m.sharesAudioWith) : "null";
            out += Format(",\"audioInside\":%s}", m.audioInside ? "true" : "false");
        }
    }
    out += "]";
    out += Format(",\"audioEnd\":%u,\"freeBytes\":%lld,\"freeSeconds\":%.3f", info.audioEnd,
                  static_cast<long long>(info.freeBytes), info.freeSeconds);
    out += ",\"problems\":[";
    for (size_t i = 0; i < info.problems.size(); ++i) out += (i ? "," : "") + JsonString(info.problems[i]);
    out += "]}\n";
    return out;
}

bool ExtractMessage(std::span<const uint8_t> data, int messageNumber, std::vector<int16_t>& samples,
                    std::string* error) {
    samples.clear();
    if (messageNumber < 1 || messageNumber > kSlotCount) {
        if (error) *error = Format("There is no Message %d; messages are numbered 1 to %d.", messageNumber, kSlotCount);
        return false;
    }
    ImageInfo info;
    // Any capacity will do when only the samples are wanted.
    if (!DecodeImageInfo(data, kDefaultFlashSize, info, error)) return false;
    if (info.erased) {
        if (error) *error = "The message table is erased: the file holds no messages.";
        return false;
    }
    const MessageInfo& m = info.messages[static_cast<size_t>(messageNumber - 1)];
    if (!m.audioInside) {
        if (error)
            *error = Format("The samples of Message %d (from 0x%06X, %u bytes) lie outside the file's audio area.",
                            messageNumber, m.entry.startAddress, m.packedBytes);
        return false;
    }
    samples = Unpack12Bit(data.subspan(m.entry.startAddress, m.packedBytes));
    if (samples.size() > m.samples) samples.resize(m.samples);
    return true;
}

bool WriteMessageWave(const std::string& path, const std::vector<int16_t>& samples, std::string* error) {
    std::vector<uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (int16_t s : samples) {
        const auto u = static_cast<uint16_t>(s);
        bytes.push_back(static_cast<uint8_t>(u));
        bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    const WaveFormatRecord format = WaveFormatRecord::Pcm(1, kImageSampleRate, 16);
    const std::vector<uint8_t> file =
        WaveWriter::WholeFile(format.bytes.data(), WaveFormatRecord::kWrittenLength, bytes.data(), bytes.size());
    // Atomic: a full disk or a folder of that name never costs the file that was there.
    std::string problem;
    if (!ReplaceFileContent(path, {reinterpret_cast<const char*>(file.data()), file.size()}, &problem)) {
        if (error) *error = "Could not write " + path + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace zorvek
