#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "window/qt/form1.h"
#include "window/qt/qt_settings_store.h"
#include "window/qt/single_instance.h"

namespace {

// The icon as XPM, which Qt decodes itself: an image file would make Qt load
// every image format plugin to find the decoder, at start-up.
#include "app/window/karuneo_icon.xpm"

// Full paths without a trailing "/", as a drop gives them, so that the rows'
// tool tips name the folder wherever the shell was.
std::vector<std::string> AsDropped(std::span<char*> arguments) {
    std::vector<std::string> paths;
    for (const char* argument : arguments) {
        std::error_code failed;
        const std::filesystem::path full = std::filesystem::absolute(argument, failed);
        std::string path = failed ? std::string(argument) : full.string();
        while (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KARUNEO_VERSION));
    // Lets the desktop match the window to karuneo.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("karuneo"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(kKaruneoIcon))));

    // The folders a file manager or a shell hands over, as the bytes the file
    // system knows them by; QApplication has taken its own options out.
    std::vector<std::string> paths = AsDropped(std::span(argv + 1, argv + argc));
    // A window of this user's runs already on this display: it takes them.
    karuneo::SingleInstance instance(karuneo::PrivateSocketPath());
    if (instance.Claim(paths) == karuneo::SingleInstance::Role::kHandedOver) {
        return 0;
    }

    karuneo::QtSettingsStore settings;
    karuneo::Form1 form(settings);
    instance.OnHandoff(
        [&form](std::vector<std::string> handed) { return form.TakeHandoff(std::move(handed)); });
    form.ProcessPathsWhenShown(std::move(paths));
    form.show();
    return QApplication::exec();
}
