// The demo's main character walks across the start area around the temple's
// walls, the same way under the same seed.

#include "ai_test_util.h"
#include "movement_test_util.h"

#include "world/order.h"

#include "vardsim_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
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

// Every door of the demo's areas, opened, lets the main character through
// from one side to the other: a doorway must be wider than he is (a
// one-cell door is not), and nothing beside it may stop him.
// The party at the area's entry, if it is not there yet, with nobody else
// to stand in the way or start a fight.
VARD::CArea& EnterAlone(VARD::CEngine& engine, const std::string& name, const std::string& entry)
{
    VARD::CGame& game = engine.Game();
    if (game.GetCurrentArea() == nullptr || game.GetCurrentArea()->GetName() != name)
    {
        game.SetTravel(name, entry);
        if (game.GetCurrentArea() != nullptr)
        {
            game.SetState(VARD::kGameTravelByScript);
            engine.LeaveArea();
        }
        else
            game.SetState(VARD::kGameDestinationKnown);
        engine.EnterArea();
    }
    VARD::CArea& area = *game.GetCurrentArea();
    for (const auto& actor : area.GetActors())
        if (actor->GetAttitude() != VARD::kAttitudeParty)
            area.RemoveActor(actor.get());
    return area;
}

TEST(MovementDemo, TheHeroWalksThroughEveryOpenDoorOfTheDemo)
{
    // The crypt's entry script runs as the party enters.
    AITest::CountingScripts scripts;
    auto engine = RulesTest::NewDemoGame(3);
    engine->EnterArea();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = RulesTest::Member(*engine);
    std::size_t doors = 0;
    for (const std::string name : {"town", "forest", "crypt"})
    {
        VARD::CArea& area = EnterAlone(*engine, name, name == "forest" ? "road" : "stairs");
        std::set<const VARD::CTile*> done;
        for (const auto& tile : area.GetTiles())
        {
            if (area.GetCellKind(tile->GetColumn(), tile->GetRow()) != VARD::kTileKindDoor ||
                done.count(tile.get()) != 0)
                continue;
            ++doors;
            const std::vector<VARD::CTile*> cells = area.CollectDoorTiles(tile.get());
            double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
            for (VARD::CTile* cell : cells)
            {
                done.insert(cell);
                cell->GetDoor()->SetOpen(true);
                x0 = std::min(x0, cell->GetColumn() * VARD::kCellSize);
                y0 = std::min(y0, cell->GetRow() * VARD::kCellSize);
                x1 = std::max(x1, (cell->GetColumn() + 1) * VARD::kCellSize);
                y1 = std::max(y1, (cell->GetRow() + 1) * VARD::kCellSize);
            }
            // Through a row of door cells from north to south, through a
            // column of them from west to east.
            const double cx = (x0 + x1) / 2;
            const double cy = (y0 + y1) / 2;
            const bool across = x1 - x0 >= y1 - y0;
            const double reach = 2 * VARD::kCellSize;
            const std::array<double, 2> from{across ? cx : x0 - reach, across ? y0 - reach : cy};
            const std::array<double, 2> to{across ? cx : x1 + reach, across ? y1 + reach : cy};
            SCOPED_TRACE(std::string(name) + " door at " + std::to_string(cx) + ", " +
                         std::to_string(cy));
            ASSERT_TRUE(area.IsPositionFree(&hero, from[0], from[1], nullptr));
            hero.SetPosition(from[0], from[1]);
            hero.ClearOrders();
            hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(to[0], to[1]), false);
            for (int tick = 0; tick < 200 && hero.GetFrontOrder(); ++tick)
            {
                game.AdvanceTick();
                engine->UpdateActors();
                engine->ExecuteTimedOrders();
            }
            EXPECT_EQ(hero.GetX(), to[0]);
            EXPECT_EQ(hero.GetY(), to[1]);
        }
    }
    // The temple court's, the wood's four gates, the cellar's and the sun door.
    EXPECT_EQ(doors, 7u);
}

// Once the temple key is taken, the way the README gives to the old stair
// works from wherever the necromancer may have fallen: in his vault the Exit
// is offered at once, or on a walk west; from the hall north of the chasm, at
// the narrow vault's mouth, to which the hero walks straight (out of the sun
// door's doorway first, whose posts stop a walk along the wall). It leads to
// the temple, not up the stairs to the wood, whose own Exit shows in the
// hall's east end.
TEST(MovementDemo, TheWayToTheOldStairFromWhereverTheNecromancerFalls)
{
    AITest::CountingScripts scripts;
    auto engine = RulesTest::NewDemoGame(3);
    VARD::CArea& crypt = EnterAlone(*engine, "crypt", "stairs");
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = RulesTest::Member(*engine);
    ASSERT_EQ(crypt.GetName(), "crypt");
    // He came out through the sun door, or fell behind it.
    for (const auto& tile : crypt.GetTiles())
        if (crypt.GetCellKind(tile->GetColumn(), tile->GetRow()) == VARD::kTileKindDoor)
            tile->GetDoor()->SetOpen(true);
    game.SetQuestTag("temple_key_found", 1);

    // Whether the Exit is offered, and to the temple, where the hero stands.
    const auto offersTheStair = [&]
    {
        game.SetState(VARD::kGameRunning);
        engine->CheckAreaExits();
        return game.GetState() == VARD::kGameTravelAtExit && game.GetTravelArea() == "town";
    };
    // The walk to a point, until the hero stands; whether the stair was
    // offered on the way, or only where it ends.
    const auto walk = [&](double x, double y, bool& onTheWay)
    {
        hero.ClearOrders();
        hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(x, y), false);
        onTheWay = false;
        for (int tick = 0; tick < 400 && hero.GetFrontOrder(); ++tick)
        {
            game.AdvanceTick();
            engine->UpdateActors();
            engine->ExecuteTimedOrders();
            onTheWay = offersTheStair() || onTheWay;
        }
        return offersTheStair();
    };

    const double cell = VARD::kCellSize;
    const double mouthX = 7.0 * cell;
    const double mouthY = 8.5 * cell;
    int vault = 0, atOnce = 0, hall = 0;
    // Every cell's corners and middle: his vault, his doorway and the hall
    // down to the chasm's row.
    for (double x = cell; x <= 17.0 * cell; x += cell / 2)
        for (double y = cell; y <= 15.0 * cell; y += cell / 2)
        {
            const bool inVault = y < 8.0 * cell && x > 9.0 * cell;
            // Standing in the door's row, if only in part.
            const bool inDoorway =
                x > 9.0 * cell && y >= 8.0 * cell && y - hero.GetRadius() < 9.0 * cell;
            const bool inHall = y >= 9.0 * cell && !inDoorway;
            if ((!inVault && !inDoorway && !inHall) || !crypt.IsPositionFree(&hero, x, y, nullptr))
                continue;
            SCOPED_TRACE("from " + std::to_string(x) + " " + std::to_string(y));
            hero.SetPosition(x, y);
            bool onTheWay = false;
            if (inVault)
            {
                ++vault;
                if (offersTheStair())
                {
                    ++atOnce;
                    continue;
                }
                walk(9.0 * cell + hero.GetRadius(), y, onTheWay);
                EXPECT_TRUE(onTheWay) << "walking west stopped at " << hero.GetX();
                continue;
            }
            if (inDoorway)
                walk(x, 10.0 * cell, onTheWay);
            ++hall;
            EXPECT_TRUE(walk(mouthX, mouthY, onTheWay))
                << "the walk to the mouth stopped at " << hero.GetX() << " " << hero.GetY();
        }
    // Most of his vault: the page closed, the Exit is there to click.
    EXPECT_GT(atOnce * 2, vault);
    EXPECT_GT(hall, 250);
}

// The headless driver walks the same way: the report shows the member on
// its point.
TEST(MovementDemo, VardsimMoveOrdersWalkTheParty)
{
    const auto orders = TestUtil::ScratchPath("movement_demo", ".txt");
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
