// The bench self-test on the simulated siren: a full round trip that leaves the
// siren as found, and what it says when the siren does not take the backup back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "files/SirenImageFile.h"
#include "operations/SelfTest.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Bench {
    explicit Bench(SimulatorFaults faults = {}) : siren(Options(std::move(faults))) {
        auto& memory = siren.Flash().Memory();
        for (size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i * 13 + (i >> 10));
        before = memory;
        link.adapter = &siren;
        job.programFolder = dir.folder();
    }
    static SimulatorOptions Options(SimulatorFaults faults) {
        SimulatorOptions o;
        o.size = 256u << 10;
        o.faults = std::move(faults);
        return o;
    }
    ScratchFolder dir;
    SimulatedSiren siren;
    std::vector<uint8_t> before;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

}  // namespace

TEST(SelfTest, RoundTripLeavesTheSirenAsFoundAndReportsEachStep) {
    Bench bench;
    const std::string backup = bench.dir.file("backup.zmg");
    // Someone's file under the name a check copy once had is neither replaced nor removed.
    bench.dir.write("backup.zmg.check", "theirs");
    const SelfTestReport report = SelfTest(bench.job, bench.link, bench.port).Run(backup);
    ASSERT_EQ(report.outcome, OperationOutcome::Success) << report.problem;
    ASSERT_EQ(report.steps.size(), 5u);
    std::ifstream check(bench.dir.file("backup.zmg.check"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(check), {}), "theirs");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(bench.dir.path()), std::filesystem::directory_iterator()), 2)
        << "the private check folder was left behind";
    EXPECT_EQ(report.capacity, 256u << 10);
    EXPECT_EQ(bench.siren.Flash().Memory(), bench.before);
    EXPECT_GT(bench.siren.Flash().sectorErases, 0);
    std::vector<uint8_t> saved;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(backup, saved, &error));
    EXPECT_EQ(saved, bench.before);
    for (const auto& step : report.steps) EXPECT_GT(step.roundTrips, 0) << step.name;
    const std::string text = FormatSelfTestReport(report, "restore");
    EXPECT_NE(text.find("KiB/s"), std::string::npos);
    EXPECT_NE(text.find("PASSED"), std::string::npos);
    EXPECT_EQ(text.find("restore"), std::string::npos);

    // An earlier backup is never overwritten.
    const SelfTestReport again = SelfTest(bench.job, bench.link, bench.port).Run(backup);
    EXPECT_EQ(again.outcome, OperationOutcome::Failed);
    EXPECT_TRUE(again.steps.empty());
}

TEST(SelfTest, FailedWriteBackTellsWhereTheBackupIs) {
    SimulatorFaults faults;
    faults.weakBits.push_back({0x1234, 0});  // never programs to 0
    Bench bench(faults);
    bench.siren.Flash().Memory()[0x1234] = 0x00;
    bench.before[0x1234] = 0x00;
    const std::string backup = bench.dir.file("backup.zmg");
    const SelfTestReport report = SelfTest(bench.job, bench.link, bench.port).Run(backup);
    EXPECT_EQ(report.outcome, OperationOutcome::VerifyFailed);
    EXPECT_TRUE(report.mayDiffer);
    EXPECT_EQ(report.steps.back().name, "restore from backup");
    const std::string text = FormatSelfTestReport(report, "zorvek-cli write --verify " + backup);
    EXPECT_NE(text.find("FAILED"), std::string::npos);
    EXPECT_NE(text.find("zorvek-cli write --verify " + backup), std::string::npos);
    std::vector<uint8_t> saved;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(backup, saved, &error));
    EXPECT_EQ(saved, bench.before);
}
