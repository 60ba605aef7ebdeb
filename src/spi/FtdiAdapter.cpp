#include "spi/FtdiAdapter.h"

#include <algorithm>
#include <cstdio>

#include "spi/Mpsse.h"

namespace zorvek {

using namespace mpsse;

namespace {

uint8_t LowIdleByte(const LowPinIdleStates& low) {
    uint8_t value = low.chipSelectHigh ? kChipSelectPin : 0;
    for (size_t i = 0; i < 4; ++i)
        if (low.lineHigh[i]) value |= static_cast<uint8_t>(0x10u << i);
    return value;  // clock and data out idle low: SPI mode 0
}

}  // namespace

FtdiAdapter::FtdiAdapter(std::unique_ptr<UsbTransport> transport) : transport_(std::move(transport)) {}

FtdiAdapter::~FtdiAdapter() {
    if (open_) {
        Flush();
        transport_->Close();
    }
}

std::string FtdiAdapter::DeviceName(const UsbDeviceInfo& device) {
    std::string name = device.description.empty() ? ChipName(ChipFromBcdDevice(device.bcdDevice)) : device.description;
    if (!device.serial.empty()) name += " " + device.serial;
    if (name.size() >= static_cast<size_t>(kDeviceNameSize)) name.resize(kDeviceNameSize - 1);
    return name;
}

bool FtdiAdapter::Enumerate() {
    if (!transport_->Enumerate(devices_)) return false;
    seenSerials_.clear();
    for (const auto& d : devices_) seenSerials_.push_back(d.serial);
    if (!serialFilter_.empty()) {
        std::erase_if(devices_, [&](const UsbDeviceInfo& d) { return d.serial != serialFilter_; });
    } else if (std::any_of(devices_.begin(), devices_.end(), IsSupportedAdapter)) {
        // Unsupported chips stay only when they are all there is, so opening says why.
        std::erase_if(devices_, [](const UsbDeviceInfo& d) { return !IsSupportedAdapter(d); });
    }
    return true;
}

int32_t FtdiAdapter::AdapterCountDevices(int32_t& count) {
    count = 0;
    if (!Enumerate()) {
        devices_.clear();
        return kAdapterIoError;
    }
    count = static_cast<int32_t>(devices_.size());
    return kAdapterOk;
}

int32_t FtdiAdapter::AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) {
    if (index < 0 || static_cast<size_t>(index) >= devices_.size()) return kAdapterNotFound;
    const UsbDeviceInfo& device = devices_[static_cast<size_t>(index)];
    name = DeviceName(device);
    locationId = LocationId(device);
    return device.accessDenied ? kAdapterAccessDenied : kAdapterOk;
}

bool FtdiAdapter::Synchronise() {
    // A bad command makes the engine answer 0xFA and the command: proof that it is
    // in MPSSE mode. Bytes before the echo are leftovers of an earlier session
    // (one killed in the middle of a read) and are dropped.
    queue_.assign({kSyncProbe, kSendImmediate});
    if (Flush() != kAdapterOk) return false;
    const auto deadline = transport_->Now() + kSyncDeadline;
    bool afterReply = false;
    uint8_t byte = 0;
    for (;;) {
        const int n = transport_->Read(&byte, 1);
        if (n < 0) return false;
        if (n == 1) {
            if (afterReply && byte == kSyncProbe) return true;
            afterReply = byte == kBadCommandReply;
        }
        if (transport_->Now() > deadline) return false;
    }
}

int32_t FtdiAdapter::AdapterOpen(const std::string&, int32_t locationId, uint32_t& handle) {
    lastErrorDetail_.clear();
    if (open_) {
        // Set up again without closing first (Setup USB twice): start a fresh session
        // rather than leave the device open behind a handle nobody holds.
        Flush();
        transport_->Close();
        open_ = false;
    }
    auto match = [&] {
        return std::find_if(devices_.begin(), devices_.end(),
                            [&](const UsbDeviceInfo& d) { return LocationId(d) == locationId; });
    };
    auto device = match();
    if (device == devices_.end()) {
        Enumerate();
        device = match();
        if (device == devices_.end()) return kAdapterNotFound;
    }
    if (serialFilter_.empty() && devices_.size() > 1) {
        std::vector<AdapterListing> listed;
        for (const auto& d : devices_) listed.push_back(ListingFor(d));
        lastErrorDetail_ = PickAdapter(listed, std::nullopt).message;
        return kAdapterNotOpened;
    }
    if (!IsSupportedAdapter(*device)) {
        lastErrorDetail_ = kFt4232hUnsupported;
        return kAdapterNotOpened;
    }
    if (const int result = transport_->Open(*device); result != 0) {
        const OpenFailure failure = ClassifyOpenFailure({result, transport_->LibusbResult(), device->accessDenied,
                                                         transport_->ErrorText(), device->bus, device->address});
        lastErrorDetail_ = failure.message;
        return AdapterStatusFor(failure.kind);
    }
    chip_ = ChipFromBcdDevice(device->bcdDevice);
    model_ = &FtdiChipModelFor(chip_);
    queue_.clear();
    broken_ = false;
    // The purge comes after the mode switch: bytes the old mode still had queued
    // would otherwise reach the synchronisation read.
    bool ready = transport_->Reset() && transport_->SetLatencyTimer(kLatencyTimerMs) &&
                 transport_->SetBitMode(0, kBitModeReset) && transport_->SetBitMode(0, kBitModeMpsse) &&
                 transport_->Purge() && Synchronise();
    if (!ready) {
        lastErrorDetail_ = "The adapter did not answer in MPSSE mode.";
        transport_->Close();
        queue_.clear();
        return kAdapterNotOpened;
    }
    open_ = true;
    handle = kHandle;
    return kAdapterOk;
}

int32_t FtdiAdapter::AdapterClose(uint32_t handle) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    // Let go of the bus (AN_108: Set Data Bits value, direction): every line an
    // input, then out of MPSSE, so the siren's controller owns its flash once it runs.
    queue_.insert(queue_.end(), {kSetLowByte, 0x00, 0x00, kSetHighByte, 0x00, 0x00});
    int32_t status = Flush();
    if (!broken_) transport_->SetBitMode(0x00, kBitModeReset);
    transport_->Close();
    open_ = false;
    return status;
}

int32_t FtdiAdapter::AdapterInitSpi(uint32_t handle, int32_t clockDivisor) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    if (ClockFrequencyForDivisor(clockDivisor) == 0) return kAdapterInvalidParameter;
    // 12 MHz base clock on every chip: the H series divide their 60 MHz by 5. They
    // also get three-phase and adaptive clocking off rather than trusting the reset
    // state; the C/D would answer these as bad commands.
    if (IsHighSpeedChip(chip_)) queue_.insert(queue_.end(), {kDivideBy5On, kThreePhaseOff, kAdaptiveClockingOff});
    queue_.insert(queue_.end(), {kLoopbackOff, kClockDivisor, static_cast<uint8_t>(clockDivisor & 0xFF),
                                 static_cast<uint8_t>(clockDivisor >> 8)});
    QueueLowByte(false);
    return QueueCommands();
}

int32_t FtdiAdapter::AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) {
    hz = 0;
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    if (wantedHz <= 0) return kAdapterInvalidParameter;
    // The H series run their MPSSE from 60 MHz with divide-by-5 off (up to 30 MHz);
    // at 6 MHz and below they keep the 12 MHz base every chip has.
    const bool fast = IsHighSpeedChip(chip_) && wantedHz > kBaseClockHz / 2;
    const int64_t base = fast ? kHighSpeedBaseClockHz : kBaseClockHz;
    const int32_t divisor = DivisorForClock(base, wantedHz);
    if (IsHighSpeedChip(chip_)) queue_.push_back(fast ? kDivideBy5Off : kDivideBy5On);
    queue_.insert(queue_.end(),
                  {kClockDivisor, static_cast<uint8_t>(divisor & 0xFF), static_cast<uint8_t>(divisor >> 8)});
    const int32_t status = QueueCommands();
    if (status == kAdapterOk) hz = static_cast<int32_t>(base / 2 / (1 + divisor));
    return status;
}

int32_t FtdiAdapter::AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) {
    hz = ClockFrequencyForDivisor(clockDivisor);
    return hz > 0 ? kAdapterOk : kAdapterInvalidParameter;
}

void FtdiAdapter::QueueLowByte(bool selected) {
    uint8_t value = selected ? static_cast<uint8_t>(lowIdle_ & ~kChipSelectPin) : lowIdle_;
    queue_.insert(queue_.end(), {kSetLowByte, value, kLowDirection});
}

int32_t FtdiAdapter::AdapterSetPins(uint32_t handle, const LowPinIdleStates& low, const UpperPinSetup& upper) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    lowIdle_ = LowIdleByte(low);
    highValue_ = 0;
    highDirection_ = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (upper.lines[i].output) highDirection_ |= static_cast<uint8_t>(1u << i);
        if (upper.lines[i].high) highValue_ |= static_cast<uint8_t>(1u << i);
    }
    QueueLowByte(false);
    queue_.insert(queue_.end(), {kSetHighByte, highValue_, highDirection_});
    return QueueCommands();
}

int32_t FtdiAdapter::AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    queue_.insert(queue_.end(), {kReadHighByte, kSendImmediate});
    uint8_t pins = 0;
    int32_t received = 0;
    int32_t status = FlushAndRead(&pins, 1, received);
    if (status != kAdapterOk) return status;
    for (size_t i = 0; i < 4; ++i) levels.high[i] = (pins >> i) & 1;
    return kAdapterOk;
}

void FtdiAdapter::QueueBytesOut(const uint8_t* data, int32_t count) {
    while (count > 0) {
        int32_t n = std::min(count, kMaxBytesPerCommand);
        queue_.insert(queue_.end(),
                      {kBytesOutFallingEdge, static_cast<uint8_t>((n - 1) & 0xFF), static_cast<uint8_t>((n - 1) >> 8)});
        queue_.insert(queue_.end(), data, data + n);
        data += n;
        count -= n;
    }
}

int32_t FtdiAdapter::AdapterWrite(uint32_t handle, const WriteFrame& frame) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    if (!IsSupportedWriteFrame(frame)) return kAdapterInvalidParameter;
    QueueLowByte(true);
    QueueBytesOut(frame.control, frame.controlByteCount);
    if (frame.dataFlag) QueueBytesOut(frame.data, frame.dataByteCount);
    QueueLowByte(false);
    return QueueCommands();
}

bool FtdiAdapter::IdleClocksAreFree() const {
    return open_ && model_ && model_->clockOnlyCommand && (lowIdle_ & kChipSelectPin);
}

void FtdiAdapter::QueueIdle(int32_t byteCount) {
    // Pins set up with chip select low between frames: the bytes would reach the flash.
    if (!(lowIdle_ & kChipSelectPin)) return;
    // Every frame ends with chip select high, so these clocks reach no chip. The H
    // series clock without data (3 bytes over USB instead of the whole pause); the C/D
    // have no such command and clock out zero bytes.
    const bool clockOnly = model_->clockOnlyCommand;
    for (int32_t left = byteCount; left > 0; left -= kMaxBytesPerCommand) {
        int32_t n = std::min(left, kMaxBytesPerCommand);
        queue_.insert(queue_.end(), {clockOnly ? kClockBytesNoData : kBytesOutFallingEdge,
                                     static_cast<uint8_t>((n - 1) & 0xFF), static_cast<uint8_t>((n - 1) >> 8)});
        if (!clockOnly) queue_.insert(queue_.end(), static_cast<size_t>(n), uint8_t{0});
    }
}

void FtdiAdapter::QueueBytesIn(int32_t count) {
    for (int32_t left = count; left > 0; left -= kMaxBytesPerCommand) {
        int32_t n = std::min(left, kMaxBytesPerCommand);
        queue_.insert(queue_.end(),
                      {kBytesInRisingEdge, static_cast<uint8_t>((n - 1) & 0xFF), static_cast<uint8_t>((n - 1) >> 8)});
    }
}

int32_t FtdiAdapter::AdapterIdleClocks(uint32_t handle, int32_t byteCount) {
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    if (byteCount < 0) return kAdapterInvalidParameter;
    QueueIdle(byteCount);
    return QueueCommands();
}

int32_t FtdiAdapter::AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                                  int32_t& received) {
    received = 0;
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    for (size_t i = 0; i < count; ++i)
        if (!IsSupportedBatchFrame(frames[i])) return kAdapterInvalidParameter;
    int32_t pending = 0;  // bytes asked for and not yet collected
    auto collect = [&] {
        queue_.push_back(kSendImmediate);
        int32_t got = 0;
        const int32_t status = FlushAndRead(receive + received, pending, got);
        received += got;
        pending = 0;
        return status;
    };
    for (size_t i = 0; i < count; ++i) {
        const BatchFrame& f = frames[i];
        if (pending > 0 && pending + f.readCount > BatchReadLimit()) {
            if (int32_t status = collect(); status != kAdapterOk) return status;
        }
        if (f.idleBytes > 0) {
            QueueIdle(f.idleBytes);
        } else {
            QueueLowByte(true);
            QueueBytesOut(f.control, f.controlCount);
            QueueBytesOut(f.data, f.dataCount);
            QueueBytesIn(f.readCount);
            QueueLowByte(false);
            pending += f.readCount;
        }
        // Nothing more is written while a full share waits in the chip.
        if (pending >= BatchReadLimit()) {
            if (int32_t status = collect(); status != kAdapterOk) return status;
        }
        // Long queues go out early; what they read waits in the chip (within the limit).
        if (int32_t status = QueueCommands(); status != kAdapterOk) return status;
    }
    return pending > 0 ? collect() : kAdapterOk;
}

int32_t FtdiAdapter::AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) {
    bytesReturned = 0;
    if (!IsOpen(handle)) return kAdapterInvalidHandle;
    if (broken_) return kAdapterIoError;
    if (!IsSupportedReadFrame(frame)) return kAdapterInvalidParameter;
    const int32_t count = frame.readBitCount / 8;
    QueueLowByte(true);
    QueueBytesOut(frame.control, frame.controlByteCount);
    QueueBytesIn(count);
    QueueLowByte(false);
    queue_.push_back(kSendImmediate);
    return FlushAndRead(frame.receive, count, bytesReturned);
}

int32_t FtdiAdapter::QueueCommands() {
    return queue_.size() >= kQueueLimit ? Flush() : kAdapterOk;
}

int32_t FtdiAdapter::Broken() {
    broken_ = true;
    queue_.clear();
    lastErrorDetail_ = "The USB transfer to the adapter failed; it is not used again until it is opened again.";
    return kAdapterIoError;
}

int32_t FtdiAdapter::Flush() {
    if (broken_) {
        queue_.clear();
        return kAdapterIoError;
    }
    if (queue_.empty()) return kAdapterOk;
    int size = static_cast<int>(queue_.size());
    int written = transport_->Write(queue_.data(), size);
    queue_.clear();
    return written == size ? kAdapterOk : Broken();
}

int32_t FtdiAdapter::FlushAndRead(uint8_t* buffer, int32_t count, int32_t& received) {
    received = 0;
    int32_t status = Flush();
    if (status != kAdapterOk) return status;
    // The chip delivers what it has; a slow cable or a stalled adapter must
    // not hang the program, so the loop has a deadline.
    const auto deadline = transport_->Now() + std::chrono::milliseconds(1000) +
                          std::chrono::microseconds(2) * static_cast<int64_t>(count);
    while (received < count) {
        int n = transport_->Read(buffer + received, count - received);
        if (n < 0) return Broken();
        received += n;
        if (received < count && transport_->Now() > deadline) {
            // Late bytes would answer the next frame: drop them.
            transport_->Purge();
            return kAdapterTimeout;
        }
    }
    return kAdapterOk;
}

}  // namespace zorvek
