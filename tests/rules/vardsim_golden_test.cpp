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
// back while its skeletons still stood there, and the crypt could no longer
// be entered. The run that found it has changed course since (the area
// patch tests keep the case itself); this one still travels a long way.
TEST(VardsimRobustness, APatchAppliedAgainLeavesItsStandingEncounterAlone)
{
    int status = -1;
    const std::string out =
        RunCommand(std::string(VARD_BIN_DIR) + "/vardsim --module " + VARD_DEMO_MODULE +
                       " --seed 9 --random-orders 9 --class spellcaster"
                       " --ticks 38400 2>&1",
                   status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.find("placed twice"), std::string::npos);
    EXPECT_NE(out.find("\nstate=0 "), std::string::npos) << out.substr(out.size() - 300);
}

} // namespace
