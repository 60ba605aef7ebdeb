// Every command on the simulated siren, broken at many points of its run: the
// adapter failing from each of ~48 calls spread over a clean run (first and last
// included) and from a few calls inside each phase, read errors, the flash stuck
// busy, and Cancel at each progress step. After each run the outcome and the words
// must be those of that fault at that step, and agree with what the siren and the
// files hold.
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
#include "operations/ProductionStation.h"
#include "operations/SelfTest.h"
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

// How one run is broken: the adapter failing from a call on, a read error at an
// address, the flash stuck busy from a program or erase on, or Cancel at a step.
struct Break {
    enum Kind { Unplug, ReadError, StuckBusy, Cancel } kind;
    int64_t at;
    bool Fault() const { return kind != Cancel; }
    std::string Name() const {
        static const char* const kNames[] = {"adapter fails from call ", "read error at ", "stuck busy after writes ",
                                             "Cancel at step "};
        return kNames[kind] + std::to_string(at);
    }
};

// One siren, a folder of files, and the command under test.
class Bench {
public:
    explicit Bench(uint32_t size = kFlash) : siren(Options(size)) {
        link.adapter = &siren;
        port.onProgressText = [this](const std::string& text) {
            stamps.push_back({text, siren.Counters().adapterCalls, job.abortFlag != 0});
        };
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
        switch (b.kind) {
            case Break::Unplug:
                siren.Faults().unplugAfter = b.at - 1;
                break;
            case Break::ReadError:
                siren.Faults().readErrorAt = {static_cast<uint32_t>(b.at)};
                break;
            case Break::StuckBusy:
                siren.Flash().SetStuckBusyAfter(b.at);
                break;
            case Break::Cancel:
                port.cancelAtStep = static_cast<int>(b.at);
                break;
        }
    }
    // Unplugged and plugged in again, the faults gone: a stuck chip is idle again.
    void Replug() {
        const std::vector<uint8_t> memory = Flash();
        siren.Flash() = SimulatedFlash(static_cast<uint32_t>(memory.size()));
        Flash() = memory;
        siren.Faults() = {};
        port.cancelAtStep = -1;
    }
    int64_t Writes() {
        const auto& f = siren.Flash();
        return f.pagePrograms + f.sectorErases + f.bulkErases;
    }
    // What the run was doing when it first went wrong: its last progress text
    // before the routines gave up.
    std::string Phase() const {
        std::string phase;
        for (const auto& stamp : stamps)
            if (!stamp.aborted && stamp.text != kMsgFinishing) phase = stamp.text;
        return phase;
    }
    // Every file of the folder (recursively), with its content.
    std::map<std::string, std::vector<uint8_t>> Files() const {
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file()) files[e.path().lexically_relative(dir.path()).string()] = ReadBytes(e.path());
        return files;
    }
    bool Said(const std::string& part) const { return port.SawContaining(part); }
    // Whether a message holds one of the |-separated parts.
    bool SaidAnyOf(const std::string& parts) const {
        for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
            if (Said(parts.substr(start, (end = parts.find('|', start)) - start))) return true;
        return false;
    }

    struct Stamp {
        std::string text;
        int64_t calls;  // adapter calls made before it
        bool aborted;   // set after the routines gave up
    };
    std::vector<Stamp> stamps;
    ScratchFolder dir;
    JobState job;
    SimulatedSiren siren;
    SpiLink link;
    ScriptedUserPort port;
};

// Where a sweep runs and what a failed run must say.
struct SweepPlan {
    uint32_t flashSize = kFlash;
    int cancelPoints = kCancelPoints;
    uint32_t readEnd = 0;  // read errors are spread below this address (0: the flash size)
    // A failed run must show a message holding the words (one of "a|b") for what
    // it did last (its last progress text; "" before any); a stuck flash always
    // "still busy".
    std::map<std::string, std::string> failureWords;
    std::string otherWords = "Check connections";  // for a phase not in the map
};

// Runs `command` clean to learn its adapter calls, reads, writes and progress
// steps, then once per break; `check` sees every broken run, after the checks
// every command shares: a fault is never a Cancel nor Cancel a fault, and a
// failure says what failed.
void Sweep(const std::function<void(Bench&)>& prepare, const std::function<OperationOutcome(Bench&)>& command,
           const std::function<void(Bench&, OperationOutcome, const Break&)>& check, const SweepPlan& plan = {}) {
    Bench clean(plan.flashSize);
    prepare(clean);
    ASSERT_EQ(command(clean), OperationOutcome::Success) << ::testing::PrintToString(clean.port.Texts());
    const int64_t calls = clean.siren.Counters().adapterCalls;
    const int64_t writes = clean.Writes();
    int steps = 0;
    for (const auto& p : clean.port.progresses) steps += p->steps;
    ASSERT_GE(calls, 40);

    std::vector<Break> breaks;
    for (int64_t call : Spread(calls, static_cast<int>(std::min<int64_t>(calls, kUnplugPoints))))
        breaks.push_back({Break::Unplug, call});
    // A few in every phase, however short: verify takes few calls, programming most.
    const auto& phases = clean.stamps;
    for (size_t i = 0; i < phases.size(); ++i) {
        const int64_t first = phases[i].calls + 1, last = i + 1 < phases.size() ? phases[i + 1].calls : calls;
        if (last > first)
            for (int64_t call : Spread(last - first + 1, 3)) breaks.push_back({Break::Unplug, first + call - 1});
    }
    for (int64_t address : Spread(plan.readEnd ? plan.readEnd : plan.flashSize, 6))
        breaks.push_back({Break::ReadError, address - 1});
    if (writes > 1)
        for (int64_t write : Spread(writes, static_cast<int>(std::min<int64_t>(writes, 6))))
            breaks.push_back({Break::StuckBusy, write - 1});
    for (int64_t step : Spread(steps, std::min(steps, plan.cancelPoints))) breaks.push_back({Break::Cancel, step});
    for (const Break& b : breaks) {
        Bench run(plan.flashSize);
        prepare(run);
        run.Apply(b);
        const OperationOutcome outcome = command(run);
        const std::string phase = run.Phase();
        SCOPED_TRACE(b.Name() + ", last \"" + phase + "\", said " + ::testing::PrintToString(run.port.Texts()));
        EXPECT_EQ(run.link.handle, 0u) << "adapter left open";
        if (b.Fault()) {
            EXPECT_NE(outcome, OperationOutcome::Cancelled) << "a fault reported as Cancel";
        } else {
            EXPECT_TRUE(outcome == OperationOutcome::Cancelled || outcome == OperationOutcome::Success);
            EXPECT_FALSE(run.Said("Check connections")) << "Cancel reported as a fault";
        }
        if (outcome == OperationOutcome::NoAdapter) {
            EXPECT_EQ(b.kind, Break::Unplug) << "no adapter, though it was there";
        }
        if (outcome == OperationOutcome::Failed) {
            const auto words = plan.failureWords.find(phase);
            const std::string want = b.kind == Break::StuckBusy         ? "still busy"
                                     : words != plan.failureWords.end() ? words->second
                                                                        : plan.otherWords;
            EXPECT_TRUE(run.SaidAnyOf(want)) << "a failure that does not say \"" << want << "\"";
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
    std::vector<uint8_t> image;
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
            inputs = b.Files();
        }
    };
    const SweepPlan plan{.readEnd = 8192,  // the message's pages
                         .failureWords = {{"", "Check connections"},
                                          {"Erasing...", "NOT (completely) programmed"},
                                          {"Programming...", "NOT (completely) programmed"},
                                          {"Verifying...", "could not be verified"}}};
    for (const ProgramRequest& request :
         {ProgramRequest{.verify = true}, ProgramRequest{.verify = false},
          ProgramRequest{.verify = true, .erase = EraseMode::Chip},
          ProgramRequest{.verify = true, .erase = EraseMode::Chip, .writeChanged = false}}) {
        SCOPED_TRACE(::testing::Message() << "verify " << *request.verify << ", bulk erase "
                                          << request.erase.has_value() << ", write all "
                                          << request.writeChanged.has_value());
        const auto command = [&](Bench& b) { return b.Ops().ProgramCommand(request); };
        Sweep(
            prepare, command,
            [&](Bench& run, OperationOutcome outcome, const Break& b) {
                if (outcome == OperationOutcome::Success) {
                    EXPECT_TRUE(std::equal(image.begin(), image.end(), run.Flash().begin()))
                        << "success, but not there";
                }
                if (!b.Fault()) {
                    EXPECT_EQ(outcome, OperationOutcome::Cancelled);
                }
                ExpectNoWorkFiles(run, inputs);
            },
            plan);
    }
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
    Sweep(prepare, command,
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
          {.flashSize = 2u << 20,
           .cancelPoints = 64,
           .failureWords = {{"", "Check connections"}, {"Reading...", "The siren image file was NOT written"}}});
}

TEST(Sweep, WriteNeverPassesAHalfWrittenSiren) {
    Bytes content(100000);
    for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i * 13 + i / 300);
    const auto prepare = [&](Bench& b) {
        WriteBytes(b.dir.file("in.zmg"), content);
        b.port.fileAnswers.push_back(b.dir.file("in.zmg"));
    };
    const auto command = [](Bench& b) { return b.Ops().WriteSiren({.verify = true}); };
    Sweep(prepare, command,
          [&](Bench& run, OperationOutcome outcome, const Break&) {
              const bool written = std::equal(content.begin(), content.end(), run.Flash().begin()) &&
                                   std::all_of(run.Flash().begin() + content.size(), run.Flash().end(),
                                               [](uint8_t v) { return v == 0xFF; });
              if (outcome == OperationOutcome::Success) {
                  EXPECT_TRUE(written);
              }
              EXPECT_EQ(ReadBytes(run.dir.file("in.zmg")), content);
              EXPECT_EQ(run.Files().size(), 1u) << "work file left";
          },
          {.readEnd = 100000,
           .failureWords = {{"", "Check connections"},
                            {"Erasing...", "NOT (completely) written"},
                            {"Programming...", "NOT (completely) written"},
                            {"Verifying...", "could not be verified"}}});
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
    Sweep(prepare, command,
          [&](Bench& run, OperationOutcome outcome, const Break& b) {
              const auto sectorIs = [&](const std::vector<uint8_t>& content) {
                  return std::equal(content.begin(), content.begin() + 0x10000, run.Flash().begin());
              };
              EXPECT_TRUE(std::equal(old.begin() + 0x10000, old.end(), run.Flash().begin() + 0x10000));
              const auto recovery = ListFirmwareRecoveryFiles(run.dir.file("recovery"));
              if (outcome == OperationOutcome::Success) {
                  EXPECT_TRUE(sectorIs(updated));
                  EXPECT_TRUE(recovery.empty());
              }
              if (!b.Fault()) {
                  EXPECT_TRUE(outcome == OperationOutcome::Success || outcome == OperationOutcome::Cancelled);
              }
              if (outcome == OperationOutcome::Cancelled) {
                  EXPECT_TRUE(sectorIs(old));
              }
              if (!sectorIs(old) && !sectorIs(updated)) {
                  // Broken in the middle: the failure names the copy, and the next update puts it back.
                  ASSERT_EQ(recovery.size(), 1u);
                  EXPECT_TRUE(run.Said(recovery[0]));
                  run.Replug();
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
          },
          {.readEnd = 0x10000,
           .failureWords = {{"", "Check connections"},
                            {"Reading...", "the firmware was NOT updated"},
                            {"Erasing...", "NOT (completely) written"},
                            {"Programming...", "NOT (completely) written"},
                            {"Verifying...", "could not be verified"}}});
}

TEST(Sweep, SelfTestLeavesTheSirenAsFoundOrSaysWhereItIs) {
    std::vector<uint8_t> before;
    SelfTestReport last;
    const auto prepare = [&](Bench& b) { before = b.Flash(); };
    const auto command = [&](Bench& b) {
        last = SelfTest(b.job, b.link, b.port).Run(b.dir.file("backup.zmg"));
        if (!last.problem.empty()) b.port.ShowMessage(last.problem, "report", MessageIcon::Information);
        return last.outcome;
    };
    Sweep(prepare, command,
          [&](Bench& run, OperationOutcome outcome, const Break&) {
              if (last.mayDiffer) {
                  EXPECT_TRUE(last.backupSaved);
                  EXPECT_EQ(ReadBytes(run.dir.file("backup.zmg")), before);
              } else {
                  EXPECT_EQ(run.Flash(), before) << "the siren changed, and the report does not say so";
              }
              if (outcome == OperationOutcome::Cancelled) {
                  EXPECT_NE(last.steps.back().name, "restore from backup") << "written back after Cancel";
              }
              if (outcome == OperationOutcome::Failed || outcome == OperationOutcome::VerifyFailed) {
                  // Its steps open and identify anew, so the report, not the progress text, names the step.
                  const auto failed = std::find_if(last.steps.begin(), last.steps.end(), [](const SelfTestStep& s) {
                      return s.outcome != OperationOutcome::Success;
                  });
                  ASSERT_NE(failed, last.steps.end());
                  EXPECT_NE(last.problem.find(last.written ? failed->name : "nothing was written"), std::string::npos);
              }
          },
          {.cancelPoints = 60,
           .otherWords = "Check connections|NOT written|NOT (completely) written|could not be verified"});
}

TEST(Sweep, ProductionStationPassesOnlyAProgrammedSirenAndSaysWhy) {
    std::vector<uint8_t> image(100000);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7 + i / 500);
    SirenReport last;
    const auto command = [&](Bench& b) {
        ProductionStation station(b.job, b.link, b.port);
        if (!station.Open() || station.WaitForSiren(nullptr, std::chrono::milliseconds(0)) != SocketWait::Done)
            return OperationOutcome::NoAdapter;
        last = station.Program(image);
        return last.outcome;
    };
    Sweep([](Bench&) {}, command,
          [&](Bench& run, OperationOutcome outcome, const Break&) {
              if (outcome == OperationOutcome::Success) {
                  EXPECT_TRUE(std::equal(image.begin(), image.end(), run.Flash().begin()));
              } else if (outcome == OperationOutcome::Failed || outcome == OperationOutcome::VerifyFailed) {
                  ASSERT_FALSE(run.port.messages.empty());
                  EXPECT_EQ(last.failure, run.port.messages[0].text.substr(0, run.port.messages[0].text.find('\n')));
              }
          },
          {.readEnd = 100000,
           .failureWords = {{"Erasing...", "NOT (completely) programmed"},
                            {"Programming...", "NOT (completely) programmed"},
                            {"Verifying...", "could not be verified"}}});
}
