#include "audio/Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "audio/WaveFile.h"
#include "audio/WaveWriter.h"

namespace zorvek {

namespace {
constexpr unsigned kMaxChannels = 8;
// Frames per block: the work runs in a few small buffers, whatever the length.
constexpr size_t kBlockFrames = 16384;

// Left-justifies every sample in 32 bits so that all depths share one path.
void ToInt32(const uint8_t* p, size_t samples, unsigned bytesPerSample, int32_t* out) {
    for (size_t i = 0; i < samples; ++i, p += bytesPerSample) {
        switch (bytesPerSample) {
            case 1:  // 8-bit WAV samples are unsigned
                out[i] = static_cast<int32_t>(static_cast<uint32_t>(p[0] ^ 0x80u) << 24);
                break;
            case 2:
                out[i] = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 24);
                break;
            case 3:
                out[i] = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                              static_cast<uint32_t>(p[2]) << 24);
                break;
            default:
                out[i] = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
                break;
        }
    }
}

// Same rate: only the depth changes. Rounds half upward and clamps, so a
// 16-bit input comes out bit for bit.
int16_t Requantise(int32_t v) {
    const int64_t rounded = (int64_t{v} + 0x8000) >> 16;
    return static_cast<int16_t>(std::clamp<int64_t>(rounded, -32768, 32767));
}

// Appends 16-bit samples to the output as little-endian bytes, whatever the host.
void WriteSamples(WaveWriter& writer, const int16_t* samples, size_t count, std::vector<uint8_t>& scratch) {
    scratch.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
        const auto u = static_cast<uint16_t>(samples[i]);
        scratch[2 * i] = static_cast<uint8_t>(u);
        scratch[2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    writer.Write(scratch.data(), scratch.size());
}

struct SoxrDeleter {
    void operator()(soxr_t s) const { soxr_delete(s); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<soxr_t>, SoxrDeleter>;

// Feeds the input through, block by block; returns output frames, or -1 on failure.
int64_t Convert(CWaveFile& input, unsigned channels, unsigned bytesPerSample, uint32_t inRate, uint32_t outRate,
                WaveWriter& writer) {
    const size_t frameBytes = size_t{bytesPerSample} * channels;
    std::vector<uint8_t> raw(kBlockFrames * frameBytes);
    std::vector<int32_t> wide(kBlockFrames * channels);
    // Room for a whole block's output at the highest ratio, plus the filter's tail.
    const size_t outFrames = kBlockFrames * (outRate / inRate + 1) + 4096;
    std::vector<int16_t> out(outFrames * channels);
    std::vector<uint8_t> scratch;

    Converter converter;
    if (inRate != outRate) {
        soxr_io_spec_t io = soxr_io_spec(SOXR_INT32_I, SOXR_INT16_I);
        io.flags |= SOXR_NO_DITHER;
        // Ask for very high quality explicitly (the one-shot call would default to low).
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
        const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        converter.reset(soxr_create(inRate, outRate, channels, &error, &io, &quality, &runtime));
        if (error || !converter) return -1;
    }

    int64_t made = 0;
    size_t pending = 0;  // bytes of a partial frame carried to the next block
    bool more = true;
    while (more) {
        const size_t got = input.ReadSamples(raw.data() + pending, raw.size() - pending);
        const size_t have = pending + got;
        const size_t frames = have / frameBytes;
        more = got > 0;
        ToInt32(raw.data(), frames * channels, bytesPerSample, wide.data());
        pending = have - frames * frameBytes;
        std::copy(raw.begin() + static_cast<std::ptrdiff_t>(frames * frameBytes),
                  raw.begin() + static_cast<std::ptrdiff_t>(have), raw.begin());
        if (!converter) {
            for (size_t i = 0; i < frames * channels; ++i) out[i] = Requantise(wide[i]);
            WriteSamples(writer, out.data(), frames * channels, scratch);
            made += static_cast<int64_t>(frames);
            continue;
        }
        // At the end, a null input asks the converter for what it still holds.
        const int32_t* in = more ? wide.data() : nullptr;
        size_t offered = more ? frames : 0;
        do {
            size_t used = 0, done = 0;
            if (soxr_process(converter.get(), in, offered, &used, out.data(), outFrames, &done)) return -1;
            WriteSamples(writer, out.data(), done * channels, scratch);
            made += static_cast<int64_t>(done);
            if (in && used == 0 && done == 0) return -1;  // no progress: never spin
            if (in) in += used * channels;
            offered -= used;
            if (!in && done == 0) break;  // flushed
            if (in && offered == 0) break;
        } while (true);
    }
    return made;
}
}  // namespace

int ResampleWaveFile(const std::string& inputPath, const std::string& outputPath, uint32_t outputRate,
                     uint32_t outputBits) {
    // An output left from an earlier run must never pass for this run's result.
    std::remove(outputPath.c_str());
    if (outputBits != kSirenBitsPerSample || outputRate < kMinInputRate || outputRate > kMaxInputRate)
        return ResampleUnsupported;
    try {
        CWaveFile input;  // no port: this step shows nothing
        if (!input.Open(inputPath) || !input.Parse()) return ResampleNoInput;
        const WaveFormatRecord& format = input.Format();
        const unsigned channels = format.channels();
        const unsigned bits = format.bitsPerSample();
        const uint32_t rate = format.samplesPerSecond();
        if (channels < 1 || channels > kMaxChannels || (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
            rate < kMinInputRate || rate > kMaxInputRate)
            return ResampleUnsupported;
        if (input.DataSize() < bits / 8 * channels) return ResampleNoSamples;
        // A data chunk that claims more than the file holds is a message cut short:
        // refused, as the reader and the forecast refuse it.
        if (input.DataBytesHeld() < input.DataSize()) return ResampleNoInput;

        const WaveFormatRecord outFormat =
            WaveFormatRecord::Pcm(static_cast<uint16_t>(channels), outputRate, static_cast<uint16_t>(outputBits));
        WaveWriter writer;
        if (!writer.Create(outputPath, outFormat.bytes.data(), WaveFormatRecord::kWrittenLength))
            return ResampleWriteFailed;
        const int64_t frames = Convert(input, channels, bits / 8, rate, outputRate, writer);
        const bool written = writer.Close();
        int result = ResampleOk;
        if (frames < 0) result = ResampleFailed;
        // Too short to give a single output frame: as unusable as no samples.
        else if (frames == 0)
            result = ResampleNoSamples;
        // A cut-short message must not be taken for a whole one.
        else if (!written)
            result = ResampleWriteFailed;
        if (result != ResampleOk) std::remove(outputPath.c_str());
        return result;
    } catch (const std::bad_alloc&) {
        std::remove(outputPath.c_str());
        return ResampleFailed;
    }
}

}  // namespace zorvek
