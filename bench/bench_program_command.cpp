// The whole Program command for a job that fills a 2 MiB siren, audio stage
// included, on the simulated siren: CPU time, peak memory, USB round trips and
// the modelled time beside the physical floor (flash busy times plus SPI bit
// time at 6 MHz). Seven distinct 9-second messages at 44100 samples/s go
// through the resampler, 12-bit reduction and packing.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "audio/WaveFile.h"
#include "job/JobState.h"
#include "job/UserPort.h"
#include "operations/SirenOperations.h"
#include "operations/FlashRoutines.h"
#include "spi/SimulatedSiren.h"
#include "operations/UsbConnection.h"

using namespace zorvek;
namespace fs = std::filesystem;

namespace {

using namespace zorvek::bench;

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("zorvek-bench-program-" + std::to_string(getpid()));
    fs::create_directories(dir);
    JobState job;
    job.programFolder = dir.string() + "/";
    job.verify = 1;
    for (int s = 1; s <= kSlotCount; ++s) {
        const std::string path = (dir / ("message" + std::to_string(s) + ".wav")).string();
        MakeMessage(path, s, 9.0, 44100);
        job.slot(s).wavPath = path;
        job.slot(s).toneIndex = s;
    }
    const long peakBefore = PeakKiB();

    QuietPort port;
    // The audio stage and image build alone.
    {
        SimulatedSiren siren;
        SpiLink link{&siren};
        job.flashLastAddress = 0x1FFFFF;
        SirenOperations ops(job, link, port);
        FlashImage image;
        const double cpu0 = CpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        const OperationOutcome built = ops.BuildImage(image);
        std::printf("audio stage and image build: outcome %d, image %zu bytes (%.1f%% of 2 MiB)\n",
                    static_cast<int>(built), image.size(), 100.0 * static_cast<double>(image.size()) / (2u << 20));
        std::printf("  CPU time           %.3f s (wall %.3f s)\n", CpuSeconds() - cpu0,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count());
    }

    SimulatedSiren siren;  // memory only
    SpiLink link{&siren};
    SirenOperations ops(job, link, port);
    const double cpu0 = CpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    const OperationOutcome outcome = ops.ProgramCommand();
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();

    const auto& c = siren.Counters();
    const auto floor = siren.Flash().busyTime + c.spiBitTime;
    std::printf("Program command, verify on: outcome %d, messages %d\n", static_cast<int>(outcome), port.messages);
    std::printf("  CPU time           %.3f s (wall %.3f s)\n", cpu, wall);
    std::printf("  peak memory        %ld KiB (%ld KiB before the runs)\n", PeakKiB(), peakBefore);
    PrintAdapterCounters(c);
    std::printf("  pages programmed   %lld, sectors erased %lld\n", static_cast<long long>(siren.Flash().pagePrograms),
                static_cast<long long>(siren.Flash().sectorErases));
    std::printf("  modelled time      %.2f s\n", Seconds(siren.ModelledTime()));
    std::printf("  physical floor     %.2f s (flash busy %.2f + SPI bits at 6 MHz %.2f)\n", Seconds(floor),
                Seconds(siren.Flash().busyTime), Seconds(c.spiBitTime));
    std::error_code ec;
    fs::remove_all(dir, ec);
    return outcome == OperationOutcome::Success ? 0 : 1;
}
