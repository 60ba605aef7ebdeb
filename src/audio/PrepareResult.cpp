#include "audio/PrepareResult.h"

#include "job/TextFormat.h"

namespace zorvek {

std::string DescribePrepareStatus(const PrepareStatus& s) {
    // In the order of PrepareFault: what goes before the detail and after it; a
    // null prefix: the text stands alone.
    struct Words {
        const char* before;
        const char* after;
    };
    static constexpr Words kWords[] = {
        {nullptr, "Done."},
        {"Cannot read ", ""},
        {"Not an audio file this program reads (WAV, FLAC, Ogg Vorbis, MP3): ", ""},
        {"Unsupported audio: ", ""},
        {"The audio holds no samples: ", ""},
        {"The audio holds samples that are not numbers: ", ""},
        {"The audio is silent (", "); nothing to make a message of."},
        {nullptr, "There is no text to speak."},
        {"Unknown voice ", ""},
        {"Speech could not be made: ", ""},
        {"Preparing failed: ", ""},
        {"The prepared message would replace its source; choose another name: ", ""},
        {"", ""},
        {"", ""},
        {nullptr, "Cancelled."},
    };
    const Words words = EnumLookup(s.fault, kWords, Words{"", ""});
    return words.before ? words.before + s.detail + words.after : std::string(words.after);
}

}  // namespace zorvek
