// The demo adventure played headlessly from a new game to the victory: the
// quest giver, a purchase, the world map, the crypt's doors, the key, the
// faction rank and the script that wins.

#include "test_util.h"
#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(DemoAdventure, ANewGamePlaysThroughToTheVictory)
{
    const std::string orders =
        TestUtil::FixturePath("rules", "adventure/demo_adventure_orders.txt").string();
    const auto run = TestUtil::RunVardsim("--ticks 800 --report --orders " + orders);
    const std::string& out = run.out;
    EXPECT_EQ(run.status, 0) << out;
    // The milestones, in the order they must happen.
    const char* const milestones[] = {
        "164\t18\tYou have been assigned a quest (The Temple Key).\n",
        "300\t19\tThe party has gained 15 gold.\n",
        "301\t18\tMerchant : Take your time and look.\n",
        "407\ttravel\tforest road\n",
        "408\t18\tYour journey takes 3 hours.\n",
        "424\t18\tThe blessing of the sun stirs as you reach the sealed door.\n",
        "461\t18\tYour Journal has been updated.\n",
        "462\t19\tThe party has gained 50 gold.\n",
        "470\t20\tThe party has completed a quest for 300xp (The Temple Key).\n",
        "470\t19\tThe party has gained 200 gold.\n",
        "470\t18\tHero has been promoted to the rank of Novice.\n",
        "475\tchoice\t1 Light the sun fire on the altar.\n",
        "475\t18\tFather Aldous : The fire catches, and the light of the sun fills the old "
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
          "tag temple_key_returned 1\n", "item 83886135 dagger x1 in 50331649\n"})
        EXPECT_NE(out.find(line), std::string::npos) << line << '\n' << out;
    // The game stops at the victory: no tick runs after it.
    EXPECT_NE(out.find("state=7 tick=756472 gold=255 party=1 area=town\n"), std::string::npos)
        << out;
    EXPECT_EQ(out.find("\terror\t"), std::string::npos) << out;
}

} // namespace
