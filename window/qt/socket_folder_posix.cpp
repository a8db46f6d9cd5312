#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <array>
#include <cerrno>
#include <string>

#include "window/qt/single_instance.h"
#include "window/rules/display_key.h"

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

// Each display has a window of its own, whichever way a start spells it.
QByteArray DisplayKeyOfThisStart() {
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray x = qgetenv("DISPLAY");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) != 0) {
        host[0] = '\0';
    }
    const std::string key =
        DisplayKey({wayland.toStdString(), x.toStdString(), host.data(), runtime.toStdString()});
    return QByteArray::fromStdString(key);
}

}  // namespace

QString PrivateSocketPath() {
    const QByteArray folder = PrivateFolder();
    if (folder.isEmpty()) {
        return {};
    }
    return QFile::decodeName(folder + "/karuneo-window-" + DisplayKeyOfThisStart());
}

}  // namespace karuneo
