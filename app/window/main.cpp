#include <QApplication>
#include <QIcon>

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
    form.show();
    return QApplication::exec();
}
