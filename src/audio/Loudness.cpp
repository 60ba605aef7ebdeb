#include "audio/Loudness.h"

#include <ebur128.h>

#include <algorithm>

namespace zorvek {

LoudnessMeter::LoudnessMeter(unsigned channels, uint32_t rate) : channels_(channels), rate_(rate) {
    state_ = ebur128_init(channels, rate, EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK | EBUR128_MODE_SAMPLE_PEAK);
    // One channel is a mono message played by one loudspeaker: weight 1, as the meters take it.
}

LoudnessMeter::~LoudnessMeter() {
    if (state_) ebur128_destroy(&state_);
}

void LoudnessMeter::Add(const float* frames, size_t frameCount) {
    if (!state_ || frameCount == 0) return;
    ok_ = ok_ && ebur128_add_frames_float(state_, frames, frameCount) == EBUR128_SUCCESS;
    frames_ += frameCount;
}

SignalStats LoudnessMeter::Result() const {
    SignalStats s;
    s.seconds = rate_ ? static_cast<double>(frames_) / rate_ : 0.0;
    if (!state_) return s;
    double loudness = 0;
    if (ebur128_loudness_global(state_, &loudness) == EBUR128_SUCCESS) s.loudness = loudness;
    double truePeak = 0, samplePeak = 0;
    for (unsigned c = 0; c < channels_; ++c) {
        double v = 0;
        if (ebur128_true_peak(state_, c, &v) == EBUR128_SUCCESS) truePeak = std::max(truePeak, v);
        if (ebur128_sample_peak(state_, c, &v) == EBUR128_SUCCESS) samplePeak = std::max(samplePeak, v);
    }
    s.truePeak = GainToDb(std::max(truePeak, samplePeak));
    s.samplePeak = GainToDb(samplePeak);
    return s;
}

bool MeasureSignal(const MonoSignal& signal, SignalStats& stats) {
    LoudnessMeter meter(1, signal.rate);
    if (!meter.ok()) return false;
    meter.Add(signal.samples.data(), signal.samples.size());
    if (!meter.ok()) return false;
    stats = meter.Result();
    return true;
}

}  // namespace zorvek
