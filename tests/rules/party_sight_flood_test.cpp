// The sight flood on rows of bits against the plain flood it replaced: on
// seeded random areas with walls, chasms and doors (some open), parties of
// one to six standing anywhere, on the edge or dead, in windows of one to
// several words a row, both grids must hold exactly the cells that 48 steps
// of eight neighbours reach.

#include "movement_test_util.h"

#include "world/tile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace
{

using Cell = std::pair<std::uint32_t, std::uint32_t>;

bool Blocks(const VARD::CArea& area, std::uint32_t column, std::uint32_t row)
{
    if (row == 0 || column == 0 || row + 1 == area.GetHeight() || column + 1 == area.GetWidth())
        return true;
    const int kind = area.GetCellKind(column, row);
    if (kind == VARD::kTileKindDoor)
    {
        const auto* door =
            dynamic_cast<const VARD::CMasterTileDoor*>(area.GetTile(column, row)->GetMasterTile());
        return door == nullptr || door->GetOpenFlag() == 0;
    }
    return kind == VARD::kTileKindSolid;
}

// Cell by cell, breadth first, as the rules describe the flood: one flag
// per cell, row by row.
std::vector<char> PlainFlood(const VARD::CArea& area, const std::vector<Cell>& starts)
{
    const std::uint32_t width = area.GetWidth();
    std::vector<char> reached(static_cast<std::size_t>(width) * area.GetHeight(), 0);
    for (const auto& [c, r] : starts)
        reached[r * width + c] = 1;
    std::vector<Cell> front = starts;
    for (int pass = 0; pass < 48; ++pass)
    {
        std::vector<Cell> next;
        for (const auto& [c, r] : front)
            for (int dc = -1; dc <= 1; ++dc)
                for (int dr = -1; dr <= 1; ++dr)
                {
                    const std::int64_t nc = std::int64_t{c} + dc;
                    const std::int64_t nr = std::int64_t{r} + dr;
                    if (nc < 0 || nr < 0 || nc >= area.GetWidth() || nr >= area.GetHeight())
                        continue;
                    char& flag = reached[nr * width + nc];
                    if (flag != 0)
                        continue;
                    flag = 1;
                    const Cell cell{static_cast<std::uint32_t>(nc), static_cast<std::uint32_t>(nr)};
                    if (!Blocks(area, cell.first, cell.second))
                        next.push_back(cell);
                }
        front = std::move(next);
    }
    return reached;
}

// Cells where a grid differs from the flags.
std::size_t Mismatches(const VARD::CCellBitSet& grid, const std::vector<char>& expected)
{
    std::size_t mismatches = 0;
    for (std::uint32_t row = 0; row < grid.GetHeight(); ++row)
        for (std::uint32_t column = 0; column < grid.GetWidth(); ++column)
            mismatches += grid.IsMarked(column, row) !=
                          (expected[static_cast<std::size_t>(row) * grid.GetWidth() + column] != 0);
    return mismatches;
}

// An area of walls, chasms and doors drawn from the random numbers.
std::vector<std::string> RandomLines(std::mt19937& random, std::uint32_t width,
                                     std::uint32_t height)
{
    std::vector<std::string> lines(height, std::string(width, '.'));
    for (auto& line : lines)
        for (char& c : line)
        {
            const std::uint32_t draw = random() % 100;
            c = draw < 9 ? '#' : draw < 11 ? 'o' : draw < 13 ? 'd' : '.';
        }
    return lines;
}

TEST(PartySightFlood, RowsOfBitsReachWhatThePlainFloodReaches)
{
    std::mt19937 random(20240607u);
    for (int round = 0; round < 15; ++round)
    {
        // The last rounds spread the party over areas wide enough for a
        // window of more than three words a row.
        const bool wide = round >= 12;
        const std::uint32_t width = wide ? 260 + random() % 200 : 20 + random() % 150;
        const std::uint32_t height = 20 + random() % 120;
        MovementTest::CFixture fixture(RandomLines(random, width, height));
        VARD::CArea& area = *fixture.area;
        area.SightGrid().SetSize(width, height);
        area.TileTracker().SetSize(width, height);
        // Some doors stand open.
        for (const auto& master : area.GetMasterTiles())
            if (auto* door = dynamic_cast<VARD::CMasterTileDoor*>(master.get()))
                if (random() % 2 == 0)
                    door->SetOpen(true);

        auto& game = fixture.Game();
        const std::uint32_t members = 1 + random() % 6;
        std::vector<Cell> starts;
        for (std::uint32_t i = 0; i < members; ++i)
        {
            std::shared_ptr<VARD::CActor> member = game.Party().at(0);
            if (i > 0)
            {
                member = fixture.AddActor(0, 0, 1.0, VARD::kAttitudeParty);
                game.AddPartyMember(member);
            }
            else
                area.AddActor(member);
            // Near one another mostly; now and then on the edge, off the
            // grid or dead.
            const std::uint32_t where = random() % 10;
            std::uint32_t column =
                wide ? random() % width : (width / 3 + random() % (width / 3 + 1)) % width;
            std::uint32_t row = (height / 3 + random() % (height / 3 + 1)) % height;
            if (where == 0)
                column = 0;
            if (where == 1)
                row = height - 1;
            member->SetPosition(column * 2.5 + 1.25, row * 2.5 + 1.25);
            if (where == 2)
                member->SetPosition(-4.0, 10.0);
            else if (where == 3)
                member->SetActivityState(VARD::kActivityDead);
            else
                starts.emplace_back(column, row);
        }
        SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(width) + " x " +
                     std::to_string(height) + ", " + std::to_string(members) + " members");
        fixture.engine->UpdatePartySight();

        const std::vector<char> expected = PlainFlood(area, starts);
        EXPECT_EQ(Mismatches(area.GetSightGrid(), expected), 0u);
        EXPECT_EQ(Mismatches(area.GetTileTracker(), expected), 0u);
        // The rounds must try floods, not empty grids.
        if (!starts.empty())
        {
            EXPECT_GT(std::count(expected.begin(), expected.end(), 1), 50);
        }
    }
}

// A party walking step by step and now and then jumping far, with doors
// opening and shutting and other code marking the sight grid: after every
// tick the sight grid must hold what a whole flood from where the party
// stands holds (or be left alone when nobody changed cell), and the tile
// tracker every cell ever flooded.
TEST(PartySightFlood, StepByStepWalkMatchesAWholeFloodEachTick)
{
    std::mt19937 random(20261207u);
    constexpr std::uint32_t kWidth = 140;
    constexpr std::uint32_t kHeight = 100;
    MovementTest::CFixture fixture(RandomLines(random, kWidth, kHeight));
    VARD::CArea& area = *fixture.area;
    area.SightGrid().SetSize(kWidth, kHeight);
    area.TileTracker().SetSize(kWidth, kHeight);
    std::vector<VARD::CMasterTileDoor*> doors;
    for (const auto& master : area.GetMasterTiles())
        if (auto* door = dynamic_cast<VARD::CMasterTileDoor*>(master.get()))
            doors.push_back(door);
    std::vector<std::shared_ptr<VARD::CActor>> party = {fixture.Game().Party().at(0)};
    area.AddActor(party[0]);
    for (int i = 1; i < 4; ++i)
    {
        party.push_back(fixture.AddActor(0, 0, 1.0, VARD::kAttitudeParty));
        fixture.Game().AddPartyMember(party.back());
    }

    std::vector<Cell> cells(party.size(), Cell{kWidth / 2, kHeight / 2});
    std::vector<Cell> flooded;
    std::vector<char> sight(static_cast<std::size_t>(kWidth) * kHeight, 0);
    std::vector<char> tracker = sight;
    int floods = 0;
    for (int tick = 0; tick < 160; ++tick)
    {
        for (Cell& cell : cells)
        {
            // A step to a neighbour (across the grid at its edges), or a jump.
            const std::uint32_t draw = random() % 100;
            const auto step = [&](std::uint32_t at, std::uint32_t size)
            { return static_cast<std::uint32_t>((at + size + random() % 3 - 1) % size); };
            if (draw < 30)
                cell = {step(cell.first, kWidth), step(cell.second, kHeight)};
            else if (draw < 32)
                cell = {random() % kWidth, random() % kHeight};
        }
        for (std::size_t member = 0; member < party.size(); ++member)
            party[member]->SetPosition(cells[member].first * 2.5 + 1.25,
                                       cells[member].second * 2.5 + 1.25);
        if (random() % 4 == 0)
        {
            VARD::CMasterTileDoor& door = *doors[random() % doors.size()];
            door.SetOpen(door.GetOpenFlag() == 0);
        }
        if (random() % 10 == 0)
        {
            const Cell cell{random() % kWidth, random() % kHeight};
            area.SightGrid().Mark(cell.first, cell.second);
            sight[cell.second * kWidth + cell.first] = 1;
        }
        if (cells != flooded)
        {
            flooded = cells;
            sight = PlainFlood(area, cells);
            for (std::size_t i = 0; i < sight.size(); ++i)
                tracker[i] |= sight[i];
            ++floods;
        }
        fixture.engine->UpdatePartySight();
        ASSERT_EQ(Mismatches(area.GetSightGrid(), sight), 0u) << "tick " << tick;
        ASSERT_EQ(Mismatches(area.GetTileTracker(), tracker), 0u) << "tick " << tick;
    }
    // Most ticks moved someone, and some did not.
    EXPECT_GT(floods, 60);
    EXPECT_LT(floods, 160);
}

} // namespace
