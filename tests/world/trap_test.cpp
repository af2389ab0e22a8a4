#include "record_test_util.h"

#include "common/tag_file.h"
#include "world/script_record.h"
#include "world/trap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

using namespace VARD;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;
using RecordTest::SourceOf;
using RecordTest::WrappedSource;
using TestUtil::FileText;

namespace
{

std::shared_ptr<CTrap> DefinitionOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    auto trap = std::make_shared<CTrap>();
    trap->ReadDefinition(reader);
    EXPECT_TRUE(reader.IsAtEnd()) << text;
    return trap;
}

} // namespace

TEST(Trap, NewTrapIsHiddenAndArmed)
{
    const CTrap trap;
    EXPECT_EQ(trap.GetDifficulty(), 0u);
    EXPECT_EQ(trap.GetLevel(), 0);
    EXPECT_EQ(trap.GetSpellName(), "");
    EXPECT_EQ(trap.GetScript(), nullptr);
    EXPECT_DOUBLE_EQ(trap.GetRearmDelay(), 0.0);
    EXPECT_TRUE(trap.GetFlag());
    EXPECT_EQ(trap.GetRearmTick(), 0u);
    EXPECT_TRUE(trap.IsArmed(0));
}

TEST(Trap, FixtureHoldsBothForms)
{
    auto reader = FixtureReader("traps.vard");
    reader.ReadStartTag("traps");

    CTrap noSpell;
    noSpell.ReadDefinition(reader);
    // "0" is the spell name, not a null pair in front of a script.
    EXPECT_EQ(noSpell.GetSpellName(), "");
    EXPECT_EQ(noSpell.GetScript(), nullptr);
    EXPECT_EQ(noSpell.GetDifficulty(), 25u);
    EXPECT_EQ(noSpell.GetLevel(), 3);
    EXPECT_DOUBLE_EQ(noSpell.GetRearmDelay(), 2.0);

    CTrap bolt;
    bolt.ReadDefinition(reader);
    EXPECT_TRUE(bolt.GetFlag());
    EXPECT_EQ(bolt.GetDifficulty(), 70u);
    EXPECT_EQ(bolt.GetLevel(), 9);
    EXPECT_EQ(bolt.GetSpellName(), "s_lightning");
    EXPECT_DOUBLE_EQ(bolt.GetRearmDelay(), 1.75);

    CTrap saved;
    saved.ReadSaved(reader, &bolt);
    EXPECT_EQ(saved.GetDifficulty(), 70u);
    EXPECT_EQ(saved.GetLevel(), 9);
    EXPECT_EQ(saved.GetSpellName(), "s_lightning");
    EXPECT_DOUBLE_EQ(saved.GetRearmDelay(), 1.75);
    EXPECT_FALSE(saved.GetFlag());
    EXPECT_EQ(saved.GetRearmTick(), 4500u);

    reader.ReadEndTag();
    EXPECT_TRUE(reader.IsAtEnd());
}

TEST(Trap, DefinitionWithScriptHasNoSpell)
{
    const auto trap = DefinitionOf("<trap> true 10 2 <lua> vard_rest( context ) </lua> 3 </trap>");
    EXPECT_EQ(trap->GetSpellName(), "");
    EXPECT_EQ(SourceOf(trap->GetScript()), WrappedSource("vard_rest( context ) "));
    EXPECT_DOUBLE_EQ(trap->GetRearmDelay(), 3.0);

    const auto paired = DefinitionOf("<trap> true 10 2 (a b) <lua> x </lua> 3 </trap>");
    EXPECT_EQ(SourceOf(paired->GetScript()), WrappedSource("x "));
}

TEST(Trap, MalformedDefinitionsAreCode1)
{
    for (const char* text : {
             "<trap> 10 2 s_bolt 1 </trap>",                     // flag missing
             "<trap> true 10 2 <lua> x </lua> s_bolt 1 </trap>", // script and spell
             "<trap> true 10 2 s_bolt </trap>",                  // delay missing
             "<trap> true 10 2 s_bolt -1 </trap>",               // negative delay
             "<trap> true 10 2 s_bolt inf </trap>",
             "<trap> true 10 2 s_bolt 1 extra </trap>",
             "<trap> true ten 2 s_bolt 1 </trap>",
         })
    {
        auto reader = ReaderOf(text);
        CTrap trap;
        EXPECT_EQ(CodeOf([&] { trap.ReadDefinition(reader); }), 1) << text;
    }
}

TEST(Trap, SavedRecordTakesTheScriptOfItsDefinition)
{
    const auto definition =
        DefinitionOf("<trap> true 10 2 <lua> vard_rest( context ) </lua> 3 </trap>");
    auto reader = ReaderOf("<trap> 10 2 s_bolt 3 true 90 </trap>");
    CTrap saved;
    saved.ReadSaved(reader, definition.get());
    // The saved trap keeps both the spell name and its definition's script.
    EXPECT_EQ(saved.GetSpellName(), "s_bolt");
    EXPECT_EQ(saved.GetScript(), definition->GetScript());
    EXPECT_EQ(saved.GetRearmTick(), 90u);

    auto orphan = ReaderOf("<trap> 10 2 0 3 true 90 </trap>");
    CTrap alone;
    alone.ReadSaved(orphan, nullptr);
    EXPECT_EQ(alone.GetScript(), nullptr);
    EXPECT_EQ(alone.GetSpellName(), "");
}

TEST(Trap, MalformedSavedRecordsAreCode1)
{
    for (const char* text : {"<trap> 10 2 s 3 true </trap>", "<trap> 10 2 s 3 yes 0 </trap>",
                             "<trap> 10 2 s -3 true 0 </trap>", "<trap> 10 2 s 3 true 0"})
    {
        auto reader = ReaderOf(text);
        CTrap trap;
        EXPECT_EQ(CodeOf([&] { trap.ReadSaved(reader, nullptr); }), 1) << text;
    }
}

TEST(Trap, WritesTheSavedRecord)
{
    CTrap trap;
    trap.SetDifficulty(70);
    trap.SetLevel(-2);
    trap.SetSpellName("s_lightning");
    trap.SetRearmDelay(1.75);
    trap.SetFlag(false);
    trap.SetRearmTick(4500);
    const auto path = TestUtil::ScratchPath("trap");
    {
        VARDCommon::CTagFileWriter writer(path);
        trap.Write(writer);
        writer.Close();
    }
    EXPECT_EQ(FileText(path), "<trap>\n 70\n -2\n s_lightning\n 1.75\n false\n 4500\n</trap>\n");

    VARDCommon::CTagFileReader reader(path);
    CTrap back;
    back.ReadSaved(reader, nullptr);
    EXPECT_EQ(back.GetDifficulty(), 70u);
    EXPECT_EQ(back.GetLevel(), -2);
    EXPECT_EQ(back.GetSpellName(), "s_lightning");
    EXPECT_DOUBLE_EQ(back.GetRearmDelay(), 1.75);
    EXPECT_FALSE(back.GetFlag());
    EXPECT_EQ(back.GetRearmTick(), 4500u);
    std::filesystem::remove(path);
}

TEST(Trap, EmptySpellNameIsWrittenAsZero)
{
    const CTrap trap;
    const auto path = TestUtil::ScratchPath("trap");
    {
        VARDCommon::CTagFileWriter writer(path);
        trap.Write(writer);
        writer.Close();
    }
    EXPECT_EQ(FileText(path), "<trap>\n 0\n 0\n 0\n 0\n true\n 0\n</trap>\n");
    std::filesystem::remove(path);
}

TEST(Trap, CopySharesTheScriptAndStartsArmed)
{
    auto original = DefinitionOf("<trap> false 33 5 <lua> vard_rest( context ) </lua> 0.5 </trap>");
    original->SetSpellName("s_spark");
    original->SetRearmTick(999);
    const auto copy = original->Copy();
    ASSERT_NE(copy, original);
    EXPECT_EQ(copy->GetDifficulty(), 33u);
    EXPECT_EQ(copy->GetLevel(), 5);
    EXPECT_EQ(copy->GetSpellName(), "s_spark");
    EXPECT_EQ(copy->GetScript(), original->GetScript());
    EXPECT_DOUBLE_EQ(copy->GetRearmDelay(), 0.5);
    EXPECT_FALSE(copy->GetFlag());
    EXPECT_EQ(copy->GetRearmTick(), 0u);

    // The copy is a trap of its own.
    copy->ScheduleRearm(100, true);
    EXPECT_EQ(original->GetRearmTick(), 999u);
}

TEST(Trap, ScheduleRearmTruncatesTheDelayInTicks)
{
    struct Case
    {
        double delay;
        std::uint32_t now;
        std::uint32_t expected;
    };
    for (const Case& c : {Case{0.5, 100, 115}, Case{1.75, 0, 52}, Case{0.05, 10, 11},
                          Case{2.0, 4000, 4060}, Case{0.01, 7, 7}})
    {
        CTrap trap;
        trap.SetRearmDelay(c.delay);
        EXPECT_TRUE(trap.ScheduleRearm(c.now, false)) << c.delay;
        EXPECT_EQ(trap.GetRearmTick(), c.expected) << c.delay;
        EXPECT_TRUE(trap.GetFlag()) << c.delay;
        if (c.expected > c.now)
        {
            EXPECT_FALSE(trap.IsArmed(c.expected - 1)) << c.delay;
        }
        EXPECT_TRUE(trap.IsArmed(c.expected)) << c.delay;
    }
}

TEST(Trap, ScheduleRearmWithoutDelayRemovesButStillClearsTheFlag)
{
    CTrap trap;
    EXPECT_FALSE(trap.ScheduleRearm(50, true));
    EXPECT_FALSE(trap.GetFlag());
    EXPECT_EQ(trap.GetRearmTick(), 0u);

    CTrap kept;
    EXPECT_FALSE(kept.ScheduleRearm(50, false));
    EXPECT_TRUE(kept.GetFlag());
}

TEST(Trap, RearmPastTheTickCounterNeverArmsAgain)
{
    CTrap trap;
    trap.SetRearmDelay(1e12);
    EXPECT_TRUE(trap.ScheduleRearm(100, false));
    EXPECT_EQ(trap.GetRearmTick(), std::numeric_limits<std::uint32_t>::max());

    CTrap late;
    late.SetRearmDelay(1.0);
    EXPECT_TRUE(late.ScheduleRearm(std::numeric_limits<std::uint32_t>::max() - 10, false));
    EXPECT_EQ(late.GetRearmTick(), std::numeric_limits<std::uint32_t>::max());
}

TEST(Trap, NegativeOrNonFiniteDelayIsCode1)
{
    CTrap trap;
    EXPECT_EQ(CodeOf([&] { trap.SetRearmDelay(-0.5); }), 1);
    EXPECT_EQ(CodeOf([&] { trap.SetRearmDelay(std::numeric_limits<double>::quiet_NaN()); }), 1);
    EXPECT_DOUBLE_EQ(trap.GetRearmDelay(), 0.0);
}
