#include "record_test_util.h"
#include "test_util.h"

#include "common/tag_file.h"
#include "world/game.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/object.h"
#include "world/talk_state.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace VARD;
using RecordTest::FixturePath;
using RecordTest::FixtureReader;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;
using TestUtil::CodeOf;
using TestUtil::FileText;
using TestUtil::ReaderOf;
using TestUtil::WrittenText;

namespace
{

// The definitions and item templates of placed_module.vard.
std::shared_ptr<CModule> LoadPlacedModule()
{
    auto module = std::make_shared<CModule>();
    auto reader = FixtureReader("placed_module.vard");
    reader.ReadStartTag("objectdefs");
    while (reader.IsStartTag("object"))
    {
        auto definition = std::make_shared<CObjectTemplate>(reader);
        module->ObjectTemplates()[definition->GetName()] = definition;
    }
    reader.ReadEndTag();
    ReadItemsFile(reader, *module);
    EXPECT_TRUE(reader.IsAtEnd());
    return module;
}

const CObjectTemplate& Definition(const CModule& module, const std::string& name)
{
    const CObjectTemplate* definition = module.FindObjectTemplate(name);
    if (definition == nullptr)
        throw CVARDException(1, "fixture lacks " + name);
    return *definition;
}

std::vector<std::shared_ptr<CObject>> ReadObjects(VARDCommon::CTagFileReader& reader,
                                                  const CModule& module, CGame& game)
{
    std::vector<std::shared_ptr<CObject>> objects;
    reader.ReadStartTag("objects");
    while (reader.IsStartTag("object"))
    {
        auto object = std::make_shared<CObject>(nullptr, game.NewThingId(kThingKindObject));
        object->ReadSaved(reader, module, game);
        objects.push_back(object);
    }
    reader.ReadEndTag();
    return objects;
}

std::string WriteObjects(const std::vector<std::shared_ptr<CObject>>& objects)
{
    return WrittenText(
        [&](VARDCommon::CTagFileWriter& writer)
        {
            writer.WriteStartTag("objects");
            for (const auto& object : objects)
                object->Write(writer);
            writer.WriteEndTag();
        });
}

// One saved record of a plain crate, with a piece to put in place of the
// facing, the tile kind, a size or the tail of the record.
std::string CrateRecord(const std::string& tileKind, const std::string& sizeX,
                        const std::string& facing, const std::string& tail)
{
    return "<object> crate 0 \"Crate\" " + tileKind + " crate_a false " + sizeX + " 2 2 3.5 1 " +
           facing + " 0 " + tail + " </object>";
}

int ReadCode(const std::string& text, const CModule& module)
{
    CGame game;
    return CodeOf(
        [&]
        {
            auto reader = ReaderOf(text);
            CObject object(nullptr, MakeThingId(kThingKindObject, 1));
            object.ReadSaved(reader, module, game);
        });
}

} // namespace

// ---------------------------------------------------------------- placing

TEST(PlacedObject, FromDefinitionCopiesItsFields)
{
    const auto module = LoadPlacedModule();
    const CObjectTemplate& definition = Definition(*module, "statue_oracle");
    const CObject statue(nullptr, MakeThingId(kThingKindObject, 9), "oracle", definition);

    EXPECT_EQ(statue.Id(), MakeThingId(kThingKindObject, 9));
    EXPECT_EQ(statue.GetArea(), nullptr);
    EXPECT_EQ(statue.GetDefinitionName(), "statue_oracle");
    EXPECT_EQ(statue.GetInstanceName(), "oracle");
    EXPECT_EQ(statue.GetTalkName(), "Oracle");
    EXPECT_EQ(statue.GetTileKind(), 1);
    EXPECT_EQ(statue.GetGraphicName(), "statue_a");
    EXPECT_FALSE(statue.GetFlag());
    EXPECT_DOUBLE_EQ(statue.GetWidth(), 3.0);
    EXPECT_DOUBLE_EQ(statue.GetDepth(), 1.5);
    EXPECT_DOUBLE_EQ(statue.GetHeight(), 4.0);
    EXPECT_EQ(statue.GetTalkFiles(), definition.GetTalkStates());
    EXPECT_EQ(statue.GetTrap(), nullptr);
    EXPECT_EQ(statue.GetSoundName(), "oracle hum.wav");
    EXPECT_DOUBLE_EQ(statue.GetSoundRadius(), 7.5);
    // The placing area sets these.
    EXPECT_DOUBLE_EQ(statue.GetX(), 0.0);
    EXPECT_DOUBLE_EQ(statue.GetY(), 0.0);
    EXPECT_EQ(statue.GetFacing(), 0);
    EXPECT_EQ(statue.GetLockValue(), 0u);
    EXPECT_TRUE(statue.GetItems().empty());
    EXPECT_EQ(statue.GetExitText(), "");
    EXPECT_EQ(statue.GetGraphic(), nullptr);

    const CObject crate(nullptr, 1, "", Definition(*module, "crate"));
    EXPECT_EQ(crate.GetSoundName(), "");
    EXPECT_DOUBLE_EQ(crate.GetSoundRadius(), 0.0);
    EXPECT_TRUE(crate.GetTalkFiles().empty());
}

TEST(PlacedObject, EachObjectOwnsACopyOfTheTrap)
{
    auto reader = ReaderOf("<object> box \"Box\" box_a solid true 1 1 1"
                           " <trap> false 30 2 s_spark 1.5 </trap> </object>");
    CObjectTemplate definition(reader);
    // A definition's trap that has fired still gives armed copies.
    definition.GetTrap()->ScheduleRearm(900, false);
    ASSERT_EQ(definition.GetTrap()->GetRearmTick(), 945u);

    CObject first(nullptr, 1, "", definition);
    CObject second(nullptr, 2, "", definition);
    ASSERT_NE(first.GetTrap(), nullptr);
    ASSERT_NE(second.GetTrap(), nullptr);
    EXPECT_NE(first.GetTrap(), definition.GetTrap());
    EXPECT_NE(first.GetTrap(), second.GetTrap());
    const CTrap& trap = *first.GetTrap();
    EXPECT_EQ(trap.GetDifficulty(), 30u);
    EXPECT_EQ(trap.GetLevel(), 2);
    EXPECT_EQ(trap.GetSpellName(), "s_spark");
    EXPECT_DOUBLE_EQ(trap.GetRearmDelay(), 1.5);
    EXPECT_FALSE(trap.GetFlag());
    EXPECT_EQ(trap.GetRearmTick(), 0u);

    first.GetTrap()->ScheduleRearm(100, true);
    EXPECT_EQ(second.GetTrap()->GetRearmTick(), 0u);
}

TEST(PlacedObject, PileAndExitFlagsFromExactNames)
{
    const auto module = LoadPlacedModule();
    struct Case
    {
        const char* definition;
        bool pile;
        bool exit;
    };
    for (const Case& c :
         {Case{"pile", true, false}, Case{"exit", false, true}, Case{"pile_of_rocks", false, false},
          Case{"exits", false, false}, Case{"crate", false, false}})
    {
        const CObject object(nullptr, 1, "", Definition(*module, c.definition));
        EXPECT_EQ(object.IsPile(), c.pile) << c.definition;
        EXPECT_EQ(object.IsExit(), c.exit) << c.definition;
    }
}

TEST(PlacedObject, ReadingSetsTheFlagsAgainFromTheName)
{
    const auto module = LoadPlacedModule();
    CGame game;
    // "exits" is no exit: its record has no exit text before the instance name.
    auto reader = ReaderOf("<objects>"
                           " <object> exits sign_1 \"Signpost\" solid sign_a false"
                           "  0.5 0.5 2 1 1 north 0 </object>"
                           " <object> pile 0 \"Pile\" floor pile_a true 1 1 0.5 2 2 north 0"
                           "  <items> (i_gold 3 0) </items> </object>"
                           " <object> exit \"Out\" 0 \"Exit\" floor exit_marker false"
                           "  2.5 2.5 0 3 3 north 0 </object>"
                           " </objects>");
    const auto objects = ReadObjects(reader, *module, game);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_FALSE(objects[0]->IsExit());
    EXPECT_FALSE(objects[0]->IsPile());
    EXPECT_EQ(objects[0]->GetInstanceName(), "sign_1");
    EXPECT_EQ(objects[0]->GetExitText(), "");
    EXPECT_TRUE(objects[1]->IsPile());
    EXPECT_FALSE(objects[1]->IsExit());
    EXPECT_TRUE(objects[2]->IsExit());
    EXPECT_EQ(objects[2]->GetExitText(), "Out");
    EXPECT_EQ(objects[2]->GetInstanceName(), "");
}

// ---------------------------------------------------------------- record

TEST(PlacedObject, WritesTheSavedRecord)
{
    const auto module = LoadPlacedModule();
    CGame game;
    game.SetNextThingNumber(50);

    auto chest =
        std::make_shared<CObject>(nullptr, 1, "chest_left", Definition(*module, "chest_trapped"));
    chest->SetPosition(13.75, 6.25);
    chest->SetFacing(1);
    chest->SetLockValue(40);
    chest->AddItem(module->CreateItem("i_gold", 25, game.NewThingId(kThingKindItem), 0));
    chest->AddItem(module->CreateItem("i_torch", 1, game.NewThingId(kThingKindItem), 900));
    chest->GetTrap()->ScheduleRearm(4500, true);

    auto crate = std::make_shared<CObject>(nullptr, 2, "", Definition(*module, "crate"));
    crate->SetPosition(3.5, -1.25);
    crate->SetFacing(3);

    auto exit = std::make_shared<CObject>(nullptr, 3, "", Definition(*module, "exit"));
    exit->SetPosition(8.75, 1.25);
    exit->SetExitText("To the old mill");

    auto plate =
        std::make_shared<CObject>(nullptr, 4, "plate_1", Definition(*module, "plate_alarm"));
    plate->SetPosition(21.25, 33.75);
    plate->SetFacing(2);
    plate->SetLockValue(7);

    // The record keeps the talk name it is given, which may differ from the
    // definition's display text.
    auto statue =
        std::make_shared<CObject>(nullptr, 5, "oracle", Definition(*module, "statue_oracle"));
    auto renamed = ReaderOf("<object> statue_oracle oracle \"Old Oracle\" empty statue_a false"
                            " 3 1.5 4 10 10.5 east 0 </object>");
    statue->ReadSaved(renamed, *module, game);

    EXPECT_EQ(WriteObjects({chest, crate, exit, plate, statue}),
              FileText(FixturePath("placed_saved_objects.vard")));
}

TEST(PlacedObject, SavedRecordRoundTripsByteForByte)
{
    const auto module = LoadPlacedModule();
    CGame game;
    auto reader = FixtureReader("placed_saved_objects.vard");
    const auto objects = ReadObjects(reader, *module, game);
    EXPECT_TRUE(reader.IsAtEnd());
    ASSERT_EQ(objects.size(), 5u);
    EXPECT_EQ(WriteObjects(objects), FileText(FixturePath("placed_saved_objects.vard")));
}

TEST(PlacedObject, ReadingMakesItemsAndTrapAnew)
{
    const auto module = LoadPlacedModule();
    CGame game;
    auto reader = FixtureReader("placed_saved_objects.vard");
    const auto objects = ReadObjects(reader, *module, game);
    ASSERT_EQ(objects.size(), 5u);

    // The written record checks every field against the golden text; here
    // what the text does not show: ids, items made anew, the trap's copy.
    // Object ids 1 and 4 around the chest's two items, 2 and 3.
    const CObject& chest = *objects[0];
    EXPECT_EQ(chest.Id(), MakeThingId(kThingKindObject, 1));
    const auto items = chest.GetItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->Id(), MakeThingId(kThingKindItem, 2));
    EXPECT_EQ(items[0]->GetTemplate(), module->FindItemTemplate("i_gold"));
    EXPECT_EQ(items[0]->GetValue1(), 25u);
    EXPECT_EQ(items[0]->GetValue2(), 0u);
    EXPECT_EQ(items[1]->Id(), MakeThingId(kThingKindItem, 3));
    EXPECT_EQ(items[1]->GetTemplate(), module->FindItemTemplate("i_torch"));
    EXPECT_EQ(items[1]->GetValue1(), 1u);
    EXPECT_EQ(items[1]->GetValue2(), 900u);
    EXPECT_EQ(objects[1]->Id(), MakeThingId(kThingKindObject, 4));

    ASSERT_NE(chest.GetTrap(), nullptr);
    EXPECT_EQ(chest.GetTrap()->GetDifficulty(), 60u);
    EXPECT_EQ(chest.GetTrap()->GetSpellName(), "s_fire-bolt");
    EXPECT_FALSE(chest.GetTrap()->GetFlag());
    EXPECT_EQ(chest.GetTrap()->GetRearmTick(), 4515u);
    EXPECT_NE(chest.GetTrap(), Definition(*module, "chest_trapped").GetTrap());

    EXPECT_TRUE(objects[1]->GetItems().empty());
    EXPECT_EQ(objects[1]->GetTrap(), nullptr);
}

TEST(PlacedObject, ReadingTakesTalkTrapScriptAndSoundFromTheDefinition)
{
    const auto module = LoadPlacedModule();
    CGame game;
    auto reader = FixtureReader("placed_saved_objects.vard");
    const auto objects = ReadObjects(reader, *module, game);
    ASSERT_EQ(objects.size(), 5u);

    // The plate's saved trap has no script; the definition lends its own.
    const CObject& plate = *objects[3];
    ASSERT_NE(plate.GetTrap(), nullptr);
    EXPECT_EQ(plate.GetTrap()->GetScript(),
              Definition(*module, "plate_alarm").GetTrap()->GetScript());
    EXPECT_EQ(SourceOf(plate.GetTrap()->GetScript()),
              WrappedSource("vard_message( context, \"Click.\" ) "));
    EXPECT_EQ(objects[0]->GetTrap()->GetScript(), nullptr);

    const CObject& statue = *objects[4];
    const CObjectTemplate& oracle = Definition(*module, "statue_oracle");
    EXPECT_EQ(statue.GetTalkFiles(), oracle.GetTalkStates());
    EXPECT_EQ(statue.GetFirstTalkFile(), "greeting");
    EXPECT_EQ(statue.GetSoundName(), "oracle hum.wav");
    EXPECT_DOUBLE_EQ(statue.GetSoundRadius(), 7.5);
    // The talk name is the record's own.
    EXPECT_EQ(statue.GetTalkName(), "Old Oracle");

    EXPECT_TRUE(objects[1]->GetTalkFiles().empty());
    EXPECT_EQ(objects[1]->GetSoundName(), "");
}

TEST(PlacedObject, NoItemsBlockAndNoTrapRecordWhenThereAreNone)
{
    const auto module = LoadPlacedModule();
    CObject crate(nullptr, 1, "", Definition(*module, "crate"));
    const std::string text =
        WrittenText([&](VARDCommon::CTagFileWriter& writer) { crate.Write(writer); });
    EXPECT_EQ(text.find("<items>"), std::string::npos);
    EXPECT_EQ(text.find("<trap>"), std::string::npos);

    // An emptied container writes no block either.
    CGame game;
    auto item = module->CreateItem("i_gold", 1, game.NewThingId(kThingKindItem), 0);
    crate.AddItem(item);
    EXPECT_NE(WrittenText([&](VARDCommon::CTagFileWriter& writer) { crate.Write(writer); })
                  .find("<items>"),
              std::string::npos);
    crate.RemoveItem(item.get());
    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& writer) { crate.Write(writer); }), text);
}

TEST(PlacedObject, FacingNoneWritesZeroAndReadsBack)
{
    const auto module = LoadPlacedModule();
    CObject crate(nullptr, 1, "", Definition(*module, "crate"));
    crate.SetFacing(4);
    crate.SetPosition(1.5, 1.5);
    const std::string text =
        WrittenText([&](VARDCommon::CTagFileWriter& writer) { crate.Write(writer); });
    EXPECT_NE(text.find("\n 1.5\n 0\n 0\n</object>"), std::string::npos) << text;

    CGame game;
    auto reader = ReaderOf(text);
    CObject copy(nullptr, 2);
    copy.ReadSaved(reader, *module, game);
    EXPECT_EQ(copy.GetFacing(), 4);
    // Short direction words read as well.
    auto shortWord = ReaderOf(CrateRecord("solid", "2", "w", ""));
    copy.ReadSaved(shortWord, *module, game);
    EXPECT_EQ(copy.GetFacing(), 3);
}

TEST(PlacedObject, SetFacingOutsideTheDirectionsIsCode2)
{
    CObject object(nullptr, 1);
    EXPECT_EQ(CodeOf([&] { object.SetFacing(5); }), 2);
    EXPECT_EQ(CodeOf([&] { object.SetFacing(-1); }), 2);
    EXPECT_EQ(object.GetFacing(), 0);
}

TEST(PlacedObject, BadRecordsFailWithTheirCodes)
{
    const auto module = LoadPlacedModule();
    // A record as written reads.
    EXPECT_EQ(ReadCode(CrateRecord("solid", "2", "north", ""), *module), -1);
    struct Case
    {
        std::string text;
        int code;
    };
    const std::vector<Case> cases = {
        {CrateRecord("door", "2", "north", ""), 2},
        {CrateRecord("Solid", "2", "north", ""), 2},
        {CrateRecord("solid", "-2", "north", ""), 1},
        {CrateRecord("solid", "inf", "north", ""), 1},
        {CrateRecord("solid", "2", "up", ""), 1},
        {CrateRecord("solid", "2", "North", ""), 1},
        {CrateRecord("solid", "2", "north", "<items> (i_bread 1 0) </items>"), 1},
        {CrateRecord("solid", "2", "north", "<items> i_gold 1 0 </items>"), 1},
        {CrateRecord("solid", "2", "north", "<items> (i_gold 1) </items>"), 1},
        {CrateRecord("solid", "2", "north", "<trap> 1 1 0 0 true </trap>"), 1},
        {CrateRecord("solid", "2", "north", "<sound> \"x\" 1 </sound>"), 1},
        {"<object> barrel 0 \"Barrel\" solid barrel_a false 1 1 1 1 1 north 0 </object>", 1},
        {"<object> exit 0 \"Exit\" floor exit_marker false 2.5 2.5 0 3 3 north 0 </object>", 1},
        {"<object> crate 0 \"Crate\" solid crate_a false 2 2 2 nan 1 north 0 </object>", 1},
        {"<object> crate 0 \"Crate\" solid crate_a false 2 2 2 1 1 north 0", 1},
        {"<object> crate 0 Crate solid crate_a false 2 2 2 1 1 north 0 </object>", 1},
        {"<object> crate 0 \"Crate\" solid crate_a maybe 2 2 2 1 1 north 0 </object>", 1},
        {"<object> crate 0 \"Crate\" solid crate_a false 2 2 2 1 1 north x </object>", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCode(c.text, *module), c.code) << c.text;
}

// ---------------------------------------------------------------- footprint

TEST(PlacedObject, FacingEastOrWestSwapsTheSizes)
{
    const auto module = LoadPlacedModule();
    CObject chest(nullptr, 1, "", Definition(*module, "chest_trapped"));
    struct Case
    {
        int facing;
        double sizeX;
        double sizeY;
    };
    for (const Case& c : {Case{0, 2.0, 1.0}, Case{1, 1.0, 2.0}, Case{2, 2.0, 1.0},
                          Case{3, 1.0, 2.0}, Case{4, 2.0, 1.0}})
    {
        chest.SetFacing(c.facing);
        EXPECT_DOUBLE_EQ(chest.GetSizeX(), c.sizeX) << c.facing;
        EXPECT_DOUBLE_EQ(chest.GetSizeY(), c.sizeY) << c.facing;
    }
}

TEST(PlacedObject, DistanceToFootprint)
{
    const auto module = LoadPlacedModule();
    // 2 wide and 1 deep; turned east it spans x 9.5..10.5 and y 19..21.
    CObject chest(nullptr, 1, "", Definition(*module, "chest_trapped"));
    chest.SetPosition(10.0, 20.0);
    chest.SetFacing(1);
    struct Case
    {
        double x;
        double y;
        double distance;
    };
    for (const Case& c : {
             Case{10.0, 20.0, 0.0},  // centre
             Case{10.5, 20.0, 0.0},  // east edge
             Case{9.5, 19.0, 0.0},   // north-west corner
             Case{10.0, 21.0, 0.0},  // south edge
             Case{10.25, 19.0, 0.0}, // north edge
             Case{11.0, 20.0, 0.5},  // east of it
             Case{10.0, 18.0, 1.0},  // north of it, where unturned it would be 0.5
             Case{13.5, 25.0, 5.0},  // off the south-east corner by 3 and 4
             Case{6.5, 15.0, 5.0},   // off the north-west corner by 3 and 4
         })
        EXPECT_DOUBLE_EQ(chest.DistanceToFootprint(c.x, c.y), c.distance) << c.x << " " << c.y;

    chest.SetFacing(0);
    EXPECT_DOUBLE_EQ(chest.DistanceToFootprint(10.0, 18.0), 1.5);
    EXPECT_DOUBLE_EQ(chest.DistanceToFootprint(11.0, 20.0), 0.0);
}

// ---------------------------------------------------------------- items

TEST(PlacedObject, ItemsGoInAndComeOutByIdentity)
{
    const auto module = LoadPlacedModule();
    CGame game;
    CObject pile(nullptr, 1, "", Definition(*module, "pile"));
    auto gold = module->CreateItem("i_gold", 5, game.NewThingId(kThingKindItem), 0);
    auto torch = module->CreateItem("i_torch", 1, game.NewThingId(kThingKindItem), 0);
    // Same template and values, another item.
    auto otherGold = module->CreateItem("i_gold", 5, game.NewThingId(kThingKindItem), 0);
    pile.AddItem(gold);
    pile.AddItem(torch);

    auto copy = pile.GetItems();
    copy.clear();
    EXPECT_EQ(pile.GetItems().size(), 2u);

    EXPECT_EQ(CodeOf([&] { pile.RemoveItem(otherGold.get()); }), 2);
    EXPECT_EQ(CodeOf([&] { pile.RemoveItem(nullptr); }), 2);
    EXPECT_EQ(pile.GetItems().size(), 2u);

    EXPECT_EQ(pile.RemoveItem(gold.get()), gold);
    ASSERT_EQ(pile.GetItems().size(), 1u);
    EXPECT_EQ(pile.GetItems()[0], torch);
    EXPECT_EQ(CodeOf([&] { pile.RemoveItem(gold.get()); }), 2);
    EXPECT_EQ(CodeOf([&] { pile.AddItem(nullptr); }), 2);
}

// ---------------------------------------------------------------- talk

TEST(PlacedObject, TalksLikeAnyTalkTarget)
{
    const auto module = LoadPlacedModule();
    CObject statue(nullptr, 1, "oracle", Definition(*module, "statue_oracle"));
    CTalkTarget& target = statue;
    EXPECT_EQ(target.GetTalkName(), "Oracle");
    EXPECT_EQ(target.GetFirstTalkFile(), "greeting");
    ASSERT_EQ(target.GetTalkFiles().size(), 2u);
    EXPECT_EQ(FindTalkStateByName(target.GetTalkFiles(), "farewell"),
              target.GetTalkFiles()[1].get());

    auto first = std::make_shared<CTalkChoice>("Who are you?", "identity");
    auto second = std::make_shared<CTalkChoice>("Farewell.", "farewell");
    target.QueueTalk(first);
    target.QueueTalk(second);
    auto queue = target.GetTalkQueue();
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[0], first);
    EXPECT_EQ(queue[1], second);
    queue.clear();
    EXPECT_EQ(target.GetTalkQueue().size(), 2u);
    target.ClearTalkQueue();
    EXPECT_TRUE(target.GetTalkQueue().empty());

    const CObject crate(nullptr, 2, "", Definition(*module, "crate"));
    EXPECT_EQ(crate.GetFirstTalkFile(), "");
}
