// runstat [-o FILE] PROGRAM [ARGS...]: runs PROGRAM once and prints one line
// "WALL_MS USER_MS SYS_MS MAXRSS_KB" for it. The program's standard output goes to FILE
// (default /dev/null) so that writing it to a terminal is not measured.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

double msOf(const timeval &tv)
{
    return double(tv.tv_sec) * 1e3 + double(tv.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char **argv)
{
    const char *outPath = "/dev/null";
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-o") == 0) {
        outPath = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: runstat [-o FILE] PROGRAM [ARGS...]\n");
        return 2;
    }
    const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        std::fprintf(stderr, "runstat: %s: %s\n", outPath, std::strerror(errno));
        return 2;
    }

    timespec start{};
    timespec stop{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("runstat: fork");
        return 2;
    }
    if (pid == 0) {
        dup2(out, STDOUT_FILENO);
        close(out);
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "runstat: %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }
    close(out);

    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("runstat: wait4");
            return 2;
        }
    }
    clock_gettime(CLOCK_MONOTONIC, &stop);
    const double wallMs =
        double(stop.tv_sec - start.tv_sec) * 1e3 + double(stop.tv_nsec - start.tv_nsec) / 1e6;

    std::printf("%.3f %.3f %.3f %ld\n", wallMs, msOf(usage.ru_utime), msOf(usage.ru_stime),
                usage.ru_maxrss);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return 0;
    if (WIFEXITED(status))
        std::fprintf(stderr, "runstat: %s exited with status %d\n", argv[first],
                     WEXITSTATUS(status));
    else
        std::fprintf(stderr, "runstat: %s ended by signal %d\n", argv[first], WTERMSIG(status));
    return 1;
}
