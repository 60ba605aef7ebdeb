// A settings file edited or damaged by hand must load as values or defaults, never crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "job/Settings.h"
#include "ui/QtSettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/zorvek-fuzz-settings-" + std::to_string(::getpid()) + ".conf";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    zorvek::JobState job;
    {
        auto store = zorvek::QtSettingsStore::AtFile(path);
        zorvek::loadSettings(job, *store);
        (void)store->ReadInt("Settings", "X", -1);
    }
    std::remove(path.c_str());
    return 0;
}
