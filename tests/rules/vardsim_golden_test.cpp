// Seeded runs of the headless driver, byte for byte against transcripts kept
// in tests/data/rules/golden: speed work on the tick must not change a single
// draw or message. Random orders also try every verb on whatever the area
// holds, under the sanitizers; the long run is by hand:
//   build-test/bin/vardsim --module data/demo --random-orders 1 --ticks 100000
// A rule change that means to change a run rewrites its transcript with the
// arguments below (paths relative to tests/data/rules/golden).

#include "test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

namespace
{

struct GoldenRun
{
    const char* transcript;
    const char* arguments;
};

const GoldenRun kRuns[] = {
    {"idle_seed5.txt", "--seed 5 --ticks 3000 --report"},
    {"fight_seed7.txt",
     "--seed 7 --class spellcaster --ticks 2500 --report --orders fight_orders.txt"},
    {"random_seed1.txt", "--seed 1 --random-orders 1 --ticks 20000 --report"},
    {"random_seed7.txt", "--seed 7 --random-orders 2 --ticks 8000 --report"},
    {"random_seed42.txt", "--seed 42 --random-orders 42 --ticks 8000 --report"},
};

std::string Run(const std::string& command, int& status)
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

TEST(VardsimGolden, SeededRunsPrintTheirTranscriptsByteForByte)
{
    const std::string folder = TestUtil::FixturePath("rules", "golden").string();
    for (const GoldenRun& run : kRuns)
    {
        SCOPED_TRACE(run.transcript);
        const std::string expected = TestUtil::FileText(folder + "/" + run.transcript);
        ASSERT_FALSE(expected.empty());
        int status = -1;
        const std::string out = Run("cd " + folder + " && " + VARD_BIN_DIR + "/vardsim --module " +
                                        VARD_DEMO_MODULE + " " + run.arguments,
                                    status);
        EXPECT_EQ(status, 0);
        // The first differing line says more than two 100 kB strings.
        std::size_t at = 0;
        while (at < out.size() && at < expected.size() && out[at] == expected[at])
            ++at;
        const std::size_t line = expected.rfind('\n', at);
        const std::size_t from = line == std::string::npos ? 0 : line + 1;
        EXPECT_EQ(out.substr(from, 200), expected.substr(from, 200));
        EXPECT_EQ(out.size(), expected.size());
    }
}

} // namespace
