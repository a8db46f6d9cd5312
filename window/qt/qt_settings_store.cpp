#include "window/qt/qt_settings_store.h"

#include "results/qt/utf8_text.h"
#include "window/qt/settings_organization.h"
#include "window/rules/window_settings.h"

namespace karuneo {
namespace {

QString KeyPath(std::string_view section, std::string_view key) {
    return FromUtf8(section) + QLatin1Char('/') + FromUtf8(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, FromUtf8(kSettingsOrganization),
                FromUtf8(kSettingsApplication)) {}

QtSettingsStore::QtSettingsStore(const QString& ini_file)
    : settings_(ini_file, QSettings::IniFormat) {}

std::string QtSettingsStore::Read(std::string_view section, std::string_view key) {
    return settings_.value(KeyPath(section, key)).toString().toStdString();
}

void QtSettingsStore::Write(std::string_view section, std::string_view key,
                            std::string_view value) {
    // Every sizing pass and move writes, mostly what is stored already; each
    // real change makes QSettings rewrite its file, at start-up too.
    const QString path = KeyPath(section, key);
    const QString text = FromUtf8(value);
    if (settings_.value(path) != text) {
        settings_.setValue(path, text);
    }
}

}  // namespace karuneo
