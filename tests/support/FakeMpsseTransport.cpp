#include "FakeMpsseTransport.h"

#include <algorithm>

#include "spi/Mpsse.h"
#include "spi/SpiAdapter.h"

namespace zorvek::test {

using namespace mpsse;

FakeMpsseTransport::FakeMpsseTransport(uint16_t bcdDevice, uint32_t flashSize) : MpsseEngine(bcdDevice, flashSize) {
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
    ResetSio();
    received_.clear();
    return open;
}

bool FakeMpsseTransport::Purge() {
    ++purges;
    if (mpsse) ++purgesInMpsse;
    PurgeRx();
    PurgeTx();
    received_.clear();
    InjectAnswers(staleAfterPurge);
    staleAfterPurge.clear();
    return open;
}

bool FakeMpsseTransport::SetLatencyTimer(uint8_t ms) {
    MpsseEngine::SetLatencyTimer(ms);
    return open;
}

bool FakeMpsseTransport::SetBitMode(uint8_t, uint8_t mode) {
    bitModes.push_back(mode);
    MpsseEngine::SetBitMode(mode);
    if (mpsse) InjectAnswers(staleAtModeSwitch);
    return open;
}

std::vector<uint8_t> FakeMpsseTransport::AllWritten() const {
    std::vector<uint8_t> all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
}

int FakeMpsseTransport::Write(const uint8_t* data, int size) {
    ++writeCalls;
    if (!open || failWrites || (failWriteAfter >= 0 && writeCalls > failWriteAfter)) return -1;
    writes.emplace_back(data, data + size);
    answered_ = false;
    for (int sent = 0; sent < size;) {
        const int chunk = std::min(size - sent, kLibFtdiWriteChunk);
        bool timedOut = false;
        sent += BulkOut(data + sent, chunk, writeTimeout, timedOut);
        if (timedOut) return -1;  // libftdi reports the failed transfer, not the bytes that went
    }
    return size;
}

int FakeMpsseTransport::Read(uint8_t* data, int size) {
    ++readCalls;
    if (!open || (failReadAfter >= 0 && readCalls > failReadAfter)) return -1;
    if (emptyReadEvery2nd && readCalls % 2 == 0) {
        Idle(std::chrono::milliseconds(1));
        return 0;
    }
    const auto wanted = static_cast<size_t>(std::min(size, maxBytesPerRead));
    // As libftdi: IN transfers until enough has come or one brings no data.
    while (received_.size() < wanted) {
        uint8_t packets[kLibFtdiWriteChunk];
        bool timedOut = false;
        const int got = BulkIn(packets, sizeof packets, readTimeout, timedOut);
        if (got <= 2) break;
        for (int at = 0; at < got; at += model.packetSize)
            received_.insert(received_.end(), packets + at + 2, packets + std::min(got, at + model.packetSize));
    }
    const size_t n = std::min(wanted, received_.size());
    std::copy_n(received_.begin(), n, data);
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(n));
    if (n > 0 && !answered_) {
        answered_ = true;
        ++roundTrips;
    }
    return static_cast<int>(n);
}

}  // namespace zorvek::test
