// The real LibFtdiTransport and the real libftdi 1.5 against FT2232 chips emulated
// at the libusb boundary: a whole identify, program and verify, an access-denied
// open and a chip unplugged in the middle of a transfer.
#include <gtest/gtest.h>

#include <algorithm>

#include "ScriptedUserPort.h"
#include "UsbEmulator.h"
#include "spi/AdapterRequest.h"
#include "operations/FlashRoutines.h"
#include "spi/FtdiAdapter.h"
#include "spi/OpenFailure.h"
#include "operations/UsbConnection.h"

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
        FakeMpsseTransport& engine = *usb::Engine();
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
