// Runs a shell command and writes to a file the most memory it held at once,
// in kilobytes, then ends as the command ended. The kernel counts into a
// child's peak the memory of the process that started it, as it stood when
// the child took up its program: a test process is large, this program is
// not, so a command started from here has its own peak.

#include <cerrno>
#include <csignal>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 127;
    const pid_t child = fork();
    if (child == 0)
    {
        execl("/bin/sh", "sh", "-c", argv[2], nullptr);
        _exit(127);
    }
    if (child < 0)
        return 127;
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return 127;
    std::ofstream(argv[1]) << usage.ru_maxrss << '\n';
    if (WIFSIGNALED(status))
    {
        std::signal(WTERMSIG(status), SIG_DFL);
        raise(WTERMSIG(status));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}
