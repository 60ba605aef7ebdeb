#include "audio/MessageForecast.h"
#include "job/TextFormat.h"
#include "job/Translate.h"

#include "audio/Resampler.h"
#include "audio/WaveFile.h"

namespace zorvek {

uint64_t ConvertedFrameCount(uint64_t inputFrames, uint32_t inputRate) {
    if (inputRate == 0) return 0;
    if (inputRate == kSirenSampleRate) return inputFrames;  // passed through sample for sample
    // Below 2^32 frames the products stay far inside 64 bits.
    return (2 * inputFrames * kSirenSampleRate + inputRate) / (2 * uint64_t{inputRate});
}

uint64_t PackedLengthOf(uint64_t samples) {
    // An odd last sample is dropped; without a whole pair the silent pair stands in.
    const uint64_t pairs = samples / 2;
    return pairs == 0 ? 3 : pairs * 3;
}

MessageForecast ForecastFromFormat(const WaveFormatRecord& format, uint64_t dataBytesHeld) {
    MessageForecast forecast;
    // The first stage keeps the first channel: the byte count shrinks by the channel count.
    const unsigned channels = format.channels();
    const uint64_t monoBytes = channels >= 2 ? dataBytesHeld / channels : dataBytesHeld;
    const unsigned bits = format.bitsPerSample();
    const uint32_t rate = format.samplesPerSecond();
    if (channels == 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
        forecast.problem = ZT("Only 8-, 16-, 24- or 32-bit PCM can be converted.");
        return forecast;
    }
    if (rate < kMinInputRate || rate > kMaxInputRate) {
        forecast.problem = Format(ZT("The sample rate must be from %u to %u samples/s."),
                                  static_cast<unsigned>(kMinInputRate), static_cast<unsigned>(kMaxInputRate));
        return forecast;
    }
    const uint64_t frames = monoBytes / (bits / 8);
    forecast.convertedSamples = ConvertedFrameCount(frames, rate);
    if (forecast.convertedSamples == 0) {
        forecast.problem = ZT("The file is too short to give a single sample.");
        return forecast;
    }
    forecast.usable = true;
    forecast.packedBytes = PackedLengthOf(forecast.convertedSamples);
    return forecast;
}

MessageForecast ForecastMessage(const std::string& path) {
    CWaveFile wave;  // no port: a forecast shows nothing
    if (!wave.Open(path)) {
        MessageForecast forecast;
        forecast.problem = ZT("The file cannot be opened.");
        return forecast;
    }
    if (!wave.Parse()) {
        MessageForecast forecast;
        forecast.problem = ZT("The file is not an uncompressed PCM WAV file.");
        return forecast;
    }
    if (wave.DataBytesHeld() < wave.DataSize()) {
        // Program refuses a message cut short, so the gauge counts none of it.
        MessageForecast forecast;
        forecast.problem = "The file is cut short: its data chunk claims more than the file holds.";
        return forecast;
    }
    return ForecastFromFormat(wave.Format(), wave.DataBytesHeld());
}

}  // namespace zorvek
