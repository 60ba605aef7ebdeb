// Programs and verifies a full 2 MiB image on the simulated siren and reports
// what it cost: adapter calls, USB round trips, CPU time, and the modelled time
// beside the physical floor (flash busy times plus SPI bit time at 6 MHz).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "job/JobState.h"
#include "job/UserPort.h"
#include "operations/FlashRoutines.h"
#include "spi/SimulatedSiren.h"
#include "operations/UsbConnection.h"

using namespace zorvek;

namespace {

using namespace zorvek::bench;

void Run(int32_t verifyFrameBytes, EraseMode eraseMode = EraseMode::Sectors) {
    constexpr uint32_t kImage = 2u << 20;
    std::vector<uint8_t> image(kImage);
    uint32_t x = 12345;
    for (auto& b : image) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);

    SimulatedSiren siren;  // memory only
    JobState job;
    QuietPort port;
    SpiLink link{&siren};
    link.verifyFrameBytes = verifyFrameBytes;
    double cpu0 = CpuSeconds();
    auto wall0 = std::chrono::steady_clock::now();

    SetupUsb(job, link, port);
    IdentifyFlash(job, link, port);
    auto progress = port.MakeProgress("Complete...", false);
    link.progress = progress.get();
    const auto sectors = static_cast<int32_t>(kImage / 0x10000 + 1);
    const bool bulk = UseBulkErase(eraseMode, job.flashLastAddress, sectors);
    if (bulk)
        BulkErase(job, link, port, sectors);
    else
        EraseSectors(job, link, port, 0, sectors);
    auto afterErase = siren.ModelledTime();
    ProgramPages(job, link, port, 0, image.data(), image.size());
    auto afterProgram = siren.ModelledTime();
    int32_t verified = VerifyFlash(job, link, port, static_cast<int32_t>(kImage), image.data());
    auto afterVerify = siren.ModelledTime();
    link.progress = nullptr;
    CloseUsb(job, link, port);

    double cpu = CpuSeconds() - cpu0;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const auto& c = siren.Counters();
    auto floor = siren.Flash().busyTime + c.spiBitTime;
    std::printf("%s erase, verify read frames of %d bytes: result %d, abortFlag %d, messages %d\n",
                bulk ? "bulk" : "sector", verifyFrameBytes, verified, job.abortFlag, port.messages);
    PrintAdapterCounters(c);
    std::printf("  CPU time           %.3f s (wall %.3f s)\n", cpu, wall);
    std::printf("  modelled time      %.2f s (erase %.2f, program %.2f, verify %.2f)\n", Seconds(siren.ModelledTime()),
                Seconds(afterErase), Seconds(afterProgram - afterErase), Seconds(afterVerify - afterProgram));
    std::printf("  physical floor     %.2f s (flash busy %.2f + SPI bits at 6 MHz %.2f)\n", Seconds(floor),
                Seconds(siren.Flash().busyTime), Seconds(c.spiBitTime));
    std::printf("  modelled / floor   %.3fx\n", Seconds(siren.ModelledTime()) / Seconds(floor));
    std::printf("  flash equals image %s\n", siren.Flash().Memory() == image ? "yes" : "NO");
}

}  // namespace

int main() {
    Run(256);                       // one read frame per compared block
    Run(0x10000);                   // the link's default
    Run(0x10000, EraseMode::Auto);  // a full image: one bulk erase
    return 0;
}
