#pragma once
// A message as the siren will sound: the file taken through the same steps as
// programming (first channel, 22010 samples/s, 12 bits, whole pairs) and the
// packed codes unpacked again, ready for a sound card.
#include <cstdint>
#include <string>
#include <vector>

namespace zorvek {

struct MessagePreview {
    std::vector<int16_t> samples;  // at kSirenSampleRate, mono
    std::string problem;           // why there are none, for the person
};

// Converts `path` in a private temporary folder (removed again). Shows nothing;
// safe to call from any thread.
MessagePreview PreviewMessage(const std::string& path);

}  // namespace zorvek
