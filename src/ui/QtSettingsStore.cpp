#include "ui/QtSettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

namespace zorvek {
namespace {

QString key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + QLatin1Char('/') + QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore(const std::string& applicationName)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Zorvek"),
                                            QString::fromStdString(applicationName))) {}

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {}

std::unique_ptr<QtSettingsStore> QtSettingsStore::AtFile(const std::string& iniPath) {
    return std::unique_ptr<QtSettingsStore>(new QtSettingsStore(
        std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)));
}

QtSettingsStore::~QtSettingsStore() { settings_->sync(); }

int32_t QtSettingsStore::ReadInt(const std::string& section, const std::string& name, int32_t defaultValue) {
    const QVariant value = settings_->value(key(section, name));
    if (!value.isValid()) return defaultValue;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < INT32_MIN || number > INT32_MAX) return defaultValue;
    return static_cast<int32_t>(number);
}

std::string QtSettingsStore::ReadText(const std::string& section, const std::string& name,
                                      const std::string& defaultValue) {
    const QVariant value = settings_->value(key(section, name));
    if (!value.isValid() || !value.canConvert<QString>()) return defaultValue;
    return value.toString().toStdString();
}

void QtSettingsStore::WriteInt(const std::string& section, const std::string& name, int32_t value) {
    settings_->setValue(key(section, name), value);
}

void QtSettingsStore::WriteText(const std::string& section, const std::string& name, const std::string& value) {
    settings_->setValue(key(section, name), QString::fromStdString(value));
}

void QtSettingsStore::Sync() { settings_->sync(); }

std::string QtSettingsStore::FileName() const { return settings_->fileName().toStdString(); }

std::string programNameFromPath(const std::string& argv0) {
    const QString base = QFileInfo(QString::fromStdString(argv0)).completeBaseName();
    return base.isEmpty() ? std::string("zorvek-programmer") : base.toStdString();
}

}  // namespace zorvek
