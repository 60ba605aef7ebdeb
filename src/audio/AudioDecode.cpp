#include "audio/AudioDecode.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/Loudness.h"
#include "audio/Resampler.h"

namespace zorvek {
namespace {

struct SndCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndHandle = std::unique_ptr<SNDFILE, SndCloser>;

std::string FormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    std::string name = sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name ? info.name : "";
    return name;
}

// Reads every frame, mixing down to mono and measuring the source as it goes.
PrepareStatus ReadAll(SNDFILE* file, const SF_INFO& info, const std::string& name, DecodedAudio& out,
                      const PrepareProgress& progress) {
    if (info.channels < 1 || static_cast<unsigned>(info.channels) > kMaxSourceChannels)
        return PrepareFailure(PrepareFault::Unsupported, std::to_string(info.channels) + " channels (1 to " +
                                                             std::to_string(kMaxSourceChannels) + " are read): " +
                                                             name);
    if (info.samplerate < static_cast<int>(kMinInputRate) || info.samplerate > static_cast<int>(kMaxInputRate))
        return PrepareFailure(PrepareFault::Unsupported, std::to_string(info.samplerate) +
                                                             " samples/s (4000 to 384000 are read): " + name);
    const auto channels = static_cast<unsigned>(info.channels);
    const auto rate = static_cast<uint32_t>(info.samplerate);
    const auto maxFrames = static_cast<uint64_t>(kMaxSourceSeconds * rate);
    out = DecodedAudio{};
    out.channels = channels;
    out.formatName = FormatName(info.format);
    out.mono.rate = rate;
    LoudnessMeter meter(channels, rate);
    if (!meter.ok()) return PrepareFailure(PrepareFault::Failed, "the loudness meter cannot start");
    constexpr size_t kChunk = 8192;
    std::vector<float> chunk(kChunk * channels);
    uint64_t chunks = 0;
    for (;;) {
        const sf_count_t got = sf_readf_float(file, chunk.data(), kChunk);
        if (got <= 0) break;
        const auto frames = static_cast<size_t>(got);
        if (out.mono.samples.size() + frames > maxFrames)
            return PrepareFailure(PrepareFault::Unsupported,
                                  "longer than " + std::to_string(static_cast<int>(kMaxSourceSeconds / 60)) +
                                      " minutes: " + name);
        for (size_t i = 0; i < frames * channels; ++i)
            if (!std::isfinite(chunk[i])) return PrepareFailure(PrepareFault::BadSamples, name);
        meter.Add(chunk.data(), frames);
        for (size_t f = 0; f < frames; ++f) {
            float sum = 0;
            for (unsigned c = 0; c < channels; ++c) sum += chunk[f * channels + c];
            out.mono.samples.push_back(sum / static_cast<float>(channels));
        }
        if (progress && ++chunks % 64 == 0 && !progress("Reading"))
            return PrepareFailure(PrepareFault::Cancelled, {});
    }
    if (sf_error(file) != SF_ERR_NO_ERROR && out.mono.samples.empty())
        return PrepareFailure(PrepareFault::NotAudio, name + " (" + sf_strerror(file) + ")");
    if (out.mono.samples.empty()) return PrepareFailure(PrepareFault::ZeroLength, name);
    if (!meter.ok()) return PrepareFailure(PrepareFault::Failed, "the loudness meter failed");
    out.source = meter.Result();
    return PrepareStatus::Ok();
}

struct MemoryReader {
    std::span<const uint8_t> bytes;
    sf_count_t position = 0;
};

sf_count_t MemLength(void* user) { return static_cast<sf_count_t>(static_cast<MemoryReader*>(user)->bytes.size()); }
sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<MemoryReader*>(user);
    const auto size = static_cast<sf_count_t>(m->bytes.size());
    sf_count_t base = whence == SEEK_CUR ? m->position : whence == SEEK_END ? size : 0;
    sf_count_t target = base + offset;
    if (target < 0 || target > size) return -1;
    m->position = target;
    return target;
}
sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
    auto* m = static_cast<MemoryReader*>(user);
    const auto size = static_cast<sf_count_t>(m->bytes.size());
    if (count < 0) return 0;
    const sf_count_t n = std::min(count, size - m->position);
    if (n <= 0) return 0;
    std::memcpy(ptr, m->bytes.data() + m->position, static_cast<size_t>(n));
    m->position += n;
    return n;
}
sf_count_t MemWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t MemTell(void* user) { return static_cast<MemoryReader*>(user)->position; }

}  // namespace

PrepareStatus DecodeAudioFile(const std::string& path, DecodedAudio& out, const PrepareProgress& progress) {
    if (path.empty()) return PrepareFailure(PrepareFault::NoFile, "no file given");
    // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return PrepareFailure(PrepareFault::NoFile, path + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return PrepareFailure(PrepareFault::NoFile, path + ": not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (st.st_size == 0) {
        ::close(fd);
        return PrepareFailure(PrepareFault::ZeroLength, path + " is empty");
    }
    SF_INFO info{};
    SndHandle file(sf_open_fd(fd, SFM_READ, &info, SF_TRUE));  // closes fd, also on failure
    if (!file) return PrepareFailure(PrepareFault::NotAudio, path + " (" + sf_strerror(nullptr) + ")");
    return ReadAll(file.get(), info, path, out, progress);
}

PrepareStatus DecodeAudioMemory(std::span<const uint8_t> bytes, const std::string& name, DecodedAudio& out) {
    if (bytes.empty()) return PrepareFailure(PrepareFault::ZeroLength, name + " is empty");
    MemoryReader reader{bytes, 0};
    SF_VIRTUAL_IO io{&MemLength, &MemSeek, &MemRead, &MemWrite, &MemTell};
    SF_INFO info{};
    SndHandle file(sf_open_virtual(&io, SFM_READ, &info, &reader));
    if (!file) return PrepareFailure(PrepareFault::NotAudio, name + " (" + sf_strerror(nullptr) + ")");
    return ReadAll(file.get(), info, name, out, {});
}

}  // namespace zorvek
