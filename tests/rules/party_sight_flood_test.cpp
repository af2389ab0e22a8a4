// The sight flood on rows of bits against the plain flood it replaced: on
// seeded random areas with walls, chasms and doors (some open), parties of
// one to six standing anywhere, on the edge or dead, both grids must hold
// exactly the cells that 48 steps of eight neighbours reach.

#include "movement_test_util.h"

#include "world/tile.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
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

// Cell by cell, breadth first, as the rules describe the flood.
std::set<Cell> PlainFlood(const VARD::CArea& area, const std::vector<Cell>& starts)
{
    std::set<Cell> reached(starts.begin(), starts.end());
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
                    const Cell cell{static_cast<std::uint32_t>(nc), static_cast<std::uint32_t>(nr)};
                    if (reached.insert(cell).second && !Blocks(area, cell.first, cell.second))
                        next.push_back(cell);
                }
        front = std::move(next);
    }
    return reached;
}

TEST(PartySightFlood, RowsOfBitsReachWhatThePlainFloodReaches)
{
    std::mt19937 random(20240607u);
    for (int round = 0; round < 12; ++round)
    {
        const std::uint32_t width = 20 + random() % 150;
        const std::uint32_t height = 20 + random() % 120;
        std::vector<std::string> lines(height, std::string(width, '.'));
        for (auto& line : lines)
            for (char& c : line)
            {
                const std::uint32_t draw = random() % 100;
                c = draw < 9 ? '#' : draw < 11 ? 'o' : draw < 13 ? 'd' : '.';
            }
        MovementTest::CFixture fixture(lines);
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
            std::uint32_t column = (width / 3 + random() % (width / 3 + 1)) % width;
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

        const std::set<Cell> expected = PlainFlood(area, starts);
        std::size_t mismatches = 0;
        for (std::uint32_t row = 0; row < height; ++row)
            for (std::uint32_t column = 0; column < width; ++column)
            {
                const bool in = expected.count({column, row}) != 0;
                mismatches += area.GetSightGrid().IsMarked(column, row) != in;
                mismatches += area.GetTileTracker().IsMarked(column, row) != in;
            }
        EXPECT_EQ(mismatches, 0u);
        // The rounds must try floods, not empty grids.
        if (!starts.empty())
        {
            EXPECT_GT(expected.size(), 50u);
        }
    }
}

} // namespace
