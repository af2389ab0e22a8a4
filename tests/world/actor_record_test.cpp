#include "actor_test_util.h"

#include "world/brain.h"
#include "world/effect_params.h"

using namespace VARD;
using ActorTest::CodeOf;
using ActorTest::ReplaceOnce;

namespace
{

class ActorRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Module = ActorTest::LoadModule();
        m_Main = ActorTest::FileText(ActorTest::FixturePath("actor_main.vard"));
        m_Monster = ActorTest::FileText(ActorTest::FixturePath("actor_monster.vard"));
    }

    std::unique_ptr<CActor> Read(const std::string& text)
    {
        return ActorTest::ReadActor(text, *m_Module, m_Game);
    }

    int ReadCode(const std::string& text)
    {
        return CodeOf([&] { Read(text); });
    }

    std::shared_ptr<CModule> m_Module;
    CGame m_Game;
    std::string m_Main;
    std::string m_Monster;
};

} // namespace

TEST_F(ActorRecord, MainCharacterRoundTripIsByteForByte)
{
    const auto actor = Read(m_Main);
    EXPECT_EQ(ActorTest::WriteActor(*actor), m_Main);
}

TEST_F(ActorRecord, MonsterRoundTripIsByteForByte)
{
    const auto actor = Read(m_Monster);
    EXPECT_EQ(ActorTest::WriteActor(*actor), m_Monster);
}

TEST_F(ActorRecord, MainCharacterFieldsAreRead)
{
    const auto actor = Read(m_Main);
    EXPECT_EQ(actor->Id(), 0x03000001u);
    EXPECT_DOUBLE_EQ(actor->GetX(), 12.5);
    EXPECT_DOUBLE_EQ(actor->GetY(), 7.25);
    EXPECT_EQ(actor->GetName(), "Aldric");
    ASSERT_NE(actor->GetColors(), nullptr);
    EXPECT_EQ(actor->GetColors()->GetTrim(), 0x0000FFu);
    EXPECT_EQ(actor->GetFigureColor(), 0xFFFFFFu);
    EXPECT_TRUE(actor->IsMainCharacter());
    EXPECT_EQ(actor->GetAttitude(), kAttitudeParty);
    EXPECT_EQ(actor->GetClass(), 0u);
    EXPECT_EQ(actor->GetCreatureKind(), 5u);
    EXPECT_EQ(actor->GetFaction(), m_Module->FindFaction("f_guard"));
    EXPECT_EQ(actor->GetFactionRank(), 1u);
    EXPECT_EQ(actor->GetBaseAttribute(4), 9u);
    EXPECT_EQ(actor->GetSaveBase(2), -1);
    EXPECT_EQ(actor->GetLastDamageSource(), 50331650u);
    EXPECT_EQ(actor->GetEnergySpent(), 2);
    EXPECT_EQ(actor->GetActivityState(), kActivityIdle);
    // The main character has no brain and keeps no talk.
    EXPECT_EQ(actor->GetBrain(), nullptr);
    EXPECT_TRUE(actor->GetTalkFiles().empty());
    EXPECT_EQ(actor->GetFirstTalkFile(), "");
}

TEST_F(ActorRecord, RunningPowerFindsItsModifierAgain)
{
    const auto actor = Read(m_Main);
    ASSERT_NE(actor->GetPower(), nullptr);
    EXPECT_EQ(actor->GetPower()->GetKey(), "pw_rage");
    EXPECT_EQ(actor->GetPowerEndTick(), 600u);
    const auto link = actor->GetPowerModifier();
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link, actor->GetModifiers()[1]);
    actor->StopPower();
    ASSERT_EQ(actor->GetModifiers().size(), 1u);
    EXPECT_EQ(actor->GetModifiers()[0]->GetName(), "Bless");
}

TEST_F(ActorRecord, ItemsGetNewItemIdsAndKeepTheirValuesAndOrder)
{
    const auto actor = Read(m_Main);
    ASSERT_NE(actor->GetEquipmentSlot(kSlotMainHand), nullptr);
    EXPECT_EQ(actor->GetEquipmentSlot(kSlotMainHand)->GetTemplate()->GetName(), "i_sword");
    EXPECT_EQ(actor->GetEquipmentSlot(kSlotOffHand), nullptr);
    const auto& ring = actor->GetEquipmentSlot(kSlotRing1);
    ASSERT_NE(ring, nullptr);
    EXPECT_EQ(ring->GetValue2(), 7u);
    EXPECT_EQ(ThingKindOf(ring->Id()), kThingKindItem);
    const auto backpack = actor->GetBackpackItems();
    ASSERT_EQ(backpack.size(), 2u);
    EXPECT_EQ(backpack[0]->GetTemplate()->GetName(), "i_bread");
    EXPECT_EQ(backpack[0]->GetValue1(), 3u);
    EXPECT_EQ(backpack[1]->GetTemplate()->GetName(), "i_gold");
    EXPECT_NE(backpack[0]->Id(), backpack[1]->Id());
}

TEST_F(ActorRecord, MonsterTakesTalkAndBrainFromItsTemplate)
{
    const auto actor = Read(m_Monster);
    EXPECT_EQ(actor->Id(), 0x03FFFFFFu);
    EXPECT_EQ(actor->GetColors(), nullptr);
    EXPECT_EQ(actor->GetFurtherWord(0), "");
    EXPECT_EQ(actor->GetFurtherWord(1), "camp");
    EXPECT_EQ(actor->GetFigureString(), "scar");
    ASSERT_EQ(actor->GetTalkFiles().size(), 2u);
    EXPECT_EQ(actor->GetFirstTalkFile(), "greet");
    ASSERT_NE(actor->GetBrain(), nullptr);
    EXPECT_TRUE(actor->GetBrain()->IsEquipped());
    // A clone of its own, not the template's brain.
    EXPECT_NE(actor->GetBrain().get(), m_Module->FindActorTemplate("m_bandit")->GetBrain());
    ASSERT_EQ(actor->GetAttacks().size(), 2u);
    EXPECT_EQ(actor->GetAttacks()[1]->GetSpellName(), "sp_bolt");
    EXPECT_TRUE(actor->HasSkill(kSkillNone));
    EXPECT_TRUE(actor->HasStatus(kStatusConfused));
    EXPECT_EQ(actor->GetUnsummonedFlag(), 1u);
    EXPECT_EQ(actor->GetEngagementTargetId(), 50331649u);
    EXPECT_EQ(actor->GetBuyTable()[0], 1);
    EXPECT_EQ(actor->GetBuyTable()[5], 1);
    EXPECT_EQ(actor->GetBuyTable()[1], 0);
    EXPECT_EQ(actor->GetPower(), nullptr);
}

TEST_F(ActorRecord, NumberKeepsItsLowBitsAndActorKind)
{
    CActor actor(MakeThingId(kThingKindActor, 77));
    actor.SetTemplateName("main");
    actor.SetName("Plain");
    const std::string text = ActorTest::WriteActor(actor);
    EXPECT_EQ(text.substr(0, 12), "<actor>\n 77\n");
    const auto back = Read(text);
    EXPECT_EQ(back->Id(), 0x0300004Du);
    EXPECT_EQ(ActorTest::WriteActor(*back), text);
}

TEST_F(ActorRecord, UnknownFactionOrPowerIsDroppedNotAnError)
{
    std::string text = ReplaceOnce(m_Main, " (f_guard\n", " (f_gone\n");
    text = ReplaceOnce(text, "  pw_rage\n", "  pw_gone\n");
    const auto actor = Read(text);
    EXPECT_EQ(actor->GetFaction(), nullptr);
    EXPECT_EQ(actor->GetFactionRank(), 1u);
    EXPECT_EQ(actor->GetPower(), nullptr);
    EXPECT_EQ(actor->GetPowerModifier(), nullptr);
    EXPECT_EQ(actor->GetModifiers().size(), 2u);
}

TEST_F(ActorRecord, NumberAbove24BitsIsCode2)
{
    EXPECT_EQ(ReadCode(ReplaceOnce(m_Monster, " 16777215\n", " 16777216\n")), 2);
}

TEST_F(ActorRecord, KeywordsOutsideTheirTablesGiveTheirCodes)
{
    struct Case
    {
        const char* from;
        const char* to;
        int code;
    };
    const Case cases[] = {
        {" party\n", " angry\n", 2},
        {" fighter\n", " wizard\n", 2},
        {" male\n", " other\n", 1},
        {" human\n", " goblin\n", 2},
        {"   power\n   15\n", "   luck\n   15\n", 2},
        {"   false\n", "   no\n", 1},
        {" (i_mail\n", " (i_nothing\n", 1},
        {"  (i_gold\n", "  (i_none\n", 1},
        {"   0\n   450\n", "   6\n   450\n", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCode(ReplaceOnce(m_Main, c.from, c.to)), c.code) << c.to;
}

TEST_F(ActorRecord, UnknownTemplateOfAMonsterIsCode1)
{
    EXPECT_EQ(ReadCode(ReplaceOnce(m_Monster, " m_bandit\n", " m_nobody\n")), 1);
}

TEST_F(ActorRecord, ActivityStateAbove5IsCode2)
{
    EXPECT_EQ(ReadCode(ReplaceOnce(m_Monster, " 4\n 120\n", " 6\n 120\n")), 2);
}

TEST_F(ActorRecord, RepeatedStatusKindIsCode1)
{
    EXPECT_EQ(ReadCode(ReplaceOnce(m_Monster, "   3\n   700\n", "   2\n   700\n")), 1);
}

TEST_F(ActorRecord, BrainStateForATemplateWithoutBrainIsCode1)
{
    std::string text = ReplaceOnce(m_Monster, " m_bandit\n", " m_rat\n");
    EXPECT_EQ(ReadCode(text), 1);
    // Without the brain block the rat reads, with no brain at all.
    text = ReplaceOnce(
        text, " <brain>\n  true\n  <ai-wander>\n   5\n   6.5\n  </ai-wander>\n </brain>\n", "");
    const auto actor = Read(text);
    EXPECT_EQ(actor->GetBrain(), nullptr);
    EXPECT_TRUE(actor->GetTalkFiles().empty());
}

TEST_F(ActorRecord, MissingBrainStateOfATemplateWithBrainIsCode1)
{
    const std::string text = ReplaceOnce(
        m_Monster, " <brain>\n  true\n  <ai-wander>\n   5\n   6.5\n  </ai-wander>\n </brain>\n",
        "");
    EXPECT_EQ(ReadCode(text), 1);
}

TEST_F(ActorRecord, TruncatedRecordIsCode1)
{
    EXPECT_EQ(ReadCode(m_Main.substr(0, m_Main.find(" <backpack>"))), 1);
}

TEST_F(ActorRecord, QuoteInsideANameComesBackAsItIs)
{
    auto actor = Read(m_Main);
    actor->SetName("Old \"Grim\" Tom");
    const std::string text = ActorTest::WriteActor(*actor);
    EXPECT_NE(text.find(" \"\"Old \\\"Grim\\\" Tom\"\n"), std::string::npos);
    EXPECT_EQ(Read(text)->GetName(), "Old \"Grim\" Tom");
}
