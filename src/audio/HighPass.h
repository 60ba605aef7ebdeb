#pragma once
// A high-pass for horn loudspeakers: below a few hundred hertz a horn makes
// little sound, yet those frequencies take amplitude from the speech band.
#include "audio/MonoSignal.h"

namespace zorvek {

inline constexpr double kDefaultHighPassHz = 250.0;
inline constexpr double kMinHighPassHz = 20.0;
inline constexpr double kMaxHighPassHz = 4000.0;

// One second-order Butterworth section (RBJ cookbook, Q = 1/sqrt 2), 12 dB per octave.
class Biquad {
public:
    static Biquad HighPass(double cornerHz, double rate);
    float Process(float x) {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return static_cast<float>(y);
    }

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;  // transposed direct form II: good with floats at low corners
};

// Filters the signal in place. BadSetting when the corner is outside 20 Hz to
// 4 kHz or not below half the sample rate.
PrepareStatus ApplyHighPass(MonoSignal& signal, double cornerHz);

}  // namespace zorvek
