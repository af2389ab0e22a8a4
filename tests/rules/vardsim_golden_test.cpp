// Seeded runs of the headless driver, byte for byte against transcripts kept
// in tests/data/rules/golden: speed work on the tick must not change a single
// draw or message. Random orders also try every verb on whatever the area
// holds, under the sanitizers; the long run is by hand:
//   build-test/bin/vardsim --module data/demo --random-orders 1 --ticks 100000
// A rule change that means to change a run rewrites its transcript with the
// arguments below, run in tests/data/rules/golden. Saved games (with the
// tile tracker the sight flood fills) are compared as well.

#include "test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

struct GoldenRun
{
    const char* transcript;
    const char* arguments;
    // The saved game the run writes, by the name it is kept under; or none.
    const char* save = nullptr;
};

const GoldenRun kRuns[] = {
    {"idle_seed5.txt", "--seed 5 --ticks 3000 --report"},
    {"fight_seed7.txt",
     "--seed 7 --class spellcaster --ticks 2500 --report --orders fight_orders.txt"},
    {"random_seed1.txt", "--seed 1 --random-orders 1 --ticks 20000 --report"},
    {"random_seed7.txt", "--seed 7 --random-orders 2 --ticks 8000 --report"},
    {"random_seed42.txt", "--seed 42 --random-orders 42 --ticks 8000 --report"},
    {nullptr, "--seed 3 --random-orders 3 --ticks 6000", "random_seed3.sav"},
    {nullptr, "--seed 7 --class spellcaster --ticks 2500 --orders fight_orders.txt",
     "fight_seed7.sav"},
};

// The first differing line says more than two 100 kB strings.
void ExpectSameBytes(const std::string& out, const std::string& expected)
{
    std::size_t at = 0;
    while (at < out.size() && at < expected.size() && out[at] == expected[at])
        ++at;
    const std::size_t line = expected.rfind('\n', at);
    const std::size_t from = line == std::string::npos ? 0 : line + 1;
    EXPECT_EQ(out.substr(from, 200), expected.substr(from, 200));
    EXPECT_EQ(out.size(), expected.size());
}

std::string RunCommand(const std::string& command, int& status)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 65536> buffer{};
    for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        out.append(buffer.data(), n);
    status = pclose(pipe);
    return out;
}

TEST(VardsimGolden, SeededRunsPrintTheirTranscriptsAndSaveTheirGamesByteForByte)
{
    const std::string folder = TestUtil::FixturePath("rules", "golden").string();
    // Runs happen in a scratch folder: a saved game names its own file.
    const std::filesystem::path scratch = TestUtil::ScratchPath("golden");
    std::filesystem::create_directories(scratch);
    for (const GoldenRun& run : kRuns)
    {
        SCOPED_TRACE(run.arguments);
        std::filesystem::copy_file(folder + "/fight_orders.txt", scratch / "fight_orders.txt",
                                   std::filesystem::copy_options::overwrite_existing);
        int status = -1;
        const std::string out =
            RunCommand("cd " + scratch.string() + " && " + VARD_BIN_DIR + "/vardsim --module " +
                           VARD_DEMO_MODULE + " " + run.arguments +
                           (run.save != nullptr ? std::string(" --save ") + run.save : ""),
                       status);
        EXPECT_EQ(status, 0);
        if (run.transcript != nullptr)
        {
            const std::string expected = TestUtil::FileText(folder + "/" + run.transcript);
            ASSERT_FALSE(expected.empty());
            ExpectSameBytes(out, expected);
        }
        if (run.save != nullptr)
        {
            const std::string expected = TestUtil::FileText(folder + "/" + run.save);
            ASSERT_FALSE(expected.empty());
            ExpectSameBytes(TestUtil::FileText(scratch / run.save), expected);
        }
    }
    std::filesystem::remove_all(scratch);
}

// Random play once cleared the crypt's tag and set it again: the patch came
// back while its skeleton still stood there, and the crypt could no longer
// be entered. The same steps on purpose: into the crypt (its tag set, the
// dead woken), the tag cleared, out through the forest to the town and back
// after the crypt's reset is due, where the entry sets the tag again.
TEST(VardsimRobustness, APatchAppliedAgainLeavesItsStandingEncounterAlone)
{
    const std::filesystem::path orders = TestUtil::ScratchPath("patch_again");
    std::ofstream(orders) << "1 game travel crypt stairs\n1 game moveparty 58 21\n"
                             "5 game tag crypt_entered 0\n5 game moveparty 41 46\n"
                             "8 game moveparty 1 31\n"
                             "11 game travel crypt stairs\n11 game moveparty 58 21\n";
    int status = -1;
    const std::string out =
        RunCommand(std::string(VARD_BIN_DIR) + "/vardsim --module " + VARD_DEMO_MODULE +
                       " --report --ticks 20 --orders " + orders.string() + " 2>&1",
                   status);
    std::filesystem::remove(orders);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.find("\terror\t"), std::string::npos) << out;
    EXPECT_NE(out.find("14\t18\tYour journey takes 1 hours.\n"
                       "14\teffect\tdust smoke 7892580 1.00 at 13.75 43.75\n"),
              std::string::npos)
        << out;
    // Only the woken one: the restless dead wait for the key to be found.
    std::size_t skeletons = 0;
    for (std::size_t at = out.find(" skeleton side 3 "); at != std::string::npos;
         at = out.find(" skeleton side 3 ", at + 1))
        ++skeletons;
    EXPECT_EQ(skeletons, 1u) << out;
    EXPECT_NE(out.find("\nstate=0 tick="), std::string::npos) << out;
    EXPECT_NE(out.find(" area=crypt\n"), std::string::npos) << out;
}

} // namespace
