#include "record_test_util.h"

#include "world/rule_tables.h"
#include "world/script_record.h"
#include "world/tile.h"

#include <gtest/gtest.h>

#include <map>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;

namespace
{

std::map<std::string, std::shared_ptr<CTileTemplate>> ReadTileFixture()
{
    return RecordTest::ReadFixtureRecords<CTileTemplate>("tiles.vard", "tiles", "tile");
}

// A graphic handle that the tests can tell apart without a graphics engine.
std::shared_ptr<VARDGraph::CGraphic> FakeGraphic(const std::shared_ptr<int>& owner)
{
    return std::shared_ptr<VARDGraph::CGraphic>(
        owner, reinterpret_cast<VARDGraph::CGraphic*>(owner.get()));
}

} // namespace

struct TileExpectation
{
    const char* name;
    const char* text;
    const char* graphic;
    std::uint32_t sizeX, sizeY;
    int kind;
    std::uint32_t doorValueA, lockValue;
    bool reset;
    bool script;
    const char* openGraphic;
};

TEST(TileTemplate, FixtureRecordsOfEveryKind)
{
    const TileExpectation expected[] = {
        {"stone_floor", "Stone floor", "floor_stone", 1, 1, 0, 0, 0, false, false, ""},
        // "0" names no graphic to the drawing and is kept as it stands.
        {"pit", "Open pit", "0", 2, 3, 1, 0, 0, false, false, ""},
        {"wall_long", "Long wall", "wall_a", 3, 1, 2, 0, 0, false, false, ""},
        {"door_oak", "Oak door", "door_oak_shut", 1, 1, 3, 3, 45, false, false, "door_oak_open"},
        {"door_sealed", "Sealed door", "door_seal", 2, 1, 3, 4, 0, false, true, "door_seal_open"},
        {"door_gate", "Gate", "gate_shut", 1, 2, 3, 0, 0, true, true, "gate_open"},
        {"door_plain", "Plain door", "door_p", 1, 1, 3, 2, 0, true, false, "door_p_open"},
    };
    const auto tiles = ReadTileFixture();
    ASSERT_EQ(tiles.size(), std::size(expected));
    for (const TileExpectation& e : expected)
    {
        SCOPED_TRACE(e.name);
        ASSERT_EQ(tiles.count(e.name), 1u);
        const CTileTemplate& tile = *tiles.at(e.name);
        EXPECT_EQ(tile.GetText(), e.text);
        EXPECT_EQ(tile.GetGraphicName(), e.graphic);
        EXPECT_EQ(tile.GetSizeX(), e.sizeX);
        EXPECT_EQ(tile.GetSizeY(), e.sizeY);
        EXPECT_EQ(tile.GetKind(), e.kind);
        EXPECT_EQ(tile.IsDoor(), e.kind == kTileKindDoor);
        EXPECT_EQ(tile.GetDoorValueA(), e.doorValueA);
        EXPECT_EQ(tile.GetLockValue(), e.lockValue);
        EXPECT_EQ(tile.GetReset(), e.reset);
        EXPECT_EQ(tile.GetScript() != nullptr, e.script);
        EXPECT_EQ(tile.GetOpenGraphicName(), e.openGraphic);
    }
}

TEST(TileTemplate, DoorScriptKeepsItsBody)
{
    const auto tiles = ReadTileFixture();
    EXPECT_EQ(SourceOf(tiles.at("door_sealed")->GetSharedScript()),
              WrappedSource("if vard_check_tag( context, \"seal_broken\" ) then return true end "
                            "return false "));
    EXPECT_EQ(SourceOf(tiles.at("door_gate")->GetSharedScript()),
              WrappedSource("return vard_is_main_actor( context, \"actor\" ) "));
}

TEST(TileTemplate, DoorWithLockValueZeroAndNoScript)
{
    // "0" here is the lock value; a script reader would take it for a null pair.
    auto reader = ReaderOf("<tile> d \"D\" g (1 1) door 7 0 g_open </tile> after");
    const CTileTemplate tile(reader);
    EXPECT_EQ(tile.GetDoorValueA(), 7u);
    EXPECT_EQ(tile.GetLockValue(), 0u);
    EXPECT_EQ(tile.GetScript(), nullptr);
    EXPECT_EQ(tile.GetOpenGraphicName(), "g_open");
    EXPECT_FALSE(tile.GetReset());
    EXPECT_EQ(reader.ReadWord(), "after");

    auto unseen = ReaderOf("<tile> d \"D\" 0 (1 1) door 7 0 0 </tile>");
    const CTileTemplate bare(unseen);
    EXPECT_EQ(bare.GetGraphicName(), "0");
    EXPECT_EQ(bare.GetOpenGraphicName(), "0");
}

TEST(TileTemplate, MalformedRecordsAreCode1)
{
    for (const char* text : {
             "<tile> t \"T\" g (1 1) wall </tile>",  // kind outside the list
             "<tile> t \"T\" g (1 1) Floor </tile>", // kinds are lower case
             "<tile> t \"T\" g (1 1) 0 </tile>",
             "<tile> t \"T\" g 0 floor </tile>",   // size may not be null
             "<tile> t \"T\" g 1 1 floor </tile>", // size must be a pair
             "<tile> t \"T\" g (1 1 1) floor </tile>",
             "<tile> t T g (1 1) floor </tile>",           // text must be quoted
             "<tile> t \"T\" g (1 1) floor reset </tile>", // only doors take "reset"
             "<tile> t \"T\" g (1 1) door 1 2 open resets </tile>",
             "<tile> t \"T\" g (1 1) door 1 2 open reset reset",
             "<tile> t \"T\" g (1 1) door 1 <lua> x </lua> </tile>", // no open graphic
             "<tile> t \"T\" g (1 1) door 1 (a b) </tile>",          // pairs but no script
             "<tile> t \"T\" g (1 1) door 1 <lua> x open </tile>",
             "<tile> t \"T\" g (1 1) door </tile>",
         })
    {
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { CTileTemplate tile(reader); }), 1) << text;
    }
}

TEST(TileTemplate, SizeZeroIsCode1)
{
    for (const char* text :
         {"<tile> t \"T\" g (0 1) floor </tile>", "<tile> t \"T\" g (2 0) solid </tile>",
          "<tile> t \"T\" g (0 0) door 1 2 open </tile>"})
    {
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { CTileTemplate tile(reader); }), 1) << text;
    }
}

TEST(TileTemplate, PieceConstructorHasNoDoorValues)
{
    const CTileTemplate piece("hall#1#0", "Hall", kTileKindDoor, "hall_g#1#0", 2, 3);
    EXPECT_EQ(piece.GetName(), "hall#1#0");
    EXPECT_EQ(piece.GetText(), "Hall");
    EXPECT_EQ(piece.GetGraphicName(), "hall_g#1#0");
    EXPECT_EQ(piece.GetKind(), kTileKindDoor);
    EXPECT_EQ(piece.GetSizeX(), 2u);
    EXPECT_EQ(piece.GetSizeY(), 3u);
    EXPECT_EQ(piece.GetDoorValueA(), 0u);
    EXPECT_EQ(piece.GetLockValue(), 0u);
    EXPECT_FALSE(piece.GetReset());
    EXPECT_EQ(piece.GetScript(), nullptr);
    EXPECT_EQ(piece.GetOpenGraphicName(), "");

    EXPECT_EQ(CodeOf([] { CTileTemplate("p", "P", kTileKindFloor, "g", 0, 1); }), 1);
    EXPECT_EQ(CodeOf([] { CTileTemplate("p", "P", kTileKindFloor, "g", 1, 0); }), 1);
    EXPECT_EQ(CodeOf([] { CTileTemplate("p", "P", 4, "g", 1, 1); }), 1);
    EXPECT_EQ(CodeOf([] { CTileTemplate("p", "P", -1, "g", 1, 1); }), 1);
}

TEST(MasterTile, EastAndWestSwapTheSizes)
{
    const CTileTemplate wide("w", "W", kTileKindSolid, "g", 2, 1);
    for (std::uint32_t orientation = 0; orientation < 4; ++orientation)
    {
        const CMasterTile master(&wide, orientation, nullptr, 5, 6);
        const bool swapped = orientation == 1 || orientation == 3;
        EXPECT_EQ(master.GetSizeX(), swapped ? 1u : 2u) << orientation;
        EXPECT_EQ(master.GetSizeY(), swapped ? 2u : 1u) << orientation;
        EXPECT_EQ(master.GetColumn(), 5u);
        EXPECT_EQ(master.GetRow(), 6u);
        EXPECT_EQ(master.GetOrientation(), orientation);
        EXPECT_EQ(master.GetTemplate(), &wide);
    }
    EXPECT_EQ(CodeOf([] { CMasterTile(nullptr, 0, nullptr, 0, 0); }), 1);
}

TEST(MasterTile, GraphicIsHeldUntilReleased)
{
    const CTileTemplate floor("f", "F", kTileKindFloor, "g", 1, 1);
    CMasterTile master(&floor, 0, nullptr, 0, 0);
    EXPECT_EQ(master.GetGraphic(), nullptr);
    const auto owner = std::make_shared<int>(1);
    master.SetGraphic(FakeGraphic(owner));
    EXPECT_EQ(master.GetGraphic(), master.GetSharedGraphic().get());
    EXPECT_NE(master.GetGraphic(), nullptr);
    master.ReleaseGraphic();
    EXPECT_EQ(master.GetGraphic(), nullptr);
    EXPECT_EQ(master.GetScript(), nullptr);
}

TEST(MasterTileDoor, StartsClosedWithTheTemplatesLock)
{
    const auto tiles = ReadTileFixture();
    CMasterTileDoor door(tiles.at("door_oak").get(), 0, nullptr, 1, 1);
    EXPECT_FALSE(door.IsOpen());
    EXPECT_EQ(door.GetLockValue(), 45u);
    EXPECT_EQ(door.GetScript(), nullptr);

    door.SetOpen(true);
    EXPECT_TRUE(door.IsOpen());
    EXPECT_EQ(door.GetOpenFlag(), 1u);
    EXPECT_EQ(door.GetLockValue(), 0u);
    door.SetOpen(false);
    EXPECT_FALSE(door.IsOpen());
    EXPECT_EQ(door.GetLockValue(), 0u);

    const CMasterTileDoor sealed(tiles.at("door_sealed").get(), 0, nullptr, 0, 0);
    EXPECT_EQ(sealed.GetScript(), tiles.at("door_sealed")->GetScript());
    EXPECT_NE(sealed.GetScript(), nullptr);
}

TEST(MasterTileDoor, DrawsTheOpenGraphicWhileOpen)
{
    const auto tiles = ReadTileFixture();
    CMasterTileDoor door(tiles.at("door_plain").get(), 0, nullptr, 0, 0);
    const auto closedOwner = std::make_shared<int>(1);
    const auto openOwner = std::make_shared<int>(2);
    door.SetGraphic(FakeGraphic(closedOwner));
    door.SetOpenGraphic(FakeGraphic(openOwner));
    CMasterTile& base = door;
    EXPECT_EQ(base.GetGraphic(), door.GetSharedGraphic().get());
    door.SetOpen(true);
    EXPECT_EQ(base.GetGraphic(), door.GetSharedOpenGraphic().get());
    base.ReleaseGraphic();
    EXPECT_EQ(door.GetSharedGraphic(), nullptr);
    EXPECT_EQ(door.GetSharedOpenGraphic(), nullptr);
    EXPECT_EQ(closedOwner.use_count(), 1);
    EXPECT_EQ(openOwner.use_count(), 1);
}

TEST(MasterTileDoor, TemplateThatIsNoDoorIsCode2)
{
    const CTileTemplate wall("w", "W", kTileKindSolid, "g", 1, 1);
    EXPECT_EQ(CodeOf([&] { CMasterTileDoor(&wall, 0, nullptr, 0, 0); }), 2);
}

TEST(Tile, IdAndCentreComeFromTheCell)
{
    const CTile tile(7, 12);
    EXPECT_EQ(tile.Id(), MakeThingId(kThingKindTile, 12007));
    EXPECT_EQ(ThingKindOf(tile.Id()), 1u);
    EXPECT_EQ(tile.GetColumn(), 7u);
    EXPECT_EQ(tile.GetRow(), 12u);
    EXPECT_DOUBLE_EQ(tile.GetCenterX(), 7 * 2.5 + 1.25);
    EXPECT_DOUBLE_EQ(tile.GetCenterY(), 12 * 2.5 + 1.25);
    EXPECT_EQ(tile.GetMasterTile(), nullptr);

    const CTile last(215, 16777);
    EXPECT_EQ(ThingNumberOf(last.Id()), 0xFFFFFFu);
}

TEST(Tile, CellsWhoseNumberWouldNotTellThemBackAreCode2)
{
    EXPECT_EQ(CodeOf([] { CTile(1000, 0); }), 2);
    EXPECT_EQ(CodeOf([] { CTile(216, 16777); }), 2);
    EXPECT_EQ(CodeOf([] { CTile(0, 16778); }), 2);
    EXPECT_EQ(CodeOf([] { CTile(0, 0xFFFFFFFFu); }), 2);
}

TEST(Tile, GetDoorOnlyOnDoors)
{
    const auto tiles = ReadTileFixture();
    CTile tile(0, 0);
    EXPECT_EQ(CodeOf([&] { tile.GetDoor(); }), 2);

    CMasterTile wall(tiles.at("wall_long").get(), 0, nullptr, 0, 0);
    tile.SetMasterTile(&wall);
    EXPECT_EQ(CodeOf([&] { tile.GetDoor(); }), 2);

    // A tiles patch lays door templates as plain master tiles.
    CMasterTile patched(tiles.at("door_oak").get(), 0, nullptr, 0, 0);
    tile.SetMasterTile(&patched);
    EXPECT_EQ(CodeOf([&] { tile.GetDoor(); }), 2);

    CMasterTileDoor door(tiles.at("door_oak").get(), 0, nullptr, 0, 0);
    tile.SetMasterTile(&door);
    EXPECT_EQ(tile.GetDoor(), &door);
}
