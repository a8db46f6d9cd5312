#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "window/qt/end_requests.h"
#include "window/qt/form1.h"
#include "window/qt/qt_settings_store.h"
#include "window/qt/single_instance.h"
#include "window/rules/start_up_path.h"

namespace {

// The icon as XPM, which Qt decodes itself: an image file would make Qt load
// every image format plugin to find the decoder, at start-up.
#include "app/window/karuneo_icon.xpm"

std::vector<std::string> AsDropped(std::span<char*> arguments) {
    std::vector<std::string> paths;
    for (const char* argument : arguments) {
        paths.push_back(karuneo::StartUpPath(argument));
    }
    return paths;
}

constexpr std::string_view kUsage =
    "Usage: karuneo [FOLDER...]\n"
    "       karuneo --help | --version\n"
    "Opens the window カルネオソフト. Folders dropped on it, or named here, are\n"
    "flattened one after the other: a FOLDER that holds nothing but a chain of\n"
    "single subfolders gets the contents of the deepest folder moved up into it,\n"
    "and the emptied chain is removed; each gets one row. When a window of this\n"
    "user runs already on this display, the FOLDERs are handed to it instead.\n"
    "Every run keeps a journal in the user's state folder: a row's menu item\n"
    "元に戻す undoes its run, and a run that was cut off is finished when the\n"
    "window starts. karuneo-cli does the same in a terminal.\n"
    "\n"
    "  --             what follows is a FOLDER, even when it starts with -.\n"
    "  -h, --help     print this and exit.\n"
    "  --version      print the version and exit.\n"
    "Qt's own options (-platform, -display, -style...) are taken as well.\n";

// Answered before Qt starts, so that they need no display; nothing after
// "--" is an option.
std::optional<int> AnswerAtOnce(std::span<char*> arguments) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "karuneo " KARUNEO_VERSION "\n";
            return 0;
        }
    }
    return std::nullopt;
}

// What QApplication leaves of the arguments, after "--" dropped once.
std::span<char*> Folders(int argc, char** argv) {
    std::span<char*> rest(argv + 1, argv + argc);
    if (!rest.empty() && std::string_view(rest.front()) == "--") {
        rest = rest.subspan(1);
    }
    return rest;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = AnswerAtOnce(std::span(argv + 1, argv + argc))) {
        return *answered;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(KARUNEO_VERSION));
    // Lets the desktop match the window to karuneo.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("karuneo"));
    // The installed icon theme has karuneo at every size; run from the build
    // folder, the bundled one stands in.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("karuneo"),
                                                 QIcon(QPixmap::fromImage(QImage(kKaruneoIcon)))));

    // The folders a file manager or a shell hands over, as the bytes the file
    // system knows them by; QApplication has taken its own options out.
    std::vector<std::string> paths = AsDropped(Folders(argc, argv));
    // A window of this user's runs already on this display: it takes them.
    karuneo::SingleInstance instance(karuneo::PrivateSocketPath());
    if (instance.Claim(paths) == karuneo::SingleInstance::Role::kHandedOver) {
        return 0;
    }

    karuneo::QtSettingsStore settings;
    karuneo::Form1 form(settings);
    instance.OnHandoff(
        [&form](std::vector<std::string> handed) { return form.TakeHandoff(std::move(handed)); });
    karuneo::CloseOnEndRequests(form);
    form.ProcessPathsWhenShown(std::move(paths));
    form.show();
    return QApplication::exec();
}
