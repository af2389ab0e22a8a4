// The demo adventure played headlessly from a new game to the victory by a
// lone new hero, with no wizard orders: the quest giver, purchases, the world
// map, a fight and a trap in the wood, the crypt's locked and blessed doors,
// the boss who drops the key where he falls, the faction rank and the script
// that wins; and what a player meets on the way: rats that wait until the
// party comes near, a baker and a necromancer who do not fill the message
// log, and a game saved after the key that loads as it was.

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

TEST(DemoAdventure, TheNecromancerDropsTheKeyWhereHeFalls)
{
    // The tick before he falls, and the tick the key is taken.
    const std::string before = Play(5172);
    const std::string after = Play(5173);
    std::string standing;
    for (const std::string& line : ActorLines(before))
        if (line.find(" necromancer side ") != std::string::npos)
            standing = line;
    ASSERT_FALSE(standing.empty()) << before;
    const std::string bearer = standing.substr(6, standing.find(' ', 6) - 6);
    EXPECT_NE(before.find(" temple_key x1 in " + bearer + "\n"), std::string::npos) << before;
    // One pile where he stood holds the key; nothing else does.
    const std::size_t item = after.find(" temple_key x1 in ");
    ASSERT_NE(item, std::string::npos) << after;
    EXPECT_EQ(after.find(" temple_key x1 in ", item + 1), std::string::npos) << after;
    const std::size_t end = after.find('\n', item);
    const std::string pile = after.substr(item + 18, end - item - 18);
    const std::size_t object = after.find("object " + pile + " pile at ");
    ASSERT_NE(object, std::string::npos) << after;
    const auto [px, py] = PlaceOf(after.substr(object, after.find('\n', object) - object));
    const auto [nx, ny] = PlaceOf(standing);
    EXPECT_LT(std::hypot(px - nx, py - ny), 2.5) << standing;
}

TEST(DemoAdventure, RatsWaitOnTheRoadUntilThePartyComesNear)
{
    // Straight to Greywood, where the hero stands still at the road's entry
    // for ten game seconds: the rats stand in full view, up the road.
    const auto path = TestUtil::ScratchPath("rats_wait");
    std::ofstream(path) << "1 game travel forest road\n1 0 move 58.75 21.25\n";
    const auto run = TestUtil::RunVardsim("--ticks 400 --report --orders " + path.string());
    std::filesystem::remove(path);
    ASSERT_EQ(run.status, 0) << run.out;
    ASSERT_NE(run.out.find(" area=forest\n"), std::string::npos) << run.out;
    const std::size_t arrived = run.out.find("\ttravel\tforest road\n");
    ASSERT_NE(arrived, std::string::npos) << run.out;
    EXPECT_LT(std::stoi(run.out.substr(run.out.rfind('\n', arrived) + 1)), 100) << run.out;
    EXPECT_EQ(run.out.find("Giant Rat (Bite)"), std::string::npos) << run.out;
    std::pair<double, double> hero;
    std::size_t rats = 0;
    for (const std::string& line : ActorLines(run.out))
        if (line.find(" main side ") != std::string::npos)
            hero = PlaceOf(line);
    for (const std::string& line : ActorLines(run.out))
    {
        if (line.find(" giant_rat side ") == std::string::npos)
            continue;
        ++rats;
        EXPECT_NE(line.find(" side 2 "), std::string::npos) << line;
        const auto [x, y] = PlaceOf(line);
        EXPECT_GT(std::hypot(x - hero.first, y - hero.second), 10 * 2.5) << line;
    }
    EXPECT_EQ(rats, 2u) << run.out;
}

TEST(DemoAdventure, CallersNearThePartyCallOutNowAndThenNotAtEveryTurn)
{
    // Eleven game minutes beside each: the ambience turns to the one nearest
    // the party often; the baker calls out at one turn in four, the
    // necromancer once a visit. The baker walks the square; the necromancer
    // waits behind his door while the party stands in the cellar next to his
    // vault, the cultist dead: his calls count from the visit's start.
    const auto saved = TestUtil::ScratchPath("cellar.sav");
    const std::string cellar = Play(3700, " --save " + saved.string());
    ASSERT_NE(cellar.find(" area=crypt\n"), std::string::npos) << cellar;
    ASSERT_NE(cellar.find("Hero has killed Cultist."), std::string::npos) << cellar;
    const std::size_t entered = cellar.find("The blessing of the sun stirs");
    ASSERT_NE(entered, std::string::npos) << cellar;
    const struct
    {
        std::string start;
        std::string before;
        const char* place;
        const char* area;
        const char* call;
        std::size_t most;
    } callers[] = {
        {"--seed 4", "", "34 12", "town", "Baker : Fresh bread!", 7},
        {"--load " + saved.string(), cellar.substr(entered), "8.75 11.25", "crypt",
         "Necromancer : Who walks in my crypt?", 1},
    };
    const auto path = TestUtil::ScratchPath("caller");
    for (const auto& caller : callers)
    {
        std::ofstream(path) << "1 game moveparty " << caller.place << "\n";
        const auto run =
            TestUtil::RunVardsim(caller.start + " --ticks 20000 --orders " + path.string());
        ASSERT_EQ(run.status, 0) << run.out;
        ASSERT_NE(run.out.find(std::string(" area=") + caller.area + "\n"), std::string::npos)
            << run.out;
        const std::string heard = caller.before + run.out;
        std::size_t calls = 0;
        for (std::size_t at = heard.find(caller.call); at != std::string::npos;
             at = heard.find(caller.call, at + 1))
            ++calls;
        EXPECT_GE(calls, 1u) << caller.call << heard;
        EXPECT_LE(calls, caller.most) << caller.call << heard;
    }
    std::filesystem::remove(path);
    std::filesystem::remove(saved);
}

TEST(DemoAdventure, AGameSavedAfterTheKeyLoadsWithItsFoesWhereTheyStood)
{
    // Saved in the crypt the tick after the key is taken, as the old stair
    // opens: the dead it wakes have risen at the far end of the hall, by the
    // stairs to the wood, some eleven cells and more from the one who took it.
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
        EXPECT_GT(std::hypot(x - hero.first, y - hero.second), 11 * 2.5) << line;
    }
    EXPECT_EQ(dead, 2u) << before;
    // Loading raises nobody more and moves nobody.
    EXPECT_EQ(ActorLines(load.out), actors) << load.out;
}

} // namespace
