#include "support/FileSizeLimit.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

int ExitStatusUnderFileSizeLimit(rlim_t bytes, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(255);
        int status = 255;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool RedirectStandardOutput(const std::filesystem::path& file) {
    std::fflush(stdout);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    const bool done = ::dup2(fd, STDOUT_FILENO) >= 0;
    ::close(fd);
    return done;
}
