#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace karuneo {

// One window per user and display. The first start serves a local socket
// only this user can reach; a later start hands its folders to it (or, with
// none, only brings the window to the front) and ends.
class SingleInstance final {
  public:
    enum class Role { kWindow, kHandedOver };
    // Takes folders a later start handed over; false when they cannot be
    // taken now, so that the later start opens a window of its own for them.
    using Take = std::function<bool(std::vector<std::string>)>;

    // An empty path serves nothing: every start is a window of its own.
    explicit SingleInstance(QString socket_path);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Either serves from now on (kWindow) or has handed `paths` to the
    // window that serves already (kHandedOver). Blocks for a moment at most.
    Role Claim(const std::vector<std::string>& paths);
    void OnHandoff(Take take) { take_ = std::move(take); }

  private:
    enum class Answer { kTaken, kRefused, kNobody };
    static Answer HandOver(const QString& socket_path, const std::vector<std::string>& paths);
    Role ClaimLocked(const std::vector<std::string>& paths);
    void Serve(QLocalSocket* socket);

    QString socket_path_;
    std::unique_ptr<QLocalServer> server_;
    Take take_;
};

// Where this user's window serves on this display: a socket in a folder
// only the user can enter; empty when there is none.
QString PrivateSocketPath();

}  // namespace karuneo
