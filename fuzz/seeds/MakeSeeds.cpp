// Writes seeds that only the project's own writers make well: a firmware recovery
// file and a built siren image. Made at fuzzing time, they follow every change of
// their format. Usage: make_fuzz_seeds FOLDER (writes FOLDER/recovery, FOLDER/image_info).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/FirmwareRecoveryFile.h"
#include "image/FlashImage.h"
#include "image/ImageBuilder.h"

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& what) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return Fail("usage: make_fuzz_seeds FOLDER");
    const fs::path out = argv[1];
    std::error_code ec;
    fs::remove_all(out, ec);

    // A siren image with two messages and one repeated, as the builder writes it.
    zorvek::JobState job;
    std::vector<uint8_t> first(3 * 400), second(3 * 90);
    for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<uint8_t>(i * 37 + i / 7);
    for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<uint8_t>(0x80 + i % 11);
    zorvek::SlotAudioSet audio{};
    job.slot(1).wavPath = "one.wav";
    job.slot(2).wavPath = "two.wav";
    job.slot(3).wavPath = "one.wav";
    audio[0] = {first, 22010};
    audio[1] = {second, 8000};
    static const uint8_t kEmpty[] = {0x00, 0x88, 0x00};
    for (int slot = 4; slot <= static_cast<int>(zorvek::kSlotCount); ++slot) audio[slot - 1] = {kEmpty, 0};
    zorvek::FlashImage image;
    std::string problem;
    if (zorvek::BuildFlashImage(job, audio, image, &problem) != zorvek::kImageBuilt) return Fail(problem);
    fs::create_directories(out / "image_info");
    std::ofstream(out / "image_info" / "built.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));

    // A recovery file of an update that wrote new firmware over that image's first sector.
    zorvek::FirmwareRecovery recovery;
    recovery.before.assign(zorvek::kRecoverySectorBytes, zorvek::kErasedByte);
    std::copy(image.data(), image.data() + std::min<size_t>(image.size(), recovery.before.size()),
              recovery.before.begin());
    recovery.identity = zorvek::IdentifySiren(0x14, 2u << 20, recovery.before);
    recovery.writing = recovery.before;
    for (size_t i = zorvek::kFirmwareOffset; i < zorvek::kAudioStart; ++i)
        recovery.writing[i] = static_cast<uint8_t>(i * 5);
    if (zorvek::WriteNewFirmwareRecovery((out / "recovery").string(), recovery, &problem).empty()) return Fail(problem);
    return 0;
}
