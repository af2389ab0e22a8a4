#include "common/program_usage.h"

#include <algorithm>
#include <iostream>

namespace VARDCommon
{

namespace
{

bool Holds(const std::vector<std::string>& options, const std::string& argument)
{
    return std::find(options.begin(), options.end(), argument) != options.end();
}

} // namespace

std::optional<int> AnswerUsageOptions(int argc, char** argv, const ProgramUsage& usage)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help")
        {
            std::cout << usage.text << std::flush;
            return 0;
        }
        if (Holds(usage.valued, argument))
            ++i;
        else if (argument.starts_with('-') && !Holds(usage.flags, argument))
            return RefuseCommandLine(usage, "unknown option \"" + argument + "\"");
    }
    return std::nullopt;
}

int RefuseCommandLine(const ProgramUsage& usage, const std::string& reason)
{
    std::cerr << usage.name << ": " << reason << "\n\n" << usage.text << std::flush;
    return kUsageExitCode;
}

} // namespace VARDCommon
