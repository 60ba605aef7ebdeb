// The flash routines and the connection lifecycle, run against the simulated siren.
#include <gtest/gtest.h>

#include <numeric>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "job/TextFormat.h"
#include "operations/FlashRoutines.h"
#include "operations/LinkFrames.h"
#include "spi/SimulatedSiren.h"
#include "operations/UsbConnection.h"

using namespace zorvek;
using namespace zorvek::test;
using namespace std::chrono_literals;

namespace {

class LinkTest : public ::testing::Test {
protected:
    explicit LinkTest(SimulatorOptions options = {}) : siren(std::move(options)), spy(siren) { link.adapter = &spy; }

    void Connect() {
        SetupUsb(job, link, port);
        ASSERT_NE(link.handle, 0u);
        spy.frames.clear();
        port.messages.clear();
    }

    ProgressLog& Popup() {
        progress = port.MakeProgress("Complete...", false);
        link.progress = progress.get();
        return *port.progresses.back();
    }

    void Program(const std::vector<uint8_t>& image) {
        for (size_t at = 0; at < image.size(); at += 256)
            PageProgram(job, link, port, static_cast<uint32_t>(at), image.data() + at,
                        static_cast<int32_t>(std::min<size_t>(256, image.size() - at)));
    }

    SimulatedSiren siren;
    SpyAdapter spy;
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
    std::unique_ptr<ProgressPort> progress;
};

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    return v;
}

}  // namespace

TEST(SignatureTable, CapacityPerSignature) {
    EXPECT_EQ(FlashLastAddressForSignature(0x11), 0x3FFFFu);
    EXPECT_EQ(FlashLastAddressForSignature(0x12), 0x7FFFFu);
    EXPECT_EQ(FlashLastAddressForSignature(0x13), 0xFFFFFu);
    EXPECT_EQ(FlashLastAddressForSignature(0x14), 0x1FFFFFu);
    EXPECT_EQ(FlashLastAddressForSignature(0x15), 0x3FFFFFu);
    EXPECT_EQ(FlashLastAddressForSignature(0x10), 0u);
    EXPECT_EQ(FlashLastAddressForSignature(0x16), 0u);
}

TEST_F(LinkTest, SetupOpensSetsLinesAndShowsVerboseDetails) {
    job.verbose = 1;
    SetupUsb(job, link, port);
    EXPECT_NE(link.handle, 0u);
    EXPECT_EQ(job.usbStatusText, "Device Connected");
    EXPECT_EQ(job.abortFlag, 0);
    EXPECT_EQ(port.Texts(), (std::vector<std::string>{"FT2232C device found.",
                                                      "Device name = Simulated Siren SIM0001; Location ID = 257.",
                                                      "Clock frequency = 6000000 Hz.", "Upper GPIO = 1, 1, 0, 1."}));
    ASSERT_EQ(spy.pinSetups.size(), 1u);
    EXPECT_EQ(spy.pinSetups[0].lines[0].high, 1);

    CloseUsb(job, link, port);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.usbStatusText, "Idle");
    ASSERT_EQ(spy.pinSetups.size(), 2u);
    EXPECT_EQ(spy.pinSetups[1].lines[0].high, 0);  // line 1 low after closing
    EXPECT_EQ(spy.closeCalls, 1);

    size_t shown = port.messages.size();
    CloseUsb(job, link, port);  // a second close does nothing
    EXPECT_EQ(spy.closeCalls, 1);
    EXPECT_EQ(port.messages.size(), shown);
}

TEST_F(LinkTest, SetupQuietWithoutVerbose) {
    SetupUsb(job, link, port);
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(job.messageText, "Upper GPIO = 1, 1, 0, 1.");
}

namespace {
// Reports its device late, or a second one.
class EnumeratingSiren : public SimulatedSiren {
public:
    int reportFromPoll = 1;
    int devices = 1;
    int polls = 0;
    int infoIndex = -1;
    int32_t AdapterCountDevices(int32_t& count) override {
        SimulatedSiren::AdapterCountDevices(count);
        count = ++polls >= reportFromPoll ? devices : 0;
        return 0;
    }
    int32_t AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) override {
        infoIndex = index;
        return SimulatedSiren::AdapterDeviceInfo(0, name, locationId);
    }
};
}  // namespace

TEST(SetupUsbEnumeration, LateAdapterFoundAndLastOfTwoOpened) {
    EnumeratingSiren siren;
    siren.reportFromPoll = 5000;
    siren.devices = 2;
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    EXPECT_EQ(siren.polls, 5000);
    EXPECT_EQ(siren.infoIndex, 1);
    EXPECT_NE(link.handle, 0u);
}

TEST(SetupUsbEnumeration, NoAdapterTellsTheUserAndStopsTheOperation) {
    EnumeratingSiren siren;
    siren.reportFromPoll = 1 << 30;
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    EXPECT_EQ(siren.polls, kEnumerationPolls);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(port.Texts(), std::vector<std::string>{kMsgNoAdapter});
}

namespace {
// Every enumeration takes a millisecond of (its own) time.
class SlowEnumeration : public SimulatedSiren {
public:
    int polls = 0;
    int32_t AdapterCountDevices(int32_t& count) override {
        ++polls;
        Flash().AdvanceTime(std::chrono::milliseconds(1));
        count = 0;
        return 0;
    }
};
}  // namespace

TEST(SetupUsbEnumeration, PollingIsBoundInTime) {
    SlowEnumeration siren;
    JobState job;
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    EXPECT_LE(siren.polls, 2002);
    EXPECT_EQ(job.abortFlag, 1);
}

TEST(SetupUsbOpen, FailedOpenLeavesIdleAndAbortFlag) {
    SimulatorOptions options;
    options.faults.openFails = true;
    SimulatedSiren siren(options);
    JobState job;
    job.usbStatusText = "something";
    SpiLink link{&siren};
    ScriptedUserPort port;
    SetupUsb(job, link, port);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.usbStatusText, "Idle");
    EXPECT_EQ(job.abortFlag, 1);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text.rfind("Could not open device.", 0), 0u);
}

TEST_F(LinkTest, IdentifyFlashReadsSignatureAndCapacity) {
    Connect();
    job.verbose = 1;
    IdentifyFlash(job, link, port);
    EXPECT_EQ(job.flashIdValue, 0x14u);
    EXPECT_EQ(job.flashIdText, "0x14");
    EXPECT_EQ(job.flashLastAddress, 0x1FFFFFu);
    EXPECT_EQ(job.abortFlag, 0);
    EXPECT_EQ(port.Texts(), std::vector<std::string>{"Electronic Signature = 0x14."});
    ASSERT_EQ(spy.frames.size(), 1u);
    EXPECT_EQ(spy.frames[0].control, (std::vector<uint8_t>{0xAB, 0, 0, 0, 0}));
    EXPECT_EQ(spy.frames[0].readCount, 1);

    CloseUsb(job, link, port);
    EXPECT_EQ(job.flashIdText, "");
}

TEST_F(LinkTest, UnknownSignatureIsReportedAndStops) {
    for (uint8_t signature : {0x10, 0x16}) {
        Connect();
        siren.Flash().SetSignature(signature);
        job.abortFlag = 0;
        job.flashLastAddress = 0x1234;
        IdentifyFlash(job, link, port);
        EXPECT_EQ(job.abortFlag, 1);
        EXPECT_EQ(job.flashLastAddress, 0x1234u);
        char expected[200];
        std::snprintf(expected, sizeof expected, kMsgSignatureUnknown, signature);
        EXPECT_EQ(port.Texts(), std::vector<std::string>{expected});
    }
}

TEST_F(LinkTest, FailedSignatureReadIsReportedAndStops) {
    Connect();
    siren.Faults().unplugAfter = 0;
    job.verbose = 1;
    IdentifyFlash(job, link, port);
    EXPECT_NE(link.lastStatus, 0);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(job.flashIdValue, 0u);
    // No verbose signature box for a failed read, only the failure.
    EXPECT_EQ(port.Texts(), std::vector<std::string>{kMsgSignatureUnread});
}

TEST_F(LinkTest, PageProgramFramesAndResult) {
    Connect();
    const uint8_t data[] = {1, 2, 3};
    EXPECT_EQ(PageProgram(job, link, port, 0x123400, data, 3), 0);
    ASSERT_GE(spy.frames.size(), 3u);
    EXPECT_EQ(spy.frames[0].control, std::vector<uint8_t>{0x06});
    EXPECT_EQ(spy.frames[0].dataCount, 0);
    EXPECT_EQ(spy.frames[1].control, (std::vector<uint8_t>{0x02, 0x12, 0x34, 0x00}));
    EXPECT_EQ(spy.frames[1].dataCount, 3);
    for (size_t i = 2; i < spy.frames.size(); ++i) {
        EXPECT_EQ(spy.frames[i].control, std::vector<uint8_t>{0x05});
        EXPECT_TRUE(spy.frames[i].reads);
    }
    // Idle clocks between the program and the first poll, so that one poll is enough.
    ASSERT_EQ(spy.idleClocks.size(), 1u);
    EXPECT_EQ(spy.idleClocks[0].afterFrames, 2u);
    EXPECT_EQ(spy.idleClocks[0].byteCount, 600);  // flash not identified: the longer time
    EXPECT_EQ(spy.frames.size(), 3u);
    EXPECT_FALSE(siren.Flash().Busy());
    EXPECT_EQ(siren.Flash().Memory()[0x123401], 2);
}

TEST_F(LinkTest, IdleClocksFollowTheFlashSizeAndClock) {
    EXPECT_EQ(PageProgramIdleBytes(0x1FFFFF, 6000000), 480);  // 0.64 ms
    EXPECT_EQ(PageProgramIdleBytes(0xFFFFF, 6000000), 480);
    EXPECT_EQ(PageProgramIdleBytes(0x7FFFF, 6000000), 600);  // 0.8 ms
    EXPECT_EQ(PageProgramIdleBytes(0, 6000000), 600);
    EXPECT_EQ(PageProgramIdleBytes(0x3FFFFF, 0), 480);  // clock unknown: the setup clock
    EXPECT_EQ(PageProgramIdleBytes(0x1FFFFF, 1000000), 80);
    EXPECT_EQ(PageProgramIdleBytes(0x3FFFF, 1000000), 100);
    EXPECT_EQ(PageProgramIdleBytes(0x1FFFFF, 1), 1);  // rounded up

    Connect();
    EXPECT_EQ(link.clockHz, 6000000);
    IdentifyFlash(job, link, port);
    spy.frames.clear();
    const uint8_t data[] = {9};
    PageProgram(job, link, port, 0, data, 1);
    ASSERT_EQ(spy.idleClocks.size(), 1u);
    EXPECT_EQ(spy.idleClocks[0].byteCount, 480);
    // A program frame that did not go out is not waited for with idle clocks.
    siren.Faults().unplugAfter = siren.Counters().adapterCalls + 1;  // WREN still passes
    PageProgram(job, link, port, 0x100, data, 1);
    EXPECT_EQ(spy.idleClocks.size(), 1u);
    EXPECT_EQ(job.abortFlag, 1);
}

TEST_F(LinkTest, PageProgramRefusesToCrossAPage) {
    Connect();
    const std::vector<uint8_t> data = Pattern(256);
    // The flash would wrap the tail into the same page and overwrite its start.
    EXPECT_EQ(PageProgram(job, link, port, 0x1F0, data.data(), 32), kAdapterInvalidParameter);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(spy.frames.empty());
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("0x0001F0"), std::string::npos);
    EXPECT_EQ(siren.Flash().Memory()[0x100], 0xFF);
    // Up to the boundary is one page.
    job.abortFlag = 0;
    EXPECT_EQ(PageProgram(job, link, port, 0x1F0, data.data(), 16), 0);
    EXPECT_EQ(siren.Flash().Memory()[0x1FF], data[15]);
}

TEST_F(LinkTest, PageProgramWithAbortFlagSendsNothing) {
    Connect();
    job.abortFlag = 1;
    const uint8_t data[] = {0};
    EXPECT_EQ(PageProgram(job, link, port, 0, data, 1), kStopped);
    EXPECT_TRUE(spy.frames.empty());
}

TEST_F(LinkTest, VerbosePollsShowOneBoxEach) {
    Connect();
    job.verbose = 1;
    const uint8_t data[] = {0};
    // A wait that starts straight after the program: busy at first, then idle.
    WriteEnable(job, link, port);
    const uint8_t control[] = {0x02, 0, 0, 0};
    detail::SendWriteFrame(link, control, 4, data, 1);
    WaitWhileBusy(job, link, port, kPageProgramBusyLimit);
    int polls = spy.Count(0x05);
    EXPECT_GE(polls, 2);
    ASSERT_EQ(static_cast<int>(port.messages.size()), polls);
    EXPECT_EQ(port.messages.front().text, "Flash Status Register = 0x3.");
    EXPECT_EQ(port.messages.back().text, "Flash Status Register = 0x0.");

    // PageProgram's idle clocks cover the program time: its one poll finds it idle.
    port.messages.clear();
    PageProgram(job, link, port, 0x100, data, 1);
    EXPECT_EQ(spy.Count(0x05), polls + 1);
    EXPECT_EQ(port.Texts(), std::vector<std::string>{"Flash Status Register = 0x0."});
}

TEST_F(LinkTest, EraseSectorsCounts) {
    Connect();
    auto& popup = Popup();
    job.flashStatusText = "x";
    EXPECT_EQ(EraseSectors(job, link, port, 0, 0), 0);
    EXPECT_TRUE(spy.frames.empty());
    EXPECT_EQ(job.flashStatusText, "");

    EXPECT_EQ(EraseSectors(job, link, port, 0, 3), 0);
    std::vector<uint32_t> erased;
    for (const auto& f : spy.frames)
        if (f.Opcode() == 0xD8) erased.push_back(f.Address());
    EXPECT_EQ(erased, (std::vector<uint32_t>{0, 0x10000, 0x20000}));
    EXPECT_EQ(spy.Count(0x06), 3);
    EXPECT_EQ(popup.steps, 3);
    EXPECT_EQ(siren.Flash().sectorErases, 3);
    EXPECT_EQ(job.flashStatusText, "");
    // Each erase was waited for: about 0.6 s of polls at one per millisecond.
    EXPECT_GT(spy.Count(0x05), 3 * 550);
}

TEST_F(LinkTest, CancelDuringEraseStopsBeforeNextSector) {
    Connect();
    auto& popup = Popup();
    popup.cancelAtPump = 10;  // in the middle of the first sector's wait
    EXPECT_EQ(EraseSectors(job, link, port, 0, 3), kStopped);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(spy.Count(0xD8), 1);
    EXPECT_EQ(spy.Count(0x05), 10);  // the wait ended after the cancelled poll's read
    EXPECT_EQ(job.flashStatusText, "Erasing");
    EXPECT_EQ(popup.steps, 1);
}

TEST_F(LinkTest, ChipEraseWithoutPopup) {
    Connect();
    siren.Flash().Memory()[5] = 0;
    ChipErase(job, link, port);
    EXPECT_EQ(siren.Flash().bulkErases, 1);
    EXPECT_EQ(siren.Flash().Memory()[5], 0xFF);
    EXPECT_FALSE(siren.Flash().Busy());
    EXPECT_EQ(job.flashStatusText, "");
    EXPECT_EQ(job.abortFlag, 0);
}

TEST_F(LinkTest, StuckBusyGivesUpWithAMessage) {
    Connect();
    siren.Flash().SetStuckBusyAfter(0);
    const uint8_t data[] = {0};
    auto before = siren.Elapsed();
    EXPECT_EQ(PageProgram(job, link, port, 0, data, 1), 0);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_GT(siren.Elapsed() - before, kPageProgramBusyLimit);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_NE(port.messages[0].text.find("still busy"), std::string::npos);
    // The stopped sequence sends nothing more.
    size_t frames = spy.frames.size();
    EXPECT_EQ(EraseSectors(job, link, port, 0, 1), kStopped);
    EXPECT_EQ(spy.frames.size(), frames);
}

TEST_F(LinkTest, FailedStatusReadStopsTheWait) {
    Connect();
    const uint8_t data[] = {0};
    siren.Faults().unplugAfter = siren.Counters().adapterCalls + 2;  // WREN and PP still pass
    EXPECT_NE(PageProgram(job, link, port, 0, data, 1), 0);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(spy.Count(0x05), 1);
}

TEST_F(LinkTest, VerifyLengthsAndBlocks) {
    Connect();
    auto& popup = Popup();
    auto image = Pattern(257);
    Program(image);
    spy.frames.clear();

    EXPECT_EQ(VerifyFlash(job, link, port, 0, image.data()), 1);
    EXPECT_EQ(popup.steps, 1);
    EXPECT_EQ(job.flashStatusText, "Verifying");

    popup.steps = 0;
    spy.frames.clear();
    EXPECT_EQ(VerifyFlash(job, link, port, 257, image.data()), 1);
    EXPECT_EQ(popup.steps, 2);
    ASSERT_EQ(spy.frames.size(), 1u);  // both blocks in one read frame
    EXPECT_EQ(spy.frames[0].readCount, 512);

    // Byte 256 is compared alone in the second block; byte 257 is not compared.
    siren.Flash().Memory()[257] ^= 0xFF;
    EXPECT_EQ(VerifyFlash(job, link, port, 257, image.data()), 1);
    siren.Flash().Memory()[256] ^= 0x01;
    EXPECT_EQ(VerifyFlash(job, link, port, 257, image.data()), 0);
    EXPECT_TRUE(port.Saw("Error verifying! Check connections and try again. Location 256."));
}

TEST_F(LinkTest, VerifyReportsFirstDifferenceAndHidesPopup) {
    Connect();
    auto& popup = Popup();
    auto image = Pattern(1000);
    Program(image);
    image[300] ^= 0x10;
    image[700] ^= 0x10;
    EXPECT_EQ(VerifyFlash(job, link, port, 1000, image.data()), 0);
    EXPECT_EQ(port.Texts(),
              std::vector<std::string>{"Error verifying! Check connections and try again. Location 300."});
    EXPECT_EQ(job.flashStatusText, "");
    EXPECT_EQ(popup.calls.back(), "Hide");
    EXPECT_EQ(popup.steps, 1);
}

TEST_F(LinkTest, VerifyInSingleBlocksMatchesTheFrameSize) {
    Connect();
    Popup();
    auto image = Pattern(1024);
    Program(image);
    spy.frames.clear();
    link.verifyFrameBytes = 256;
    EXPECT_EQ(VerifyFlash(job, link, port, 1024, image.data()), 1);
    ASSERT_EQ(spy.frames.size(), 4u);
    EXPECT_EQ(spy.frames[3].Address(), 768u);
    EXPECT_EQ(spy.frames[3].readCount, 256);
}

TEST_F(LinkTest, VerifyStopsOnAbortAndCancel) {
    Connect();
    auto& popup = Popup();
    auto image = Pattern(600);
    job.abortFlag = 1;
    EXPECT_EQ(VerifyFlash(job, link, port, 600, image.data()), kStopped);
    EXPECT_TRUE(spy.frames.empty());
    job.abortFlag = 0;
    popup.cancelAtPump = 1;
    EXPECT_EQ(VerifyFlash(job, link, port, 600, image.data()), kStopped);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(LinkTest, UnreadableBlockStopsTheVerifyInsteadOfReportingADifference) {
    Connect();
    Popup();
    auto image = Pattern(2048);
    Program(image);
    siren.Faults().readErrorAt = {0x523};
    EXPECT_EQ(VerifyFlash(job, link, port, 2048, image.data()), kStopped);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_TRUE(port.messages.empty()) << port.messages.front().text;
}

TEST_F(LinkTest, TestWriteAndTestRead) {
    Connect();
    TestWrite(job, link, port);
    EXPECT_EQ(job.flashStatusText, "");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&siren.Flash().Memory()[0x200]), 5), "92365");
    EXPECT_EQ(spy.Count(0xD8) + spy.Count(0xC7), 0);  // no erase first

    job.testAddress = 0x1FE;
    TestRead(job, link, port);
    EXPECT_EQ(port.Texts(), std::vector<std::string>{"Reading bytes:\n 0x1fe = 0xff\n 0x1ff = 0xff\n 0x200 = 0x39\n"
                                                     " 0x201 = 0x32\n 0x202 = 0x33\n 0x203 = 0x36\n 0x204 = 0x35\n"
                                                     " 0x205 = 0xff\n 0x206 = 0xff\n 0x207 = 0xff\n"});
    EXPECT_EQ(job.flashStatusText, "");
}

TEST_F(LinkTest, TestReadShowsNothingWhenTheReadFails) {
    Connect();
    siren.Faults().readErrorAt = {0x10};
    job.testAddress = 0x10;
    TestRead(job, link, port);
    EXPECT_NE(link.lastStatus, 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(LinkTest, CloseFailureIsReported) {
    Connect();
    siren.Faults().unplugAfter = 0;
    CloseUsb(job, link, port);
    EXPECT_EQ(link.handle, 0u);
    EXPECT_EQ(job.usbStatusText, "Idle");
    EXPECT_EQ(port.Texts(), std::vector<std::string>{"Error closing device."});
}

TEST(LinkWithoutAdapter, RoutinesFailCleanly) {
    JobState job;
    SpiLink link;
    ScriptedUserPort port;
    uint8_t buffer[4];
    EXPECT_NE(ReadFlash(job, link, port, 0, buffer, 4), 0);
    EXPECT_FALSE(WaitWhileBusy(job, link, port));
    EXPECT_EQ(job.abortFlag, 1);
    CloseUsb(job, link, port);
    EXPECT_TRUE(port.messages.empty());
}

TEST(EraseChoice, BulkEraseOnlyWhereTheTypicalTimesSayItIsFaster) {
    const FlashChip* m25p16 = FlashChipForSignature(0x14);
    EXPECT_FALSE(BulkEraseIsFaster(m25p16, 21));  // 12.6 s of sectors against 13 s
    EXPECT_TRUE(BulkEraseIsFaster(m25p16, 22));
    EXPECT_FALSE(BulkEraseIsFaster(nullptr, 1000));
    EXPECT_FALSE(UseBulkErase(EraseMode::Sectors, 0x1FFFFF, 33));
    EXPECT_TRUE(UseBulkErase(EraseMode::Chip, 0x1FFFFF, 1));
    EXPECT_TRUE(UseBulkErase(EraseMode::Auto, 0x1FFFFF, 22));
    EXPECT_FALSE(UseBulkErase(EraseMode::Auto, 0x1FFFFF, 21));
    EXPECT_FALSE(UseBulkErase(EraseMode::Auto, 0, 33));         // not identified
    EXPECT_FALSE(UseBulkErase(EraseMode::Auto, 0x2FFFFF, 48));  // no such chip
}

TEST_F(LinkTest, BulkEraseProgressFollowsTheTypicalTimeAndEndsOnDone) {
    Connect();
    IdentifyFlash(job, link, port);
    siren.Flash().Memory()[0x123456] = 0;
    auto& popup = Popup();
    const auto t0 = siren.Elapsed();
    EXPECT_EQ(BulkErase(job, link, port, 33), 0);
    EXPECT_EQ(siren.Flash().bulkErases, 1);
    EXPECT_EQ(siren.Flash().Memory()[0x123456], 0xFF);
    EXPECT_LT(siren.Elapsed() - t0 - 13s, 5ms);
    EXPECT_EQ(popup.position, 33);
    EXPECT_EQ(popup.steps, 33);  // one move per position reached
    EXPECT_EQ(job.abortFlag, 0);

    // A chip that never finishes is given up on, with the message, short of the end.
    siren.Flash().SetStuckBusyAfter(0);
    auto& stuck = Popup();
    EXPECT_EQ(BulkErase(job, link, port, 33), kStopped);
    EXPECT_EQ(job.abortFlag, 1);
    EXPECT_EQ(stuck.position, 32);
    EXPECT_TRUE(port.Saw(Format(kMsgStillBusy, 400)));
}
