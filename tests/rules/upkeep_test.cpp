// The per-tick upkeep: alerts, deaths and the wipe-out, traps, ambience,
// created items and stealth.

#include "ai_test_util.h"

#include "world/brain.h"
#include "world/effect.h"
#include "world/modifier.h"
#include "world/object.h"
#include "world/spell.h"
#include "world/trap.h"
#include "world/world_object.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

using AITest::NewArena;
using RulesTest::DrainMessages;
using VARD::CActor;

constexpr std::uint32_t kModTraps = VARD::kModSpecialStatFirst << 1;

// Replaces the actor's test modifier of the mask by one that brings a rating (a
// function of the actor) to the wanted value.
template <typename Rating>
void SetRating(CActor& actor, std::uint32_t mask, std::int32_t wanted, Rating rating)
{
    for (const auto& modifier : VARD::ModifierList(actor.GetModifiers()))
        if (modifier->GetName() == "test" && modifier->GetMask() == mask)
            actor.RemoveModifier(modifier.get());
    const std::int32_t current = rating(actor);
    actor.AddModifier(std::make_shared<VARD::CModifier>("test", 0, mask, wanted - current,
                                                        VARD::kStackingItem, 1, true));
}

std::int32_t TrapSkill(const CActor& actor)
{
    return actor.GetSkillTotal(65) + actor.GetModifierTotal(kModTraps);
}

std::int32_t Observation(const CActor& actor)
{
    return actor.GetSkillTotal(68) + actor.GetModifierTotal(VARD::kModObservation);
}

std::shared_ptr<VARD::CObject> Place(AITest::Arena& arena, const std::string& definition, double x,
                                     double y)
{
    auto object = std::make_shared<VARD::CObject>(
        arena.area, arena.Game().NewThingId(VARD::kThingKindObject), definition,
        *arena.engine->Module().FindObjectTemplate(definition));
    object->SetPosition(x, y);
    arena.area->AddObject(object);
    return object;
}

bool Holds(const VARD::CArea& area, const VARD::CObject& object)
{
    return area.FindObjectById(object.Id()) != nullptr;
}

TEST(UpkeepAlerts, ChainOfThreeRousedDepthFirstInOneTick)
{
    auto arena = NewArena(43);
    // Only the first wolf sees the hero (60 away, sight 70); each of the
    // others hears only the one before it (75 apart, alerts reach 80).
    const auto first = arena.Spawn("wolf", 50.0, 110.0);
    const auto second = arena.Spawn("wolf", 50.0, 185.0);
    const auto third = arena.Spawn("wolf", 125.0, 185.0);
    // A bandit in earshot listens for other calls; a guard is friendly.
    const auto bandit = arena.Spawn("bandit", 110.0, 110.0);
    const auto guard = arena.Spawn("town_guard", 60.0, 120.0);
    arena.engine->Tick();
    for (const auto& wolf : {first, second, third})
    {
        EXPECT_EQ(wolf->GetAttitude(), VARD::kAttitudeHostile);
        EXPECT_TRUE(wolf->GetBrain()->GetPendingAlerts().empty());
    }
    EXPECT_EQ(bandit->GetAttitude(), VARD::kAttitudeNeutral);
    EXPECT_EQ(guard->GetAttitude(), VARD::kAttitudeFriendly);
    // The same tick's brain step already runs the roused behaviour.
    EXPECT_FALSE(first->GetOrders().empty() && second->GetOrders().empty() &&
                 third->GetOrders().empty());
    for (const auto& wolf : {first, second, third})
        for (const auto& order : wolf->GetOrders())
            EXPECT_EQ(order->GetType(), VARD::kOrderAttack);

    // An attack provokes a farmer, who calls the town: the other farmer
    // comes, the guard (friendly) is not roused by it.
    const auto struck = arena.Spawn("farmer", 150.0, 50.0);
    const auto neighbour = arena.Spawn("farmer", 190.0, 50.0);
    const auto far = arena.Spawn("farmer", 150.0, 140.0);
    // Exactly as far as alerts reach hears it; a little farther does not.
    const auto edge = arena.Spawn("farmer", 70.0, 50.0);
    const auto past = arena.Spawn("farmer", 150.0, 130.5);
    arena.engine->AlertOnAttack(*struck);
    EXPECT_EQ(struck->GetAttitude(), VARD::kAttitudeHostile);
    EXPECT_EQ(neighbour->GetAttitude(), VARD::kAttitudeHostile);
    EXPECT_EQ(edge->GetAttitude(), VARD::kAttitudeHostile);
    EXPECT_EQ(far->GetAttitude(), VARD::kAttitudeNeutral);
    EXPECT_EQ(past->GetAttitude(), VARD::kAttitudeNeutral);
    // A hostile actor is not provoked again.
    arena.engine->AlertOnAttack(*struck);
    EXPECT_TRUE(struck->GetBrain()->GetPendingAlerts().empty());
}

TEST(UpkeepDeaths, LootKillTagsAndTheWipeOut)
{
    // Setting a tag runs the quests' scripts.
    AITest::CountingScripts scripts;
    auto arena = NewArena(47);
    VARD::CGame& game = arena.Game();
    CActor& hero = arena.Hero();
    game.SetResurrection("town", "temple");
    game.SetTick(100);
    DrainMessages(game);

    // A monster of an encounter dies: its belongings make one pile, its
    // encounter's tag is set.
    const auto orc = arena.Spawn("orc_warrior", 80.0, 80.0, "orc_camp");
    const std::size_t carried = orc->Backpack().size();
    ASSERT_GT(carried, 0u);
    orc->SetActivityState(VARD::kActivityDead);
    // A summoned one whose time is up goes without loot or tag.
    const auto skeleton = arena.Spawn("skeleton", 90.0, 80.0, "restless_dead");
    skeleton->SetSummonExpiryTick(100);
    arena.engine->ProcessDeaths();
    EXPECT_EQ(arena.area->FindActorById(orc->Id()), nullptr);
    EXPECT_EQ(arena.area->FindActorById(skeleton->Id()), nullptr);
    ASSERT_EQ(arena.area->Objects().size(), 1u);
    const auto& pile = *arena.area->Objects().front();
    EXPECT_TRUE(pile.IsPile());
    EXPECT_EQ(pile.GetX(), 80.0);
    EXPECT_EQ(pile.GetItems().size(), carried);
    EXPECT_EQ(game.GetQuestTag("orc_camp"), 1);
    EXPECT_EQ(game.GetQuestTag("restless_dead"), 0);
    EXPECT_EQ(DrainMessages(game), std::vector<std::string>{"18 Skeleton is unsummoned."});
    EXPECT_EQ(game.GetState(), VARD::kGameRunning);

    // A living summoned servant does not keep the party standing.
    const auto servant = arena.Spawn("skeleton", 55.0, 50.0);
    servant->SetSummonExpiryTick(5000);
    game.AddPartyMember(servant);
    // A member once raised is still listed outside the areas; it is not
    // listed twice.
    game.AddNonLocated(game.Party().at(0));
    hero.SetActivityState(VARD::kActivityDead);
    arena.engine->ProcessDeaths();
    EXPECT_EQ(DrainMessages(game),
              (std::vector<std::string>{"26 Hero has died!", "18 Your party has been wiped out!"}));
    EXPECT_EQ(game.GetState(), VARD::kGameRestNeeded);
    EXPECT_EQ(game.GetTravelArea(), "town");
    EXPECT_EQ(game.GetTravelEntry(), "temple");
    EXPECT_EQ(game.GetExitScript(), nullptr);
    EXPECT_EQ(std::count(game.NonLocated().begin(), game.NonLocated().end(), game.Party().at(0)),
              1);
    EXPECT_EQ(arena.area->FindActorById(hero.Id()), nullptr);
    // The party's dead leave no loot behind.
    EXPECT_EQ(arena.area->Objects().size(), 1u);
}

TEST(UpkeepTraps, SprungDisarmedAndReArmed)
{
    AITest::CountingScripts scripts;
    auto arena = NewArena(53);
    VARD::CGame& game = arena.Game();
    CActor& hero = arena.Hero();
    game.SetTick(200);
    DrainMessages(game);

    // T + 50 = 55 springs the chest: its fire bolt goes at the hero and,
    // never re-arming, the chest goes.
    SetRating(hero, kModTraps, 5, TrapSkill);
    const auto chest = Place(arena, "chest_trapped", 50.0, 50.0);
    arena.engine->UpdateTraps();
    EXPECT_EQ(DrainMessages(game),
              std::vector<std::string>{"18 Hero springs Iron-bound chest [Traps 50 +5 vs 55]."});
    EXPECT_FALSE(Holds(*arena.area, *chest));
    const auto effects = arena.area->GetEffects();
    ASSERT_EQ(effects.size(), 1u);
    const auto& bolt = dynamic_cast<const VARD::CEffectSpell&>(*effects.front());
    EXPECT_EQ(bolt.GetTargetId(), hero.Id());
    EXPECT_EQ(bolt.GetSourceName(), "Iron-bound chest");
    EXPECT_EQ(bolt.GetSpell(), arena.engine->Module().FindSpell("fire_bolt"));
    EXPECT_EQ(bolt.GetCastingBonus(), 3);
    EXPECT_EQ(bolt.GetPartyFlag(), 0);
    EXPECT_EQ(bolt.GetPenetrationSkill(), 83);
    EXPECT_EQ(bolt.GetSpeed(), 75.0);
    EXPECT_EQ(bolt.GetX(), 50.0);
    EXPECT_TRUE(scripts.Runs().empty());

    // One more point disarms; of two chests in reach only the first goes in
    // this tick.
    SetRating(hero, kModTraps, 6, TrapSkill);
    const auto firstChest = Place(arena, "chest_trapped", 50.5, 50.0);
    const auto secondChest = Place(arena, "chest_trapped", 49.5, 50.0);
    arena.engine->UpdateTraps();
    EXPECT_EQ(DrainMessages(game),
              std::vector<std::string>{"2 Hero disarms Iron-bound chest [Traps 50 +6 vs 55]."});
    EXPECT_FALSE(Holds(*arena.area, *firstChest));
    EXPECT_TRUE(Holds(*arena.area, *secondChest));
    arena.engine->UpdateTraps();
    EXPECT_FALSE(Holds(*arena.area, *secondChest));
    EXPECT_EQ(DrainMessages(game).size(), 1u);
    EXPECT_EQ(arena.area->GetEffects().size(), 1u);
    // A difficulty beyond the signed range is out of any member's reach.
    const auto hardChest = Place(arena, "chest_trapped", 50.0, 50.0);
    hardChest->GetTrap()->SetDifficulty(3000000000u);
    arena.engine->UpdateTraps();
    const auto hardMessages = DrainMessages(game);
    ASSERT_EQ(hardMessages.size(), 1u);
    EXPECT_EQ(hardMessages[0].rfind("18 Hero springs Iron-bound chest [Traps 50 +6 vs ", 0), 0u);
    EXPECT_EQ(arena.area->GetEffects().size(), 2u);

    // The plate (30, a script, 20 seconds) springs at T + 50 = 30, runs its
    // script and re-arms 600 ticks later; a second member on it in the
    // same tick finds it spent.
    SetRating(hero, kModTraps, -20, TrapSkill);
    const auto plate = Place(arena, "plate", 50.0, 50.0);
    const auto other = arena.Spawn("farmer", 51.0, 50.0);
    other->SetAttitude(VARD::kAttitudeParty);
    SetRating(*other, kModTraps, -25, TrapSkill);
    arena.engine->UpdateTraps();
    ASSERT_EQ(scripts.Runs().size(), 1u);
    EXPECT_EQ(scripts.Runs()[0].actor, &hero);
    EXPECT_NE(scripts.Runs()[0].source.find("bell rings"), std::string::npos);
    EXPECT_EQ(DrainMessages(game), std::vector<std::string>{});
    EXPECT_EQ(plate->GetTrap()->GetRearmTick(), 800u);
    EXPECT_TRUE(plate->GetTrap()->GetFlag());
    game.SetTick(799);
    arena.engine->UpdateTraps();
    EXPECT_EQ(scripts.Runs().size(), 1u);
    game.SetTick(800);
    arena.engine->UpdateTraps();
    EXPECT_EQ(scripts.Runs().size(), 2u);
    EXPECT_TRUE(Holds(*arena.area, *plate));
    // The dead spring nothing; a member standing off the plate neither.
    hero.SetActivityState(VARD::kActivityDead);
    other->SetPosition(54.0, 50.0);
    game.SetTick(2000);
    arena.engine->UpdateTraps();
    EXPECT_EQ(scripts.Runs().size(), 2u);
    other->SetPosition(51.9, 50.0);
    arena.engine->UpdateTraps();
    ASSERT_EQ(scripts.Runs().size(), 3u);
    EXPECT_EQ(scripts.Runs()[2].actor, other.get());
}

TEST(UpkeepStealth, SpottedWithinTheObserversReach)
{
    auto arena = NewArena(59);
    VARD::CGame& game = arena.Game();
    CActor& hero = arena.Hero();
    const VARD::CSpell& sneak = *arena.engine->Module().FindSpell(VARD::kSneakPowerKey);
    ASSERT_TRUE(hero.ActivatePower(sneak, 1));
    const std::int32_t hider = hero.GetSkillTotal(67) + hero.GetModifierTotal(VARD::kModStealth);
    const auto orc = arena.Spawn("orc_warrior", 81.0, 50.0);
    SetRating(*orc, VARD::kModObservation, hider - 10, Observation);
    DrainMessages(game);

    // 31 away the orc gains 9 from closeness, 30 away 10: enough.
    arena.engine->UpdateStealth();
    EXPECT_TRUE(hero.IsSneaking());
    EXPECT_EQ(arena.engine->IsSpotted(hero), nullptr);
    orc->SetPosition(80.0, 50.0);
    EXPECT_EQ(arena.engine->IsSpotted(hero), orc.get());
    arena.engine->UpdateStealth();
    EXPECT_FALSE(hero.IsSneaking());
    EXPECT_EQ(hero.GetPowerModifier(), nullptr);
    const auto events = arena.Game().GetEvents();
    EXPECT_EQ(DrainMessages(game), std::vector<std::string>{"18 Hero is spotted."});
    ASSERT_EQ(events.size(), 2u);
    const auto* info = dynamic_cast<const VARD::CActorInfoEvent*>(events.back().get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetKind(), VARD::kEventActorSneakStopped);
    EXPECT_EQ(info->GetActorId(), hero.Id());

    // Beyond 150 no one is ever spotted; an actor of the same side never
    // looks; a sneaking monster is spotted without a message.
    ASSERT_TRUE(hero.ActivatePower(sneak, 2));
    SetRating(*orc, VARD::kModObservation, 1000, Observation);
    orc->SetPosition(201.0, 50.0);
    EXPECT_EQ(arena.engine->IsSpotted(hero), nullptr);
    const auto bandit = arena.Spawn("bandit", 60.0, 50.0);
    bandit->SetAttitude(VARD::kAttitudeHostile);
    ASSERT_TRUE(bandit->IsSneaking() || bandit->ActivatePower(sneak, 2));
    SetRating(hero, VARD::kModObservation, 1000, Observation);
    SetRating(hero, VARD::kModStealth, 1000,
              [](const CActor& actor)
              { return actor.GetSkillTotal(67) + actor.GetModifierTotal(VARD::kModStealth); });
    arena.engine->UpdateStealth();
    EXPECT_FALSE(bandit->IsSneaking());
    EXPECT_TRUE(hero.IsSneaking());
    EXPECT_TRUE(DrainMessages(game).empty());
}

TEST(UpkeepAmbience, HeartbeatsOutOfCombatOnSchedule)
{
    AITest::CountingScripts scripts;
    auto arena = NewArena(61);
    VARD::CGame& game = arena.Game();
    const auto baker = arena.Spawn("baker", 50.0, 160.0);
    game.SetTick(1000);
    game.SetNextAmbienceTick(1001);
    arena.engine->UpdateAmbience();
    EXPECT_EQ(game.GetNextAmbienceTick(), 1001u);

    // In combat only the schedule moves on.
    game.SetCombatFlag(1);
    for (int round = 0; round < 20; ++round)
    {
        game.SetTick(game.GetNextAmbienceTick());
        arena.engine->UpdateAmbience();
        EXPECT_GE(game.GetNextAmbienceTick(), game.GetTick() + 150);
        EXPECT_LE(game.GetNextAmbienceTick(), game.GetTick() + 449);
    }
    EXPECT_TRUE(scripts.Runs().empty());

    // Out of combat: the baker (110 away) chatters when the draw picks the
    // area's actors, the hero has no heartbeat; 125 away she is too far.
    game.SetCombatFlag(0);
    for (int round = 0; round < 40; ++round)
    {
        game.SetTick(game.GetNextAmbienceTick());
        arena.engine->UpdateAmbience();
    }
    EXPECT_GT(scripts.Runs().size(), 8u);
    EXPECT_LT(scripts.Runs().size(), 32u);
    for (const auto& run : scripts.Runs())
        EXPECT_EQ(run.actor, baker.get());
    const std::size_t before = scripts.Runs().size();
    baker->SetPosition(50.0, 175.0);
    for (int round = 0; round < 40; ++round)
    {
        game.SetTick(game.GetNextAmbienceTick());
        arena.engine->UpdateAmbience();
    }
    EXPECT_EQ(scripts.Runs().size(), before);
}

TEST(UpkeepCreatedItems, VanishOnTheSecondAfterTheirTime)
{
    auto arena = NewArena(67);
    VARD::CGame& game = arena.Game();
    CActor& hero = arena.Hero();
    const auto& module = arena.engine->Module();
    const auto make = [&](std::uint32_t expiry)
    { return module.CreateItem("dagger", 1, game.NewThingId(VARD::kThingKindItem), expiry); };
    hero.SetEquipmentSlot(0, make(45));
    hero.AddBackpackItem(make(60));
    const auto kept = make(0);
    hero.AddBackpackItem(kept);
    const auto orc = arena.Spawn("orc_warrior", 80.0, 80.0);
    const std::size_t orcItems = orc->Backpack().size();
    orc->AddBackpackItem(make(30));
    const auto chest = Place(arena, "chest", 100.0, 100.0);
    chest->AddItem(make(60));
    DrainMessages(game);

    game.SetTick(59);
    arena.engine->ExpireCreatedItems();
    EXPECT_TRUE(hero.GetEquipmentSlot(0) != nullptr);
    EXPECT_EQ(orc->Backpack().size(), orcItems + 1);

    game.SetTick(60);
    arena.engine->ExpireCreatedItems();
    EXPECT_EQ(hero.GetEquipmentSlot(0), nullptr);
    ASSERT_EQ(hero.Backpack().size(), 1u);
    EXPECT_EQ(hero.Backpack().front(), kept);
    EXPECT_EQ(orc->Backpack().size(), orcItems);
    EXPECT_TRUE(chest->GetItems().empty());
    const auto events = game.GetEvents();
    EXPECT_EQ(DrainMessages(game), (std::vector<std::string>{"18 Hero: Dagger is unsummoned.",
                                                             "18 Hero: Dagger is unsummoned."}));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ((*std::next(events.begin()))->GetKind(), VARD::kEventActorEquipment);
}

} // namespace
