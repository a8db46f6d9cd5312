#include "tests/reliability/cli_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

extern char** environ;

namespace karuneo::testing {
namespace {

// Standard output goes to `out_fd`, or is closed when it is -1; standard
// error is kept for sanitizers.
pid_t Spawn(const std::vector<std::string>& args, int out_fd) {
    std::vector<char*> argv{const_cast<char*>(KARUNEO_CLI_PATH)};
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out_fd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    }
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        throw std::runtime_error("cannot start " + std::string(argv[0]));
    }
    return pid;
}

CliRun Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("waitpid failed");
        }
    }
    CliRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return run;
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno != EINTR) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    return text;
}

}  // namespace

CliRun RunCliProcess(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = Spawn(args, pipe_fds[1]);
    ::close(pipe_fds[1]);
    std::string out = ReadAll(pipe_fds[0]);
    ::close(pipe_fds[0]);
    CliRun run = Reap(pid);
    run.out = std::move(out);
    return run;
}

CliRun RunCliProcessWritingTo(const std::vector<std::string>& args, const char* out_path) {
    const int out_fd = out_path == nullptr ? -1 : ::open(out_path, O_WRONLY | O_CLOEXEC);
    const pid_t pid = Spawn(args, out_fd);
    if (out_fd >= 0) {
        ::close(out_fd);
    }
    return Reap(pid);
}

CliRun SignalCliWhen(const std::vector<std::string>& args, int signal_number,
                     const std::function<bool()>& ready) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = Spawn(args, pipe_fds[1]);
    ::close(pipe_fds[1]);
    for (int waited = 0; waited < 10000 && !ready(); ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, signal_number);
    std::string out = ReadAll(pipe_fds[0]);
    ::close(pipe_fds[0]);
    CliRun run = Reap(pid);
    run.out = std::move(out);
    return run;
}

CliRun KillCliAfter(const std::vector<std::string>& args, std::chrono::microseconds delay) {
    const int null_fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    const pid_t pid = Spawn(args, null_fd);
    ::close(null_fd);
    std::this_thread::sleep_for(delay);
    ::kill(pid, SIGKILL);
    return Reap(pid);
}

}  // namespace karuneo::testing
