// One window per user and display: later starts hand their folders to the
// first, whose socket may also be left behind by a window that died.
#include "window/qt/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace karuneo {
namespace {

using Paths = std::vector<std::string>;
using Role = SingleInstance::Role;

const Paths kHardPaths{"/home/me/ダウンロード/写真 2024", "/tmp/with space/and\ttab",
                       std::string("/tmp/bad\xff\xfe name"), "/"};

class SingleInstanceTest : public ::testing::Test {
  protected:
    QString SocketPath() const { return folder.filePath("karuneo-window-test"); }

    // A later start, on a thread of its own: the window's thread must go on
    // taking events to answer it.
    Role StartAnother(const Paths& paths) {
        std::atomic<bool> done{false};
        Role role = Role::kWindow;
        std::thread later([&] {
            SingleInstance another(SocketPath());
            role = another.Claim(paths);
            done = true;
        });
        QElapsedTimer waited;
        waited.start();
        while (!done && waited.elapsed() < 20'000) {
            QTest::qWait(2);
        }
        later.join();
        return role;
    }

    QTemporaryDir folder;
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsFoldersOverByteForByte) {
    SingleInstance first(SocketPath());
    ASSERT_EQ(first.Claim({}), Role::kWindow);
    std::vector<Paths> handed;
    first.OnHandoff([&](Paths paths) {
        handed.push_back(std::move(paths));
        return true;
    });

    EXPECT_EQ(StartAnother(kHardPaths), Role::kHandedOver);
    EXPECT_EQ(StartAnother({}), Role::kHandedOver);  // only brings the window up
    EXPECT_EQ(handed, (std::vector<Paths>{kHardPaths, {}}));
}

TEST_F(SingleInstanceTest, AClosingWindowRefusesAndTheLaterStartOpensItsOwn) {
    SingleInstance first(SocketPath());
    ASSERT_EQ(first.Claim({}), Role::kWindow);
    first.OnHandoff([](const Paths&) { return false; });
    EXPECT_EQ(StartAnother({"/x"}), Role::kWindow);
}

// A window that was killed leaves its socket behind, refusing connections.
TEST_F(SingleInstanceTest, TheSocketOfADeadWindowIsTakenOver) {
    const QByteArray path = QFile::encodeName(SocketPath());
    const int dead = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    ASSERT_EQ(::bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(dead);
    ASSERT_TRUE(QFile::exists(SocketPath()));

    SingleInstance first(SocketPath());
    ASSERT_EQ(first.Claim({}), Role::kWindow);
    Paths handed;
    first.OnHandoff([&](Paths paths) {
        handed = std::move(paths);
        return true;
    });
    EXPECT_EQ(StartAnother({"/y"}), Role::kHandedOver);
    EXPECT_EQ(handed, Paths{"/y"});
}

// Each start on a thread of its own, at once: one window, which gets the
// other's folders.
TEST_F(SingleInstanceTest, TwoStartsAtTheSameMomentEndWithOneWindow) {
    std::mutex mutex;
    std::vector<Role> roles;
    Paths handed;
    std::atomic<int> ready{0};
    const auto start = [&](const std::string& path) {
        ++ready;
        while (ready < 2) {
        }
        SingleInstance instance(SocketPath());
        const Role role = instance.Claim({path});
        {
            const std::lock_guard lock(mutex);
            roles.push_back(role);
        }
        if (role == Role::kWindow) {
            // Serves for a while, as the window would.
            QEventLoop loop;
            instance.OnHandoff([&](Paths paths) {
                const std::lock_guard lock(mutex);
                handed = std::move(paths);
                loop.quit();
                return true;
            });
            QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
            loop.exec();
        }
    };
    // QThreads: a server needs its thread's event dispatcher from the start.
    const std::array<std::unique_ptr<QThread>, 2> starts{
        std::unique_ptr<QThread>(QThread::create(start, "/a")),
        std::unique_ptr<QThread>(QThread::create(start, "/b"))};
    for (const auto& thread : starts) {
        thread->start();
    }
    for (const auto& thread : starts) {
        thread->wait();
    }
    ASSERT_EQ(roles.size(), 2u);
    EXPECT_NE(roles[0], roles[1]);
    EXPECT_EQ(handed.size(), 1u);
}

}  // namespace
}  // namespace karuneo
