#include "image/FirmwareHexLoader.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "image/IntelHex.h"
#include "image/SlotCodes.h"
#include "job/SafeFiles.h"

namespace zorvek {

namespace {

std::filesystem::path inProgramFolder(const JobState& job, const std::string& name) {
    std::filesystem::path path(name);
    if (path.is_absolute() || job.programFolder.empty()) return path;
    return std::filesystem::path(job.programFolder) / path;
}

bool readable(const std::filesystem::path& path) {
    std::ifstream probe(path, std::ios::binary);
    return probe.is_open();
}

}  // namespace

int LoadFirmwareHex(JobState& job, UserPort& port, std::span<uint8_t> buffer, size_t baseOffset) {
    // Paths are resolved against the program folder instead of changing the
    // process's current directory: same result, no global side effect.
    const bool volumeTest = readable(inProgramFolder(job, kVolumeTestFileName));

    if (job.firmwarePath.empty()) return kHexNotFound;
    const std::filesystem::path path = inProgramFolder(job, job.firmwarePath);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return kHexNotFound;
    std::vector<uint8_t> content;
    std::string error;
    if (!ReadRegularFile(path.string(), kMaxHexFileBytes, content, &error)) {
        // One that cannot be opened is "not found"; a FIFO, a device or a huge
        // file is there but is no HEX file.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || (S_ISREG(st.st_mode) && uint64_t(st.st_size) <= kMaxHexFileBytes))
            return kHexNotFound;
        port.ShowMessage("Invalid hex file\n" + error, kProgramTitle, MessageIcon::Stop);
        return kHexInvalid;
    }
    HexReadResult hex = ReadIntelHex(std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
    if (!hex.valid) {
        std::string text = "Invalid hex file\n";
        if (hex.errorLine > 0) text += "Line " + std::to_string(hex.errorLine) + ": ";
        text += hex.reason;
        port.ShowMessage(text, kProgramTitle, MessageIcon::Stop);
        return kHexInvalid;
    }
    if (volumeTest) {
        std::string problem = UnencodableVolumeMessage(job);
        if (!problem.empty()) {
            port.ShowMessage(problem, kProgramTitle, MessageIcon::Stop);
            return kHexInvalid;
        }
    }

    for (size_t i = 0; i < kFirmwareSize; ++i) {
        if (!hex.firmware.present.test(i)) continue;
        size_t offset = baseOffset + i;
        if (offset < buffer.size()) buffer[offset] = hex.firmware.bytes[i];
    }

    if (volumeTest) {
        port.ShowMessage("Updating Siren Tone Volumes with HEX!!!", "Caution!", MessageIcon::Stop);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            size_t offset = kVolumeOffset + static_cast<size_t>(slot - 1);
            if (offset < buffer.size()) buffer[offset] = static_cast<uint8_t>(job.slot(slot).volumeIndex);
        }
    }

    job.flashIdText += kHexFoundNote;
    return kHexLoaded;
}

}  // namespace zorvek
