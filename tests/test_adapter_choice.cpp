// Choosing one adapter among several by serial number, the counting wrapper
// the command-line tool reports from, and the simulator's slow answers.
#include <gtest/gtest.h>

#include "FakeMpsseTransport.h"
#include "ScriptedUserPort.h"
#include "spi/AdapterListing.h"
#include "spi/CountingAdapter.h"
#include "operations/FlashRoutines.h"
#include "spi/FtdiAdapter.h"
#include "spi/SimulatedSiren.h"
#include "operations/UsbConnection.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

UsbDeviceInfo Device(uint8_t address, const char* serial) {
    UsbDeviceInfo d;
    d.bus = 1;
    d.address = address;
    d.productId = kFt2232ProductId;
    d.bcdDevice = 0x0500;
    d.description = "Dual RS232";
    d.serial = serial;
    return d;
}

struct Bench {
    explicit Bench(const std::string& serial) {
        auto fake = std::make_unique<FakeMpsseTransport>();
        usb = fake.get();
        usb->devices = {Device(4, "FT111"), Device(7, "FT222"), Device(9, "FT333")};
        adapter = std::make_unique<FtdiAdapter>(std::move(fake));
        if (!serial.empty()) adapter->SetSerialFilter(serial);
        link.adapter = adapter.get();
        job.verbose = 1;  // names the device it opens
        SetupUsb(job, link, port);
    }
    bool Opened(const std::string& serial) const {
        for (const auto& text : port.Texts())
            if (text.rfind("Device name = ", 0) == 0) return text.find(serial) != std::string::npos;
        return false;
    }
    FakeMpsseTransport* usb = nullptr;
    std::unique_ptr<FtdiAdapter> adapter;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

TEST(AdapterBySerial, SeveralWithoutFilterOpenNoneChosenOneWithIt) {
    {
        // Another FTDI device's lines are never driven by guess.
        Bench bench("");
        EXPECT_EQ(bench.job.abortFlag, 1);
        EXPECT_FALSE(bench.usb->open);
        EXPECT_TRUE(bench.usb->bitModes.empty());
        ASSERT_FALSE(bench.port.messages.empty());
        EXPECT_NE(bench.port.messages.back().text.find("FT111, FT222 and FT333"), std::string::npos);
    }
    {
        Bench bench("FT111");
        ASSERT_EQ(bench.job.abortFlag, 0);
        EXPECT_TRUE(bench.Opened("FT111"));
        EXPECT_EQ(bench.adapter->SeenSerials(), (std::vector<std::string>{"FT111", "FT222", "FT333"}));
    }
    {
        Bench bench("FT999");  // not attached: no adapter, nothing opened
        EXPECT_EQ(bench.job.abortFlag, 1);
        EXPECT_EQ(bench.link.handle, 0u);
        EXPECT_FALSE(bench.usb->open);
        EXPECT_EQ(bench.adapter->SeenSerials().size(), 3u);
    }
}

TEST(AdapterPick, OnlyTheSerialAskedForOrTheOnlySupportedOne) {
    UsbDeviceInfo quad = Device(5, "FT444");
    quad.productId = kFt4232hProductId;
    quad.bcdDevice = 0x0800;
    UsbDeviceInfo denied = Device(6, "");
    denied.accessDenied = true;
    const AdapterListing a = ListingFor(Device(4, "FT111")), q = ListingFor(quad), d = ListingFor(denied);
    EXPECT_FALSE(q.supported);
    EXPECT_FALSE(q.openable);
    EXPECT_TRUE(d.supported);
    EXPECT_FALSE(d.openable);
    EXPECT_NE(d.whyNot.find(kUdevRulePath), std::string::npos);

    // An FT4232H beside one usable adapter leaves no choice to make.
    AdapterPick pick = PickAdapter({q, a}, std::nullopt);
    ASSERT_EQ(pick.result, PickResult::Chosen);
    EXPECT_EQ(pick.chosen->serial, "FT111");
    // An adapter that cannot be read may be the siren's: still a choice.
    pick = PickAdapter({a, d}, std::nullopt);
    EXPECT_EQ(pick.result, PickResult::NeedsChoice);
    EXPECT_NE(pick.message.find("FT111 and (no serial number readable) at bus 001 device 006"), std::string::npos);
    // A remembered serial that is absent is reported, not replaced.
    pick = PickAdapter({a}, std::string("FT222"));
    EXPECT_EQ(pick.result, PickResult::SerialAbsent);
    EXPECT_NE(pick.message.find("FT222"), std::string::npos);
    EXPECT_EQ(PickAdapter({q}, std::nullopt).result, PickResult::NoneAttached);
    EXPECT_NE(PickAdapter({q}, std::nullopt).message.find("FT4232H"), std::string::npos);
    EXPECT_EQ(PickAdapter({}, std::nullopt).result, PickResult::NoneAttached);
}

TEST(CountingAdapter, CountsWhatPassesAndAgreesWithTheSimulator) {
    SimulatedSiren siren;
    CountingAdapter counting(siren);
    JobState job;
    SpiLink link{&counting};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    IdentifyFlash(job, link, port);
    const uint8_t page[256] = {1, 2, 3};
    PageProgram(job, link, port, 0x100, page, 256);
    uint8_t back[512];
    ReadFlash(job, link, port, 0, back, 512);
    CloseUsb(job, link, port);
    ASSERT_EQ(job.abortFlag, 0);
    const auto& c = counting.Counters();
    const auto& s = siren.Counters();
    EXPECT_EQ(c.calls, s.adapterCalls);
    EXPECT_EQ(c.roundTrips, s.readingFrames);
    EXPECT_EQ(c.writeFrames, s.writeFrames);
    EXPECT_EQ(c.bytesOut, s.bytesOut);
    EXPECT_EQ(c.bytesIn, s.bytesIn);
    EXPECT_GE(c.bytesIn, 512);
    EXPECT_EQ(back[0x100], 1);
}

TEST(SimulatorSlowFault, ParsedBoundedAndTakesRealTime) {
    SimulatorFaults faults;
    std::string error;
    ASSERT_TRUE(ParseSimulatorFaults("slow=3000", faults, error));
    EXPECT_EQ(faults.slowMicroseconds, 3000);
    EXPECT_FALSE(ParseSimulatorFaults("slow=100001", faults, error));  // above 0.1 s
    EXPECT_FALSE(ParseSimulatorFaults("slow=-1", faults, error));

    SimulatorOptions options;
    options.faults.slowMicroseconds = 3000;
    SimulatedSiren siren(options);
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    const auto start = std::chrono::steady_clock::now();
    uint8_t byte = 0;
    for (int i = 0; i < 5; ++i) ReadFlash(job, link, port, 0, &byte, 1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
    CloseUsb(job, link, port);
}

}  // namespace
