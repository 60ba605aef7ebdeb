#include "audio/MonoSignal.h"

#include <soxr.h>

namespace zorvek {

PrepareStatus ResampleSignal(MonoSignal& signal, uint32_t rate) {
    if (signal.rate == rate) return PrepareStatus::Ok();
    if (signal.rate == 0 || rate == 0) return PrepareFailure(PrepareFault::Failed, "no sample rate");
    const double ratio = static_cast<double>(rate) / signal.rate;
    std::vector<float> out(static_cast<size_t>(static_cast<double>(signal.samples.size()) * ratio + 16));
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    size_t used = 0, done = 0;
    soxr_error_t error = soxr_oneshot(signal.rate, rate, 1, signal.samples.data(), signal.samples.size(), &used,
                                      out.data(), out.size(), &done, &io, &quality, nullptr);
    if (error) return PrepareFailure(PrepareFault::Failed, std::string("resampling: ") + error);
    out.resize(done);
    signal.samples = std::move(out);
    signal.rate = rate;
    if (signal.samples.empty()) return PrepareFailure(PrepareFault::ZeroLength, "too short to resample");
    return PrepareStatus::Ok();
}

}  // namespace zorvek
