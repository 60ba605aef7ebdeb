// Our own key and value handling of the settings: whatever each key holds (text of
// any bytes, any number, or nothing), loading never fails, and what it loaded is
// saved and loaded back unchanged. (Qt's own file parsing is not ours to fuzz.)
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "job/Settings.h"
#include "job/SettingsStore.h"

namespace {

// Answers each read from the next bytes of the input: a tag, then a number or a text.
class FuzzedStore : public zorvek::SettingsStore {
public:
    FuzzedStore(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int32_t ReadInt(const std::string&, const std::string&, int32_t defaultValue) override {
        if (Byte() % 3 == 0) return defaultValue;
        int32_t value = 0;
        for (int i = 0; i < 4; ++i) value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | Byte());
        return value;
    }
    std::string ReadText(const std::string&, const std::string&, const std::string& defaultValue) override {
        if (Byte() % 3 == 0) return defaultValue;
        std::string text;
        for (size_t n = Byte(); n > 0 && at_ < size_; --n) text += static_cast<char>(Byte());
        return text;
    }
    void WriteInt(const std::string&, const std::string&, int32_t) override {}
    void WriteText(const std::string&, const std::string&, const std::string&) override {}

private:
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zorvek::JobState first;
    FuzzedStore fuzzed(data, size);
    zorvek::loadSettings(first, fuzzed);
    zorvek::MemorySettingsStore memory;
    zorvek::saveAllSettings(first, memory);
    zorvek::JobState second;
    zorvek::loadSettings(second, memory);
    zorvek::MemorySettingsStore again;
    zorvek::saveAllSettings(second, again);
    if (again.Values().size() != memory.Values().size()) std::abort();
    for (const auto& [key, value] : memory.Values()) {
        const auto& other = again.Values().at(key);
        if (other.isInt != value.isInt || other.number != value.number || other.text != value.text) std::abort();
    }
    return 0;
}
