// The headless driver saves after its last tick and starts from a saved game.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using TestUtil::Lines;
using TestUtil::RunVardsim;
using TestUtil::VardsimRun;

TEST(VardsimSave, SavesAndLoadsTheSameFile)
{
    const auto folder = TestUtil::ScratchPath("vardsim_saves").replace_extension();
    std::filesystem::create_directories(folder);
    const std::string first = (folder / "first.vard").string();
    const std::string second = (folder / "second.vard").string();

    VardsimRun run = RunVardsim("--seed 3 --ticks 40 --save " + first);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("40\t18\tSaved game: " + first + "\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("state=0 tick=40 gold=0 party=1 area=town\n"), std::string::npos);

    run = RunVardsim("--seed 3 --ticks 0 --load " + first + " --save " + second);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("0\t18\tLoaded game: " + first + "\n"), std::string::npos) << run.out;
    const auto a = Lines(TestUtil::FileText(first));
    const auto b = Lines(TestUtil::FileText(second));
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (i == 1 || i == 3)
            continue;
        EXPECT_EQ(a[i], b[i]) << "line " << i + 1;
    }
    EXPECT_EQ(a[1], " \"" + first + "\"");

    // Saved before its first area, a game enters it on the next step.
    const std::string zero = (folder / "zero.vard").string();
    run = RunVardsim("--ticks 0 --save " + zero);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("state=5 tick=0 gold=0 party=1 area=none\n"), std::string::npos);
    run = RunVardsim("--ticks 1 --load " + zero);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("state=0 tick=1 gold=0 party=1 area=town\n"), std::string::npos)
        << run.out;
    // A broken save and an unwritable path end the run with a clear error.
    std::ofstream(second, std::ios::trunc) << "<save> \"x\" 1 2";
    run = RunVardsim("--load " + second);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("vardsim: error code 1: " + second), std::string::npos) << run.out;
    run = RunVardsim("--ticks 1 --save " + (folder / "none" / "x.vard").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("vardsim: error code 1: cannot write "), std::string::npos) << run.out;
    std::filesystem::remove_all(folder);
}

} // namespace
