// Programs and verifies a full 2 MiB image on the simulated siren, charged as through
// an FT2232D and an FT2232H, and reports what it cost: adapter calls, USB round trips
// and bytes, CPU time, and the modelled time beside the floor (the larger of flash
// busy times plus SPI bit time at 6 MHz, and the USB bytes at the bus's practical rate).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "job/JobState.h"
#include "job/UserPort.h"
#include "operations/FlashRoutines.h"
#include "operations/UsbConnection.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;

namespace {

using namespace zorvek::bench;

void Run(int32_t verifyFrameBytes, EraseMode eraseMode = EraseMode::Sectors, MpsseChip chip = MpsseChip::Ft2232C) {
    constexpr uint32_t kImage = 2u << 20;
    std::vector<uint8_t> image(kImage);
    uint32_t x = 12345;
    for (auto& b : image) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);

    SimulatorOptions options;  // memory only
    options.usbChip = chip;
    SimulatedSiren siren(options);
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
    const UsbTraffic& usb = siren.Usb().Traffic();
    const TimeFloor floor = FloorFor(siren.Usb(), siren.Flash().busyTime, c.spiBitTime);
    std::printf("%s: %s erase, verify read frames of %d bytes: result %d, abortFlag %d, messages %d\n",
                DescribeChip(siren.Usb().Chip()).c_str(), bulk ? "bulk" : "sector", verifyFrameBytes, verified,
                job.abortFlag, port.messages);
    PrintAdapterCounters(c);
    std::printf("  USB bytes          %.2f MB out, %.2f MB in, %lld transfers\n", usb.bytesOut / 1e6, usb.bytesIn / 1e6,
                static_cast<long long>(usb.transfers));
    std::printf("  USB time charged   %.2f s (round trips, bus time beyond the SPI clocking)\n", Seconds(usb.charged));
    std::printf("  CPU time           %.3f s (wall %.3f s)\n", cpu, wall);
    std::printf("  modelled time      %.2f s (erase %.2f, program %.2f, verify %.2f)\n", Seconds(siren.ModelledTime()),
                Seconds(afterErase), Seconds(afterProgram - afterErase), Seconds(afterVerify - afterProgram));
    std::printf("  floor              %.2f s: %s\n", Seconds(floor.Total()), DescribeFloor(floor, siren.Usb()).c_str());
    std::printf("  modelled / floor   %.3fx\n", Seconds(siren.ModelledTime()) / Seconds(floor.Total()));
    std::printf("  flash equals image %s\n", siren.Flash().Memory() == image ? "yes" : "NO");
}

}  // namespace

int main() {
    for (MpsseChip chip : {MpsseChip::Ft2232C, MpsseChip::Ft2232H}) {
        Run(256, EraseMode::Sectors, chip);      // one read frame per compared block
        Run(0x10000, EraseMode::Sectors, chip);  // the link's default
        Run(0x10000, EraseMode::Auto, chip);     // a full image: one bulk erase
    }
    return 0;
}
