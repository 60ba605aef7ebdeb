#include "spi/UsbTimeModel.h"

#include <algorithm>
#include <cstdio>

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
    const int64_t reads = (in + kLibFtdiWriteChunk - 1) / kLibFtdiWriteChunk;
    const std::chrono::nanoseconds none{0}, gap = chip_->transferGap;
    const auto dryOut = std::max(none, gap + chip_->UsbTime(chip_->packetSize) - SpiTime(chip_->txBufferBytes));
    const auto dryIn = std::max(none, gap - SpiTime(chip_->rxBufferBytes));
    const auto splitAnswers = writes > 1 ? gap : none;
    const auto clocked = now - window_.start;
    const auto bus = chip_->UsbTime(out + in);
    const auto added =
        std::max(bus - clocked, none) + chip_->RoundTrip() + (writes - 1) * dryOut + (reads - 1) * dryIn + splitAnswers;
    traffic_.bytesOut += out;
    traffic_.bytesIn += in;
    traffic_.transfers += writes + reads;
    traffic_.charged += added;
    window_ = {0, now + added};
    return added;
}

TimeFloor FloorFor(const UsbTimeModel& model, std::chrono::nanoseconds flashBusy, std::chrono::nanoseconds spiBits) {
    const UsbTraffic& t = model.Traffic();
    return {flashBusy, spiBits, model.Chip().UsbTime(t.bytesOut + t.bytesIn)};
}

std::string DescribeFloor(const TimeFloor& floor, const UsbTimeModel& model) {
    const auto s = [](std::chrono::nanoseconds t) { return static_cast<double>(t.count()) / 1e9; };
    const UsbTraffic& t = model.Traffic();
    char text[200];
    std::snprintf(text, sizeof text,
                  "the larger of flash busy %.2f + SPI bits at %lld MHz %.2f = %.2f s and USB %.2f MB at %.2f MB/s = "
                  "%.2f s",
                  s(floor.flashBusy), static_cast<long long>(model.SpiClockHz() / 1000000), s(floor.spiBits),
                  s(floor.flashBusy + floor.spiBits), static_cast<double>(t.bytesOut + t.bytesIn) / 1e6,
                  static_cast<double>(model.Chip().usbBytesPerSecond) / 1e6, s(floor.usb));
    return text;
}

std::string DescribeChip(const FtdiChipModel& chip) {
    return std::string(chip.name) + (chip.highSpeed ? " (high speed)" : " (full speed)");
}

}  // namespace zorvek
