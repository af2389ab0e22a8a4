// The demo adventure played headlessly from a new game to the victory by a
// lone new hero, with no wizard orders: the quest giver, purchases, the world
// map, a fight and a trap in the wood, the crypt's locked and blessed doors,
// the boss who drops the key where he falls (taken the tick after), the
// faction rank and the script that wins; and what a player meets on the way:
// a baker who does not fill the message log, and a game saved after the key
// that loads as it was.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace
{

std::string Orders()
{
    return TestUtil::FixturePath("rules", "adventure/demo_adventure_orders.txt").string();
}

std::string Play(int ticks, const std::string& more = {})
{
    const auto run = TestUtil::RunVardsim("--ticks " + std::to_string(ticks) +
                                          " --report --orders " + Orders() + more);
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
}

// The report's "actor ..." lines.
std::set<std::string> ActorLines(const std::string& out)
{
    std::set<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("actor ", 0) == 0)
            lines.insert(line);
    return lines;
}

// x and y of a report line ending in "at X Y".
std::pair<double, double> PlaceOf(const std::string& line)
{
    std::istringstream words(line.substr(line.rfind(" at ") + 4));
    double x = 0.0;
    double y = 0.0;
    words >> x >> y;
    return {x, y};
}

TEST(DemoAdventure, TheOrdersGiveNoWizardCommand)
{
    std::ifstream in(Orders());
    ASSERT_TRUE(in);
    std::size_t orders = 0;
    for (std::string line; std::getline(in, line);)
    {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string tick, who, verb;
        if (!(words >> tick >> who >> verb))
            continue;
        ++orders;
        // Choosing the destination on the world map is the player's own.
        if (who == "game")
        {
            EXPECT_EQ(verb, "travel") << line;
        }
    }
    EXPECT_GT(orders, 20u);
}

TEST(DemoAdventure, ANewGamePlaysThroughToTheVictory)
{
    const std::string out = Play(6000);
    // The milestones, in the order they must happen.
    const char* const milestones[] = {
        "117\t18\tYou have been assigned a quest (The Temple Key).\n",
        "186\t19\tThe party has gained 80 gold.\n",
        "187\t18\tMerchant : Take your time and look.\n",
        "267\ttravel\tforest road\n",
        "268\t18\tYour journey takes 3 hours.\n",
        "1110\t26\tHero has killed Giant Rat.\n",
        "1212\t18\tThe blessing of the sun stirs as you reach the sealed door.\n",
        "3341\t18\tHero picks the locked door [Locks 50 +0 vs 40].\n",
        "3642\t26\tHero has killed Cultist.\n",
        "5172\t26\tHero has killed Necromancer.\n",
        // The key taken from where he fell.
        "5173\t18\tYour Journal has been updated.\n",
        "5175\t18\tYour journey takes 4 hours.\n",
        "5183\t18\tShrine of the Sun : The stone is warm under your hand.\n",
        "5193\t20\tThe party has completed a quest for 300xp (The Temple Key).\n",
        "5193\t19\tThe party has gained 200 gold.\n",
        "5193\t18\tHero has been promoted to the rank of Novice.\n",
        "5203\t18\tFather Aldous : The sun smiles on you. The temple is ours again, and Hero "
        "has its thanks.\n",
        "5203\tchoice\t1 Light the sun fire on the altar.\n",
        "5203\t18\tFather Aldous : The fire catches, and the light of the sun fills the old "
        "temple again.\n",
    };
    std::size_t at = 0;
    for (const char* milestone : milestones)
    {
        const std::size_t found = out.find(milestone, at);
        ASSERT_NE(found, std::string::npos) << milestone << '\n' << out;
        at = found;
    }
    for (const char* line :
         {"journal temple_key temple_key_start\n", "journal temple_key temple_key_found\n",
          "journal temple_key temple_key_done\n", "journal crypt_found crypt_found\n",
          "tag temple_key_returned 1\n", "tag crypt_guardians 1\n", "tag cultists 1\n",
          "item 83886133 dagger x1 in 50331649\n", "item 83886134 leather_armor x1 in 50331649\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
    EXPECT_EQ(out.find("Hero has died"), std::string::npos) << out;
    // The tripwire lies in plain sight: the hero walks round it.
    EXPECT_EQ(out.find("springs Tripwire"), std::string::npos) << out;
    // The game stops at the victory: no tick runs after it.
    EXPECT_NE(out.find("state=7 tick=761200 gold=230 party=1 area=town\n"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("\terror\t"), std::string::npos) << out;
}

TEST(DemoAdventure, TheBakerCallsHerBreadNowAndThenNotAtEveryTurn)
{
    // Eleven game minutes by the square where she walks: the ambience turns
    // to her often, and she calls out at one turn in four.
    const auto path = TestUtil::ScratchPath("baker");
    std::ofstream(path) << "1 game moveparty 34 12\n";
    const auto run = TestUtil::RunVardsim("--seed 4 --ticks 20000 --orders " + path.string());
    std::filesystem::remove(path);
    ASSERT_EQ(run.status, 0) << run.out;
    ASSERT_NE(run.out.find(" area=town\n"), std::string::npos) << run.out;
    std::size_t calls = 0;
    for (std::size_t at = run.out.find("Baker : Fresh bread!"); at != std::string::npos;
         at = run.out.find("Baker : Fresh bread!", at + 1))
        ++calls;
    EXPECT_GE(calls, 1u) << run.out;
    EXPECT_LE(calls, 7u) << run.out;
}

TEST(DemoAdventure, AGameSavedAfterTheKeyLoadsWithItsFoesWhereTheyStood)
{
    // Saved in the crypt the tick after the key is taken, as the old stair
    // opens: the dead it wakes have risen at the far end of the hall.
    const auto saved = TestUtil::ScratchPath("after_key.sav");
    const std::string before = Play(5174, " --save " + saved.string());
    const auto load = TestUtil::RunVardsim("--ticks 0 --report --load " + saved.string());
    std::filesystem::remove(saved);
    ASSERT_EQ(load.status, 0) << load.out;
    ASSERT_NE(before.find(" area=crypt\n"), std::string::npos) << before;
    ASSERT_NE(before.find("tag temple_key_found 1\n"), std::string::npos) << before;
    const std::set<std::string> actors = ActorLines(before);
    std::pair<double, double> hero;
    std::size_t dead = 0;
    for (const std::string& line : actors)
        if (line.find(" main side ") != std::string::npos)
            hero = PlaceOf(line);
    for (const std::string& line : actors)
    {
        if (line.find(" skeleton side 3 ") == std::string::npos)
            continue;
        ++dead;
        const auto [x, y] = PlaceOf(line);
        EXPECT_GT(std::hypot(x - hero.first, y - hero.second), 8 * 2.5) << line;
    }
    EXPECT_EQ(dead, 2u) << before;
    // Loading raises nobody more and moves nobody.
    EXPECT_EQ(ActorLines(load.out), actors) << load.out;
}

} // namespace
