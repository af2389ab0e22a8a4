// The headless driver as its users run it: the same arguments give the same
// bytes, orders drive the game, and bad input ends with a clear error.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const auto path = TestUtil::ScratchPath("vardsim_" + name, ".txt");
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

// An order that fails is reported and skipped on whatever step it comes, also
// while the party is between two areas.
TEST(Vardsim, AFailedOrderIsSkippedOnEveryStepAlike)
{
    for (int tick = 2; tick <= 6; ++tick)
    {
        SCOPED_TRACE(tick);
        const std::string orders = WriteOrders("failing", "2 game moveparty 58 21\n" +
                                                              std::to_string(tick) + " 0 drop 5\n");
        const VardsimRun run = RunVardsim("--seed 7 --ticks 8 --orders " + orders);
        EXPECT_EQ(run.status, 0) << run.out.substr(run.out.size() -
                                                   std::min<std::size_t>(run.out.size(), 300));
        const std::string error = "\terror\tcode 3: \"Hero\" carries no item 5\n";
        const std::size_t at = run.out.find(error);
        EXPECT_NE(at, std::string::npos);
        EXPECT_EQ(run.out.find(error, at + 1), std::string::npos);
        EXPECT_NE(run.out.find(" party=1 area=forest\n"), std::string::npos);
        std::filesystem::remove(orders);
    }
}

// Long random play ends normally: item piles and objects left over the game
// never shut the party out of an area. Four seeds of 100,000 steps each; the
// million-step runs are by hand (README).
TEST(Vardsim, LongRandomPlayEndsNormally)
{
    for (const char* seed : {"1", "2", "3", "4"})
    {
        SCOPED_TRACE(seed);
        const VardsimRun run = RunVardsim(std::string("--seed ") + seed + " --random-orders " +
                                          seed + " --ticks 100000");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.find("no free spot"), std::string::npos);
        const std::size_t last = run.out.rfind("\nstate=");
        ASSERT_NE(last, std::string::npos) << run.out.substr(run.out.size() - 300);
        EXPECT_EQ(run.out.find('\n', last + 1), run.out.size() - 1);
    }
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

    // An orders file is a regular file of a bounded size, as module files are.
    const auto folder = TestUtil::ScratchPath("vardsim_folder", "");
    std::filesystem::create_directories(folder);
    const std::string longLine = WriteOrders("long", "1 0 move 1 " + std::string(5000, '2') + "\n");
    for (const auto& [orders, says] :
         {std::pair<std::string, std::string>{folder.string(), "it is not a regular file"},
          {"/dev/zero", "it is not a regular file"},
          {folder.string() + "/missing", "it does not exist"},
          {longLine, longLine + ":1: a line longer than 4096 bytes"}})
    {
        run = RunVardsim("--ticks 1 --orders " + orders);
        EXPECT_EQ(run.status, 2) << orders;
        EXPECT_NE(run.out.find(says), std::string::npos) << run.out.substr(0, 300);
    }

    // A save needs a name; an empty one is no silent success.
    run = RunVardsim("--ticks 1 --save ''");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("cannot write a file without a name"), std::string::npos) << run.out;

    std::filesystem::remove_all(folder);
    std::filesystem::remove(longLine);
    std::filesystem::remove(badVerb);
    std::filesystem::remove(badTick);
}

// Module files cut short name themselves, wherever the cut falls; a module
// that is not there is named as such.
TEST(Vardsim, DamagedModuleFilesAreNamed)
{
    VardsimRun run = RunVardsim("--ticks 1", "/no/such/module");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("/no/such/module: no module folder or archive is there"),
              std::string::npos)
        << run.out;

    const auto module = TestUtil::ScratchPath("vardsim_module", "");
    for (const auto& [file, cutAfter] :
         {std::pair<std::string, std::string>{"items.vard", "<attribute> stre"},
          {"monsters.vard", "<brain> ne"}})
    {
        std::filesystem::remove_all(module);
        std::filesystem::copy(VARD_DEMO_MODULE, module, std::filesystem::copy_options::recursive);
        std::ifstream in(module / file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        in.close();
        const std::size_t at = text.find(cutAfter);
        ASSERT_NE(at, std::string::npos) << file;
        std::ofstream(module / file, std::ios::trunc | std::ios::binary)
            << text.substr(0, at + cutAfter.size());
        run = RunVardsim("--ticks 1", module.string());
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_NE(run.out.find(file + ", line "), std::string::npos) << run.out;
    }
    std::filesystem::remove_all(module);
}

// A module file that a game needs and the module lacks is named by vardinfo,
// whether the start needs it or only a walk would (an area behind an exit,
// the world map behind another), and by vardsim when the party gets there.
TEST(Vardsim, MissingModuleFilesAreNamedByBothTools)
{
    const auto module = TestUtil::ScratchPath("vardsim_missing", "");
    for (const auto& [file, walk] : {std::pair<std::string, std::string>{"town.vard", ""},
                                     {"journal.vard", ""},
                                     {"forest.vard", "1 game moveparty 58.75 39"},
                                     {"worldmap.vard", "1 game moveparty 58.75 21.25"}})
    {
        std::filesystem::remove_all(module);
        std::filesystem::create_directories(module);
        for (const auto& entry : std::filesystem::directory_iterator(VARD_DEMO_MODULE))
            if (entry.path().extension() == ".vard" && entry.path().filename() != file)
                std::filesystem::copy_file(entry.path(), module / entry.path().filename());
        const std::string missing =
            "module file \"" + file + "\" in " + module.string() + " is missing";
        const std::string orders = WriteOrders("walk", walk + "\n");
        for (const VardsimRun& run : {TestUtil::RunTool("vardinfo", "--module " + module.string()),
                                      RunVardsim("--ticks 60 --orders " + orders, module.string())})
        {
            EXPECT_EQ(run.status, 1) << file;
            EXPECT_NE(run.out.find(missing), std::string::npos) << run.out;
        }
        std::filesystem::remove(orders);
    }
    std::filesystem::remove_all(module);
}

} // namespace
