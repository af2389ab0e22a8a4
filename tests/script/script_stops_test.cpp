// A script that never ends, wherever the game runs one: the headless driver
// reports each stop as an error line and plays on, and the stop leaves the
// game able to go on rather than failing again on every tick.

#include "looping_module.h"
#include "scratch_files.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using TestUtil::ScriptCaller;

constexpr const char* kStop = "code 6: script stopped: step budget spent";

// Through the wood and down the stairs into the crypt by step 10.
constexpr const char* kToTheCrypt = "2 game tag temple_key_assigned 1\n"
                                    "2 game moveparty 58.75 38.75\n"
                                    "8 game moveparty 91.25 11.25\n";

struct Outcome
{
    std::vector<int> errorSteps;
    std::vector<std::string> otherErrors;
    std::string last;
    int status = -1;
};

Outcome RunLooping(ScriptCaller caller, const std::string& orders, int ticks)
{
    const TestUtil::LoopingModule module({caller});
    const auto path = TestUtil::ScratchPath("stops_orders", ".txt");
    std::ofstream(path) << orders;
    const auto run = TestUtil::RunVardsim(
        "--orders " + path.string() + " --ticks " + std::to_string(ticks), module.Path());
    std::filesystem::remove(path);
    Outcome outcome;
    outcome.status = run.status;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);)
    {
        const std::size_t tab = line.find("\terror\t");
        if (tab == std::string::npos)
            outcome.last = line;
        else if (line.substr(tab + 7) == kStop)
            outcome.errorSteps.push_back(std::stoi(line.substr(0, tab)));
        else
            outcome.otherErrors.push_back(line);
    }
    return outcome;
}

TEST(ScriptStops, EveryCallerStopsOnceAndTheDriverPlaysOn)
{
    const struct
    {
        const char* name;
        ScriptCaller caller;
        std::string orders;
        int ticks;
        std::vector<int> errorSteps;
        const char* end;
    } cases[] = {
        // Walking up to the merchant opens the talk, whose first state stops.
        {"talk", ScriptCaller::Talk, "1 0 talk 50331663\n", 60, {13}, "state=0 tick=60"},
        {"quest",
         ScriptCaller::Quest,
         "2 game tag temple_key_assigned 1\n",
         10,
         {2},
         "state=0 tick=10"},
        // The sealed door, tried once; the order is over after the stop.
        {"door",
         ScriptCaller::Door,
         std::string(kToTheCrypt) + "20 0 use 16785228\n",
         60,
         {20},
         "area=crypt"},
        // The party stands on the loose flagstone: it springs once and re-arms.
        {"trap",
         ScriptCaller::Trap,
         std::string(kToTheCrypt) + "20 game moveparty 18.75 31.25\n",
         200,
         {20},
         "area=crypt"},
        // The town's entry when the game starts, the wood's on arrival.
        {"entry",
         ScriptCaller::Entry,
         "2 game moveparty 58.75 38.75\n",
         20,
         {0, 5},
         "state=0 tick=324016 gold=0 party=1 area=forest"},
        // Each leave fails before anything is left; the next step is a tick,
        // which finds the party at the exit again.
        {"exit",
         ScriptCaller::Exit,
         "1 game moveparty 58.75 38.75\n",
         12,
         {2, 4, 6, 8, 10},
         "state=1 tick=7 gold=0 party=1 area=town"},
    };
    for (const auto& c : cases)
    {
        const Outcome outcome = RunLooping(c.caller, c.orders, c.ticks);
        EXPECT_EQ(outcome.status, 0) << c.name;
        EXPECT_EQ(outcome.errorSteps, c.errorSteps) << c.name;
        EXPECT_TRUE(outcome.otherErrors.empty()) << c.name << ": " << outcome.otherErrors.front();
        EXPECT_NE(outcome.last.find(c.end), std::string::npos) << c.name << ": " << outcome.last;
    }
}

TEST(ScriptStops, AHeartbeatThatStopsIsNotDueAgainOnTheNextTick)
{
    // Next to the baker, whose neighbours all have heartbeats now.
    const Outcome outcome =
        RunLooping(ScriptCaller::Heartbeat, "1 game moveparty 38.75 16.25\n", 1500);
    EXPECT_EQ(outcome.status, 0);
    ASSERT_GE(outcome.errorSteps.size(), 2u);
    for (std::size_t i = 1; i < outcome.errorSteps.size(); ++i)
        EXPECT_GE(outcome.errorSteps[i] - outcome.errorSteps[i - 1], 150) << i;
    EXPECT_NE(outcome.last.find("state=0 tick=1500"), std::string::npos) << outcome.last;
}

// A hero's name of 100,000 bytes in a heartbeat's lines: asked for 7,000
// times in a box, or said with 5,000 shouts or chatters. The driver reports
// each stop and plays on, and never holds what the lines would make.
TEST(ScriptStops, AHeartbeatsLongNamesStopWithoutTheMemoryTheyAskFor)
{
    const struct
    {
        const char* script;
        const char* stop;
    } cases[] = {
        {"vard_dialog_box( context , \"t\" , string.rep( \"MAINNAME \" , 7000 ) )",
         "more than 1 MiB handed to the game with names expanded"},
        {"for i = 1 , 5000 do vard_shout( context , \"main\" , \"x\" ) end",
         "more than 1 MiB handed to the game"},
        {"for i = 1 , 5000 do vard_chatter( context , \"main\" , \"x\" ) end",
         "more than 1 MiB handed to the game"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.script);
        const TestUtil::LoopingModule module({ScriptCaller::Heartbeat},
                                             std::string("<lua> ") + c.script + " </lua>");
        const auto path = TestUtil::ScratchPath("stops_names", ".txt");
        std::ofstream(path) << "1 game moveparty 38.75 16.25\n";
        const auto run = TestUtil::RunVardsim("--orders " + path.string() + " --ticks 400 --name " +
                                                  std::string(100'000, 'n'),
                                              module.Path());
        std::filesystem::remove(path);

        EXPECT_EQ(run.status, 0) << run.out.substr(0, 2000);
        int stops = 0;
        std::istringstream lines(run.out);
        std::string last;
        for (std::string line; std::getline(lines, line); last = line)
        {
            const std::size_t tab = line.find("\terror\t");
            if (tab == std::string::npos)
                continue;
            EXPECT_EQ(line.substr(tab + 7), std::string("code 6: script stopped: ") + c.stop);
            ++stops;
        }
        EXPECT_GE(stops, 1);
        EXPECT_NE(last.find("state=0 tick=400"), std::string::npos) << last.substr(0, 200);
        // Kilobytes: this run's peak, far below the gigabyte the lines would
        // take.
        EXPECT_GT(run.peakKilobytes, 0);
        EXPECT_LT(run.peakKilobytes, 400 * 1024);
    }
}

} // namespace
