#include "MpsseEngine.h"

#include <algorithm>

#include "spi/Mpsse.h"

namespace zorvek::test {

using namespace mpsse;
using std::chrono::nanoseconds;

namespace {

constexpr uint8_t kStatus0 = 0x31, kStatus1 = 0x60;  // modem status before every IN packet

bool IsDataCommand(uint8_t op) {
    return op == kBytesOutFallingEdge || op == kBytesInOutFallingRising || op == kBytesInRisingEdge ||
           op == kClockBytesNoData;
}

}  // namespace

MpsseEngine::MpsseEngine(uint16_t bcdDevice, uint32_t flashSize)
    : model(FtdiChipModelFor(ChipFromBcdDevice(bcdDevice))), flash(flashSize), chip(ChipFromBcdDevice(bcdDevice)) {}

int64_t MpsseEngine::SpiClockHz() const {
    const int64_t base = IsHighSpeedChip(chip) && !divideBy5 ? 60000000 : 12000000;
    return base / ((1 + divisor) * 2);
}

void MpsseEngine::Clock(int64_t bytes) {
    clockedInFrame_ += static_cast<int>(bytes);
    const int64_t hz = SpiClockHz();
    flash.AdvanceTime(nanoseconds(bytes * 8 * 1000000000 / hz));
}

void MpsseEngine::SetLow(uint8_t value, uint8_t direction) {
    const bool nowSelected = (direction & kChipSelectPin) && !(value & kChipSelectPin);
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

bool MpsseEngine::Answer(uint8_t byte) {
    if (rx_.size() >= static_cast<size_t>(model.rxBufferBytes)) return false;
    rx_.push_back(byte);
    rxHighWater = std::max(rxHighWater, rx_.size());
    return true;
}

bool MpsseEngine::Step(int64_t maxBytes) {
    if (frozen) return false;
    if (!mpsse) {  // outside MPSSE mode the bytes leave on the serial line
        if (tx_.empty()) return false;
        tx_.clear();
        return true;
    }
    const bool rxFull = rx_.size() >= static_cast<size_t>(model.rxBufferBytes);
    auto stall = [&] {
        if (!stalled_) ++stalls;
        stalled_ = true;
        return false;
    };
    if (remaining_ > 0) {
        const uint8_t op = command_[0];
        int64_t n = 0;
        if (op == kClockBytesNoData) {
            n = std::min(remaining_, maxBytes);
        } else if (op == kBytesInRisingEdge) {
            if (rxFull) return stall();
            n = std::min(
                {remaining_, maxBytes, static_cast<int64_t>(model.rxBufferBytes) - static_cast<int64_t>(rx_.size())});
            for (int64_t k = 0; k < n; ++k) {
                uint8_t in = 0xFF;
                if (selected) flash.ReadBytes(&in, 1);
                Answer(in);
            }
        } else {
            if (tx_.empty()) return false;
            if (op == kBytesInOutFallingRising && rxFull) return stall();
            n = std::min({remaining_, maxBytes, static_cast<int64_t>(tx_.size())});
            if (op == kBytesInOutFallingRising)
                n = std::min(n, static_cast<int64_t>(model.rxBufferBytes) - static_cast<int64_t>(rx_.size()));
            for (int64_t k = 0; k < n; ++k) {
                const uint8_t out = tx_.front();
                tx_.pop_front();
                const uint8_t in = selected ? flash.Exchange(out) : 0xFF;
                if (op == kBytesInOutFallingRising) Answer(in);
            }
        }
        stalled_ = false;
        remaining_ -= n;
        Clock(n);
        if (remaining_ == 0) command_.clear();
        return true;
    }
    // A new command: its opcode and parameters must have arrived.
    if (tx_.empty()) return false;
    const uint8_t op = tx_.front();
    const bool high = IsHighSpeedChip(chip);
    size_t length = 1;
    int answers = 0;
    switch (op) {
        case kSetLowByte:
        case kSetHighByte:
        case kClockDivisor:
            length = 3;
            break;
        case kBytesOutFallingEdge:
        case kBytesInOutFallingRising:
        case kBytesInRisingEdge:
            length = 3;
            break;
        case kReadLowByte:
        case kReadHighByte:
            answers = 1;
            break;
        case kLoopbackOn:
        case kLoopbackOff:
        case kSendImmediate:
            break;
        case kClockBytesNoData:
        case kDivideBy5Off:
        case kDivideBy5On:
        case kThreePhaseOn:
        case kThreePhaseOff:
        case kAdaptiveClockingOn:
        case kAdaptiveClockingOff:
            if (high) {
                length = op == kClockBytesNoData ? 3 : 1;
                break;
            }
            [[fallthrough]];
        default:
            answers = 2;  // 0xFA and the command
            break;
    }
    if (tx_.size() < length) return false;
    if (rx_.size() + static_cast<size_t>(answers) > static_cast<size_t>(model.rxBufferBytes)) return stall();
    stalled_ = false;
    command_.assign(tx_.begin(), tx_.begin() + static_cast<std::ptrdiff_t>(length));
    tx_.erase(tx_.begin(), tx_.begin() + static_cast<std::ptrdiff_t>(length));
    const uint8_t a = length > 1 ? command_[1] : 0, b = length > 2 ? command_[2] : 0;
    if (answers == 2) {
        badCommands.push_back(op);
        Answer(kBadCommandReply);
        Answer(op);
    } else if (IsDataCommand(op)) {
        remaining_ = (a | (b << 8)) + 1;
        return true;  // command_ stays: the data follows
    } else {
        switch (op) {
            case kSetLowByte:
                SetLow(a, b);
                break;
            case kSetHighByte:
                highValue = a;
                highDirection = b;
                break;
            case kClockDivisor:
                divisor = static_cast<uint16_t>(a | (b << 8));
                break;
            case kReadLowByte:
                Answer(lowValue);
                break;
            case kReadHighByte:
                Answer(highValue);
                break;
            case kLoopbackOn:
            case kLoopbackOff:
                loopback = op == kLoopbackOn;
                break;
            case kSendImmediate:
                ++sendImmediates;
                flushMark_ = rx_.size();
                break;
            case kDivideBy5On:
            case kDivideBy5Off:
                divideBy5 = op == kDivideBy5On;
                break;
            case kThreePhaseOn:
            case kThreePhaseOff:
                threePhase = op == kThreePhaseOn;
                break;
            case kAdaptiveClockingOn:
            case kAdaptiveClockingOff:
                adaptive = op == kAdaptiveClockingOn;
                break;
            default:
                break;
        }
    }
    command_.clear();
    return true;
}

void MpsseEngine::RunUntil(nanoseconds until) {
    for (;;) {
        const nanoseconds left = until - Now();
        const int64_t hz = SpiClockHz();
        // Whole bytes that fit before `until`, at least one so the clock moves.
        const int64_t budget = std::max<int64_t>(1, left.count() * hz / 8 / 1000000000);
        if (left.count() <= 0) {
            // Only what takes no time: commands without clocks.
            if (remaining_ > 0 || !Step(0)) return;
            continue;
        }
        if (!Step(budget)) {
            flash.AdvanceTime(until - Now());
            return;
        }
    }
}

void MpsseEngine::Idle(nanoseconds duration) {
    RunUntil(Now() + duration);
}

bool MpsseEngine::PacketReady() const {
    return rx_.size() >= static_cast<size_t>(model.packetSize - 2) || flushMark_ > 0 ||
           Now() >= lastPacketAt_ + std::chrono::milliseconds(latencyMs);
}

int MpsseEngine::BulkOut(const uint8_t* data, int size, nanoseconds timeout, bool& timedOut) {
    timedOut = false;
    const nanoseconds deadline = Now() + timeout;
    RunUntil(Now() + model.transferGap);
    int sent = 0;
    while (sent < size) {
        const int packet = std::min(model.packetSize, size - sent);
        bool naked = false;
        while (tx_.size() + static_cast<size_t>(packet) > static_cast<size_t>(model.txBufferBytes)) {
            naked = true;
            if (Now() >= deadline) {
                ++naks;
                timedOut = true;
                return sent;
            }
            // The host retries the NAKed packet while the engine drains the buffer.
            RunUntil(std::min(deadline, Now() + model.UsbTime(model.packetSize)));
        }
        if (naked) ++naks;
        RunUntil(Now() + model.UsbTime(packet));
        tx_.insert(tx_.end(), data + sent, data + sent + packet);
        sent += packet;
    }
    RunUntil(Now());
    return sent;
}

int MpsseEngine::BulkIn(uint8_t* data, int size, nanoseconds timeout, bool& timedOut) {
    timedOut = false;
    const nanoseconds deadline = Now() + timeout;
    RunUntil(Now() + model.transferGap);
    int filled = 0;
    while (filled + 2 <= size) {
        while (!PacketReady()) {
            if (Now() >= deadline) {
                timedOut = filled == 0;
                return filled;
            }
            const nanoseconds timer = lastPacketAt_ + std::chrono::milliseconds(latencyMs);
            // The chip NAKs the IN tokens; the engine goes on meanwhile.
            RunUntil(std::min({deadline, timer, Now() + model.UsbTime(model.packetSize)}));
        }
        if (rx_.size() < static_cast<size_t>(model.packetSize - 2) && flushMark_ == 0) ++latencyPackets;
        const int n = static_cast<int>(
            std::min({rx_.size(), static_cast<size_t>(model.packetSize - 2), static_cast<size_t>(size - filled - 2)}));
        data[filled] = kStatus0;
        data[filled + 1] = kStatus1;
        std::copy_n(rx_.begin(), n, data + filled + 2);
        rx_.erase(rx_.begin(), rx_.begin() + n);
        flushMark_ -= std::min(flushMark_, static_cast<size_t>(n));
        filled += n + 2;
        RunUntil(Now() + model.UsbTime(n + 2));
        lastPacketAt_ = Now();
        if (n + 2 < model.packetSize) break;  // a short packet ends the transfer
    }
    return filled;
}

void MpsseEngine::PurgeRx() {
    rx_.clear();
    flushMark_ = 0;
}

void MpsseEngine::PurgeTx() {
    tx_.clear();
    command_.clear();
    remaining_ = 0;
}

void MpsseEngine::ResetSio() {
    PurgeRx();
    PurgeTx();
}

void MpsseEngine::SetBitMode(uint8_t mode) {
    mpsse = mode == kBitModeMpsse;
    command_.clear();
    remaining_ = 0;
}

void MpsseEngine::InjectAnswers(const std::vector<uint8_t>& bytes) {
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
}

}  // namespace zorvek::test
