// Arbitrary bytes as a WAV file: reading, every conversion, and the resampler.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/MessageForecast.h"
#include "audio/Resampler.h"
#include "audio/WaveFile.h"
#include "job/SilentUserPort.h"

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/zorvek-fuzz-wave-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made) + "/";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = Folder() + "output0.wav";
    const std::string output = Folder() + "resampled.wav";
    if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }

    zorvek::SilentUserPort port;
    zorvek::CWaveFile wave(&port);
    wave.SetMessageNumber(3);
    if (wave.Open(input) && wave.Parse()) {
        const int read = wave.ReadData();
        // Never more samples than the file could hold.
        if (wave.DataSize() > size) std::abort();
        if (!read && port.messages == 0) std::abort();
    } else if (port.messages != 1) {
        std::abort();  // every failure gives exactly its one message
    }
    if (port.emptyMessages != 0) std::abort();  // a box without a word
    std::string channels, rate, bits, samples;
    wave.DescribeFormat(channels, rate, bits, samples);
    wave.ToMono();
    wave.ReduceTo12Bit();
    wave.MakeEvenLength();
    wave.Pack12Bit();
    if (wave.DataSize() < 3 || wave.DataSize() % 3 != 0 || wave.Samples() == nullptr) std::abort();

    // The header-only forecast reads the same file and must never fail loudly.
    const zorvek::MessageForecast forecast = zorvek::ForecastMessage(input);
    if (forecast.usable && (forecast.packedBytes < 3 || forecast.packedBytes % 3 != 0)) std::abort();

    // The resampler takes the same file as its input; it must either write a
    // parsable 16-bit file or nothing at all.
    if (zorvek::ResampleWaveFile(input, output) == zorvek::ResampleOk) {
        zorvek::CWaveFile back;
        if (!back.Open(output) || !back.Parse() || !back.ReadData() || back.Format().bitsPerSample() != 16)
            std::abort();
        // Whatever the resampler made, the forecast knew its length from the header.
        const uint64_t frames = back.DataSize() / 2 / back.Format().channels();
        if (!forecast.usable || forecast.convertedSamples != frames) std::abort();
    } else if (std::FILE* f = std::fopen(output.c_str(), "rb")) {
        std::fclose(f);
        std::abort();
    }
    return 0;
}
