// The timed orders tick by tick: statuses that stop or drop orders, the
// move-and-talk walk, the cast step before and after its wind-up, the return
// to the entrance, the actor update and the upkeep of powers.

#include "movement_test_util.h"

#include "world/item_template.h"
#include "world/order.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

using MovementTest::CFixture;
using RulesTest::DrainMessages;
using Texts = std::vector<std::string>;

const std::vector<std::string> kRoom = {
    "##########", "#........#", "#........#", "#........#",
    "#........#", "#........#", "##########",
};

// Every event since the last call: its kind, and a message's text.
Texts Events(VARD::CGame& game)
{
    Texts lines;
    while (const auto event = game.PopEvent())
    {
        lines.push_back(std::to_string(event->GetKind()));
        if (const auto* message = dynamic_cast<const VARD::CMessageEvent*>(event.get()))
            lines.back() += ' ' + message->GetText();
    }
    return lines;
}

TEST(ActorUpdateOrders, StatusesStopActorsAndDropTheirOrdersOnePerTick)
{
    CFixture fixture(kRoom);
    VARD::CGame& game = fixture.Game();
    VARD::CActor& hero = fixture.PlaceHero(6.25, 6.25);
    DrainMessages(game);

    // Overloaded: told once, and the order is gone without a step.
    const auto* sword = fixture.engine->Module().FindItemTemplate("long_sword");
    auto load =
        std::make_shared<VARD::CItem>(game.NewThingId(VARD::kThingKindItem), sword, 1000, 0);
    hero.AddBackpackItem(load);
    ASSERT_TRUE(hero.IsOverburdened());
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(15.0, 6.25), false);
    fixture.Step();
    fixture.Step();
    EXPECT_EQ(DrainMessages(game), (Texts{"18 Hero is overloaded!"}));
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_EQ(hero.GetX(), 6.25);
    hero.RemoveBackpackItem(load.get());

    // Held, then charmed: each tick drops one order, and a member says so.
    hero.AddStatus(VARD::kStatusHeld, 1000);
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(15.0, 6.25), false);
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(15.0, 8.0), false);
    fixture.Step();
    EXPECT_EQ(hero.GetOrders().size(), 1u);
    hero.RemoveStatus(VARD::kStatusHeld);
    hero.AddStatus(VARD::kStatusCharmed, 1000);
    fixture.Step();
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_EQ(DrainMessages(game),
              (Texts{"18 Hero is magically held.", "18 Hero is magically charmed."}));
    EXPECT_EQ(hero.GetX(), 6.25);
    hero.RemoveStatus(VARD::kStatusCharmed);

    // A held monster loses its order without a word.
    auto monster = fixture.AddActor(17.5, 10.0);
    monster->AddStatus(VARD::kStatusHeld, 1000);
    monster->QueueOrder(std::make_shared<VARD::CMoveOrder>(5.0, 10.0), false);
    fixture.Step();
    EXPECT_EQ(monster->GetFrontOrder(), nullptr);
    EXPECT_EQ(DrainMessages(game), Texts{});
    monster->RemoveStatus(VARD::kStatusHeld);

    // Alarmed: the order waits, neither run nor dropped; the recover pose
    // plays on. Dead: never run.
    monster->SetActivityState(VARD::kActivityAlarmed);
    monster->SetAlarmTick(game.GetTick() + 100);
    monster->SetAnimation(13, 0.2);
    const auto order = std::make_shared<VARD::CMoveOrder>(5.0, 10.0);
    monster->QueueOrder(order, false);
    fixture.Step();
    EXPECT_EQ(monster->GetFrontOrder(), order);
    EXPECT_EQ(monster->GetX(), 17.5);
    EXPECT_EQ(monster->GetAnimationId(), 13u);
    EXPECT_DOUBLE_EQ(monster->GetAnimationTime(), 0.2 + 0.06666666666666667);
    monster->SetActivityState(VARD::kActivityDead);
    fixture.Step();
    EXPECT_EQ(monster->GetFrontOrder(), order);
    EXPECT_EQ(monster->GetX(), 17.5);
    EXPECT_EQ(monster->GetAnimationId(), 0u);

    // The target of someone stands, in its walking pose, order kept.
    monster->SetActivityState(VARD::kActivityIdle);
    fixture.AddActor(22.5, 6.25)->SetCurrentTarget(game.GetTick(), monster.get());
    fixture.Step();
    EXPECT_EQ(monster->GetFrontOrder(), order);
    EXPECT_EQ(monster->GetX(), 17.5);
    EXPECT_EQ(monster->GetAnimationId(), 4u);

    // Confused with nothing to do: a forced walk to a free point within 10,
    // and the first step of it in the same tick.
    hero.AddStatus(VARD::kStatusConfused, 1000);
    fixture.Step();
    ASSERT_NE(hero.GetFrontOrder(), nullptr);
    const auto& wander = dynamic_cast<const VARD::CMoveOrder&>(*hero.GetFrontOrder());
    EXPECT_LE(std::abs(wander.GetX() - 6.25), 10.0);
    EXPECT_LE(std::abs(wander.GetY() - 6.25), 10.0);
    EXPECT_TRUE(fixture.area->IsPositionFree(&hero, wander.GetX(), wander.GetY(), nullptr));
    EXPECT_NEAR(hero.DistanceTo(6.25, 6.25), 10.0 / 30.0, 1e-9);

    // Confused in a cell it cannot even stand in: nothing is queued.
    CFixture closet({"###", "#.#", "###"});
    auto stuck = closet.AddActor(3.75, 3.75, 1.25);
    stuck->AddStatus(VARD::kStatusConfused, 1000);
    closet.Step();
    EXPECT_EQ(stuck->GetFrontOrder(), nullptr);
    // Dominated with no one of its own side about: nothing happens either.
    stuck->RemoveStatus(VARD::kStatusConfused);
    stuck->AddStatus(VARD::kStatusDominated, 1000);
    closet.Step();
    EXPECT_EQ(stuck->GetFrontOrder(), nullptr);
    EXPECT_EQ(DrainMessages(closet.Game()), Texts{});

    // An order that never belongs in the timed queue, and a use of nothing.
    monster->InterruptOrders();
    monster->QueueOrder(std::make_shared<VARD::CWieldOrder>(1, 0), true);
    auto other = fixture.AddActor(22.5, 12.5);
    EXPECT_EQ(TestUtil::CodeOf([&] { fixture.Step(); }), 2);
    monster->InterruptOrders();
    other->QueueOrder(std::make_shared<VARD::CUseOrder>(3, 1, 0), false);
    EXPECT_EQ(TestUtil::CodeOf([&] { fixture.Step(); }), 3);
}

TEST(ActorUpdateOrders, MoveAndTalkWalksIntoRangeThenOpensTheConversation)
{
    CFixture fixture(
        {"################", "#..............#", "#..............#", "################"});
    VARD::CGame& game = fixture.Game();
    VARD::CActor& hero = fixture.PlaceHero(5.0, 5.0);
    auto priest = fixture.AddActor(35.0, 5.0, 1.0, VARD::kAttitudeFriendly);
    hero.QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(priest->Id()), false);
    Events(game);

    int ticks = 0;
    while (hero.GetFrontOrder() && ticks < 200)
    {
        fixture.Step();
        ++ticks;
    }
    // In range once the gap between the two circles is at most 10 less one
    // step: 30 - 2.5 - (10 - 1/3) leaves 17.83 to walk, 54 steps of a third.
    EXPECT_EQ(ticks, 54);
    EXPECT_LE(hero.DistanceTo(35.0, 5.0), 1.5 + 1.0 + 10.0 - 10.0 / 30.0);
    bool talked = false;
    while (const auto event = game.PopEvent())
    {
        if (const auto* talk = dynamic_cast<const VARD::CTalkEvent*>(event.get()))
        {
            talked = true;
            EXPECT_EQ(talk->GetFirstId(), hero.Id());
            EXPECT_EQ(talk->GetSecondId(), priest->Id());
        }
    }
    EXPECT_TRUE(talked);

    // Two outsiders meet without a conversation; a dead, an unseen or the
    // actor itself as target ends the order at once, also without one.
    auto stranger = fixture.AddActor(30.0, 5.0, 1.0, VARD::kAttitudeNeutral);
    stranger->QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(priest->Id()), false);
    auto corpse = fixture.AddActor(20.0, 7.0, 1.0, VARD::kAttitudeNeutral);
    corpse->SetActivityState(VARD::kActivityDead);
    auto sneak = fixture.AddActor(25.0, 7.5, 1.0, VARD::kAttitudeHostile);
    sneak->ActivatePower(*fixture.engine->Module().FindSpell(VARD::kSneakPowerKey), 0);
    hero.QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(corpse->Id()), false);
    hero.QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(sneak->Id()), false);
    hero.QueueOrder(std::make_shared<VARD::CMoveTalkOrder>(hero.Id()), false);
    const double x = hero.GetX();
    for (int i = 0; i < 3; ++i)
        fixture.Step();
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_EQ(hero.GetX(), x);
    EXPECT_EQ(stranger->GetFrontOrder(), nullptr);
    EXPECT_EQ(Events(game), Texts{});
}

TEST(ActorUpdateOrders, CastStepResolvesItsTargetAndWaitsOutTheWindUp)
{
    CFixture fixture(
        {"##################", "#................#", "#................#", "##################"});
    VARD::CGame& game = fixture.Game();
    VARD::CEngine& engine = *fixture.engine;
    auto reader = TestUtil::ReaderOf(
        "<spell> test_bolt \"Test Bolt\" (255 120 40) \"A test.\" spark "
        "<params> \"fire\" (255 140 40) 1.5 </params> elemental_magic 0 (escape 0) 0 short "
        "<effect> damage (8 2) </effect> </spell>");
    const auto spell = std::make_shared<VARD::CSpell>(reader);
    engine.GetModule()->Spells()["test_bolt"] = spell;

    auto caster = fixture.AddActor(5.0, 5.0);
    caster->Skills().insert(VARD::FindSkillByKey("elemental_magic"));
    ASSERT_TRUE(caster->MeetsRequirement(*spell));
    auto target = fixture.AddActor(40.0, 5.0);
    game.SetTick(500);

    // Alerted with the target out of reach: a step toward it, facing it.
    caster->SetActivityState(VARD::kActivityAlerted);
    caster->SetNextActionTick(10000);
    caster->QueueOrder(std::make_shared<VARD::CCastOrder>("test_bolt", target->Id()), false);
    fixture.Step();
    EXPECT_NEAR(caster->GetX(), 5.0 + 10.0 / 30.0, 1e-12);
    EXPECT_DOUBLE_EQ(caster->GetFacing(), -1.5707963705062866);
    EXPECT_EQ(caster->GetAnimationId(), 4u);

    // Within reach it waits in the ready pose.
    caster->SetPosition(30.0, 5.0);
    fixture.Step();
    fixture.Step();
    EXPECT_EQ(caster->GetX(), 30.0);
    EXPECT_EQ(caster->GetAnimationId(), 1u);
    EXPECT_DOUBLE_EQ(caster->GetAnimationTime(), 1.0 / 30.0);

    // Winding up: the pose runs from 0 to 1 over the 60 ticks.
    caster->SetActivityState(VARD::kActivityEngaged);
    caster->SetNextActionTick(game.GetTick() + 1 + 30);
    caster->SetAnimation(9, 0.0);
    fixture.Step();
    EXPECT_EQ(caster->GetAnimationId(), 9u);
    EXPECT_DOUBLE_EQ(caster->GetAnimationTime(), 0.5);
    EXPECT_NE(caster->GetFrontOrder(), nullptr);

    // The target dies: the cast is over, the engagement and pose lost.
    target->SetActivityState(VARD::kActivityDead);
    fixture.Step();
    EXPECT_EQ(caster->GetFrontOrder(), nullptr);
    EXPECT_EQ(caster->GetActivityState(), VARD::kActivityIdle);
    EXPECT_EQ(caster->GetAnimationId(), 0u);

    // A spell the module lacks, or one the caster no longer masters.
    caster->QueueOrder(std::make_shared<VARD::CCastOrder>("no_such_spell", target->Id()), false);
    EXPECT_EQ(TestUtil::CodeOf([&] { fixture.Step(); }), 3);
    caster->InterruptOrders();
    caster->Skills().clear();
    caster->QueueOrder(std::make_shared<VARD::CCastOrder>("test_bolt", target->Id()), false);
    fixture.Step();
    EXPECT_EQ(caster->GetFrontOrder(), nullptr);
    EXPECT_EQ(DrainMessages(game), Texts{});

    // The order keeps the spell it found, but not past a change to the
    // module's spells: one that dropped it is a fault, not a stale cast.
    caster->Skills().insert(VARD::FindSkillByKey("elemental_magic"));
    auto other = fixture.AddActor(40.0, 8.0);
    caster->SetActivityState(VARD::kActivityAlerted);
    caster->SetPosition(5.0, 5.0);
    caster->QueueOrder(std::make_shared<VARD::CCastOrder>("test_bolt", other->Id()), false);
    fixture.Step();
    fixture.Step();
    EXPECT_GT(caster->GetX(), 5.0);
    ASSERT_NE(caster->GetFrontOrder(), nullptr);
    engine.GetModule()->Spells().erase("test_bolt");
    EXPECT_EQ(TestUtil::CodeOf([&] { fixture.Step(); }), 3);
}

TEST(ActorUpdateOrders, ReturnToTheEntranceTakesTheWalkingTime)
{
    auto engine = RulesTest::NewDemoGame(3);
    engine->EnterArea();
    VARD::CGame& game = engine->Game();
    VARD::CActor& hero = RulesTest::Member(*engine);
    engine->WizardMoveParty(8.75, 16.25);
    DrainMessages(game);

    // In battle the order is only used up.
    game.SetCombatFlag(1);
    hero.QueueOrder(std::make_shared<VARD::COrder>(VARD::kOrderReturnToEntrance), false);
    engine->ExecuteTimedOrders();
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_EQ(DrainMessages(game), (Texts{"18 You cannot return while in battle."}));

    game.SetCombatFlag(0);
    hero.QueueOrder(std::make_shared<VARD::COrder>(VARD::kOrderReturnToEntrance), false);
    hero.QueueOrder(std::make_shared<VARD::CMoveOrder>(30.0, 30.0), false);
    hero.SetInterrupted(false);
    const std::uint32_t tick = game.GetTick();
    const std::int32_t walk = engine->GetReturnTicks("town", "gate");
    EXPECT_GT(walk, 0);
    engine->ExecuteTimedOrders();
    EXPECT_EQ(game.GetTick(), tick + static_cast<std::uint32_t>(walk));
    EXPECT_EQ(game.GetCurrentArea()->FindActorById(hero.Id()), &hero);
    EXPECT_LE(hero.DistanceTo(11 * 2.5 + 1.25, 15 * 2.5 + 1.25), 5.0);
    EXPECT_EQ(hero.GetFrontOrder(), nullptr);
    EXPECT_TRUE(hero.IsInterrupted());
    EXPECT_EQ(DrainMessages(game), (Texts{"18 The party returns to the area entrance."}));
}

TEST(ActorUpdateOrders, ActorUpdateAndPowerUpkeep)
{
    CFixture fixture(kRoom);
    VARD::CGame& game = fixture.Game();
    VARD::CActor& hero = fixture.PlaceHero(6.25, 6.25);
    game.SetTick(1000);

    // An interrupted actor loses its engagement once.
    auto fighter = fixture.AddActor(15.0, 10.0);
    fighter->SetActivityState(VARD::kActivityEngaged);
    fighter->SetNextActionTick(5000);
    fighter->SetCurrentTarget(game.GetTick(), &hero);
    fighter->SetInterrupted(true);
    fixture.Step();
    EXPECT_FALSE(fighter->IsInterrupted());
    EXPECT_EQ(fighter->GetActivityState(), VARD::kActivityIdle);
    EXPECT_EQ(fighter->GetCurrentTarget(), nullptr);

    // A maintained power costs its energy again every 300 ticks.
    const VARD::CSpell& cry = *fixture.engine->Module().FindSpell("s_battle-cry");
    hero.SetBaseAttribute(3, 20);
    hero.RestoreFully();
    ASSERT_TRUE(hero.ActivatePower(cry, game.GetTick()));
    const std::int32_t cost = cry.GetEnergyCost();
    ASSERT_GT(cost, 0);
    const std::int32_t spent = hero.GetEnergySpent();
    game.SetTick(hero.GetPowerEndTick() - 2);
    Events(game);
    fixture.Step();
    EXPECT_EQ(Events(game), Texts{});
    fixture.Step();
    EXPECT_EQ(hero.GetEnergySpent(), spent + cost);
    EXPECT_EQ(hero.GetPowerEndTick(), game.GetTick() + 300);
    EXPECT_EQ(Events(game), Texts{"8"});

    // Without the energy the power ends, and the member is told.
    hero.SetEnergySpent(hero.GetMaxEnergyPoints() - cost + 1);
    game.SetTick(hero.GetPowerEndTick() - 1);
    fixture.Step();
    EXPECT_EQ(hero.GetPower(), nullptr);
    EXPECT_EQ(Events(game),
              (Texts{"12", "18 Hero doesn't have enough energy to maintain power.", "8"}));
    fixture.Step();
    EXPECT_EQ(Events(game), Texts{});
}

} // namespace
