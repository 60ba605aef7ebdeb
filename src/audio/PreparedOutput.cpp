#include "audio/PreparedOutput.h"

#include <cctype>
#include <filesystem>

#include "audio/Resampler.h"
#include "audio/WaveFormat.h"
#include "audio/WaveWriter.h"
#include "files/AtomicFile.h"

namespace zorvek {
namespace {

std::string FreeName(const std::string& stem, const std::string& avoid) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (int n = 1;; ++n) {
        std::string candidate = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".wav";
        if (candidate != avoid && !fs::exists(fs::symlink_status(candidate, ec))) return candidate;
    }
}

}  // namespace

std::vector<uint8_t> EncodeSirenWave(std::span<const int16_t> samples) {
    const WaveFormatRecord format = WaveFormatRecord::Pcm(1, kSirenSampleRate, 16);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out = WaveWriter::Head(format.bytes.data(), WaveFormatRecord::kWrittenLength, dataBytes);
    out.reserve(out.size() + dataBytes);
    for (int16_t s : samples) {
        out.push_back(static_cast<uint8_t>(s & 0xFF));
        out.push_back(static_cast<uint8_t>((static_cast<uint16_t>(s) >> 8) & 0xFF));
    }
    return out;
}

PrepareStatus SavePreparedMessage(const std::string& outPath, const std::string& sourcePath,
                                  std::span<const int16_t> samples) {
    namespace fs = std::filesystem;
    if (outPath.empty()) return PrepareFailure(PrepareFault::WriteFailed, "No output file given.");
    std::error_code ec;
    if (!sourcePath.empty() && fs::exists(outPath, ec) && fs::equivalent(outPath, sourcePath, ec))
        return PrepareFailure(PrepareFault::SameAsSource, outPath);
    if (fs::is_directory(outPath, ec))
        return PrepareFailure(PrepareFault::WriteFailed, "Cannot write " + outPath + ": it is a folder");
    if (samples.size() > (0xFFFFFFFFu - 64) / 2) return PrepareFailure(PrepareFault::WriteFailed, "Too long for a WAV file.");
    const std::vector<uint8_t> bytes = EncodeSirenWave(samples);
    std::string error;
    if (!ReplaceFileContent(outPath, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, &error))
        return PrepareFailure(PrepareFault::WriteFailed, error);
    return PrepareStatus::Ok();
}

std::string PreparedFileName(const std::string& sourcePath) {
    const std::filesystem::path source(sourcePath);
    const std::string stem = (source.parent_path() / source.stem()).string();
    // Preparing a prepared file again gives "-prepared-2", not "-prepared-prepared".
    const std::string suffix = "-prepared";
    const bool already = stem.size() >= suffix.size() && stem.compare(stem.size() - suffix.size(), suffix.size(), suffix) == 0;
    return FreeName(already ? stem : stem + suffix, sourcePath);
}

std::string SpeechFileName(const std::string& folder, const std::string& text) {
    std::string words;
    for (char c : text) {
        if (words.size() >= 32) break;
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u))
            words.push_back(static_cast<char>(std::tolower(u)));
        else if (!words.empty() && words.back() != '-')
            words.push_back('-');
    }
    while (!words.empty() && words.back() == '-') words.pop_back();
    return FreeName(folder + "speech" + (words.empty() ? "" : "-" + words), {});
}

}  // namespace zorvek
