// A SIGTERM (a logout, a service manager) closes the Qt window as its close
// button would: the work stops between two entries, the chain is back under
// its own name, nothing is lost, and the program ends by itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_tree.h"

namespace karuneo {
namespace {

using namespace std::chrono_literals;
using testing::FileContents;
using testing::TempTree;

constexpr int kFiles = 20000;

bool AnyNameBut(const TempTree& tree, const std::string& folder, const std::string& name) {
    for (const auto& entry : std::filesystem::directory_iterator(tree.Path(folder))) {
        if (entry.path().filename() != name) {
            return true;
        }
    }
    return false;
}

// The window on Qt's offscreen platform, in a home of its own: its settings,
// its single-window socket and its journals stay in `home`.
pid_t StartWindow(const std::string& home, const std::string& folder) {
    std::vector<std::string> environment = {
        "QT_QPA_PLATFORM=offscreen", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
        "XDG_STATE_HOME=" + home + "/state", "XDG_RUNTIME_DIR=" + home + "/runtime"};
    std::filesystem::create_directories(home + "/runtime");
    std::filesystem::permissions(home + "/runtime", std::filesystem::perms::owner_all);
    std::vector<char*> env;
    for (auto& line : environment) {
        env.push_back(line.data());
    }
    env.push_back(nullptr);
    std::string program = KARUNEO_WINDOW_PATH;
    std::string path = folder;
    char* argv[] = {program.data(), path.data(), nullptr};
    pid_t pid = -1;
    return ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, env.data()) == 0 ? pid : -1;
}

// The exit status, or -1 when it did not end by itself within `limit`.
int WaitForEnd(pid_t pid, std::chrono::seconds limit) {
    const auto give_up = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < give_up) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(5ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

TEST(WindowSignalTest, SigtermMidRunClosesTheWindowAndLeavesNoTemporaryName) {
    TempTree tree;
    tree.AddEmptyFiles("D/A/B", kFiles);
    const auto before = tree.Take("D");
    const pid_t window = StartWindow(tree.Path("home"), tree.Path("D"));
    ASSERT_GT(window, 0);
    const auto give_up = std::chrono::steady_clock::now() + 20s;
    while (!AnyNameBut(tree, "D", "A") && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(AnyNameBut(tree, "D", "A")) << "the run never began";
    ::kill(window, SIGTERM);

    EXPECT_EQ(WaitForEnd(window, 30s), 0);
    const auto after = tree.Take("D");
    EXPECT_EQ(FileContents(after), FileContents(before)) << "nothing lost";
    EXPECT_TRUE(after.contains("A/B")) << "the chain keeps its own name";
    for (const auto& [path, contents] : after) {
        EXPECT_EQ(path.find("karuneo"), std::string::npos) << path;
    }
}

}  // namespace
}  // namespace karuneo
