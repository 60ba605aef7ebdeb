#include "audio/PrepareResult.h"

namespace zorvek {

std::string DescribePrepareStatus(const PrepareStatus& s) {
    const std::string& d = s.detail;
    switch (s.fault) {
        case PrepareFault::None:
            return "Done.";
        case PrepareFault::NoFile:
            return "Cannot read " + d;
        case PrepareFault::NotAudio:
            return "Not an audio file this program reads (WAV, FLAC, Ogg Vorbis, MP3): " + d;
        case PrepareFault::Unsupported:
            return "Unsupported audio: " + d;
        case PrepareFault::ZeroLength:
            return "The audio holds no samples: " + d;
        case PrepareFault::BadSamples:
            return "The audio holds samples that are not numbers: " + d;
        case PrepareFault::Silent:
            return "The audio is silent (" + d + "); nothing to make a message of.";
        case PrepareFault::EmptyText:
            return "There is no text to speak.";
        case PrepareFault::UnknownVoice:
            return "Unknown voice " + d;
        case PrepareFault::SpeechFailed:
            return "Speech could not be made: " + d;
        case PrepareFault::Failed:
            return "Preparing failed: " + d;
        case PrepareFault::SameAsSource:
            return "The prepared message would replace its source; choose another name: " + d;
        case PrepareFault::WriteFailed:
            return d;
        case PrepareFault::BadSetting:
            return d;
        case PrepareFault::Cancelled:
            return "Cancelled.";
    }
    return d;
}

}  // namespace zorvek
