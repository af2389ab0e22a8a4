// The <area> block of a saved game: written, read back in the current and
// the other mode, and written again byte for byte.

#include "area_test_util.h"

#include "world/actor_spawn.h"
#include "world/item_template.h"
#include "world/trap.h"

#include <algorithm>

using namespace VARD;
using AreaTest::FixtureModule;
using TestUtil::CodeOf;
using TestUtil::ReaderOf;
using TestUtil::WrittenText;

namespace
{

std::string BlockOf(const CArea& area)
{
    return WrittenText([&](VARDCommon::CTagFileWriter& writer) { area.Write(writer); });
}

std::unique_ptr<CArea> ReadBlock(CGame& game, const std::string& text, const std::string& current,
                                 const CModule& module)
{
    auto area = std::make_unique<CArea>(&game);
    auto reader = ReaderOf(text);
    area->Read(reader, current, module);
    EXPECT_TRUE(reader.IsAtEnd());
    return area;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> Doors(const CArea& area)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> doors;
    for (const auto& door : area.GetOpenDoors())
        doors.emplace_back(door->column, door->row);
    return doors;
}

std::vector<std::string> Contents(const CArea& area)
{
    std::vector<std::string> lines;
    for (const auto& object : area.GetObjects())
    {
        std::string line = object->GetDefinitionName() + " " + object->GetInstanceName();
        for (const auto& item : object->GetItems())
            line += " " + item->GetTemplate()->GetName() + "x" + std::to_string(item->GetValue1());
        lines.push_back(line);
    }
    for (const auto& actor : area.GetActors())
        lines.push_back(std::to_string(actor->Id()) + " " + actor->GetTemplateName() + " " +
                        GetEncounterName(*actor));
    return lines;
}

// A glade as play leaves it: its patch applied (tiles, a door, an object
// gone, one made, an ambush), a rat killed, the chest looted, cells seen.
std::unique_ptr<CArea> PlayedGlade(CGame& game, const CModule& module)
{
    game.SetQuestTag("glade_tag", 1);
    SeedRandom(41);
    auto area = std::make_unique<CArea>(&game);
    area->ReadFile("", "area_full", module, kAreaReadFresh, false);
    for (const auto& actor : area->GetActors())
        if (GetEncounterName(*actor) == "lone")
            area->RemoveActor(actor.get());
    for (const auto& object : area->GetObjects())
        if (object->GetInstanceName() == "new_barrel" || object->GetDefinitionName() == "campfire")
            continue;
        else if (!object->GetItems().empty())
            object->RemoveItem(object->GetItems().front().get());
    area->TileTracker().Mark(2, 1);
    area->TileTracker().Mark(7, 5);
    area->SetLastVisitTick(777);
    return area;
}

} // namespace

TEST(AreaSaved, CurrentAreaComesBackWholeAndWritesTheSameBlock)
{
    FixtureModule fixture;
    CGame game;
    const auto played = PlayedGlade(game, fixture.Module());
    const std::string block = BlockOf(*played);
    EXPECT_NE(block.find(" <patches>\n  glade_open\n </patches>\n"), std::string::npos);
    EXPECT_NE(block.find(" <doors>\n  7\n  2\n </doors>\n"), std::string::npos);
    EXPECT_NE(block.find(" <tiletracker>\n  13\n  0\n  0\n  1024\n"), std::string::npos) << block;

    const std::uint32_t next = game.GetNextThingNumber();
    const auto loaded = ReadBlock(game, block, "area_full", fixture.Module());
    EXPECT_EQ(loaded->GetName(), "area_full");
    EXPECT_EQ(loaded->GetLastVisitTick(), 777u);
    EXPECT_EQ(loaded->GetWidth(), 8u);
    EXPECT_EQ(loaded->GetHeight(), 6u);
    // The patch is laid again, not applied anew: its tiles and door, no
    // second barrel or ambush, and the removed chest stays removed.
    EXPECT_EQ(loaded->GetTile(3, 1)->GetMasterTile()->GetTemplate()->GetName(), "flagstone");
    EXPECT_TRUE(loaded->GetTile(7, 2)->GetDoor()->IsOpen());
    EXPECT_EQ(Doors(*loaded), Doors(*played));
    EXPECT_EQ(loaded->GetAppliedPatches(), std::list<std::string>{"glade_open"});
    EXPECT_EQ(Contents(*loaded), Contents(*played));
    EXPECT_EQ(loaded->GetTileTracker().GetWords(), played->GetTileTracker().GetWords());
    EXPECT_TRUE(loaded->GetTileTracker().IsMarked(7, 5));
    // Objects and items are made anew with ids from the game.
    EXPECT_GT(game.GetNextThingNumber(), next);
    for (const auto& object : loaded->GetObjects())
        EXPECT_GE(ThingNumberOf(object->Id()), next);

    // Read and written again and again, the block stays the same.
    auto again = ReadBlock(game, BlockOf(*loaded), "area_full", fixture.Module());
    EXPECT_EQ(BlockOf(*again), block);
    again = ReadBlock(game, BlockOf(*again), "area_full", fixture.Module());
    EXPECT_EQ(BlockOf(*again), block);
}

TEST(AreaSaved, OtherAreaKeepsItsStateButNoGrid)
{
    FixtureModule fixture;
    CGame game;
    const auto played = PlayedGlade(game, fixture.Module());
    const std::string block = BlockOf(*played);
    const auto other = ReadBlock(game, block, "town", fixture.Module());
    EXPECT_EQ(other->GetWidth(), 0u);
    EXPECT_EQ(other->GetHeight(), 0u);
    EXPECT_EQ(other->GetTile(7, 2), nullptr);
    EXPECT_EQ(other->GetTitle(), "Test Glade");
    EXPECT_EQ(other->GetSkies().size(), 2u);
    EXPECT_TRUE(other->GetEntries().empty());
    EXPECT_EQ(Doors(*other), Doors(*played));
    EXPECT_EQ(Contents(*other), Contents(*played));
    EXPECT_EQ(BlockOf(*other), block);

    // Entered later, its layout and the recorded door come back.
    other->Load("", fixture.Module());
    EXPECT_EQ(other->GetWidth(), 8u);
    EXPECT_TRUE(other->GetTile(7, 2)->GetDoor()->IsOpen());
    EXPECT_EQ(Contents(*other), Contents(*played));
}

TEST(AreaSaved, DoorsKeepTheirSavedOrderAndAreNeverDoubled)
{
    // The glade with a second door at (5, 4).
    FixtureModule fixture;
    std::string text = TestUtil::FileText(TestUtil::FixturePath("world", "area_full.vard"));
    const std::string row = "<row> (wall n) (grass n) (grass n) (grass n) (grass n) (grass n) "
                            "(grass n) (wall n) </row>";
    ASSERT_NE(text.rfind(row), std::string::npos);
    text.replace(text.rfind(row), row.size(),
                 "<row> (wall n) (grass n) (grass n) (grass n) (grass n) "
                 "<cell> (grass n) (door_wood n) </cell> (grass n) (wall n) </row>");
    fixture.Put("area_doors.vard", text);
    CGame game;
    SeedRandom(42);
    CArea area(&game);
    area.ReadFile("", "area_doors", fixture.Module(), kAreaReadFresh, false);
    // No open doors: the two tags stand side by side and read back empty.
    std::string block = BlockOf(area);
    EXPECT_NE(block.find(" <doors>\n </doors>\n"), std::string::npos);
    EXPECT_TRUE(ReadBlock(game, block, "area_doors", fixture.Module())->GetOpenDoors().empty());

    // A door opened in play before the patch opened its own: the patch,
    // laid again while the file is read, records its door first, yet the
    // saved order stands and no door is recorded twice.
    game.SetQuestTag("glade_tag", 1);
    area.ApplyTaggedPatches(fixture.Module(), kAreaReadFresh, false);
    area.AddOpenDoor(5, 4);
    ASSERT_EQ(Doors(area), (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{7, 2}, {5, 4}}));
    block = BlockOf(area);
    const std::string saved = " <doors>\n  7\n  2\n  5\n  4\n </doors>\n";
    ASSERT_NE(block.find(saved), std::string::npos);
    block.replace(block.find(saved), saved.size(), " <doors>\n  5\n  4\n  7\n  2\n </doors>\n");
    auto loaded = ReadBlock(game, block, "area_doors", fixture.Module());
    EXPECT_TRUE(loaded->GetTile(5, 4)->GetDoor()->IsOpen());
    EXPECT_TRUE(loaded->GetTile(7, 2)->GetDoor()->IsOpen());
    EXPECT_EQ(Doors(*loaded),
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{5, 4}, {7, 2}}));
    EXPECT_EQ(BlockOf(*loaded), block);
    loaded = ReadBlock(game, BlockOf(*loaded), "area_doors", fixture.Module());
    EXPECT_EQ(BlockOf(*loaded), block);

    // A recorded door that stands on no door cell is a broken save.
    area.AddOpenDoor(1, 1);
    EXPECT_EQ(CodeOf([&] { ReadBlock(game, BlockOf(area), "area_doors", fixture.Module()); }), 2);
    EXPECT_NO_THROW(ReadBlock(game, BlockOf(area), "town", fixture.Module()));
}

TEST(AreaSaved, TileTrackerIsBoundedByTheGridAndTheFile)
{
    FixtureModule fixture;
    CGame game;
    CArea area(&game);
    area.ReadFile("", "area_full", fixture.Module(), kAreaReadFresh, false);
    const std::string block = BlockOf(area);
    const std::string tracker = " <tiletracker>\n  13\n";
    ASSERT_NE(block.find(tracker), std::string::npos);
    const auto withTracker = [&](const std::string& words)
    {
        std::string text = block.substr(0, block.find(tracker));
        return text + "<tiletracker> " + words + " </tiletracker> </area>";
    };

    // Longer than the grid needs: taken as saved. Shorter: the grid's need.
    auto loaded = ReadBlock(game, withTracker("15 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15"),
                            "area_full", fixture.Module());
    EXPECT_EQ(loaded->GetTileTracker().GetWords().size(), 15u);
    EXPECT_EQ(loaded->GetTileTracker().GetWords().back(), 15u);
    loaded = ReadBlock(game, withTracker("2 4 8"), "area_full", fixture.Module());
    EXPECT_EQ(loaded->GetTileTracker().GetWords(),
              (std::vector<std::uint32_t>{4, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    loaded = ReadBlock(game, withTracker("1 9"), "town", fixture.Module());
    EXPECT_EQ(loaded->GetTileTracker().GetWords(), std::vector<std::uint32_t>{9});

    // A count no file or grid could hold fails before anything is sized.
    for (const std::string words : {"4000000000 1", "5000000 1 2", "40 1 2 3"})
        EXPECT_EQ(
            CodeOf([&] { ReadBlock(game, withTracker(words), "area_full", fixture.Module()); }), 1)
            << words;
}

TEST(AreaSaved, SavedTrapWithoutADefinitionTrapHasNoScript)
{
    FixtureModule fixture;
    CGame game;
    const std::string block = "<area> \"area_full\" 5 <patches> </patches> <doors> </doors>"
                              " <objects> <object> campfire 0 \"Campfire\" solid obj_campfire"
                              " false 1 1 1 16.25 11.25 north 0"
                              " <trap> 20 3 0 0 true 0 </trap> </object> </objects>"
                              " <actors> </actors> <tiletracker> 0 </tiletracker> </area>";
    const auto area = ReadBlock(game, block, "town", fixture.Module());
    ASSERT_EQ(area->GetObjects().size(), 1u);
    const auto& trap = area->GetObjects().front()->GetTrap();
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->GetScript(), nullptr);
    EXPECT_EQ(trap->GetDifficulty(), 20u);
}
