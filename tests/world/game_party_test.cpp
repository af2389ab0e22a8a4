#include "actor_test_util.h"

#include "common/random.h"
#include "world/event.h"

using namespace VARD;
using ActorTest::CodeOf;

namespace
{

class GameParty : public ::testing::Test
{
protected:
    std::shared_ptr<CModule> m_Module = ActorTest::LoadModule();
    CGame m_Game;

    std::shared_ptr<CActor> Join(const std::string& name, bool summoned = false)
    {
        auto actor = ActorTest::MakeFighter(m_Game, name);
        if (summoned)
            actor->SetSummonExpiryTick(9000);
        m_Game.AddPartyMember(actor);
        return actor;
    }
};

} // namespace

TEST_F(GameParty, FourRealMembersOrSixEntriesFillTheParty)
{
    Join("A");
    Join("B");
    Join("C");
    EXPECT_FALSE(m_Game.IsPartyFull());
    Join("Wolf", true);
    Join("Bear", true);
    EXPECT_FALSE(m_Game.IsPartyFull());
    Join("Hawk", true);
    EXPECT_TRUE(m_Game.IsPartyFull());

    CGame other;
    for (const char* name : {"A", "B", "C", "D"})
        other.AddPartyMember(ActorTest::MakeFighter(other, name));
    EXPECT_TRUE(other.IsPartyFull());
}

TEST_F(GameParty, WipedOutWhenNoRealMemberLives)
{
    EXPECT_TRUE(m_Game.IsPartyWipedOut());
    const auto a = Join("A");
    Join("Wolf", true);
    EXPECT_FALSE(m_Game.IsPartyWipedOut());
    a->SetActivityState(kActivityDead);
    EXPECT_TRUE(m_Game.IsPartyWipedOut());
}

TEST_F(GameParty, RecruitsMoneyBecomesGold)
{
    auto actor = ActorTest::MakeFighter(m_Game, "Bera");
    const auto bread = ActorTest::MakeItem(*m_Module, m_Game, "i_bread");
    actor->AddBackpackItem(ActorTest::MakeItem(*m_Module, m_Game, "i_gold", 10));
    actor->AddBackpackItem(bread);
    actor->AddBackpackItem(ActorTest::MakeItem(*m_Module, m_Game, "i_gold", 5));
    m_Game.SetGold(100);
    Join("First");
    m_Game.AddPartyMember(actor);

    EXPECT_EQ(m_Game.GetGold(), 115);
    EXPECT_EQ(ActorTest::MessageTexts(m_Game, kMessageGold),
              (std::vector<std::string>{"The party has gained 10 gold.",
                                        "The party has gained 5 gold."}));
    ASSERT_EQ(actor->GetBackpackItems().size(), 1u);
    EXPECT_EQ(actor->GetBackpackItems()[0], bread);
    EXPECT_EQ(actor->GetAttitude(), kAttitudeParty);
    EXPECT_EQ(actor->GetPartyIndex(), 1u);
}

TEST_F(GameParty, AddingAMemberTwiceIsCode2)
{
    const auto a = Join("A");
    EXPECT_EQ(CodeOf([&] { m_Game.AddPartyMember(a); }), 2);
    EXPECT_EQ(m_Game.GetParty().size(), 1u);
}

TEST_F(GameParty, RemovingAMemberRenumbersTheRest)
{
    const auto a = Join("A");
    const auto b = Join("B");
    const auto c = Join("C");
    m_Game.RemovePartyMember(*a);
    EXPECT_EQ(a->GetAttitude(), kAttitudeNeutral);
    ASSERT_EQ(m_Game.GetParty().size(), 2u);
    EXPECT_EQ(b->GetPartyIndex(), 0u);
    EXPECT_EQ(c->GetPartyIndex(), 1u);
    EXPECT_EQ(CodeOf([&] { m_Game.RemovePartyMember(*a); }), 2);
}

TEST_F(GameParty, RemovingFromAnEmptyPartyIsCode2)
{
    const auto stranger = ActorTest::MakeFighter(m_Game, "Stranger");
    EXPECT_EQ(CodeOf([&] { m_Game.RemovePartyMember(*stranger); }), 2);
}

TEST_F(GameParty, SwappingMembers)
{
    const auto a = Join("A");
    const auto b = Join("B");
    const auto c = Join("C");
    m_Game.SwapPartyMembers(0, 2);
    EXPECT_EQ(m_Game.GetParty()[0], c);
    EXPECT_EQ(m_Game.GetParty()[2], a);
    EXPECT_EQ(c->GetPartyIndex(), 0u);
    EXPECT_EQ(a->GetPartyIndex(), 2u);
    EXPECT_EQ(b->GetPartyIndex(), 1u);
    EXPECT_EQ(CodeOf([&] { m_Game.SwapPartyMembers(1, 1); }), 3);
    EXPECT_EQ(CodeOf([&] { m_Game.SwapPartyMembers(0, 3); }), 3);
    EXPECT_EQ(CodeOf([&] { m_Game.SwapPartyMembers(-1, 0); }), 3);
    EXPECT_EQ(m_Game.GetParty()[0], c);
}

TEST_F(GameParty, BestSpecialStatOfTheLiving)
{
    EXPECT_EQ(m_Game.BestPartySpecialStat(4), -100000);
    const auto a = Join("A");
    const auto b = Join("B");
    a->Skills().insert(68);
    b->Skills().insert(68);
    b->SetLevel(3);
    // (3 + 1) x 5 with Intelligence 10.
    EXPECT_EQ(m_Game.BestPartySpecialStat(4), 20);
    b->SetActivityState(kActivityDead);
    EXPECT_EQ(m_Game.BestPartySpecialStat(4), 10);
    a->SetActivityState(kActivityDead);
    EXPECT_EQ(m_Game.BestPartySpecialStat(4), -100000);
    EXPECT_EQ(CodeOf([&] { m_Game.BestPartySpecialStat(5); }), 2);
}

TEST_F(GameParty, SharedExperienceGoesToEveryLivingRealMember)
{
    const auto a = Join("Ann");
    const auto dead = Join("Bo");
    const auto wolf = Join("Wolf", true);
    dead->SetActivityState(kActivityDead);
    SeedRandom(3);
    m_Game.ShareExperience(5000);
    EXPECT_EQ(a->GetExperience(), 5000u);
    EXPECT_EQ(a->GetLevel(), 2u);
    EXPECT_EQ(dead->GetExperience(), 0u);
    EXPECT_EQ(wolf->GetExperience(), 0u);
    EXPECT_EQ(ActorTest::MessageTexts(m_Game, kMessageInfo),
              (std::vector<std::string>{"The party gains 5000 experience each.",
                                        "Ann has gained a level!"}));
}

TEST_F(GameParty, NameTokens)
{
    const auto a = Join("Ann");
    a->SetTemplateName("main");
    const auto b = Join("Bo");
    b->SetClass(1);
    b->SetLevel(3);
    const std::string given = "Hail  MAINNAME , your party:\nPARTY done";
    const std::string expanded =
        "Hail Ann , your party:  - Ann (Fighter 1) LINE  - Bo (Rogue 3) LINE  done";
    std::string text = given;
    EXPECT_TRUE(m_Game.ExpandNameTokens(text));
    EXPECT_EQ(text, expanded);
    // The longest text allowed is the whole expansion; one byte less leaves
    // the text as it was.
    text = given;
    EXPECT_TRUE(m_Game.ExpandNameTokens(text, expanded.size()));
    EXPECT_EQ(text, expanded);
    text = given;
    EXPECT_FALSE(m_Game.ExpandNameTokens(text, expanded.size() - 1));
    EXPECT_EQ(text, given);
}

TEST_F(GameParty, ActorInfoOfAnActorCarriesItsId)
{
    const auto a = Join("Ann");
    m_Game.AddActorInfo(kEventActorEnergy, *a);
    const auto* info = dynamic_cast<const CActorInfoEvent*>(m_Game.GetEvents().back().get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetKind(), kEventActorEnergy);
    EXPECT_EQ(info->GetActorId(), a->Id());
}
