#include "spi/UsbTimeModel.h"

#include <algorithm>

#include "spi/Mpsse.h"

namespace zorvek {

namespace {

constexpr int64_t kChipSelectCommand = 3;  // 0x80 value direction
constexpr int64_t kHeader = 3;             // opcode and length of a data command

int64_t Commands(int64_t bytes) {
    return (bytes + mpsse::kMaxBytesPerCommand - 1) / mpsse::kMaxBytesPerCommand;
}

}  // namespace

void UsbTimeModel::Frame(int64_t outCount, int64_t readCount) {
    window_.out += 2 * kChipSelectCommand + kHeader * (Commands(outCount) + Commands(readCount)) + outCount;
}

void UsbTimeModel::Idle(int64_t byteCount) {
    window_.out += kHeader * Commands(byteCount) + (chip_->clockOnlyCommand ? 0 : byteCount);
}

std::chrono::nanoseconds UsbTimeModel::RoundTrip(std::chrono::nanoseconds now, int64_t answers) {
    const int64_t out = window_.out + 1;  // and the send-immediate
    const int64_t payload = chip_->packetSize - 2;
    const int64_t in = answers + 2 * std::max<int64_t>(1, (answers + payload - 1) / payload);
    const int64_t writes = (out + kLibFtdiWriteChunk - 1) / kLibFtdiWriteChunk;
    const auto clocked = now - window_.start;
    const auto bus = chip_->UsbTime(out + in);
    const auto added = std::max(bus - clocked, std::chrono::nanoseconds(0)) + chip_->RoundTrip();
    traffic_.bytesOut += out;
    traffic_.bytesIn += in;
    traffic_.transfers += writes + 1;
    traffic_.charged += added;
    window_ = {0, now + added};
    return added;
}

}  // namespace zorvek
