// What the AI behaviours decide: the targets they choose and the orders they
// queue, on a field of grass with monsters of the demo.

#include "ai_test_util.h"

#include "world/ai.h"
#include "world/brain.h"
#include "world/modifier.h"
#include "world/spell.h"
#include "world/tile.h"

#include <gtest/gtest.h>

namespace
{

using AITest::FrontTarget;
using AITest::NewArena;
using AITest::Types;
using VARD::CActor;
using VARD::CAI;

CActor* Find(AITest::Arena& arena, CActor& seeker, std::uint32_t flags,
             const VARD::CSpell* spell = nullptr, double range = 0.0)
{
    return CAI::FindTarget(*arena.engine, seeker, flags, spell, range);
}

std::uint32_t TileIdUnder(const AITest::Arena& arena, const CActor& actor)
{
    return arena.area
        ->GetTile(static_cast<std::uint32_t>(actor.GetX() / 2.5),
                  static_cast<std::uint32_t>(actor.GetY() / 2.5))
        ->Id();
}

const std::string& CastSpell(const CActor& actor)
{
    return dynamic_cast<const VARD::CCastOrder&>(*actor.GetFrontOrder()).GetSpell();
}

TEST(AIFindTarget, SidesSightSpellcastersAndTies)
{
    auto arena = NewArena(3);
    CActor& hero = arena.Hero();
    hero.SetClass(0);
    hero.SetPosition(110.0, 100.0);
    const auto orc = arena.Spawn("orc_warrior", 100.0, 100.0);
    const auto caster = arena.Spawn("priest", 130.0, 100.0);
    caster->SetAttitude(VARD::kAttitudeParty);
    ASSERT_EQ(caster->GetClass(), 2u);

    // The fighter 10 away is nearest; preferring casters, the one 30 away
    // counts 5; moved to 20 away it counts 0.01.
    EXPECT_EQ(Find(arena, *orc, 1), &hero);
    EXPECT_EQ(Find(arena, *orc, 1 | 4), caster.get());
    caster->SetPosition(120.0, 100.0);
    EXPECT_EQ(Find(arena, *orc, 1 | 4), caster.get());
    // Within range only: 15 units reach neither 20 away, 10 away is fine.
    EXPECT_EQ(Find(arena, *orc, 1 | 2, nullptr, 15.0), &hero);
    EXPECT_EQ(Find(arena, *orc, 1 | 2, nullptr, 5.0), nullptr);

    // Two foes at the same distance: the later one in the list.
    caster->SetClass(0);
    caster->SetPosition(90.0, 100.0);
    EXPECT_EQ(Find(arena, *orc, 1), caster.get());

    // Friends of a hostile actor are hostile; a neutral one has none and
    // fights only the berserk.
    EXPECT_EQ(Find(arena, *orc, 0), nullptr);
    const auto mate = arena.Spawn("orc_warrior", 140.0, 100.0);
    EXPECT_EQ(Find(arena, *orc, 0), mate.get());
    const auto wolf = arena.Spawn("wolf", 100.0, 120.0);
    EXPECT_EQ(Find(arena, *wolf, 1), nullptr);
    EXPECT_EQ(Find(arena, *wolf, 0), nullptr);
    const auto ogre = arena.Spawn("ogre", 180.0, 180.0);
    EXPECT_EQ(Find(arena, *wolf, 1), ogre.get());
    EXPECT_EQ(Find(arena, *ogre, 1), mate.get());

    // A sneaking member is hidden from the other side, not from its own.
    caster->SetPosition(100.0, 130.0);
    ASSERT_TRUE(hero.ActivatePower(*arena.engine->Module().FindSpell(VARD::kSneakPowerKey), 1));
    EXPECT_EQ(Find(arena, *orc, 1), caster.get());
    EXPECT_EQ(Find(arena, *caster, 0), &hero);

    // A spell skips those it cannot affect: weakness spares the undead.
    const auto skeleton = arena.Spawn("skeleton", 95.0, 100.0);
    skeleton->SetAttitude(VARD::kAttitudeFriendly);
    const VARD::CSpell* weakness = arena.engine->Module().FindSpell("weakness");
    EXPECT_EQ(Find(arena, *orc, 1), skeleton.get());
    EXPECT_EQ(Find(arena, *orc, 1, weakness), caster.get());
}

TEST(AIShoot, AimsAtTheNearestFoeInSightWithinReach)
{
    // A tree at cell (9, 10) stands between the archer and the hero.
    std::vector<std::string> trees(11);
    trees[10] = "         #";
    auto arena = NewArena(5, 40, 40, trees);
    CActor& hero = arena.Hero();
    const auto archer = arena.Spawn("orc_archer", 13.75, 26.25);
    archer->SetAttitude(VARD::kAttitudeHostile);
    hero.SetPosition(33.75, 26.25);
    const auto friendMember = arena.Spawn("priest", 13.75, 56.25);
    friendMember->SetAttitude(VARD::kAttitudeParty);
    auto& shoot = *archer->GetBrain()->GetRousedAI();
    ASSERT_NE(dynamic_cast<VARD::CAIShoot*>(&shoot), nullptr);

    // The hero is nearer, but the tree hides him.
    shoot.Think(*arena.engine, *archer);
    ASSERT_EQ(Types(archer->GetOrders()), std::vector<std::int32_t>{VARD::kOrderAttack});
    EXPECT_EQ(FrontTarget(*archer), friendMember->Id());

    // Every tick the order is made anew, on whoever is best now.
    friendMember->SetPosition(13.75, 126.25);
    shoot.Think(*arena.engine, *archer);
    EXPECT_TRUE(archer->GetOrders().empty());
    hero.SetPosition(13.75, 46.25);
    shoot.Think(*arena.engine, *archer);
    ASSERT_EQ(archer->GetOrders().size(), 1u);
    EXPECT_EQ(FrontTarget(*archer), hero.Id());

    // Engaged, it keeps its order; alarmed or alerted, it drops it and waits.
    archer->SetActivityState(VARD::kActivityEngaged);
    const auto order = archer->GetFrontOrder();
    shoot.Think(*arena.engine, *archer);
    EXPECT_EQ(archer->GetFrontOrder(), order);
    archer->SetActivityState(VARD::kActivityAlerted);
    shoot.Think(*arena.engine, *archer);
    EXPECT_TRUE(archer->GetOrders().empty());
}

TEST(AIWander, StrollsAboutItsHomeAndStaysOnTheGrid)
{
    auto arena = NewArena(7, 12, 12);
    const auto wolf = arena.Spawn("wolf", 4.0, 3.0);
    auto& wander = dynamic_cast<VARD::CAIWander&>(*wolf->GetBrain()->GetCalmAI());
    ASSERT_EQ(wander.GetRadius(), 12.0);
    int moves = 0;
    for (int tick = 0; tick < 9000; ++tick)
    {
        wander.Think(*arena.engine, *wolf);
        const auto order = wolf->GetFrontOrder();
        if (!order)
            continue;
        const auto& move = dynamic_cast<const VARD::CMoveOrder&>(*order);
        ASSERT_EQ(wolf->GetOrders().size(), 1u);
        // Home stays where it first was, though the wolf is moved about.
        EXPECT_EQ(wander.GetHomeX(), 4.0);
        EXPECT_EQ(wander.GetHomeY(), 3.0);
        EXPECT_GE(move.GetX(), 0.0);
        EXPECT_LE(move.GetX(), 16.0);
        EXPECT_GE(move.GetY(), 0.0);
        EXPECT_LE(move.GetY(), 15.0);
        EXPECT_TRUE(arena.area->IsPositionFree(wolf.get(), move.GetX(), move.GetY(), nullptr));
        wolf->SetPosition(move.GetX(), move.GetY());
        wolf->ClearOrders();
        ++moves;
    }
    // About one step in 150 moves it.
    EXPECT_GT(moves, 30);
    EXPECT_LT(moves, 90);
}

TEST(AICharge, AttacksTheNearestAndReconsidersOnlyWhenFree)
{
    auto arena = NewArena(11);
    CActor& hero = arena.Hero();
    const auto rat = arena.Spawn("giant_rat", 60.0, 50.0);
    // Roused, as it is once the party comes near.
    rat->SetAttitude(VARD::kAttitudeHostile);
    auto& charge = *rat->GetBrain()->GetRousedAI();
    charge.Think(*arena.engine, *rat);
    ASSERT_EQ(Types(rat->GetOrders()), std::vector<std::int32_t>{VARD::kOrderAttack});
    EXPECT_EQ(FrontTarget(*rat), hero.Id());

    // Engaged: the order stays, whatever the draws.
    rat->SetActivityState(VARD::kActivityEngaged);
    const auto order = rat->GetFrontOrder();
    for (int i = 0; i < 3000; ++i)
        charge.Think(*arena.engine, *rat);
    EXPECT_EQ(rat->GetFrontOrder(), order);
    EXPECT_EQ(rat->GetOrders().size(), 1u);

    // Free, it drops its order now and then and takes it up again.
    rat->SetActivityState(VARD::kActivityIdle);
    int dropped = 0;
    for (int i = 0; i < 3000; ++i)
    {
        charge.Think(*arena.engine, *rat);
        dropped += rat->GetOrders().empty() ? 1 : 0;
    }
    EXPECT_GT(dropped, 5);
    EXPECT_LT(dropped, 60);

    // Alarmed: it stops.
    rat->SetActivityState(VARD::kActivityAlarmed);
    if (!rat->GetFrontOrder())
        charge.Think(*arena.engine, *rat);
    charge.Think(*arena.engine, *rat);
    EXPECT_TRUE(rat->GetOrders().empty());
    charge.Think(*arena.engine, *rat);
    EXPECT_TRUE(rat->GetOrders().empty());
}

TEST(AIStand, StartsSneakingOnceAndAgainWhenItEnds)
{
    auto arena = NewArena(13);
    const auto bandit = arena.Spawn("bandit", 90.0, 90.0);
    auto& stand = *bandit->GetBrain()->GetCalmAI();
    bandit->StopPower();
    stand.Think(*arena.engine, *bandit);
    const auto queued = bandit->GetInstantOrders();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(dynamic_cast<const VARD::CPowerOrder&>(*queued.front()).GetPower(), "s_power-sneak");
    EXPECT_TRUE(bandit->GetOrders().empty());

    bandit->InterruptOrders();
    // In a fight the power would be refused: the lurker waits it out.
    arena.Game().SetCombatFlag(1);
    stand.Think(*arena.engine, *bandit);
    EXPECT_TRUE(bandit->GetInstantOrders().empty());
    arena.Game().SetCombatFlag(0);
    ASSERT_TRUE(bandit->ActivatePower(*bandit->GetSpells().front(), 1));
    stand.Think(*arena.engine, *bandit);
    EXPECT_TRUE(bandit->GetInstantOrders().empty());

    // Plain standing, or sneaking without the skill, does nothing.
    bandit->StopPower();
    VARD::CAIStand plain(0);
    plain.Think(*arena.engine, *bandit);
    EXPECT_TRUE(bandit->GetInstantOrders().empty());
    bandit->Skills().erase(VARD::kSkillSneak);
    stand.Think(*arena.engine, *bandit);
    EXPECT_TRUE(bandit->GetInstantOrders().empty());
}

TEST(AIForceTalk, WalksUpToTheVisiblePartyUntilATagIsSet)
{
    auto arena = NewArena(17);
    CActor& hero = arena.Hero();
    const auto priest = arena.Spawn("priest", 50.0, 65.0);
    auto& talk = *priest->GetBrain()->GetRousedAI();

    // 15 away, within 20: it walks up to talk, once.
    talk.Think(*arena.engine, *priest);
    ASSERT_EQ(Types(priest->GetOrders()), std::vector<std::int32_t>{VARD::kOrderMoveTalk});
    EXPECT_EQ(FrontTarget(*priest), hero.Id());
    talk.Think(*arena.engine, *priest);
    EXPECT_EQ(priest->GetOrders().size(), 1u);

    const auto tryAgain = [&]
    {
        priest->InterruptOrders();
        talk.Think(*arena.engine, *priest);
        return priest->GetOrders().size();
    };
    // Out of range, outside the party's sight, sneaking: nothing.
    priest->SetPosition(50.0, 75.0);
    EXPECT_EQ(tryAgain(), 0u);
    priest->SetPosition(50.0, 65.0);
    arena.area->SightGrid().Clear();
    EXPECT_EQ(tryAgain(), 0u);
    arena.area->SightGrid().Mark(20, 26);
    EXPECT_EQ(tryAgain(), 1u);
    ASSERT_TRUE(hero.ActivatePower(*arena.engine->Module().FindSpell(VARD::kSneakPowerKey), 1));
    EXPECT_EQ(tryAgain(), 0u);
    hero.StopPower();
    // A friendly actor found first is not talked to.
    const auto merchant = arena.Spawn("merchant", 50.0, 60.0);
    arena.area->RemoveActor(&hero);
    EXPECT_EQ(tryAgain(), 0u);
    arena.area->RemoveActor(merchant.get());
    arena.area->AddActor(arena.Game().Party().at(0));
    EXPECT_EQ(tryAgain(), 1u);
    // Either tag set, even to another value than 1, ends it.
    arena.Game().SetQuestTag("temple_key_returned", 2);
    EXPECT_EQ(tryAgain(), 0u);
}

TEST(AICast, CastsItsSequenceThenFallsBackUntilAnHourHasPassed)
{
    auto arena = NewArena(19);
    CActor& hero = arena.Hero();
    const auto necromancer = arena.Spawn("necromancer", 60.0, 50.0);
    necromancer->SetAttitude(VARD::kAttitudeHostile);
    necromancer->SetActivityState(VARD::kActivityEngaged);
    auto& cast = dynamic_cast<VARD::CAICast&>(*necromancer->GetBrain()->GetRousedAI());
    VARD::CGame& game = arena.Game();
    game.SetTick(1000);

    std::vector<std::pair<std::string, std::uint32_t>> casts;
    for (int step = 0; step < 3; ++step)
    {
        cast.Think(*arena.engine, *necromancer);
        // A queued order holds the sequence.
        cast.Think(*arena.engine, *necromancer);
        ASSERT_EQ(Types(necromancer->GetOrders()), std::vector<std::int32_t>{VARD::kOrderCast});
        casts.emplace_back(CastSpell(*necromancer), FrontTarget(*necromancer));
        necromancer->InterruptOrders();
        game.SetTick(game.GetTick() + 1);
    }
    const std::uint32_t tile = TileIdUnder(arena, hero);
    EXPECT_EQ(casts, (std::vector<std::pair<std::string, std::uint32_t>>{
                         {"stoneskin", 0}, {"summon_skeleton", tile}, {"fireball", tile}}));
    EXPECT_EQ(cast.GetPosition(), 3u);
    EXPECT_EQ(cast.GetLastCastTick(), 1002u);

    // Then the fallback charges, preferring casters, for a whole hour.
    game.SetTick(1002 + 108000);
    cast.Think(*arena.engine, *necromancer);
    EXPECT_EQ(Types(necromancer->GetOrders()), std::vector<std::int32_t>{VARD::kOrderAttack});
    necromancer->InterruptOrders();
    game.SetTick(1003 + 108000);
    cast.Think(*arena.engine, *necromancer);
    EXPECT_EQ(CastSpell(*necromancer), "stoneskin");
    EXPECT_EQ(cast.GetPosition(), 1u);

    // A name the module lacks halts the sequence where it stands.
    VARD::CAICast halted({"no_such_spell", "stoneskin"}, std::make_shared<VARD::CAICharge>(0));
    necromancer->InterruptOrders();
    halted.Think(*arena.engine, *necromancer);
    halted.Think(*arena.engine, *necromancer);
    EXPECT_TRUE(necromancer->GetOrders().empty());
    EXPECT_EQ(halted.GetPosition(), 0u);
}

TEST(AIAutocast, SortsItsSpellsAndPicksByCategoryWithCooldowns)
{
    auto arena = NewArena(23);
    CActor& hero = arena.Hero();
    const auto cultist = arena.Spawn("cultist", 60.0, 50.0);
    cultist->SetActivityState(VARD::kActivityEngaged);
    auto& autocast = dynamic_cast<VARD::CAIAutocast&>(*cultist->GetBrain()->GetRousedAI());
    VARD::CGame& game = arena.Game();
    game.SetTick(500);

    const auto next = [&]
    {
        cultist->InterruptOrders();
        autocast.Think(*arena.engine, *cultist);
        EXPECT_LE(cultist->GetOrders().size(), 1u);
        return cultist->GetFrontOrder();
    };
    auto order = next();
    ASSERT_TRUE(autocast.IsSorted());
    const auto names = [&](VARD::CAIBaseCast::SpellCategory category)
    {
        std::vector<std::string> keys;
        for (const auto* spell : autocast.GetSpellList(category))
            keys.push_back(spell->GetKey());
        return keys;
    };
    using List = std::vector<std::string>;
    EXPECT_EQ(names(VARD::CAIBaseCast::kSummonSpells), List{"summon_skeleton"});
    EXPECT_EQ(names(VARD::CAIBaseCast::kDamageSpells), List{"fire_bolt"});
    EXPECT_EQ(names(VARD::CAIBaseCast::kHinderSpells), (List{"weakness", "hold"}));
    EXPECT_EQ(names(VARD::CAIBaseCast::kAidSpells), (List{"bless", "stoneskin"}));
    EXPECT_EQ(names(VARD::CAIBaseCast::kHealSpells), List{"heal"});

    // Summon first, at the foe's cell, then a cool-down of 1..1200 ticks.
    ASSERT_TRUE(order);
    EXPECT_EQ(CastSpell(*cultist), "summon_skeleton");
    EXPECT_EQ(FrontTarget(*cultist), TileIdUnder(arena, hero));
    EXPECT_GT(autocast.GetNextSummonTick(), 500u);
    EXPECT_LE(autocast.GetNextSummonTick(), 1700u);

    // Then a curse on the foe.
    order = next();
    ASSERT_TRUE(order);
    EXPECT_TRUE(CastSpell(*cultist) == "weakness" || CastSpell(*cultist) == "hold");
    EXPECT_EQ(FrontTarget(*cultist), hero.Id());
    EXPECT_GT(autocast.GetNextHinderTick(), 500u);

    // Both waiting, and no friend to bless or heal: the bolt.
    order = next();
    ASSERT_TRUE(order);
    EXPECT_EQ(CastSpell(*cultist), "fire_bolt");
    EXPECT_EQ(FrontTarget(*cultist), hero.Id());

    // With no foe about, a friend is blessed once (the blessing it carries
    // is not cast again), and healed when hurt.
    const auto mate = arena.Spawn("orc_warrior", 70.0, 50.0);
    const auto heroShared = arena.area->RemoveActor(&hero);
    // Stoneskin, the other blessing, acts on the caster only and is passed
    // over, so a few tries may pass before the draw picks the blessing.
    order.reset();
    for (int tries = 0; tries < 20 && !order; ++tries)
        order = next();
    ASSERT_TRUE(order);
    EXPECT_EQ(CastSpell(*cultist), "bless");
    EXPECT_EQ(FrontTarget(*cultist), mate->Id());
    const VARD::CSpell* bless = arena.engine->Module().FindSpell("bless");
    mate->AddModifier(std::make_shared<VARD::CModifier>(
        "Bless", 0, VARD::kModAttackBonus, 2, static_cast<std::uint32_t>(bless->GetSaveKind()), 1,
        true));
    game.SetTick(autocast.GetNextAidTick() + 1);
    order = next();
    EXPECT_FALSE(order);
    mate->SetDamageTaken(mate->GetMaxHitPoints() - mate->GetMaxHitPoints() / 2);
    order = next();
    ASSERT_TRUE(order);
    EXPECT_EQ(CastSpell(*cultist), "heal");
    EXPECT_EQ(FrontTarget(*cultist), mate->Id());

    // Alarmed: the orders go.
    cultist->SetActivityState(VARD::kActivityAlarmed);
    autocast.Think(*arena.engine, *cultist);
    EXPECT_TRUE(cultist->GetOrders().empty());

    // Healing only, and no healing spell: it attacks the nearest foe.
    VARD::CAIAutocast healer(VARD::CAIAutocast::kFlagHeal);
    arena.area->AddActor(heroShared);
    cultist->SetActivityState(VARD::kActivityEngaged);
    cultist->Spells().clear();
    healer.Think(*arena.engine, *cultist);
    ASSERT_EQ(Types(cultist->GetOrders()), std::vector<std::int32_t>{VARD::kOrderAttack});
    EXPECT_EQ(FrontTarget(*cultist), hero.Id());
}

TEST(AIAutocast, ReachesForAnEnergyPotionWhenSpent)
{
    auto arena = NewArena(29);
    const auto cultist = arena.Spawn("cultist", 60.0, 50.0);
    cultist->SetEnergySpent(cultist->GetMaxEnergyPoints());
    VARD::CAIAutocast bolts(VARD::CAIAutocast::kFlagDamage);
    bolts.SortSpells(*cultist);
    const VARD::CSpell& bolt = *bolts.GetSpellList(VARD::CAIBaseCast::kDamageSpells).at(0);

    // No potion: nothing queued, and it never looks again.
    EXPECT_FALSE(bolts.CastAtActor(*arena.engine, *cultist, bolt));
    EXPECT_TRUE(bolts.HasNoPotion());

    VARD::CAIAutocast again(VARD::CAIAutocast::kFlagDamage);
    const auto& module = arena.engine->Module();
    VARD::CGame& game = arena.Game();
    cultist->AddBackpackItem(
        module.CreateItem("i_potion-refresh", 1, game.NewThingId(VARD::kThingKindItem), 0));
    const auto potion =
        module.CreateItem("i_potion-refresh", 1, game.NewThingId(VARD::kThingKindItem), 0);
    cultist->AddBackpackItem(potion);
    EXPECT_TRUE(again.CastAtActor(*arena.engine, *cultist, bolt));
    ASSERT_EQ(Types(cultist->GetOrders()), std::vector<std::int32_t>{VARD::kOrderUse});
    const auto& use = dynamic_cast<const VARD::CUseOrder&>(*cultist->GetFrontOrder());
    EXPECT_EQ(use.GetUseKind(), VARD::kUseItem);
    // Of equal potions the later one; the item field holds it.
    EXPECT_EQ(use.GetItemId(), potion->Id());
    EXPECT_EQ(use.GetTargetId(), cultist->Id());

    // Without recoveries left it does without.
    cultist->InterruptOrders();
    cultist->SetFurtherCounter(cultist->GetAttribute(2) / 2);
    EXPECT_FALSE(again.CastAtActor(*arena.engine, *cultist, bolt));
    EXPECT_TRUE(cultist->GetOrders().empty());
}

} // namespace
