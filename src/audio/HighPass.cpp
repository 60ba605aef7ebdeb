#include "audio/HighPass.h"

#include <numbers>

#include "job/TextFormat.h"

namespace zorvek {

Biquad Biquad::HighPass(double cornerHz, double rate) {
    const double w0 = 2 * std::numbers::pi * cornerHz / rate;
    const double cosw = std::cos(w0);
    const double alpha = std::sin(w0) / std::numbers::sqrt2;  // sin(w0) / 2Q
    const double a0 = 1 + alpha;
    Biquad f;
    f.b0_ = (1 + cosw) / 2 / a0;
    f.b1_ = -(1 + cosw) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2 * cosw / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

PrepareStatus ApplyHighPass(MonoSignal& signal, double cornerHz) {
    if (!(cornerHz >= kMinHighPassHz && cornerHz <= kMaxHighPassHz) || cornerHz >= signal.rate / 2.0)
        return PrepareFailure(PrepareFault::BadSetting,
                              Format("The high-pass corner must be from 20 to 4000 Hz, not %g Hz.", cornerHz));
    Biquad filter = Biquad::HighPass(cornerHz, signal.rate);
    for (float& s : signal.samples) s = filter.Process(s);
    return PrepareStatus::Ok();
}

}  // namespace zorvek
