#pragma once
// What the benchmarks share: a UserPort that shows nothing and CPU time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

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

}  // namespace zorvek::bench
