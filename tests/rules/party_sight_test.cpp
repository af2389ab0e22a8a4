// The cells near the party: 48 steps of eight neighbours from each living
// member, stopped by walls and closed doors, rebuilt only when someone moves.

#include "movement_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

using MovementTest::CFixture;
using Cells = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

// The cells of the bit set that differ from the expectation, as text.
std::string Mismatches(const VARD::CArea& area, const VARD::CCellBitSet& cells,
                       const std::function<bool(std::uint32_t, std::uint32_t)>& expected)
{
    std::string text;
    for (std::uint32_t row = 0; row < area.GetHeight(); ++row)
        for (std::uint32_t column = 0; column < area.GetWidth(); ++column)
            if (cells.IsMarked(column, row) != expected(column, row))
                text += " (" + std::to_string(column) + " " + std::to_string(row) + ")";
    return text;
}

double Centre(std::uint32_t cell)
{
    return cell * 2.5 + 1.25;
}

TEST(PartySight, FloodReachesFortyEightStepsOnAnOpenArea)
{
    std::vector<std::string> lines(12, std::string(60, '.'));
    CFixture fixture(lines);
    fixture.PlaceHero(Centre(5), Centre(5));
    fixture.Step();

    // Every cell within 48 king's moves, the border included, and no other.
    const auto near = [](std::uint32_t column, std::uint32_t) { return column <= 53; };
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(), near), "");
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetTileTracker(), near), "");
    EXPECT_EQ(fixture.Game().PendingList(), (Cells{{5, 5}}));

    // Standing still costs nothing: a mark put in by hand stays.
    fixture.area->SightGrid().Mark(59, 0);
    fixture.Step();
    EXPECT_TRUE(fixture.area->GetSightGrid().IsMarked(59, 0));

    // One cell east rebuilds it: one column more, and the hand mark is gone.
    fixture.Game().Party()[0]->SetPosition(Centre(6), Centre(5));
    fixture.Step();
    const auto nearer = [](std::uint32_t column, std::uint32_t) { return column <= 54; };
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(), nearer), "");
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetTileTracker(), nearer), "");
    EXPECT_EQ(fixture.Game().PendingList(), (Cells{{6, 5}}));
}

TEST(PartySight, WallsAndClosedDoorsAreSeenButNotSeenThrough)
{
    CFixture fixture({
        "##########",
        "#...#....#",
        "#...d....#",
        "#...#....#",
        "##########",
    });
    VARD::CActor& hero = fixture.PlaceHero(Centre(1), Centre(2));
    auto second = fixture.AddActor(Centre(2), Centre(1), 1.0, VARD::kAttitudeParty);
    fixture.Game().Party().push_back(second);
    fixture.Step();

    const auto westOfDoor = [](std::uint32_t column, std::uint32_t) { return column <= 4; };
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(), westOfDoor), "");
    EXPECT_EQ(fixture.Game().PendingList(), (Cells{{1, 2}, {2, 1}}));

    // An opened door shows nothing new until someone changes cell, and a
    // member who dies is no longer compared.
    fixture.area->GetTile(4, 2)->GetDoor()->SetOpen(true);
    second->SetActivityState(VARD::kActivityDead);
    second->SetPosition(Centre(3), Centre(3));
    fixture.Step();
    EXPECT_FALSE(fixture.area->GetSightGrid().IsMarked(5, 2));

    hero.SetPosition(Centre(2), Centre(2));
    fixture.Step();
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(),
                         [](std::uint32_t, std::uint32_t) { return true; }),
              "");
    EXPECT_EQ(fixture.Game().PendingList(), (Cells{{2, 2}, {0, 0}}));

    // Shut again, the tracker keeps what the party once came near.
    fixture.area->GetTile(4, 2)->GetDoor()->SetOpen(false);
    hero.SetPosition(Centre(1), Centre(1));
    fixture.Step();
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(), westOfDoor), "");
    EXPECT_TRUE(fixture.area->GetTileTracker().IsMarked(8, 3));
}

TEST(PartySight, MembersOnOrPastTheGridsEdgeAreBoundsChecked)
{
    CFixture fixture(std::vector<std::string>(5, "....."));
    VARD::CActor& hero = fixture.PlaceHero(0.5, 0.5);
    fixture.Step();
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(),
                         [](std::uint32_t, std::uint32_t) { return true; }),
              "");

    // A position on the far edge belongs to no cell of the grid.
    hero.SetPosition(12.5, 12.5);
    fixture.Step();
    EXPECT_EQ(Mismatches(*fixture.area, fixture.area->GetSightGrid(),
                         [](std::uint32_t, std::uint32_t) { return false; }),
              "");
    EXPECT_EQ(fixture.Game().PendingList(), (Cells{{5, 5}}));
}

} // namespace
