// A script that never ends, wherever the game runs one: the headless driver
// reports each stop as an error line and plays on, and the stop leaves the
// game able to go on rather than failing again on every tick.

#include "looping_module.h"
#include "scratch_files.h"
#include "test_util.h"
#include "vardsim_run.h"
#include "world/game.h"
#include "world/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
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
// times in a box, or said with 5,000 shouts or chatters. And the lines the
// game makes for a run: a quest of a 500,000-byte name completed again and
// again, a rank that teaches 8,000 spells, each learnt under the hero's
// name. The driver reports each stop and plays on, and never holds what the
// lines would make.
TEST(ScriptStops, AHeartbeatsLongNamesStopWithoutTheMemoryTheyAskFor)
{
    constexpr const char* kNearTheBaker = "1 game moveparty 38.75 16.25\n";
    constexpr const char* kToTheMerchant = "1 0 talk 50331663\n";
    const struct
    {
        ScriptCaller caller;
        const char* orders;
        const char* script;
        std::vector<TestUtil::ModuleAddition> additions;
        const char* stop;
    } cases[] = {
        {ScriptCaller::Heartbeat,
         kNearTheBaker,
         "vard_dialog_box( context , \"t\" , string.rep( \"MAINNAME \" , 7000 ) )",
         {},
         "more than 1 MiB handed to the game with names expanded"},
        {ScriptCaller::Heartbeat,
         kNearTheBaker,
         "for i = 1 , 5000 do vard_shout( context , \"main\" , \"x\" ) end",
         {},
         "more than 1 MiB handed to the game"},
        {ScriptCaller::Heartbeat,
         kNearTheBaker,
         "for i = 1 , 5000 do vard_chatter( context , \"main\" , \"x\" ) end",
         {},
         "more than 1 MiB handed to the game"},
        {ScriptCaller::Heartbeat,
         kNearTheBaker,
         "for i = 1 , 5000 do vard_set_tag_value( context , \"feat\" , 0 ) vard_set_tag( "
         "context , \"work\" ) end",
         {TestUtil::QuestOfLongName(500'000)},
         "more than 1 MiB handed to the game"},
        {ScriptCaller::Talk, kToTheMerchant, "vard_set_faction_rank( context , \"order\" , 1 )",
         TestUtil::RankOfManySpells(8000), "more than 1 MiB handed to the game"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.script);
        const TestUtil::LoopingModule module(
            {c.caller}, std::string("<lua> ") + c.script + " </lua>", c.additions);
        const auto path = TestUtil::ScratchPath("stops_names", ".txt");
        std::ofstream(path) << c.orders;
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

// A hero of a 100,000-byte name holds a rank that, in the module his game is
// loaded with, teaches 8,000 spells he has not learnt. Loading learns them as
// he joins the party, and so does the read-back of every save, each spell
// announced under his name with no run to bound the lines: the lines waiting
// for the screen keep only the newest, and saving and loading stay far below
// the gigabyte the lines would take.
TEST(ScriptStops, AGameLoadedToLearnManySpellsSavesAndLoadsWithinBounds)
{
    const std::string stem = TestUtil::ScratchPath("stops_owed", "").string();
    {
        const TestUtil::LoopingModule before(
            {ScriptCaller::Talk}, "<lua> vard_set_faction_rank( context , \"order\" , 1 ) </lua>",
            TestUtil::RankOfManySpells(0));
        std::ofstream(stem + ".orders") << "1 0 talk 50331663\n";
        const auto run =
            TestUtil::RunVardsim("--orders " + stem + ".orders --ticks 200 --save " + stem +
                                     "_0.vard --name " + std::string(100'000, 'n'),
                                 before.Path());
        ASSERT_EQ(run.status, 0) << run.out.substr(0, 2000);
        ASSERT_NE(run.out.find("promoted to the rank of Adept"), std::string::npos);
    }
    const TestUtil::LoopingModule after({}, "<lua> return 0 </lua>",
                                        TestUtil::RankOfManySpells(8000));
    const auto run = TestUtil::RunVardsim(
        "--load " + stem + "_0.vard --ticks 10 --save " + stem + "_1.vard", after.Path());
    EXPECT_EQ(run.status, 0) << run.out.substr(0, 2000);
    std::size_t lines = 0;
    std::istringstream out(run.out);
    for (std::string line; std::getline(out, line);)
        if (line.find(" inscribes S.") != std::string::npos)
            ++lines;
    // The newest that the lines' bound holds, from each of the two loads.
    const std::size_t held = VARD::kMessageLogBytes / (100'000 + 13);
    EXPECT_GE(lines, held);
    EXPECT_LE(lines, 2 * (held + 1));
    // Every spell was learnt and saved.
    std::stringstream saved;
    saved << std::ifstream(stem + "_1.vard").rdbuf();
    EXPECT_NE(saved.str().find("sp7999"), std::string::npos);
    EXPECT_GT(run.peakKilobytes, 0);
    EXPECT_LT(run.peakKilobytes, 400 * 1024);
    for (const char* file : {".orders", "_0.vard", "_1.vard"})
        std::filesystem::remove(stem + file);
}

// Heartbeats that chatter on every run, for 30,000 ticks: each person the
// party keeps an entry for keeps the newest of the lines said, within the
// bounds, and the saved game stays small. Before the bounds, long lines
// piled up in every saved game without end.
TEST(ScriptStops, AHeartbeatsChatterKeepsEachPersonsNewestLines)
{
    const struct
    {
        const char* what;
        const char* line;
        std::size_t mostLines;
    } cases[] = {
        {"short lines", "i .. '@' .. vard_get_time( context )", VARD::kPeopleJournalLines},
        {"60 KB lines", "i .. '@' .. vard_get_time( context ) .. string.rep( 'y' , 60000 )", 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const TestUtil::LoopingModule module(
            {ScriptCaller::Heartbeat},
            std::string("<lua> for i = 1 , 8 do vard_chatter( context , \"actor\" , ") + c.line +
                " ) end </lua>");
        const std::string stem = TestUtil::ScratchPath("stops_chatter", "").string();
        std::ofstream(stem + ".orders") << "1 game moveparty 38.75 16.25\n";
        const auto run = TestUtil::RunVardsim(
            "--orders " + stem + ".orders --ticks 30000 --save " + stem + ".vard", module.Path());
        ASSERT_EQ(run.status, 0) << run.out.substr(0, 2000);

        // Every line said, by speaker, oldest first.
        std::map<std::string, std::vector<std::string>> said;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);)
        {
            const std::size_t kind = line.find("\t18\t");
            const std::size_t name = line.find(" : ");
            if (kind != std::string::npos && name != std::string::npos)
                said[line.substr(kind + 4, name - kind - 4)].push_back(line.substr(kind + 4));
        }
        std::stringstream saved;
        saved << std::ifstream(stem + ".vard").rdbuf();
        std::filesystem::remove(stem + ".orders");
        std::filesystem::remove(stem + ".vard");
        EXPECT_LT(saved.str().size(), 1'000'000u);

        const std::size_t at = saved.str().find("<people>");
        ASSERT_NE(at, std::string::npos);
        auto reader = TestUtil::ReaderOf(saved.str().substr(at));
        VARD::PeopleJournal people;
        VARD::ReadPeople(reader, people);
        std::size_t persons = 0;
        for (const auto& [key, person] : people)
        {
            const auto& lines = said[person->displayName];
            if (lines.size() <= c.mostLines)
                continue;
            ++persons;
            EXPECT_EQ(person->lines,
                      std::vector<std::string>(
                          lines.end() - static_cast<std::ptrdiff_t>(c.mostLines), lines.end()))
                << key;
        }
        EXPECT_GE(persons, 1u);
    }
}

} // namespace
