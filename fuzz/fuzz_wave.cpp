// Arbitrary bytes as a WAV file: reading, every conversion, and the resampler.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "audio/Resampler.h"
#include "audio/WaveFile.h"
#include "job/UserPort.h"

namespace {

class CountingPort : public zorvek::UserPort {
public:
    void ShowMessage(const std::string& text, const std::string&, zorvek::MessageIcon) override {
        if (text.empty()) std::abort();
        ++shown;
    }
    bool AskYesNo(const std::string&, const std::string&, zorvek::MessageIcon) override { return false; }
    std::optional<std::string> ChooseOpenFile(const zorvek::FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> ChooseSaveFile(const zorvek::FileDialogSpec&) override { return std::nullopt; }
    void exchangeToWindow() override {}
    void ShowFirmwareBanner(bool) override {}
    void ShowDip32ToneIndicator(bool) override {}
    std::unique_ptr<zorvek::ProgressPort> MakeProgress(const std::string&, bool) override { return nullptr; }
    int shown = 0;
};

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

    CountingPort port;
    zorvek::CWaveFile wave(&port);
    wave.SetMessageNumber(3);
    if (wave.Open(input) && wave.Parse()) {
        const int read = wave.ReadData();
        // Never more samples than the file could hold.
        if (wave.DataSize() > size) std::abort();
        if (!read && port.shown == 0) std::abort();
    } else if (port.shown != 1) {
        std::abort();  // every failure gives exactly its one message
    }
    std::string channels, rate, bits, samples;
    wave.DescribeFormat(channels, rate, bits, samples);
    wave.ToMono();
    wave.ReduceTo12Bit();
    wave.MakeEvenLength();
    wave.Pack12Bit();
    if (wave.DataSize() < 3 || wave.DataSize() % 3 != 0 || wave.Samples() == nullptr) std::abort();

    // The resampler takes the same file as its input; it must either write a
    // parsable 16-bit file or nothing at all.
    if (zorvek::ResampleWaveFile(input, output) == zorvek::ResampleOk) {
        zorvek::CWaveFile back;
        if (!back.Open(output) || !back.Parse() || !back.ReadData() || back.Format().bitsPerSample() != 16)
            std::abort();
    } else if (std::FILE* f = std::fopen(output.c_str(), "rb")) {
        std::fclose(f);
        std::abort();
    }
    return 0;
}
