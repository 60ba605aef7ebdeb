#include "spi/SimulatedSiren.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include "files/AtomicFile.h"
#include "job/FlashChips.h"
#include "job/FlashCommands.h"
#include "job/SafeFiles.h"

namespace zorvek {

SimulatedSiren::SimulatedSiren(SimulatorOptions options)
    : flash_(SimulatedChip(options.size, options.faults)),
      faults_(std::move(options.faults)),
      serial_(SimulatedSerial(options.number)),
      locationId_(0x0100 | (options.number & 0xFF)),
      filePath_(std::move(options.filePath)),
      deviceName_("Simulated Siren " + serial_),
      usb_(FtdiChipModelFor(options.faults.usbChip.value_or(options.usbChip)), kSpiClockHz),
      usbChip_(options.faults.usbChip.value_or(options.usbChip)) {
    if (faults_.signature) flash_.SetSignature(*faults_.signature);
    if (faults_.protect) flash_.SetStatusRegisters(*faults_.protect);
    flash_.SetWriteProtectPinLow(faults_.wpLow);
    for (const auto& [address, bit] : faults_.weakBits) flash_.AddWeakBit(address, bit);
    flash_.SetStuckBusyAfter(faults_.stuckBusyAfter);
    flash_.SetWallClock(options.wallClock);
    if (faults_.fill) std::fill(flash_.Memory().begin(), flash_.Memory().end(), *faults_.fill);
    LoadFromFile();
    if (faults_.sirens > 0) InsertSiren();
}

int64_t SimulatedSiren::FlashWrites() const {
    const SimulatedFlash& f = flash_;
    return f.pagePrograms + f.sectorErases + f.bulkErases;
}

void SimulatedSiren::InsertSiren() {
    ++sirenNumber_;
    std::fill(flash_.Memory().begin(), flash_.Memory().end(), kErasedByte);
    flash_.modified = true;
    flash_.ClearWeakBits();
    if (faults_.weakSiren == 0 || faults_.weakSiren == sirenNumber_)
        for (const auto& [address, bit] : faults_.weakBits) flash_.AddWeakBit(address, bit);
    writesAtInsert_ = FlashWrites();
    emptyReads_ = 0;
    attached_ = true;
}

void SimulatedSiren::SignatureRead(const uint8_t* control, int32_t controlCount) {
    if (faults_.sirens <= 0 || controlCount < 1 || control[0] != kCmdReadSignature) return;
    if (attached_) {
        if (FlashWrites() > writesAtInsert_) attached_ = false;  // taken out once written
    } else if (++emptyReads_ > kEmptySocketReads && sirenNumber_ < faults_.sirens) {
        InsertSiren();
    }
}

SimulatedSiren::~SimulatedSiren() {
    if (open_ && flash_.modified) SaveToFile();
}

void SimulatedSiren::LoadFromFile() {
    if (filePath_.empty()) return;
    auto& memory = flash_.Memory();
    std::error_code ec;
    if (!std::filesystem::exists(filePath_, ec)) return;  // no file yet: a new, erased siren
    // A FIFO or a device is no siren's flash; a longer file is one of a larger flash.
    std::vector<uint8_t> content;
    std::string error;
    if (!ReadRegularFile(filePath_, LargestFlashChip().capacity, content, &error)) {
        loadError_ = error;
        return;
    }
    // A shorter file (another size before) leaves the rest erased.
    std::copy_n(content.begin(), std::min(content.size(), memory.size()), memory.begin());
}

bool SimulatedSiren::SaveToFile() {
    if (filePath_.empty()) return true;
    std::error_code ec;
    const std::filesystem::path path(filePath_);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    const auto& memory = flash_.Memory();
    // Atomic and synced: a crash or a full disk leaves the previous flash, never half of this one.
    if (!ReplaceFileContent(filePath_, {reinterpret_cast<const char*>(memory.data()), memory.size()}, &saveError_))
        return false;
    saveError_.clear();
    flash_.modified = false;
    return true;
}

bool SimulatedSiren::Plugged() {
    ++counters_.adapterCalls;
    return faults_.unplugAfter < 0 || counters_.adapterCalls <= faults_.unplugAfter;
}

bool SimulatedSiren::Usable(uint32_t handle) {
    return Plugged() && open_ && handle == kHandle;
}

std::chrono::nanoseconds SimulatedSiren::BitTime(int64_t bytes) const {
    return std::chrono::nanoseconds(bytes * 8 * 1000000000 / spiClockHz_);
}

void SimulatedSiren::Clock(int64_t bytes) {
    auto bitTime = BitTime(bytes);
    // Status polls of a busy flash pass within its busy time: no part of the floor.
    if (!flash_.Busy()) counters_.spiBitTime += bitTime;
    flash_.AdvanceTime(bitTime);
}

void SimulatedSiren::WaitInRealTime() const {
    if (faults_.slowMicroseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(faults_.slowMicroseconds));
}

int32_t SimulatedSiren::AdapterCountDevices(int32_t& count) {
    count = 0;
    if (!Plugged()) return kAdapterIoError;
    count = faults_.noDevice ? 0 : 1;
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterDeviceInfo(int32_t index, std::string& name, int32_t& locationId) {
    if (!Plugged()) return kAdapterIoError;
    if (faults_.noDevice || index != 0) return kAdapterNotFound;
    name = deviceName_;
    locationId = locationId_;
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterOpen(const std::string& name, int32_t locationId, uint32_t& handle) {
    lastErrorDetail_.clear();
    if (!Plugged()) return kAdapterIoError;
    if (faults_.noDevice || locationId != locationId_ || name != deviceName_) return kAdapterNotFound;
    if (faults_.openFails) {
        lastErrorDetail_ = "The simulated siren was told to refuse opening (open-fails).";
        return kAdapterNotOpened;
    }
    open_ = true;
    busReleased_ = false;
    handle = kHandle;
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterClose(uint32_t handle) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    open_ = false;
    flash_.Deselect();
    // As the FTDI adapter does at close: every line an input, the bit mode reset.
    for (auto& line : upperPins_.lines) line.output = 0;
    busReleased_ = true;
    if (flash_.modified && !SaveToFile()) return kAdapterIoError;
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterInitSpi(uint32_t handle, int32_t clockDivisor) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    const int32_t hz = ClockFrequencyForDivisor(clockDivisor);
    if (hz <= 0) return kAdapterInvalidParameter;
    spiClockHz_ = hz;
    usb_.SetSpiClockHz(hz);
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterSetClock(uint32_t handle, int32_t wantedHz, int32_t& hz) {
    hz = 0;
    if (!Usable(handle)) return kAdapterInvalidHandle;
    if (wantedHz <= 0) return kAdapterInvalidParameter;
    const bool fast = IsHighSpeedChip(usbChip_) && wantedHz > MaxSpiClockHz(MpsseChip::Ft2232C);
    const int64_t base = fast ? 60000000 : 12000000;
    hz = static_cast<int32_t>(base / 2 / (1 + DivisorForClock(base, wantedHz)));
    spiClockHz_ = hz;
    usb_.SetSpiClockHz(hz);
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterClockFrequency(int32_t clockDivisor, int32_t& hz) {
    if (!Plugged()) return kAdapterIoError;
    hz = ClockFrequencyForDivisor(clockDivisor);
    return hz > 0 ? kAdapterOk : kAdapterInvalidParameter;
}

int32_t SimulatedSiren::AdapterSetPins(uint32_t handle, const LowPinIdleStates&, const UpperPinSetup& upper) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    upperPins_ = upper;
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterReadUpperPins(uint32_t handle, UpperPinLevels& levels) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    ++counters_.readingFrames;
    usb_.Command(1);
    RoundTrip(1);
    WaitInRealTime();
    for (size_t i = 0; i < 4; ++i) {
        const auto& line = upperPins_.lines[i];
        levels.high[i] = line.output ? line.high : 1;  // inputs float high
    }
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterWrite(uint32_t handle, const WriteFrame& frame) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    if (!IsSupportedWriteFrame(frame)) return kAdapterInvalidParameter;
    ++counters_.writeFrames;
    int64_t dataCount = frame.dataFlag ? frame.dataByteCount : 0;
    counters_.bytesOut += frame.controlByteCount + dataCount;
    usb_.Frame(frame.controlByteCount + dataCount, 0);
    Clock(frame.controlByteCount + dataCount);
    if (!attached_) return kAdapterOk;  // an empty socket: the bytes go nowhere
    flash_.Select();
    flash_.WriteBytes(frame.control, static_cast<size_t>(frame.controlByteCount));
    if (dataCount) flash_.WriteBytes(frame.data, static_cast<size_t>(dataCount));
    flash_.Deselect();
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterIdleClocks(uint32_t handle, int32_t byteCount) {
    if (!Usable(handle)) return kAdapterInvalidHandle;
    if (byteCount < 0) return kAdapterInvalidParameter;
    counters_.idleBytes += byteCount;
    usb_.Idle(byteCount);
    flash_.AdvanceTime(BitTime(byteCount));
    return kAdapterOk;
}

int32_t SimulatedSiren::AdapterBatch(uint32_t handle, const BatchFrame* frames, size_t count, uint8_t* receive,
                                     int32_t& received) {
    received = 0;
    if (!Usable(handle)) return kAdapterInvalidHandle;
    for (size_t i = 0; i < count; ++i)
        if (!IsSupportedBatchFrame(frames[i])) return kAdapterInvalidParameter;
    bool reads = false;
    int32_t status = kAdapterOk;
    for (size_t i = 0; i < count && status == kAdapterOk; ++i) {
        const BatchFrame& f = frames[i];
        // The first frame was counted with the batch call itself.
        if (i > 0 && !Plugged()) {
            status = kAdapterIoError;
            break;
        }
        if (f.idleBytes > 0) {
            counters_.idleBytes += f.idleBytes;
            usb_.Idle(f.idleBytes);
            flash_.AdvanceTime(BitTime(f.idleBytes));
            continue;
        }
        counters_.bytesOut += f.controlCount + f.dataCount;
        counters_.bytesIn += f.readCount;
        usb_.Frame(f.controlCount + f.dataCount, f.readCount);
        Clock(f.controlCount + f.dataCount + f.readCount);
        if (f.readCount > 0) {
            reads = true;
            WaitInRealTime();  // the slow fault holds back every answer, batched or not
            if (ReadHitsFault(f.control, f.controlCount, f.readCount)) status = kAdapterIoError;
        } else {
            ++counters_.writeFrames;
        }
        if (status != kAdapterOk) break;
        SignatureRead(f.control, f.controlCount);
        if (!attached_) {
            std::fill_n(receive + received, f.readCount, kErasedByte);
        } else {
            flash_.Select();
            flash_.WriteBytes(f.control, static_cast<size_t>(f.controlCount));
            if (f.dataCount > 0) flash_.WriteBytes(f.data, static_cast<size_t>(f.dataCount));
            if (f.readCount > 0) flash_.ReadBytes(receive + received, static_cast<size_t>(f.readCount));
            flash_.Deselect();
        }
        received += f.readCount;
    }
    if (reads || status != kAdapterOk) {
        // Answers, or the error, reach the host one round trip later.
        ++counters_.readingFrames;
        RoundTrip(received);
    }
    if (status != kAdapterOk) received = 0;
    return status;
}

bool SimulatedSiren::ReadHitsFault(const uint8_t* control, int32_t controlCount, int32_t readCount) const {
    if (faults_.readErrorAt.empty() || controlCount < 4 || control[0] != 0x03) return false;
    uint32_t mask = flash_.Size() - 1;
    uint32_t start = ((uint32_t{control[1]} << 16) | (uint32_t{control[2]} << 8) | control[3]) & mask;
    for (uint32_t fault : faults_.readErrorAt) {
        uint32_t offset = ((fault & mask) - start) & mask;  // distance forward, wrapping like the chip
        if (offset < static_cast<uint32_t>(readCount) || static_cast<uint32_t>(readCount) > mask) return true;
    }
    return false;
}

int32_t SimulatedSiren::AdapterRead(uint32_t handle, const ReadFrame& frame, int32_t& bytesReturned) {
    bytesReturned = 0;
    if (!Usable(handle)) return kAdapterInvalidHandle;
    if (!IsSupportedReadFrame(frame)) return kAdapterInvalidParameter;
    int32_t readCount = frame.readBitCount / 8;
    ++counters_.readingFrames;
    counters_.bytesOut += frame.controlByteCount;
    counters_.bytesIn += readCount;
    usb_.Frame(frame.controlByteCount, readCount);
    Clock(frame.controlByteCount + readCount);
    if (ReadHitsFault(frame.control, frame.controlByteCount, readCount)) {
        RoundTrip(0);
        return kAdapterIoError;
    }
    SignatureRead(frame.control, frame.controlByteCount);
    if (attached_) {
        flash_.Select();
        flash_.WriteBytes(frame.control, static_cast<size_t>(frame.controlByteCount));
        flash_.ReadBytes(frame.receive, static_cast<size_t>(readCount));
        flash_.Deselect();
    } else {
        std::fill_n(frame.receive, readCount, uint8_t{0xFF});  // nothing drives data in
    }
    // The answer reaches the host one round trip later.
    RoundTrip(readCount);
    WaitInRealTime();
    bytesReturned = readCount;
    return kAdapterOk;
}

}  // namespace zorvek
