#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/spell.h"

#include <cmath>

using namespace VARD;
using AreaTest::GridArea;
using AreaTest::GridModule;
using AreaTest::MakeActor;
using AreaTest::PlaceObject;
using AreaTest::UniformRows;
using TestUtil::CodeOf;

namespace
{

constexpr double kTwoPi = 6.283185307179586;

// A rows text: one character per cell, '.' floor, '#' wall, 'o' pit, 'd' a
// closed door, 'D' a door that the test opens.
std::string RowsOf(const std::vector<std::string>& lines)
{
    std::string text =
        "<rows> (" + std::to_string(lines[0].size()) + " " + std::to_string(lines.size()) + ")";
    for (const auto& line : lines)
    {
        text += " <row>";
        for (char c : line)
        {
            switch (c)
            {
            case '#':
                text += " (wall n)";
                break;
            case 'o':
                text += " (pit n)";
                break;
            case 'd':
            case 'D':
                text += " <cell> (floor n) (door n) </cell>";
                break;
            default:
                text += " (floor n)";
                break;
            }
        }
        text += " </row>";
    }
    return text + " </rows>";
}

void OpenDoorAt(CArea& area, std::uint32_t column, std::uint32_t row)
{
    area.GetTile(column, row)->GetDoor()->SetOpen(true);
}

} // namespace

// ------------------------------------------------------------ tiles

TEST(AreaCollision, WallCellsCountUpToTheRadius)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({"..#"}));
    auto mover = MakeActor(game, 0, 0, 1.0);
    CTile* tile = nullptr;
    // At the centre of the floor cell beside the wall: 1.25 from its edge.
    EXPECT_TRUE(area->IsClearOfTiles(mover.get(), &tile, 3.75, 1.25));
    EXPECT_EQ(tile, nullptr);
    // 0.25 from the wall's edge.
    EXPECT_FALSE(area->IsClearOfTiles(mover.get(), &tile, 4.75, 1.25));
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->GetColumn(), 2u);
    // Exactly the radius away counts; a hair more does not.
    EXPECT_FALSE(area->IsClearOfTiles(mover.get(), nullptr, 4.0, 1.25));
    EXPECT_TRUE(area->IsClearOfTiles(mover.get(), nullptr, 3.99, 1.25));
}

TEST(AreaCollision, KindsThatBlockMovers)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({".o.d.D."}));
    OpenDoorAt(*area, 5, 0);
    auto mover = MakeActor(game, 0, 0, 0.5);
    const double y = 1.25;
    EXPECT_TRUE(area->IsClearOfTiles(mover.get(), nullptr, 1.25, y));
    EXPECT_FALSE(area->IsClearOfTiles(mover.get(), nullptr, 3.75, y)); // empty
    EXPECT_FALSE(area->IsClearOfTiles(mover.get(), nullptr, 8.75, y)); // closed door
    EXPECT_TRUE(area->IsClearOfTiles(mover.get(), nullptr, 13.75, y)); // open door
}

TEST(AreaCollision, NoOneStandsOffTheGrid)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(2, 2, "(floor n)"));
    auto mover = MakeActor(game, 0, 0, 0.5);
    CTile dummy(0, 0);
    CThing* blocker = &dummy;
    for (const auto& [x, y] : std::vector<std::pair<double, double>>{
             {-0.1, 1.0}, {1.0, -0.1}, {5.0, 1.0}, {1.0, 5.0}, {NAN, 1.0}})
    {
        EXPECT_FALSE(area->IsPositionFree(mover.get(), x, y, &blocker)) << x << "," << y;
        EXPECT_EQ(blocker, nullptr);
    }
    // Near the edge the cells past it are not there to block.
    EXPECT_TRUE(area->IsPositionFree(mover.get(), 0.1, 0.1, &blocker));
}

TEST(AreaCollision, DistanceToCell)
{
    EXPECT_DOUBLE_EQ(CArea::DistanceToCell(1, 1, 3.0, 3.0), 0.0);
    EXPECT_DOUBLE_EQ(CArea::DistanceToCell(1, 1, 2.5, 5.0), 0.0);
    EXPECT_DOUBLE_EQ(CArea::DistanceToCell(1, 1, 1.5, 3.0), 1.0);
    EXPECT_DOUBLE_EQ(CArea::DistanceToCell(1, 1, 8.0, 3.0), 3.0);
    EXPECT_DOUBLE_EQ(CArea::DistanceToCell(1, 1, 8.0, 9.0), 5.0);
}

// ------------------------------------------------------------ objects, actors

TEST(AreaCollision, ObjectsBlockStrictlyInsideTheRadius)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(8, 8, "(floor n)"));
    // A crate 2 wide and 1 deep: x 9..11, y 9.5..10.5.
    auto crate = PlaceObject(*area, game, *module, "crate", 10.0, 10.0);
    auto mover = MakeActor(game, 0, 0, 1.0);
    CObject* found = nullptr;
    EXPECT_TRUE(area->IsClearOfObjects(mover.get(), &found, 12.0, 10.0));
    EXPECT_FALSE(area->IsClearOfObjects(mover.get(), &found, 11.9, 10.0));
    EXPECT_EQ(found, crate.get());
    // Facing east, its sides trade places.
    crate->SetFacing(1);
    EXPECT_TRUE(area->IsClearOfObjects(mover.get(), nullptr, 11.6, 10.0));
    crate->SetFacing(0);
    EXPECT_FALSE(area->IsClearOfObjects(mover.get(), nullptr, 11.6, 10.0));

    // Floor objects never block; empty ones do.
    PlaceObject(*area, game, *module, "mat", 15.0, 15.0);
    EXPECT_TRUE(area->IsClearOfObjects(mover.get(), nullptr, 15.0, 15.0));
    auto rope = PlaceObject(*area, game, *module, "rope", 5.0, 15.0);
    EXPECT_FALSE(area->IsClearOfObjects(mover.get(), &found, 5.0, 15.0));
    EXPECT_EQ(found, rope.get());
}

TEST(AreaCollision, TouchingCirclesOverlap)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(4, 4, "(floor n)"));
    auto standing = MakeActor(game, 5.0, 5.0, 1.0);
    auto mover = MakeActor(game, 0, 0, 1.0);
    area->AddActor(standing);
    area->AddActor(mover);
    CActor* found = nullptr;
    EXPECT_FALSE(area->IsClearOfActors(mover.get(), &found, 7.0, 5.0));
    EXPECT_EQ(found, standing.get());
    EXPECT_TRUE(area->IsClearOfActors(mover.get(), &found, 7.001, 5.0));
    // The mover never blocks itself.
    mover->SetPosition(7.5, 5.0);
    EXPECT_TRUE(area->IsClearOfActors(mover.get(), nullptr, 7.5, 5.0));
    CThing* blocker = nullptr;
    EXPECT_FALSE(area->IsPositionFree(mover.get(), 6.0, 5.0, &blocker));
    EXPECT_EQ(blocker, standing.get());
}

// ------------------------------------------------------------ sight

TEST(AreaSight, EmptyCellsBlockOnlyWithTheFlag)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({"..........", "....o.D...", ".........."}));
    OpenDoorAt(*area, 6, 1);
    auto actor = MakeActor(game, 1.25, 3.75, 0.5);
    EXPECT_TRUE(area->HasLineOfSight(*actor, false, 23.75, 3.75));
    EXPECT_FALSE(area->HasLineOfSight(*actor, true, 23.75, 3.75));
    // Backwards the same.
    actor->SetPosition(23.75, 3.75);
    EXPECT_TRUE(area->HasLineOfSight(*actor, false, 1.25, 3.75));
    // A closed door cuts sight; an open one never does.
    auto closed = GridArea(&game, *module, RowsOf({"...d.."}));
    actor->SetPosition(1.25, 1.25);
    EXPECT_FALSE(closed->HasLineOfSight(*actor, false, 13.75, 1.25));
    OpenDoorAt(*closed, 3, 0);
    EXPECT_TRUE(closed->HasLineOfSight(*actor, true, 13.75, 1.25));
}

TEST(AreaSight, SameColumnAndSameCell)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({".#", "..", "#.", ".."}));
    auto actor = MakeActor(game, 0.5, 0.5, 0.5);
    EXPECT_TRUE(area->HasLineOfSight(*actor, true, 2.0, 2.0));
    EXPECT_FALSE(area->HasLineOfSight(*actor, true, 1.0, 9.0)); // through (0, 2)
    actor->SetPosition(3.0, 0.5);                               // inside the wall at (1, 0)
    EXPECT_FALSE(area->HasLineOfSight(*actor, false, 4.0, 2.0));
    EXPECT_TRUE(area->IsColumnClear(0, 3, 1, true)); // an empty range is clear
    EXPECT_FALSE(area->IsColumnClear(0, 2, 2, false));
    EXPECT_FALSE(area->IsColumnClear(2, 0, 0, false)); // off the grid
    EXPECT_FALSE(area->IsColumnClear(0, 3, 4, false));
}

// The walk visits, column by column, exactly the cells the segment crosses.
TEST(AreaSight, WalksTheCrossedCellsOfEachColumn)
{
    auto module = GridModule();
    CGame game;
    // From (1.25, 1.25) to (11.25, 6.25) the cells crossed are (0,0) (1,0)
    // (1,1) (2,1) (3,1) (3,2) (4,2).
    const std::vector<std::pair<int, int>> crossed = {{1, 0}, {1, 1}, {2, 1}, {3, 1}, {3, 2}};
    const std::vector<std::pair<int, int>> missed = {{2, 0}, {2, 2}, {4, 1}, {0, 1}, {1, 2}};
    auto probe = [&](int column, int row)
    {
        std::vector<std::string> lines(3, std::string(5, '.'));
        lines[row][column] = '#';
        return GridArea(&game, *module, RowsOf(lines));
    };
    auto actor = MakeActor(game, 1.25, 1.25, 0.5);
    auto mirrored = MakeActor(game, 11.25, 1.25, 0.5);
    for (const auto& [column, row] : crossed)
    {
        EXPECT_FALSE(probe(column, row)->HasLineOfSight(*actor, false, 11.25, 6.25))
            << column << "," << row;
        // Falling to the left crosses the mirror image.
        EXPECT_FALSE(probe(4 - column, row)->HasLineOfSight(*mirrored, false, 1.25, 6.25))
            << column << "," << row;
    }
    for (const auto& [column, row] : missed)
    {
        EXPECT_TRUE(probe(column, row)->HasLineOfSight(*actor, false, 11.25, 6.25))
            << column << "," << row;
        EXPECT_TRUE(probe(4 - column, row)->HasLineOfSight(*mirrored, false, 1.25, 6.25))
            << column << "," << row;
    }
}

TEST(AreaSight, OffTheGridIsNeverSeen)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(3, 3, "(floor n)"));
    auto actor = MakeActor(game, 1.25, 1.25, 0.5);
    EXPECT_FALSE(area->HasLineOfSight(*actor, false, 20.0, 1.25));
    EXPECT_FALSE(area->HasLineOfSight(*actor, false, -1.0, 1.25));
    EXPECT_FALSE(area->HasLineOfSight(*actor, false, 1.25, -0.5));
    actor->SetPosition(-3.0, 1.25);
    EXPECT_FALSE(area->HasLineOfSight(*actor, false, 1.25, 1.25));
}

TEST(AreaSight, OnlySolidObjectsCutTheSegment)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(8, 8, "(floor n)"));
    auto actor = MakeActor(game, 5.0, 10.0, 0.5);
    PlaceObject(*area, game, *module, "rope", 7.0, 10.0);
    PlaceObject(*area, game, *module, "mat", 8.0, 10.0);
    // The crate spans x 9..11, y 9.5..10.5.
    PlaceObject(*area, game, *module, "crate", 10.0, 10.0);
    EXPECT_TRUE(area->IsSegmentClearOfObjects(*actor, 8.99, 10.0));
    EXPECT_FALSE(area->IsSegmentClearOfObjects(*actor, 9.0, 10.0));
    EXPECT_FALSE(area->IsSegmentClearOfObjects(*actor, 15.0, 10.5));
    EXPECT_TRUE(area->IsSegmentClearOfObjects(*actor, 15.0, 12.0));
    // Along x = 10 from above: met at the top edge.
    actor->SetPosition(10.0, 2.0);
    EXPECT_FALSE(area->IsSegmentClearOfObjects(*actor, 10.0, 9.5));
    EXPECT_TRUE(area->IsSegmentClearOfObjects(*actor, 10.0, 9.49));
    // Wholly inside the footprint nothing is crossed.
    actor->SetPosition(9.5, 10.0);
    EXPECT_TRUE(area->IsSegmentClearOfObjects(*actor, 10.5, 10.2));
}

TEST(AreaSight, TargetingAddsBothRadii)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({"........", "........", ".....o.."}));
    auto actor = MakeActor(game, 1.25, 1.25, 1.0);
    EXPECT_TRUE(area->CanTargetPoint(false, 11.25, 1.25, 8.0, 1.0, *actor));
    EXPECT_FALSE(area->CanTargetPoint(false, 11.25, 1.25, 7.99, 1.0, *actor));
    // Over the pit: only with the flag.
    EXPECT_TRUE(area->CanTargetPoint(false, 16.25, 6.25, 30.0, 0.0, *actor));
    EXPECT_FALSE(area->CanTargetPoint(true, 16.25, 6.25, 30.0, 0.0, *actor));
    PlaceObject(*area, game, *module, "crate", 6.25, 1.25);
    EXPECT_FALSE(area->CanTargetPoint(false, 11.25, 1.25, 20.0, 0.0, *actor));

    auto target = MakeActor(game, 6.25, 6.25, 1.5);
    EXPECT_TRUE(area->CanTargetThing(*actor, *target, 5.0));
    EXPECT_FALSE(area->CanTargetThing(*actor, *target, 4.5));
    EXPECT_TRUE(area->CanTargetThing(*actor, *area->GetTile(2, 2), 6.1));
    EXPECT_FALSE(area->CanTargetThing(*actor, *area->GetTile(2, 2), 6.0));
}

// ------------------------------------------------------------ free spots

TEST(AreaFreeSpot, FreeCentreTakesTheCellCentre)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(5, 5, "(floor n)"));
    auto actor = MakeActor(game, 0, 0, 0.75);
    SeedRandom(5);
    ASSERT_TRUE(area->FindFreeSpotNear(2, 3, false, actor));
    EXPECT_DOUBLE_EQ(actor->GetX(), 6.25);
    EXPECT_DOUBLE_EQ(actor->GetY(), 8.75);
    SeedRandom(5);
    RandomReal();
    EXPECT_DOUBLE_EQ(actor->GetFacing(), kTwoPi * RandomReal());
    ASSERT_EQ(area->GetActors().size(), 1u);
    EXPECT_EQ(area->GetActors()[0], actor);
}

TEST(AreaFreeSpot, BlockedSearchDrawsOncePerRing)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(40, 40, "(floor n)"));
    area->AddActor(MakeActor(game, 50.0, 50.0, 1000.0));
    auto actor = MakeActor(game, 1.0, 2.0, 0.75);
    for (const bool wide : {false, true})
    {
        SeedRandom(9);
        EXPECT_FALSE(area->FindFreeSpotNear(20, 20, wide, actor));
        const std::uint32_t next = RandomWord();
        SeedRandom(9);
        for (int ring = 0; ring < (wide ? 100 : 5); ++ring)
            RandomWord();
        EXPECT_EQ(RandomWord(), next) << (wide ? "wide" : "narrow");
    }
    EXPECT_EQ(area->GetActors().size(), 1u);
    EXPECT_DOUBLE_EQ(actor->GetX(), 1.0);
    EXPECT_DOUBLE_EQ(actor->GetY(), 2.0);
}

// Past the hundredth ring the party still finds room: every cell centre,
// nearest first, and nothing drawn; only a full area says no.
TEST(AreaFreeSpot, PastTheRingsEveryCellIsTried)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(40, 40, "(floor n)"));
    // Covers every ring point (at most 99 from the corner cell's centre).
    auto crowd = MakeActor(game, 1.25, 1.25, 105.0);
    area->AddActor(crowd);
    auto actor = MakeActor(game, 0, 0, 0.5);
    EXPECT_FALSE(area->FindFreeSpotNear(0, 0, true, actor));
    SeedRandom(4);
    const std::uint32_t next = RandomWord();
    SeedRandom(4);
    ASSERT_TRUE(area->FindFreeSpotAnywhere(0, 0, actor));
    EXPECT_EQ(RandomWord(), next);
    // The nearest free centre in cells (34 across, 25 down), just past the
    // crowd; of cells as near, the first in row order.
    EXPECT_DOUBLE_EQ(actor->GetX(), 86.25);
    EXPECT_DOUBLE_EQ(actor->GetY(), 63.75);
    ASSERT_EQ(area->GetActors().size(), 2u);
    EXPECT_EQ(area->GetActors()[1], actor);

    area->RemoveActor(actor.get());
    crowd->SetRadius(200.0);
    actor->SetPosition(1.0, 2.0);
    EXPECT_FALSE(area->FindFreeSpotAnywhere(0, 0, actor));
    EXPECT_EQ(area->GetActors().size(), 1u);
    EXPECT_DOUBLE_EQ(actor->GetX(), 1.0);
}

// Narrow search reaches ring 4 (8 radii out), never ring 5; the wide one does.
TEST(AreaFreeSpot, NarrowStopsAtTheFifthRing)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(40, 40, "(floor n)"));
    // A mover of radius 1 is blocked by this one up to 9.5 from the centre.
    area->AddActor(MakeActor(game, 51.25, 51.25, 8.5));
    auto actor = MakeActor(game, 0, 0, 1.0);
    SeedRandom(21);
    EXPECT_FALSE(area->FindFreeSpotNear(20, 20, false, actor));
    SeedRandom(21);
    ASSERT_TRUE(area->FindFreeSpotNear(20, 20, true, actor));
    EXPECT_NEAR(std::hypot(actor->GetX() - 51.25, actor->GetY() - 51.25), 10.0, 1e-9);
}

// The tries of a ring start one radian past a random angle and step by one
// radian; a ring of radius d = 2k r0 is tried once the inner ones are full.
TEST(AreaFreeSpot, RingTriesFollowTheirAngles)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(20, 20, "(floor n)"));
    const double cx = 26.25;
    const double cy = 26.25;
    // The centre's blocker fills rings 0 and 1.
    area->AddActor(MakeActor(game, cx, cy, 1.5));
    // A second blocker shuts part of ring 2.
    const double bx = cx + 4.0;
    const double by = cy;
    area->AddActor(MakeActor(game, bx, by, 2.0));
    auto actor = MakeActor(game, 0, 0, 1.0);

    for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u})
    {
        SeedRandom(seed);
        RandomReal();
        RandomReal();
        double theta = kTwoPi * RandomReal();
        double ex = 0.0;
        double ey = 0.0;
        for (int i = 0; i < 13; ++i)
        {
            theta += 1.0;
            ex = cx + 4.0 * std::cos(theta);
            ey = cy + 4.0 * std::sin(theta);
            if (std::hypot(ex - bx, ey - by) > 3.0)
                break;
        }
        SeedRandom(seed);
        ASSERT_TRUE(area->FindFreeSpotNear(10, 10, false, actor)) << seed;
        EXPECT_DOUBLE_EQ(actor->GetX(), ex) << seed;
        EXPECT_DOUBLE_EQ(actor->GetY(), ey) << seed;
        area->RemoveActor(actor.get());
    }
}

// Ring k holds trunc(2πk) + 1 tries: with everything of the ring shut but the
// point of its last try, the actor lands there; with only the point one try
// further open, the ring is passed over and the next one takes the actor.
TEST(AreaFreeSpot, RingsHoldTwoPiKTries)
{
    auto module = GridModule();
    const double cx = 51.25;
    const double cy = 51.25;
    for (const int k : {1, 2, 4})
    {
        const int tries = static_cast<int>(std::trunc(kTwoPi * k)) + 1;
        const double d = 2.0 * k;
        // A mover of radius 1 is shut out within 1 of a blocker of radius 0.
        const double reach = 2.0 * std::asin(1.0 / (2.0 * d));
        for (const int open : {tries, tries + 1})
        {
            SCOPED_TRACE("ring " + std::to_string(k) + ", try " + std::to_string(open));
            CGame game;
            auto area = GridArea(&game, *module, UniformRows(40, 40, "(floor n)"));
            SeedRandom(17);
            for (int ring = 0; ring < k; ++ring)
                RandomReal();
            const double start = kTwoPi * RandomReal();
            const double phi = start + open;
            area->AddActor(MakeActor(game, cx, cy, d - 1.5));
            for (double offset = reach + 0.004; offset < kTwoPi - reach - 0.004; offset += 0.05)
                area->AddActor(MakeActor(game, cx + d * std::cos(phi + offset),
                                         cy + d * std::sin(phi + offset), 0.0));
            area->AddActor(MakeActor(game, cx + d * std::cos(phi - reach - 0.004),
                                     cy + d * std::sin(phi - reach - 0.004), 0.0));
            auto actor = MakeActor(game, 0, 0, 1.0);
            SeedRandom(17);
            ASSERT_TRUE(area->FindFreeSpotNear(20, 20, true, actor));
            const double distance = std::hypot(actor->GetX() - cx, actor->GetY() - cy);
            if (open == tries)
            {
                EXPECT_NEAR(actor->GetX(), cx + d * std::cos(phi), 1e-9);
                EXPECT_NEAR(actor->GetY(), cy + d * std::sin(phi), 1e-9);
            }
            else
            {
                EXPECT_NEAR(distance, d + 2.0, 1e-9);
            }
        }
    }
}

TEST(AreaFreeSpot, PointsOffTheGridAreRefused)
{
    auto module = GridModule();
    CGame game;
    // One cell: with its centre taken, every other point of the rings lies
    // off the grid, where no cell would have blocked it.
    auto area = GridArea(&game, *module, UniformRows(1, 1, "(floor n)"));
    area->AddActor(MakeActor(game, 1.25, 1.25, 0.1));
    auto actor = MakeActor(game, 0, 0, 1.0);
    SeedRandom(4);
    EXPECT_FALSE(area->FindFreeSpotNear(0, 0, true, actor));
    EXPECT_EQ(area->GetActors().size(), 1u);
}

TEST(AreaFreeSpot, SpawnMonsterNearMakesAndPlaces)
{
    CGame game;
    auto module = AreaTest::DemoModule();
    CArea area(&game);
    area.SetModule(module.get());
    auto reader = TestUtil::ReaderOf(UniformRows(6, 6, "(grass n)"));
    area.ReadRows(reader, *module);
    SeedRandom(8);
    auto wolf = area.SpawnMonsterNear("wolf", 2, 2, *module);
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(wolf->GetTemplateName(), "wolf");
    EXPECT_DOUBLE_EQ(wolf->GetX(), 6.25);
    EXPECT_EQ(area.GetActors().size(), 1u);
    EXPECT_EQ(CodeOf([&] { area.SpawnMonsterNear("dragon", 2, 2, *module); }), 1);
    // No room: no actor.
    area.AddActor(MakeActor(game, 6.25, 6.25, 100.0));
    EXPECT_EQ(area.SpawnMonsterNear("wolf", 2, 2, *module), nullptr);
    EXPECT_EQ(area.GetActors().size(), 2u);
}

// ------------------------------------------------------------ watchers

TEST(AreaWatch, PartyInSightGridAndRange)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(10, 10, "(floor n)"));
    auto watcher = MakeActor(game, 1.25, 1.25, 0.5);
    watcher->SetAttitude(kAttitudeFriendly);
    auto hostile = MakeActor(game, 2.25, 1.25, 0.5);
    hostile->SetAttitude(kAttitudeHostile);
    auto member = MakeActor(game, 6.25, 1.25, 0.5);
    member->SetAttitude(kAttitudeParty);
    area->AddActor(watcher);
    area->AddActor(hostile);
    area->AddActor(member);
    CActor* found = nullptr;
    // Off the sight grid the watcher notices nobody.
    EXPECT_FALSE(area->FindVisiblePartyMember(*watcher, &found, 50.0));
    area->SightGrid().Mark(0, 0);
    // A friendly watcher does not find itself first.
    EXPECT_TRUE(area->FindVisiblePartyMember(*watcher, &found, 5.0));
    EXPECT_EQ(found, member.get());
    EXPECT_FALSE(area->FindVisiblePartyMember(*watcher, &found, 4.99));
    EXPECT_EQ(found, nullptr);

    // A sneaking member is passed over.
    const CSpell* sneak = AreaTest::DemoModule()->FindSpell("s_power-sneak");
    ASSERT_NE(sneak, nullptr);
    ASSERT_TRUE(member->ActivatePower(*sneak, 0));
    EXPECT_FALSE(area->FindVisiblePartyMember(*watcher, &found, 50.0));
}

// ------------------------------------------------------------ doorways

TEST(AreaDoorway, LivingActorsTouchingTheBlock)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, RowsOf({"..d..", "....."}));
    CMasterTile* door = area->GetTile(2, 0)->GetMasterTile();
    EXPECT_TRUE(door->IsDoorwayClear());
    // The door spans x 5..7.5; a square reaching 5.0 touches it.
    auto actor = MakeActor(game, 4.5, 1.25, 0.5);
    area->AddActor(actor);
    EXPECT_FALSE(door->IsDoorwayClear());
    actor->SetPosition(4.49, 1.25);
    EXPECT_TRUE(door->IsDoorwayClear());
    actor->SetPosition(6.25, 1.25);
    actor->SetActivityState(kActivityDead);
    EXPECT_TRUE(door->IsDoorwayClear());

    auto sealed = GridArea(&game, *module, "<rows> (1 1) <row> (seal n) </row> </rows>");
    EXPECT_FALSE(sealed->GetTile(0, 0)->GetMasterTile()->IsDoorwayClear());
}

// Copies of an area's actor list are kept while its stamp stays: every way an
// actor joins or leaves moves it on, past any stamp another area has had.
TEST(AreaActorList, EveryJoinAndLeaveMovesTheStampOn)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(10, 10, "(floor n)"));
    auto other = GridArea(&game, *module, UniformRows(10, 10, "(floor n)"));
    std::uint64_t stamp = area->GetActorsStamp();
    EXPECT_NE(stamp, other->GetActorsStamp());
    const auto movedOn = [&]
    {
        const std::uint64_t now = area->GetActorsStamp();
        const bool moved = now > stamp && now > other->GetActorsStamp();
        stamp = now;
        return moved;
    };
    auto first = MakeActor(game, 5.0, 5.0, 0.5);
    area->AddActor(first);
    EXPECT_TRUE(movedOn());
    other->AddActor(MakeActor(game, 5.0, 5.0, 0.5));
    auto second = MakeActor(game, 0, 0, 0.5);
    ASSERT_TRUE(area->FindFreeSpotNear(8, 8, false, second));
    EXPECT_TRUE(movedOn());
    auto third = MakeActor(game, 0, 0, 0.5);
    ASSERT_TRUE(area->FindFreeSpotAnywhere(2, 2, third));
    EXPECT_TRUE(movedOn());
    area->RemoveActor(second.get());
    EXPECT_TRUE(movedOn());
    // Nothing joins: the stamp stays.
    auto huge = MakeActor(game, 0, 0, 500.0);
    EXPECT_FALSE(area->FindFreeSpotNear(8, 8, false, huge));
    area->IsPositionFree(first.get(), 1.0, 1.0, nullptr);
    EXPECT_EQ(area->GetActorsStamp(), stamp);
}
