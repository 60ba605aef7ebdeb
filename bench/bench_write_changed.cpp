// Writing only what differs against erasing everything: the full job of one 60 s
// message programmed into a simulated M25P16 that arrives factory-blank, already
// holding the job, holding it with one message's volume changed, or full of a
// different image; and that last one through an FT2232H at 30 MHz with the erase
// mode auto. Each case's modelled time is given beside its own physical floor and
// relative to the described procedure's floor (every sector erased one by one,
// every page programmed, all read back) at 6 MHz for the same image.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "BenchSupport.h"
#include "audio/WaveFile.h"
#include "job/JobState.h"
#include "operations/FlashRoutines.h"
#include "operations/OperationSupport.h"
#include "operations/SirenOperations.h"
#include "operations/UsbConnection.h"
#include "spi/SimulatedSiren.h"

using namespace zorvek;
namespace fs = std::filesystem;
using namespace zorvek::bench;

namespace {

std::vector<uint8_t> Build(JobState job) {
    QuietPort port;
    SpiLink none;
    job.flashLastAddress = (2u << 20) - 1;
    FlashImage image;
    if (SirenOperations(job, none, port).BuildImage(image) != OperationOutcome::Success) return {};
    return {image.data(), image.data() + image.size()};
}

struct Case {
    const char* name;
    std::vector<uint8_t> before;  // what the siren holds (2 MiB)
    bool changedOnly;
    EraseMode erase;
    MpsseChip chip;
    int32_t clockHz;
    double limit;  // of the reference floor; 0: none
};

struct Figures {
    double modelled = 0, floor = 0;
    bool good = false;
    WriteCounts counts;
};

Figures Run(const Case& c, const std::vector<uint8_t>& image) {
    SimulatorOptions options;
    options.usbChip = c.chip;
    options.faults.chip = "M25P16";
    SimulatedSiren siren(options);
    std::copy(c.before.begin(), c.before.end(), siren.Flash().Memory().begin());
    JobState job;
    job.spiClockHz = c.clockHz;
    QuietPort port;
    SpiLink link{&siren};
    SetupUsb(job, link, port);
    IdentifyChip(job, link, port);
    FlashWriteResult written;
    {
        ProgressScope progress(link, port);
        written =
            EraseProgramVerify(job, link, port, progress, image.data(), image.size(), {true, c.erase, c.changedOnly});
    }
    CloseUsb(job, link, port);
    Figures f;
    f.modelled = Seconds(siren.ModelledTime());
    f.floor = Seconds(FloorFor(siren.Usb(), siren.Flash().busyTime, siren.Counters().spiBitTime).Total());
    f.good = !written.stopped && written.verified == 1 &&
             std::equal(image.begin(), image.end(), siren.Flash().Memory().begin());
    f.counts = written.counts;
    return f;
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("zorvek-bench-changed-" + std::to_string(getpid()));
    fs::create_directories(dir);
    JobState job;
    job.programFolder = dir.string() + "/";
    job.verify = 1;
    const std::string first = (dir / "message.wav").string(), other = (dir / "other.wav").string();
    MakeMessage(first, 1, 60.0, 44100);
    MakeMessage(other, 4, 60.0, 44100);
    job.slot(7).wavPath = first;
    const std::vector<uint8_t> image = Build(job);
    JobState louder = job;
    louder.slot(7).volumeIndex = 3;
    const std::vector<uint8_t> volumeChanged = Build(louder);
    JobState different = job;
    different.slot(7).wavPath = other;
    std::vector<uint8_t> differentImage = Build(different);
    if (image.empty() || volumeChanged.empty() || differentImage.empty()) {
        std::fprintf(stderr, "the job could not be built\n");
        return 1;
    }
    constexpr size_t kFlash = 2u << 20;
    const auto padded = [](std::vector<uint8_t> v) {
        v.resize(kFlash, kErasedByte);
        return v;
    };
    std::printf("image %zu bytes (%.1f%% of 2 MiB), one 60 s message, simulated M25P16\n", image.size(),
                100.0 * static_cast<double>(image.size()) / kFlash);

    // Today's procedure at 6 MHz on the siren full of a different image: the reference floor.
    const Case reference{
        "described procedure", padded(differentImage), false, EraseMode::Sectors, MpsseChip::Ft2232C, 6000000, 0};
    const Figures ref = Run(reference, image);
    std::printf(
        "reference: every sector erased, every page programmed, all read back, FT2232D 6 MHz:\n"
        "  modelled %.2f s, floor %.2f s%s\n\n",
        ref.modelled, ref.floor, ref.good ? "" : "  (FAILED)");

    const Case cases[] = {
        {"factory-blank siren", padded({}), true, EraseMode::Sectors, MpsseChip::Ft2232C, 6000000, 0.50},
        {"already holds the job", padded(image), true, EraseMode::Sectors, MpsseChip::Ft2232C, 6000000, 0.12},
        {"one message's volume changed", padded(volumeChanged), true, EraseMode::Sectors, MpsseChip::Ft2232C, 6000000,
         0.15},
        {"full of a different image", padded(differentImage), true, EraseMode::Sectors, MpsseChip::Ft2232C, 6000000,
         1.10},
        {"FT2232H 30 MHz, erase auto, different image", padded(differentImage), true, EraseMode::Auto,
         MpsseChip::Ft2232H, 30000000, 0.75},
    };
    std::printf("%-46s %9s %9s %9s %7s  %s\n", "case (write changed)", "modelled", "floor", "x ref", "limit",
                "sectors erased / pages written / already right");
    bool allGood = ref.good;
    for (const Case& c : cases) {
        const Figures f = Run(c, image);
        const double ratio = f.modelled / ref.floor;
        const bool within = ratio <= c.limit;
        allGood = allGood && f.good && within;
        std::printf("%-46s %8.2fs %8.2fs %8.3fx %6.2fx  %d / %d / %d%s%s\n", c.name, f.modelled, f.floor, ratio,
                    c.limit, f.counts.sectorsErased, f.counts.pagesWritten, f.counts.pagesAlreadyRight,
                    f.good ? "" : "  WRONG CONTENT", within ? "" : "  OVER");
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return allGood ? 0 : 1;
}
