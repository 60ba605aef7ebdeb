// The FTDI MPSSE adapter's byte stream, checked through an emulated chip.
#include <gtest/gtest.h>
#include <libusb.h>

#include <algorithm>

#include "FakeMpsseTransport.h"
#include "ScriptedUserPort.h"
#include "operations/FlashRoutines.h"
#include "operations/LinkFrames.h"
#include "operations/UsbConnection.h"
#include "spi/FtdiAdapter.h"
#include "spi/OpenFailure.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

using Bytes = std::vector<uint8_t>;

class FtdiTest : public ::testing::Test {
protected:
    void Make(uint16_t bcdDevice = 0x0500) {
        auto fake = std::make_unique<FakeMpsseTransport>(bcdDevice);
        usb = fake.get();
        adapter = std::make_unique<FtdiAdapter>(std::move(fake));
        link.adapter = adapter.get();
    }
    void Connect(uint16_t bcdDevice = 0x0500) {
        Make(bcdDevice);
        SetupUsb(job, link, port);
        ASSERT_NE(link.handle, 0u);
        ASSERT_EQ(job.abortFlag, 0);
        usb->writes.clear();
    }
    // Sends a reading frame so that everything queued reaches the fake.
    Bytes FlushWithStatusRead() {
        uint8_t status = 0;
        const uint8_t control[] = {0x05};
        ReadFrame frame;
        frame.control = control;
        frame.controlByteCount = 1;
        frame.controlBitCount = 8;
        frame.readBitCount = 8;
        frame.receive = &status;
        int32_t returned = 0;
        EXPECT_EQ(adapter->AdapterRead(link.handle, frame, returned), 0);
        return usb->writes.back();
    }

    FakeMpsseTransport* usb = nullptr;
    std::unique_ptr<FtdiAdapter> adapter;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
};

const Bytes kSelect = {0x80, 0x50, 0xFB};
const Bytes kDeselect = {0x80, 0x58, 0xFB};
const Bytes kStatusFrame = {0x80, 0x50, 0xFB, 0x11, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x80, 0x58, 0xFB, 0x87};

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace

TEST_F(FtdiTest, OpenSetupAndPinsOnFt2232C) {
    Make(0x0500);
    job.verbose = 1;
    SetupUsb(job, link, port);
    ASSERT_NE(link.handle, 0u);
    EXPECT_EQ(usb->resets, 1);
    EXPECT_GE(usb->purges, 1);
    EXPECT_EQ(usb->latencyMs, 2);
    EXPECT_EQ(usb->bitModes, (Bytes{0x00, 0x02}));
    ASSERT_EQ(usb->writes.size(), 2u);
    EXPECT_EQ(usb->writes[0], (Bytes{0xAA, 0x87}));  // synchronisation probe
    // Clock, idle lines, connecting pins and the pin read go in one write.
    EXPECT_EQ(usb->writes[1],
              (Bytes{0x85, 0x86, 0x00, 0x00, 0x80, 0x58, 0xFB, 0x80, 0x58, 0xFB, 0x82, 0x0B, 0x0F, 0x83, 0x87}));
    EXPECT_EQ(usb->badCommands, Bytes{0xAA});  // nothing the C chip does not know
    EXPECT_EQ(usb->SpiClockHz(), 6000000);
    EXPECT_FALSE(usb->loopback);
    EXPECT_TRUE(port.Saw("Device name = Dual RS232 FT0001; Location ID = 263."));
    EXPECT_TRUE(port.Saw("Upper GPIO = 1, 1, 0, 1."));
    EXPECT_TRUE(port.Saw("Clock frequency = 6000000 Hz."));

    CloseUsb(job, link, port);
    EXPECT_FALSE(usb->open);
    // Flushed on close, then every line an input and the bit mode reset.
    EXPECT_EQ(usb->writes.back(), (Bytes{0x80, 0x58, 0xFB, 0x82, 0x0A, 0x0F, 0x80, 0x00, 0x00, 0x82, 0x00, 0x00}));
    EXPECT_EQ(usb->bitModes.back(), 0x00);
    EXPECT_EQ(usb->highValue & 1, 0);
}

TEST_F(FtdiTest, SetupTwiceStartsAFreshSession) {
    Connect();
    SetupUsb(job, link, port);
    EXPECT_NE(link.handle, 0u);
    EXPECT_EQ(job.abortFlag, 0);
    EXPECT_EQ(usb->resets, 2);
    IdentifyFlash(job, link, port);
    EXPECT_EQ(job.flashIdValue, 0x14u);
}

TEST_F(FtdiTest, HighSpeedChipsDivideBy5ForTheSameClock) {
    for (uint16_t bcd : {0x0700, 0x0900}) {
        Make(bcd);
        SetupUsb(job, link, port);
        ASSERT_NE(link.handle, 0u);
        // Divide by 5, three-phase and adaptive clocking off: H chips only.
        EXPECT_EQ(Bytes(usb->writes[1].begin(), usb->writes[1].begin() + 3), (Bytes{0x8B, 0x8D, 0x97})) << bcd;
        EXPECT_TRUE(usb->divideBy5);
        EXPECT_FALSE(usb->threePhase);
        EXPECT_FALSE(usb->adaptive);
        EXPECT_EQ(usb->SpiClockHz(), 6000000);
        EXPECT_EQ(usb->badCommands, Bytes{0xAA});
        CloseUsb(job, link, port);
    }
}

TEST_F(FtdiTest, SpiClockAboveSixMegahertzTurnsDivideBy5OffOnHighSpeedChipsOnly) {
    struct Case {
        uint16_t bcd;
        int32_t wanted;
        Bytes stream;  // what goes before the flushing status read
        int32_t hz;
    };
    const Case cases[] = {
        {0x0700, 30000000, {0x8A, 0x86, 0x00, 0x00}, 30000000},
        {0x0700, 20000000, {0x8A, 0x86, 0x01, 0x00}, 15000000},  // never faster than asked
        {0x0700, 6000000, {0x8B, 0x86, 0x00, 0x00}, 6000000},
        {0x0700, 1000000, {0x8B, 0x86, 0x05, 0x00}, 1000000},
        {0x0500, 30000000, {0x86, 0x00, 0x00}, 6000000},  // the D makes 6 MHz at most
    };
    for (const Case& c : cases) {
        Connect(c.bcd);
        int32_t hz = 0;
        ASSERT_EQ(adapter->AdapterSetClock(link.handle, c.wanted, hz), 0) << c.wanted;
        EXPECT_EQ(hz, c.hz) << c.bcd << " " << c.wanted;
        EXPECT_EQ(FlushWithStatusRead(), Cat({c.stream, kStatusFrame})) << c.bcd << " " << c.wanted;
        EXPECT_EQ(usb->SpiClockHz(), c.hz);
        EXPECT_EQ(usb->badCommands, Bytes{0xAA});
        CloseUsb(job, link, port);
    }
}

TEST_F(FtdiTest, WriteOnlyFramesCostNoRoundTrip) {
    Connect();
    int trips = usb->roundTrips;
    const uint8_t data[] = {0xDE, 0xAD, 0xBE};
    WriteEnable(job, link, port);
    uint8_t control[] = {0x02, 0x12, 0x34, 0x00};
    detail::SendWriteFrame(link, control, 4, data, 3);
    EXPECT_TRUE(usb->writes.empty());
    EXPECT_GT(adapter->QueuedBytes(), 0u);
    EXPECT_EQ(usb->roundTrips, trips);

    Bytes sent = FlushWithStatusRead();
    EXPECT_EQ(usb->writes.size(), 1u);
    EXPECT_EQ(usb->roundTrips, trips + 1);
    EXPECT_EQ(sent, Cat({kSelect,
                         {0x11, 0x00, 0x00, 0x06},
                         kDeselect,  // WREN
                         kSelect,
                         {0x11, 0x03, 0x00, 0x02, 0x12, 0x34, 0x00},
                         {0x11, 0x02, 0x00, 0xDE, 0xAD, 0xBE},
                         kDeselect,  // PP
                         kStatusFrame}));
    EXPECT_EQ(usb->selectedFrames, (std::vector<int>{1, 7, 2}));
    EXPECT_EQ(usb->flash.Memory()[0x123401], 0xAD);
}

TEST_F(FtdiTest, EraseAndSignatureFrames) {
    Connect();
    detail::SendWriteFrame(link, std::array<uint8_t, 1>{0xC7}.data(), 1, nullptr, 0);
    uint8_t se[] = {0xD8, 0x01, 0x00, 0x00};
    detail::SendWriteFrame(link, se, 4, nullptr, 0);
    EXPECT_EQ(FlushWithStatusRead(), Cat({kSelect,
                                          {0x11, 0x00, 0x00, 0xC7},
                                          kDeselect,
                                          kSelect,
                                          {0x11, 0x03, 0x00, 0xD8, 0x01, 0x00, 0x00},
                                          kDeselect,
                                          kStatusFrame}));
    usb->flash.AdvanceTime(std::chrono::seconds(60));
    usb->writes.clear();
    IdentifyFlash(job, link, port);
    EXPECT_EQ(job.flashIdValue, 0x14u);
    ASSERT_EQ(usb->writes.size(), 1u);
    EXPECT_EQ(usb->writes[0],
              Cat({kSelect, {0x11, 0x04, 0x00, 0xAB, 0, 0, 0, 0}, {0x20, 0x00, 0x00}, kDeselect, {0x87}}));
}

TEST_F(FtdiTest, LongReadsSplitIntoMpsseCommands) {
    Connect();
    auto& memory = usb->flash.Memory();
    for (size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<uint8_t>(i ^ (i >> 9));
    Bytes buffer(70000);
    ASSERT_EQ(ReadFlash(job, link, port, 0x10000, buffer.data(), 70000), 0);
    EXPECT_EQ(usb->writes.back(), Cat({kSelect,
                                       {0x11, 0x03, 0x00, 0x03, 0x01, 0x00, 0x00},
                                       {0x20, 0xFF, 0xFF},
                                       {0x20, 0x6F, 0x11},
                                       kDeselect,
                                       {0x87}}));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), memory.begin() + 0x10000));
}

TEST_F(FtdiTest, AnswersArrivingInPiecesAreCollected) {
    Connect();
    usb->maxBytesPerRead = 7;
    usb->emptyReadEvery2nd = true;
    usb->flash.Memory()[500] = 0x42;
    Bytes buffer(1000);
    ASSERT_EQ(ReadFlash(job, link, port, 0, buffer.data(), 1000), 0);
    EXPECT_EQ(buffer[500], 0x42);
    EXPECT_GT(usb->readCalls, 250);
}

TEST_F(FtdiTest, SilentAdapterTimesOutInsteadOfHanging) {
    Connect();
    usb->stalled = true;
    int purges = usb->purges;
    auto start = usb->Now();
    uint8_t byte = 0;
    EXPECT_EQ(ReadFlash(job, link, port, 0, &byte, 1), kAdapterTimeout);
    EXPECT_GT(usb->Now() - start, std::chrono::milliseconds(1000));
    EXPECT_LT(usb->Now() - start, std::chrono::milliseconds(1100));
    EXPECT_EQ(usb->purges, purges + 1);
    // The wait loop then stops the operation.
    WaitWhileBusy(job, link, port);
    EXPECT_EQ(job.abortFlag, 1);
}

TEST_F(FtdiTest, PermissionDeniedNamesTheUdevRule) {
    Make();
    usb->openResult = -4;  // libusb_open failed
    usb->openErrorText = "libusb_open() failed";
    SetupUsb(job, link, port);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(job.usbStatusText, "Idle");
    ASSERT_EQ(port.messages.size(), 1u);
    const std::string& text = port.messages[0].text;
    EXPECT_EQ(text.rfind("Could not open device.\n", 0), 0u);
    EXPECT_NE(text.find("Permission denied"), std::string::npos);
    EXPECT_NE(text.find(kUdevRulePath), std::string::npos);
    EXPECT_EQ(text.find("libusb_open() failed"), std::string::npos);
}

TEST(OpenFailure, EachLibraryResultSaysWhatIsWrong) {
    struct Case {
        int ftdi;
        int libusb;
        bool deniedAtEnumeration;
        const char* text;
        OpenFailureKind kind;
    };
    const Case cases[] = {
        {-3, 0, false, "device not found", OpenFailureKind::NotFound},
        {-3, 0, false, "unable to set usb configuration. Make sure the default FTDI driver is not in use",
         OpenFailureKind::Busy},
        {-4, 0, false, "libusb_open() failed", OpenFailureKind::AccessDenied},
        {-4, LIBUSB_ERROR_ACCESS, false, "libusb_open() failed", OpenFailureKind::AccessDenied},
        {-4, LIBUSB_ERROR_NO_DEVICE, false, "libusb_open() failed", OpenFailureKind::NotFound},
        {-4, LIBUSB_ERROR_IO, false, "libusb_open() failed", OpenFailureKind::Other},
        {-5, 0, false, "unable to claim usb device", OpenFailureKind::Busy},
        {-5, 0, true, "unable to claim usb device", OpenFailureKind::AccessDenied},
        {-8, 0, false, "inappropriate permissions on device!", OpenFailureKind::AccessDenied},
        {-7, 0, false, "set baudrate failed", OpenFailureKind::Other},
        {-7, 0, true, "set baudrate failed", OpenFailureKind::AccessDenied},
    };
    for (const Case& c : cases) {
        const OpenFailure failure = ClassifyOpenFailure({c.ftdi, c.libusb, c.deniedAtEnumeration, c.text, 1, 9});
        SCOPED_TRACE(std::to_string(c.ftdi) + " " + c.text);
        EXPECT_EQ(failure.kind, c.kind);
        EXPECT_NE(failure.message.find("bus 001, device 009"), std::string::npos) << failure.message;
        if (c.kind == OpenFailureKind::AccessDenied) {
            EXPECT_NE(failure.message.find(kUdevRulePath), std::string::npos);
        }
        if (c.kind == OpenFailureKind::Other) {
            EXPECT_NE(failure.message.find(c.text), std::string::npos);
        }
    }
    EXPECT_EQ(ClassifyOpenFailure({}).kind, OpenFailureKind::None);
}

TEST_F(FtdiTest, DeviceGoneBetweenEnumerationAndOpen) {
    Make();
    usb->openResult = -3;
    usb->openErrorText = "device not found";
    SetupUsb(job, link, port);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(link.lastStatus, kAdapterNotFound);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("no longer attached"), std::string::npos);
}

TEST_F(FtdiTest, Ft4232hIsRefusedWithoutBeingOpened) {
    Make(0x0800);
    SetupUsb(job, link, port);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(usb->bitModes.empty());
    EXPECT_TRUE(usb->writes.empty());
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("FT4232H"), std::string::npos);
}

TEST_F(FtdiTest, StaleBytesBeforeTheEchoAreDropped) {
    Make();
    usb->staleAtModeSwitch = {0x42, 0xFA};            // before the purge: gone with it
    // In flight: read and dropped, a probe byte not right after 0xFA among them.
    usb->staleAfterPurge = {0x13, 0xFA, 0x00, 0xAA, 0xFA};
    usb->flash.Memory()[0x300] = 0x5A;
    SetupUsb(job, link, port);
    ASSERT_NE(link.handle, 0u);
    ASSERT_EQ(job.abortFlag, 0);
    // The purge follows the switch into MPSSE mode.
    EXPECT_EQ(usb->bitModes, (Bytes{0x00, 0x02}));
    EXPECT_EQ(usb->purgesInMpsse, 1);
    uint8_t byte = 0;
    ASSERT_EQ(ReadFlash(job, link, port, 0x300, &byte, 1), 0);
    EXPECT_EQ(byte, 0x5A);
}

TEST_F(FtdiTest, FailedTransferEndsTheSessionUntilReopened) {
    for (bool failRead : {true, false}) {
        SCOPED_TRACE(failRead ? "read" : "write");
        Connect();
        usb->flash.Memory()[0x40] = 0x77;
        if (failRead) {
            usb->maxBytesPerRead = 1;  // the answer is half delivered when the read fails
            usb->failReadAfter = usb->readCalls + 1;
        } else {
            usb->failWriteAfter = usb->writeCalls;
        }
        uint8_t bytes[4] = {};
        EXPECT_NE(ReadFlash(job, link, port, 0x3E, bytes, 4), 0);
        usb->failReadAfter = usb->failWriteAfter = -1;
        usb->maxBytesPerRead = 1 << 30;
        // Nothing more goes to an engine whose state is unknown.
        const size_t writes = usb->writes.size();
        EXPECT_NE(ReadFlash(job, link, port, 0x3E, bytes, 4), 0);
        EXPECT_EQ(usb->writes.size(), writes);
        CloseUsb(job, link, port);
        EXPECT_FALSE(usb->open);
        job.abortFlag = 0;
        SetupUsb(job, link, port);
        ASSERT_NE(link.handle, 0u);
        ASSERT_EQ(ReadFlash(job, link, port, 0x3E, bytes, 4), 0);
        EXPECT_EQ(bytes[2], 0x77);
        CloseUsb(job, link, port);
    }
}

TEST_F(FtdiTest, ChipThatIsNotInMpsseModeFailsToOpen) {
    Make();
    usb->stalled = true;
    SetupUsb(job, link, port);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_FALSE(usb->open);
}

TEST_F(FtdiTest, UnsupportedFramesAreRefused) {
    Connect();
    const uint8_t control[] = {0x06};
    WriteFrame frame;
    frame.control = control;
    frame.controlByteCount = 1;
    frame.controlBitCount = 8;
    frame.risingEdge = 1;
    EXPECT_EQ(adapter->AdapterWrite(link.handle, frame), kAdapterInvalidParameter);
    frame.risingEdge = 0;
    frame.controlBitCount = 7;
    EXPECT_EQ(adapter->AdapterWrite(link.handle, frame), kAdapterInvalidParameter);
    frame.controlBitCount = 8;
    EXPECT_EQ(adapter->AdapterWrite(link.handle + 1, frame), kAdapterInvalidHandle);
    EXPECT_EQ(adapter->QueuedBytes(), 0u);
}

TEST_F(FtdiTest, PageProgramClocksIdleBytesBeforeItsOnePoll) {
    for (uint16_t bcd : {0x0500, 0x0700}) {  // FT2232C and FT2232H: the same stream but the pause
        Connect(bcd);
        IdentifyFlash(job, link, port);
        ASSERT_EQ(job.flashLastAddress, 0x1FFFFFu);
        usb->writes.clear();
        usb->selectedFrames.clear();
        const int trips = usb->roundTrips;
        Bytes page(256);
        for (size_t i = 0; i < page.size(); ++i) page[i] = static_cast<uint8_t>(i ^ 0x5A);
        for (uint32_t address : {0x1000u, 0x1100u, 0x1200u})
            EXPECT_EQ(PageProgram(job, link, port, address, page.data(), 256), 0);
        // One USB write and one round trip per page: the poll finds the flash idle.
        ASSERT_EQ(usb->writes.size(), 3u);
        EXPECT_EQ(usb->roundTrips - trips, 3);
        Bytes idle = {0x11, 0xDF, 0x01};  // 480 bytes: 0.64 ms at 6 MHz
        idle.resize(3 + 480, 0x00);
        if (bcd == 0x0700) idle = {0x8F, 0xDF, 0x01};  // the same clocks without data
        Bytes ppHead = {0x11, 0x03, 0x00, 0x02, 0x00, 0x12, 0x00, 0x11, 0xFF, 0x00};
        EXPECT_EQ(usb->writes[2], Cat({kSelect,
                                       {0x11, 0x00, 0x00, 0x06},
                                       kDeselect,  // WREN
                                       kSelect,
                                       ppHead,
                                       page,
                                       kDeselect,  // PP, then chip select stays high
                                       idle,
                                       kStatusFrame}))
            << bcd;
        // The idle bytes fell in no chip-select frame: WREN, PP, RDSR per page.
        EXPECT_EQ(usb->selectedFrames, (std::vector<int>{1, 260, 2, 1, 260, 2, 1, 260, 2}));
        EXPECT_EQ(usb->flash.pagePrograms, 3);
        EXPECT_EQ(usb->flash.ignoredCommands, 0);
        EXPECT_TRUE(std::equal(page.begin(), page.end(), usb->flash.Memory().begin() + 0x1200));
        EXPECT_EQ(job.abortFlag, 0);
        CloseUsb(job, link, port);
    }
}

TEST_F(FtdiTest, IdleClocksAreQueuedAndChecked) {
    Connect();
    EXPECT_EQ(adapter->AdapterIdleClocks(link.handle, 0), 0);
    EXPECT_EQ(adapter->QueuedBytes(), 0u);
    EXPECT_EQ(adapter->AdapterIdleClocks(link.handle, -1), kAdapterInvalidParameter);
    EXPECT_EQ(adapter->AdapterIdleClocks(link.handle + 1, 10), kAdapterInvalidHandle);
    EXPECT_EQ(adapter->QueuedBytes(), 0u);
    // More than one command holds: split like any data-out, and written at once when
    // the queue is that long (still no round trip).
    const auto t0 = usb->flash.Now();
    const int trips = usb->roundTrips;
    EXPECT_EQ(adapter->AdapterIdleClocks(link.handle, 65537), 0);
    ASSERT_EQ(usb->writes.size(), 1u);
    EXPECT_EQ(usb->roundTrips, trips);
    const Bytes& sent = usb->writes[0];
    ASSERT_EQ(sent.size(), 3u + 65536 + 3 + 1);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 3), (Bytes{0x11, 0xFF, 0xFF}));
    EXPECT_EQ(Bytes(sent.end() - 4, sent.end()), (Bytes{0x11, 0x00, 0x00, 0x00}));
    EXPECT_EQ(usb->badCommands, Bytes{0xAA});  // only the synchronisation probe
    EXPECT_FALSE(usb->selected);
    // The C/D's 6 MHz clock, not its full-speed USB, sets the pace: the write ends when
    // its last packet is in the chip (at most a TX buffer, 0.5 ms, still to clock), and
    // the gaps between libftdi's 17 transfers (0.5 ms each at most) may starve the engine.
    const auto elapsed = usb->flash.Now() - t0;
    const auto clocked = std::chrono::nanoseconds(65537LL * 8 * 1000 / 6);
    EXPECT_GT(elapsed, clocked - std::chrono::microseconds(520));
    EXPECT_LT(elapsed, clocked + 17 * std::chrono::microseconds(500));

    // Pins whose idle level selects the chip get no idle clocks at all.
    LowPinIdleStates selecting;
    selecting.chipSelectHigh = 0;
    ASSERT_EQ(adapter->AdapterSetPins(link.handle, selecting, kUpperPinsConnected), 0);
    const size_t queued = adapter->QueuedBytes();
    EXPECT_EQ(adapter->AdapterIdleClocks(link.handle, 480), 0);
    EXPECT_EQ(adapter->QueuedBytes(), queued);
}

TEST(FtdiNaming, NamesLocationsAndChips) {
    UsbDeviceInfo device{3, 12, kFt2232ProductId, 0x0700, "Dual RS232-HS", "FTX1Y2Z3", false};
    EXPECT_EQ(FtdiAdapter::DeviceName(device), "Dual RS232-HS FTX1Y2Z3");
    EXPECT_EQ(FtdiAdapter::LocationId(device), 0x030C);
    device.description.clear();
    device.serial.clear();
    EXPECT_EQ(FtdiAdapter::DeviceName(device), "FT2232H");
    device.description = std::string(80, 'x');
    EXPECT_EQ(FtdiAdapter::DeviceName(device).size(), 49u);
    EXPECT_EQ(ChipFromBcdDevice(0x0500), MpsseChip::Ft2232C);
    EXPECT_EQ(ChipFromBcdDevice(0x0800), MpsseChip::Ft4232H);
    EXPECT_EQ(ChipFromBcdDevice(0x0900), MpsseChip::Ft232H);
    EXPECT_FALSE(IsHighSpeedChip(ChipFromBcdDevice(0x0500)));
    EXPECT_FALSE(IsHighSpeedChip(ChipFromBcdDevice(0x0600)));
}

TEST_F(FtdiTest, WholeJobThroughTheAdapter) {
    Connect();
    IdentifyFlash(job, link, port);
    ASSERT_EQ(job.flashLastAddress, 0x1FFFFFu);
    auto popup = port.MakeProgress("Complete...", false);
    link.progress = popup.get();
    Bytes image(1000);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 13);
    usb->flash.Memory()[5] = 0;  // old content
    int trips = usb->roundTrips;
    ASSERT_EQ(EraseSectors(job, link, port, 0, 1), 0);
    for (size_t at = 0; at < image.size(); at += 256)
        PageProgram(job, link, port, static_cast<uint32_t>(at), image.data() + at,
                    static_cast<int32_t>(std::min<size_t>(256, image.size() - at)));
    EXPECT_EQ(VerifyFlash(job, link, port, static_cast<int32_t>(image.size()), image.data()), 1);
    EXPECT_EQ(job.abortFlag, 0);
    EXPECT_TRUE(port.messages.empty());
    // Every USB write asked for an answer: status polls and one verify read.
    EXPECT_EQ(usb->roundTrips - trips, static_cast<int>(usb->writes.size()) - 1);
    EXPECT_EQ(usb->flash.pagePrograms, 4);
    CloseUsb(job, link, port);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(FtdiTest, PipelinedPagesGoOutInOneWriteWithOneRead) {
    Connect();
    IdentifyFlash(job, link, port);
    usb->writes.clear();
    usb->selectedFrames.clear();
    const int trips = usb->roundTrips;
    Bytes image(2 * 256 + 3);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 3 + 1);
    ASSERT_EQ(ProgramPages(job, link, port, 0x4000, image.data(), image.size()), 0);
    ASSERT_EQ(usb->writes.size(), 1u);
    EXPECT_EQ(usb->roundTrips - trips, 1);
    const Bytes status = {0x80, 0x50, 0xFB, 0x11, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x80, 0x58, 0xFB};
    const Bytes wren = Cat({kSelect, {0x11, 0x00, 0x00, 0x06}, kDeselect});
    Bytes idle = {0x11, 0xDF, 0x01};  // 480 bytes: 0.64 ms at 6 MHz
    idle.resize(3 + 480, 0x00);
    Bytes expected = status;
    for (uint32_t page = 0; page < 3; ++page) {
        const uint32_t at = 0x4000 + page * 256;
        const auto n = static_cast<uint8_t>(page < 2 ? 0xFF : 0x02);
        Bytes pp = Cat({kSelect,
                        {0x11, 0x03, 0x00, 0x02, static_cast<uint8_t>(at >> 16), static_cast<uint8_t>(at >> 8), 0x00,
                         0x11, n, 0x00}});
        pp.insert(pp.end(), image.begin() + page * 256,
                  image.begin() + std::min<size_t>(image.size(), page * 256 + 256));
        expected = Cat({expected, wren, pp, kDeselect, idle, status});
    }
    expected.push_back(0x87);
    EXPECT_EQ(usb->writes[0], expected);
    EXPECT_EQ(usb->selectedFrames, (std::vector<int>{2, 1, 260, 2, 1, 260, 2, 1, 7, 2}));
    EXPECT_TRUE(std::equal(image.begin(), image.end(), usb->flash.Memory().begin() + 0x4000));
    EXPECT_EQ(usb->flash.ignoredCommands, 0);
}

TEST_F(FtdiTest, BatchReadsAreCollectedWithinTheChipsBuffer) {
    Connect();
    // 100 status reads: the chip may hold only 64 answers, so two round trips.
    const uint8_t rdsr[] = {0x05};
    std::vector<BatchFrame> frames(100, BatchFrame{rdsr, 1, nullptr, 0, 1, 0});
    Bytes answers(100, 0xEE);
    int32_t received = 0;
    const int trips = usb->roundTrips;
    ASSERT_EQ(adapter->AdapterBatch(link.handle, frames.data(), frames.size(), answers.data(), received), 0);
    EXPECT_EQ(received, 100);
    EXPECT_EQ(usb->roundTrips - trips, 2);
    EXPECT_EQ(answers, Bytes(100, 0x00));  // an idle flash
    // A frame that writes and reads at once is refused before anything is queued.
    const uint8_t data[] = {1};
    BatchFrame both{rdsr, 1, data, 1, 1, 0};
    EXPECT_EQ(adapter->AdapterBatch(link.handle, &both, 1, answers.data(), received), kAdapterInvalidParameter);
    EXPECT_EQ(adapter->QueuedBytes(), 0u);
}
