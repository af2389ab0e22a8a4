#pragma once

// How every program of the build answers a command line it is not run with,
// before it reads, writes or opens anything: "--help" prints its usage on
// standard output and ends with 0; an option it does not take prints the
// usage on standard error and ends with 2.

#include <optional>
#include <string>
#include <vector>

namespace VARDCommon
{

struct ProgramUsage
{
    // The first word of the program's messages.
    std::string name;
    // Begins "usage: " and the name; ends with a newline.
    std::string text;
    // The options the program takes alone, and those a value follows.
    std::vector<std::string> flags;
    std::vector<std::string> valued;
};

// The exit code of a command line the program cannot run.
constexpr int kUsageExitCode = 2;

// The exit code once "--help" or an option the program does not take comes
// among arguments 1 to argc − 1 (the first of them decides), its usage
// printed; nothing when neither comes and the program goes on. An argument
// beginning with "-" is an option, unless a valued option takes it.
std::optional<int> AnswerUsageOptions(int argc, char** argv, const ProgramUsage& usage);

// "NAME: REASON", a blank line and the usage, on standard error; the exit code.
int RefuseCommandLine(const ProgramUsage& usage, const std::string& reason);

} // namespace VARDCommon
