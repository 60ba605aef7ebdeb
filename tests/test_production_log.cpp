// The production log's line format and the image checksum it names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "TestFiles.h"
#include "files/ProductionLog.h"

using namespace zorvek;

TEST(ProductionLog, Crc32OfTheCheckString) {
    const char* check = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check), std::strlen(check)), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(ProductionLog, LinesAreOneJsonObjectEachAndAppended) {
    ProductionLogEntry e;
    e.time = "2026-01-02T03:04:05Z";
    e.adapter = "SIM0001";
    e.signature = 0x14;
    e.file = "C:\\jobs\\\"a\".zfg";
    e.imageCrc = 0xCBF43926;
    e.eraseMode = "auto";
    e.writeMode = "changed";
    e.sectorsErased = 3;
    e.pagesWritten = 700;
    e.pagesAlreadyRight = 7492;
    e.outcome = "fail";
    e.seconds = 24.2;
    e.roundTrips = 13257;
    e.failure = "line one\nline\ttwo";
    const std::string line = FormatProductionLogLine(e);
    EXPECT_EQ(
        line,
        "{\"time\":\"2026-01-02T03:04:05Z\",\"adapter\":\"SIM0001\",\"signature\":\"0x14\","
        "\"file\":\"C:\\\\jobs\\\\\\\"a\\\".zfg\",\"crc32\":\"CBF43926\",\"erase\":\"auto\",\"write\":\"changed\","
        "\"sectorsErased\":3,\"pagesWritten\":700,\"pagesAlreadyRight\":7492,\"outcome\":\"fail\","
        "\"seconds\":24.200,\"roundTrips\":13257,\"failure\":\"line one\\nline\\u0009two\"}");

    const zorvek::test::ScratchFolder scratch;
    const auto path = scratch.path() / "log.jsonl";
    std::string error;
    ASSERT_TRUE(AppendProductionLogLine(path.string(), line, &error)) << error;
    ASSERT_TRUE(AppendProductionLogLine(path.string(), "{}", &error)) << error;
    std::ifstream in(path);
    std::string first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(first, line);
    EXPECT_EQ(second, "{}");
    std::filesystem::remove(path);
    EXPECT_FALSE(AppendProductionLogLine((path / "no" / "such").string(), line, &error));
    EXPECT_FALSE(error.empty());
}
