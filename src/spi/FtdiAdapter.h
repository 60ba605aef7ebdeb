#pragma once
// The adapter operations on an FTDI FT2232C/D/H or FT232H in MPSSE mode (an FT4232H
// is listed but refused: it has no upper GPIO byte for the siren's connect line).
// Write-only frames are queued and reach USB with the next frame that reads (or
// on close), so only reading frames cost a USB round trip.
#include <memory>
#include <string>
#include <vector>

#include "spi/AdapterListing.h"
#include "spi/FtdiChipModel.h"
#include "spi/OpenFailure.h"
#include "spi/SpiAdapter.h"
#include "spi/UsbTransport.h"

namespace zorvek {

class FtdiAdapter : public SpiAdapter {
public:
    // Queued bytes beyond this are written at once (still without a round trip).
    static constexpr size_t kQueueLimit = 0x10000;
    static constexpr uint8_t kLatencyTimerMs = 2;
    // How long the engine may take to echo the synchronisation probe.
    static constexpr std::chrono::milliseconds kSyncDeadline{500};
    // Bytes a batch may read per USB round trip: half the chip's buffer towards the host
    // (64 on an FT2232C/D, 2048 on an FT2232H). The chip holds what the batch reads
    // until the host collects it, and the host collects only after the whole write: an
    // answer that finds the buffer full stops the engine, the engine stops taking the
    // write, and the write times out. Sizing the batch keeps the answers inside the
    // buffer by construction; a read kept pending during the write (libftdi's
    // asynchronous transfers) would also drain it, but then every write depends on
    // how soon the host's USB stack serves that read. Batches that read more are sent
    // in several round trips.
    int32_t BatchReadLimit() const { return model_->rxBufferBytes / 2; }

    explicit FtdiAdapter(std::unique_ptr<UsbTransport> transport);
    ~FtdiAdapter() override;
    FtdiAdapter(const FtdiAdapter&) = delete;
    FtdiAdapter& operator=(const FtdiAdapter&) = delete;

    // Idle clocks are queued like a write-only frame: no round trip.
    ZORVEK_SPI_ADAPTER_OPERATIONS;
    int32_t AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) override;
    bool IdleClocksAreFree() const override;
    std::chrono::nanoseconds Elapsed() const override { return transport_->Now(); }
    std::string LastErrorDetail() const override { return lastErrorDetail_; }
    AdapterDiagnostics Diagnostics() const override;

    // Only adapters with this USB serial number are reported. Without one, only
    // supported chips are, and with several of them none is opened: the person
    // must choose, never the order of enumeration.
    void SetSerialFilter(std::string serial) { serialFilter_ = std::move(serial); }
    // Serial numbers of every adapter the latest enumeration saw, before filtering.
    const std::vector<std::string>& SeenSerials() const { return seenSerials_; }

    size_t QueuedBytes() const { return queue_.size(); }
    MpsseChip Chip() const { return chip_; }
    // The USB facts of the chip opened last (the FT2232D's before any open).
    const FtdiChipModel& Model() const { return *model_; }

    static int32_t LocationId(const UsbDeviceInfo& device) { return (device.bus << 8) | device.address; }
    static std::string DeviceName(const UsbDeviceInfo& device);

private:
    static constexpr uint32_t kHandle = 1;

    bool IsOpen(uint32_t handle) const { return open_ && handle == kHandle; }
    void QueueLowByte(bool selected);
    void QueueBytesOut(const uint8_t* data, int32_t count);
    void QueueBytesIn(int32_t count);
    void QueueIdle(int32_t byteCount);
    int32_t QueueCommands();  // writes early when the queue is long
    int32_t Flush();
    // Flushes the queue (which must end in a read request) and collects `count` bytes.
    int32_t FlushAndRead(uint8_t* buffer, int32_t count, int32_t& received);
    bool Synchronise();
    bool Enumerate();
    // A failed transfer may leave a command half sent or answers in flight: the
    // engine's state is unknown, so nothing more is sent until it is opened again.
    int32_t Broken();

    std::unique_ptr<UsbTransport> transport_;
    std::vector<UsbDeviceInfo> devices_;
    std::vector<uint8_t> queue_;
    std::string serialFilter_;
    std::vector<std::string> seenSerials_;
    std::string lastErrorDetail_;
    bool open_ = false;
    bool broken_ = false;
    MpsseChip chip_ = MpsseChip::Unknown;
    const FtdiChipModel* model_ = &kFt2232dModel;
    uint8_t lowIdle_ = 0x58;  // chip select and low lines 1 and 3 high
    uint8_t highValue_ = 0;
    uint8_t highDirection_ = 0;
};

}  // namespace zorvek
