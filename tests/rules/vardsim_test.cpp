// The headless driver as its users run it: the same arguments give the same
// bytes, orders drive the game, and bad input ends with a clear error.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{

using TestUtil::RunVardsim;
using TestUtil::VardsimRun;

std::string WriteOrders(const std::string& name, const std::string& text)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("vardsim_" + std::to_string(getpid()) + "_" + name);
    std::ofstream(path) << text;
    return path.string();
}

TEST(Vardsim, SameSeedSameBytesAndTravelThroughTheWorldMap)
{
    const std::string orders = WriteOrders("travel", "# leave town by the east road\n"
                                                     "2 game moveparty 58 21\n"
                                                     "2 game tag seen_gate 0\n");
    const std::string arguments = "--seed 7 --ticks 12 --report --orders " + orders;
    const VardsimRun first = RunVardsim(arguments);
    const VardsimRun second = RunVardsim(arguments);
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.out, second.out);

    EXPECT_NE(first.out.find("\ttravel\tforest road\n"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("\t18\tYour journey takes 3 hours.\n"), std::string::npos);
    EXPECT_NE(first.out.find("member 0 Hero level 1 hp "), std::string::npos);
    EXPECT_NE(first.out.find("tag seen_gate 0\n"), std::string::npos);
    EXPECT_NE(first.out.find("state=0 tick="), std::string::npos);
    EXPECT_NE(first.out.find(" party=1 area=forest\n"), std::string::npos);
    std::filesystem::remove(orders);
}

TEST(Vardsim, BadInputEndsWithAClearError)
{
    const std::string badVerb = WriteOrders("verb", "1 0 dance\n");
    VardsimRun run = RunVardsim("--orders " + badVerb);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find(badVerb + ":1: unknown verb \"dance\""), std::string::npos) << run.out;

    const std::string badTick = WriteOrders("tick", "\n  soon 0 move 1 2\n");
    run = RunVardsim("--orders " + badTick);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find(badTick + ":2: the tick must be a whole number"), std::string::npos)
        << run.out;

    run = RunVardsim("--ticks -3");
    EXPECT_EQ(run.status, 2);

    const std::string command =
        std::string(VARD_BIN_DIR) + "/vardsim --module /no/such/module 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 4096> buffer{};
    std::string out(buffer.data(), fread(buffer.data(), 1, buffer.size(), pipe));
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 1);
    EXPECT_NE(out.find("vardsim: error code 1"), std::string::npos) << out;

    std::filesystem::remove(badVerb);
    std::filesystem::remove(badTick);
}

} // namespace
