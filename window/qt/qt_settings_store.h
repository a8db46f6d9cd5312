#pragma once

#include <QSettings>
#include <QString>

#include "window/rules/settings_store.h"

namespace karuneo {

// The window settings in QSettings: the registry under the current user on
// Windows, an INI file in the user's configuration folder elsewhere.
class QtSettingsStore final : public SettingsStore {
  public:
    // The user's own store of this application.
    QtSettingsStore();
    // A store in the given INI file, for tests and portable set-ups.
    explicit QtSettingsStore(const QString& ini_file);

    std::string Read(std::string_view section, std::string_view key) override;
    void Write(std::string_view section, std::string_view key, std::string_view value) override;

  private:
    QSettings settings_;
};

}  // namespace karuneo
