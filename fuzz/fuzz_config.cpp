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
    zorvek::JobState first;
    zorvek::ParseConfig(text, first, "/base");
    std::string written = zorvek::FormatConfig(first);
    zorvek::JobState second;
    zorvek::ParseConfig(written, second);
    if (zorvek::FormatConfig(second) != written) std::abort();
    return 0;
}
