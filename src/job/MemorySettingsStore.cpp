#include "job/SettingsStore.h"

namespace zorvek {

int32_t MemorySettingsStore::ReadInt(const std::string& section, const std::string& key, int32_t defaultValue) {
    auto it = values_.find({section, key});
    if (it == values_.end() || !it->second.isInt) return defaultValue;
    return it->second.number;
}

std::string MemorySettingsStore::ReadText(const std::string& section, const std::string& key,
                                          const std::string& defaultValue) {
    auto it = values_.find({section, key});
    if (it == values_.end() || it->second.isInt) return defaultValue;
    return it->second.text;
}

void MemorySettingsStore::WriteInt(const std::string& section, const std::string& key, int32_t value) {
    values_[{section, key}] = Value{true, value, {}};
    writeLog_.push_back(key);
}

void MemorySettingsStore::WriteText(const std::string& section, const std::string& key, const std::string& value) {
    values_[{section, key}] = Value{false, 0, value};
    writeLog_.push_back(key);
}

bool MemorySettingsStore::Contains(const std::string& section, const std::string& key) const {
    return values_.count({section, key}) != 0;
}

}  // namespace zorvek
