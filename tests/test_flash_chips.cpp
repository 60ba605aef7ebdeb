// Real chips: identification by JEDEC ID and SFDP, block protection lifted and put
// back, refused writes named, and the simulated flash as strict as the datasheets.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "TestFiles.h"
#include "operations/FlashRoutines.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"
#include "spi/Sfdp.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct ChipRun {
    explicit ChipRun(const std::string& faults) : siren(Options(faults)) {
        link.adapter = &siren;
        SetupUsb(job, link, port);
    }
    static SimulatorOptions Options(const std::string& faults) {
        SimulatorOptions o;
        std::string error;
        EXPECT_TRUE(ParseSimulatorFaults(faults, o.faults, error)) << error;
        return o;
    }
    FlashWriteResult Write(const std::vector<uint8_t>& data) {
        ProgressScope progress(link, port);
        return EraseProgramVerify(job, link, port, progress, data.data(), data.size(), {true, EraseMode::Sectors});
    }
    bool Untouched() { return siren.Flash().sectorErases + siren.Flash().pagePrograms + siren.Flash().bulkErases == 0; }

    SimulatedSiren siren;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

// A siren that holds something else, so that even a write of only what differs
// must erase and program.
void HoldsAnotherImage(ChipRun& run) {
    auto& memory = run.siren.Flash().Memory();
    std::fill(memory.begin(), memory.end(), uint8_t{0x00});
}

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + (i >> 9));
    return v;
}

}  // namespace

TEST(FlashChips, EveryChipOfTheTableIsIdentifiedByItsJedecId) {
    for (const FlashChip& chip : kFlashChips) {
        ChipRun run(std::string("chip=") + chip.name);
        IdentifyChip(run.job, run.link, run.port);
        const FlashIdentity& id = run.job.flashIdentity;
        EXPECT_EQ(run.job.abortFlag, 0) << chip.name;
        EXPECT_STREQ(id.chip.name, chip.name);
        EXPECT_EQ(id.jedecId, chip.jedecId) << chip.name;
        EXPECT_EQ(id.source, FlashFactsSource::Table) << chip.name;
        EXPECT_EQ(id.signature.has_value(), chip.signature != 0) << chip.name;
        EXPECT_EQ(run.job.flashLastAddress, chip.capacity - 1) << chip.name;
    }
}

TEST(FlashChips, UnknownJedecIdUsesSfdpOrIsRefusedNamingIt) {
    ChipRun sfdp("jedec=9D6015");
    IdentifyChip(sfdp.job, sfdp.link, sfdp.port);
    EXPECT_EQ(sfdp.job.flashIdentity.source, FlashFactsSource::Sfdp);
    EXPECT_EQ(sfdp.job.flashLastAddress, 0x1FFFFFu);
    EXPECT_TRUE(sfdp.port.SawContaining("not in the chip table, using the parameters it reports"));
    const auto data = Pattern(70000);
    EXPECT_EQ(sfdp.Write(data).verified, 1);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), sfdp.siren.Flash().Memory().begin()));

    ChipRun none("jedec=9D6015,sfdp=none");
    IdentifyChip(none.job, none.link, none.port);
    EXPECT_EQ(none.job.abortFlag, 1);
    EXPECT_TRUE(none.port.SawContaining("JEDEC ID 9D 60 15"));
    // A RES byte that disagrees with the JEDEC ID is a bus to distrust.
    ChipRun odd("signature=0x13");
    IdentifyChip(odd.job, odd.link, odd.port);
    EXPECT_EQ(odd.job.abortFlag, 1);
    EXPECT_TRUE(odd.port.SawContaining("electronic signature is 0x14"));
    // Still erasing for an earlier run: it answers only status reads, and is named busy, not unknown.
    ChipRun busy("chip=W25Q16JV");
    SimulatedFlash& flash = busy.siren.Flash();
    for (const std::vector<uint8_t>& command : {std::vector<uint8_t>{kCmdWriteEnable}, {kCmdChipErase}}) {
        flash.Select();
        for (uint8_t b : command) flash.Exchange(b);
        flash.Deselect();
    }
    IdentifyChip(busy.job, busy.link, busy.port);
    EXPECT_EQ(busy.job.abortFlag, 1);
    EXPECT_TRUE(busy.port.SawContaining("still busy with an erase or write an earlier run started (status register 0x03)"))
        << ::testing::PrintToString(busy.port.Texts());
    EXPECT_FALSE(busy.port.SawContaining("not recognised"));
}

TEST(FlashChips, ProtectedChipsAreWrittenAndLeftAsFound) {
    const std::pair<const char*, uint8_t> cases[] = {
        {"M25P16", 0x1C}, {"M25P16", 0x04}, {"W25Q16JV", 0x64}, {"MX25L1606E", 0x3C}, {"GD25Q32C", 0x1C},
        {"N25Q032A", 0x7C}, {"M25P16", 0x9C},  // SRWD with WP high: the bits may still be written
    };
    for (const auto& [chip, protect] : cases) {
        ChipRun run(std::string("chip=") + chip + ",protect=" + std::to_string(protect));
        IdentifyChip(run.job, run.link, run.port);
        const auto data = Pattern(0x30000);
        const FlashWriteResult written = run.Write(data);
        EXPECT_FALSE(written.stopped) << chip << " " << int(protect);
        EXPECT_EQ(written.verified, 1) << chip;
        EXPECT_EQ(run.siren.Flash().StatusRegister1(), protect) << chip;
        EXPECT_TRUE(run.port.SawContaining("has been restored")) << chip;
    }
}

TEST(FlashChips, HardwareProtectionIsRefusedBeforeAnythingIsErased) {
    for (const char* faults : {"protect=0x9C,wp=low", "chip=W25Q16JV,protect=0x84,wp=low",
                               "chip=MX25L1606E,protect=0xBC,wp=low", "chip=GD25Q16C,protect=0x9C,wp=low"}) {
        ChipRun run(faults);
        IdentifyChip(run.job, run.link, run.port);
        const FlashWriteResult written = run.Write(Pattern(1000));
        EXPECT_TRUE(written.refused) << faults;
        EXPECT_TRUE(run.Untouched()) << faults;
        EXPECT_TRUE(run.port.SawContaining("The flash is write-protected (the status register is write-disabled"))
            << faults;
        EXPECT_EQ(OutcomeOfWrite(written, run.port, "incomplete"), OperationOutcome::Failed);
        EXPECT_FALSE(run.port.SawContaining("incomplete")) << faults;
    }
}

TEST(FlashChips, AWriteTheChipRefusesNamesWriteProtection) {
    // Protection set behind the identification's back: the erase or program is not
    // taken, whether the part keeps its latch (M25P16) or clears it (MX25L1606E).
    for (const char* chip : {"M25P16", "MX25L1606E"}) {
        ChipRun run(std::string("chip=") + chip);
        IdentifyChip(run.job, run.link, run.port);
        run.siren.Flash().Memory()[5] = 0x00;
        run.siren.Flash().SetStatusRegisters(0x3C);
        EXPECT_EQ(EraseSectors(run.job, run.link, run.port, 0, 2), kStopped) << chip;
        EXPECT_TRUE(run.port.SawContaining("did not accept the erase or program at 0x000000")) << chip;
        EXPECT_EQ(run.siren.Flash().sectorErases, 0) << chip;
    }
    ChipRun run("chip=M25P16");
    IdentifyChip(run.job, run.link, run.port);
    run.siren.Flash().SetStatusRegisters(0x1C);
    EXPECT_EQ(OutcomeOfWrite(run.Write(Pattern(100)), run.port, "incomplete"), OperationOutcome::Failed);
    EXPECT_FALSE(run.port.SawContaining("incomplete"));
    run.job.abortFlag = 0;
    const auto data = Pattern(4096);
    EXPECT_NE(ProgramPages(run.job, run.link, run.port, 0, data.data(), data.size()), 0);
    EXPECT_TRUE(run.port.SawContaining("write-protected"));
    EXPECT_FALSE(run.port.SawContaining("stopped answering"));
}

TEST(ProtectedRange, FollowsTheDatasheetTables) {
    struct Row {
        const char* chip;
        uint8_t status1, status2;
        FlashRange range;
    };
    const Row rows[] = {
        {"M25P16", 0x04, 0, {0x1F0000, 0x200000}},    // BP=1: sector 31
        {"M25P16", 0x14, 0, {0x100000, 0x200000}},    // BP=5: upper half
        {"M25P16", 0x18, 0, {0, 0x200000}},           // BP=6: all
        {"M25P32", 0x18, 0, {0x200000, 0x400000}},    // BP=6 of 64 sectors: upper half
        {"M25P20", 0x0C, 0, {0, 0x40000}},            // BP1..0 = 3: all
        {"W25Q16JV", 0x24, 0, {0, 0x10000}},          // TB: the bottom block
        {"W25Q16JV", 0x44, 0, {0x1FF000, 0x200000}},  // SEC: the top 4 KiB
        {"W25Q16JV", 0x00, 0x40, {0, 0x200000}},      // CMP with BP=0: all
        {"W25Q16JV", 0x04, 0x40, {0, 0x1F0000}},      // CMP: all but the top block
        {"N25Q032A", 0x44, 0, {0, 0x400000}},         // BP3 (bit 6) + BP0 = 9: all
        {"N25Q032A", 0x0C, 0, {0x3C0000, 0x400000}},  // BP=3: top 4 sectors
        {"MX25L1606E", 0x08, 0, {0x1E0000, 0x200000}},
        {"M25P16", 0x80, 0, {}},  // SRWD alone guards nothing
    };
    for (const Row& row : rows)
        EXPECT_EQ(ProtectedRange(*FlashChipNamed(row.chip), row.status1, row.status2), row.range)
            << row.chip << " " << int(row.status1);
}

TEST(SimulatedFlashChip, StatusRegisterWritesAsTheDatasheetsSay) {
    SimulatedFlash gd(*FlashChipNamed("GD25Q16C"));
    auto frame = [&](std::initializer_list<uint8_t> bytes) {
        gd.Select();
        for (uint8_t b : bytes) gd.Exchange(b);
        gd.Deselect();
        gd.AdvanceTime(std::chrono::seconds(1));
    };
    gd.SetStatusRegisters(0x1C, 0x42);
    frame({kCmdWriteEnable});
    frame({kCmdWriteStatus, 0x00, 0x42});
    EXPECT_EQ(gd.StatusRegister1(), 0x00);
    EXPECT_EQ(gd.StatusRegister2(), 0x42);
    frame({kCmdWriteEnable});
    frame({kCmdWriteStatus, 0x00});  // one byte clears the second register
    EXPECT_EQ(gd.StatusRegister2(), 0x00);
    // SRWD with WP low: not executed.
    gd.SetStatusRegisters(0x9C);
    gd.SetWriteProtectPinLow(true);
    frame({kCmdWriteEnable});
    frame({kCmdWriteStatus, 0x00, 0x00});
    EXPECT_EQ(gd.StatusRegister1() & 0xFC, 0x9C);
}

TEST(Sfdp, TablesOfEveryChipReadBackAndBadOnesAreRefused) {
    for (const FlashChip& chip : kFlashChips) {
        const auto bytes = BuildSfdp(chip);
        ASSERT_EQ(SfdpBytesNeeded(bytes.data(), bytes.size()), bytes.size());
        SfdpParameters p;
        ASSERT_TRUE(ParseSfdp(bytes.data(), bytes.size(), p)) << chip.name;
        EXPECT_EQ(p.capacity, chip.capacity);
        EXPECT_EQ(p.pageSize, 256u);
        EXPECT_EQ(p.erase64k, 0xD8);
        EXPECT_EQ(p.erase4k, 0x20);
    }
    const auto good = BuildSfdp(*FlashChipNamed("W25Q32JV"));
    auto spoil = [&](size_t at, uint8_t value) {
        auto bytes = good;
        bytes[at] = value;
        SfdpParameters p;
        return ParseSfdp(bytes.data(), bytes.size(), p).detail;
    };
    EXPECT_EQ(spoil(0, 'X'), "no SFDP signature");
    EXPECT_NE(spoil(0x0B, 0x40).find("outside what was read"), std::string::npos);  // length 64 DWORDs
    EXPECT_NE(spoil(0x36, 0x7F).find("density"), std::string::npos);               // not a power of two
    EXPECT_NE(spoil(0x32, 0x05).find("4-byte"), std::string::npos);
    EXPECT_EQ(spoil(0x50, 0x00), "no 64 KiB erase");
}

TEST(SimulatorFaultList, ParsesTheChipItems) {
    SimulatorFaults f;
    std::string error;
    ASSERT_TRUE(ParseSimulatorFaults("chip=w25q16jv,jedec=9D6015,sfdp=none,protect=0x9C,wp=low", f, error)) << error;
    EXPECT_EQ(f.chip, "W25Q16JV");
    EXPECT_EQ(f.jedecId, 0x9D6015u);
    EXPECT_TRUE(f.noSfdp && f.wpLow);
    EXPECT_EQ(f.protect, uint8_t{0x9C});
    const FlashChip chip = SimulatedChip(4u << 20, f);
    EXPECT_EQ(chip.capacity, 2u << 20);  // the part's size wins
    EXPECT_FALSE(chip.sfdp);
    for (const char* bad : {"chip=W25Q99", "jedec=12345", "jedec=FFFFFF", "jedec=00000G", "sfdp=yes", "wp=high",
                            "protect=0x100", "usb=FT4232H", "usb="})
        EXPECT_FALSE(ParseSimulatorFaults(bad, f, error)) << bad;
    // The adapter chip charged: the FT2232H's clock and USB side, as the window and bench see it.
    SimulatorOptions options;
    ASSERT_TRUE(ParseSimulatorFaults("usb=ft2232h", options.faults, error)) << error;
    SimulatedSiren siren(options);
    EXPECT_NE(siren.Diagnostics().model.find("FT2232H"), std::string::npos) << siren.Diagnostics().model;
}

TEST(FlashChips, TheBusIsReleasedAfterEveryRunAlsoAFailedOrCancelledOne) {
    struct Case {
        const char* faults;
        int cancelAtStep;
        OperationOutcome outcome;
    };
    const Case cases[] = {
        {"chip=W25Q16JV,protect=0x1C", -1, OperationOutcome::Success},
        {"stuck-busy-after=3", -1, OperationOutcome::Failed},
        {"read-error-at=0x100", -1, OperationOutcome::Failed},
        {"protect=0x9C,wp=low", -1, OperationOutcome::Failed},
        {"chip=GD25Q16C,protect=0x1C", 4, OperationOutcome::Cancelled},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        ChipRun run(c.faults);
        CloseUsb(run.job, run.link, run.port);
        run.job.programFolder = dir.path().string() + "/";
        run.port.cancelAtStep = c.cancelAtStep;
        HoldsAnotherImage(run);
        EXPECT_EQ(SirenOperations(run.job, run.link, run.port).ProgramCommand({.verify = true}), c.outcome)
            << c.faults;
        EXPECT_TRUE(run.siren.BusReleased()) << c.faults;
        // Cancelled or not, the protection is as it was found.
        if (c.cancelAtStep > 0) {
            EXPECT_EQ(run.siren.Flash().StatusRegister1(), 0x1C);
        }
    }
}

TEST(FlashChips, FaultsNeverPassAsSuccessOnAnyChipModel) {
    for (const FlashChip& chip : kFlashChips)
        for (const char* fault : {"unplug-after=60", "stuck-busy-after=3", "read-error-at=0x100"}) {
            ScratchFolder dir;
            const std::string faults = std::string("chip=") + chip.name + ",protect=0x04," + fault;
            ChipRun run(faults);
            CloseUsb(run.job, run.link, run.port);
            run.job.programFolder = dir.path().string() + "/";
            HoldsAnotherImage(run);
            const OperationOutcome outcome =
                SirenOperations(run.job, run.link, run.port).ProgramCommand({.verify = true});
            EXPECT_NE(outcome, OperationOutcome::Success) << faults;
            EXPECT_FALSE(run.port.messages.empty()) << faults;
        }
}

TEST(FlashChips, ReadsAboveTheChipsReadClockUseFastRead) {
    ChipRun run("chip=MX25L1606E");  // READ up to 33 MHz
    run.siren.Flash().Memory()[0x1234] = 0x5A;
    for (const auto& [hz, opcode] : {std::pair<int32_t, uint8_t>{6000000, kCmdReadData}, {40000000, kCmdFastRead}}) {
        SpyAdapter spy(run.siren);
        SpiFlash flash(spy, run.link.handle, FlashChipNamed("MX25L1606E"), nullptr, nullptr, hz);
        uint8_t byte = 0;
        ASSERT_TRUE(flash.Read(0x1234, &byte, 1));
        EXPECT_EQ(byte, 0x5A) << hz;
        EXPECT_EQ(spy.Count(opcode), 1) << hz;
    }
}

TEST(FlashChips, TheSpiClockIsWhatTheAdapterAndTheChipBothAllow) {
    struct Case {
        MpsseChip usb;
        int32_t wanted;
        std::optional<uint32_t> fastReadMaxHz;  // the identified chip's, laid over the M25P16
        int32_t running;
    };
    const Case cases[] = {
        {MpsseChip::Ft2232C, 30000000, std::nullopt, 6000000},  // the D makes 6 MHz at most
        {MpsseChip::Ft2232H, 30000000, std::nullopt, 30000000},
        {MpsseChip::Ft2232H, 20000000, std::nullopt, 15000000},  // never faster than asked
        {MpsseChip::Ft2232H, 30000000, 12000000u, 10000000},     // the chip's FAST_READ limit
        {MpsseChip::Ft2232H, 30000000, 0u, 6000000},             // limits unknown: the setup clock
    };
    for (const Case& c : cases) {
        SimulatorOptions options;
        options.usbChip = c.usb;
        SimulatedSiren siren(options);
        JobState job;
        job.spiClockHz = c.wanted;
        SpiLink link{&siren};
        ScriptedUserPort port;
        SetupUsb(job, link, port);
        IdentifyChip(job, link, port);
        if (c.fastReadMaxHz) {
            job.flashIdentity.chip.fastReadMaxHz = *c.fastReadMaxHz;
            ApplySpiClock(job, link, port);
        }
        EXPECT_EQ(link.clockHz, c.running) << c.wanted;
        EXPECT_EQ(siren.SpiClockHz(), c.running) << c.wanted;
        // Whatever the clock, what is read is what the flash holds.
        siren.Flash().Memory()[0x4321] = 0xA5;
        uint8_t byte = 0;
        EXPECT_EQ(ReadFlash(job, link, port, 0x4321, &byte, 1), 0);
        EXPECT_EQ(byte, 0xA5);
        CloseUsb(job, link, port);
    }
}
