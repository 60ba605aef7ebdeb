// The bench self-test on the simulated siren: a full round trip that leaves the
// siren as found, and what it says when the siren does not take the backup back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "WavTestSupport.h"
#include "files/SirenImageFile.h"
#include "job/FlashChips.h"
#include "job/FlashCommands.h"
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

namespace {

// Flips one bit of the `flipAt`-th flash read that starts at address 0 (0: none),
// and fails those `failing` names.
class FlakyReads : public SpyAdapter {
public:
    using SpyAdapter::SpyAdapter;
    int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& returned) override {
        const int32_t status = SpyAdapter::AdapterRead(handle, frame, returned);
        const bool fromStart = frame.controlByteCount == 4 && frame.control[0] == kCmdReadData &&
                               frame.control[1] == 0 && frame.control[2] == 0 && frame.control[3] == 0;
        if (!fromStart) return status;
        ++readsFromStart;
        if (readsFromStart == flipAt) frame.receive[0] ^= 1;
        return failing.count(readsFromStart) ? kAdapterIoError : status;
    }
    int flipAt = 0, readsFromStart = 0;
    std::set<int> failing;
};

}  // namespace

TEST(SelfTest, StopsBeforeWritingWhenItCannotTrustWhatItRead) {
    struct Case {
        const char* problem;
        OperationOutcome outcome;
        size_t steps;
        std::function<void(Bench&, FlakyReads&)> arrange;
    };
    const Case cases[] = {
        {"No adapter.", OperationOutcome::NoAdapter, 0, [](Bench& b, FlakyReads&) { b.link.adapter = nullptr; }},
        {"could not be identified", OperationOutcome::Failed, 1,
         [](Bench& b, FlakyReads&) { b.siren.Flash().SetSignature(0x99); }},
        {"Reading the siren failed", OperationOutcome::Failed, 2,
         [](Bench& b, FlakyReads&) { b.siren.Faults().readErrorAt = {0x8000}; }},
        {"Two reads of the siren differ", OperationOutcome::VerifyFailed, 3,
         [](Bench&, FlakyReads& link) { link.flipAt = 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        Bench bench;
        FlakyReads link(bench.siren);
        bench.link.adapter = &link;
        c.arrange(bench, link);
        const SelfTestReport report = SelfTest(bench.job, bench.link, bench.port).Run(bench.dir.file("b.zmg"));
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_NE(report.problem.find(c.problem), std::string::npos) << report.problem;
        EXPECT_EQ(report.steps.size(), c.steps);
        EXPECT_FALSE(report.written);
        EXPECT_EQ(bench.siren.Flash().sectorErases + bench.siren.Flash().bulkErases, 0);
    }
}

TEST(SelfTest, AWriteBackThatFailsOnceIsDoneAgain) {
    Bench bench;
    FlakyReads link(bench.siren);
    bench.link.adapter = &link;
    link.failing = {3, 4};  // the write-back's verify (after backup and check), and its retry of the block
    const SelfTestReport report = SelfTest(bench.job, bench.link, bench.port).Run(bench.dir.file("b.zmg"));
    EXPECT_EQ(report.outcome, OperationOutcome::Failed) << report.problem;
    EXPECT_TRUE(report.restoredByRetry);
    EXPECT_FALSE(report.mayDiffer);
    EXPECT_EQ(report.steps.back().name, "restore from backup");
    EXPECT_NE(report.problem.find("written again from the backup and verified"), std::string::npos);
    EXPECT_EQ(bench.siren.Flash().Memory(), bench.before);
}
