#pragma once
// Per-user key-value store for settings, addressed by section and key.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zorvek {

inline constexpr const char* kSettingsSection = "Settings";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // A missing key, or one that does not hold the right type, reads as the default.
    virtual int32_t ReadInt(const std::string& section, const std::string& key, int32_t defaultValue) = 0;
    virtual std::string ReadText(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) = 0;
    // Write failures are the store's own business; callers do not act on them.
    virtual void WriteInt(const std::string& section, const std::string& key, int32_t value) = 0;
    virtual void WriteText(const std::string& section, const std::string& key, const std::string& value) = 0;
};

// A store in memory: for tests and for runs that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
public:
    struct Value {
        bool isInt = false;
        int32_t number = 0;
        std::string text;
    };

    int32_t ReadInt(const std::string& section, const std::string& key, int32_t defaultValue) override;
    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& key, int32_t value) override;
    void WriteText(const std::string& section, const std::string& key, const std::string& value) override;

    bool Contains(const std::string& section, const std::string& key) const;
    const std::map<std::pair<std::string, std::string>, Value>& Values() const { return values_; }
    // Keys in the order they were last written, for tests of write order.
    const std::vector<std::string>& WriteLog() const { return writeLog_; }
    void ClearWriteLog() { writeLog_.clear(); }

private:
    std::map<std::pair<std::string, std::string>, Value> values_;
    std::vector<std::string> writeLog_;
};

}  // namespace zorvek
