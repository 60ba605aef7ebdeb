// The steps from read samples to the siren's packed 12-bit form.
#include <algorithm>
#include <cstring>

#include "audio/WaveFile.h"
#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek {

namespace {
int16_t Sample16(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void Store16(uint8_t* p, int value) {
    const auto u = static_cast<uint16_t>(value);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
}

// Offset binary: 0 is the most negative value, 2048 silence, 4095 the most positive.
unsigned Code12(int16_t s) {
    return static_cast<unsigned>(static_cast<uint16_t>(s + 32768)) >> 4;
}

// The pair of mid-scale samples that stands in for a message without samples.
constexpr uint8_t kSilencePair[3] = {0x00, 0x88, 0x00};
}  // namespace

int CWaveFile::ToMono() {
    const unsigned channels = m_format.channels();
    if (channels < 2) return 0;
    ClampToHeld();
    // Keep the first channel of every frame, whatever the depth and channel
    // count. A partial last frame still gives its first sample, as it does for
    // 16-bit stereo. Done in place: each sample moves towards the start.
    const size_t sampleBytes = std::max<size_t>(1, (size_t{m_format.bitsPerSample()} + 7) / 8);
    const size_t frameBytes = sampleBytes * channels;
    const size_t held = m_dataSize;
    const size_t frames = (held + frameBytes - 1) / frameBytes;
    const size_t written = frames * sampleBytes;
    if (!m_pSamples.empty()) {
        for (size_t f = 0; f < frames; ++f) {
            const size_t from = f * frameBytes;
            // Bytes past the count are the zero spare bytes.
            const size_t n = std::min(sampleBytes, held + kSpareBytes - from);
            std::memmove(m_pSamples.data() + f * sampleBytes, m_pSamples.data() + from, n);
        }
        if (m_pSamples.size() < written + kSpareBytes) m_pSamples.resize(written + kSpareBytes);
        std::fill_n(m_pSamples.begin() + static_cast<std::ptrdiff_t>(written), kSpareBytes, uint8_t{0});
    }
    m_format.setChannels(1);
    m_format.setAverageBytesPerSecond(m_format.averageBytesPerSecond() / channels);
    m_format.setBlockAlign(static_cast<uint16_t>(m_format.blockAlign() / channels));
    m_dataSize = static_cast<uint32_t>(held / channels);
    return 1;
}

int CWaveFile::ReduceTo12Bit() {
    ClampToHeld();
    // The spare bytes back a trailing odd byte, which is taken as a whole sample.
    for (size_t at = 0; at < m_dataSize; at += 2) {
        const int s = Sample16(m_pSamples.data() + at);
        // Round to a multiple of 16, ties upward; the top of the range would
        // round to 32768, which does not exist, so it stays on the highest code.
        const int reduced = s >= 32759 ? 32752 : ((s + 8) & ~15);
        Store16(m_pSamples.data() + at, reduced);
    }
    WriteWaveFile(TwelveBitName(m_fileName), Samples(), m_dataSize, m_format.bytes.data(),
                  WaveFormatRecord::kWrittenLength);
    return 1;
}

int CWaveFile::MakeEvenLength() {
    if ((m_dataSize / 2) % 2 == 1) {
        m_dataSize -= 2;
        return 1;
    }
    return 0;
}

int CWaveFile::Pack12Bit() {
    ClampToHeld();
    const size_t pairs = m_dataSize / 4;
    if (pairs == 0) {
        // No whole pair to pack: store one silent pair so that every message
        // has samples to play.
        m_pSamples.assign(std::begin(kSilencePair), std::end(kSilencePair));
        m_pSamples.resize(sizeof kSilencePair + kSpareBytes, 0);
        m_dataSize = sizeof kSilencePair;
        return -1;
    }
    // In place: three bytes out for every four read, so writing stays behind reading.
    uint8_t* const base = m_pSamples.data();
    for (size_t k = 0; k < pairs; ++k) {
        const unsigned a = Code12(Sample16(base + 4 * k));
        const unsigned b = Code12(Sample16(base + 4 * k + 2));
        uint8_t* out = base + 3 * k;
        out[0] = static_cast<uint8_t>(a);
        out[1] = static_cast<uint8_t>(((a >> 8) & 0x0F) | ((b >> 8) & 0x0F) << 4);
        out[2] = static_cast<uint8_t>(b);
    }
    m_dataSize = static_cast<uint32_t>(pairs * 3);
    m_pSamples.resize(size_t{m_dataSize} + kSpareBytes);
    std::fill_n(m_pSamples.begin() + m_dataSize, kSpareBytes, uint8_t{0});
    return 1;
}

int CWaveFile::DescribeFormat(std::string& channels, std::string& rate, std::string& bits, std::string& samples) const {
    if (m_format.channels() == 1) channels = ZT("Mono");
    if (m_format.channels() == 2) channels = ZT("Stereo");
    rate = zorvek::Format(ZT("%u samples/s"), static_cast<unsigned>(m_format.samplesPerSecond()));
    if (m_format.bitsPerSample() == 8) bits = ZT("8-bit");
    if (m_format.bitsPerSample() == 16) bits = ZT("16-bit");
    samples = zorvek::Format(ZT("%u samples"), static_cast<unsigned>(m_dataSize / 2));
    return 1;
}

std::string CWaveFile::TwelveBitName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    if (slash == std::string::npos) return "12-bit " + fileName;
    return fileName.substr(0, slash + 1) + "12-bit " + fileName.substr(slash + 1);
}

}  // namespace zorvek
