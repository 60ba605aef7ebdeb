// End-to-end runs of the siren commands on the simulated siren.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "WavTestSupport.h"
#include "audio/AudioWorkspace.h"
#include "files/FirmwareRecoveryFile.h"
#include "files/SirenImageFile.h"
#include "job/TextFormat.h"
#include "operations/SirenOperations.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

// A 22010 samples/s message passes the resampler unchanged, so its packed form is exact.
std::string WriteMessage(const ScratchFolder& dir, const std::string& name, size_t samples, double hz = 440) {
    std::vector<int16_t> s(samples);
    for (size_t i = 0; i < samples; ++i) s[i] = static_cast<int16_t>(9000 * std::sin(i * hz * 6.2831853 / 22010));
    WriteBytes(dir.file(name), PcmWave(1, 22010, 16, Samples16(s)));
    return dir.file(name);
}

std::string HexLine(uint16_t address, const std::vector<uint8_t>& data) {
    return test::HexRecord(address, data) + "\r\n";
}

class SirenRun {
public:
    explicit SirenRun(uint32_t flashSize = 2u << 20) : SirenRun(Options(flashSize)) {}
    explicit SirenRun(SimulatorOptions options) : siren(std::move(options)) {
        job.programFolder = dir.folder();
        link.adapter = &siren;
    }
    static SimulatorOptions Options(uint32_t size) {
        SimulatorOptions o;
        o.size = size;
        return o;
    }
    SirenOperations Ops() { return SirenOperations(job, link, port); }
    std::vector<uint8_t>& Flash() { return siren.Flash().Memory(); }
    bool SawTextContaining(const std::string& part) const { return port.SawContaining(part); }

    ScratchFolder dir;
    JobState job;
    SimulatedSiren siren;
    SpiLink link;
    ScriptedUserPort port;
};

FlashImage ExpectedImage(SirenRun& run) {
    JobState copy = run.job;
    copy.flashLastAddress = run.siren.Flash().Size() - 1;
    ScriptedUserPort quiet;
    SpiLink none;
    FlashImage image;
    EXPECT_EQ(SirenOperations(copy, none, quiet).BuildImage(image), OperationOutcome::Success);
    return image;
}

}  // namespace

TEST(SirenOperations, ProgramThenReadBackGivesTheBuiltImage) {
    SirenRun run;
    run.job.slot(7).wavPath = WriteMessage(run.dir, "one.wav", 5001);
    run.job.slot(1).wavPath = WriteMessage(run.dir, "two.wav", 3000, 880);
    run.job.slot(7).toneIndex = 12;
    run.job.slot(1).beaconIndex = 2;
    run.job.verify = 1;
    const FlashImage expected = ExpectedImage(run);

    EXPECT_EQ(run.Ops().ProgramCommand(), OperationOutcome::Success);
    EXPECT_TRUE(run.port.messages.empty()) << run.port.messages.front().text;
    EXPECT_EQ(run.link.handle, 0u) << "adapter left open";
    EXPECT_EQ(run.job.flashStatusText, "");
    EXPECT_EQ(run.job.flashIdText, "");
    ASSERT_EQ(run.port.progresses.size(), 1u);
    EXPECT_TRUE(run.port.progresses[0]->destroyed);

    const std::string clone = run.dir.file("siren.zmg");
    run.port.fileAnswers.push_back(clone);
    EXPECT_EQ(run.Ops().ReadSiren(), OperationOutcome::Success);
    std::vector<uint8_t> file;
    ASSERT_TRUE(ReadWholeFile(clone, file, nullptr));
    ASSERT_EQ(file.size(), 2u << 20);
    EXPECT_TRUE(std::equal(expected.bytes().begin(), expected.bytes().end(), file.begin()));
    EXPECT_TRUE(std::all_of(file.begin() + expected.size(), file.end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(run.job.imageFolder, run.dir.folder());
}

TEST(SirenOperations, EraseCountFollowsImageLength) {
    // 0x2100 + 3 * 19029 + 3 = 0xFFFF bytes: one sector; three bytes more: two.
    for (auto [samples, sectors] : {std::pair{38058u - 2, 1}, std::pair{38058u, 2}}) {
        SirenRun run;
        run.job.writeChanged = false;  // the described procedure: every sector the image covers
        run.job.slot(1).wavPath = WriteMessage(run.dir, "m.wav", samples);
        EXPECT_EQ(run.Ops().ProgramCommand(), OperationOutcome::Success);
        const auto& calls = run.port.progresses.at(0)->calls;
        EXPECT_EQ(calls.at(1), "SetRange 0 " + std::to_string(sectors) + " 1");
        EXPECT_EQ(run.siren.Flash().sectorErases, sectors);
    }
}

TEST(SirenOperations, ImageOfFlashSizeIsRefusedBeforeErasing) {
    // 256 KiB flash: the largest image is 0x3FFFF bytes (its highest address).
    SirenRun fits(256u << 10);
    fits.job.slot(1).wavPath = WriteMessage(fits.dir, "m.wav", 169128);
    EXPECT_EQ(fits.Ops().ProgramCommand(), OperationOutcome::Success);

    SirenRun tooBig(256u << 10);
    tooBig.job.slot(1).wavPath = WriteMessage(tooBig.dir, "m.wav", 169130);
    EXPECT_EQ(tooBig.Ops().ProgramCommand(), OperationOutcome::Failed);
    EXPECT_TRUE(tooBig.port.Saw(std::string(kMsgTooBig) + "\nMessage 2: 0.1 s too long"));
    EXPECT_EQ(tooBig.siren.Flash().sectorErases, 0);
    EXPECT_EQ(tooBig.link.handle, 0u);
}

TEST(SirenOperations, CancelInEachPhaseStopsQuietly) {
    // Steps: 1 sector, then pages, then verify blocks.
    for (int cancelAt : {1, 3, 40, 60}) {
        SirenRun run;
        run.job.slot(1).wavPath = WriteMessage(run.dir, "m.wav", 20000);
        run.job.verify = 1;
        run.port.cancelAtStep = cancelAt;
        EXPECT_EQ(run.Ops().ProgramCommand(), OperationOutcome::Cancelled) << cancelAt;
        EXPECT_TRUE(run.port.messages.empty()) << cancelAt << ": " << run.port.messages.front().text;
        EXPECT_EQ(run.link.handle, 0u);
        EXPECT_TRUE(run.port.progresses.at(0)->destroyed);
    }
}

TEST(SirenOperations, FaultsNeverPassAsSuccess) {
    struct Case {
        const char* name;
        SimulatorFaults faults;
    };
    std::vector<Case> cases;
    for (int64_t n : {3, 12, 40, 400, 700}) {
        SimulatorFaults f;
        f.unplugAfter = n;
        cases.push_back({"unplug", f});
    }
    for (int64_t n : {0, 1, 30}) {
        SimulatorFaults f;
        f.stuckBusyAfter = n;
        cases.push_back({"stuck busy", f});
    }
    SimulatorFaults noDevice;
    noDevice.noDevice = true;
    cases.push_back({"no device", noDevice});
    SimulatorFaults signature;
    signature.signature = 0x42;
    cases.push_back({"unknown signature", signature});
    SimulatorFaults readError;
    readError.readErrorAt = {0x3000};
    cases.push_back({"read error", readError});

    for (auto& c : cases) {
        SimulatorOptions options;
        options.faults = c.faults;
        SirenRun run(options);
        run.job.slot(1).wavPath = WriteMessage(run.dir, "m.wav", 30000);
        run.job.verify = 1;
        const OperationOutcome outcome = run.Ops().ProgramCommand();
        EXPECT_NE(outcome, OperationOutcome::Success) << c.name;
        EXPECT_NE(outcome, OperationOutcome::Cancelled) << c.name;
        EXPECT_FALSE(run.port.messages.empty()) << c.name << ": failure without a word";
        EXPECT_EQ(run.link.handle, 0u) << c.name;
        if (c.faults.unplugAfter >= 0) {
            EXPECT_GT(run.siren.Counters().adapterCalls, c.faults.unplugAfter);
        }
    }
}

TEST(SirenOperations, VerifyFindsWeakBitAtItsAddress) {
    SirenRun run;
    run.job.slot(1).wavPath = WriteMessage(run.dir, "m.wav", 4000);
    run.job.verify = 1;
    const FlashImage image = ExpectedImage(run);
    uint32_t address = kAudioStart + 100;
    while ((image[address] & 0x01) != 0) ++address;
    run.siren.Flash().AddWeakBit(address, 0);
    EXPECT_EQ(run.Ops().ProgramCommand(), OperationOutcome::VerifyFailed);
    EXPECT_TRUE(
        run.port.Saw("Error verifying! Check connections and try again. Location " + std::to_string(address) + "."));
}

TEST(SirenOperations, AReadFailureDuringVerifyFailsTheRunRatherThanReportingADifference) {
    SirenRun program;
    program.job.writeChanged = false;  // no first read, so the read-back is what fails
    program.job.slot(1).wavPath = WriteMessage(program.dir, "m.wav", 4000);
    program.job.verify = 1;
    program.siren.Faults().readErrorAt = {kAudioStart + 10};
    EXPECT_EQ(program.Ops().ProgramCommand(), OperationOutcome::Failed);
    EXPECT_EQ(program.port.Texts(), std::vector<std::string>{kMsgNotVerified});

    SirenRun write(256u << 10);
    write.job.writeChanged = false;
    WriteBytes(write.dir.file("in.zmg"), Bytes(5000, 0x12));
    write.siren.Faults().readErrorAt = {0x30000};
    write.port.fileAnswers.push_back(write.dir.file("in.zmg"));
    EXPECT_EQ(write.Ops().WriteSiren({.verify = true}), OperationOutcome::Failed);
    EXPECT_EQ(write.port.Texts(), std::vector<std::string>{kMsgNotVerified});
}

TEST(SirenOperations, AFailedConversionLeavesNoWorkFiles) {
    SirenRun run;
    run.job.slot(7).wavPath = WriteMessage(run.dir, "good.wav", 3000);
    WriteBytes(run.dir.file("bad.wav"), {'n', 'o'});
    run.job.slot(1).wavPath = run.dir.file("bad.wav");
    EXPECT_EQ(run.Ops().ProgramCommand(), OperationOutcome::Failed);
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(AudioWorkFolder(run.job), ec))
        EXPECT_NE(e.path().extension(), ".wav") << e.path();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(run.dir.path()), {}), 2);
}

TEST(SirenOperations, WriterRefusesAnEmptyFileBeforeErasing) {
    SirenRun run;
    WriteBytes(run.dir.file("empty.zmg"), {});
    run.port.fileAnswers.push_back(run.dir.file("empty.zmg"));
    EXPECT_EQ(run.Ops().WriteSiren(), OperationOutcome::Failed);
    EXPECT_TRUE(run.port.Saw(kMsgEmptyImageFile));
    EXPECT_EQ(run.siren.Counters().adapterCalls, 0);
}

TEST(SirenOperations, CloneOntoAnotherSiren) {
    SirenRun source;
    source.job.slot(7).wavPath = WriteMessage(source.dir, "a.wav", 12345);
    ASSERT_EQ(source.Ops().ProgramCommand(), OperationOutcome::Success);
    const std::string clone = source.dir.file("clone.zmg");
    source.port.fileAnswers.push_back(clone);
    ASSERT_EQ(source.Ops().ReadSiren(), OperationOutcome::Success);

    SirenRun target;
    std::fill(target.Flash().begin(), target.Flash().end(), 0x00);  // a siren with old content
    target.job.verify = 1;
    target.port.fileAnswers.push_back(clone);
    EXPECT_EQ(target.Ops().WriteSiren(), OperationOutcome::Success);
    EXPECT_TRUE(target.Flash() == source.Flash());
    // A full 2 MiB image: 32 sectors; a 33rd would wrap onto sector 0.
    EXPECT_EQ(target.port.progresses.at(0)->calls.at(1), "SetRange 0 32 1");
}

TEST(SirenOperations, WriterPadsShortFilesAndRefusesDataBeyondTheFlash) {
    SirenRun small(512u << 10);
    std::vector<uint8_t> data(1000, 0x5A);
    WriteBytes(small.dir.file("short.zmg"), data);
    std::fill(small.Flash().begin(), small.Flash().end(), 0x00);
    small.port.fileAnswers.push_back(small.dir.file("short.zmg"));
    small.job.verify = 1;
    EXPECT_EQ(small.Ops().WriteSiren(), OperationOutcome::Success);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), small.Flash().begin()));
    EXPECT_TRUE(std::all_of(small.Flash().begin() + 1000, small.Flash().end(), [](uint8_t b) { return b == 0xFF; }));

    SirenRun refused(512u << 10);
    std::vector<uint8_t> big(1u << 20, 0xFF);
    big[600000] = 0x12;
    WriteBytes(refused.dir.file("big.zmg"), big);
    refused.port.fileAnswers.push_back(refused.dir.file("big.zmg"));
    EXPECT_EQ(refused.Ops().WriteSiren(), OperationOutcome::Failed);
    EXPECT_EQ(refused.siren.Flash().sectorErases, 0);
    EXPECT_EQ(refused.link.handle, 0u);
}

TEST(SirenOperations, WriterReadsNoMoreOfAFileThanTheFlashHolds) {
    ScratchFolder dir;
    Bytes big((1u << 20) + 10, 0xFF);
    big[5] = 0x12;
    WriteBytes(dir.file("big.zmg"), big);
    std::vector<uint8_t> head;
    bool restErased = false;
    ASSERT_TRUE(ReadImageHead(dir.file("big.zmg"), 512u << 10, head, restErased, nullptr));
    EXPECT_EQ(head.size(), 512u << 10);
    EXPECT_EQ(head[5], 0x12);
    EXPECT_TRUE(restErased);
    big.back() = 0;
    WriteBytes(dir.file("big.zmg"), big);
    ASSERT_TRUE(ReadImageHead(dir.file("big.zmg"), 512u << 10, head, restErased, nullptr));
    EXPECT_FALSE(restErased);
}

TEST(SirenOperations, ReaderKeepsEarlierFileWhenAReadFails) {
    SirenRun run;
    const std::string target = run.dir.file("keep.zmg");
    WriteBytes(target, {1, 2, 3});
    run.siren.Faults().readErrorAt = {0x150000};
    run.port.fileAnswers.push_back(target);
    EXPECT_EQ(run.Ops().ReadSiren(), OperationOutcome::Failed);
    EXPECT_EQ(ReadBytes(target), (Bytes{1, 2, 3}));
    EXPECT_TRUE(run.SawTextContaining("NOT"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(run.dir.path()), {}), 1) << "temporary left";

    // Cancel keeps the earlier file too; the pages read so far go beside it.
    SirenRun cancelled;
    std::fill(cancelled.Flash().begin(), cancelled.Flash().end(), 0x42);
    WriteBytes(cancelled.dir.file("part.zmg"), {9, 9});
    cancelled.port.cancelAtStep = 10;
    cancelled.port.fileAnswers.push_back(cancelled.dir.file("part.zmg"));
    EXPECT_EQ(cancelled.Ops().ReadSiren(), OperationOutcome::Cancelled);
    EXPECT_EQ(ReadBytes(cancelled.dir.file("part.zmg")), (Bytes{9, 9}));
    EXPECT_EQ(ReadBytes(cancelled.dir.file("part.partial.zmg")), Bytes(10u * 256, 0x42));
    EXPECT_TRUE(cancelled.SawTextContaining(cancelled.dir.file("part.partial.zmg")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cancelled.dir.path()), {}), 2) << "temporary left";

    // The disk fills up while the copy is saved (here: a file size limit of 64 KiB).
    SirenRun full(256u << 10);
    WriteBytes(full.dir.file("full.zmg"), {4, 5});
    full.port.fileAnswers.push_back(full.dir.file("full.zmg"));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 64u << 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const OperationOutcome outcome = full.Ops().ReadSiren();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome, OperationOutcome::Failed);
    EXPECT_TRUE(full.SawTextContaining("Could not write the siren image file")) << full.port.Texts().size();
    EXPECT_EQ(ReadBytes(full.dir.file("full.zmg")), (Bytes{4, 5}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(full.dir.path()), {}), 1) << "temporary left";

    // A place no file can be made: said before anything is read.
    SirenRun nowhere;
    nowhere.port.fileAnswers.push_back(nowhere.dir.file("no-such-folder/clone.zmg"));
    EXPECT_EQ(nowhere.Ops().ReadSiren(), OperationOutcome::Failed);
    EXPECT_TRUE(nowhere.SawTextContaining("Could not create the siren image file"));
    EXPECT_LT(nowhere.siren.Counters().bytesIn, 64);  // identification only
}

TEST(SirenOperations, FirmwareOnlyUpdateRewritesOnlyTheFirmware) {
    SirenRun run;
    run.job.slot(7).wavPath = WriteMessage(run.dir, "a.wav", 90000);
    ASSERT_EQ(run.Ops().ProgramCommand(), OperationOutcome::Success);
    const std::vector<uint8_t> before = run.Flash();
    const std::string hex = run.dir.file("fw.hex");
    {
        std::ofstream out(hex, std::ios::binary);
        out << HexLine(0xE000, {0x10, 0x20, 0x30}) << HexLine(0xFDFE, {0x01}) << ":00000001FF\r\n";
    }
    run.job.verify = 1;
    run.job.firmwareUpdate = 1;
    run.port.yesNoAnswers = {false};  // do not abort
    run.port.fileAnswers.push_back(hex);
    EXPECT_EQ(run.Ops().UpdateFirmwareOnly(), OperationOutcome::Success);
    EXPECT_EQ(run.job.firmwareUpdate, 0);
    EXPECT_FALSE(run.port.firmwareBanner);
    std::vector<uint8_t> expected = before;
    expected[0x100] = 0x10;
    expected[0x101] = 0x20;
    expected[0x102] = 0x30;
    expected[0x1EFE] = 0x01;
    EXPECT_TRUE(run.Flash() == expected);
    EXPECT_EQ(run.job.hexFolder, run.dir.folder());
}

TEST(SirenOperations, FirmwareOnlyUpdateLeavesSirenAloneWhenItCannotReadOrIsCancelled) {
    const auto prepare = [](SirenRun& run) {
        std::ofstream out(run.dir.file("fw.hex"), std::ios::binary);
        out << HexLine(0xE000, {0x10}) << ":00000001FF\r\n";
        out.close();
        std::fill(run.Flash().begin(), run.Flash().begin() + 0x10000, 0x33);
        run.port.yesNoAnswers = {false};
        run.port.fileAnswers.push_back(run.dir.file("fw.hex"));
    };
    SirenRun failing;
    prepare(failing);
    failing.siren.Faults().readErrorAt = {0x8000};
    EXPECT_EQ(failing.Ops().UpdateFirmwareOnly(), OperationOutcome::Failed);
    EXPECT_TRUE(failing.port.Saw(kMsgFirmwareReadFailed));
    EXPECT_EQ(failing.siren.Flash().sectorErases, 0);

    SirenRun cancelled;
    prepare(cancelled);
    cancelled.port.cancelAtPump = 5;
    EXPECT_EQ(cancelled.Ops().UpdateFirmwareOnly(), OperationOutcome::Cancelled);
    EXPECT_EQ(cancelled.siren.Flash().sectorErases, 0);
    EXPECT_EQ(cancelled.link.handle, 0u);

    SirenRun invalid;
    prepare(invalid);
    std::ofstream(invalid.dir.file("fw.hex"), std::ios::binary) << ":02E0000010\r\n";
    EXPECT_EQ(invalid.Ops().UpdateFirmwareOnly(), OperationOutcome::Failed);
    EXPECT_EQ(invalid.siren.Flash().sectorErases, 0);

    SirenRun declined;
    declined.port.yesNoAnswers = {true};  // abort
    EXPECT_EQ(declined.Ops().UpdateFirmwareOnly(), OperationOutcome::Cancelled);
    EXPECT_TRUE(declined.port.openDialogs.empty());
}

TEST(SirenOperations, FirmwareToggleAndDipToggle) {
    SirenRun run;
    run.port.yesNoAnswers = {false};
    run.port.fileAnswers.push_back(std::nullopt);
    run.Ops().ToggleFirmwareUpdate();
    EXPECT_EQ(run.job.firmwareUpdate, 0);
    EXPECT_TRUE(run.port.Saw(kMsgNoFirmware));
    EXPECT_FALSE(run.port.firmwareBanner);
    ASSERT_EQ(run.port.openDialogs.size(), 1u);
    EXPECT_EQ(run.port.openDialogs[0].filter, kHexFilter);

    run.port.yesNoAnswers = {false};
    run.port.fileAnswers.push_back(std::string("/fw/new.hex"));
    run.Ops().ToggleFirmwareUpdate();
    EXPECT_EQ(run.job.firmwareUpdate, 1);
    EXPECT_EQ(run.job.statusLineText, "/fw/new.hex");
    EXPECT_EQ(run.job.hexFolder, "/fw/");
    EXPECT_TRUE(run.port.firmwareBanner);
    const size_t questions = run.port.messages.size();
    run.Ops().ToggleFirmwareUpdate();  // checked: disarms without asking
    EXPECT_EQ(run.job.firmwareUpdate, 0);
    EXPECT_EQ(run.job.statusLineText, "");
    EXPECT_EQ(run.port.messages.size(), questions);

    run.Ops().ToggleDip32Tone();
    EXPECT_EQ(run.job.dip32Tone, 1);
    EXPECT_TRUE(run.port.dip32Indicator);
    run.Ops().ToggleDip32Tone();
    EXPECT_EQ(run.job.dip32Tone, 0);
    EXPECT_FALSE(run.port.dip32Indicator);
}

TEST(SirenOperations, OperationsCalledWithTheirFilesAskNoDialog) {
    SirenRun run;
    run.job.slot(7).wavPath = WriteMessage(run.dir, "a.wav", 4000);
    run.job.verify = 0;
    EXPECT_EQ(run.Ops().ProgramCommand({.verify = true}), OperationOutcome::Success);
    EXPECT_EQ(run.job.verify, 1);

    const std::string clone = run.dir.file("clone.zmg");
    EXPECT_EQ(run.Ops().ReadSiren({.imagePath = clone}), OperationOutcome::Success);
    EXPECT_EQ(run.job.imageFolder, run.dir.folder());

    SirenRun other;
    other.siren.Flash().AddWeakBit(0x2100, 0);
    EXPECT_EQ(other.Ops().WriteSiren({.imagePath = clone, .verify = true}), OperationOutcome::VerifyFailed);
    EXPECT_TRUE(std::equal(run.Flash().begin() + 0x2101, run.Flash().end(), other.Flash().begin() + 0x2101));

    const std::string hex = run.dir.write("fw.hex", HexLine(0xE000, {0x42}) + ":00000001FF\r\n");
    EXPECT_EQ(run.Ops().UpdateFirmwareOnly({.hexPath = hex, .confirmed = true}), OperationOutcome::Success);
    EXPECT_EQ(run.Flash()[0x100], 0x42);
    EXPECT_EQ(run.job.firmwarePath, hex);

    for (const ScriptedUserPort* port : {&run.port, &other.port}) {
        EXPECT_TRUE(port->openDialogs.empty());
        EXPECT_TRUE(port->saveDialogs.empty());
    }
    EXPECT_TRUE(run.port.messages.empty()) << run.port.messages.front().text;  // not even the firmware warning
}

namespace {

// A siren whose first 64 KiB hold a pattern (no byte erased), a firmware file, and
// a folder of its own for recovery files.
struct FirmwareRun : SirenRun {
    FirmwareRun() {
        for (size_t i = 0; i < 0x20000; ++i) Flash()[i] = static_cast<uint8_t>(0x30 + i % 97);
        std::ofstream(dir.file("fw.hex"), std::ios::binary)
            << HexLine(0xE000, {0x00, 0x01, 0x02, 0x03}) << HexLine(0xE800, {0x80, 0x40}) << ":00000001FF\r\n";
        request.hexPath = dir.file("fw.hex");
        request.confirmed = true;
        request.recoveryFolder = dir.file("recovery");
        before = Flash();
    }
    OperationOutcome Update() { return Ops().UpdateFirmwareOnly(request); }
    std::vector<std::string> RecoveryFiles() const { return ListFirmwareRecoveryFiles(*request.recoveryFolder); }
    bool FirstSectorIs(const std::vector<uint8_t>& content) {
        return std::equal(content.begin(), content.begin() + 0x10000, Flash().begin());
    }
    bool RestUnchanged() { return std::equal(before.begin() + 0x10000, before.end(), Flash().begin() + 0x10000); }
    bool SawStep(const std::string& text) const {
        for (const auto& p : port.progresses)
            if (std::find(p->calls.begin(), p->calls.end(), "SetText " + text) != p->calls.end()) return true;
        return false;
    }

    FirmwareRequest request;
    std::vector<uint8_t> before;
};

// What a clean update leaves, and the adapter calls it takes.
std::pair<std::vector<uint8_t>, int64_t> CleanFirmwareUpdate() {
    FirmwareRun clean;
    EXPECT_EQ(clean.Update(), OperationOutcome::Success);
    return {clean.Flash(), clean.siren.Counters().adapterCalls};
}

}  // namespace

TEST(FirmwareUpdate, VerifiesWhatItWroteAndHoldsCancelOnceErasing) {
    const auto [updated, calls] = CleanFirmwareUpdate();
    FirmwareRun clean;
    EXPECT_EQ(clean.Update(), OperationOutcome::Success);
    EXPECT_TRUE(clean.FirstSectorIs(updated));
    EXPECT_TRUE(clean.SawStep("Verifying..."));
    EXPECT_TRUE(clean.RecoveryFiles().empty()) << "recovery file left after a verified update";

    // A weak bit in the firmware: reported like Verify, and the copy stays.
    FirmwareRun weak;
    weak.siren.Flash().AddWeakBit(0x100, 0);  // the firmware's first byte is 0x00
    EXPECT_EQ(weak.Update(), OperationOutcome::VerifyFailed);
    EXPECT_TRUE(weak.port.Saw("Error verifying! Check connections and try again. Location 256."));
    EXPECT_EQ(weak.RecoveryFiles().size(), 1u);

    // Cancel while programming: the sector is finished, not left erased.
    FirmwareRun cancelled;
    cancelled.port.cancelAtStep = 256 + 1 + 20;
    EXPECT_EQ(cancelled.Update(), OperationOutcome::Success);
    EXPECT_TRUE(cancelled.FirstSectorIs(updated));
    EXPECT_TRUE(cancelled.RestUnchanged());
    EXPECT_TRUE(cancelled.SawStep(kMsgFinishing));
    EXPECT_TRUE(cancelled.RecoveryFiles().empty());
}

TEST(FirmwareUpdate, AnInterruptedUpdateIsRestoredByTheNextOneFromItsRecoveryFile) {
    const auto [updated, calls] = CleanFirmwareUpdate();
    FirmwareRun run;
    run.siren.Faults().unplugAfter = calls - 100;  // while programming
    EXPECT_EQ(run.Update(), OperationOutcome::Failed);
    const auto files = run.RecoveryFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(run.SawTextContaining(files[0])) << "the failure does not name the recovery file";
    EXPECT_FALSE(run.FirstSectorIs(run.before));

    run.siren.Faults().unplugAfter = -1;
    run.port.messages.clear();
    EXPECT_EQ(run.Update(), OperationOutcome::Success);
    EXPECT_TRUE(run.port.Saw(Format(kMsgRecoveryUsed, files[0].c_str())));
    EXPECT_TRUE(run.FirstSectorIs(updated));
    EXPECT_TRUE(run.RestUnchanged());
    EXPECT_TRUE(run.RecoveryFiles().empty());
}

TEST(FirmwareUpdate, AWeakBitBesideTheFirmwareIsPutRightFromTheRecoveryFile) {
    const auto [updated, calls] = CleanFirmwareUpdate();
    FirmwareRun run;
    ASSERT_EQ(run.Flash()[0x10], 0x40);
    run.siren.Flash().AddWeakBit(0x10, 0);  // a settings byte; the siren would hold 0x41
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_EQ(run.Update(), OperationOutcome::VerifyFailed);
        const auto files = run.RecoveryFiles();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(run.port.Saw(Format(kMsgRecoveryKept, files[0].c_str())));
        FirmwareRecovery kept;
        ASSERT_TRUE(ReadFirmwareRecovery(files[0], kept, nullptr));
        EXPECT_EQ(kept.before[0x10], 0x40);
        run.port.messages.clear();
    }
    run.siren.Flash().ClearWeakBits();
    EXPECT_EQ(run.Update(), OperationOutcome::Success);
    EXPECT_TRUE(run.FirstSectorIs(updated));
    EXPECT_TRUE(run.RecoveryFiles().empty());
}

namespace {

// Once the siren has been erased, bit 6 at 0x10 reads 0 whatever was written: no
// update can have left that, so no update takes the copy by itself.
class BitStuckLowAfterErase : public SpyAdapter {
public:
    explicit BitStuckLowAfterErase(SimulatedSiren& siren) : SpyAdapter(siren), siren_(siren) {}
    int32_t AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& returned) override {
        const int32_t status = SpyAdapter::AdapterRead(handle, frame, returned);
        const uint32_t from =
            frame.controlByteCount == 4 && frame.control[0] == 0x03
                ? uint32_t{frame.control[1]} << 16 | uint32_t{frame.control[2]} << 8 | frame.control[3]
                : ~0u;
        if (siren_.Flash().sectorErases > 0 && from <= 0x10 && 0x10 < from + frame.readBitCount / 8)
            frame.receive[0x10 - from] &= ~0x40;
        return status;
    }

private:
    SimulatedSiren& siren_;
};

}  // namespace

TEST(FirmwareUpdate, ACopyTheNextUpdateWillNotTakeIsNotPromisedToIt) {
    FirmwareRun run;
    ASSERT_EQ(run.Flash()[0x10], 0x40);
    BitStuckLowAfterErase link(run.siren);
    run.link.adapter = &link;
    EXPECT_EQ(run.Update(), OperationOutcome::VerifyFailed);
    const auto files = run.RecoveryFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(run.port.Saw(Format(kMsgRecoveryKeptNotMatched, files[0].c_str())));
    EXPECT_FALSE(run.SawTextContaining("restores it from there"));
}

TEST(FirmwareUpdate, NothingIsErasedWithoutAUsableRecoveryFile) {
    // Its copy of the sector cannot be kept: a file stands where the folder would be.
    FirmwareRun unsaved;
    unsaved.request.recoveryFolder = unsaved.dir.file("fw.hex") + "/recovery";
    EXPECT_EQ(unsaved.Update(), OperationOutcome::Failed);
    EXPECT_TRUE(unsaved.SawTextContaining("Could not keep a copy of the first 64 KiB"));
    EXPECT_EQ(unsaved.siren.Flash().sectorErases, 0);

    // Protection that cannot be lifted (SRWD with WP low) stops it before a copy is even needed.
    FirmwareRun locked;
    locked.siren.Flash().SetStatusRegisters(0x9C);
    locked.siren.Flash().SetWriteProtectPinLow(true);
    EXPECT_EQ(locked.Update(), OperationOutcome::Failed);
    EXPECT_TRUE(locked.SawTextContaining("write-protected"));
    EXPECT_EQ(locked.siren.Flash().sectorErases, 0);
    EXPECT_TRUE(locked.RecoveryFiles().empty());

    // Named copies that are no recovery file: missing, one byte short or long, another kind.
    FirmwareRun kept;
    kept.siren.Faults().unplugAfter = CleanFirmwareUpdate().second - 100;
    ASSERT_EQ(kept.Update(), OperationOutcome::Failed);
    const std::string good = kept.RecoveryFiles().at(0);
    std::string content(std::istreambuf_iterator<char>(std::ifstream(good, std::ios::binary).rdbuf()), {});
    const std::pair<const char*, std::string> bad[] = {
        {"missing", ""}, {"short", content.substr(1)}, {"long", content + '\0'}, {"other", "X" + content.substr(1)}};
    for (const auto& [name, bytes] : bad) {
        SCOPED_TRACE(name);
        FirmwareRun run;
        run.request.restoreFrom = *name == 'm' ? run.dir.file("none.bin") : run.dir.write("bad.bin", bytes);
        EXPECT_EQ(run.Update(), OperationOutcome::Failed);
        EXPECT_TRUE(run.SawTextContaining(*run.request.restoreFrom));
        EXPECT_TRUE(run.SawTextContaining("The firmware was NOT updated"));
        EXPECT_EQ(run.siren.Flash().sectorErases, 0);
        EXPECT_TRUE(run.FirstSectorIs(run.before));
    }
}

TEST(FirmwareUpdate, ARecoveryFileOfAnotherSirenIsKeptAndNotUsed) {
    const auto [updated, calls] = CleanFirmwareUpdate();
    FirmwareRecovery foreign{std::vector<uint8_t>(0x10000, 0x11), std::vector<uint8_t>(0x10000, 0x22)};
    FirmwareRun run;
    const std::string path = WriteNewFirmwareRecovery(*run.request.recoveryFolder, foreign, nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(run.Update(), OperationOutcome::Success);
    EXPECT_TRUE(run.port.Saw(Format(kMsgRecoveryForeign, path.c_str())));
    EXPECT_TRUE(run.FirstSectorIs(updated));
    EXPECT_EQ(run.RecoveryFiles(), std::vector<std::string>{path});

    // Named by the user, it is refused before anything is erased.
    FirmwareRun named;
    named.request.restoreFrom = path;
    EXPECT_EQ(named.Update(), OperationOutcome::Failed);
    EXPECT_EQ(named.siren.Flash().sectorErases, 0);
    EXPECT_TRUE(named.FirstSectorIs(named.before));
}

// An erased first sector fits any siren's copy: only a copy the user names is used.
TEST(FirmwareUpdate, ABlankSirenNeverConsumesAnotherSirensCopy) {
    // Another siren's copy, of the same flash, left when its update stopped right after the erase.
    const std::vector<uint8_t> theirsBefore(0x10000, 0x5A);
    const FirmwareRecovery theirs{theirsBefore, std::vector<uint8_t>(0x10000, 0x22),
                                  IdentifySiren(0x14, 2u << 20, theirsBefore)};
    FirmwareRun blank;
    std::fill(blank.Flash().begin(), blank.Flash().begin() + 0x10000, 0xFF);
    const std::string path = WriteNewFirmwareRecovery(*blank.request.recoveryFolder, theirs, nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(blank.Update(), OperationOutcome::Success);
    EXPECT_TRUE(blank.port.Saw(Format(kMsgRecoveryBlankSiren, path.c_str())));
    EXPECT_EQ(blank.RecoveryFiles(), std::vector<std::string>{path});
    EXPECT_EQ(blank.Flash()[0], 0xFF) << "another siren's message table was written";

    // Named by the user, it is used, and kept.
    FirmwareRun named;
    std::fill(named.Flash().begin(), named.Flash().begin() + 0x10000, 0xFF);
    named.request.restoreFrom = path;
    EXPECT_EQ(named.Update(), OperationOutcome::Success);
    EXPECT_EQ(named.Flash()[0], 0x5A);
    EXPECT_TRUE(std::filesystem::exists(path));
}

// The identity is that of the siren, and files from before identities still read.
TEST(FirmwareRecoveryFile, RecordsTheSirenAndReadsFilesWithoutAnIdentity) {
    ScratchFolder dir;
    const std::vector<uint8_t> sector(0x10000, 0x33), writing(0x10000, 0x44);
    const SirenIdentity id = IdentifySiren(0x14, 2u << 20, sector);
    const std::string path = WriteNewFirmwareRecovery(dir.path().string(), {sector, writing, id}, nullptr);
    FirmwareRecovery read;
    ASSERT_TRUE(ReadFirmwareRecovery(path, read, nullptr));
    EXPECT_EQ(read.identity, id);
    EXPECT_EQ(MatchRecovery(read, sector, 0x14, 2u << 20), RecoveryMatch::Belongs);
    EXPECT_EQ(MatchRecovery(read, writing, 0x13, 1u << 20), RecoveryMatch::Foreign);  // another flash

    std::string old = std::string("ZorvekFwRecov01") + '\0';
    old.append(sector.begin(), sector.end());
    old.append(writing.begin(), writing.end());
    ASSERT_TRUE(ReadFirmwareRecovery(dir.write("old.bin", old), read, nullptr));
    EXPECT_FALSE(read.identity.known);
    EXPECT_EQ(MatchRecovery(read, std::vector<uint8_t>(0x10000, 0xFF), 0x14, 2u << 20), RecoveryMatch::Blank);
    EXPECT_EQ(MatchRecovery(read, writing, 0x14, 2u << 20), RecoveryMatch::Belongs);
}
