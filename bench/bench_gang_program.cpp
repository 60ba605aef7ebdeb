// Gang programming: the same image into 1 and then 4 simulated adapters at once,
// one worker thread each, every answer paced in real time by the slow fault, as a
// USB adapter makes the host wait. Reports the wall time of both and their ratio,
// and whether every simulated flash then holds the image.
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "operations/ProductionStation.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
using namespace zorvek::bench;

namespace {

constexpr int64_t kSlowMicroseconds = 100;  // per answer
constexpr uint32_t kImageBytes = 512u << 10;

struct Adapter {
    std::unique_ptr<SimulatedSiren> siren;
    SirenReport report;
};

// Wall seconds for programming `count` sirens at once; false in `allEqual` when any
// flash differs from the image or any siren failed.
double Gang(int count, const std::vector<uint8_t>& image, bool& allEqual) {
    std::vector<Adapter> adapters(static_cast<size_t>(count));
    for (auto& a : adapters) {
        SimulatorOptions options;  // memory only
        options.faults.slowMicroseconds = kSlowMicroseconds;
        a.siren = std::make_unique<SimulatedSiren>(options);
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (auto& a : adapters)
        workers.emplace_back([&image, &a] {
            JobState job;
            QuietPort port;
            SpiLink link{a.siren.get()};
            ProductionStation station(job, link, port);
            if (!station.Open()) return;
            int looks = 0;
            if (station.WaitForSiren([&] { return looks++ > 0; }) != SocketWait::Done) return;
            a.report = station.Program(image);
        });
    for (auto& w : workers) w.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    allEqual = true;
    for (auto& a : adapters) {
        const auto& memory = a.siren->Flash().Memory();
        allEqual = allEqual && a.report.Passed() && std::equal(image.begin(), image.end(), memory.begin());
    }
    return wall;
}

}  // namespace

int main() {
    std::vector<uint8_t> image(kImageBytes);
    uint32_t x = 777;
    for (auto& b : image) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
    bool oneEqual = false, fourEqual = false;
    const double one = Gang(1, image, oneEqual);
    const double four = Gang(4, image, fourEqual);
    std::printf("gang programming of a %u KiB image, every answer paced at %lld us:\n", kImageBytes >> 10,
                static_cast<long long>(kSlowMicroseconds));
    std::printf("  1 adapter     %.2f s wall (flash holds the image: %s)\n", one, oneEqual ? "yes" : "NO");
    std::printf("  4 adapters    %.2f s wall (every flash holds the image: %s)\n", four, fourEqual ? "yes" : "NO");
    std::printf("  4 / 1         %.2fx\n", four / one);
    return 0;
}
