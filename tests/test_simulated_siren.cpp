// The emulated serial flash, the simulated siren adapter, its faults and its file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <utility>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "TestFiles.h"
#include "job/TextFormat.h"
#include "operations/FlashRoutines.h"
#include "operations/UsbConnection.h"
#include "spi/AdapterRequest.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;
using namespace std::chrono_literals;

namespace {

struct Chip {
    SimulatedFlash flash;
    explicit Chip(uint32_t size = SimulatedFlash::kDefaultSize) : flash(size) {}
    std::vector<uint8_t> Frame(std::vector<uint8_t> out, size_t readCount = 0) {
        flash.Select();
        flash.WriteBytes(out.data(), out.size());
        std::vector<uint8_t> in(readCount);
        flash.ReadBytes(in.data(), in.size());
        flash.Deselect();
        return in;
    }
    uint8_t Status() { return Frame({0x05}, 1)[0]; }
    void Program(uint32_t address, std::vector<uint8_t> data) {
        Frame({0x06});
        std::vector<uint8_t> out{0x02, uint8_t(address >> 16), uint8_t(address >> 8), uint8_t(address)};
        out.insert(out.end(), data.begin(), data.end());
        Frame(out);
    }
    void Finish() { flash.AdvanceTime(100s); }
};

}  // namespace

TEST(SimulatedFlashChip, SignaturePerSize) {
    const std::pair<uint32_t, uint8_t> sizes[] = {
        {256u << 10, 0x11}, {512u << 10, 0x12}, {1u << 20, 0x13}, {2u << 20, 0x14}, {4u << 20, 0x15}};
    for (auto [size, signature] : sizes) {
        Chip chip(size);
        EXPECT_EQ(chip.flash.Size(), size);
        EXPECT_EQ(chip.Frame({0xAB, 0, 0, 0, 0}, 1)[0], signature);
        EXPECT_EQ(chip.Frame({0xAB, 0, 0, 0}, 2), (std::vector<uint8_t>{signature, signature}));
    }
    EXPECT_FALSE(SimulatedFlash::IsSupportedSize(3u << 20));
    EXPECT_EQ(SimulatedFlash(12345).Size(), SimulatedFlash::kDefaultSize);
}

TEST(SimulatedFlashChip, WriteEnableLatchGuardsProgramAndErase) {
    Chip chip;
    chip.Frame({0x02, 0, 0, 0, 0x00});  // no write enable: ignored
    EXPECT_EQ(chip.Status(), 0x00);
    EXPECT_EQ(chip.flash.Memory()[0], 0xFF);
    chip.Frame({0x06});
    EXPECT_EQ(chip.Status(), 0x02);
    chip.Frame({0x02, 0, 0, 0, 0x00});
    EXPECT_EQ(chip.Status(), 0x03);  // busy, latch still set
    chip.Finish();
    EXPECT_EQ(chip.Status(), 0x00);  // latch cleared at completion
    EXPECT_EQ(chip.flash.Memory()[0], 0x00);
    chip.Frame({0xD8, 0, 0, 0});  // latch gone: erase ignored
    EXPECT_EQ(chip.Status(), 0x00);
    EXPECT_EQ(chip.flash.Memory()[0], 0x00);
}

TEST(SimulatedFlashChip, ProgramOnlyClearsBitsAndWrapsInsideItsPage) {
    Chip chip;
    chip.Program(0x1FE, {0xF0, 0x0F, 0x55, 0xAA});
    chip.Finish();
    EXPECT_EQ(chip.flash.Memory()[0x1FE], 0xF0);
    EXPECT_EQ(chip.flash.Memory()[0x1FF], 0x0F);
    EXPECT_EQ(chip.flash.Memory()[0x100], 0x55);  // wrapped to the page start
    EXPECT_EQ(chip.flash.Memory()[0x101], 0xAA);
    EXPECT_EQ(chip.flash.Memory()[0x200], 0xFF);
    chip.Program(0x1FE, {0x3C});
    chip.Finish();
    EXPECT_EQ(chip.flash.Memory()[0x1FE], 0x30);  // AND, never back to 1
}

TEST(SimulatedFlashChip, MoreThanAPageKeepsTheLast256Bytes) {
    Chip chip;
    std::vector<uint8_t> data(300);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    chip.Program(0x400, data);
    chip.Finish();
    for (uint32_t j = 0; j < 256; ++j) {
        // Byte i lands at column i mod 256; the later ones overwrite the first 44.
        uint8_t expected = j < 44 ? static_cast<uint8_t>(j + 256) : static_cast<uint8_t>(j);
        ASSERT_EQ(chip.flash.Memory()[0x400 + j], expected) << j;
    }
}

TEST(SimulatedFlashChip, SectorAndBulkErase) {
    Chip chip(1u << 20);
    chip.Program(0x10005, {0});
    chip.Program(0x20005, {0});  // ignored: still busy
    chip.Finish();
    chip.Program(0x20005, {0});
    chip.Finish();
    chip.Frame({0x06});
    chip.Frame({0xD8, 0x01, 0x80, 0x00});  // any address inside the sector
    EXPECT_EQ(chip.flash.Memory()[0x10005], 0xFF);
    EXPECT_EQ(chip.flash.Memory()[0x20005], 0x00);
    chip.flash.AdvanceTime(599ms);
    EXPECT_EQ(chip.Status() & 1, 1);
    chip.flash.AdvanceTime(1ms);
    EXPECT_EQ(chip.Status() & 1, 0);
    chip.Frame({0x06});
    chip.Frame({0xC7});
    EXPECT_EQ(chip.flash.Memory()[0x20005], 0xFF);
    chip.flash.AdvanceTime(7999ms);
    EXPECT_EQ(chip.Status(), 0x03);
    chip.flash.AdvanceTime(1ms);
    EXPECT_EQ(chip.Status(), 0x00);
    EXPECT_EQ(chip.flash.sectorErases, 1);
    EXPECT_EQ(chip.flash.bulkErases, 1);
}

TEST(SimulatedFlashChip, BusyChipDecodesOnlyStatusRead) {
    Chip chip(256u << 10);
    chip.Program(0, {0});
    EXPECT_EQ(chip.Frame({0xAB, 0, 0, 0}, 1)[0], 0xFF);
    EXPECT_EQ(chip.Frame({0x03, 0, 0, 0}, 1)[0], 0xFF);
    chip.flash.AdvanceTime(800us);
    EXPECT_EQ(chip.Frame({0xAB, 0, 0, 0}, 1)[0], 0x11);
    EXPECT_EQ(chip.flash.PageProgramTime(), 800us);
    EXPECT_EQ(SimulatedFlash(1u << 20).PageProgramTime(), 640us);
}

TEST(SimulatedFlashChip, WithTheWallClockABusyChipAlsoFinishesInRealTime) {
    // Modelled time moves only with adapter traffic; a real chip finishes anyway.
    Chip modelled(256u << 10), real(256u << 10);
    real.flash.SetWallClock(true);
    modelled.Program(0, {0});
    real.Program(0, {0});
    std::this_thread::sleep_for(5ms);  // the program takes 0.8 ms
    EXPECT_EQ(modelled.Status() & 1, 1);
    EXPECT_EQ(real.Status() & 1, 0);
    EXPECT_EQ(real.Frame({0xAB, 0, 0, 0}, 1)[0], 0x11);
}

TEST(SimulatedFlashChip, AddressesWrapAtTheSize) {
    Chip chip(256u << 10);
    chip.Program(0x40000 + 0x10, {0x42});  // bit 18 is dropped
    chip.Finish();
    EXPECT_EQ(chip.flash.Memory()[0x10], 0x42);
    chip.flash.Memory()[0x3FFFF] = 0x11;
    chip.flash.Memory()[0] = 0x22;
    EXPECT_EQ(chip.Frame({0x03, 0x07, 0xFF, 0xFF}, 2), (std::vector<uint8_t>{0x11, 0x22}));
}

TEST(SimulatedFlashChip, FrameCutShortDoesNothing) {
    Chip chip;
    chip.Frame({0x06, 0x00});  // write enable needs exactly one byte
    EXPECT_EQ(chip.Status(), 0x00);
    chip.Frame({0x06});
    chip.Frame({0x02, 0, 0, 0});  // no data byte
    EXPECT_EQ(chip.Status(), 0x02);
}

TEST(SimulatorFaultList, ParsesEveryFault) {
    SimulatorFaults faults;
    std::string error;
    ASSERT_TRUE(
        ParseSimulatorFaults("no-device, open-fails,unplug-after=40,stuck-busy-after=3,read-error-at=0x1234,"
                             "read-error-at=99,weak-bit=0x200:7,signature=0x10,sirens=3,weak-siren=2",
                             faults, error))
        << error;
    EXPECT_EQ(faults.sirens, 3);
    EXPECT_EQ(faults.weakSiren, 2);
    EXPECT_TRUE(faults.noDevice);
    EXPECT_TRUE(faults.openFails);
    EXPECT_EQ(faults.unplugAfter, 40);
    EXPECT_EQ(faults.stuckBusyAfter, 3);
    EXPECT_EQ(faults.readErrorAt, (std::vector<uint32_t>{0x1234, 99}));
    EXPECT_EQ(faults.weakBits, (std::vector<std::pair<uint32_t, int>>{{0x200, 7}}));
    EXPECT_EQ(faults.signature, uint8_t{0x10});
}

TEST(SimulatorFaultList, RejectsBadItemsAndChangesNothing) {
    for (const char* bad :
         {"unplug", "unplug-after=", "unplug-after=-1", "weak-bit=5", "weak-bit=5:8", "signature=0x100",
          "read-error-at=0x1000000", "frobnicate", "open-fails=1", "unplug-after=12abc"}) {
        SimulatorFaults faults;
        std::string error;
        EXPECT_FALSE(ParseSimulatorFaults(std::string("no-device,") + bad, faults, error)) << bad;
        EXPECT_EQ(faults, SimulatorFaults{}) << bad;
        EXPECT_NE(error.find('"'), std::string::npos);
    }
}

TEST(SimulatorSize, AcceptsOnlyChipSizes) {
    EXPECT_EQ(ParseSimulatorSize("2M"), 2u << 20);
    EXPECT_EQ(ParseSimulatorSize("512KiB"), 512u << 10);
    EXPECT_EQ(ParseSimulatorSize("4194304"), 4u << 20);
    EXPECT_EQ(ParseSimulatorSize("256k"), 256u << 10);
    EXPECT_FALSE(ParseSimulatorSize("3M"));
    EXPECT_FALSE(ParseSimulatorSize("M"));
    EXPECT_FALSE(ParseSimulatorSize("99999999999999999999"));
}

namespace {

class SirenFaults : public ::testing::Test {
protected:
    void Start(const char* faults) {
        SimulatorOptions options;
        std::string error;
        ASSERT_TRUE(ParseSimulatorFaults(faults, options.faults, error));
        siren = std::make_unique<SimulatedSiren>(options);
        link.adapter = siren.get();
        job.abortFlag = 0;
        SetupUsb(job, link, port);
    }
    std::unique_ptr<SimulatedSiren> siren;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

}  // namespace

TEST_F(SirenFaults, NoDevice) {
    Start("no-device");
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(port.Saw(kMsgNoAdapter));
}

TEST_F(SirenFaults, OpenFails) {
    Start("open-fails");
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(link.handle, 0u);
}

TEST_F(SirenFaults, UnplugAfterCalls) {
    Start("unplug-after=8");  // setup takes seven calls
    ASSERT_EQ(job.abortFlag, 0);
    uint8_t byte = 0;
    EXPECT_EQ(ReadFlash(job, link, port, 0, &byte, 1), 0);
    EXPECT_NE(ReadFlash(job, link, port, 0, &byte, 1), 0);
    int32_t count = -1;
    EXPECT_NE(siren->AdapterCountDevices(count), 0);
    EXPECT_EQ(count, 0);
}

TEST_F(SirenFaults, StuckBusyAfterWrites) {
    Start("stuck-busy-after=1");
    const uint8_t data[] = {0};
    EXPECT_EQ(PageProgram(job, link, port, 0, data, 1), 0);
    EXPECT_EQ(job.abortFlag, 0);
    PageProgram(job, link, port, 0x100, data, 1);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(siren->Flash().Busy());
    EXPECT_EQ(siren->Flash().Memory()[0x100], 0xFF);
}

TEST_F(SirenFaults, ReadErrorAtAddress) {
    Start("read-error-at=0x300");
    std::vector<uint8_t> buffer(256);
    EXPECT_EQ(ReadFlash(job, link, port, 0x200, buffer.data(), 256), 0);
    EXPECT_NE(ReadFlash(job, link, port, 0x280, buffer.data(), 256), 0);
    EXPECT_NE(ReadFlash(job, link, port, 0x300, buffer.data(), 1), 0);
    EXPECT_EQ(ReadFlash(job, link, port, 0x301, buffer.data(), 256), 0);
    // The whole chip wraps round to it.
    std::vector<uint8_t> all(siren->Flash().Size());
    EXPECT_NE(ReadFlash(job, link, port, 0x400, all.data(), static_cast<int32_t>(all.size())), 0);
}

TEST_F(SirenFaults, WeakBitNeverProgramsToZero) {
    Start("weak-bit=0x205:3");
    const uint8_t data[] = {0x00, 0x00};
    PageProgram(job, link, port, 0x204, data, 2);
    EXPECT_EQ(siren->Flash().Memory()[0x204], 0x00);
    EXPECT_EQ(siren->Flash().Memory()[0x205], 0x08);
}

TEST_F(SirenFaults, OtherSignature) {
    Start("signature=0x13");
    IdentifyFlash(job, link, port);
    EXPECT_EQ(job.flashLastAddress, 0xFFFFFu);
}

TEST(SimulatedSirenCounters, CountCallsFramesBytesAndTime) {
    SimulatedSiren siren;
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    auto before = siren.Counters();
    auto t0 = siren.ModelledTime();
    std::vector<uint8_t> page(256, 0);
    PageProgram(job, link, port, 0, page.data(), 256);
    const auto& after = siren.Counters();
    EXPECT_EQ(after.writeFrames - before.writeFrames, 2);      // WREN, PP
    EXPECT_EQ(after.readingFrames - before.readingFrames, 1);  // idle at the first poll
    EXPECT_EQ(after.adapterCalls - before.adapterCalls, 4);    // WREN, PP, idle clocks, RDSR
    EXPECT_EQ(after.bytesOut - before.bytesOut, 1 + 260 + 1);
    EXPECT_EQ(after.bytesIn - before.bytesIn, 1);
    // Not identified: idle clocks for the 0.8 ms of the smaller chips.
    EXPECT_EQ(after.idleBytes - before.idleBytes, 600);
    // Idle clocks pass time but are no bytes the flash needs: not in the SPI bit time.
    EXPECT_NEAR(static_cast<double>((after.spiBitTime - before.spiBitTime).count()), 263 * 8 * 1000 / 6.0, 3);
    // One round trip plus 263 + 600 bytes at 6 MHz.
    auto expected = 1ms + std::chrono::nanoseconds((263 + 600) * 8 * 1000000000LL / 6000000);
    EXPECT_NEAR(static_cast<double>((siren.ModelledTime() - t0).count()), static_cast<double>(expected.count()), 10);
}

TEST(SimulatedSirenCounters, FullImageCostsOneRoundTripPerPage) {
    for (uint32_t size : {512u << 10, 2u << 20}) {
        SimulatorOptions options;
        options.size = size;
        SimulatedSiren siren(options);
        JobState job;
        SpiLink link{&siren};
        ScriptedUserPort port;
        SetupUsb(job, link, port);
        IdentifyFlash(job, link, port);
        ASSERT_EQ(job.flashLastAddress, size - 1);
        std::vector<uint8_t> image(size);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
        const auto before = siren.Counters();
        const auto t0 = siren.ModelledTime();
        for (uint32_t at = 0; at < size; at += 256) PageProgram(job, link, port, at, image.data() + at, 256);
        const auto& after = siren.Counters();
        const int64_t pages = size / 256;
        EXPECT_EQ(siren.Flash().pagePrograms, pages) << size;
        EXPECT_EQ(after.readingFrames - before.readingFrames, pages) << size;
        EXPECT_EQ(after.idleBytes - before.idleBytes, pages * (size < (1u << 20) ? 600 : 480)) << size;
        // Each page: its bytes, the typical program time, one round trip and nothing more.
        const auto perPage = (siren.ModelledTime() - t0) / pages;
        const auto expected = siren.Flash().PageProgramTime() + 1ms + std::chrono::nanoseconds(263 * 8 * 1000 / 6);
        EXPECT_NEAR(static_cast<double>(perPage.count()), static_cast<double>(expected.count()), 5) << size;
        EXPECT_EQ(VerifyFlash(job, link, port, static_cast<int32_t>(size), image.data()), 1) << size;
        EXPECT_EQ(job.abortFlag, 0);
        EXPECT_TRUE(port.messages.empty());
    }
}

// An adapter that cannot clock idle bytes keeps the old sequence: it only polls more.
TEST(SimulatedSirenCounters, AdapterWithoutIdleClocksStillPrograms) {
    struct PlainSiren : SimulatedSiren {
        int32_t AdapterIdleClocks(uint32_t handle, int32_t count) override {
            return SpiAdapter::AdapterIdleClocks(handle, count);
        }
    } siren;
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    IdentifyFlash(job, link, port);
    const auto before = siren.Counters();
    std::vector<uint8_t> page(256, 0x5A);
    EXPECT_EQ(PageProgram(job, link, port, 0x300, page.data(), 256), 0);
    EXPECT_EQ(siren.Counters().readingFrames - before.readingFrames, 2);  // busy, then idle
    EXPECT_EQ(siren.Counters().idleBytes, 0);
    EXPECT_EQ(siren.Flash().Memory()[0x3FF], 0x5A);
    EXPECT_EQ(job.abortFlag, 0);
}

TEST(SimulatedSirenFile, RemembersWhatWasProgrammed) {
    const ScratchFolder scratch;
    const auto& dir = scratch.path();
    SimulatorOptions options;
    options.filePath = (dir / "sub" / "siren.bin").string();
    options.size = 512u << 10;
    {
        SimulatedSiren siren(options);
        JobState job;
        SpiLink link{&siren};
        ScriptedUserPort port;
        SetupUsb(job, link, port);
        TestWrite(job, link, port);
        CloseUsb(job, link, port);
        EXPECT_TRUE(port.messages.empty());
    }
    ASSERT_EQ(std::filesystem::file_size(options.filePath), 512u << 10);
    {
        SimulatedSiren siren(options);
        EXPECT_EQ(siren.Flash().Memory()[0x200], '9');
        EXPECT_EQ(siren.Flash().Memory()[0x204], '5');
    }
    // A file from a smaller siren: the rest reads erased.
    options.size = 1u << 20;
    {
        SimulatedSiren siren(options);
        EXPECT_EQ(siren.Flash().Memory()[0x200], '9');
        EXPECT_EQ(siren.Flash().Memory()[0x80000], 0xFF);
        EXPECT_TRUE(siren.LoadError().empty());
    }
    // Nothing written, nothing saved: the file keeps its size.
    EXPECT_EQ(std::filesystem::file_size(options.filePath), 512u << 10);
}

TEST(SimulatedSirenFile, UnwritableFileMakesCloseFail) {
    SimulatorOptions options;
    options.filePath = "/proc/zorvek-cannot-write/siren.bin";
    SimulatedSiren siren(options);
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    TestWrite(job, link, port);
    CloseUsb(job, link, port);
    EXPECT_TRUE(port.Saw("Error closing device."));
}

namespace {
struct EnvGuard {
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvGuard() {
        for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
};
}  // namespace

TEST(AdapterFromEnvironment, ChoosesAndShapesTheSimulator) {
    EnvGuard env;
    const ScratchFolder data;
    env.Set("ZORVEK_ADAPTER", "simulator");
    env.Set("ZORVEK_SIMULATOR_FILE", "");
    env.Set("XDG_DATA_HOME", data.path().c_str());
    env.Set("ZORVEK_SIMULATOR_SIZE", "1M");
    env.Set("ZORVEK_SIMULATOR_FAULTS", "signature=0x12");
    auto choice = MakeAdapterFromEnvironment(false);
    EXPECT_EQ(choice.kind, AdapterKind::Simulator);
    EXPECT_STREQ(AdapterKindName(choice.kind), "Simulated Siren");
    EXPECT_TRUE(choice.warnings.empty());
    auto* siren = dynamic_cast<SimulatedSiren*>(choice.adapter.get());
    ASSERT_NE(siren, nullptr);
    EXPECT_EQ(siren->Flash().Size(), 1u << 20);
    EXPECT_EQ(siren->Flash().Signature(), 0x12);
    EXPECT_EQ(siren->FilePath(), data.file("Zorvek/simulated-siren.bin"));

    env.Set("XDG_DATA_HOME", nullptr);
    env.Set("HOME", "/home/someone");
    EXPECT_EQ(DefaultSimulatorFile(), "/home/someone/.local/share/Zorvek/simulated-siren.bin");
}

TEST(AdapterFromEnvironment, BadValuesWarnAndFallBack) {
    EnvGuard env;
    const ScratchFolder scratch;
    env.Set("ZORVEK_ADAPTER", "usb");
    env.Set("ZORVEK_SIMULATOR_FILE", scratch.file("siren.bin").c_str());
    env.Set("ZORVEK_SIMULATOR_SIZE", "3M");
    env.Set("ZORVEK_SIMULATOR_FAULTS", "explode");
    auto choice = MakeAdapterFromEnvironment(true);
    EXPECT_EQ(choice.kind, AdapterKind::Simulator);
    EXPECT_EQ(choice.warnings.size(), 3u);
    auto* siren = dynamic_cast<SimulatedSiren*>(choice.adapter.get());
    ASSERT_NE(siren, nullptr);
    EXPECT_EQ(siren->Flash().Size(), 2u << 20);
    EXPECT_EQ(siren->Faults(), SimulatorFaults{});

    env.Set("ZORVEK_ADAPTER", "ftdi");
    choice = MakeAdapterFromEnvironment(true);
    EXPECT_EQ(choice.kind, AdapterKind::Ftdi);
    EXPECT_STREQ(AdapterKindName(choice.kind), "FTDI adapter");
}

namespace {

// A pipelined run on a fresh 2 MiB simulated siren with the faults given; false when
// ProgramPages reported success though the flash differs from the image.
struct PipelinedRun {
    explicit PipelinedRun(size_t length) : image(length) {
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13 + (i >> 8));
        link.adapter = &siren;
        SetupUsb(job, link, port);
        IdentifyFlash(job, link, port);
    }
    int32_t Run() { return ProgramPages(job, link, port, 0, image.data(), image.size()); }
    bool FlashHoldsImage() { return std::equal(image.begin(), image.end(), siren.Flash().Memory().begin()); }
    std::vector<uint8_t> image;
    SimulatedSiren siren;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

}  // namespace

TEST(PipelinedProgramming, BatchesOfPagesCostOneRoundTripEach) {
    PipelinedRun run(100 * 256 + 17);  // a partial last page
    const auto before = run.siren.Counters();
    const auto t0 = run.siren.ModelledTime();
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.FlashHoldsImage());
    EXPECT_EQ(run.siren.Flash().pagePrograms, 101);
    EXPECT_EQ(run.siren.Flash().ignoredCommands, 0);
    EXPECT_EQ(run.siren.Counters().readingFrames - before.readingFrames, 4);  // 32 + 32 + 32 + 5 pages
    // Per page: its bytes and the typical program time; per batch one round trip and, on
    // the FT2232D charged by default, the engine running dry between the write's 4 KiB
    // USB transfers and the answers arriving in two reads (2 ms at most).
    const auto spent = run.siren.ModelledTime() - t0;
    const auto floor =
        101 * run.siren.Flash().PageProgramTime() + (run.siren.Counters().spiBitTime - before.spiBitTime);
    EXPECT_LT(spent - floor, 4 * 2ms);
    EXPECT_EQ(run.job.abortFlag, 0);
    EXPECT_TRUE(run.port.messages.empty());
}

TEST(PipelinedProgramming, PageOutlastingTheIdleClocksIsWaitedForAndTheRestResent) {
    PipelinedRun run(64 * 256);
    run.siren.Flash().SetSlowWriteAfter(5, 3ms);  // page 5, well within the 5 ms maximum
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.FlashHoldsImage());
    // The busy chip refused the pages sent behind page 5; they went again.
    EXPECT_GT(run.siren.Flash().ignoredCommands, 0);
    EXPECT_GT(run.siren.Flash().pagePrograms, 64);
    EXPECT_EQ(run.job.abortFlag, 0);
}

TEST(PipelinedProgramming, FaultsNeverPassAsSuccess) {
    // Stuck busy at the first, a middle and the last page.
    for (int64_t stuck : {0, 40, 63}) {
        PipelinedRun run(64 * 256);
        run.siren.Flash().SetStuckBusyAfter(stuck);
        EXPECT_EQ(run.Run(), kStopped) << stuck;
        EXPECT_EQ(run.job.abortFlag, 1);
        EXPECT_TRUE(run.port.Saw(Format(kMsgStillBusy, 1))) << stuck;
    }
    // Unplugged at every call of a three-batch run: each cut fails, and only the
    // run whose every call was answered succeeds.
    PipelinedRun clean(70 * 256);
    const int64_t setupCalls = clean.siren.Counters().adapterCalls;
    ASSERT_EQ(clean.Run(), 0);
    const int64_t allCalls = clean.siren.Counters().adapterCalls;
    for (int64_t cut = setupCalls; cut <= allCalls; ++cut) {
        PipelinedRun run(70 * 256);
        run.siren.Faults().unplugAfter = cut;
        const int32_t result = run.Run();
        EXPECT_EQ(result == 0, cut == allCalls) << cut;
        EXPECT_EQ(run.job.abortFlag, result == 0 ? 0 : 1) << cut;
        if (result == 0) {
            EXPECT_TRUE(run.FlashHoldsImage());
        }
    }
}

TEST(PipelinedProgramming, CancelStopsBetweenBatches) {
    PipelinedRun run(128 * 256);
    auto popup = run.port.MakeProgress("Complete...", false);
    run.link.progress = popup.get();
    run.port.progresses.back()->cancelAtPump = 3;
    EXPECT_EQ(run.Run(), kStopped);
    EXPECT_EQ(run.job.abortFlag, 1);
    EXPECT_EQ(run.siren.Flash().pagePrograms, 2 * kPagesPerBatch);
    EXPECT_EQ(run.port.progresses.back()->steps, 2 * kPagesPerBatch);
}

namespace {

// Passes batches on to the siren without the page programs `lose` names (by
// address), as a link that loses frames would.
class LosingLink : public SpyAdapter {
public:
    explicit LosingLink(SimulatedSiren& siren) : SpyAdapter(siren), siren_(siren) {}
    int32_t AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                         int32_t& received) override {
        ++batches;
        std::vector<BatchFrame> kept;
        for (size_t i = 0; i < count; ++i) {
            const BatchFrame& f = frames[i];
            const bool program = f.controlCount == 4 && f.control[0] == kCmdPageProgram;
            if (!program || !lose(uint32_t{f.control[1]} << 16 | uint32_t{f.control[2]} << 8 | f.control[3]))
                kept.push_back(f);
            kept.back().idleBytes /= idleShare;
        }
        const int32_t status = siren_.AdapterBatch(handle, kept.data(), kept.size(), receive, received);
        if (busyFirst && received > 0) receive[0] |= kStatusBusy;
        return status;
    }
    std::function<bool(uint32_t)> lose = [](uint32_t) { return false; };
    bool busyFirst = false;  // the batch's first status answer always reads busy
    int idleShare = 1;  // the flash gets this share of the idle clocks: a slower flash than typical
    int batches = 0;

private:
    SimulatedSiren& siren_;
};

}  // namespace

// A sector erase started behind the routines' back, as one that an earlier run gave
// up waiting for: until it ends the flash ignores every write enable, program and erase.
void StartEraseOfSectorOne(SimulatedFlash& flash) {
    for (const std::vector<uint8_t>& command : {std::vector<uint8_t>{kCmdWriteEnable}, {kCmdSectorErase, 0x01, 0, 0}}) {
        flash.Select();
        for (uint8_t b : command) flash.Exchange(b);
        flash.Deselect();
    }
    ASSERT_TRUE(flash.Busy());
}

TEST(PipelinedProgramming, APageTheFlashDidNotTakeIsSentAgain) {
    PipelinedRun run(40 * 256);
    LosingLink losing(run.siren);
    bool lost = false;
    losing.lose = [&](uint32_t address) { return address == 3 * 256 && !std::exchange(lost, true); };
    run.link.adapter = &losing;
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(lost);
    EXPECT_TRUE(run.FlashHoldsImage());
}

TEST(PipelinedProgramming, IdleClocksGrowForAFlashSlowerThanTypical) {
    PipelinedRun run(256 * 256);
    LosingLink slower(run.siren);
    slower.idleShare = 2;
    run.link.adapter = &slower;
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.FlashHoldsImage());
    // Once the idle clocks have caught up, no batch is sent again.
    EXPECT_LT(run.siren.Flash().pagePrograms - 256, 128) << "pages sent again";
}

TEST(PipelinedProgramming, GivesUpAfterThreeBatchesOfWhichTheFlashTookNoPage) {
    PipelinedRun run(40 * 256);
    LosingLink losing(run.siren);
    losing.lose = [](uint32_t) { return true; };
    run.link.adapter = &losing;
    EXPECT_NE(run.Run(), 0);
    EXPECT_EQ(losing.batches, 3);
    EXPECT_EQ(run.job.abortFlag, 1);
    EXPECT_TRUE(run.link.writeRefused);  // heard (the latch set) and refused
    // Never proven free before the first page: the link is blamed, not protection.
    PipelinedRun garbled(40 * 256);
    LosingLink busy(garbled.siren);
    busy.busyFirst = true;
    garbled.link.adapter = &busy;
    EXPECT_EQ(garbled.Run(), kAdapterIoError);
    EXPECT_EQ(busy.batches, 3);
    EXPECT_FALSE(garbled.link.writeRefused);
}

TEST(PipelinedProgramming, PagesSentWhileTheFlashIsStillBusyAreNotCountedAsWritten) {
    PipelinedRun run(8 * 256);
    SimulatedFlash& flash = run.siren.Flash();
    StartEraseOfSectorOne(flash);
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.FlashHoldsImage());
    EXPECT_GT(flash.ignoredCommands, 0);
}

TEST(SimulatedSiren, AnEraseWaitsForWhatTheFlashStillDoes) {
    PipelinedRun run(0);
    SimulatedFlash& flash = run.siren.Flash();
    flash.Memory()[0x100] = 0x12;
    StartEraseOfSectorOne(flash);
    EXPECT_EQ(EraseSectors(run.job, run.link, run.port, 0, 1), 0);
    EXPECT_EQ(flash.Memory()[0x100], 0xFF);
    flash.Memory()[0x100] = 0x12;
    StartEraseOfSectorOne(flash);
    ChipErase(run.job, run.link, run.port);
    EXPECT_EQ(flash.Memory()[0x100], 0xFF);
    EXPECT_EQ(run.job.abortFlag, 0);
}

TEST(SimulatedSirenSocket, SirensComeAndGoWithSignatureReads) {
    SimulatorOptions options;
    options.faults.sirens = 2;
    options.faults.weakSiren = 2;
    options.faults.weakBits = {{0x10, 0}};
    SimulatedSiren siren(options);
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    auto signature = [&] {
        EXPECT_EQ(ReadSignature(job, link, port), 0);
        return job.flashIdValue;
    };
    const std::vector<uint8_t> zeros(0x20, 0x00);
    EXPECT_EQ(signature(), 0x14u);  // siren 1, untouched: stays in
    EXPECT_EQ(signature(), 0x14u);
    ASSERT_EQ(ProgramPages(job, link, port, 0, zeros.data(), zeros.size()), 0);
    EXPECT_EQ(siren.Flash().Memory()[0x10], 0x00);  // the weak bit is siren 2's
    EXPECT_EQ(signature(), 0xFFu);                  // written, so taken out
    // An empty socket: nothing answers and nothing is written.
    uint8_t byte = 0;
    EXPECT_EQ(ReadFlash(job, link, port, 0x10, &byte, 1), 0);
    EXPECT_EQ(byte, 0xFF);
    for (int i = 0; i < kEmptySocketReads; ++i) EXPECT_EQ(signature(), 0xFFu);
    EXPECT_EQ(siren.SirenInSocket(), 0);
    EXPECT_EQ(signature(), 0x14u);  // siren 2, erased
    EXPECT_EQ(siren.SirenInSocket(), 2);
    EXPECT_EQ(siren.Flash().Memory()[0x10], 0xFF);
    ASSERT_EQ(ProgramPages(job, link, port, 0, zeros.data(), zeros.size()), 0);
    EXPECT_EQ(siren.Flash().Memory()[0x10], 0x01);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(signature(), 0xFFu);  // no third siren
}
