#include "window/qt/single_instance.h"

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtGlobal>
#include <exception>
#include <memory>
#include <string_view>

#include "window/rules/handoff_message.h"

namespace karuneo {
namespace {

constexpr char kTaken = 1;
constexpr char kRefused = 0;
// A dead window's socket refuses at once; a live one answers within this.
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 5000;
// Two starts at the same moment: the second waits for the first to serve.
constexpr int kLockMs = 10000;
// Far beyond any list of folders a desktop hands over.
constexpr qsizetype kLongestMessage = 64 * 1024 * 1024;

}  // namespace

SingleInstance::SingleInstance(QString socket_path) : socket_path_(std::move(socket_path)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::Claim(const std::vector<std::string>& paths) {
    if (socket_path_.isEmpty()) {
        return Role::kWindow;
    }
    // Listening, connecting and clearing a dead window's socket are one step
    // for each start: otherwise a start could clear the socket another one
    // has just begun to serve, and both would open a window.
    QLockFile lock(socket_path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockMs)) {
        qWarning("single window: the lock beside %s stays taken", qPrintable(socket_path_));
    }
    return ClaimLocked(paths);
}

SingleInstance::Role SingleInstance::ClaimLocked(const std::vector<std::string>& paths) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        // No socket options: the folder is private already, and with them Qt
        // binds elsewhere and renames the socket into place, over a live one.
        auto server = std::make_unique<QLocalServer>();
        if (server->listen(socket_path_)) {
            server_ = std::move(server);
            QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
                while (QLocalSocket* socket = server_->nextPendingConnection()) {
                    Serve(socket);
                }
            });
            return Role::kWindow;
        }
        if (server->serverError() != QAbstractSocket::AddressInUseError) {
            return Role::kWindow;  // nowhere to serve: a window all the same
        }
        switch (HandOver(socket_path_, paths)) {
            case Answer::kTaken:
                return Role::kHandedOver;
            case Answer::kRefused:
                return Role::kWindow;  // that window is closing: the folders come here
            case Answer::kNobody:
                // Left by a window that ended without closing it.
                QLocalServer::removeServer(socket_path_);
                break;
        }
    }
    return Role::kWindow;
}

SingleInstance::Answer SingleInstance::HandOver(const QString& socket_path,
                                                const std::vector<std::string>& paths) {
    QLocalSocket socket;
    socket.connectToServer(socket_path);
    if (!socket.waitForConnected(kConnectMs)) {
        return Answer::kNobody;
    }
    const std::string message = EncodeHandoff(paths);
    socket.write(message.data(), static_cast<qint64>(message.size()));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kAnswerMs)) {
            return Answer::kRefused;
        }
    }
    if (!socket.waitForReadyRead(kAnswerMs)) {
        return Answer::kRefused;
    }
    char answer = kRefused;
    return socket.getChar(&answer) && answer == kTaken ? Answer::kTaken : Answer::kRefused;
}

void SingleInstance::Serve(QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto received = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, received] {
        received->append(socket->readAll());
        if (received->size() > kLongestMessage) {
            socket->abort();
            return;
        }
        // Until the whole message is in, it decodes to nothing.
        auto paths = DecodeHandoff(
            std::string_view(received->constData(), static_cast<std::size_t>(received->size())));
        if (!paths) {
            return;
        }
        bool taken = false;
        try {
            taken = take_ && take_(std::move(*paths));
        } catch (const std::exception& failure) {
            qWarning("handed folders abandoned: %s", failure.what());
        } catch (...) {
            qWarning("handed folders abandoned");
        }
        // Written at once: the window may close before the loop comes back.
        socket->putChar(taken ? kTaken : kRefused);
        socket->flush();
        socket->disconnectFromServer();
    });
}

}  // namespace karuneo
