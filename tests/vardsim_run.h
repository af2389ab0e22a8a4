#pragma once

// Runs the headless driver on the demo module, as its users run it.

#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestUtil
{

struct VardsimRun
{
    // The exit code, or -1 when the driver could not be started.
    int status = -1;
    // Standard output and standard error together.
    std::string out;
    // The most memory the run held at once, in kilobytes: its own, not that
    // of the test or of any other run; 0 when it is not known.
    long peakKilobytes = 0;
};

// One of the tools in the build's bin folder, with its whole argument list
// as the shell reads it. It is started by vard_peak_memory, which measures it.
inline VardsimRun RunTool(const std::string& tool, const std::string& arguments)
{
    static std::atomic<int> runs{0};
    const std::string bin = VARD_BIN_DIR;
    const std::string command = bin + "/" + tool + " " + arguments + " 2>&1";
    const std::filesystem::path peakFile =
        std::filesystem::temp_directory_path() /
        ("vard_peak_" + std::to_string(getpid()) + "_" + std::to_string(runs++));
    VardsimRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    const std::string starter = bin + "/vard_peak_memory";
    const std::string peakPath = peakFile.string();
    const char* argv[] = {starter.c_str(), peakPath.c_str(), command.c_str(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, starter.c_str(), &actions, nullptr,
                                    const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0)
    {
        close(pipeEnds[0]);
        return run;
    }
    std::array<char, 4096> buffer{};
    for (ssize_t n; (n = read(pipeEnds[0], buffer.data(), buffer.size())) != 0;)
    {
        if (n > 0)
            run.out.append(buffer.data(), static_cast<std::size_t>(n));
        else if (errno != EINTR)
            break;
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream(peakFile) >> run.peakKilobytes;
    std::error_code ignored;
    std::filesystem::remove(peakFile, ignored);
    return run;
}

inline VardsimRun RunVardsim(const std::string& arguments,
                             const std::string& module = VARD_DEMO_MODULE)
{
    return RunTool("vardsim", "--module " + module + " " + arguments);
}

} // namespace TestUtil
