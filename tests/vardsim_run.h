#pragma once

// Runs the headless driver on the demo module, as its users run it.

#include "scratch_files.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
    // The most memory the run held at once, in kilobytes; 0 when unknown.
    long peakKilobytes = 0;
};

// One of the tools in the build's bin folder, with its whole argument list.
// GNU time starts it, so that its peak is its own: the kernel counts into a
// child's peak the memory of the process it was forked from, and a test
// process is large.
inline VardsimRun RunTool(const std::string& tool, const std::string& arguments)
{
    const std::filesystem::path peakFile = ScratchPath("peak", ".txt");
    const std::string command = "/usr/bin/time -q -f %M -o " + peakFile.string() + " " +
                                VARD_BIN_DIR + "/" + tool + " " + arguments + " 2>&1";
    VardsimRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
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
