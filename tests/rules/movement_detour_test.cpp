// Walkers on small areas: around a wall, past each other in a corridor,
// waiting for an actor in the way, and the rules of a single step.

#include "movement_test_util.h"

#include "world/order.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

using MovementTest::CFixture;
using MovementTest::TouchesBlockingCell;

constexpr double kStep = 10.0 / 30.0;

TEST(MovementDetour, WalksAroundAWallAndArrivesWithoutTouchingIt)
{
    CFixture fixture({
        "############",
        "#..........#",
        "#..........#",
        "#....#.....#",
        "#....#.....#",
        "#....#.....#",
        "#..........#",
        "#..........#",
        "############",
    });
    auto walker = fixture.AddActor(6.25, 11.25);
    const auto order = std::make_shared<VARD::CMoveOrder>(23.75, 11.25);
    walker->QueueOrder(order, false);

    bool sawEdge = false;
    int ticks = 0;
    while (walker->GetFrontOrder() == order && ticks < 400)
    {
        const double x = walker->GetX();
        const double y = walker->GetY();
        const std::uint32_t mode = walker->GetDetourMode();
        fixture.Step();
        ++ticks;
        ASSERT_FALSE(TouchesBlockingCell(*fixture.area, *walker))
            << "tick " << ticks << " at " << walker->GetX() << " " << walker->GetY();
        if (walker->GetDetourMode() == 1 && !sawEdge)
        {
            // The wall's west side blocks the way east; the slide goes north,
            // the vertical side of a target straight ahead.
            sawEdge = true;
            EXPECT_EQ(walker->GetDetour().blockedDirection, 1u);
            EXPECT_EQ(walker->GetDetour().slideDirection, 0u);
            EXPECT_DOUBLE_EQ(walker->GetDetour().edge, 12.5);
        }
        // The tick that ends a detour leaves the walker where it was.
        if (mode == 1 && walker->GetDetourMode() == 0)
        {
            EXPECT_EQ(walker->GetX(), x);
            EXPECT_EQ(walker->GetY(), y);
        }
        if (walker->GetFrontOrder() == order)
        {
            EXPECT_EQ(walker->GetAnimationId(), 4u);
        }
    }
    EXPECT_TRUE(sawEdge);
    EXPECT_EQ(walker->GetFrontOrder(), nullptr) << "still walking after " << ticks << " ticks";
    EXPECT_EQ(walker->GetX(), 23.75);
    EXPECT_EQ(walker->GetY(), 11.25);
    EXPECT_EQ(walker->GetDetourMode(), 0u);
    // Around the wall's north end, which lies 3.75 above the start.
    EXPECT_LT(ticks, 120);
    fixture.Step();
    EXPECT_EQ(walker->GetAnimationId(), 0u);
    EXPECT_EQ(walker->GetAnimationTime(), 0.0);
}

TEST(MovementDetour, TwoWalkersHeadOnInACorridorNeverOverlap)
{
    CFixture fixture({
        "################",
        "#..............#",
        "#..............#",
        "#..............#",
        "################",
    });
    auto east = fixture.AddActor(3.75, 6.25);
    auto west = fixture.AddActor(36.25, 6.25);
    east->QueueOrder(std::make_shared<VARD::CMoveOrder>(36.25, 6.25), false);
    west->QueueOrder(std::make_shared<VARD::CMoveOrder>(3.75, 6.25), false);

    bool circled = false;
    for (int tick = 0; tick < 600 && (east->GetFrontOrder() || west->GetFrontOrder()); ++tick)
    {
        fixture.Step();
        const double apart = std::hypot(east->GetX() - west->GetX(), east->GetY() - west->GetY());
        ASSERT_GT(apart, 2.0) << "tick " << tick;
        ASSERT_FALSE(TouchesBlockingCell(*fixture.area, *east));
        ASSERT_FALSE(TouchesBlockingCell(*fixture.area, *west));
        circled = circled || east->GetDetourMode() == 2 || west->GetDetourMode() == 2;
    }
    EXPECT_TRUE(circled);
    EXPECT_EQ(east->GetFrontOrder(), nullptr);
    EXPECT_EQ(west->GetFrontOrder(), nullptr);
    EXPECT_EQ(east->GetX(), 36.25);
    EXPECT_EQ(west->GetX(), 3.75);
}

TEST(MovementDetour, AnEdgeWalkerWaitsThirtyTicksForAnActorThenTurnsAround)
{
    CFixture fixture({
        "##########",
        "#........#",
        "#....#...#",
        "#....#...#",
        "#....#...#",
        "#....#...#",
        "#....#...#",
        "#........#",
        "##########",
    });
    // Touching distance of the wall's west side: the first step is blocked.
    fixture.Game().SetTick(100);
    auto walker = fixture.AddActor(11.25, 11.25);
    auto stander = fixture.AddActor(11.25, 9.05);
    walker->QueueOrder(std::make_shared<VARD::CMoveOrder>(20.0, 11.25), false);

    int waited = 0;
    for (; waited < 40; ++waited)
    {
        fixture.Step();
        if (walker->GetY() != 11.25)
            break;
        EXPECT_EQ(walker->GetX(), 11.25);
        EXPECT_EQ(walker->GetDetourMode(), 1u);
        EXPECT_EQ(walker->GetDetour().slideDirection, 0u);
        EXPECT_EQ(walker->GetLastBlockedTick(), fixture.Game().GetTick());
        EXPECT_EQ(walker->GetDetour().waitCounter, static_cast<std::uint32_t>(waited));
    }
    // One tick to start waiting, thirty more, then the slide turns south.
    EXPECT_EQ(waited, 31);
    EXPECT_EQ(walker->GetDetour().slideDirection, 2u);
    EXPECT_EQ(walker->GetLastBlockedTick(), 0u);
    EXPECT_DOUBLE_EQ(walker->GetY(), 11.25 + kStep);
    EXPECT_EQ(stander->GetX(), 11.25);
}

// One call of the step in situations set up by hand.
TEST(MovementDetour, SingleStepRules)
{
    CFixture fixture({
        "############",
        "#..........#",
        "#..........#",
        "#...........",
        "#..........#",
        "#..........#",
        "############",
    });
    VARD::CEngine& engine = *fixture.engine;
    fixture.Game().SetTick(100);

    // Exactly one step away (a speed of 15 walks 0.5 a tick): it lands on
    // the point, and tells so next time.
    auto walker = fixture.AddActor(5.0, 5.0);
    walker->SetMovementSpeedBase(25);
    EXPECT_FALSE(engine.MoveActorToward(*walker, 5.5, 5.0));
    EXPECT_EQ(walker->GetX(), 5.5);
    EXPECT_EQ(walker->GetAnimationId(), 4u);
    EXPECT_EQ(walker->GetAnimationTime(), 0.0);
    // Facing east is a quarter turn from the model's rest heading.
    EXPECT_DOUBLE_EQ(walker->GetFacing(), -1.5707963705062866);
    EXPECT_TRUE(engine.MoveActorToward(*walker, 5.5, 5.0));
    EXPECT_EQ(walker->GetX(), 5.5);
    EXPECT_DOUBLE_EQ(walker->GetAnimationTime(), 0.03333333333333333);
    walker->SetMovementSpeedBase(0);

    // A sneaker's walk plays slower.
    walker->ActivatePower(*engine.Module().FindSpell(VARD::kSneakPowerKey), 100);
    ASSERT_TRUE(walker->IsSneaking());
    const double before = walker->GetAnimationTime();
    engine.MoveActorToward(*walker, 20.0, 5.0);
    EXPECT_DOUBLE_EQ(walker->GetAnimationTime() - before, 0.02222222222222222);
    EXPECT_DOUBLE_EQ(walker->GetX(), 5.5 + kStep * 0.6666666666666666);
    walker->StopPower();

    // Someone has it as target: it keeps its pose but stands.
    auto attacker = fixture.AddActor(15.0, 12.0);
    attacker->SetCurrentTarget(100, walker.get());
    const double x = walker->GetX();
    EXPECT_FALSE(engine.MoveActorToward(*walker, 20.0, 5.0));
    EXPECT_EQ(walker->GetX(), x);
    EXPECT_EQ(walker->GetAnimationId(), 4u);
    attacker->ClearCurrentTarget();

    // Immobile: not a step, and the pose is reset every call.
    walker->AddStatus(VARD::kStatusImmobile, 1000);
    EXPECT_FALSE(engine.MoveActorToward(*walker, 20.0, 5.0));
    EXPECT_EQ(walker->GetX(), x);
    EXPECT_EQ(walker->GetAnimationId(), 0u);
    walker->RemoveStatus(VARD::kStatusImmobile);

    // Without speed nobody divides by zero or walks backwards.
    walker->SetMovementSpeedBase(-50);
    EXPECT_FALSE(engine.MoveActorToward(*walker, 20.0, 5.0));
    EXPECT_EQ(walker->GetX(), x);
    EXPECT_TRUE(engine.MoveActorToward(*walker, x, 5.0));
    walker->SetMovementSpeedBase(0);
    // Standing on the point is arriving.
    EXPECT_TRUE(engine.MoveActorToward(*walker, x, 5.0));
    EXPECT_EQ(walker->GetX(), x);

    // A point off the grid has nothing to go around: the walker waits.
    auto edge = fixture.AddActor(29.9, 8.75);
    EXPECT_FALSE(engine.MoveActorToward(*edge, 1000.0, 8.75));
    EXPECT_EQ(edge->GetX(), 29.9);
    EXPECT_EQ(edge->GetDetourMode(), 0u);

    // A mode the step does not know.
    walker->SetDetourMode(3);
    EXPECT_EQ(TestUtil::CodeOf([&] { engine.MoveActorToward(*walker, 20.0, 5.0); }), 2);
    EXPECT_EQ(walker->GetX(), x);
    walker->SetDetourMode(0);

    // Blocked by a chest (1.5 wide, 1 deep) ahead: follow its west side.
    auto chest = fixture.AddObject("chest", 10.0, 12.5);
    auto boxed = fixture.AddActor(8.0, 12.5);
    EXPECT_FALSE(engine.MoveActorToward(*boxed, 14.0, 12.5));
    EXPECT_EQ(boxed->GetDetourMode(), 1u);
    EXPECT_EQ(boxed->GetDetour().blockedDirection, 1u);
    EXPECT_EQ(boxed->GetDetour().slideDirection, 0u);
    EXPECT_DOUBLE_EQ(boxed->GetDetour().edge, 9.25);
    EXPECT_DOUBLE_EQ(boxed->GetY(), 12.5 - kStep);

    // Two walkers circling each other take the same side.
    auto a = fixture.AddActor(15.0, 5.0);
    auto b = fixture.AddActor(17.5, 5.0);
    a->SetDetourMode(2);
    a->Detour().circledActorId = b->Id();
    a->Detour().turnSide = 1;
    b->SetDetourMode(2);
    b->Detour().circledActorId = a->Id();
    b->Detour().turnSide = 0;
    EXPECT_FALSE(engine.MoveActorToward(*a, 25.0, 5.0));
    EXPECT_EQ(a->GetDetour().turnSide, 0u);
    EXPECT_NEAR(a->GetX(), 15.0, 1e-6);
    EXPECT_NEAR(a->GetY(), 5.0 - kStep, 1e-9);
}

} // namespace
