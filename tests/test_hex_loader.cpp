// Firmware HEX loading: files made by srec_cat and objcopy from random firmware,
// and hand-made damaged files that must never reach the siren.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptedUserPort.h"
#include "TestFiles.h"
#include "image/FirmwareHexLoader.h"
#include "image/IntelHex.h"

namespace zorvek {
namespace {

namespace fs = std::filesystem;

// One well-formed record with its checksum.
std::string Record(unsigned address, unsigned type, const std::vector<uint8_t>& data) {
    return test::HexRecord(static_cast<uint16_t>(address), data, static_cast<uint8_t>(type));
}
const std::string kEnd = test::kHexEndRecord;

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class HexLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = scratch_.path();
        fs::create_directories(dir_ / "program");
        job_.programFolder = (dir_ / "program").string() + "/";
        buffer_.assign(0x10000, 0xA5);
    }

    std::string Write(const std::string& name, const std::string& text) {
        fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::vector<uint8_t> RandomFirmware(unsigned seed, size_t size = kFirmwareSize) {
        std::mt19937 rng(seed);
        std::vector<uint8_t> bytes(size);
        for (auto& b : bytes) b = static_cast<uint8_t>(rng());
        return bytes;
    }

    std::string WriteBinary(const std::string& name, const std::vector<uint8_t>& bytes) {
        fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    int Load(const std::string& path) {
        job_.firmwarePath = path;
        return LoadFirmwareHex(job_, port_, buffer_, kFirmwareOffset);
    }

    // Firmware area equals `firmware` and nothing else in the buffer changed.
    void ExpectFirmwareAreaIs(const std::vector<uint8_t>& firmware) {
        for (size_t i = 0; i < buffer_.size(); ++i) {
            uint8_t expected =
                (i >= kFirmwareOffset && i < kFirmwareOffset + kFirmwareSize) ? firmware[i - kFirmwareOffset] : 0xA5;
            ASSERT_EQ(buffer_[i], expected) << "offset " << i;
        }
    }

    void ExpectRejected(const std::string& text, int line, const std::string& reasonPart) {
        std::string path = Write("bad.hex", text);
        std::vector<uint8_t> before = buffer_;
        job_.flashIdText = "ID";
        EXPECT_EQ(Load(path), kHexInvalid);
        EXPECT_EQ(buffer_, before);
        EXPECT_EQ(job_.flashIdText, "ID");
        ASSERT_EQ(port_.messages.size(), 1u);
        const std::string& shown = port_.messages[0].text;
        EXPECT_EQ(shown.rfind("Invalid hex file\n", 0), 0u) << shown;
        if (line > 0) {
            EXPECT_NE(shown.find("Line " + std::to_string(line) + ":"), std::string::npos) << shown;
        }
        EXPECT_NE(shown.find(reasonPart), std::string::npos) << shown;
        EXPECT_EQ(port_.messages[0].caption, kProgramTitle);
        port_.messages.clear();
    }

    test::ScratchFolder scratch_;
    fs::path dir_;
    JobState job_;
    test::ScriptedUserPort port_;
    std::vector<uint8_t> buffer_;
};

TEST_F(HexLoaderTest, SrecCatFilesOfEveryRecordLengthAndLineEndLoadExactly) {
    auto firmware = RandomFirmware(1);
    std::string bin = WriteBinary("fw.bin", firmware);
    for (int length : {16, 32, 255}) {
        for (bool crlf : {false, true}) {
            std::string hex = (dir_ / ("fw" + std::to_string(length) + (crlf ? "crlf" : "lf") + ".hex")).string();
            Run("srec_cat " + bin + " -binary -offset 0xE000 -o " + hex + " -intel -obs=" + std::to_string(length) +
                (crlf ? " -crlf" : ""));
            EXPECT_EQ(Slurp(hex).find("\r\n") != std::string::npos, crlf);
            buffer_.assign(0x10000, 0xA5);
            job_.flashIdText = "0x14";
            ASSERT_EQ(Load(hex), kHexLoaded) << hex;
            ExpectFirmwareAreaIs(firmware);
            EXPECT_EQ(job_.flashIdText, "0x14 (HEX Found)");
        }
    }
    EXPECT_TRUE(port_.messages.empty());
}

TEST_F(HexLoaderTest, ObjcopyFileWithStartRecordLoadsExactly) {
    auto firmware = RandomFirmware(2);
    std::string bin = WriteBinary("fw.bin", firmware);
    std::string hex = (dir_ / "objcopy.hex").string();
    Run("objcopy -I binary -O ihex --change-addresses 0xE000 " + bin + " " + hex);
    ASSERT_EQ(Load(hex), kHexLoaded);
    ExpectFirmwareAreaIs(firmware);
    EXPECT_TRUE(port_.messages.empty());
}

TEST_F(HexLoaderTest, PartialFirmwareLeavesUncoveredBytesAndMarker) {
    // 0xF000..0xF0FF only: the marker at 0xFDFE keeps what the buffer held.
    auto part = RandomFirmware(3, 0x100);
    std::string bin = WriteBinary("part.bin", part);
    std::string hex = (dir_ / "part.hex").string();
    Run("srec_cat " + bin + " -binary -offset 0xF000 -o " + hex + " -intel");
    ASSERT_EQ(Load(hex), kHexLoaded);
    for (size_t i = 0; i < buffer_.size(); ++i) {
        uint8_t expected = (i >= 0x1100 && i < 0x1200) ? part[i - 0x1100] : 0xA5;
        ASSERT_EQ(buffer_[i], expected) << i;
    }
}

TEST_F(HexLoaderTest, HandMadeRecordsPlaceBytesAtTheirControllerAddress) {
    // First and last byte of the area and the update marker; lowercase digits,
    // blank lines, a trailing empty line and trailing blanks are all fine.
    std::string text = Record(0xE000, 0, {0x7A}) + "\n\n   \r\n" + lower(Record(0xFDFE, 0, {0x01})) + "  \n" +
                       Record(0xFFFF, 0, {0xB9}) + "\r\n" + kEnd + "\n\n";
    ASSERT_EQ(Load(Write("hand.hex", text)), kHexLoaded);
    EXPECT_EQ(buffer_[0x100], 0x7A);
    EXPECT_EQ(buffer_[0x1EFE], 0x01);
    EXPECT_EQ(buffer_[0x20FF], 0xB9);
    EXPECT_EQ(buffer_[0x101], 0xA5);
    EXPECT_EQ(buffer_[0x2100], 0xA5);
    EXPECT_TRUE(port_.messages.empty());
}

TEST_F(HexLoaderTest, EndRecordEndsTheFileAndAddressRecordsAreHonoured) {
    std::string text = Record(0, 4, {0, 0}) + "\n" +           // linear base 0
                       Record(0, 2, {0, 0}) + "\n" +           // segment base 0
                       Record(0, 3, {0, 0, 0xE0, 0}) + "\n" +  // start addresses mean nothing here
                       Record(0, 5, {0, 0, 0xE0, 0}) + "\n" + Record(0xE000, 0, {0xAB, 0xCD}) + "\n" + kEnd + "\n" +
                       "\r\n \n";
    ASSERT_EQ(Load(Write("records.hex", text)), kHexLoaded);
    EXPECT_EQ(buffer_[0x100], 0xAB);
    EXPECT_EQ(buffer_[0x101], 0xCD);
    EXPECT_TRUE(port_.messages.empty());

    // A segment base that keeps the data inside 0xE000-0xFFFF places it there.
    buffer_.assign(0x10000, 0xA5);
    ASSERT_EQ(Load(Write("segment.hex", Record(0, 2, {0x0E, 0x00}) + "\n" + Record(0x0010, 0, {0x42}) + "\n" + kEnd)),
              kHexLoaded);
    EXPECT_EQ(buffer_[0x110], 0x42);
}

TEST_F(HexLoaderTest, DamagedFilesAreRejectedWholeWithLineAndReason) {
    const std::string good = Record(0xE000, 0, {0x7A}) + "\n";
    std::string badSum = Record(0xE001, 0, {0x7A});
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    std::string badDigit = Record(0xE001, 0, {0x7A});
    badDigit[9] = 'G';
    ExpectRejected(good + badSum + "\n", 2, "checksum");
    ExpectRejected(good + badDigit + "\n", 2, "hex digit");
    ExpectRejected(good + Record(0xE001, 0, {1}).substr(1) + "\n", 2, "':'");
    ExpectRejected(" " + good, 1, "':'");
    ExpectRejected(Record(0xDFFF, 0, {1}) + "\n", 1, "outside");          // just below the area
    ExpectRejected(Record(0xFFFF, 0, {1, 2}) + "\n", 1, "outside");       // runs past 0xFFFF
    ExpectRejected(Record(0xDF47, 0, {1}) + "\n", 1, "outside");          // below, where volumes would land
    ExpectRejected(Record(0, 4, {0, 1}) + "\n" + good, 2, "outside");     // non-zero linear base
    ExpectRejected(Record(0, 2, {0x10, 0}) + "\n" + good, 2, "outside");  // segment base 0x10000
    ExpectRejected(Record(0, 6, {1}) + "\n", 1, "record type");
    ExpectRejected(":02E00000AB\n", 1, "byte count");
    ExpectRejected(":01E00000\n", 1, "short");
    ExpectRejected(good.substr(0, good.size() - 2) + "\n", 1, "odd");
    ExpectRejected(Record(0, 4, {0, 0, 0, 0}) + "\n", 1, "extended address");
    ExpectRejected(":" + std::string(2000, '0') + "\n", 1, "longer");
    ExpectRejected(kEnd + "\n", 0, "no firmware data");
    ExpectRejected("", 0, "no firmware data");
    // Nothing after a bad record is read, so the message appears once.
    ExpectRejected("x\ny\nz\n", 1, "':'");
}

TEST_F(HexLoaderTest, MissingFileReturnsMinusOneAndChangesNothing) {
    std::vector<uint8_t> before = buffer_;
    job_.flashIdText = "ID";
    EXPECT_EQ(Load((dir_ / "absent.hex").string()), kHexNotFound);
    EXPECT_EQ(Load(""), kHexNotFound);
    EXPECT_EQ(Load(dir_.string()), kHexNotFound);
    EXPECT_EQ(buffer_, before);
    EXPECT_EQ(job_.flashIdText, "ID");
    EXPECT_TRUE(port_.messages.empty());
}

TEST_F(HexLoaderTest, EachLoadAppendsTheNoteAgain) {
    std::string path = Write("one.hex", Record(0xE000, 0, {0x7A}) + "\n" + kEnd + "\n");
    job_.flashIdText = "ID";
    ASSERT_EQ(Load(path), kHexLoaded);
    ASSERT_EQ(Load(path), kHexLoaded);
    EXPECT_EQ(job_.flashIdText, "ID (HEX Found) (HEX Found)");
}

TEST_F(HexLoaderTest, RelativePathIsTakenFromTheProgramFolder) {
    std::ofstream(dir_ / "program" / "fw.hex") << Record(0xE000, 0, {0x7A}) << "\n" << kEnd;
    ASSERT_EQ(Load("fw.hex"), kHexLoaded);
    EXPECT_EQ(buffer_[0x100], 0x7A);
}

TEST_F(HexLoaderTest, SmallBufferIsNeverWrittenPastItsEnd) {
    // A scratch buffer that ends inside the firmware area.
    std::vector<uint8_t> small(0x1000, 0xA5);
    job_.firmwarePath = Write("top.hex", Record(0xE000, 0, {0x7A}) + "\n" + Record(0xFFFF, 0, {0xB9}) + "\n" + kEnd);
    ASSERT_EQ(LoadFirmwareHex(job_, port_, small, kFirmwareOffset), kHexLoaded);
    EXPECT_EQ(small[0x100], 0x7A);
    EXPECT_EQ(small.size(), 0x1000u);
}

TEST_F(HexLoaderTest, VolumeTestFileOverridesVolumesAfterTheFirmware) {
    std::ofstream(dir_ / "program" / kVolumeTestFileName) << "";
    for (int slot = 1; slot <= kSlotCount; ++slot) job_.slot(slot).volumeIndex = slot + 1;
    ASSERT_EQ(Load(Write("fw.hex", Record(0xE000, 0, {0x7A}) + "\n" + kEnd)), kHexLoaded);
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_EQ(port_.messages[0].text, "Updating Siren Tone Volumes with HEX!!!");
    EXPECT_EQ(port_.messages[0].caption, "Caution!");
    EXPECT_EQ(port_.messages[0].icon, MessageIcon::Stop);
    for (int slot = 1; slot <= kSlotCount; ++slot) EXPECT_EQ(buffer_[0x46 + slot], slot + 1);
    EXPECT_EQ(buffer_[0x46], 0xA5);
    EXPECT_EQ(buffer_[0x4E], 0xA5);

    // A volume with no list entry is refused before anything is written.
    port_.messages.clear();
    buffer_.assign(0x10000, 0xA5);
    job_.slot(7).volumeIndex = -1;
    EXPECT_EQ(Load(job_.firmwarePath), kHexInvalid);
    ASSERT_EQ(port_.messages.size(), 1u);
    EXPECT_NE(port_.messages[0].text.find("Message 1"), std::string::npos);
    EXPECT_EQ(buffer_, std::vector<uint8_t>(0x10000, 0xA5));
}

TEST_F(HexLoaderTest, WithoutVolumeTestFileVolumesAreLeftAlone) {
    ASSERT_EQ(Load(Write("fw.hex", Record(0xE000, 0, {0x7A}) + "\n" + kEnd)), kHexLoaded);
    for (size_t i = 0x47; i < 0x4E; ++i) EXPECT_EQ(buffer_[i], 0xA5);
}

TEST(IntelHexReader, ReportsCoverageAndEndRecord) {
    HexReadResult r = ReadIntelHex(Record(0xE010, 0, {0x11, 0x22}) + "\r\n" + kEnd + "\r\n");
    ASSERT_TRUE(r.valid) << r.reason;
    EXPECT_TRUE(r.endRecordSeen);
    EXPECT_EQ(r.dataRecords, 1);
    EXPECT_EQ(r.firmware.present.count(), 2u);
    EXPECT_EQ(r.firmware.bytes[0x10], 0x11);
    EXPECT_EQ(r.firmware.bytes[0x11], 0x22);
}

// A file cut short or with something after its end never reaches the controller.
TEST(IntelHexReader, ACutOrExtendedFileIsRefused) {
    const std::string data = Record(0xE010, 0, {0x11, 0x22}) + "\n";
    const struct {
        std::string text;
        int line;  // of the error; 0: the file as a whole
    } cases[] = {
        {data, 0},                                              // no end record: cut short
        {data + kEnd + "\n" + data, 3},                         // a record after the end
        {data + kEnd + "\ngarbage\n", 3},                       // anything after the end
        {Record(0, 4, {0xFF, 0xFF}) + "\n" + Record(0xFFF0, 0, std::vector<uint8_t>(32, 1)) + "\n" + kEnd, 2},
    };  // the last wraps past 4 GiB where addresses had 32 bits
    for (const auto& c : cases) {
        const HexReadResult r = ReadIntelHex(c.text);
        EXPECT_FALSE(r.valid) << c.text;
        EXPECT_EQ(r.errorLine, c.line) << c.text << r.reason;
    }
    EXPECT_NE(ReadIntelHex(data).reason.find("end-of-file record"), std::string::npos);
}

}  // namespace
}  // namespace zorvek
