// One adapter of a production bench, run against the simulated siren.
#include <gtest/gtest.h>

#include "ScriptedUserPort.h"
#include "operations/ProductionStation.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Bench {
    explicit Bench(uint32_t flashSize, const std::string& faults = "")
        : siren(Options(flashSize, faults)), station(job, link, port) {
        link.adapter = &siren;
    }
    static SimulatorOptions Options(uint32_t size, const std::string& faults) {
        SimulatorOptions options;
        options.size = size;
        std::string error;
        EXPECT_TRUE(ParseSimulatorFaults(faults, options.faults, error)) << error;
        return options;
    }
    SimulatedSiren siren;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
    ProductionStation station;
};

}  // namespace

TEST(ProductionStation, ImageThatDoesNotFitIsRefusedBeforeErasing) {
    Bench bench(256u << 10);
    bench.job.writeChanged = false;  // erasing every sector the image covers
    ASSERT_TRUE(bench.station.Open());
    ASSERT_EQ(bench.station.WaitForSiren(nullptr), SocketWait::Done);
    EXPECT_EQ(bench.job.flashLastAddress, (256u << 10) - 1);
    // Erased bytes past the end are left out; anything else would wrap onto the start.
    std::vector<uint8_t> image(512u << 10, 0xFF);
    image[5] = 0x00;
    EXPECT_TRUE(bench.station.Program(image).Passed());
    image[300u << 10] = 0x00;
    const SirenReport refused = bench.station.Program(image);
    EXPECT_EQ(refused.outcome, OperationOutcome::Failed);
    EXPECT_EQ(refused.failure, "The image does not fit this siren's flash.");
    // Only the first run's: the four sectors of the full flash, none wrapping onto sector 0.
    EXPECT_EQ(bench.siren.Flash().sectorErases, 4);
}

TEST(ProductionStation, FailureCarriesTheFirstMessageAndTheWaitsEnd) {
    Bench bench(2u << 20);
    ASSERT_TRUE(bench.station.Open());
    ASSERT_EQ(bench.station.WaitForSiren(nullptr), SocketWait::Done);
    bench.siren.Flash().SetStuckBusyAfter(2);
    const SirenReport report = bench.station.Program(std::vector<uint8_t>(1000, 0x00));
    EXPECT_EQ(report.outcome, OperationOutcome::Failed);
    EXPECT_EQ(report.failure, "The flash was still busy after 1 seconds, so the operation was stopped.");
    EXPECT_EQ(report.signature, 0x14u);
    // A stop request ends a wait before it polls; a lost adapter ends it too.
    EXPECT_EQ(bench.station.WaitForRemoval([] { return true; }), SocketWait::Stopped);
    bench.siren.Faults().unplugAfter = 0;
    EXPECT_EQ(bench.station.WaitForRemoval(nullptr), SocketWait::AdapterFailed);
}

TEST(ProductionStation, WaitsForTheProgrammedSirenToBeTakenOutAndTheNextToArrive) {
    Bench bench(256u << 10);
    ASSERT_TRUE(bench.station.Open());
    ASSERT_EQ(bench.station.WaitForSiren(nullptr, std::chrono::milliseconds(0)), SocketWait::Done);
    // A siren still in the socket is not taken out, however often it is asked.
    int looks = 0;
    EXPECT_EQ(bench.station.WaitForRemoval([&] { return looks++ == 5; }, std::chrono::milliseconds(0)),
              SocketWait::Stopped);
    bench.siren.Faults().sirens = 2;  // from now on each written siren leaves, and one more comes
    ASSERT_TRUE(bench.station.Program(std::vector<uint8_t>(300, 0x00)).Passed());
    EXPECT_EQ(bench.station.WaitForRemoval(nullptr, std::chrono::milliseconds(0)), SocketWait::Done);
    EXPECT_EQ(bench.siren.SirenInSocket(), 0);
    EXPECT_EQ(bench.station.WaitForSiren(nullptr, std::chrono::milliseconds(0)), SocketWait::Done);
    EXPECT_NE(bench.siren.SirenInSocket(), 0);
}

// A bench takes every chip Program takes: one without RES is seen, and block
// protection is lifted for the write and left as found.
TEST(ProductionStation, IdentifiesChipsWithoutResAndLiftsTheirProtection) {
    for (const auto& [chip, protect] : {std::pair{"N25Q032A", 0x7C}, std::pair{"W25Q16JV", 0x1C}}) {
        SCOPED_TRACE(chip);
        Bench bench(2u << 20, std::string("chip=") + chip + ",protect=" + std::to_string(protect));
        ASSERT_TRUE(bench.station.Open());
        int looks = 0;
        ASSERT_EQ(bench.station.WaitForSiren([&] { return looks++ > 0; }), SocketWait::Done);
        EXPECT_STREQ(bench.job.flashIdentity.chip.name, chip);
        std::vector<uint8_t> image(5000);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
        const SirenReport report = bench.station.Program(image);
        EXPECT_TRUE(report.Passed()) << report.failure;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), bench.siren.Flash().Memory().begin()));
        EXPECT_EQ(bench.siren.Flash().StatusRegister1(), protect);
    }
}

// A flash that answers but cannot be used is named once, not polled in silence.
TEST(ProductionStation, AFlashThatCannotBeUsedIsNamedOnceWhileTheBenchWaits) {
    Bench bench(2u << 20, "jedec=9D6015,sfdp=none");
    ASSERT_TRUE(bench.station.Open());
    int looks = 0;
    EXPECT_EQ(bench.station.WaitForSiren([&] { return looks++ == 4; }, std::chrono::milliseconds(0)),
              SocketWait::Stopped);
    int said = 0;
    for (const auto& text : bench.port.Texts())
        said += text.find("cannot be used (flash not recognised: 0x9d6015") != std::string::npos;
    EXPECT_EQ(said, 1) << ::testing::PrintToString(bench.port.Texts());
}
