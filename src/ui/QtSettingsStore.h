#pragma once
// SettingsStore on QSettings: ~/.config/Zorvek/<program name>.conf (INI).
#include <memory>
#include <string>

#include "job/SettingsStore.h"

class QSettings;

namespace zorvek {

class QtSettingsStore : public SettingsStore {
public:
    // The per-user store of organisation "Zorvek" and this application name.
    explicit QtSettingsStore(const std::string& applicationName);
    // A store in an explicit INI file (tests, portable use).
    static std::unique_ptr<QtSettingsStore> AtFile(const std::string& iniPath);
    ~QtSettingsStore() override;

    int32_t ReadInt(const std::string& section, const std::string& key, int32_t defaultValue) override;
    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultValue) override;
    void WriteInt(const std::string& section, const std::string& key, int32_t value) override;
    void WriteText(const std::string& section, const std::string& key, const std::string& value) override;
    // Writes pending changes to disk now.
    void Sync();
    std::string FileName() const;

private:
    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings_;
};

// The program file's name without its extension, from argv[0].
std::string programNameFromPath(const std::string& argv0);

}  // namespace zorvek
