#include <gtest/gtest.h>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "audio/WaveFile.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

class WaveFileTest : public ::testing::Test {
protected:
    // Opens, parses and reads `bytes` as a file; returns Parse's result.
    int Load(const Bytes& bytes, CWaveFile& wave, int* readResult = nullptr) {
        WriteBytes(path(), bytes);
        EXPECT_EQ(wave.Open(path()), 1);
        const int parsed = wave.Parse();
        if (parsed && readResult) *readResult = wave.ReadData();
        if (parsed && !readResult) wave.ReadData();
        return parsed;
    }
    std::string path() const { return scratch.file("in.wav"); }
    std::vector<int16_t> Samples16Of(const CWaveFile& wave) const {
        std::vector<int16_t> out;
        for (uint32_t i = 0; i + 1 < wave.DataSize() + 1; i += 2)
            out.push_back(static_cast<int16_t>(wave.Samples()[i] | wave.Samples()[i + 1] << 8));
        return out;
    }

    ScratchFolder scratch;
    ScriptedUserPort port;
};

TEST_F(WaveFileTest, ChunksBeforeAndBetweenAreSkipped) {
    // A broadcast chunk and an odd-sized LIST chunk (with its pad byte) before
    // "fmt ", and a "fact" chunk between "fmt " and "data".
    const Bytes data = Samples16({1, -2, 3});
    CWaveFile wave(&port);
    ASSERT_EQ(Load(RiffWave({Chunk("bext", Bytes(602, 0x11)), Chunk("LIST", Bytes(5, 0x22)),
                             Chunk("fmt ", FmtBody(1, 1, 44100, 16)), Chunk("fact", Bytes(4, 0)), Chunk("data", data)}),
                   wave),
              1);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_FALSE(wave.IsFileOpen());
    EXPECT_EQ(wave.DataSize(), 6u);
    EXPECT_EQ(Samples16Of(wave), (std::vector<int16_t>{1, -2, 3}));
    EXPECT_EQ(wave.Format().samplesPerSecond(), 44100u);
    EXPECT_EQ(wave.Format().channels(), 1u);
    EXPECT_EQ(wave.Format().extraSize(), 0u);
}

TEST_F(WaveFileTest, ParseFailuresShowTheirTextAndCloseTheFile) {
    struct Case {
        const char* name;
        Bytes file;
        const char* text;
    };
    const Bytes fmt = Chunk("fmt ", FmtBody(1, 1, 8000, 16));
    const Bytes data = Chunk("data", Samples16({5, 6}));
    Bytes truncatedFmt = RiffWave({Chunk("fmt ", FmtBody(1, 1, 8000, 16))});
    truncatedFmt.resize(truncatedFmt.size() - 6);
    const std::vector<Case> cases = {
        {"empty file", {}, "No embedded WAVE format within file."},
        {"not RIFF", Bytes(64, 'x'), "No embedded WAVE format within file."},
        {"RIFF of another form", Chunk("RIFF", {'A', 'V', 'I', ' ', 0, 0, 0, 0}),
         "No embedded WAVE format within file."},
        {"header cut short", {'R', 'I', 'F', 'F', 4, 0}, "No embedded WAVE format within file."},
        {"no fmt", RiffWave({data}), "File has NO 'FMT' chunk."},
        {"data before fmt", RiffWave({data, fmt}), "File has no data chunk."},
        {"no data", RiffWave({fmt, Chunk("LIST", Bytes(8, 0))}), "File has no data chunk."},
        {"fmt cut short", truncatedFmt, "ERROR: could not read 'FMT' chunk in file."},
        {"fmt declares 4 GiB", RiffWave({Chunk("fmt ", FmtBody(1, 1, 8000, 16), 0xFFFFFFFF)}),
         "ERROR: could not read 'FMT' chunk in file."},
        {"float samples", RiffWave({Chunk("fmt ", FmtBody(3, 1, 8000, 32)), data}), "Waveform is compressed. Sorry."},
        {"empty data", RiffWave({fmt, Chunk("data", {})}), "The data chunk contains no data in file."},
        // A skipped chunk whose size runs past the end stops the search at the end of the file.
        {"chunk past the end", RiffWave({Chunk("JUNK", Bytes(4, 0), 0xFFFFFFF0), fmt, data}),
         "File has NO 'FMT' chunk."},
        // The form's declared size bounds the search even when the file goes on.
        {"form shorter than file", RiffWave({fmt, data}, 4 + 24), "File has no data chunk."},
        // A format that claims more than its form holds is a damaged format, whatever follows.
        {"fmt past the form", RiffWave({Chunk("fmt ", FmtBody(1, 1, 8000, 16), 24), data}, 4 + 24),
         "ERROR: could not read 'FMT' chunk in file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUserPort casePort;
        CWaveFile wave(&casePort);
        WriteBytes(path(), c.file);
        ASSERT_EQ(wave.Open(path()), 1);
        EXPECT_EQ(wave.Parse(), 0);
        EXPECT_FALSE(wave.IsFileOpen());
        ASSERT_EQ(casePort.messages.size(), 1u);
        EXPECT_EQ(casePort.messages[0].text, c.text);
        EXPECT_EQ(casePort.messages[0].caption, "Zorvek");
    }
}

TEST_F(WaveFileTest, ExtensibleFormatKeepsTwentyBytesAndIsRefused) {
    CWaveFile wave(&port);
    EXPECT_EQ(Load(RiffWave({Chunk("fmt ", FmtBody(0xFFFE, 2, 48000, 24, 40)), Chunk("data", Bytes(12, 1))}), wave), 0);
    EXPECT_EQ(port.Texts(), (std::vector<std::string>{"Waveform is compressed. Sorry."}));
    EXPECT_EQ(wave.Format().formatTag(), 0xFFFEu);
    EXPECT_EQ(wave.Format().channels(), 2u);
    // Bytes 16..19 of the chunk, nothing beyond.
    EXPECT_EQ(wave.Format().bytes[16], 0xA0 + 16);
    EXPECT_EQ(wave.Format().bytes[19], 0xA0 + 19);
}

TEST_F(WaveFileTest, OpenFailureNamesTheMessage) {
    CWaveFile wave(&port);
    wave.SetMessageNumber(1);
    EXPECT_EQ(wave.Open(scratch.file("missing.wav")), 0);
    EXPECT_EQ(wave.Open(scratch.folder()), 0);  // a folder is not a WAV file
    ASSERT_EQ(port.messages.size(), 2u);
    EXPECT_EQ(
        port.messages[0].text,
        "Failed to open file specified for message 1.\nCheck file exists and it is Uncompressed PCM.\n(check Help)");
    EXPECT_EQ(port.messages[0].caption, "Zorvek");
    EXPECT_EQ(wave.FileName(), scratch.folder());
}

TEST_F(WaveFileTest, TruncatedDataKeepsWhatWasReadWithoutTrustingTheDeclaredSize) {
    // The data chunk claims almost 4 GiB; the file holds three samples.
    Bytes file = RiffWave({Chunk("fmt ", FmtBody(1, 1, 8000, 16))});
    Bytes data = Samples16({100, -200, 300});
    AppendId(file, "data");
    Append32(file, 0xFFFFFFF0);
    file.insert(file.end(), data.begin(), data.end());
    const uint32_t riffSize = static_cast<uint32_t>(file.size() - 8);
    for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
    CWaveFile wave(&port);
    int read = -1;
    ASSERT_EQ(Load(file, wave, &read), 1);
    EXPECT_EQ(read, 0);
    EXPECT_EQ(port.Texts(), (std::vector<std::string>{"Failed to read data chunk in file."}));
    EXPECT_FALSE(wave.IsFileOpen());
    EXPECT_EQ(wave.DataSize(), 6u);
    EXPECT_EQ(Samples16Of(wave), (std::vector<int16_t>{100, -200, 300}));
}

TEST_F(WaveFileTest, ToMonoKeepsTheFirstChannel) {
    CWaveFile stereo16;
    stereo16.SetSamples(WaveFormatRecord::Pcm(2, 44100, 16), Samples16({10, -10, 20, -20}));
    EXPECT_EQ(stereo16.ToMono(), 1);
    EXPECT_EQ(Samples16Of(stereo16), (std::vector<int16_t>{10, 20}));
    EXPECT_EQ(stereo16.Format().channels(), 1u);
    EXPECT_EQ(stereo16.Format().blockAlign(), 2u);
    EXPECT_EQ(stereo16.Format().averageBytesPerSecond(), 88200u);
    EXPECT_EQ(stereo16.Format().samplesPerSecond(), 44100u);
    EXPECT_EQ(stereo16.DataSize(), 4u);

    // 8-bit stereo: one byte per channel, so every frame gives its left byte.
    CWaveFile stereo8;
    stereo8.SetSamples(WaveFormatRecord::Pcm(2, 8000, 8), {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(stereo8.ToMono(), 1);
    ASSERT_EQ(stereo8.DataSize(), 3u);
    EXPECT_EQ(Bytes(stereo8.Samples(), stereo8.Samples() + 3), (Bytes{1, 3, 5}));

    // 24-bit, three channels.
    CWaveFile three24;
    three24.SetSamples(WaveFormatRecord::Pcm(3, 48000, 24), {1, 2, 3, 9, 9, 9, 8, 8, 8, 4, 5, 6, 9, 9, 9, 8, 8, 8});
    EXPECT_EQ(three24.ToMono(), 1);
    ASSERT_EQ(three24.DataSize(), 6u);
    EXPECT_EQ(Bytes(three24.Samples(), three24.Samples() + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(three24.Format().blockAlign(), 3u);

    CWaveFile mono;
    mono.SetSamples(WaveFormatRecord::Pcm(1, 8000, 16), Samples16({1, 2}));
    EXPECT_EQ(mono.ToMono(), 0);
    EXPECT_EQ(mono.DataSize(), 4u);

    // No samples: a stereo record is still rewritten.
    CWaveFile empty;
    empty.SetSamples(WaveFormatRecord::Pcm(2, 8000, 16), {});
    EXPECT_EQ(empty.ToMono(), 1);
    EXPECT_EQ(empty.Format().channels(), 1u);
    EXPECT_EQ(empty.DataSize(), 0u);
}

TEST_F(WaveFileTest, ReduceTo12BitRoundsTiesUpAndSavesBesideTheFile) {
    CWaveFile wave;
    WriteBytes(scratch.file("output3.wav"),
               PcmWave(1, 22010, 16, Samples16({32759, 32767, 7, 8, -8, -9, -32768, 1000})));
    ASSERT_EQ(wave.Open(scratch.file("output3.wav")), 1);
    ASSERT_EQ(wave.Parse(), 1);
    ASSERT_EQ(wave.ReadData(), 1);
    EXPECT_EQ(wave.ReduceTo12Bit(), 1);
    const std::vector<int16_t> expected{32752, 32752, 0, 16, 0, -16, -32768, 1008};
    EXPECT_EQ(Samples16Of(wave), expected);

    const Bytes saved = ReadBytes(scratch.file("12-bit output3.wav"));
    ASSERT_EQ(saved.size(), 46u + 16u);
    EXPECT_EQ(IdAt(saved, 38), "data");
    EXPECT_EQ(Le32At(saved, 16), 18u);
    EXPECT_EQ(Le32At(saved, 42), 16u);
    EXPECT_EQ(Bytes(saved.begin() + 46, saved.end()), Samples16(expected));
    // A 16-byte "fmt " chunk leaves extra-size at zero in the 18 bytes written.
    EXPECT_EQ(saved[36], 0);
    EXPECT_EQ(saved[37], 0);
}

TEST_F(WaveFileTest, EvenLengthAndPacking) {
    CWaveFile three;
    three.SetSamples(WaveFormatRecord::Pcm(1, 22010, 16), Samples16({0, -16, 5}));
    EXPECT_EQ(three.MakeEvenLength(), 1);
    EXPECT_EQ(three.DataSize(), 4u);
    EXPECT_EQ(three.Pack12Bit(), 1);
    ASSERT_EQ(three.DataSize(), 3u);
    EXPECT_EQ(three.PackedBytes(), (Bytes{0x00, 0x78, 0xFF}));
    EXPECT_EQ(three.PackedSampleCount(), 2u);

    CWaveFile four;
    four.SetSamples(WaveFormatRecord::Pcm(1, 22010, 16), Samples16({-32768, 32752, 0x1230, -0x1240}));
    EXPECT_EQ(four.MakeEvenLength(), 0);
    EXPECT_EQ(four.Pack12Bit(), 1);
    // Codes 0x000, 0xFFF, then 0x923 and 0x6DC.
    EXPECT_EQ(four.PackedBytes(), (Bytes{0x00, 0xF0, 0xFF, 0x23, 0x69, 0xDC}));

    CWaveFile one;
    one.SetSamples(WaveFormatRecord::Pcm(1, 22010, 16), Samples16({1234}));
    EXPECT_EQ(one.MakeEvenLength(), 1);
    EXPECT_EQ(one.DataSize(), 0u);
    EXPECT_EQ(one.Pack12Bit(), -1);
    EXPECT_EQ(one.PackedBytes(), (Bytes{0x00, 0x88, 0x00}));

    CWaveFile none;  // never read
    EXPECT_EQ(none.Pack12Bit(), -1);
    EXPECT_EQ(none.DataSize(), 3u);

    // A lone odd byte is no sample pair either.
    CWaveFile oddByte;
    oddByte.SetSamples(WaveFormatRecord::Pcm(1, 22010, 16), {0x42});
    EXPECT_EQ(oddByte.MakeEvenLength(), 0);
    EXPECT_EQ(oddByte.Pack12Bit(), -1);
    EXPECT_EQ(oddByte.DataSize(), 3u);
}

TEST_F(WaveFileTest, WriteWaveFileLayout) {
    const auto record = WaveFormatRecord::Pcm(1, 22010, 16);
    const Bytes format(record.bytes.begin(), record.bytes.end());
    const Bytes odd{1, 2, 3};
    ASSERT_EQ(CWaveFile::WriteWaveFile(path(), odd.data(), 3, format.data(), 18), 1);
    const Bytes written = ReadBytes(path());
    ASSERT_EQ(written.size(), 46u + 4u);
    EXPECT_EQ(IdAt(written, 0), "RIFF");
    EXPECT_EQ(Le32At(written, 4), written.size() - 8);
    EXPECT_EQ(IdAt(written, 8), "WAVE");
    EXPECT_EQ(IdAt(written, 12), "fmt ");
    EXPECT_EQ(Le32At(written, 16), 18u);
    EXPECT_EQ(Bytes(written.begin() + 20, written.begin() + 38), Bytes(format.begin(), format.begin() + 18));
    EXPECT_EQ(IdAt(written, 38), "data");
    EXPECT_EQ(Le32At(written, 42), 3u);
    EXPECT_EQ(Bytes(written.begin() + 46, written.end()), (Bytes{1, 2, 3, 0}));

    // Our own reader takes it back.
    CWaveFile back;
    ASSERT_EQ(back.Open(path()), 1);
    ASSERT_EQ(back.Parse(), 1);
    EXPECT_EQ(back.ReadData(), 1);
    EXPECT_EQ(back.PackedBytes(), odd);

    // An odd format length is padded too; a file that cannot be created gives 0.
    ASSERT_EQ(CWaveFile::WriteWaveFile(path(), nullptr, 0, format.data(), 17), 1);
    EXPECT_EQ(IdAt(ReadBytes(path()), 38), "data");
    EXPECT_EQ(CWaveFile::WriteWaveFile(scratch.file("no/such/folder.wav"), odd.data(), 3, format.data(), 18), 0);
}

}  // namespace
