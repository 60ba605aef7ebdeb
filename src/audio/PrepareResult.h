#pragma once
// Results of message preparation: one fault code with its detail, and the one
// function that words it for a person.
#include <string>

namespace zorvek {

enum class PrepareFault {
    None,
    NoFile,        // missing, not a regular file, or not readable
    NotAudio,      // no audio format the decoder knows
    Unsupported,   // channels, rate or length outside what is accepted
    ZeroLength,    // holds no samples
    BadSamples,    // samples that are not numbers (NaN, infinity)
    Silent,        // nothing loud enough to be a message
    EmptyText,     // text to speak is empty
    UnknownVoice,  // no such speech voice
    SpeechFailed,  // the speech synthesiser failed
    Failed,        // resampling or measuring failed (out of memory, library error)
    SameAsSource,  // the output would replace the source
    WriteFailed,   // the output could not be written
    BadSetting,    // a value outside its range
    Cancelled,
};

struct PrepareStatus {
    PrepareFault fault = PrepareFault::None;
    std::string detail;  // the file, the value, or the library's words

    bool ok() const { return fault == PrepareFault::None; }
    static PrepareStatus Ok() { return {}; }
};

inline PrepareStatus PrepareFailure(PrepareFault fault, std::string detail) {
    return PrepareStatus{fault, std::move(detail)};
}

// One sentence (or two) for a person: what went wrong and with what.
std::string DescribePrepareStatus(const PrepareStatus& status);

}  // namespace zorvek
