#pragma once
// How a job would fill the flash, forecast from the WAV headers: the firmware
// and table area, one segment per distinct message, and what is left. The
// figures are those Program will meet: the same byte count as the image it
// builds, the same size rule.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/MessageForecast.h"
#include "job/JobState.h"

namespace zorvek {

struct FillSegment {
    int slot = 0;           // the first slot using the file
    int messageNumber = 0;  // the number shown to the person
    // Every slot whose row names this file, and their message numbers, ascending
    // (a file chosen for Message 1 and Message 4 is stored once).
    std::vector<int> slots;
    std::vector<int> messageNumbers;
    std::string path;
    MessageForecast forecast;
};

struct FlashFill {
    uint64_t capacity = 0;
    bool capacityAssumed = false;       // no flash identified yet: the usual size
    uint64_t headerBytes = 0;           // firmware area and message table, before the audio
    std::vector<FillSegment> messages;  // distinct files, in the image's order
    uint64_t silenceBytes = 0;          // the silent pair an unused slot takes
    uint64_t used = 0;                  // the image's length
    bool allUsable = true;              // false: Program would stop at a file
    // Program refuses an image that reaches the last address.
    bool Fits() const { return used < capacity; }
    // Playing time left (negative: how much too long), at the siren's rate.
    double SecondsFree() const;
};

using MessageForecaster = std::function<MessageForecast(const std::string& path)>;

// The job's fill of a flash of `capacity` bytes; 0 takes the identified flash
// (job.flashLastAddress + 1), or the usual 2 MiB, marked assumed, when none is.
FlashFill ForecastFlashFill(const JobState& job, const MessageForecaster& forecaster = ForecastMessage);

// "1 4": the message numbers of a segment, as its label.
std::string SegmentLabel(const FillSegment& segment);

// "612 KiB / 2048 KiB, 47.3 s free", "... (assumed)", or "..., 3.2 s too long".
std::string FlashFillSummary(const FlashFill& fill);

}  // namespace zorvek
