// Every program the build makes answers "--help" and an option it does not
// take with its usage, in one form, and writes nothing: run in an empty
// folder that is also its home, with no display to open a window on.

#include "common/program_usage.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

struct ProgramRun
{
    // The exit code, or -1 when the program did not exit by itself.
    int status = -1;
    std::string out;
    std::string err;
};

std::vector<std::string> BuiltPrograms()
{
    std::vector<std::string> programs;
    std::istringstream list(VARD_PROGRAMS);
    for (std::string name; std::getline(list, name, ',');)
        programs.push_back(name);
    return programs;
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The streams go to files beside the folder, not in it.
ProgramRun RunIn(const std::filesystem::path& folder, const std::string& program,
                 const std::string& argument)
{
    const std::filesystem::path outPath = folder.string() + ".out";
    const std::filesystem::path errPath = folder.string() + ".err";
    const std::string path = std::string(VARD_BIN_DIR) + "/" + program;
    const pid_t child = fork();
    if (child == 0)
    {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || chdir(folder.c_str()) != 0 || dup2(out, 1) < 0 ||
            dup2(err, 2) < 0)
            _exit(127);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CACHE_HOME");
        setenv("HOME", folder.c_str(), 1);
        execl(path.c_str(), path.c_str(), argument.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ProgramRun run;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

TEST(ProgramUsage, EveryProgramAnswersHelpAndUnknownOptionsAndWritesNothing)
{
    const std::vector<std::string> programs = BuiltPrograms();
    ASSERT_NE(std::find(programs.begin(), programs.end(), "vard"), programs.end()) << VARD_PROGRAMS;
    ASSERT_NE(std::find(programs.begin(), programs.end(), "vardassets"), programs.end());

    struct Case
    {
        const char* argument;
        bool help;
    };
    const Case cases[] = {{"--help", true}, {"--bogus", false}, {"-q", false}};

    const TestUtil::ScratchFolder scratch("usage");
    const std::filesystem::path& root = scratch.Path();
    for (const std::string& program : programs)
    {
        std::string usage;
        for (std::size_t i = 0; i < std::size(cases); ++i)
        {
            const Case& c = cases[i];
            SCOPED_TRACE(program + " " + c.argument);
            const std::filesystem::path folder = root / (program + "_" + std::to_string(i));
            ASSERT_TRUE(std::filesystem::create_directory(folder));
            const ProgramRun run = RunIn(folder, program, c.argument);
            if (c.help)
            {
                EXPECT_EQ(run.status, 0);
                EXPECT_EQ(run.err, "");
                usage = run.out;
            }
            else
            {
                EXPECT_EQ(run.status, VARDCommon::kUsageExitCode);
                EXPECT_EQ(run.out, "");
                // The usage --help printed, after the reason.
                EXPECT_EQ(run.err, program + ": unknown option \"" + c.argument + "\"\n\n" + usage);
            }
            EXPECT_TRUE(usage.starts_with("usage: " + program + " ")) << usage;
            EXPECT_TRUE(usage.ends_with("\n")) << usage;
            EXPECT_TRUE(std::filesystem::is_empty(folder))
                << std::filesystem::directory_iterator(folder)->path();
        }
    }
}

} // namespace
