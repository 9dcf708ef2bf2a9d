// The tests' system calls on POSIX systems (Linux).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "tests/support/TestPlatform.h"

extern char** environ;

namespace TestPlatform {

const bool kOpenerIsXdgOpen = true;
const char* const kConfigFolderVariable = "XDG_CONFIG_HOME";

void SetEnvironment(const std::string& name, const char* value) {
    if (value != nullptr) {
        ::setenv(name.c_str(), value, 1);
    } else {
        ::unsetenv(name.c_str());
    }
}

bool CanLimitFileSize() { return true; }

FileSizeLimitState LimitFileSize(std::uint64_t bytes) {
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    FileSizeLimitState state{old.rlim_cur, old.rlim_max, ::signal(SIGXFSZ, SIG_IGN)};
    rlimit limit = old;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    return state;
}

void RestoreFileSize(const FileSizeLimitState& state) {
    const rlimit old{state.soft, state.hard};
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, state.handler);
}

std::FILE* StreamOf(int fd, const char* mode) { return ::fdopen(fd, mode); }

int RunProgram(const std::vector<std::string>& command, const ProgramStreams& streams) {
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    auto file = [](const std::string& p) { return p.empty() ? std::string("/dev/null") : p; };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (streams.pipeInput != nullptr) {
        // Both ends close on exec; the copy on standard input stays open.
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, file(streams.in).c_str(), O_RDONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, file(streams.out).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, file(streams.err).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    std::thread writer;
    if (streams.pipeInput != nullptr) {
        ::close(pipeFds[0]);
        writer = std::thread([fd = pipeFds[1], &bytes = *streams.pipeInput] {
            // A program that stops reading ends the writing with EPIPE, not
            // this process with SIGPIPE.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            ::pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            for (std::size_t done = 0; done < bytes.size();) {
                const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) break;  // the program stopped reading
                done += static_cast<std::size_t>(n);
            }
            ::close(fd);
        });
    }
    int status = 0;
    pid_t waited = -1;
    if (rc == 0) {
        while ((waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
    }
    if (writer.joinable()) writer.join();
    if (rc != 0 || waited != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace TestPlatform
