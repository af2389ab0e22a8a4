// Every program the build makes answers "--help" and an option it does not
// take with its usage, in one form, and writes nothing: run in an empty
// folder that is also its home, with no display to open a window on.

#include "common/program_usage.h"
#include "scratch_files.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>
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

// The streams go to files beside the folder, not in it.
ProgramRun RunIn(const std::filesystem::path& folder, const std::string& program,
                 const std::string& argument)
{
    const std::string out = folder.string() + ".out";
    const std::string err = folder.string() + ".err";
    const std::string command = "cd '" + folder.string() +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME "
                                "-u XDG_DATA_HOME -u XDG_CACHE_HOME HOME='" +
                                folder.string() + "' " + VARD_BIN_DIR + "/" + program + " " +
                                argument + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = TestUtil::FileText(out);
    run.err = TestUtil::FileText(err);
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
