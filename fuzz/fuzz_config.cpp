// Any byte string read as a configuration file: the reader never fails, and
// what it reads is written and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/ConfigFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    // The check the command-line tool makes before programming never fails either.
    (void)zorvek::ConfigTextProblem(text);
    zorvek::JobState first;
    zorvek::ParseConfig(text, first, "/base");
    // A job that cannot be saved (a path with a line break) is refused, never written.
    if (!zorvek::UnsavablePathProblem(first).empty()) return 0;
    std::string written = zorvek::FormatConfig(first);
    if (!zorvek::ConfigTextProblem(written).empty()) std::abort();
    zorvek::JobState second;
    zorvek::ParseConfig(written, second);
    if (zorvek::FormatConfig(second) != written) std::abort();
    return 0;
}
