#pragma once
// What the benchmarks share: a UserPort that shows nothing and CPU time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "job/SilentUserPort.h"

namespace zorvek::bench {

// Messages still go to standard error: a benchmark that met one is no benchmark.
class QuietPort : public SilentUserPort {
public:
    QuietPort() : SilentUserPort(stderr) {}
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Seconds(std::chrono::nanoseconds t) {
    return static_cast<double>(t.count()) / 1e9;
}

}  // namespace zorvek::bench
