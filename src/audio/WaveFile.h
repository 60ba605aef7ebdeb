#pragma once
// One voice message in memory: the WAV file's format fields, its sample bytes,
// and the steps that turn them into the siren's packed 12-bit form.
#include <cstdint>
#include <string>
#include <vector>

#include "audio/RiffFile.h"
#include "audio/WaveFormat.h"

namespace zorvek {

class UserPort;

// Caption of every reading failure.
inline constexpr const char* kWaveCaption = "Zorvek";

class CWaveFile {
public:
    // Bytes kept zero after the samples, so that a trailing odd byte still
    // reads as a whole 16-bit sample.
    static constexpr size_t kSpareBytes = 5;

    // Reading failures are shown through `port`; with no port they are silent.
    explicit CWaveFile(UserPort* port = nullptr) : m_port(port) {}
    CWaveFile(const CWaveFile&) = delete;
    CWaveFile& operator=(const CWaveFile&) = delete;

    void SetUserPort(UserPort* port) { m_port = port; }
    void SetMessageNumber(int number) { m_messageNumber = number; }
    int MessageNumber() const { return m_messageNumber; }
    // The file the person chose for the message, which may differ from the
    // (temporary) file read. When set, every failure shown ends with the line
    // "Message N: path", so the person knows which file to fix.
    void SetSourceFile(const std::string& path) { m_sourceFile = path; }

    // Reading. Each returns 1 on success, 0 on failure (after showing why).
    int Open(const std::string& fileName);
    int Parse();
    int ReadData();
    // After Parse, instead of ReadData: the next bytes of the data chunk, up to
    // `count`; 0 at its end (or the file's). Shows nothing; the file stays open.
    size_t ReadSamples(void* buffer, size_t count);

    // Conversions, in this order of use.
    int ToMono();          // 1 converted, 0 not multi-channel
    int ReduceTo12Bit();   // always 1; saves "12-bit " + file name beside the file
    int MakeEvenLength();  // 1 last sample dropped, 0 unchanged
    int Pack12Bit();       // 1 packed, -1 the silence pair was substituted
    int DescribeFormat(std::string& channels, std::string& rate, std::string& bits, std::string& samples) const;

    // Writes a WAV file from its arguments alone. 1 written; 0 the file could not
    // be created or written. Shows nothing.
    static int WriteWaveFile(const std::string& fileName, const uint8_t* samples, uint32_t byteCount,
                             const uint8_t* format, uint32_t formatLength);

    // Replaces format and samples, as if read from a file (tests, tools).
    void SetSamples(const WaveFormatRecord& format, const std::vector<uint8_t>& bytes);
    // Frees the samples and closes the file.
    void Release();

    const WaveFormatRecord& Format() const { return m_format; }
    const std::string& FileName() const { return m_fileName; }
    bool IsFileOpen() const { return m_hFile.IsOpen(); }
    // The sample bytes (m_dataSize of them); null when there are none.
    const uint8_t* Samples() const { return m_pSamples.empty() ? nullptr : m_pSamples.data(); }
    uint32_t DataSize() const { return m_dataSize; }
    // After Parse: the data bytes the file really holds, at most the declared size.
    uint32_t DataBytesHeld() const;
    uint32_t SampleRate() const { return m_format.samplesPerSecond(); }
    // After Pack12Bit: the number of 12-bit samples (two per three bytes).
    uint32_t PackedSampleCount() const { return static_cast<uint32_t>(uint64_t{m_dataSize} * 2 / 3); }
    std::vector<uint8_t> PackedBytes() const {
        const uint8_t* p = Samples();
        return p ? std::vector<uint8_t>(p, p + m_dataSize) : std::vector<uint8_t>{};
    }

    // The name ReduceTo12Bit saves under: "12-bit " before the file's own name.
    static std::string TwelveBitName(const std::string& fileName);

private:
    void Report(const std::string& text) const;
    void FailParse(const std::string& text);
    // Conversions work only on bytes really held: a count that the buffer does
    // not back (Parse ran, ReadData did not) is cut down to what is there.
    void ClampToHeld();

    UserPort* m_port = nullptr;
    std::vector<uint8_t> m_pSamples;  // m_dataSize bytes, then zero spare bytes
    RiffFile m_hFile;
    ChunkRecord m_riffChunk;
    ChunkRecord m_subChunk;
    WaveFormatRecord m_format;
    uint32_t m_dataSize = 0;
    std::string m_fileName;
    int m_messageNumber = 0;
    std::string m_sourceFile;
};

}  // namespace zorvek
