// The demo adventure played headlessly from a new game to the victory by a
// lone new hero, with no wizard orders: the quest giver, purchases, the world
// map, a fight and a trap in the wood, the crypt's locked and blessed doors,
// the boss who carries the key, the faction rank and the script that wins.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string Orders()
{
    return TestUtil::FixturePath("rules", "adventure/demo_adventure_orders.txt").string();
}

std::string Play(int ticks)
{
    const auto run =
        TestUtil::RunVardsim("--ticks " + std::to_string(ticks) + " --report --orders " + Orders());
    EXPECT_EQ(run.status, 0) << run.out;
    return run.out;
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

TEST(DemoAdventure, ANewHeroWinsTheWoodAndReachesTheCryptWhereNoChestHoldsTheKey)
{
    const std::string out = Play(1950);
    for (const char* line :
         {"1022\t26\tHero has killed Giant Rat.\n", "1742\t26\tHero has killed Giant Rat.\n",
          "1841\t18\tHero springs Tripwire [Traps 50 +0 vs 60].\n",
          "1947\t18\tThe blessing of the sun stirs as you reach the sealed door.\n",
          "member 0 Hero level 1 hp 36/43 at ", "tag rats 1\n",
          "actor 50331747 necromancer side 2 hp 36/36 at 31.25 11.25\n", " area=crypt\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
    // The key is his, not a chest's: nothing in the crypt holds it yet.
    EXPECT_EQ(out.find(" temple_key x1 in "), std::string::npos) << out;
    EXPECT_EQ(out.find("Hero has died"), std::string::npos) << out;
}

TEST(DemoAdventure, ANewGamePlaysThroughToTheVictory)
{
    const std::string out = Play(7000);
    // The milestones, in the order they must happen.
    const char* const milestones[] = {
        "164\t18\tYou have been assigned a quest (The Temple Key).\n",
        "300\t19\tThe party has gained 80 gold.\n",
        "301\t18\tMerchant : Take your time and look.\n",
        "407\ttravel\tforest road\n",
        "408\t18\tYour journey takes 3 hours.\n",
        "1742\t26\tHero has killed Giant Rat.\n",
        "1841\t18\tHero springs Tripwire [Traps 50 +0 vs 60].\n",
        "1947\t18\tThe blessing of the sun stirs as you reach the sealed door.\n",
        "4108\t18\tHero picks the locked door [Locks 50 +0 vs 40].\n",
        "5368\t26\tHero has killed Cultist.\n",
        "6399\t26\tHero has killed Necromancer.\n",
        // The key taken from where he fell.
        "6408\t18\tYour Journal has been updated.\n",
        "6410\t18\tYour journey takes 4 hours.\n",
        "6424\t18\tShrine of the Sun : The stone is warm under your hand.\n",
        "6568\t20\tThe party has completed a quest for 300xp (The Temple Key).\n",
        "6568\t19\tThe party has gained 200 gold.\n",
        "6568\t18\tHero has been promoted to the rank of Novice.\n",
        "6718\tchoice\t1 Light the sun fire on the altar.\n",
        "6718\t18\tFather Aldous : The fire catches, and the light of the sun fills the old "
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
          "item 83886135 dagger x1 in 50331649\n", "item 83886136 leather_armor x1 in 50331649\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
    EXPECT_EQ(out.find("Hero has died"), std::string::npos) << out;
    // The game stops at the victory: no tick runs after it.
    EXPECT_NE(out.find("state=7 tick=762715 gold=230 party=1 area=town\n"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("\terror\t"), std::string::npos) << out;
}

} // namespace
