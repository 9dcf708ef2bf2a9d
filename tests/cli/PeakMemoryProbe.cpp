// peak_memory_probe RESULT PROGRAM [ARG...]: runs PROGRAM with the probe's
// standard streams and writes "<exit status> <peak resident KiB>" to RESULT.
//
// A process started straight from a large test process inherits that
// process's peak in its own figure; a child forked from this small probe
// starts from the probe's size, so the figure is the program's own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const pid_t pid = ::fork();
    if (pid < 0) return 2;
    if (pid == 0) {
        ::execv(argv[2], argv + 2);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid) return 2;
    std::FILE* result = std::fopen(argv[1], "w");
    if (result == nullptr) return 2;
    std::fprintf(result, "%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                 usage.ru_maxrss);
    std::fclose(result);
    return 0;
}
