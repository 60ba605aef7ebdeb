// A Cancel that arrives before the first erase (Ctrl-C while the audio is
// prepared or the file is read) leaves the siren exactly as it was.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "ScriptedUserPort.h"
#include "operations/SirenOperations.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

class CancelBeforeErase : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvek-cancel-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        job.programFolder = dir.string() + "/";
        std::fill(siren.Flash().Memory().begin(), siren.Flash().Memory().end(), uint8_t{0x5A});
        before = siren.Flash().Memory();
        port.cancelAtPump = 1;  // the very first look at the popup sees Cancel
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    SimulatedSiren siren;
    SpiLink link{&siren};
    JobState job;
    ScriptedUserPort port;
    std::vector<uint8_t> before;
};

TEST_F(CancelBeforeErase, ProgramLeavesTheSirenIntact) {
    SirenOperations ops(job, link, port);
    EXPECT_EQ(ops.ProgramCommand(), OperationOutcome::Cancelled);
    EXPECT_EQ(siren.Flash().sectorErases, 0);
    EXPECT_EQ(siren.Flash().pagePrograms, 0);
    EXPECT_EQ(siren.Flash().Memory(), before);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_FALSE(port.Saw(kMsgProgrammingIncomplete));
}

TEST_F(CancelBeforeErase, WriterLeavesTheSirenIntact) {
    const auto file = dir / "clone.zmg";
    std::ofstream(file, std::ios::binary) << std::string(0x1000, '\x11');
    port.fileAnswers.push_back(file.string());
    SirenOperations ops(job, link, port);
    EXPECT_EQ(ops.WriteSiren(), OperationOutcome::Cancelled);
    EXPECT_EQ(siren.Flash().sectorErases, 0);
    EXPECT_EQ(siren.Flash().Memory(), before);
    EXPECT_EQ(link.handle, 0u);
}

}  // namespace
