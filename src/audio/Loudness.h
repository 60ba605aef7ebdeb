#pragma once
// Loudness as EBU R128 / ITU-R BS.1770 measures it, through libebur128:
// integrated loudness (gated), true peak (4x oversampled) and sample peak.
#include <ebur128.h>

#include <cstddef>

#include "audio/MonoSignal.h"

namespace zorvek {

class LoudnessMeter {
public:
    // False from ok() when the library refuses the format or memory runs out.
    LoudnessMeter(unsigned channels, uint32_t rate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    bool ok() const { return state_ != nullptr && ok_; }
    // Interleaved frames, full scale +-1.
    void Add(const float* frames, size_t frameCount);
    // The figures of everything added; `seconds` from the frames added.
    SignalStats Result() const;

private:
    ebur128_state* state_ = nullptr;
    unsigned channels_;
    uint32_t rate_;
    uint64_t frames_ = 0;
    bool ok_ = true;
};

// The figures of a whole mono signal; false only when the meter fails.
bool MeasureSignal(const MonoSignal& signal, SignalStats& stats);

}  // namespace zorvek
