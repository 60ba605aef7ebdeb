// The real LibFtdiTransport and the real libftdi 1.5 against FT2232 chips emulated
// at the libusb boundary with their buffers, flow control and timing: the siren
// commands on an FT2232D and an FT2232H, answers that must not outgrow the D's IN
// buffer, 0x87, an access-denied open, an FT4232H, an unplug and a write timeout.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "ScriptedUserPort.h"
#include "TestFiles.h"
#include "UsbEmulator.h"
#include "WavTestSupport.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "files/SirenImageFile.h"
#include "operations/FlashRoutines.h"
#include "operations/SelfTest.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"
#include "spi/AdapterRequest.h"
#include "spi/FtdiAdapter.h"
#include "spi/OpenFailure.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Bench {
    explicit Bench(const usb::EmulatedChip& chip) {
        usb::Attach({chip});
        adapter = std::make_unique<FtdiAdapter>(MakeLibFtdiTransport());
        link.adapter = adapter.get();
        job.verbose = 1;
    }
    std::unique_ptr<FtdiAdapter> adapter;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

constexpr uint16_t kFt2232d = 0x0500, kFt2232h = 0x0700;
constexpr uint32_t kSmallFlash = 256u << 10;  // an M25P20: whole-chip runs stay quick

usb::EmulatedChip ChipOf(uint16_t bcd, uint32_t flashSize = kSmallFlash) {
    usb::EmulatedChip chip;
    chip.bcdDevice = bcd;
    chip.flashSize = flashSize;
    return chip;
}

std::vector<uint8_t> Pattern(size_t n, int seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 31 + seed + (i >> 8));
    return v;
}

}  // namespace

TEST(LibFtdiEmulated, IdentifyProgramAndVerifyOnFt2232HAndC) {
    for (uint16_t bcd : {0x0700, 0x0500}) {
        SCOPED_TRACE(bcd);
        usb::EmulatedChip chip;
        chip.bcdDevice = bcd;
        Bench run(chip);
        SetupUsb(run.job, run.link, run.port);
        ASSERT_NE(run.link.handle, 0u) << (run.port.messages.empty() ? "" : run.port.messages.back().text);
        EXPECT_TRUE(run.port.Saw("Device name = Dual RS232-HS FTEMU1; Location ID = 780."));
        EXPECT_TRUE(run.port.Saw("Upper GPIO = 1, 1, 0, 1."));
        MpsseEngine& engine = *usb::Engine();
        EXPECT_EQ(engine.SpiClockHz(), 6000000);
        EXPECT_EQ(engine.badCommands, std::vector<uint8_t>{0xAA});  // only the synchronisation probe

        IdentifyFlash(run.job, run.link, run.port);
        EXPECT_EQ(run.job.flashIdValue, 0x14u);
        const std::vector<uint8_t> data = Pattern(4096, bcd);
        ASSERT_EQ(EraseSectors(run.job, run.link, run.port, 0, 1), 0);
        for (uint32_t at = 0; at < data.size(); at += kFlashPageSize)
            ASSERT_EQ(PageProgram(run.job, run.link, run.port, at, data.data() + at, kFlashPageSize), 0);
        EXPECT_EQ(VerifyFlash(run.job, run.link, run.port, static_cast<int32_t>(data.size()), data.data()), 1);
        std::vector<uint8_t> back(data.size());
        ASSERT_EQ(ReadFlash(run.job, run.link, run.port, 0, back.data(), static_cast<int32_t>(back.size())), 0);
        EXPECT_EQ(back, data);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), engine.flash.Memory().begin()));
        CloseUsb(run.job, run.link, run.port);
        EXPECT_EQ(run.job.abortFlag, 0);
    }
}

TEST(LibFtdiEmulated, AccessDeniedNamesTheUdevRule) {
    usb::EmulatedChip chip;
    chip.denyAccess = true;
    Bench run(chip);
    run.job.verbose = 0;
    SetupUsb(run.job, run.link, run.port);
    EXPECT_EQ(run.link.handle, 0u);
    EXPECT_EQ(run.link.lastStatus, kAdapterAccessDenied);
    ASSERT_EQ(run.port.messages.size(), 1u);
    EXPECT_NE(run.port.messages[0].text.find("Permission denied"), std::string::npos);
    EXPECT_NE(run.port.messages[0].text.find("bus 003, device 012"), std::string::npos);
    EXPECT_NE(run.port.messages[0].text.find(kUdevRulePath), std::string::npos);
}

TEST(LibFtdiEmulated, ListingShowsEveryChipAndWhyOneCannotBeUsed) {
    usb::EmulatedChip denied;
    denied.serial = "FTEMU2";
    denied.address = 13;
    denied.denyAccess = true;
    usb::Attach({usb::EmulatedChip{}, denied});
    std::vector<AdapterListing> listed;
    std::string error;
    const Result listing = ListFtdiAdapters(*MakeLibFtdiTransport(), listed);
    ASSERT_TRUE(listing) << Describe(listing);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].serial, "FTEMU1");
    EXPECT_EQ(listed[0].chip, "FT2232H");
    EXPECT_TRUE(listed[0].openable);
    EXPECT_EQ(listed[1].serial, "");  // unreadable without access
    EXPECT_FALSE(listed[1].openable);
    EXPECT_NE(listed[1].whyNot.find("access denied"), std::string::npos);
    EXPECT_EQ(PickAdapter(listed, std::nullopt).result, PickResult::NeedsChoice);
}

TEST(LibFtdiEmulated, UnpluggedInTheMiddleOfATransferFailsAndStaysFailed) {
    Bench run(usb::EmulatedChip{});
    SetupUsb(run.job, run.link, run.port);
    ASSERT_NE(run.link.handle, 0u);
    usb::UnplugAfter(2);  // the read's request goes out, its answer never comes
    std::vector<uint8_t> back(0x20000);
    EXPECT_NE(ReadFlash(run.job, run.link, run.port, 0, back.data(), static_cast<int32_t>(back.size())), 0);
    uint8_t byte = 0;
    EXPECT_NE(ReadFlash(run.job, run.link, run.port, 0, &byte, 1), 0);
    CloseUsb(run.job, run.link, run.port);
    EXPECT_EQ(run.link.handle, 0u);
}

TEST(LibFtdiEmulated, SirenCommandsRunPipelinedOnFt2232DAndH) {
    for (uint16_t bcd : {kFt2232d, kFt2232h}) {
        for (EraseMode erase : {EraseMode::Sectors, EraseMode::Chip}) {
            SCOPED_TRACE(std::to_string(bcd) + (erase == EraseMode::Chip ? " chip erase" : " sector erase"));
            Bench run(ChipOf(bcd));
            run.job.verbose = 0;
            run.job.eraseMode = erase;
            ScratchFolder dir;
            const std::vector<uint8_t> image = Pattern(kSmallFlash - 0x1000, bcd + static_cast<int>(erase));
            WriteBytes(dir.file("in.zmg"), image);
            SirenOperations ops(run.job, run.link, run.port);
            ASSERT_EQ(ops.WriteSiren({dir.file("in.zmg"), true}), OperationOutcome::Success)
                << (run.port.messages.empty() ? "" : run.port.messages.back().text);
            MpsseEngine& engine = *usb::Engine();
            EXPECT_TRUE(std::equal(image.begin(), image.end(), engine.flash.Memory().begin()));
            // 32 pages a write, in 4 KiB transfers: the D's 384-byte buffer NAKs most
            // packets, and no answer ever waits for room.
            if (bcd == kFt2232d) {
                EXPECT_GT(engine.naks, 1000);
            }
            EXPECT_LE(engine.rxHighWater, static_cast<size_t>(engine.model.rxBufferBytes));

            ASSERT_EQ(ops.ReadSiren({dir.file("out.zmg")}), OperationOutcome::Success);
            std::vector<uint8_t> back;
            ASSERT_TRUE(ReadWholeFile(dir.file("out.zmg"), back, nullptr));
            EXPECT_TRUE(std::equal(image.begin(), image.end(), back.begin()));
            if (erase == EraseMode::Chip) continue;  // the rest once per chip

            {
                std::ofstream hex(dir.file("fw.hex"), std::ios::binary);
                hex << HexRecord(0xE000, {0x10, 0x20, 0x30}) << "\r\n" << kHexEndRecord << "\r\n";
            }
            run.job.verify = 1;
            FirmwareRequest firmware;
            firmware.hexPath = dir.file("fw.hex");
            firmware.confirmed = true;
            firmware.recoveryFolder = dir.folder();
            ASSERT_EQ(ops.UpdateFirmwareOnly(firmware), OperationOutcome::Success);
            EXPECT_EQ(engine.flash.Memory()[0x101], 0x20);
            EXPECT_EQ(engine.flash.Memory()[0x10000], image[0x10000]);

            const SelfTestReport report = SelfTest(run.job, run.link, run.port).Run(dir.file("backup.zmg"));
            EXPECT_EQ(report.outcome, OperationOutcome::Success) << report.problem;
            EXPECT_EQ(engine.flash.Memory()[0x101], 0x20);
        }
    }
}

// A read's answer leaves the chip at 0x87, not when the 2 ms latency timer expires.
TEST(LibFtdiEmulated, SendImmediateAnswersWithinOneRoundTrip) {
    for (uint16_t bcd : {kFt2232d, kFt2232h}) {
        SCOPED_TRACE(bcd);
        Bench run(ChipOf(bcd));
        SetupUsb(run.job, run.link, run.port);
        ASSERT_NE(run.link.handle, 0u);
        MpsseEngine& engine = *usb::Engine();
        uint8_t byte = 0;
        ASSERT_EQ(ReadFlash(run.job, run.link, run.port, 0, &byte, 1), 0);
        const auto start = engine.Now();
        ASSERT_EQ(ReadFlash(run.job, run.link, run.port, 0, &byte, 1), 0);
        EXPECT_LT(engine.Now() - start, engine.model.RoundTrip() + std::chrono::microseconds(100));
        CloseUsb(run.job, run.link, run.port);
    }
}

// 200 answers in one batch with 100 KB of writes between them: more than the D holds
// towards the host, so they must be collected in parts before the engine stops.
TEST(LibFtdiEmulated, BatchAnswersNeverOutgrowTheFt2232dInBuffer) {
    Bench run(ChipOf(kFt2232d));
    SetupUsb(run.job, run.link, run.port);
    ASSERT_NE(run.link.handle, 0u);
    static const uint8_t kRdsr[] = {0x05};
    std::vector<BatchFrame> frames;
    for (int i = 0; i < 200; ++i) {
        frames.push_back({kRdsr, 1, nullptr, 0, 1, 0});
        frames.push_back({nullptr, 0, nullptr, 0, 0, 480});
    }
    std::vector<uint8_t> answers(200, 0xEE);
    int32_t received = 0;
    EXPECT_EQ(run.adapter->AdapterBatch(run.link.handle, frames.data(), frames.size(), answers.data(), received), 0);
    EXPECT_EQ(received, 200);
    EXPECT_EQ(answers, std::vector<uint8_t>(200, 0x00));
    CloseUsb(run.job, run.link, run.port);
}

TEST(LibFtdiEmulated, Ft4232hIsListedAndRefusedAndNeverHidesAUsableAdapter) {
    usb::EmulatedChip quad;
    quad.productId = 0x6011;
    quad.bcdDevice = 0x0800;
    quad.serial = "FTQUAD";
    {
        Bench run(quad);
        std::vector<AdapterListing> listed;
        const Result listing = ListFtdiAdapters(*MakeLibFtdiTransport(), listed);
        ASSERT_TRUE(listing) << Describe(listing);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].chip, "FT4232H");
        EXPECT_FALSE(listed[0].openable);
        SetupUsb(run.job, run.link, run.port);
        EXPECT_EQ(run.link.handle, 0u);
        EXPECT_EQ(usb::BulkTransfers(), 0);
    }
    // Listed first, beside an FT2232H: the FT2232H is the one adapter there is to use.
    usb::EmulatedChip usable = ChipOf(kFt2232h);
    usable.address = 13;
    usb::Attach({quad, usable});
    std::vector<AdapterListing> listed;
    ASSERT_TRUE(ListFtdiAdapters(*MakeLibFtdiTransport(), listed));
    ASSERT_EQ(listed.size(), 2u);
    const AdapterPick pick = PickAdapter(listed, std::nullopt);
    ASSERT_EQ(pick.result, PickResult::Chosen);
    EXPECT_EQ(pick.chosen->serial, "FTEMU1");
    FtdiAdapter adapter(MakeLibFtdiTransport());
    JobState job;
    SpiLink link{&adapter};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    ASSERT_NE(link.handle, 0u) << (port.messages.empty() ? "" : port.messages.back().text);
    EXPECT_EQ(usb::Engine(), usb::EngineOf(1));
    CloseUsb(job, link, port);
}

// zorvek-cli's --device over real libftdi: one serial number drives that adapter only,
// none with two attached drives neither, and "all" programs every usable one at once
// and names the one it cannot use.
TEST(LibFtdiEmulated, DeviceOptionChoosesTheAdapterAndAllProgramsEveryUsableOne) {
    usb::EmulatedChip quad = ChipOf(kFt2232h);
    quad.productId = 0x6011;
    quad.bcdDevice = 0x0800;
    quad.serial = "FTQUAD";
    usb::EmulatedChip first = ChipOf(kFt2232d, kDefaultFlashSize), second = ChipOf(kFt2232h, kDefaultFlashSize);
    first.serial = "FTEMU1";
    second.serial = "FTEMU2";
    first.address = 13;
    second.address = 14;
    usb::EmulatedChip denied = ChipOf(kFt2232h);
    denied.address = 15;
    denied.denyAccess = true;
    usb::Attach({quad, first, second, denied});
    ScratchFolder dir;
    const std::string image = dir.file("in.zmg"), other = dir.file("other.zmg");
    WriteBytes(image, Pattern(0x9000, 1));
    WriteBytes(other, Pattern(0x9000, 2));
    const auto cli = [](std::vector<std::string> args) {
        testing::internal::CaptureStderr();
        const int status = cli::RunCli(args, "zorvek-cli");
        return std::pair{status, testing::internal::GetCapturedStderr()};
    };
    const auto holds = [](size_t index, const std::string& path) {
        const Bytes want = ReadBytes(path);
        const auto& memory = usb::EngineOf(index)->flash.Memory();
        return std::equal(want.begin(), want.end(), memory.begin()) &&
               std::all_of(memory.begin() + static_cast<long>(want.size()), memory.end(),
                           [](uint8_t b) { return b == 0xFF; });
    };
    const auto blank = [](size_t index) {
        const auto& memory = usb::EngineOf(index)->flash.Memory();
        return std::all_of(memory.begin(), memory.end(), [](uint8_t b) { return b == 0xFF; });
    };

    auto [status, said] = cli({"-q", "write", image});
    EXPECT_EQ(status, cli::kExitNoAdapter) << said;
    EXPECT_NE(said.find("--device SERIAL"), std::string::npos) << said;
    EXPECT_TRUE(blank(1) && blank(2));

    std::tie(status, said) = cli({"-q", "write", image, "--device", "FTNONE"});
    EXPECT_EQ(status, cli::kExitNoAdapter) << said;
    EXPECT_NE(said.find("\"FTEMU2\""), std::string::npos) << said;
    EXPECT_TRUE(blank(1) && blank(2));

    std::tie(status, said) = cli({"-q", "write", image, "--device", "FTEMU2"});
    EXPECT_EQ(status, cli::kExitSuccess) << said;
    EXPECT_TRUE(blank(1));
    EXPECT_TRUE(holds(2, image));

    // The one this user may not open is named, and the run does not pass as complete.
    std::tie(status, said) = cli({"-q", "write", other, "--device", "all"});
    EXPECT_EQ(status, cli::kExitNoAdapter) << said;
    EXPECT_NE(said.find("bus 003 device 015 is left out: access denied"), std::string::npos) << said;
    EXPECT_TRUE(holds(1, other));
    EXPECT_TRUE(holds(2, other));
    EXPECT_TRUE(blank(0));  // the FT4232H is never driven
}

TEST(LibFtdiEmulated, UnplugInABatchAndAWriteTimeoutStopTheWrite) {
    for (bool hang : {false, true}) {
        SCOPED_TRACE(hang ? "engine hangs" : "unplugged");
        Bench run(ChipOf(kFt2232d));
        run.job.verbose = 0;
        ScratchFolder dir;
        WriteBytes(dir.file("in.zmg"), Pattern(0x20000, 7));
        SirenOperations ops(run.job, run.link, run.port);
        MpsseEngine& engine = *usb::Engine();
        // Once the first page of a batch is in: the rest of the batch's write is in flight.
        usb::BeforeEachTransfer([hang, armed = true](MpsseEngine& chip) mutable {
            if (!armed || chip.flash.pagePrograms == 0) return;
            armed = false;
            if (hang)
                chip.frozen = true;
            else
                usb::UnplugAfter(0);
        });
        const auto start = engine.Now();
        EXPECT_EQ(ops.WriteSiren({dir.file("in.zmg"), true}), OperationOutcome::Failed);
        EXPECT_TRUE(run.port.Saw(kMsgWritingIncomplete));
        EXPECT_EQ(run.link.handle, 0u);
        // libftdi's write waits out its 1 s timeout on the NAKing chip, and no longer.
        if (hang) {
            EXPECT_LT(engine.Now() - start, std::chrono::seconds(10));
        }
    }
}

// The simulated siren's modelled time is what the emulated chips take to program and
// verify the same pages.
TEST(LibFtdiEmulated, ModelledTimeAgreesWithTheEmulatedChips) {
    const std::vector<uint8_t> image = Pattern(0x20000, 3);
    const auto programAndVerify = [&](SpiAdapter& adapter, auto now) {
        JobState job;
        SpiLink link{&adapter};
        ScriptedUserPort port;
        SetupUsb(job, link, port);
        IdentifyFlash(job, link, port);
        EXPECT_EQ(EraseSectors(job, link, port, 0, 2), 0);
        const auto start = now();
        EXPECT_EQ(ProgramPages(job, link, port, 0, image.data(), image.size()), 0);
        EXPECT_EQ(VerifyFlash(job, link, port, static_cast<int32_t>(image.size()), image.data()), 1);
        const auto spent = now() - start;
        CloseUsb(job, link, port);
        return std::chrono::duration<double>(spent).count();
    };
    for (uint16_t bcd : {kFt2232d, kFt2232h}) {
        SCOPED_TRACE(bcd);
        Bench run(ChipOf(bcd));
        // libftdi's transport waits on the steady clock; the chip's own clock is the emulator's.
        const double emulated = programAndVerify(*run.adapter, [] { return usb::Engine()->Now(); });
        SimulatorOptions options;
        options.size = kSmallFlash;
        options.usbChip = ChipFromBcdDevice(bcd);
        SimulatedSiren siren(options);
        const double modelled = programAndVerify(siren, [&] { return siren.ModelledTime(); });
        EXPECT_NEAR(modelled / emulated, 1.0, 0.03) << emulated << " s emulated, " << modelled << " s modelled";
    }
}
