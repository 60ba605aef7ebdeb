// Reading a RIFF WAVE file into a CWaveFile.
#include <algorithm>
#include <new>

#include "audio/WaveFile.h"
#include "job/TextFormat.h"
#include "job/Translate.h"
#include "job/UserPort.h"

namespace zorvek {

namespace {
constexpr FourCc kRiff = MakeFourCc("RIFF");
constexpr FourCc kWave = MakeFourCc("WAVE");
constexpr FourCc kFmt = MakeFourCc("fmt ");
constexpr FourCc kData = MakeFourCc("data");
}  // namespace

void CWaveFile::Report(const std::string& text) const {
    if (!m_port) return;
    if (m_sourceFile.empty()) {
        m_port->ShowMessage(text, kWaveCaption, MessageIcon::None);
        return;
    }
    m_port->ShowMessage(text + "\nMessage " + std::to_string(m_messageNumber) + ": " + m_sourceFile, kWaveCaption,
                        MessageIcon::None);
}

void CWaveFile::FailParse(const std::string& text) {
    Report(text);
    m_hFile.Close();
}

int CWaveFile::Open(const std::string& fileName) {
    m_fileName = fileName;
    if (!m_hFile.Open(fileName)) {
        Report(zorvek::Format(ZT("Failed to open file specified for message %d."), m_messageNumber) + "\n" +
               ZT("Check file exists and it is Uncompressed PCM.") + "\n" + ZT("(check Help)"));
        return 0;
    }
    return 1;
}

int CWaveFile::Parse() {
    if (!m_hFile.IsOpen()) {
        // Nothing to walk: the same outcome as a file without a RIFF form.
        Report(ZT("No embedded WAVE format within file."));
        return 0;
    }
    m_hFile.Seek(0);
    if (!m_hFile.Descend(m_riffChunk, nullptr, kRiff, kWave)) {
        FailParse(ZT("No embedded WAVE format within file."));
        return 0;
    }
    if (!m_hFile.Descend(m_subChunk, &m_riffChunk, kFmt)) {
        FailParse(ZT("File has NO 'FMT' chunk."));
        return 0;
    }
    // The whole chunk must be there, inside the file and inside its form; only its first bytes are kept.
    const uint64_t formEnd = std::min<uint64_t>(m_hFile.Size(), m_riffChunk.dataOffset + m_riffChunk.size);
    const uint64_t available = formEnd - std::min(formEnd, m_subChunk.dataOffset);
    const size_t keep = static_cast<size_t>(std::min<uint64_t>(m_subChunk.size, WaveFormatRecord::kSize));
    const size_t got = m_hFile.Read(m_format.bytes.data(), keep);
    if (got < keep || available < m_subChunk.size) {
        FailParse(ZT("ERROR: could not read 'FMT' chunk in file."));
        return 0;
    }
    if (m_format.formatTag() != WaveFormatRecord::kPcmTag) {
        FailParse(ZT("Waveform is compressed. Sorry."));
        return 0;
    }
    m_hFile.Ascend(m_subChunk);
    if (!m_hFile.Descend(m_subChunk, &m_riffChunk, kData)) {
        FailParse(ZT("File has no data chunk."));
        return 0;
    }
    m_dataSize = m_subChunk.size;
    if (m_dataSize == 0) {
        FailParse(ZT("The data chunk contains no data in file."));
        return 0;
    }
    return 1;
}

int CWaveFile::ReadData() {
    // Never trust the declared size for the allocation: a short file cannot
    // supply more than what lies between the data chunk and its end.
    const uint64_t position = m_hFile.Position();
    const uint64_t available = m_hFile.IsOpen() ? m_hFile.Size() - std::min(m_hFile.Size(), position) : 0;
    const uint32_t wanted = m_dataSize;
    const size_t room = static_cast<size_t>(std::min<uint64_t>(wanted, available));
    size_t got = 0;
    try {
        m_pSamples.assign(room + kSpareBytes, 0);
        got = m_hFile.Read(m_pSamples.data(), room);
    } catch (const std::bad_alloc&) {
        m_pSamples.clear();
    }
    m_hFile.Close();
    if (got < wanted) {
        // Keep what arrived; the count follows the bytes really held.
        m_dataSize = static_cast<uint32_t>(got);
        if (!m_pSamples.empty()) m_pSamples.resize(got + kSpareBytes);
        Report(ZT("Failed to read data chunk in file."));
        return 0;
    }
    return 1;
}

size_t CWaveFile::ReadSamples(void* buffer, size_t count) {
    if (!m_hFile.IsOpen()) return 0;
    const uint64_t end = m_subChunk.dataOffset + m_dataSize;
    const uint64_t position = m_hFile.Position();
    if (position >= end) return 0;
    return m_hFile.Read(buffer, static_cast<size_t>(std::min<uint64_t>(count, end - position)));
}

uint32_t CWaveFile::DataBytesHeld() const {
    if (!m_hFile.IsOpen()) return m_dataSize;
    const uint64_t available = m_hFile.Size() - std::min(m_hFile.Size(), m_subChunk.dataOffset);
    return static_cast<uint32_t>(std::min<uint64_t>(m_dataSize, available));
}

void CWaveFile::SetSamples(const WaveFormatRecord& format, const std::vector<uint8_t>& bytes) {
    m_format = format;
    m_pSamples.assign(bytes.begin(), bytes.end());
    m_pSamples.resize(bytes.size() + kSpareBytes, 0);
    m_dataSize = static_cast<uint32_t>(bytes.size());
}

void CWaveFile::Release() {
    m_hFile.Close();
    std::vector<uint8_t>().swap(m_pSamples);
}

void CWaveFile::ClampToHeld() {
    const size_t held = m_pSamples.size() >= kSpareBytes ? m_pSamples.size() - kSpareBytes : 0;
    if (m_dataSize > held) m_dataSize = static_cast<uint32_t>(held);
}

}  // namespace zorvek
