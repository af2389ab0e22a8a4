// The headless driver runs the demo module's scripts: the crypt's entry
// script notes the crypt, blesses a party the priest sent and completes the
// crypt quest.

#include "scratch_files.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

std::string RunVardsim(const std::string& orders, const std::string& arguments)
{
    const auto path = TestUtil::ScratchPath("vardsim_scripts", ".txt");
    std::ofstream(path) << orders;
    const auto run = TestUtil::RunVardsim("--orders " + path.string() + " " + arguments);
    std::filesystem::remove(path);
    return run.out + "exit=" + std::to_string(run.status);
}

TEST(VardsimScripts, TheCryptEntryScriptRuns)
{
    // Through the wood and down the stairs, sent by the priest.
    const std::string out = RunVardsim("2 game tag temple_key_assigned 1\n"
                                       "2 game moveparty 58.75 38.75\n"
                                       "8 game moveparty 91.25 11.25\n",
                                       "--seed 3 --ticks 16 --report");
    // Setting the entered tag wakes the dead at once: the patch's dust shows.
    const std::string expected = "10\t18\tYour Journal has been updated.\n"
                                 "10\teffect\tdust smoke 7892580 1.00 at 13.75 43.75\n"
                                 "10\t20\tThe party has completed a quest for 150xp (The Sunken "
                                 "Crypt).\n"
                                 "10\t18\tThe party gains 150 experience each.\n"
                                 "10\t18\tThe blessing of the sun stirs as you reach the sealed "
                                 "door.\n";
    EXPECT_NE(out.find(expected), std::string::npos) << out;
    for (const char* line : {"journal crypt_found crypt_found\n", "tag crypt_blessing 1\n",
                             "tag crypt_found 1\n", " area=crypt\nexit=0"})
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
    EXPECT_EQ(out.find("\terror\t"), std::string::npos) << out;
}

} // namespace
