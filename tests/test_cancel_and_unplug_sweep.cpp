// Every command on the simulated siren, broken at many points of its run: the
// adapter failing from each of ~48 calls spread over a clean run (first and last
// included), and Cancel at each progress step. After each run what the command
// said must agree with what the siren and the files hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "ScriptedUserPort.h"
#include "WavTestSupport.h"
#include "audio/AudioWorkspace.h"
#include "files/FirmwareRecoveryFile.h"
#include "files/SirenImageFile.h"
#include "operations/SirenOperations.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFlash = 256u << 10;  // the smallest siren keeps every run short
constexpr int kUnplugPoints = 48;
// Runs of thousands of steps are cancelled at this many steps spread over them.
constexpr int kCancelPoints = 300;

// `count` calls (1-based) spread over 1..total, first and last included.
std::vector<int64_t> Spread(int64_t total, int count) {
    std::vector<int64_t> points;
    for (int i = 0; i < count; ++i) points.push_back(1 + (total - 1) * i / (count - 1));
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

// How one run is broken.
struct Break {
    int64_t failCall = -1;  // the first adapter call that fails (1-based)
    int cancelStep = -1;    // Cancel once this many progress steps were made
    std::string Name() const {
        return failCall > 0 ? "adapter fails from call " + std::to_string(failCall)
                            : "Cancel at step " + std::to_string(cancelStep);
    }
};

// One siren, a folder of files, and the command under test.
class Bench {
public:
    explicit Bench(uint32_t size = kFlash) : siren(Options(size)) {
        link.adapter = &siren;
        job.programFolder = dir.folder();
        for (size_t i = 0; i < size; ++i) Flash()[i] = static_cast<uint8_t>(0x20 + (i * 7 + i / 256) % 200);
    }
    static SimulatorOptions Options(uint32_t size) {
        SimulatorOptions o;
        o.size = size;
        return o;
    }
    std::vector<uint8_t>& Flash() { return siren.Flash().Memory(); }
    SirenOperations Ops() { return SirenOperations(job, link, port); }
    void Apply(const Break& b) {
        if (b.failCall > 0) siren.Faults().unplugAfter = b.failCall - 1;
        port.cancelAtStep = b.cancelStep;
    }
    // Every file of the folder (recursively), with its content.
    std::map<std::string, std::vector<uint8_t>> Files() const {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file()) files[e.path().lexically_relative(dir.path()).string()] = ReadBytes(e.path());
        return files;
    }
    bool Said(const std::string& part) const { return port.SawContaining(part); }

    ScratchFolder dir;
    JobState job;
    SimulatedSiren siren;
    SpiLink link;
    ScriptedUserPort port;
};

// Runs `command` clean to learn its adapter calls and progress steps, then once per
// break; `check` sees every broken run.
void Sweep(const std::function<void(Bench&)>& prepare, const std::function<OperationOutcome(Bench&)>& command,
           const std::function<void(Bench&, OperationOutcome, const Break&)>& check, uint32_t flashSize = kFlash,
           int cancelPoints = kCancelPoints) {
    Bench clean(flashSize);
    prepare(clean);
    ASSERT_EQ(command(clean), OperationOutcome::Success) << ::testing::PrintToString(clean.port.Texts());
    const int64_t calls = clean.siren.Counters().adapterCalls;
    int steps = 0;
    for (const auto& p : clean.port.progresses) steps += p->steps;
    ASSERT_GE(calls, 40);

    std::vector<Break> breaks;
    for (int64_t call : Spread(calls, static_cast<int>(std::min<int64_t>(calls, kUnplugPoints))))
        breaks.push_back({call, -1});
    for (int64_t step : Spread(steps, std::min(steps, cancelPoints))) breaks.push_back({-1, static_cast<int>(step)});
    for (const Break& b : breaks) {
        Bench run(flashSize);
        prepare(run);
        run.Apply(b);
        const OperationOutcome outcome = command(run);
        SCOPED_TRACE(b.Name());
        EXPECT_EQ(run.link.handle, 0u) << "adapter left open";
        if (outcome == OperationOutcome::Failed) {
            EXPECT_FALSE(run.port.messages.empty()) << "failed without a word";
        }
        check(run, outcome, b);
        if (::testing::Test::HasFailure()) return;  // one broken run tells enough
    }
}

std::string WriteMessage(const ScratchFolder& dir, size_t samples) {
    std::vector<int16_t> s(samples);
    for (size_t i = 0; i < samples; ++i) s[i] = static_cast<int16_t>(8000 * std::sin(i * 0.11));
    WriteBytes(dir.file("m.wav"), PcmWave(1, 22010, 16, Samples16(s)));
    return dir.file("m.wav");
}

// No converted audio may stay behind, here or in the shared work folder.
void ExpectNoWorkFiles(Bench& run, const std::map<std::string, std::vector<uint8_t>>& expected) {
    auto files = run.Files();
    for (auto it = files.begin(); it != files.end();)
        it = it->first.rfind("recovery/", 0) == 0 ? files.erase(it) : std::next(it);
    EXPECT_EQ(files.size(), expected.size()) << ::testing::PrintToString(files.size());
    for (const auto& [name, content] : expected) EXPECT_EQ(files[name], content) << name << " changed";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(AudioWorkFolder(run.job), ec))
        EXPECT_NE(e.path().extension(), ".wav") << e.path() << " left";
}

}  // namespace

TEST(Sweep, ProgramNeverPassesAHalfWrittenSiren) {
    std::map<std::string, std::vector<uint8_t>> inputs;
    std::vector<uint8_t> image, old;
    const auto prepare = [&](Bench& b) {
        b.job.slot(7).wavPath = WriteMessage(b.dir, 6000);
        b.job.verify = 1;
        if (image.empty()) {
            JobState copy = b.job;
            copy.flashLastAddress = kFlash - 1;
            ScriptedUserPort quiet;
            SpiLink none;
            FlashImage built;
            ASSERT_EQ(SirenOperations(copy, none, quiet).BuildImage(built), OperationOutcome::Success);
            image.assign(built.bytes().begin(), built.bytes().end());
            old = b.Flash();
            inputs = b.Files();
        }
    };
    const auto command = [](Bench& b) { return b.Ops().ProgramCommand(); };
    Sweep(prepare, command, [&](Bench& run, OperationOutcome outcome, const Break& b) {
        const bool programmed = std::equal(image.begin(), image.end(), run.Flash().begin());
        if (outcome == OperationOutcome::Success) {
            EXPECT_TRUE(programmed) << "success, but the image is not there";
        }
        if (run.Flash() != old && outcome == OperationOutcome::Failed) {
            EXPECT_TRUE(run.Said("NOT") || run.Said("could not be verified") || run.Said("still busy"))
                << ::testing::PrintToString(run.port.Texts());
        }
        if (b.cancelStep > 0) {
            EXPECT_EQ(outcome, OperationOutcome::Cancelled);
        }
        ExpectNoWorkFiles(run, inputs);
    });
}

TEST(Sweep, WritingOnlyWhatDiffersLeavesTheRestAndNeverPassesAHalfWrittenSiren) {
    // The siren holds the image but for one byte that needs an erase (sector 1) and
    // one that needs only a program (sector 3): every new step of the write runs.
    Bytes content(200000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 13 + i / 300);
    Bytes held;
    const auto prepare = [&](Bench& b) {
        WriteBytes(b.dir.file("in.zmg"), content);
        b.port.fileAnswers.push_back(b.dir.file("in.zmg"));
        std::copy(content.begin(), content.end(), b.Flash().begin());
        std::fill(b.Flash().begin() + static_cast<std::ptrdiff_t>(content.size()), b.Flash().end(), 0xFF);
        b.Flash()[0x10005] = static_cast<uint8_t>(content[0x10005] & 0x0F);
        b.Flash()[0x30007] = 0xFF;
        held = b.Flash();
    };
    const auto command = [](Bench& b) { return b.Ops().WriteSiren({.verify = true}); };
    Sweep(prepare, command, [&](Bench& run, OperationOutcome outcome, const Break&) {
        // Sectors 0 and 2 never change, whatever happens.
        for (size_t sector : {0u, 2u})
            EXPECT_TRUE(std::equal(held.begin() + sector * 0x10000, held.begin() + (sector + 1) * 0x10000,
                                   run.Flash().begin() + sector * 0x10000))
                << "sector " << sector << " changed";
        if (outcome == OperationOutcome::Success) {
            EXPECT_TRUE(std::equal(content.begin(), content.end(), run.Flash().begin()));
            EXPECT_EQ(run.job.lastWrite.sectorsErased, 1);
        }
        if (run.Flash() != held && outcome == OperationOutcome::Failed) {
            EXPECT_TRUE(run.Said("NOT") || run.Said("could not be verified") || run.Said("still busy"))
                << ::testing::PrintToString(run.port.Texts());
        }
    });
}

TEST(Sweep, ReadNeverCostsTheEarlierFile) {
    const Bytes earlier = {1, 2, 3};
    const auto prepare = [&](Bench& b) {
        WriteBytes(b.dir.file("out.zmg"), earlier);
        b.port.fileAnswers.push_back(b.dir.file("out.zmg"));
    };
    const auto command = [](Bench& b) { return b.Ops().ReadSiren(); };
    Sweep(
        prepare, command,
        [&](Bench& run, OperationOutcome outcome, const Break&) {
            auto files = run.Files();
            if (outcome == OperationOutcome::Success) {
                EXPECT_EQ(files["out.zmg"], run.Flash());
            } else {
                EXPECT_EQ(files["out.zmg"], earlier);
            }
            if (files.count("out.partial.zmg")) {
                const auto& partial = files["out.partial.zmg"];
                EXPECT_EQ(outcome, OperationOutcome::Cancelled);
                EXPECT_EQ(partial.size() % 256, 0u);
                EXPECT_TRUE(std::equal(partial.begin(), partial.end(), run.Flash().begin()));
                EXPECT_TRUE(run.Said(run.dir.file("out.partial.zmg")));
            }
            EXPECT_LE(files.size(), 2u) << "work file left";
        },
        // A read of 2 MiB takes enough adapter calls to fail 48 of them; each of its
        // Cancels saves up to 2 MiB, so fewer of them.
        2u << 20, 64);
}

TEST(Sweep, WriteNeverPassesAHalfWrittenSiren) {
    Bytes content(100000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 13 + i / 300);
    std::vector<uint8_t> old;
    const auto prepare = [&](Bench& b) {
        WriteBytes(b.dir.file("in.zmg"), content);
        b.port.fileAnswers.push_back(b.dir.file("in.zmg"));
        old = b.Flash();
    };
    const auto command = [](Bench& b) { return b.Ops().WriteSiren({.verify = true}); };
    Sweep(prepare, command, [&](Bench& run, OperationOutcome outcome, const Break&) {
        const bool written =
            std::equal(content.begin(), content.end(), run.Flash().begin()) &&
            std::all_of(run.Flash().begin() + content.size(), run.Flash().end(), [](uint8_t v) { return v == 0xFF; });
        if (outcome == OperationOutcome::Success) {
            EXPECT_TRUE(written);
        }
        if (run.Flash() != old && outcome == OperationOutcome::Failed) {
            EXPECT_TRUE(run.Said("NOT") || run.Said("could not be verified") || run.Said("still busy"))
                << ::testing::PrintToString(run.port.Texts());
        }
        EXPECT_EQ(ReadBytes(run.dir.file("in.zmg")), content);
        EXPECT_EQ(run.Files().size(), 1u) << "work file left";
    });
}

TEST(Sweep, FirmwareUpdateLeavesTheOldOrTheNewSectorOrRestoresItNextTime) {
    std::vector<uint8_t> old, updated;
    const auto prepare = [&](Bench& b) {
        std::ofstream(b.dir.file("fw.hex"), std::ios::binary)
            << ":04E000000102030412\r\n:02E80000AA5517\r\n:00000001FF\r\n";
        if (old.empty()) old = b.Flash();
    };
    const auto request = [](Bench& b) {
        return FirmwareRequest{
            .hexPath = b.dir.file("fw.hex"), .confirmed = true, .recoveryFolder = b.dir.file("recovery")};
    };
    const auto command = [&](Bench& b) {
        const OperationOutcome outcome = b.Ops().UpdateFirmwareOnly(request(b));
        if (updated.empty() && outcome == OperationOutcome::Success) updated = b.Flash();
        return outcome;
    };
    Sweep(prepare, command, [&](Bench& run, OperationOutcome outcome, const Break& b) {
        const auto sectorIs = [&](const std::vector<uint8_t>& content) {
            return std::equal(content.begin(), content.begin() + 0x10000, run.Flash().begin());
        };
        EXPECT_TRUE(std::equal(old.begin() + 0x10000, old.end(), run.Flash().begin() + 0x10000));
        const auto recovery = ListFirmwareRecoveryFiles(run.dir.file("recovery"));
        if (outcome == OperationOutcome::Success) {
            EXPECT_TRUE(sectorIs(updated));
            EXPECT_TRUE(recovery.empty());
        }
        if (b.cancelStep > 0) {
            EXPECT_TRUE(outcome == OperationOutcome::Success || outcome == OperationOutcome::Cancelled);
        }
        if (outcome == OperationOutcome::Cancelled) {
            EXPECT_TRUE(sectorIs(old));
        }
        if (!sectorIs(old) && !sectorIs(updated)) {
            // Broken in the middle: the failure names the copy, and the next update puts it back.
            ASSERT_EQ(recovery.size(), 1u);
            EXPECT_TRUE(run.Said(recovery[0]));
            run.siren.Faults().unplugAfter = -1;
            run.siren.Flash().AdvanceTime(std::chrono::seconds(10));  // plugged in again a while later
            run.port.cancelAtStep = -1;
            // Left blank, the siren could be any siren: then only the copy named by the user is used.
            const bool blank = std::all_of(run.Flash().begin(), run.Flash().begin() + 0x10000,
                                           [](uint8_t byte) { return byte == 0xFF; });
            FirmwareRequest next = request(run);
            if (blank) next.restoreFrom = recovery[0];
            EXPECT_EQ(run.Ops().UpdateFirmwareOnly(next), OperationOutcome::Success)
                << ::testing::PrintToString(run.port.Texts());
            EXPECT_TRUE(sectorIs(updated));
            // A copy named by the user is left to the user.
            EXPECT_EQ(ListFirmwareRecoveryFiles(run.dir.file("recovery")),
                      blank ? recovery : std::vector<std::string>{});
        }
    });
}
