#include "actor_test_util.h"

#include "world/effect_params.h"
#include "world/order.h"

#include <algorithm>

using namespace VARD;
using ActorTest::CodeOf;

namespace
{

std::shared_ptr<COrder> Move(double x)
{
    return std::make_shared<CMoveOrder>(x, 0.0);
}

bool Targets(const CActor& target, const CActor* by)
{
    const auto& list = target.GetTargetedBy();
    return std::count(list.begin(), list.end(), by) == 1;
}

class ActorOrders : public ::testing::Test
{
protected:
    CGame m_Game;
    std::shared_ptr<CActor> m_Actor = ActorTest::MakeFighter(m_Game, "Aldric");
};

} // namespace

TEST_F(ActorOrders, QueuesAppendAndHandOutTheFront)
{
    EXPECT_EQ(m_Actor->GetFrontOrder(), nullptr);
    EXPECT_EQ(m_Actor->GetFrontInstantOrder(), nullptr);
    const auto first = Move(1.0);
    const auto second = Move(2.0);
    m_Actor->QueueOrder(first, false);
    m_Actor->QueueOrder(second, false);
    const auto wield = std::make_shared<CWieldOrder>(5, 0);
    m_Actor->QueueInstantOrder(wield);
    EXPECT_EQ(m_Actor->GetFrontOrder(), first);
    EXPECT_EQ(m_Actor->GetOrders().size(), 2u);
    EXPECT_EQ(m_Actor->GetFrontInstantOrder(), wield);
    m_Actor->PopInstantOrder(wield);
    EXPECT_EQ(m_Actor->GetFrontInstantOrder(), nullptr);
}

TEST_F(ActorOrders, PopOrderOfAnOrderNotInFrontIsCode2AndChangesNothing)
{
    const auto first = Move(1.0);
    const auto second = Move(2.0);
    m_Actor->QueueOrder(first, false);
    m_Actor->QueueOrder(second, false);
    m_Actor->SetDetourMode(2);
    EXPECT_EQ(CodeOf([&] { m_Actor->PopOrder(second); }), 2);
    EXPECT_EQ(m_Actor->GetOrders().size(), 2u);
    EXPECT_EQ(m_Actor->GetDetourMode(), 2u);
    EXPECT_EQ(CodeOf([&] { m_Actor->PopInstantOrder(first); }), 2);

    m_Actor->SetLastBlockedTick(40);
    m_Actor->PopOrder(first);
    EXPECT_EQ(m_Actor->GetFrontOrder(), second);
    EXPECT_EQ(m_Actor->GetDetourMode(), 0u);
    EXPECT_EQ(m_Actor->GetLastBlockedTick(), 0u);
}

TEST_F(ActorOrders, ConfusedActorRefusesOrdersUnlessForced)
{
    m_Actor->AddStatus(kStatusConfused, 0);
    m_Actor->QueueOrder(Move(1.0), false);
    EXPECT_TRUE(m_Actor->GetOrders().empty());
    m_Actor->QueueOrder(Move(2.0), true);
    EXPECT_EQ(m_Actor->GetOrders().size(), 1u);
    // Instant orders are never refused.
    m_Actor->QueueInstantOrder(std::make_shared<CUnwieldOrder>(0));
    EXPECT_NE(m_Actor->GetFrontInstantOrder(), nullptr);
}

TEST_F(ActorOrders, ClearOrdersEmptiesBothQueuesAndInterrupts)
{
    m_Actor->QueueOrder(Move(1.0), false);
    m_Actor->QueueInstantOrder(std::make_shared<CUnwieldOrder>(0));
    m_Actor->SetDetourMode(1);
    m_Actor->ClearOrders();
    EXPECT_TRUE(m_Actor->GetOrders().empty());
    EXPECT_TRUE(m_Actor->GetInstantOrders().empty());
    EXPECT_TRUE(m_Actor->IsInterrupted());
    EXPECT_EQ(m_Actor->GetDetourMode(), 0u);
}

TEST_F(ActorOrders, DominatedActorIgnoresClearOrders)
{
    m_Actor->AddStatus(kStatusDominated, 900);
    m_Actor->SetInterrupted(false);
    m_Actor->QueueOrder(Move(1.0), true);
    m_Actor->QueueInstantOrder(std::make_shared<CUnwieldOrder>(0));
    m_Actor->ClearOrders();
    EXPECT_EQ(m_Actor->GetOrders().size(), 1u);
    EXPECT_EQ(m_Actor->GetInstantOrders().size(), 1u);
    EXPECT_FALSE(m_Actor->IsInterrupted());
    // The rules that take control still can.
    m_Actor->InterruptOrders();
    EXPECT_TRUE(m_Actor->GetOrders().empty());
}

TEST_F(ActorOrders, TalkQueue)
{
    EXPECT_EQ(m_Actor->GetFirstTalkFile(), "");
    EXPECT_EQ(m_Actor->GetTalkName(), "Aldric");
    m_Actor->QueueTalk(std::make_shared<CTalkChoice>("Hello", "greet"));
    m_Actor->QueueTalk(std::make_shared<CTalkChoice>("Bye", "end"));
    const auto queue = m_Actor->GetTalkQueue();
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[1]->GetStateName(), "end");
    m_Actor->ClearTalkQueue();
    EXPECT_TRUE(m_Actor->GetTalkQueue().empty());
}

// ------------------------------------------------------------------ activity

TEST_F(ActorOrders, AlarmKeepsTheNextActionOnlyWhenAlerted)
{
    m_Actor->SetNextActionTick(500);
    m_Actor->SetActivityState(kActivityAlerted);
    m_Actor->SetAlarm(100);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlarmed);
    EXPECT_EQ(m_Actor->GetAlarmTick(), 115u);
    EXPECT_EQ(m_Actor->GetNextActionTick(), 500u);

    m_Actor->SetActivityState(kActivityIdle);
    m_Actor->SetAlarm(200);
    EXPECT_EQ(m_Actor->GetNextActionTick(), 0u);
    EXPECT_EQ(m_Actor->GetAlarmTick(), 215u);
}

TEST_F(ActorOrders, DeadActorIsNeitherAlarmedNorAlerted)
{
    m_Actor->SetActivityState(kActivityDead);
    m_Actor->SetAlarm(100);
    m_Actor->SetAlerted(2, 100);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityDead);
}

TEST_F(ActorOrders, AlertedWaitsTheActionTime)
{
    // No speed at all: 4 seconds, 120 ticks.
    m_Actor->SetAlerted(2, 1000);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlerted);
    EXPECT_EQ(m_Actor->GetNextActionTick(), 1120u);
    // Speed 5: 3 seconds; an alarmed actor stays alarmed.
    m_Actor->SetActionSpeedBase(5);
    m_Actor->SetActivityState(kActivityAlarmed);
    m_Actor->SetAlerted(11, 1000);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlarmed);
    EXPECT_EQ(m_Actor->GetNextActionTick(), 1090u);
}

TEST_F(ActorOrders, ActionTimeNeverDropsBelowHalfASecond)
{
    std::int32_t speed = 0;
    m_Actor->SetActionSpeedBase(40);
    EXPECT_DOUBLE_EQ(m_Actor->GetActionTime(0, &speed), 0.5);
    EXPECT_EQ(speed, 40);
}

TEST_F(ActorOrders, StatesAdvanceWhenTheirTicksCome)
{
    m_Actor->SetAlarm(100);
    m_Actor->ExpireTimedEffects(114, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlarmed);
    m_Actor->ExpireTimedEffects(115, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlerted);
    m_Actor->SetNextActionTick(130);
    m_Actor->ExpireTimedEffects(129, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlerted);
    m_Actor->ExpireTimedEffects(130, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityIdle);

    m_Actor->EngageMelee(200, nullptr);
    m_Actor->ExpireTimedEffects(259, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityEngaged);
    m_Actor->ExpireTimedEffects(260, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityEngagedReady);
    m_Actor->ExpireTimedEffects(100000, m_Game);
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityEngagedReady);

    m_Actor->SetActivityState(6);
    EXPECT_EQ(CodeOf([&] { m_Actor->ExpireTimedEffects(1, m_Game); }), 2);
}

TEST_F(ActorOrders, EngageMeleeRecordsTheTarget)
{
    const auto foe = ActorTest::MakeFighter(m_Game, "Foe");
    m_Actor->EngageMelee(300, foe.get());
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityEngaged);
    EXPECT_EQ(m_Actor->GetNextActionTick(), 360u);
    EXPECT_EQ(m_Actor->GetEngagementTick(), 300u);
    EXPECT_EQ(m_Actor->GetEngagementTargetId(), foe->Id());
}

// ------------------------------------------------------------------ targets

TEST_F(ActorOrders, RetargetingKeepsEveryTargetedByListConsistent)
{
    const auto b = ActorTest::MakeFighter(m_Game, "B");
    const auto c = ActorTest::MakeFighter(m_Game, "C");
    m_Actor->SetCurrentTarget(10, b.get());
    EXPECT_TRUE(Targets(*b, m_Actor.get()));
    m_Actor->SetCurrentTarget(20, c.get());
    EXPECT_TRUE(b->GetTargetedBy().empty());
    EXPECT_TRUE(Targets(*c, m_Actor.get()));
    m_Actor->SetCurrentTarget(30, b.get());
    EXPECT_TRUE(c->GetTargetedBy().empty());
    EXPECT_TRUE(Targets(*b, m_Actor.get()));
    // The same target again stays listed once.
    m_Actor->SetCurrentTarget(40, b.get());
    EXPECT_TRUE(Targets(*b, m_Actor.get()));
    m_Actor->SetCurrentTarget(50, nullptr);
    EXPECT_TRUE(b->GetTargetedBy().empty());
    EXPECT_EQ(m_Actor->GetCurrentTarget(), nullptr);
}

TEST_F(ActorOrders, EngagementTickRenewsOnlyAfter195Ticks)
{
    const auto b = ActorTest::MakeFighter(m_Game, "B");
    m_Actor->SetEngagementTick(1000);
    m_Actor->SetCurrentTarget(1195, b.get());
    EXPECT_EQ(m_Actor->GetEngagementTick(), 1000u);
    m_Actor->SetCurrentTarget(1196, b.get());
    EXPECT_EQ(m_Actor->GetEngagementTick(), 1196u);
}

TEST_F(ActorOrders, AlertEngagedActorsDropsEveryAttacker)
{
    const auto b = ActorTest::MakeFighter(m_Game, "B");
    const auto c = ActorTest::MakeFighter(m_Game, "C");
    b->SetCurrentTarget(0, m_Actor.get());
    c->SetCurrentTarget(0, m_Actor.get());
    b->SetActivityState(kActivityEngaged);
    c->SetActivityState(kActivityEngagedReady);
    m_Actor->AlertEngagedActors(true, 700);
    EXPECT_TRUE(m_Actor->GetTargetedBy().empty());
    for (const auto& attacker : {b, c})
    {
        EXPECT_EQ(attacker->GetCurrentTarget(), nullptr);
        EXPECT_EQ(attacker->GetActivityState(), kActivityAlarmed);
        EXPECT_EQ(attacker->GetAlarmTick(), 715u);
    }
    // Without alarm an engaged attacker only goes idle.
    b->SetCurrentTarget(0, m_Actor.get());
    b->SetActivityState(kActivityEngaged);
    m_Actor->AlertEngagedActors(false, 800);
    EXPECT_EQ(b->GetActivityState(), kActivityIdle);
}

TEST_F(ActorOrders, ClearEngagementEndsTheFightAndTheLink)
{
    const auto b = ActorTest::MakeFighter(m_Game, "B");
    m_Actor->SetCurrentTarget(0, b.get());
    m_Actor->SetActivityState(kActivityEngagedReady);
    m_Actor->ClearEngagement();
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityIdle);
    EXPECT_TRUE(b->GetTargetedBy().empty());
    m_Actor->SetActivityState(kActivityAlarmed);
    m_Actor->ClearEngagement();
    EXPECT_EQ(m_Actor->GetActivityState(), kActivityAlarmed);
}

TEST_F(ActorOrders, RemovedActorIsUnlinkedFromEveryone)
{
    const auto b = ActorTest::MakeFighter(m_Game, "B");
    const auto c = ActorTest::MakeFighter(m_Game, "C");
    m_Actor->SetCurrentTarget(0, b.get());
    c->SetCurrentTarget(0, m_Actor.get());
    c->SetActivityState(kActivityEngaged);
    m_Actor->UnlinkTargets();
    EXPECT_EQ(m_Actor->GetCurrentTarget(), nullptr);
    EXPECT_TRUE(b->GetTargetedBy().empty());
    EXPECT_TRUE(m_Actor->GetTargetedBy().empty());
    EXPECT_EQ(c->GetCurrentTarget(), nullptr);
    EXPECT_EQ(c->GetActivityState(), kActivityIdle);
}

TEST_F(ActorOrders, DestroyedActorLeavesNoLinkBehind)
{
    auto b = ActorTest::MakeFighter(m_Game, "B");
    auto c = ActorTest::MakeFighter(m_Game, "C");
    m_Actor->SetCurrentTarget(0, b.get());
    c->SetCurrentTarget(0, m_Actor.get());
    b.reset();
    EXPECT_EQ(m_Actor->GetCurrentTarget(), nullptr);
    c.reset();
    EXPECT_TRUE(m_Actor->GetTargetedBy().empty());
    // Retargeting after the old target died must not touch it.
    const auto d = ActorTest::MakeFighter(m_Game, "D");
    m_Actor->SetCurrentTarget(5, d.get());
    EXPECT_TRUE(Targets(*d, m_Actor.get()));
}

// ------------------------------------------------------------------ belongings

class ActorBelongings : public ::testing::Test
{
protected:
    std::shared_ptr<CModule> m_Module = ActorTest::LoadModule();
    CGame m_Game;
    std::shared_ptr<CActor> m_Actor = ActorTest::MakeFighter(m_Game, "Aldric");

    std::shared_ptr<CItem> Item(const std::string& name, std::uint32_t count = 1)
    {
        return ActorTest::MakeItem(*m_Module, m_Game, name, count);
    }
};

TEST_F(ActorBelongings, BackpackKeepsOrderAndRemovesByIdentity)
{
    const auto bread = Item("i_bread");
    const auto sword = Item("i_sword");
    const auto gold = Item("i_gold", 5);
    m_Actor->AddBackpackItem(bread);
    m_Actor->AddBackpackItem(sword);
    m_Actor->AddBackpackItem(gold);
    EXPECT_EQ(m_Actor->RemoveBackpackItem(sword.get()), sword);
    const auto left = m_Actor->GetBackpackItems();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0], bread);
    EXPECT_EQ(left[1], gold);
    EXPECT_EQ(CodeOf([&] { m_Actor->RemoveBackpackItem(sword.get()); }), 1);
}

TEST_F(ActorBelongings, EquipmentSlots)
{
    const auto sword = Item("i_sword");
    m_Actor->SetEquipmentSlot(kSlotMainHand, sword);
    EXPECT_EQ(m_Actor->GetEquipmentSlot(kSlotMainHand), sword);
    EXPECT_EQ(m_Actor->TakeEquippedItem(kSlotMainHand), sword);
    EXPECT_EQ(m_Actor->GetEquipmentSlot(kSlotMainHand), nullptr);
    EXPECT_EQ(m_Actor->TakeEquippedItem(kSlotRing2), nullptr);
    EXPECT_EQ(CodeOf([&] { m_Actor->SetEquipmentSlot(7, sword); }), 2);
    EXPECT_EQ(CodeOf([&] { m_Actor->TakeEquippedItem(7); }), 2);
}

TEST_F(ActorBelongings, TradeItemsAreTheBoughtTypesWithoutMoney)
{
    const auto sword = Item("i_sword");
    const auto ring = Item("i_ring");
    const auto bread = Item("i_bread");
    for (const auto& item : {Item("i_gold", 9), sword, bread, ring})
        m_Actor->AddBackpackItem(item);
    m_Actor->GetBuyTableForEdit()[0] = 1;
    m_Actor->GetBuyTableForEdit()[5] = 1;
    m_Actor->GetBuyTableForEdit()[10] = 1;
    const auto trade = m_Actor->CollectTradeItems();
    ASSERT_EQ(trade.size(), 2u);
    EXPECT_EQ(trade[0], sword);
    EXPECT_EQ(trade[1], ring);
}

TEST_F(ActorBelongings, SellPriceIsHalfTheValueRoundedUp)
{
    m_Actor->GetBuyTableForEdit()[5] = 1;
    std::uint32_t price = 0;
    EXPECT_TRUE(m_Actor->GetSellPrice(*Item("i_ring"), price));
    EXPECT_EQ(price, 51u);
    price = 99;
    EXPECT_FALSE(m_Actor->GetSellPrice(*Item("i_sword"), price));
    EXPECT_EQ(price, 99u);
}

TEST_F(ActorBelongings, NeutralActorWithoutColoursDrawsOnlyItsGraphic)
{
    m_Actor->SetGraphicName("g_guard");
    m_Actor->SetEquipmentSlot(kSlotMainHand, Item("i_sword"));
    std::vector<std::string> names;
    m_Actor->CollectGraphicNames(names);
    EXPECT_EQ(names, std::vector<std::string>{"g_guard"});
}

TEST_F(ActorBelongings, PartyMemberDrawsItsEquipmentForItsGender)
{
    m_Actor->SetGraphicName("g_hero");
    m_Actor->SetAttitude(kAttitudeParty);
    m_Actor->SetGender(1);
    m_Actor->SetEquipmentSlot(kSlotMainHand, Item("i_sword"));
    m_Actor->SetEquipmentSlot(kSlotNeck, Item("i_amulet"));
    m_Actor->SetEquipmentSlot(kSlotRing1, Item("i_ring"));
    std::vector<std::string> names;
    m_Actor->CollectGraphicNames(names);
    // The amulet's graphic is "0": nothing to draw.
    EXPECT_EQ(names, (std::vector<std::string>{"g_hero", "g_sword_f", "g_ring"}));
}

TEST_F(ActorBelongings, ColoursAloneAlsoShowTheEquipment)
{
    m_Actor->SetGraphicName("g_npc");
    m_Actor->SetColors(std::make_shared<VARDGraph::CGraphicColors>(1, 2, 3));
    m_Actor->SetEquipmentSlot(kSlotMainHand, Item("i_sword"));
    std::vector<std::string> names;
    m_Actor->CollectGraphicNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"g_npc", "g_sword_m"}));
}

TEST_F(ActorBelongings, AnimationsFollowTheFightingStyle)
{
    m_Actor->StartAttackAnimation();
    EXPECT_EQ(m_Actor->GetAnimationId(), 5u);
    m_Actor->SetEquipmentSlot(kSlotMainHand, Item("i_bow"));
    m_Actor->StartAttackAnimation();
    EXPECT_EQ(m_Actor->GetAnimationId(), 6u);
    m_Actor->StartStyleAnimation();
    EXPECT_EQ(m_Actor->GetAnimationId(), 11u);
    m_Actor->AdvanceAnimation(1, 0.5);
    EXPECT_EQ(m_Actor->GetAnimationId(), 2u);
    EXPECT_DOUBLE_EQ(m_Actor->GetAnimationTime(), 0.0);
    m_Actor->AdvanceAnimation(1, 0.5);
    EXPECT_DOUBLE_EQ(m_Actor->GetAnimationTime(), 0.5);

    m_Actor->SetEquipmentSlot(kSlotMainHand, Item("i_sword"));
    m_Actor->SetEquipmentSlot(kSlotOffHand, Item("i_sword"));
    EXPECT_EQ(m_Actor->GetFightingStyle(), 12);
    m_Actor->StartAttackAnimation();
    EXPECT_EQ(m_Actor->GetAnimationId(), 8u);
    m_Actor->SetEquipmentSlot(kSlotOffHand, Item("i_shield"));
    EXPECT_EQ(m_Actor->GetFightingStyle(), 8);
    m_Actor->SetEquipmentSlot(kSlotOffHand, Item("i_bread"));
    EXPECT_EQ(m_Actor->GetFightingStyle(), kSkillNone);
    m_Actor->SetEquipmentSlot(kSlotOffHand, nullptr);
    EXPECT_EQ(m_Actor->GetFightingStyle(), 9);
}

TEST_F(ActorBelongings, FactionNameShowsRankAndTitle)
{
    EXPECT_EQ(m_Actor->GetFactionName(), "No Faction");
    m_Actor->SetFaction(m_Module->FindFaction("f_guard"), 1);
    // The faction's name, not its display name ("City Guard").
    EXPECT_EQ(m_Actor->GetFactionName(), "f_guard 2 (Sergeant)");
}

TEST_F(ActorBelongings, IdentityTests)
{
    m_Actor->SetAttitude(kAttitudeFriendly);
    EXPECT_TRUE(m_Actor->IsFriendly());
    EXPECT_FALSE(m_Actor->IsHostile());
    m_Actor->SetAttitude(kAttitudeBerserk);
    EXPECT_TRUE(m_Actor->IsHostile());
    m_Actor->SetAttitude(kAttitudeNeutral);
    EXPECT_FALSE(m_Actor->IsFriendly());
    EXPECT_FALSE(m_Actor->IsHostile());
    EXPECT_FALSE(m_Actor->IsMainCharacter());
    m_Actor->SetTemplateName("main");
    EXPECT_TRUE(m_Actor->IsMainCharacter());
}

// ------------------------------------------------------------------ order records

TEST(OrderRecords, EachOrderHoldsItsFieldsInTableOrder)
{
    const CMoveOrder move(3.5, -2.25);
    EXPECT_EQ(move.GetType(), 1);
    EXPECT_DOUBLE_EQ(move.GetX(), 3.5);
    EXPECT_DOUBLE_EQ(move.GetY(), -2.25);

    const CWieldOrder wield(0x05000009u, 1);
    EXPECT_EQ(wield.GetType(), 3);
    EXPECT_EQ(wield.GetItemId(), 0x05000009u);
    EXPECT_EQ(wield.GetSlot(), 1);
    EXPECT_EQ(wield.GetFirstId(), 0x05000009u);
    EXPECT_EQ(wield.GetSecondId(), 1u);

    const CUseOrder use(kUseItem, 0x03000002u, 0x05000004u);
    EXPECT_EQ(use.GetType(), 10);
    EXPECT_EQ(use.GetFirstId(), 5u);
    EXPECT_EQ(use.GetSecondId(), 0x03000002u);
    EXPECT_EQ(use.GetItemId(), 0x05000004u);

    const CStoreOrder store(0, 0x03000005u, 0x05000006u, 3);
    EXPECT_EQ(store.GetType(), 17);
    EXPECT_FALSE(store.IsBuy());
    EXPECT_EQ(store.GetFirstId(), 0u);
    EXPECT_EQ(store.GetSecondId(), 0x03000005u);
    EXPECT_EQ(store.GetItemId(), 0x05000006u);
    EXPECT_EQ(store.GetCount(), 3u);

    const CSpendPointsOrder spend(5, 83);
    EXPECT_EQ(spend.GetType(), 15);
    EXPECT_EQ(spend.GetAttribute(), 5);
    EXPECT_EQ(spend.GetSkill(), 83);

    const CCastOrder cast("sp_fire", 0x03000007u);
    EXPECT_EQ(cast.GetType(), 11);
    EXPECT_EQ(cast.GetSpell(), "sp_fire");
    EXPECT_EQ(cast.GetTargetId(), 0x03000007u);

    const CTalkOrder talk(0x02000001u, "greet", "Hello there.");
    EXPECT_EQ(talk.GetType(), 12);
    EXPECT_EQ(talk.GetTargetId(), 0x02000001u);
    EXPECT_EQ(talk.GetState(), "greet");
    EXPECT_EQ(talk.GetChosenText(), "Hello there.");

    EXPECT_EQ(CGetOrder(1, 2).GetType(), 5);
    EXPECT_EQ(CDropOrder(0, 2).GetTargetId(), 0u);
    EXPECT_EQ(CSplitOrder(9, 1).GetCount(), 1);
    EXPECT_EQ(CCombineOrder(7, 8).GetAddedId(), 8u);
    EXPECT_EQ(CGiveOrder(3, 4).GetReceiverId(), 3u);
    EXPECT_EQ(CPositionOrder(2).GetPosition(), 2);
    EXPECT_EQ(CMoveTalkOrder(6).GetType(), 18);
    EXPECT_EQ(CAttackOrder(6).GetTargetId(), 6u);
    EXPECT_EQ(CUnwieldOrder(4).GetSlot(), 4);
}

TEST(OrderRecords, PowerOrderWithoutANameHoldsTheEmptyName)
{
    const CPowerOrder none;
    EXPECT_EQ(none.GetType(), 16);
    EXPECT_EQ(none.GetPower(), "");
    EXPECT_EQ(CPowerOrder("pw_rage").GetPower(), "pw_rage");
}

TEST(OrderRecords, LeavingAndReturningArePlainOrders)
{
    const COrder leave(kOrderLeaveParty);
    const COrder back(kOrderReturnToEntrance);
    EXPECT_EQ(leave.GetType(), 13);
    EXPECT_EQ(back.GetType(), 19);
}
