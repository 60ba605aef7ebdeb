#include "image/FlashFill.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/Resampler.h"
#include "image/FlashImage.h"
#include "job/FlashChips.h"
#include "job/SlotTable.h"
#include "job/TextFormat.h"
#include "job/Translate.h"

namespace zorvek {

double FlashFill::SecondsFree() const {
    // Room up to the last address Program accepts, two samples in three bytes.
    const double room = static_cast<double>(capacity) - 1.0 - static_cast<double>(used);
    return room * 2.0 / 3.0 / kSirenSampleRate;
}

FlashFill ForecastFlashFill(const JobState& job, const MessageForecaster& forecaster) {
    FlashFill fill;
    fill.capacityAssumed = job.flashLastAddress == 0;
    fill.capacity = fill.capacityAssumed ? kDefaultFlashSize : uint64_t{job.flashLastAddress} + 1;
    fill.headerBytes = kAudioStart;
    fill.used = kAudioStart;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!IsDistinctSlot(job, slot)) continue;
        const std::string& path = job.slot(slot).wavPath;
        if (path.empty()) {
            fill.silenceBytes = PackedLengthOf(0);
            fill.used += fill.silenceBytes;
            continue;
        }
        FillSegment segment{slot, slotInfo(slot).messageNumber, {}, {}, path, forecaster(path)};
        for (int other = slot; other <= kSlotCount; ++other) {
            if (job.slot(other).wavPath != path) continue;
            segment.slots.push_back(other);
            segment.messageNumbers.push_back(slotInfo(other).messageNumber);
        }
        std::sort(segment.messageNumbers.begin(), segment.messageNumbers.end());
        if (!segment.forecast.usable) fill.allUsable = false;
        fill.used += segment.forecast.packedBytes;
        fill.messages.push_back(std::move(segment));
    }
    return fill;
}

std::string SegmentLabel(const FillSegment& segment) {
    std::string label;
    for (int number : segment.messageNumbers) label += (label.empty() ? "" : " ") + std::to_string(number);
    return label.empty() ? std::to_string(segment.messageNumber) : label;
}

std::string FlashFillSummary(const FlashFill& fill) {
    const double free = fill.SecondsFree();
    const auto kib = [](uint64_t bytes) { return static_cast<unsigned long long>((bytes + 1023) / 1024); };
    std::string text = Format(ZT("%llu KiB / %llu KiB"), kib(fill.used), kib(fill.capacity));
    if (fill.capacityAssumed) text = Format(ZT("%s (assumed)"), text.c_str());
    return fill.Fits() ? Format(ZT("%s, %.1f s free"), text.c_str(), std::fabs(free))
                       : Format(ZT("%s, %.1f s too long"), text.c_str(), std::fabs(free));
}

}  // namespace zorvek
