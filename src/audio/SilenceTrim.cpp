#include "audio/SilenceTrim.h"

#include <algorithm>

#include "job/TextFormat.h"

namespace zorvek {

PrepareStatus TrimSilence(MonoSignal& signal, double thresholdDbfs, double gainDb, TrimResult& result) {
    result = {};
    if (!(thresholdDbfs >= -90 && thresholdDbfs <= -10))
        return PrepareFailure(PrepareFault::BadSetting,
                              Format("The silence threshold must be from -90 to -10 dBFS, not %g.", thresholdDbfs));
    std::vector<float>& s = signal.samples;
    const size_t window = std::max<size_t>(1, static_cast<size_t>(kTrimWindowSeconds * signal.rate));
    const double limit = DbToGain(thresholdDbfs - gainDb);
    const double limitSquared = limit * limit;
    auto loud = [&](size_t start) {
        const size_t end = std::min(s.size(), start + window);
        double sum = 0;
        for (size_t i = start; i < end; ++i) sum += static_cast<double>(s[i]) * s[i];
        return sum / static_cast<double>(end - start) >= limitSquared;
    };
    const size_t windows = (s.size() + window - 1) / window;
    size_t first = windows, last = 0;
    for (size_t w = 0; w < windows; ++w)
        if (loud(w * window)) {
            first = w;
            break;
        }
    if (first == windows)
        return PrepareFailure(PrepareFault::Silent, Format("nothing reaches %.0f dBFS", thresholdDbfs));
    for (size_t w = windows; w-- > first;)
        if (loud(w * window)) {
            last = w;
            break;
        }
    const size_t margin = static_cast<size_t>(kTrimMarginSeconds * signal.rate);
    const size_t soundStart = first * window;
    const size_t soundEnd = std::min(s.size(), (last + 1) * window);
    const size_t begin = soundStart > margin ? soundStart - margin : 0;
    const size_t end = std::min(s.size(), soundEnd + margin);
    // Fade only the kept margins (below the threshold by definition), never the sound.
    for (size_t i = begin; i < soundStart; ++i)
        s[i] *= static_cast<float>(i - begin + 1) / static_cast<float>(soundStart - begin + 1);
    for (size_t i = soundEnd; i < end; ++i)
        s[i] *= static_cast<float>(end - i) / static_cast<float>(end - soundEnd + 1);
    result.removedStart = begin;
    result.removedEnd = s.size() - end;
    s.erase(s.begin() + static_cast<std::ptrdiff_t>(end), s.end());
    s.erase(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(begin));
    return PrepareStatus::Ok();
}

}  // namespace zorvek
