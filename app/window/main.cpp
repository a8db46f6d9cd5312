#include <QApplication>
#include <QIcon>
#include <string>
#include <vector>

#include "window/qt/form1.h"
#include "window/qt/qt_settings_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KARUNEO_VERSION));
    // Lets the desktop match the window to karuneo.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("karuneo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/karuneo.png")));

    karuneo::QtSettingsStore settings;
    karuneo::Form1 form(settings);
    // The folders a file manager or a shell hands over, as the bytes the file
    // system knows them by; QApplication has taken its own options out.
    form.ProcessPathsWhenShown(std::vector<std::string>(argv + 1, argv + argc));
    form.show();
    return QApplication::exec();
}
