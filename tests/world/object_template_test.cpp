#include "record_test_util.h"

#include "world/object.h"
#include "world/script_record.h"
#include "world/talk_state.h"
#include "world/trap.h"

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

std::map<std::string, std::shared_ptr<CObjectTemplate>> ReadObjectFixture()
{
    return RecordTest::ReadFixtureRecords<CObjectTemplate>("objectdefs.vard", "objectdefs", "object");
}

} // namespace

TEST(ObjectTemplate, PlainDefinition)
{
    const auto objects = ReadObjectFixture();
    ASSERT_EQ(objects.size(), 8u);
    const CObjectTemplate& barrel = *objects.at("barrel");
    EXPECT_EQ(barrel.GetText(), "Barrel");
    EXPECT_EQ(barrel.GetGraphicName(), "barrel_a");
    EXPECT_EQ(barrel.GetTileKind(), 2);
    EXPECT_FALSE(barrel.GetFlag());
    EXPECT_DOUBLE_EQ(barrel.GetSizeX(), 1.5);
    EXPECT_DOUBLE_EQ(barrel.GetSizeY(), 1.5);
    EXPECT_DOUBLE_EQ(barrel.GetSizeZ(), 2.0);
    EXPECT_TRUE(barrel.GetTalkStates().empty());
    EXPECT_EQ(barrel.GetTrap(), nullptr);
    EXPECT_FALSE(barrel.HasSound());
    EXPECT_EQ(barrel.GetSoundName(), "");
    EXPECT_DOUBLE_EQ(barrel.GetSoundRadius(), 0.0);
}

TEST(ObjectTemplate, TrappedContainer)
{
    const auto objects = ReadObjectFixture();
    const CObjectTemplate& chest = *objects.at("chest_trapped");
    EXPECT_EQ(chest.GetText(), "Iron chest");
    EXPECT_TRUE(chest.GetFlag());
    EXPECT_DOUBLE_EQ(chest.GetSizeX(), 2.0);
    EXPECT_DOUBLE_EQ(chest.GetSizeY(), 1.0);
    EXPECT_DOUBLE_EQ(chest.GetSizeZ(), 1.25);
    ASSERT_NE(chest.GetTrap(), nullptr);
    const CTrap& trap = *chest.GetTrap();
    EXPECT_TRUE(trap.GetFlag());
    EXPECT_EQ(trap.GetDifficulty(), 60u);
    EXPECT_EQ(trap.GetLevel(), 4);
    EXPECT_EQ(trap.GetSpellName(), "s_fire-bolt");
    EXPECT_EQ(trap.GetScript(), nullptr);
    EXPECT_DOUBLE_EQ(trap.GetRearmDelay(), 0.5);
    EXPECT_EQ(trap.GetRearmTick(), 0u);
}

TEST(ObjectTemplate, TalkingObject)
{
    const auto objects = ReadObjectFixture();
    const CObjectTemplate& oracle = *objects.at("statue_oracle");
    EXPECT_EQ(oracle.GetTileKind(), 1);
    const TalkStateList& states = oracle.GetTalkStates();
    ASSERT_EQ(states.size(), 3u);
    EXPECT_EQ(states[0]->GetName(), "greeting");
    EXPECT_EQ(states[1]->GetName(), "identity");
    EXPECT_EQ(states[2]->GetName(), "farewell");
    EXPECT_EQ(
        SourceOf(states[0]->GetScript()),
        WrappedSource("vard_talk( context, \"Ask, traveller.\" ) vard_add_talk_path( context, "
                      "\"Who are you?\", \"identity\" ) vard_add_talk_path( context, "
                      "\"Farewell.\", \"farewell\" ) "));
    EXPECT_EQ(FindTalkStateByName(states, "farewell"), states[2].get());
    EXPECT_EQ(oracle.GetTrap(), nullptr);
}

TEST(ObjectTemplate, TrapWithScriptAndNoSpell)
{
    const auto objects = ReadObjectFixture();
    const CObjectTemplate& plate = *objects.at("plate_alarm");
    EXPECT_EQ(plate.GetGraphicName(), "");
    EXPECT_EQ(plate.GetTileKind(), 0);
    ASSERT_NE(plate.GetTrap(), nullptr);
    const CTrap& trap = *plate.GetTrap();
    EXPECT_FALSE(trap.GetFlag());
    EXPECT_EQ(trap.GetDifficulty(), 0u);
    EXPECT_EQ(trap.GetLevel(), 1);
    EXPECT_EQ(trap.GetSpellName(), "");
    EXPECT_EQ(SourceOf(trap.GetScript()), WrappedSource("vard_message( context, \"Click.\" ) "));
    EXPECT_DOUBLE_EQ(trap.GetRearmDelay(), 0.0);
}

TEST(ObjectTemplate, SoundBlock)
{
    const auto objects = ReadObjectFixture();
    const CObjectTemplate& fountain = *objects.at("fountain");
    EXPECT_TRUE(fountain.HasSound());
    EXPECT_EQ(fountain.GetSoundName(), "water loop.wav");
    EXPECT_DOUBLE_EQ(fountain.GetSoundRadius(), 12.5);
}

TEST(ObjectTemplate, PileAndExitByExactName)
{
    const auto objects = ReadObjectFixture();
    EXPECT_TRUE(objects.at("pile")->IsPile());
    EXPECT_FALSE(objects.at("pile")->IsExit());
    EXPECT_TRUE(objects.at("exit")->IsExit());
    EXPECT_FALSE(objects.at("exit")->IsPile());
    EXPECT_FALSE(objects.at("exit_sign")->IsExit());
    EXPECT_FALSE(objects.at("barrel")->IsPile());
    EXPECT_FALSE(CObjectTemplate::IsPileName("Pile"));
    EXPECT_FALSE(CObjectTemplate::IsExitName("exits"));
}

TEST(ObjectTemplate, TileKindOutsideTheThreeIsCode2)
{
    for (const char* kind : {"door", "wall", "Solid", "0"})
    {
        auto reader =
            ReaderOf(std::string("<object> o \"O\" g ") + kind + " false 1 1 1 </object>");
        EXPECT_EQ(CodeOf([&] { CObjectTemplate object(reader); }), 2) << kind;
    }
}

TEST(ObjectTemplate, MalformedBlocksAreCode1)
{
    for (const char* text : {
             "<object> o O g solid false 1 1 1 </object>",      // text not quoted
             "<object> o \"O\" g solid yes 1 1 1 </object>",    // flag not a bool
             "<object> o \"O\" g solid false 1 1 </object>",    // a size missing
             "<object> o \"O\" g solid false 1 -1 1 </object>", // negative size
             "<object> o \"O\" g solid false 1 1 nan </object>",
             "<object> o \"O\" g solid false 1 1 1 <trap> true 1 1 0 1 </trap>"
             " <talk> </talk> </object>", // blocks out of order
             "<object> o \"O\" g solid false 1 1 1 <sound> water 3 </sound> </object>",
             "<object> o \"O\" g solid false 1 1 1 <sound> \"w\" -3 </sound> </object>",
             "<object> o \"O\" g solid false 1 1 1 <talk> <state> s </state> </talk> </object>",
             "<object> o \"O\" g solid false 1 1 1 <items> </items> </object>",
             "<object> o \"O\" g solid false 1 1 1",
         })
    {
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { CObjectTemplate object(reader); }), 1) << text;
    }
}
