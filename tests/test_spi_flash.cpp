// The flash driver's own results, below the routines that word them: what each
// failure carries (address, limit, status) and how it reads.
#include <gtest/gtest.h>

#include "ScriptedUserPort.h"
#include "SpyAdapter.h"
#include "job/Result.h"
#include "spi/AdapterLifecycle.h"
#include "spi/SimulatedSiren.h"
#include "spi/SpiFlash.h"

using namespace zorvek;
using namespace zorvek::test;

namespace {

struct Driver {
    explicit Driver(MpsseChip usb = MpsseChip::Ft2232C) : siren(Options(usb)) {
        opening = OpenAdapter(siren);
        chip = FlashChipForCapacity(siren.Flash().Size());
    }
    SpiFlash Flash(ProgressPort* progress = nullptr) { return SpiFlash(siren, opening.handle, chip, progress); }
    static SimulatorOptions Options(MpsseChip usb) {
        SimulatorOptions options;
        options.usbChip = usb;
        return options;
    }

    SimulatedSiren siren;
    AdapterOpening opening;
    const FlashChip* chip = nullptr;
};

TEST(SpiFlashResults, EachFailureCarriesWhereAndWhy) {
    Driver d;
    ASSERT_TRUE(d.opening.Opened());
    const uint8_t page[4] = {1, 2, 3, 4};

    Result r = d.Flash().PageProgram(0x1FE, page, 4);
    EXPECT_EQ(r.fault, Fault::PageCrossing);
    EXPECT_EQ(r.address, 0x1FEu);
    EXPECT_EQ(r.value, 4);
    EXPECT_EQ(d.Flash().PageProgram(0, page, 0).fault, Fault::InvalidArgument);
    EXPECT_EQ(d.Flash().Read(0, nullptr, 4).fault, Fault::InvalidArgument);

    // The read-back names the first byte that differs.
    ASSERT_TRUE(d.Flash().PageProgram(0x100, page, 4));
    std::vector<uint8_t> expected(0x200, kErasedByte);
    std::copy(page, page + 4, expected.begin() + 0x100);
    EXPECT_TRUE(d.Flash().Verify(expected.data(), expected.size(), 0x10000));
    expected[0x102] = 0x55;
    r = d.Flash().Verify(expected.data(), expected.size(), 0x10000);
    EXPECT_EQ(r.fault, Fault::Mismatch);
    EXPECT_EQ(r.address, 0x102u);

    // A flash that never ends its erase gives up at the chip's limit, not before.
    d.siren.Flash().SetStuckBusyAfter(0);
    r = d.Flash().EraseSectors(0, 1);
    EXPECT_EQ(r.fault, Fault::StillBusy);
    EXPECT_EQ(r.value, BusyLimit(d.chip, BusyKind::SectorErase).count());

    // A link that stopped answering: the adapter's status, wherever it failed.
    d.siren.Faults().unplugAfter = 0;
    r = d.Flash().Read(0, expected.data(), 16);
    EXPECT_EQ(r.fault, Fault::Adapter);
    EXPECT_NE(r.status, kAdapterOk);
}

TEST(SpiFlashResults, CancelIsSeenBetweenBatchesAndReportedAsSuch) {
    Driver d;
    auto log = std::make_shared<ProgressLog>();
    log->cancelAtStep = 40;  // pressed while the second batch is being proven
    ScriptedProgress progress(log);
    std::vector<uint8_t> data(3 * kPagesPerBatch * kFlashPageSize, 0x5A);
    const Result r = d.Flash(&progress).ProgramPages(0, data.data(), data.size());
    EXPECT_EQ(r.fault, Fault::Cancelled);
    EXPECT_EQ(d.siren.Flash().pagePrograms, 2 * kPagesPerBatch);  // the third batch never went out
}

TEST(SpiFlashResults, DescribeWordsEveryFault) {
    Result busy = Result::Failure(Fault::StillBusy);
    busy.value = 30000;
    EXPECT_EQ(Describe(busy), "the flash was still busy after 30 seconds");
    EXPECT_EQ(Describe(Result::AdapterFailure(kAdapterIoError, "cable")), "the adapter failed (status 4): cable");
    Result differs = Result::Failure(Fault::Mismatch);
    differs.address = 0x2100;
    EXPECT_EQ(Describe(differs), "read-back differs at 0x002100");
    EXPECT_EQ(Describe(Result::Failure(Fault::File, "cannot read x")), "cannot read x");
    EXPECT_EQ(Describe(Result::Failure(Fault::WriteProtected)), "the flash is write-protected");
    EXPECT_EQ(Describe(Result::Ok()), "ok");
}

}  // namespace

// An erase takes hundreds of milliseconds: a high-speed adapter, which could ask every
// microframe, asks about once a millisecond, with the pause in the poll's own write;
// a full-speed one, whose pause would cost USB bytes, polls as before.
TEST(SpiFlashResults, EraseWaitsPollAboutOnceAMillisecond) {
    for (MpsseChip usb : {MpsseChip::Ft2232H, MpsseChip::Ft2232C}) {
        SCOPED_TRACE(ChipName(usb));
        Driver d(usb);
        SpyAdapter spy(d.siren);
        const auto start = d.siren.Elapsed();
        ASSERT_TRUE(SpiFlash(spy, d.opening.handle, d.chip).EraseSectors(0, 1));
        const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(d.siren.Elapsed() - start);
        EXPECT_GE(spent, d.chip->sectorEraseTypical);
        if (usb == MpsseChip::Ft2232H) {
            EXPECT_LE(spy.Count(kCmdReadStatus), spent.count() + 2);
            EXPECT_LT(spent, d.chip->sectorEraseTypical + std::chrono::milliseconds(3));
        } else {
            EXPECT_TRUE(spy.idleClocks.empty());
        }
    }
}
