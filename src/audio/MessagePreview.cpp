#include "audio/MessagePreview.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "audio/MessageForecast.h"
#include "audio/Resampler.h"
#include "audio/TwelveBit.h"
#include "audio/WaveFile.h"
#include "job/SafeFiles.h"
#include "job/Translate.h"

namespace zorvek {

namespace fs = std::filesystem;

namespace {
// A folder of its own, so previews never meet a programming run's fixed file names.
class ScratchFolder {
public:
    ScratchFolder() : path_(MakePrivateFolder(TemporaryFolder(), "zorvek-listen-")) {}
    ~ScratchFolder() {
        if (!path_.empty()) RemovePrivateFolder(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
}  // namespace

MessagePreview PreviewMessage(const std::string& path) {
    MessagePreview preview;
    const MessageForecast forecast = ForecastMessage(path);
    if (!forecast.usable) {
        preview.problem = forecast.problem;
        return preview;
    }
    ScratchFolder scratch;
    if (scratch.path().empty()) {
        preview.problem = ZT("No temporary folder could be made.");
        return preview;
    }
    // The steps of programming, in its order.
    CWaveFile source;
    if (!source.Open(path) || !source.Parse()) {
        preview.problem = ZT("The file cannot be read.");
        return preview;
    }
    if (!source.ReadData()) {
        preview.problem = "The file cannot be read.";
        return preview;
    }
    source.ToMono();
    const std::string mono = scratch.path() + "mono.wav";
    const std::string resampled = scratch.path() + "resampled.wav";
    CWaveFile::WriteWaveFile(mono, source.Samples(), source.DataSize(), source.Format().bytes.data(),
                             WaveFormatRecord::kWrittenLength);
    source.Release();
    if (ResampleWaveFile(mono, resampled) != ResampleOk) {
        preview.problem = ZT("The file could not be converted.");
        return preview;
    }
    CWaveFile converted;
    if (!converted.Open(resampled) || !converted.Parse() || !converted.ReadData()) {
        preview.problem = ZT("The file could not be converted.");
        return preview;
    }
    converted.ReduceTo12Bit();
    converted.MakeEvenLength();
    converted.Pack12Bit();
    preview.samples = Unpack12Bit({converted.Samples(), converted.DataSize()});
    return preview;
}

}  // namespace zorvek
