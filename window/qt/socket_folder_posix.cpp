#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <cerrno>

#include "window/qt/single_instance.h"

namespace karuneo {
namespace {

// A folder another user could enter, or swap for a link, would let them
// take the folders a start hands over.
bool OnlyThisUserEnters(const QByteArray& folder) {
    struct stat status {};
    return ::lstat(folder.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 077) == 0;
}

QByteArray PrivateFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && OnlyThisUserEnters(runtime)) {
        return runtime;
    }
    const QByteArray own =
        QFile::encodeName(QDir::tempPath()) + "/karuneo-" + QByteArray::number(::geteuid());
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return OnlyThisUserEnters(own) ? own : QByteArray();
}

// Each display has a window of its own; its name may hold any character.
QByteArray DisplayKey() {
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty()) {
        display = qgetenv("DISPLAY");
    }
    constexpr int kLongest = 40;  // a socket's path is short
    QByteArray key;
    for (const char c : display.left(kLongest)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        key += plain ? c : '_';
    }
    return key.isEmpty() ? QByteArray("none") : key;
}

}  // namespace

QString PrivateSocketPath() {
    const QByteArray folder = PrivateFolder();
    if (folder.isEmpty()) {
        return {};
    }
    return QFile::decodeName(folder + "/karuneo-window-" + DisplayKey());
}

}  // namespace karuneo
