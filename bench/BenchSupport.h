#pragma once
// What the benchmarks share: a UserPort that shows nothing, CPU time and a test message.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/WaveFile.h"
#include "job/SilentUserPort.h"
#include "spi/SimulatedSiren.h"

namespace zorvek::bench {

// Messages still go to standard error: a benchmark that met one is no benchmark.
class QuietPort : public SilentUserPort {
public:
    QuietPort() : SilentUserPort(stderr) {}
};

// What a run cost on the USB side, as the simulated siren counted it.
inline void PrintAdapterCounters(const SimulatorCounters& c) {
    std::printf("  adapter calls      %lld\n", static_cast<long long>(c.adapterCalls));
    std::printf("  USB round trips    %lld (reading frames)\n", static_cast<long long>(c.readingFrames));
    std::printf("  write-only frames  %lld (queued, no round trip)\n", static_cast<long long>(c.writeFrames));
    std::printf("  bytes to flash     %lld, from flash %lld\n", static_cast<long long>(c.bytesOut),
                static_cast<long long>(c.bytesIn));
    std::printf("  idle clock bytes   %lld (chip select high, in the page writes)\n",
                static_cast<long long>(c.idleBytes));
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Seconds(std::chrono::nanoseconds t) {
    return static_cast<double>(t.count()) / 1e9;
}

// A voice-like test signal: a few drifting partials and some noise.
inline void MakeMessage(const std::string& path, int index, double seconds, uint32_t rate) {
    const size_t count = static_cast<size_t>(seconds * rate);
    std::vector<uint8_t> bytes(count * 2);
    uint32_t noise = 777u + static_cast<uint32_t>(index);
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = 140.0 + 20 * index + 30 * std::sin(2 * M_PI * 0.7 * t);
        double v = 0.35 * std::sin(2 * M_PI * f * t) + 0.2 * std::sin(2 * M_PI * 3 * f * t) +
                   0.1 * std::sin(2 * M_PI * 7.5 * f * t);
        noise = noise * 1664525u + 1013904223u;
        v += 0.05 * (static_cast<double>(noise >> 8) / (1u << 24) - 0.5);
        const auto s = static_cast<int16_t>(std::lround(v * 32767));
        bytes[2 * i] = static_cast<uint8_t>(static_cast<uint16_t>(s));
        bytes[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8);
    }
    const auto format = WaveFormatRecord::Pcm(1, rate, 16);
    CWaveFile::WriteWaveFile(path, bytes.data(), static_cast<uint32_t>(bytes.size()), format.bytes.data(),
                             WaveFormatRecord::kWrittenLength);
}

}  // namespace zorvek::bench
