#pragma once

// Runs the headless driver on the demo module, as its users run it.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace TestUtil
{

struct VardsimRun
{
    // The exit code, or -1 when the driver could not be started.
    int status = -1;
    // Standard output and standard error together.
    std::string out;
};

// One of the tools in the build's bin folder, with its whole argument list.
inline VardsimRun RunTool(const std::string& tool, const std::string& arguments)
{
    const std::string command = std::string(VARD_BIN_DIR) + "/" + tool + " " + arguments + " 2>&1";
    VardsimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline VardsimRun RunVardsim(const std::string& arguments,
                             const std::string& module = VARD_DEMO_MODULE)
{
    return RunTool("vardsim", "--module " + module + " " + arguments);
}

} // namespace TestUtil
