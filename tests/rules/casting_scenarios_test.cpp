// Seeded casts: concentration, energy, the multitarget cap, teleports.

#include "attacks_test_util.h"

#include "common/random.h"
#include "test_util.h"
#include "world/rule_tables.h"
#include "world/spell_effect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace VARD;
using CombatTest::CArena;
using CombatTest::RollsOf;

namespace
{

void MakeCaster(CArena& arena)
{
    CActor& hero = arena.Hero();
    hero.SetClass(2);
    hero.SetLevel(3);
    hero.SetLevelBonus(0);
    for (std::uint32_t attribute = 0; attribute < 5; ++attribute)
        hero.SetBaseAttribute(attribute, 14);
    hero.SetHitPointBase(20);
    hero.SetActivityState(kActivityEngagedReady);
}

} // namespace

TEST(CastingConcentration, HurtCasterRollsInOrderAndPaysOnFailure)
{
    struct Case
    {
        const char* what;
        std::int64_t ticksSinceHurt; // from the end of the window
        bool defensive;
        bool expectRolls;
    };
    const Case cases[] = {
        {"hurt long ago", 1, false, false},
        {"hurt at the window's edge", 0, false, true},
        {"defensive roll fails, then the ordinary one", 0, true, true},
    };
    for (const Case& c : cases)
    {
        CArena arena(1);
        MakeCaster(arena);
        CActor& hero = arena.Hero();
        CActor& wolf = arena.Spawn("wolf", 20.0, 10.0);
        const CSpell& bolt = arena.Spell("fire_bolt");
        if (c.defensive)
            hero.Skills() = {63, 64};
        const std::int32_t bonus = hero.GetSpellAttackBonus(bolt);
        const std::int32_t window =
            static_cast<std::int32_t>(std::trunc((hero.GetActionTime(11) + 2.5) * 30.0));
        hero.SetLastDamage(500);
        hero.SetLastDamageSource(
            static_cast<std::uint32_t>(arena.Now() - window - c.ticksSinceHurt));

        // A seed whose rolls fail both checks (no 96 or more).
        std::uint32_t seed = 1;
        std::vector<int> rolls;
        for (;; ++seed)
        {
            rolls = RollsOf(seed, 2);
            if (rolls[0] < 96 && rolls[0] + bonus <= 2 * bolt.GetLevel() + 75 && rolls[1] < 96)
                break;
        }
        SeedRandom(seed);
        const std::int32_t energyBefore = hero.GetEnergySpent();
        EXPECT_TRUE(arena.Engine().CompleteCast(nullptr, &wolf, hero, bolt, true, wolf.GetX(),
                                                wolf.GetY()));
        const auto lines = arena.TakeLines();
        EXPECT_EQ(hero.GetEnergySpent(), energyBefore + bolt.GetEnergyCost()) << c.what;
        EXPECT_EQ(hero.GetActivityState(), kActivityAlarmed) << c.what;
        EXPECT_EQ(hero.GetAnimationId(), 13u) << c.what;
        if (!c.expectRolls)
        {
            EXPECT_EQ(lines, std::vector<std::string>{"1000 18 Hero casts Fire Bolt."}) << c.what;
            EXPECT_EQ(arena.Area().GetEffects().size(), 1u);
            continue;
        }
        // The defensive roll takes the first draw; the ordinary roll the next.
        const int ordinary = c.defensive ? rolls[1] : rolls[0];
        const int boosted = c.defensive ? bonus + 20 : bonus;
        EXPECT_EQ(lines,
                  std::vector<std::string>{
                      "1000 18 Hero was disrupted casting Fire Bolt " +
                      FormatRollVsTarget(boosted, ordinary, bolt.GetLevel() + 50 + 500) + "."})
            << c.what;
        EXPECT_TRUE(arena.Area().GetEffects().empty()) << c.what;
    }
}

TEST(CastingEnergy, ExactEnergySufficesAndTooLittleAbandons)
{
    CArena arena(3);
    MakeCaster(arena);
    CActor& hero = arena.Hero();
    CActor& wolf = arena.Spawn("wolf", 20.0, 10.0);
    const CSpell& bolt = arena.Spell("fire_bolt");
    hero.SetEnergySpent(hero.GetMaxEnergyPoints() - bolt.GetEnergyCost() + 1);
    // Starting: the message, and the cast is over.
    hero.SetActivityState(kActivityIdle);
    EXPECT_TRUE(arena.Engine().BeginCast(hero, bolt, true, &wolf, wolf.GetX(), wolf.GetY()));
    // Completing: abandoned without a word.
    hero.SetActivityState(kActivityEngagedReady);
    EXPECT_TRUE(
        arena.Engine().CompleteCast(nullptr, &wolf, hero, bolt, true, wolf.GetX(), wolf.GetY()));
    EXPECT_EQ(hero.GetActivityState(), kActivityIdle);
    EXPECT_EQ(arena.TakeLines(), std::vector<std::string>{
                                     "1000 18 Hero doesn't have enough energy to cast Fire Bolt."});

    hero.SetEnergySpent(hero.GetMaxEnergyPoints() - bolt.GetEnergyCost());
    EXPECT_FALSE(arena.Engine().BeginCast(hero, bolt, true, &wolf, wolf.GetX(), wolf.GetY()));
    EXPECT_EQ(hero.GetActivityState(), kActivityEngaged);
    EXPECT_EQ(hero.GetNextActionTick(), arena.Now() + 60);
    EXPECT_EQ(hero.GetAnimationId(), 9u);
    hero.SetActivityState(kActivityEngagedReady);
    EXPECT_TRUE(
        arena.Engine().CompleteCast(nullptr, &wolf, hero, bolt, true, wolf.GetX(), wolf.GetY()));
    EXPECT_EQ(hero.GetEnergyPoints(), 0);
    ASSERT_EQ(arena.Area().GetEffects().size(), 1u);
    const auto effect = std::dynamic_pointer_cast<CEffectSpell>(arena.Area().GetEffects()[0]);
    ASSERT_TRUE(effect);
    EXPECT_EQ(effect->GetTargetId(), wolf.Id());
    EXPECT_EQ(effect->GetPartyFlag(), 1);
    EXPECT_EQ(effect->GetCastingBonus(), hero.GetSpellAttackBonus(bolt));
    EXPECT_EQ(effect->GetSpeed(), 75.0);
    // Hostile: the combat flag is raised.
    EXPECT_EQ(arena.CGame().GetCombatFlag(), 1);
}

TEST(CastingTargets, MultitargetKeepsTheNearestEightAndTheLastOfATie)
{
    CArena arena(5);
    MakeCaster(arena);
    CActor& hero = arena.Hero();
    const CSpell& bless = arena.Spell("bless");
    ASSERT_TRUE(bless.HasFlag(kSpellFlagMultiTarget));
    ASSERT_FALSE(bless.IsHostile());
    CActor& primary = arena.Spawn("farmer", 13.0, 10.0, kAttitudeFriendly);
    const double distances[] = {5.0, 1.0, 4.0, 2.0, 4.5, 3.5, 2.5, 4.5, 1.5, 4.5};
    std::vector<CActor*> friends;
    for (const double d : distances)
        friends.push_back(&arena.Spawn("farmer", 10.0, 10.0 + d, kAttitudeFriendly));
    // Foes are no candidates of a friendly spell; nor is anyone out of range.
    arena.Spawn("wolf", 11.0, 10.0);
    arena.Spawn("farmer", 10.0 + bless.GetRange() + 5.0, 10.0, kAttitudeFriendly);

    std::vector<CThing*> targets{&primary};
    arena.Engine().CollectSpellTargets(hero, bless, targets);
    const std::vector<CThing*> expected{&primary,   &hero,      friends[1], friends[8], friends[3],
                                        friends[6], friends[5], friends[2], friends[9]};
    EXPECT_EQ(targets, expected);

    // Through the whole cast: one effect per target, the primary first.
    hero.SetActivityState(kActivityEngagedReady);
    arena.Engine().CompleteCast(nullptr, &primary, hero, bless, true, primary.GetX(),
                                primary.GetY());
    const auto effects = arena.Area().GetEffects();
    ASSERT_EQ(effects.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(effects[i]->GetTargetId(), expected[i]->Id()) << i;
    // Not hostile: no combat.
    EXPECT_EQ(arena.CGame().GetCombatFlag(), 0);
}

TEST(CastingItems, ScrollsAreUsedUpAndWandsBurnOut)
{
    CArena arena(9);
    CActor& hero = arena.Hero();
    MakeCaster(arena);
    CActor& wolf = arena.Spawn("wolf", 20.0, 10.0);
    const CSpell& bolt = arena.Spell("fire_bolt");
    auto scrolls = arena.NewItem("i_scroll-fire_bolt", 2);
    hero.AddBackpackItem(scrolls);
    for (int use = 0; use < 2; ++use)
        arena.Engine().CompleteCast(scrolls.get(), &wolf, hero, bolt, false, wolf.GetX(),
                                    wolf.GetY());
    EXPECT_TRUE(hero.GetBackpackItems().empty());
    // With an item the bonus is the spell's level plus its school's column.
    const auto effect = std::dynamic_pointer_cast<CEffectSpell>(arena.Area().GetEffects()[0]);
    EXPECT_EQ(effect->GetCastingBonus(),
              bolt.GetLevel() + GetSkillInfo(bolt.GetSkill()).spellBonus);

    auto wand = arena.NewItem("i_wand-fire_bolt");
    hero.AddBackpackItem(wand);
    int casts = 0;
    for (; casts < 1000 && !hero.GetBackpackItems().empty(); ++casts)
    {
        arena.TakeLines();
        SeedRandom(static_cast<std::uint32_t>(casts));
        const bool burns = RandomReal() < 0.05;
        SeedRandom(static_cast<std::uint32_t>(casts));
        arena.Engine().CompleteCast(wand.get(), &wolf, hero, bolt, false, wolf.GetX(), wolf.GetY());
        EXPECT_EQ(hero.GetBackpackItems().empty(), burns) << casts;
    }
    const auto lines = arena.TakeLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "1000 18 Hero's Wand of Fire Bolt burns out.");
}

TEST(CastingTeleport, TeleportsMoveOrStayAndNeverLoseTheActor)
{
    CArena arena(11, 12, 12);
    CActor& hero = arena.Hero();
    MakeCaster(arena);
    CActor& wolf = arena.Spawn("wolf", 5.0, 5.0);
    const std::uint32_t ids = arena.CGame().GetNextThingNumber();

    // Into free ground: placed near the cell, with a graphic at its feet.
    EXPECT_TRUE(arena.Engine().TeleportActor(wolf, &arena.Spell("recall"), 8, 8, 7, 0));
    EXPECT_LT(std::hypot(wolf.GetX() - 21.25, wolf.GetY() - 21.25), 12.0);
    ASSERT_EQ(arena.Area().GetEffects().size(), 1u);
    EXPECT_EQ(arena.CGame().GetNextThingNumber(), ids + 1);

    // A grid of walls: nowhere to go and nowhere near to go back to, so the
    // hero stays where it stood.
    auto walls =
        AreaTest::GridArea(&arena.CGame(), arena.Module(), AreaTest::UniformRows(3, 3, "(wall n)"));
    arena.CGame().SetCurrentArea(walls.get());
    hero.SetPosition(1.25, 1.25);
    walls->AddActor(arena.CGame().Party().front());
    EXPECT_FALSE(arena.Engine().TeleportActor(hero, nullptr, 2, 2, 0, 1));
    ASSERT_EQ(walls->Actors().size(), 1u);
    EXPECT_EQ(walls->Actors()[0].get(), &hero);
    EXPECT_EQ(hero.GetX(), 1.25);
    EXPECT_EQ(hero.GetY(), 1.25);
    arena.CGame().SetCurrentArea(&arena.Area());

    // A recall in an area without the entry the party came by does nothing.
    arena.CGame().SetEntered("arena", "gate");
    const double x = hero.GetX();
    arena.Engine().CompleteCast(nullptr, nullptr, hero, arena.Spell("recall"), false, 0.0, 0.0);
    EXPECT_EQ(hero.GetX(), x);
    EXPECT_EQ(arena.TakeLines().back(), "1000 18 Hero casts Recall.");
}
