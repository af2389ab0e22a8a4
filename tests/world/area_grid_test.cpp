#include "area_test_util.h"

#include "world/event.h"
#include "world/patch.h"

using namespace VARD;
using AreaTest::GridArea;
using AreaTest::GridModule;
using AreaTest::MakeActor;
using AreaTest::UniformRows;
using TestUtil::CodeOf;
using TestUtil::DetailOf;
using TestUtil::ReaderOf;

namespace
{

std::string MasterName(const CArea& area, std::uint32_t column, std::uint32_t row)
{
    const CMasterTile* master = area.GetTile(column, row)->GetMasterTile();
    return master != nullptr ? master->GetTemplate()->GetName() : std::string("-");
}

CPatchActionTiles TilesAction(const std::string& body)
{
    auto reader = ReaderOf("<tiles> " + body + " </tiles>");
    return CPatchActionTiles(reader);
}

} // namespace

// ------------------------------------------------------------ cell bit sets

TEST(CellBitSet, TenByTenLayout)
{
    CCellBitSet bits;
    bits.SetSize(10, 10);
    ASSERT_EQ(bits.GetWords().size(), 26u);
    // Cell 33 is column 3 of row 3: bit 33 mod 32 of word 33 / 4.
    bits.Mark(3, 3);
    for (std::size_t word = 0; word < bits.GetWords().size(); ++word)
        EXPECT_EQ(bits.GetWords()[word], word == 8 ? 0x2u : 0u) << word;
    EXPECT_TRUE(bits.IsMarked(3, 3));
    // Cell 1 shares word 0 with cell 0 but not its bit.
    bits.Mark(1, 0);
    EXPECT_EQ(bits.GetWords()[0], 0x2u);
    EXPECT_FALSE(bits.IsMarked(0, 0));
    EXPECT_TRUE(bits.IsMarked(1, 0));
}

TEST(CellBitSet, OffTheGridAndShortVectors)
{
    CCellBitSet bits;
    bits.SetSize(4, 4);
    bits.Mark(4, 0);
    bits.Mark(0, 4);
    for (std::uint32_t word : bits.GetWords())
        EXPECT_EQ(word, 0u);
    EXPECT_FALSE(bits.IsMarked(4, 0));
    // A saved tracker may be shorter than the grid needs.
    bits.Words().assign(1, 0u);
    EXPECT_FALSE(bits.IsMarked(3, 3));
    bits.Mark(3, 3);
    EXPECT_TRUE(bits.IsMarked(3, 3));
}

TEST(CellBitSet, ResizeKeepsWords)
{
    CCellBitSet bits;
    bits.SetSize(3, 3);
    bits.Mark(2, 2);
    const auto before = bits.GetWords();
    bits.SetSize(4, 4);
    ASSERT_EQ(bits.GetWords().size(), 5u);
    for (std::size_t word = 0; word < before.size(); ++word)
        EXPECT_EQ(bits.GetWords()[word], before[word]);
    EXPECT_EQ(bits.GetWords()[4], 0u);
}

// ------------------------------------------------------------ grid size

TEST(AreaGrid, GrowingKeepsOldTiles)
{
    CArea area(nullptr);
    area.SetGridSize(3, 3);
    std::vector<CTile*> old;
    for (const auto& tile : area.GetTiles())
        old.push_back(tile.get());
    area.SetGridSize(4, 4);
    ASSERT_EQ(area.GetTiles().size(), 16u);
    std::size_t kept = 0;
    for (std::uint32_t row = 0; row < 4; ++row)
    {
        for (std::uint32_t column = 0; column < 4; ++column)
        {
            const CTile* tile = area.GetTile(column, row);
            EXPECT_EQ(tile->Id(), MakeThingId(kThingKindTile, row * 1000 + column));
            if (column < 3 && row < 3)
            {
                EXPECT_EQ(tile, old[row * 3 + column]);
                ++kept;
            }
        }
    }
    EXPECT_EQ(kept, 9u);
    EXPECT_EQ(area.GetTileTracker().GetWords().size(), 5u);
    EXPECT_EQ(area.GetSightGrid().GetWidth(), 4u);
    EXPECT_EQ(area.GetTile(4, 0), nullptr);
}

// The kinds are read from a copy kept while no master tile changes: a grid
// that grows, or a cell given another tile, must show in the next look.
TEST(AreaGrid, CellKindsFollowTheGridAndItsTiles)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(3, 3, "(floor n)"));
    EXPECT_EQ(area->GetCellKind(2, 2), kTileKindFloor);
    area->SetGridSize(5, 4);
    EXPECT_EQ(area->GetCellKind(2, 2), kTileKindFloor);
    EXPECT_EQ(area->GetCellKind(4, 3), kTileKindSolid);
    EXPECT_EQ(area->GetCellKind(5, 0), kTileKindSolid);
    area->GetTile(1, 1)->SetMasterTile(area->GetTile(4, 3)->GetMasterTile());
    EXPECT_EQ(area->GetCellKind(1, 1), kTileKindSolid);
    EXPECT_FALSE(area->IsClearOfTiles(nullptr, nullptr, 3.75, 3.75));
    area->GetTile(1, 1)->SetMasterTile(area->GetTile(0, 0)->GetMasterTile());
    EXPECT_TRUE(area->IsClearOfTiles(nullptr, nullptr, 3.75, 3.75));
    // Shrinking makes no tile: the row length changes all the same.
    area->GetTile(2, 0)->SetMasterTile(nullptr);
    EXPECT_EQ(area->GetCellKind(2, 0), kTileKindSolid);
    area->SetGridSize(2, 3);
    EXPECT_EQ(area->GetCellKind(0, 1), kTileKindFloor);
    EXPECT_EQ(area->GetCellKind(2, 0), kTileKindSolid);
}

TEST(AreaGrid, TileIdsCarryTheCell)
{
    CArea area(nullptr);
    area.SetGridSize(1000, 2);
    EXPECT_EQ(area.GetTile(999, 1)->Id(), 0x01000000u | 1999u);
    EXPECT_EQ(area.GetTile(999, 1)->GetColumn(), 999u);
    EXPECT_EQ(area.GetTile(999, 1)->GetRow(), 1u);
}

// ------------------------------------------------------------ <rows>

TEST(AreaRows, OrientationOneTurnsTheBlock)
{
    auto module = GridModule();
    auto area = GridArea(nullptr, *module,
                         "<rows> (3 3)"
                         " <row> (long e) (floor n) (floor n) </row>"
                         " <row> 0 (long n) 0 </row>"
                         " <row> (floor n) (floor n) (floor n) </row> </rows>");
    EXPECT_EQ(MasterName(*area, 0, 0), "long");
    EXPECT_EQ(MasterName(*area, 0, 1), "long");
    EXPECT_EQ(MasterName(*area, 1, 0), "floor");
    EXPECT_EQ(MasterName(*area, 2, 1), "long");
    EXPECT_EQ(area->GetTile(0, 1)->GetMasterTile(), area->GetTile(0, 0)->GetMasterTile());
    EXPECT_EQ(area->GetTile(0, 0)->GetMasterTile()->GetSizeX(), 1u);
    EXPECT_EQ(area->GetTile(0, 0)->GetMasterTile()->GetSizeY(), 2u);
    EXPECT_EQ(area->GetMasterTiles().size(), 7u);
}

TEST(AreaRows, WallsTakeCellsFloorsDoNot)
{
    auto module = GridModule();
    // A floor laid over a wall leaves the wall; a wall laid over floor takes it.
    auto rug = GridArea(nullptr, *module,
                        "<rows> (2 1) <row> <cell> (wall n) (rug n) </cell> 0 </row> </rows>");
    EXPECT_EQ(MasterName(*rug, 0, 0), "wall");
    EXPECT_EQ(MasterName(*rug, 1, 0), "rug");
    auto wall = GridArea(nullptr, *module,
                         "<rows> (2 1) <row> <cell> (rug n) (long n) </cell> 0 </row> </rows>");
    EXPECT_EQ(MasterName(*wall, 0, 0), "long");
    EXPECT_EQ(MasterName(*wall, 1, 0), "long");
    // A door takes over as a wall does.
    auto door = GridArea(nullptr, *module,
                         "<rows> (1 1) <row> <cell> (wall n) (door n) (floor n) </cell> </row>"
                         " </rows>");
    EXPECT_EQ(MasterName(*door, 0, 0), "door");
    EXPECT_EQ(door->GetMasterTiles().size(), 3u);
}

TEST(AreaRows, DoorsAreDoorMasterTiles)
{
    auto module = GridModule();
    auto area = GridArea(nullptr, *module,
                         "<rows> (2 1) <row> <cell> (floor n) (gate n) </cell> (floor n) </row>"
                         " </rows>");
    const auto* door = dynamic_cast<const CMasterTileDoor*>(area->GetTile(0, 0)->GetMasterTile());
    ASSERT_NE(door, nullptr);
    EXPECT_FALSE(door->IsOpen());
    EXPECT_EQ(door->GetLockValue(), 25u);
    EXPECT_EQ(CodeOf([&] { area->GetTile(1, 0)->GetDoor(); }), 2);
}

TEST(AreaRows, MalformedEntriesAreCodeOne)
{
    auto module = GridModule();
    const struct
    {
        const char* rows;
        const char* detail;
    } cases[] = {
        {"<rows> 2 1 <row> (floor n) (floor n) </row> </rows>", "grid size"},
        {"<rows> (2 1) <row> 0 (floor n) </row> </rows>", "no tile placed before"},
        {"<rows> (2 1) <row> (floor n) (marble n) </row> </rows>", "marble"},
        {"<rows> (2 1) <row> (floor n) (floor up) </row> </rows>", "orientation"},
        {"<rows> (2 1) <row> (floor n) floor </row> </rows>", "pair of tile name"},
        {"<rows> (2 1) <row> (floor n) <cell> </cell> </row> </rows>", "pair of tile name"},
        {"<rows> (2 1) <row> (floor n) <cell> (floor n) wall </cell> </row> </rows>", "pair"},
        {"<rows> (2 1) <row> (floor n) (long n) </row> </rows>", "reaches past the grid"},
        {"<rows> (2 2) <row> (floor n) (floor n) </row> <row> (long e) 0 </row> </rows>",
         "reaches past the grid"},
        {"<rows> (2 1) <row> (floor n) </row> </rows>", "pair"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.rows);
        const auto call = [&] { GridArea(nullptr, *module, c.rows); };
        EXPECT_EQ(CodeOf(call), 1);
        EXPECT_NE(DetailOf(call).find(c.detail), std::string::npos) << DetailOf(call);
    }
}

TEST(AreaRows, GridsWiderThanTileIdsAreCodeOne)
{
    auto module = GridModule();
    const auto call = [&] { GridArea(nullptr, *module, "<rows> (1001 1) </rows>"); };
    EXPECT_EQ(CodeOf(call), 1);
    EXPECT_NE(DetailOf(call).find("1001 cells wide"), std::string::npos);
    EXPECT_EQ(CodeOf([&] { GridArea(nullptr, *module, "<rows> (0 0) </rows>"); }), -1);
}

// Row 16777 still numbers its cells within 24 bits; row 16778 would not.
TEST(AreaGrid, TileNumbersPast24BitsAreCodeTwo)
{
    auto module = GridModule();
    EXPECT_EQ(CodeOf([&] { GridArea(nullptr, *module, "<rows> (1 16779) </rows>"); }), 2);
    // Cell (216, 16777) would be number 0x1000000.
    EXPECT_EQ(CodeOf([&] { GridArea(nullptr, *module, "<rows> (217 16778) </rows>"); }), 2);
    // Within the bits only the missing <row> lines fail.
    const auto call = [&] { GridArea(nullptr, *module, "<rows> (1 16778) </rows>"); };
    EXPECT_EQ(CodeOf(call), 1);
    EXPECT_NE(TestUtil::DetailOf(call).find("<row>"), std::string::npos);

    CArea area(nullptr);
    area.SetGridSize(2, 2);
    EXPECT_EQ(CodeOf([&] { area.SetGridSize(1, 0xFFFFFFFFu); }), 2);
    // The failed call leaves the grid as it was.
    EXPECT_EQ(area.GetWidth(), 2u);
    EXPECT_EQ(area.GetTiles().size(), 4u);
}

TEST(AreaRows, UncoveredCellsCountAsSolid)
{
    CArea area(nullptr);
    area.SetGridSize(2, 1);
    EXPECT_EQ(area.GetCellKind(0, 0), kTileKindSolid);
    EXPECT_EQ(area.GetCellKind(5, 5), kTileKindSolid);
    CGame game;
    auto actor = MakeActor(game, 1.25, 1.25, 0.5);
    EXPECT_FALSE(area.IsClearOfTiles(actor.get(), nullptr, 1.25, 1.25));
}

// ------------------------------------------------------------ door runs

TEST(AreaDoors, CollectDoorTilesRunsFourWays)
{
    auto module = GridModule();
    const std::string D = "<cell> (floor n) (door n) </cell>";
    auto area = GridArea(nullptr, *module,
                         "<rows> (5 4)"
                         " <row> (floor n) (floor n) " +
                             D +
                             " (floor n) (floor n) </row>"
                             " <row> " +
                             D + " " + D + " " + D + " (wall n) " + D +
                             " </row>"
                             " <row> (floor n) (floor n) " +
                             D +
                             " (floor n) (floor n) </row>"
                             " <row> (floor n) (floor n) (floor n) (floor n) (floor n) </row>"
                             " </rows>");
    const auto door = area->CollectDoorTiles(area->GetTile(2, 1));
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cells;
    for (const CTile* tile : door)
        cells.emplace_back(tile->GetColumn(), tile->GetRow());
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {2, 1}, {1, 1}, {0, 1}, {2, 0}, {2, 2}};
    EXPECT_EQ(cells, expected);
    // A door on the grid's corner stops at the edge.
    auto corner = GridArea(nullptr, *module, "<rows> (1 1) <row> " + D + " </row> </rows>");
    EXPECT_EQ(corner->CollectDoorTiles(corner->GetTile(0, 0)).size(), 1u);
    CTile stranger(0, 0);
    EXPECT_EQ(CodeOf([&] { area->CollectDoorTiles(&stranger); }), 2);
}

// ------------------------------------------------------------ tiles patch

TEST(AreaTilesPatch, EveryCellGoesToThePatchTile)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(3, 2, "(floor n)"));
    const auto before = area->GetMasterTiles().size();
    area->LayPatchTiles(TilesAction("(0 0) (long s) (2 1) (door n)"), *module);
    EXPECT_EQ(area->GetMasterTiles().size(), before + 2);
    EXPECT_EQ(MasterName(*area, 0, 0), "long");
    EXPECT_EQ(MasterName(*area, 1, 0), "long");
    // A patch lays even a door template as a plain master tile, which stays shut.
    EXPECT_EQ(MasterName(*area, 2, 1), "door");
    EXPECT_EQ(CodeOf([&] { area->GetTile(2, 1)->GetDoor(); }), 2);
    auto actor = MakeActor(game, 6.25, 3.75, 0.5);
    EXPECT_FALSE(area->IsClearOfTiles(actor.get(), nullptr, 6.25, 3.75));
    ASSERT_FALSE(game.GetEvents().empty());
    EXPECT_EQ(game.GetEvents().back()->GetKind(), kEventTilesPatched);
}

TEST(AreaTilesPatch, BadBlocksAreCodeOne)
{
    auto module = GridModule();
    auto area = GridArea(nullptr, *module, UniformRows(3, 2, "(floor n)"));
    EXPECT_EQ(CodeOf([&] { area->LayPatchTiles(TilesAction("(2 0) (long n)"), *module); }), 1);
    EXPECT_EQ(CodeOf([&] { area->LayPatchTiles(TilesAction("(0 0) (lava n)"), *module); }), 1);
    // The patch reads an unknown direction as 4; laying it facing no direction is refused.
    EXPECT_EQ(CodeOf([&] { area->LayPatchTiles(TilesAction("(0 0) (floor up)"), *module); }), 1);
    EXPECT_EQ(MasterName(*area, 2, 0), "floor");
}

TEST(AreaTilesPatch, DisplacedActorsMoveOrStay)
{
    auto module = GridModule();
    CGame game;
    auto area = GridArea(&game, *module, UniformRows(6, 6, "(floor n)"));
    auto walled = MakeActor(game, 3.75, 3.75, 0.5);     // cell (1, 1)
    auto standing = MakeActor(game, 11.25, 11.25, 0.5); // cell (4, 4)
    area->AddActor(walled);
    area->AddActor(standing);
    SeedRandom(3);
    const std::uint64_t stamp = area->GetActorsStamp();
    area->LayPatchTiles(TilesAction("(1 1) (wall n)"), *module);
    EXPECT_GT(area->GetActorsStamp(), stamp);
    // The one on the new wall was taken out and placed again, at the end.
    ASSERT_EQ(area->GetActors().size(), 2u);
    EXPECT_EQ(area->GetActors()[0], standing);
    EXPECT_EQ(area->GetActors()[1], walled);
    EXPECT_TRUE(area->IsPositionFree(walled.get(), walled->GetX(), walled->GetY(), nullptr));
    EXPECT_DOUBLE_EQ(standing->GetX(), 11.25);

    // Walled in on every side: it stays where it stood rather than vanish.
    auto boxed = GridArea(&game, *module, UniformRows(1, 1, "(floor n)"));
    auto alone = MakeActor(game, 1.25, 1.25, 0.5);
    boxed->AddActor(alone);
    boxed->LayPatchTiles(TilesAction("(0 0) (wall n)"), *module);
    ASSERT_EQ(boxed->GetActors().size(), 1u);
    EXPECT_EQ(boxed->GetActors()[0], alone);
    EXPECT_DOUBLE_EQ(alone->GetX(), 1.25);
    EXPECT_DOUBLE_EQ(alone->GetY(), 1.25);
}
