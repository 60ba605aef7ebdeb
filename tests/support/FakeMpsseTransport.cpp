#include "FakeMpsseTransport.h"

#include "spi/Mpsse.h"
#include "spi/SpiAdapter.h"

namespace zorvek::test {

using namespace mpsse;

FakeMpsseTransport::FakeMpsseTransport(uint16_t bcdDevice, uint32_t flashSize)
    : flash(flashSize), chip(ChipFromBcdDevice(bcdDevice)) {
    devices.push_back({1, 7, kFt2232ProductId, bcdDevice, "Dual RS232", "FT0001", false});
}

bool FakeMpsseTransport::Enumerate(std::vector<UsbDeviceInfo>& out) {
    out = devices;
    return true;
}

int FakeMpsseTransport::Open(const UsbDeviceInfo&) {
    if (openResult != 0) return openResult;
    open = true;
    mpsse = false;
    return 0;
}

bool FakeMpsseTransport::Reset() {
    ++resets;
    return open;
}

bool FakeMpsseTransport::Purge() {
    ++purges;
    if (mpsse) ++purgesInMpsse;
    answers_.assign(staleAfterPurge.begin(), staleAfterPurge.end());
    staleAfterPurge.clear();
    return open;
}

bool FakeMpsseTransport::SetLatencyTimer(uint8_t ms) {
    latencyMs = ms;
    return open;
}

bool FakeMpsseTransport::SetBitMode(uint8_t, uint8_t mode) {
    bitModes.push_back(mode);
    mpsse = mode == kBitModeMpsse;
    if (mpsse) answers_.insert(answers_.end(), staleAtModeSwitch.begin(), staleAtModeSwitch.end());
    return open;
}

int64_t FakeMpsseTransport::SpiClockHz() const {
    int64_t base = IsHighSpeedChip(chip) && !divideBy5 ? 60000000 : 12000000;
    return base / ((1 + divisor) * 2);
}

std::vector<uint8_t> FakeMpsseTransport::AllWritten() const {
    std::vector<uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
}

void FakeMpsseTransport::ClockBytes(int64_t count) {
    clockedInFrame_ += static_cast<int>(count);
    int64_t hz = SpiClockHz();
    if (hz > 0) flash.AdvanceTime(std::chrono::nanoseconds(count * 8 * 1000000000 / hz));
}

int FakeMpsseTransport::Write(const uint8_t* data, int size) {
    ++writeCalls;
    if (!open || failWrites || (failWriteAfter >= 0 && writeCalls > failWriteAfter)) return -1;
    writes.emplace_back(data, data + size);
    size_t answersBefore = answers_.size();
    if (mpsse) {
        pending_.insert(pending_.end(), data, data + size);
        Decode();
    }
    if (answers_.size() > answersBefore) ++roundTrips;
    return size;
}

int FakeMpsseTransport::Read(uint8_t* data, int size) {
    ++readCalls;
    // Each poll of the host waits for the next USB frame.
    flash.AdvanceTime(std::chrono::milliseconds(1));
    if (!open || (failReadAfter >= 0 && readCalls > failReadAfter)) return -1;
    if (stalled || (emptyReadEvery2nd && readCalls % 2 == 0)) return 0;
    int n = 0;
    while (n < size && n < maxBytesPerRead && !answers_.empty()) {
        data[n++] = answers_.front();
        answers_.pop_front();
    }
    return n;
}

void FakeMpsseTransport::SetLow(uint8_t value, uint8_t direction) {
    bool nowSelected = (direction & kChipSelectPin) && !(value & kChipSelectPin);
    if (nowSelected && !selected) {
        flash.Select();
        clockedInFrame_ = 0;
    } else if (!nowSelected && selected) {
        flash.Deselect();
        selectedFrames.push_back(clockedInFrame_);
    }
    selected = nowSelected;
    lowValue = value;
    lowDirection = direction;
}

void FakeMpsseTransport::Decode() {
    size_t i = 0;
    auto need = [&](size_t n) { return i + n <= pending_.size(); };
    while (i < pending_.size()) {
        uint8_t op = pending_[i];
        size_t start = i;
        switch (op) {
            case kSetLowByte:
            case kSetHighByte:
                if (!need(3)) goto partial;
                if (op == kSetLowByte) {
                    SetLow(pending_[i + 1], pending_[i + 2]);
                } else {
                    highValue = pending_[i + 1];
                    highDirection = pending_[i + 2];
                }
                i += 3;
                break;
            case kReadLowByte:
                answers_.push_back(lowValue);
                ++i;
                break;
            case kReadHighByte:
                answers_.push_back(highValue);
                ++i;
                break;
            case kClockDivisor:
                if (!need(3)) goto partial;
                divisor = static_cast<uint16_t>(pending_[i + 1] | (pending_[i + 2] << 8));
                i += 3;
                break;
            case kLoopbackOn:
            case kLoopbackOff:
                loopback = op == kLoopbackOn;
                ++i;
                break;
            case kSendImmediate:
                ++i;
                break;
            case kBytesOutFallingEdge:
            case kBytesInOutFallingRising: {
                if (!need(3)) goto partial;
                size_t n = static_cast<size_t>(pending_[i + 1] | (pending_[i + 2] << 8)) + 1;
                if (!need(3 + n)) goto partial;
                const uint8_t* bytes = pending_.data() + i + 3;
                for (size_t k = 0; k < n; ++k) {
                    uint8_t in = selected ? flash.Exchange(bytes[k]) : 0xFF;
                    if (op == kBytesInOutFallingRising) answers_.push_back(in);
                }
                ClockBytes(static_cast<int64_t>(n));
                i += 3 + n;
                break;
            }
            case kBytesInRisingEdge: {
                if (!need(3)) goto partial;
                size_t n = static_cast<size_t>(pending_[i + 1] | (pending_[i + 2] << 8)) + 1;
                std::vector<uint8_t> in(n, 0xFF);
                if (selected) flash.ReadBytes(in.data(), n);
                answers_.insert(answers_.end(), in.begin(), in.end());
                ClockBytes(static_cast<int64_t>(n));
                i += 3;
                break;
            }
            case kDivideBy5Off:
            case kDivideBy5On:
            case kThreePhaseOn:
            case kThreePhaseOff:
            case kAdaptiveClockingOn:
            case kAdaptiveClockingOff:
                if (IsHighSpeedChip(chip)) {
                    if (op == kDivideBy5On || op == kDivideBy5Off) divideBy5 = op == kDivideBy5On;
                    if (op == kThreePhaseOn || op == kThreePhaseOff) threePhase = op == kThreePhaseOn;
                    if (op == kAdaptiveClockingOn || op == kAdaptiveClockingOff) adaptive = op == kAdaptiveClockingOn;
                    ++i;
                    break;
                }
                [[fallthrough]];
            default:
                badCommands.push_back(op);
                answers_.push_back(kBadCommandReply);
                answers_.push_back(op);
                ++i;
                break;
        }
        continue;
    partial:
        i = start;
        break;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace zorvek::test
