#pragma once
// A siren without hardware: the adapter operations answered by an emulated
// serial flash whose content is kept in a file between runs. It models the
// time a job would take through an FTDI adapter of a chosen type (SPI clocking,
// flash busy times, USB bytes and round trips) and can inject faults.
#include <chrono>
#include <cstdint>
#include <string>

#include "spi/SimulatedFlash.h"
#include "spi/SimulatorOptions.h"
#include "spi/SpiAdapter.h"
#include "spi/UsbTimeModel.h"

namespace zorvek {

struct SimulatorCounters {
    int64_t adapterCalls = 0;
    int64_t readingFrames = 0;               // each one a USB round trip on real hardware
    int64_t writeFrames = 0;                 // queued by a real adapter, no round trip
    int64_t bytesOut = 0;                    // clocked to the flash
    int64_t bytesIn = 0;                     // clocked from the flash
    int64_t idleBytes = 0;                   // clocked with chip select high, to pass time
    std::chrono::nanoseconds spiBitTime{0};  // bytes at the SPI clock while the flash is not busy
};

class SimulatedSiren : public SpiAdapter {
public:
    static constexpr int64_t kSpiClockHz = 6000000;

    // Loads the backing file when there is one (missing file: an erased flash).
    explicit SimulatedSiren(SimulatorOptions options = {});
    // Writes the content back when the siren is still open.
    ~SimulatedSiren() override;
    SimulatedSiren(const SimulatedSiren&) = delete;
    SimulatedSiren& operator=(const SimulatedSiren&) = delete;

    // Idle clocks pass their bit time; it stays out of `spiBitTime`, which counts
    // only bytes the flash needs, so the physical floor keeps meaning the same.
    // A batch is one round trip, as through a queueing adapter (the flash routines'
    // batches read less than an FT2232D holds); each frame counts as an adapter call,
    // so the unplug fault can cut a batch anywhere.
    ZORVEK_SPI_ADAPTER_OPERATIONS;
    // As the chosen FTDI chip makes it: up to 30 MHz on the H series, 6 MHz on the C/D;
    // every SPI byte after it is charged at the new clock.
    int32_t AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) override;
    int64_t SpiClockHz() const { return spiClockHz_; }
    bool IdleClocksAreFree() const override { return FtdiChipModelFor(usbChip_).clockOnlyCommand; }
    std::chrono::nanoseconds Elapsed() const override { return flash_.Now(); }
    std::string LastErrorDetail() const override { return lastErrorDetail_; }
    AdapterDiagnostics Diagnostics() const override;

    SimulatedFlash& Flash() { return flash_; }
    // With the sirens fault: the siren now in the socket (1-based), 0 while it is empty.
    int64_t SirenInSocket() const { return attached_ ? sirenNumber_ : 0; }
    SimulatorFaults& Faults() { return faults_; }
    const SimulatorCounters& Counters() const { return counters_; }
    // Modelled duration of everything so far: SPI bit time, USB time and waits.
    std::chrono::nanoseconds ModelledTime() const { return flash_.Now(); }
    // The USB side charged: the chip type, bytes each way and the time it added.
    const UsbTimeModel& Usb() const { return usb_; }
    bool IsOpen() const { return open_; }
    // Whether the adapter let go of every line when it was last closed (and has
    // not been opened since): the siren's controller then owns its flash.
    bool BusReleased() const { return busReleased_ && !open_; }
    const std::string& FilePath() const { return filePath_; }
    const std::string& Serial() const { return serial_; }
    // Problem met reading the backing file at start (empty when none).
    const std::string& LoadError() const { return loadError_; }

    // Writes the flash content to the backing file (atomically, synced); false
    // on failure, with SaveError() saying why.
    bool SaveToFile();
    const std::string& SaveError() const { return saveError_; }

private:
    static constexpr uint32_t kHandle = 0x5151;

    // Counts the call; false when the unplug fault makes it fail.
    bool Plugged();
    bool Usable(uint32_t handle);
    void Clock(int64_t bytes);
    std::chrono::nanoseconds BitTime(int64_t bytes) const;
    bool ReadHitsFault(const uint8_t* control, int32_t controlCount, int32_t readCount) const;
    void LoadFromFile();
    // The sirens fault: a fresh siren goes into the socket; a signature read may take
    // a written one out or, after a while, put the next one in.
    void InsertSiren();
    void SignatureRead(const uint8_t* control, int32_t controlCount);
    int64_t FlashWrites() const;
    // The slow fault: answers also take real time, so a person (or a test) can
    // interrupt a run while it is still going.
    void WaitInRealTime() const;
    void RoundTrip(int64_t answers) { flash_.AdvanceTime(usb_.RoundTrip(flash_.Now(), answers)); }

    SimulatedFlash flash_;
    SimulatorFaults faults_;
    std::string serial_;
    int32_t locationId_;  // bus 1, address = its number
    std::string filePath_;
    std::string deviceName_;
    std::string loadError_;
    std::string saveError_;
    std::string lastErrorDetail_;
    SimulatorCounters counters_;
    UsbTimeModel usb_;
    MpsseChip usbChip_;
    int64_t spiClockHz_ = kSpiClockHz;
    bool open_ = false;
    bool busReleased_ = true;  // nothing driven before the first open
    UpperPinSetup upperPins_ = kUpperPinsClosing;
    bool attached_ = true;
    int64_t sirenNumber_ = 0;
    int64_t writesAtInsert_ = 0;
    int64_t emptyReads_ = 0;
};

}  // namespace zorvek
