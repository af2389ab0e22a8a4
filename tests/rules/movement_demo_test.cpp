// The demo's main character walks across the start area around the temple's
// walls, the same way under the same seed.

#include "movement_test_util.h"

#include "world/order.h"

#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

struct CWalk
{
    std::vector<std::string> path;
    int detourTicks = 0;
    bool arrived = false;
};

// From below the temple's south-east corner to the grass east of its wall.
CWalk WalkPastTheTemple(std::uint32_t seed)
{
    auto engine = RulesTest::NewDemoGame(seed);
    engine->EnterArea();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = RulesTest::Member(*engine);
    engine->WizardMoveParty(8.75, 16.25);
    const VARD::CArea& town = *game.GetCurrentArea();

    CWalk walk;
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(21.25, 6.25), false);
    for (int tick = 0; tick < 300 && hero.GetFrontOrder(); ++tick)
    {
        game.AdvanceTick();
        engine->UpdateActors();
        engine->ExecuteTimedOrders();
        EXPECT_FALSE(MovementTest::TouchesBlockingCell(town, hero))
            << "at " << hero.GetX() << " " << hero.GetY();
        EXPECT_TRUE(town.IsPositionFree(&hero, hero.GetX(), hero.GetY(), nullptr));
        if (hero.GetDetourMode() != 0)
            ++walk.detourTicks;
        walk.path.push_back(std::to_string(hero.GetX()) + " " + std::to_string(hero.GetY()));
    }
    walk.arrived = !hero.GetFrontOrder() && hero.GetX() == 21.25 && hero.GetY() == 6.25;
    return walk;
}

TEST(MovementDemo, TheHeroWalksAroundTheTempleWall)
{
    const CWalk first = WalkPastTheTemple(5);
    EXPECT_TRUE(first.arrived);
    EXPECT_GT(first.detourTicks, 0);
    // Straight it would be 48 steps; the corner costs a few more.
    EXPECT_GT(first.path.size(), 48u);
    EXPECT_LT(first.path.size(), 90u);
    EXPECT_EQ(WalkPastTheTemple(5).path, first.path);
}

// The headless driver walks the same way: the report shows the member on
// its point.
TEST(MovementDemo, VardsimMoveOrdersWalkTheParty)
{
    const auto orders = std::filesystem::temp_directory_path() /
                        ("movement_demo_" + std::to_string(getpid()) + ".txt");
    std::ofstream(orders) << "2 game moveparty 8.75 16.25\n3 0 move 21.25 6.25\n";
    const auto run =
        TestUtil::RunVardsim("--seed 5 --ticks 300 --report --orders " + orders.string());
    const std::string& out = run.out;
    EXPECT_EQ(run.status, 0) << out;
    std::filesystem::remove(orders);
    const auto start = out.find("member 0 Hero ");
    ASSERT_NE(start, std::string::npos) << out;
    const std::string line = out.substr(start, out.find('\n', start) - start);
    EXPECT_EQ(line.substr(line.find(" at ")), " at 21.25 6.25") << out;
}

} // namespace
