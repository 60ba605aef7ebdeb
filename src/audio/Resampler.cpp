#include "audio/Resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "audio/WaveFile.h"

namespace zorvek {

namespace {
constexpr unsigned kMaxChannels = 8;

// Left-justifies every sample in 32 bits so that all depths share one path.
std::vector<int32_t> ToInt32(const uint8_t* p, size_t samples, unsigned bytesPerSample) {
    std::vector<int32_t> out(samples);
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
    return out;
}

// Same rate: only the depth changes. Rounds half upward and clamps, so a
// 16-bit input comes out bit for bit.
std::vector<int16_t> Requantise(const std::vector<int32_t>& in) {
    std::vector<int16_t> out(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        const int64_t rounded = (int64_t{in[i]} + 0x8000) >> 16;
        out[i] = static_cast<int16_t>(std::clamp<int64_t>(rounded, -32768, 32767));
    }
    return out;
}

bool Resample(const std::vector<int32_t>& in, size_t frames, unsigned channels, uint32_t inRate, uint32_t outRate,
              std::vector<int16_t>& out) {
    // The output length is the input length scaled by the rate ratio; one
    // extra frame of room lets the converter give its rounded count.
    const size_t capacity = static_cast<size_t>(static_cast<double>(frames) * outRate / inRate) + 2;
    out.assign(capacity * channels, 0);
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT32_I, SOXR_INT16_I);
    io.flags |= SOXR_NO_DITHER;
    // The one-shot call defaults to low quality: ask for very high quality.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    size_t used = 0;
    size_t made = 0;
    const soxr_error_t error = soxr_oneshot(inRate, outRate, channels, in.data(), frames, &used, out.data(),
                                            capacity, &made, &io, &quality, &runtime);
    if (error) return false;
    out.resize(made * channels);
    return true;
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
        input.ReadData();  // a short file still gives what it holds
        const WaveFormatRecord& format = input.Format();
        const unsigned channels = format.channels();
        const unsigned bits = format.bitsPerSample();
        const uint32_t rate = format.samplesPerSecond();
        if (channels < 1 || channels > kMaxChannels || (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
            rate < kMinInputRate || rate > kMaxInputRate)
            return ResampleUnsupported;
        const unsigned bytesPerSample = bits / 8;
        const size_t frames = input.DataSize() / (bytesPerSample * channels);
        if (frames == 0 || input.Samples() == nullptr) return ResampleNoSamples;

        std::vector<int32_t> wide = ToInt32(input.Samples(), frames * channels, bytesPerSample);
        input.Release();
        std::vector<int16_t> out;
        if (rate == outputRate) {
            out = Requantise(wide);
        } else if (!Resample(wide, frames, channels, rate, outputRate, out)) {
            return ResampleFailed;
        }
        wide = {};
        // Too short to give a single output frame: as unusable as no samples.
        if (out.empty()) return ResampleNoSamples;

        // Little-endian bytes, whatever the host.
        std::vector<uint8_t> bytes(out.size() * 2);
        for (size_t i = 0; i < out.size(); ++i) {
            const auto u = static_cast<uint16_t>(out[i]);
            bytes[2 * i] = static_cast<uint8_t>(u);
            bytes[2 * i + 1] = static_cast<uint8_t>(u >> 8);
        }
        if (bytes.size() > 0xFFFFFFFFu - 64) return ResampleFailed;
        const WaveFormatRecord outFormat =
            WaveFormatRecord::Pcm(static_cast<uint16_t>(channels), outputRate, static_cast<uint16_t>(outputBits));
        if (!CWaveFile::WriteWaveFile(outputPath, bytes.data(), static_cast<uint32_t>(bytes.size()),
                                      outFormat.bytes.data(), WaveFormatRecord::kWrittenLength)) {
            // A cut-short message must not be taken for a whole one.
            std::remove(outputPath.c_str());
            return ResampleWriteFailed;
        }
        return ResampleOk;
    } catch (const std::bad_alloc&) {
        return ResampleFailed;
    }
}

}  // namespace zorvek
