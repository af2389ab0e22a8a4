#include "monsters_test_util.h"
#include "record_test_util.h"

#include "world/ai.h"
#include "world/brain.h"

#include <gtest/gtest.h>

using namespace VARD;
using MonstersTest::FixtureText;
using MonstersTest::WrittenText;
using RecordTest::CodeOf;
using RecordTest::FixtureReader;
using RecordTest::ReaderOf;

namespace
{

std::shared_ptr<CBrain> BrainOf(const std::string& text)
{
    auto reader = ReaderOf(text);
    auto brain = CBrain::Read(reader);
    EXPECT_TRUE(reader.IsAtEnd()) << "the reader stopped before " << reader.GetCurrentWord();
    return brain;
}

std::string BrainText(const std::string& attitude, const std::string& rest)
{
    return "<brain> " + attitude + " " + rest + " </brain>";
}

const char* const kUsualRest =
    "false 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai>";

} // namespace

TEST(BrainRecord, ReadsEveryFieldInOrder)
{
    auto reader = FixtureReader("monsters_brain.vard");
    const auto brain = CBrain::Read(reader);
    EXPECT_EQ(brain->GetAttitude(), 3);
    EXPECT_TRUE(brain->IsProvokable());
    EXPECT_DOUBLE_EQ(brain->GetSightRange(), 60.5);
    EXPECT_EQ(brain->GetTriggerTags(), (std::vector<std::string>{"bandits", "camp_raid"}));
    EXPECT_EQ(brain->GetCallTags(), (std::vector<std::string>{"bandits"}));
    ASSERT_NE(dynamic_cast<CAICast*>(brain->GetCalmAI().get()), nullptr);
    ASSERT_NE(dynamic_cast<CAIAutocast*>(brain->GetRousedAI().get()), nullptr);
    EXPECT_FALSE(brain->IsEquipped());
    EXPECT_TRUE(brain->GetPendingAlerts().empty());
}

TEST(BrainRecord, AttitudeWordsGiveTheirSides)
{
    const char* const words[] = {"party", "friendly", "neutral", "hostile", "berserk"};
    for (int side = 0; side < 5; ++side)
        EXPECT_EQ(BrainOf(BrainText(words[side], kUsualRest))->GetAttitude(), side);
}

TEST(BrainRecord, UnknownAttitudeIsCode2)
{
    EXPECT_EQ(CodeOf([] { BrainOf(BrainText("angry", kUsualRest)); }), 2);
    EXPECT_EQ(CodeOf([] { BrainOf(BrainText("Hostile", kUsualRest)); }), 2);
}

TEST(BrainRecord, MalformedBlocksAreCode1)
{
    const char* const bad[] = {
        // provokable must be a bool
        "<brain> hostile yes 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai> "
        "</brain>",
        // sight range must be a number
        "<brain> hostile true far <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai> "
        "</brain>",
        // both tag lists are required
        "<brain> hostile true 0 <tags> </tags> <ai> stand </ai> <ai> charge </ai> </brain>",
        // both behaviours are required
        "<brain> hostile true 0 <tags> </tags> <tags> </tags> <ai> stand </ai> </brain>",
        // a behaviour keyword outside the table
        "<brain> hostile true 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> run </ai> "
        "</brain>",
        // nothing may follow the roused behaviour
        "<brain> hostile true 0 <tags> </tags> <tags> </tags> <ai> stand </ai> <ai> charge </ai> "
        "sneak </brain>",
        // a tag inside a tag list
        "<brain> hostile true 0 <tags> <ai> </tags> <tags> </tags> <ai> stand </ai> <ai> charge "
        "</ai> </brain>",
        // the block must be there
        "<monster>",
    };
    for (const char* text : bad)
        EXPECT_EQ(CodeOf([text] { BrainOf(text); }), 1) << text;
}

TEST(BrainRecord, CloneCopiesSettingsAndClonesBehaviours)
{
    auto reader = FixtureReader("monsters_brain.vard");
    const auto brain = CBrain::Read(reader);
    auto state = FixtureReader("monsters_brain_state.vard");
    brain->ReadState(state);
    ASSERT_TRUE(brain->IsEquipped());

    const auto clone = brain->Clone();
    EXPECT_NE(clone.get(), brain.get());
    EXPECT_EQ(clone->GetAttitude(), 3);
    EXPECT_TRUE(clone->IsProvokable());
    EXPECT_DOUBLE_EQ(clone->GetSightRange(), 60.5);
    EXPECT_EQ(clone->GetTriggerTags(), brain->GetTriggerTags());
    EXPECT_EQ(clone->GetCallTags(), brain->GetCallTags());
    EXPECT_FALSE(clone->IsEquipped());
    EXPECT_TRUE(clone->GetPendingAlerts().empty());

    EXPECT_NE(clone->GetCalmAI().get(), brain->GetCalmAI().get());
    EXPECT_NE(clone->GetRousedAI().get(), brain->GetRousedAI().get());
    const auto* calm = dynamic_cast<const CAICast*>(clone->GetCalmAI().get());
    ASSERT_NE(calm, nullptr);
    EXPECT_EQ(calm->GetPosition(), 0u);
    EXPECT_EQ(calm->GetSpellNames(), (std::vector<std::string>{"s_bless", "s_fire-bolt"}));
    const auto* roused = dynamic_cast<const CAIAutocast*>(clone->GetRousedAI().get());
    ASSERT_NE(roused, nullptr);
    EXPECT_EQ(roused->GetFlags(), 5u);
    EXPECT_EQ(roused->GetNextSummonTick(), 0u);
}

TEST(BrainRecord, StateRoundTripsByteForByte)
{
    auto reader = FixtureReader("monsters_brain.vard");
    const auto brain = CBrain::Read(reader);
    auto state = FixtureReader("monsters_brain_state.vard");
    brain->ReadState(state);
    EXPECT_TRUE(state.IsAtEnd());

    EXPECT_TRUE(brain->IsEquipped());
    const auto* calm = dynamic_cast<const CAICast*>(brain->GetCalmAI().get());
    ASSERT_NE(calm, nullptr);
    EXPECT_EQ(calm->GetPosition(), 2u);
    EXPECT_EQ(calm->GetLastCastTick(), 51000u);
    EXPECT_DOUBLE_EQ(dynamic_cast<const CAIWander&>(*calm->GetFallback()).GetHomeY(), -7.125);
    EXPECT_EQ(dynamic_cast<const CAIAutocast&>(*brain->GetRousedAI()).GetNextAidTick(), 1500u);

    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { brain->WriteState(w); }),
              FixtureText("monsters_brain_state.vard"));
}

TEST(BrainRecord, BehavioursWithoutStateLeaveOnlyTheFlag)
{
    const auto brain = BrainOf(BrainText("neutral", kUsualRest));
    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { brain->WriteState(w); }),
              "<brain>\n false\n</brain>\n");

    auto reader = ReaderOf("<brain> true </brain>");
    brain->ReadState(reader);
    EXPECT_TRUE(brain->IsEquipped());
    EXPECT_EQ(WrittenText([&](VARDCommon::CTagFileWriter& w) { brain->WriteState(w); }),
              "<brain>\n true\n</brain>\n");
}

TEST(BrainRecord, BadStateIsCode1)
{
    const auto brain = BrainOf(BrainText("neutral", kUsualRest));
    const char* const bad[] = {
        "<brain> yes </brain>",                               // the flag is a bool
        "<brain> true <ai-wander> 1 2 </ai-wander> </brain>", // stand writes nothing
        "<actor> true </actor>",                              // not a brain record
    };
    for (const char* text : bad)
    {
        auto reader = ReaderOf(text);
        EXPECT_EQ(CodeOf([&] { brain->ReadState(reader); }), 1) << text;
    }
}
