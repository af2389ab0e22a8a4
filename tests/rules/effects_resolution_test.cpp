// Effects in flight and the spell-effect kinds applied.

#include "attacks_test_util.h"

#include "common/random.h"
#include "world/modifier.h"
#include "world/rule_tables.h"
#include "world/spell_effect.h"
#include "world/tile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace VARD;
using CombatTest::CArena;
using CombatTest::RollsOf;

namespace
{

bool AllPlain(const std::vector<int>& rolls)
{
    for (const int roll : rolls)
        if (roll <= 5 || roll >= 96)
            return false;
    return true;
}

} // namespace

TEST(EffectsFlight, ArrowFliesAtTwoAndAHalfUnitsATickAndResolvesOnArrival)
{
    CArena arena(4);
    CActor& archer = arena.MakeFighter(arena.Hero(), 3, "short_bow", "");
    CActor& rat = arena.Spawn("giant_rat", 36.0, 10.0);
    rat.SetHitPointBase(500);
    archer.QueueOrder(std::make_shared<CAttackOrder>(rat.Id()), false);
    arena.Step(); // 1001: the wind-up begins
    EXPECT_EQ(archer.GetActivityState(), kActivityEngaged);
    arena.Run(60); // 1061: loosed, and one step flown
    EXPECT_EQ(arena.CGame().GetCombatFlag(), 1);
    const auto effects = arena.Area().GetEffects();
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_DOUBLE_EQ(effects[0]->GetX(), 12.5);
    EXPECT_EQ(dynamic_cast<CEffectAttack&>(*effects[0]).GetSecondText(), "arrow");
    // 26 units: arrival ten ticks after the shot, then gone one tick later.
    arena.Run(9);
    EXPECT_TRUE(arena.TakeLines().empty());
    arena.Step();
    const auto lines = arena.TakeLines();
    ASSERT_EQ(lines.size(), 1u);
    const bool hit = lines[0].find(" hits ") != std::string::npos;
    EXPECT_EQ(lines[0].substr(0, 8), hit ? "1071 25 " : "1071 24 ");
    EXPECT_EQ(lines[0].substr(8, 5), "Hero ");
    EXPECT_DOUBLE_EQ(arena.Area().GetEffects()[0]->GetX(), 36.0);
    arena.Step();
    EXPECT_TRUE(arena.Area().GetEffects().empty());
    // The archer is alarmed after the shot and shoots again later.
    EXPECT_NE(archer.GetActivityState(), kActivityDead);
}

TEST(EffectsResolution, HostileTouchRollsTouchThenResistanceThenSave)
{
    CArena arena(1);
    const CSpell& chill = arena.Spell("chill_touch");
    ASSERT_TRUE(chill.HasFlag(kSpellFlagTouch));
    std::uint32_t seed = 1;
    while (!AllPlain(RollsOf(seed, 3)))
        ++seed;
    const std::vector<int> rolls = RollsOf(seed, 3);

    struct Case
    {
        const char* what;
        int attackBonus;
        int castingBonus;
        int penetration;
        bool resistance;
        std::string expected; // with the rolls' places marked
    };
    for (int c = 0; c < 4; ++c)
    {
        CArena fight(1);
        CActor& skeleton = fight.Spawn("skeleton", 12.0, 10.0);
        skeleton.SetEquipmentSlot(kSlotBody, fight.NewItem("chain_mail"));
        skeleton.AddStatus(kStatusCharmed, 0);
        const std::int32_t bare = skeleton.DescribeDefense(true, nullptr);
        ASSERT_LT(bare, skeleton.DescribeDefense(false, nullptr));
        const std::int32_t save = skeleton.GetSave(1);
        ASSERT_EQ(skeleton.GetSpellResistance(), 55);
        std::vector<std::string> expected;
        int attack = 200;
        int casting = 100;
        int penetration = kSkillNone;
        switch (c)
        {
        case 0: // touch misses: armour left out of the defence
            attack = -200;
            expected = {"1000 18 Hero (Chill Touch) misses Skeleton " +
                        FormatRollVsTarget(-200, rolls[0], bare) + "."};
            break;
        case 1: // resisted: the second draw
            casting = -200;
            penetration = 58;
            expected = {"1000 18 Skeleton resists Hero (Chill Touch) " +
                        FormatRollVsTarget(-190, rolls[1], 55) + "."};
            break;
        case 2: // no resistance: the save takes the second draw and succeeds
            skeleton.SetSpellResistanceBase(0);
            casting = -150;
            expected = {"1000 18 Skeleton saved " + FormatRollVsTarget(save, rolls[1], -100) +
                            " against Hero (Chill Touch) (Fortitude).",
                        "1000 27 Hero casts Chill Touch on Skeleton."};
            break;
        default: // everything passes: the save, third draw, fails at 150
            penetration = 59;
            expected = {};
            break;
        }
        SeedRandom(seed);
        fight.Engine().ApplySpellEffects(&skeleton, "Hero", 1, chill, casting, attack, penetration);
        auto lines = fight.TakeLines();
        EXPECT_FALSE(skeleton.HasStatus(kStatusCharmed)) << c;
        if (c == 3)
        {
            ASSERT_LE(rolls[2] + save, 150);
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_EQ(lines[0].substr(0, 42), "1000 27 Hero (Chill Touch) hits Skeleton f");
            continue;
        }
        EXPECT_EQ(lines, expected) << c;
        if (c == 2)
        {
            ASSERT_EQ(skeleton.GetModifiers().size(), 1u);
            EXPECT_EQ(skeleton.GetModifiers()[0]->GetValue(), -1);
            EXPECT_EQ(skeleton.GetModifiers()[0]->GetExpiryTick(), 1000u + 20 * 30);
        }
    }
}

TEST(EffectsSummon, PartySummonJoinsFizzlesAndExpires)
{
    CArena arena(2);
    CActor& hero = arena.Hero();
    const CSpell& summon = arena.Spell("summon_skeleton");
    CTile* tile = arena.Area().GetTile(6, 6);
    ASSERT_NE(tile, nullptr);
    const auto& effect = static_cast<const CSpellEffectSummon&>(*summon.GetEffects()[0]);
    const std::uint32_t expiry = 1000 + effect.GetDuration()->GetLengthAt(12) * 30;

    arena.Engine().ApplySpellEffects(tile, "Hero", 1, summon, 12, 0, kSkillNone);
    ASSERT_EQ(arena.CGame().Party().size(), 2u);
    CActor& skeleton = *arena.CGame().Party()[1];
    EXPECT_EQ(skeleton.GetAttitude(), kAttitudeParty);
    EXPECT_EQ(skeleton.GetSummonExpiryTick(), expiry);
    EXPECT_EQ(arena.Area().Actors().back().get(), &skeleton);
    EXPECT_LT(skeleton.DistanceTo(6 * 2.5 + 1.25, 6 * 2.5 + 1.25), 10.0);
    // The same creature again, while the first one stands: refused.
    arena.Engine().ApplySpellEffects(tile, "Hero", 1, summon, 12, 0, kSkillNone);
    // An effect reaching an actor calls nothing up.
    arena.Engine().ApplySpellEffects(&hero, "Hero", 1, summon, 12, 0, kSkillNone);
    EXPECT_EQ(arena.CGame().Party().size(), 2u);
    EXPECT_EQ(arena.TakeLines(),
              (std::vector<std::string>{"1000 29 Hero casts Raise Servant, summoning Skeleton.",
                                        "1000 18 Hero's spell fizzles; Skeleton is already "
                                        "summoned."}));

    arena.CGame().SetTick(expiry - 1);
    arena.Step();
    EXPECT_EQ(arena.CGame().Party().size(), 1u);
    EXPECT_EQ(arena.TakeLines(),
              std::vector<std::string>{std::to_string(expiry) + " 18 Skeleton is unsummoned."});

    // A full party cannot take another; a foe's summons is hostile and free.
    for (int i = 0; i < 5; ++i)
        arena.CGame().AddPartyMember(std::make_shared<CActor>(arena.CGame().NewThingId(3)));
    arena.Engine().ApplySpellEffects(tile, "Hero", 1, summon, 12, 0, kSkillNone);
    arena.Engine().ApplySpellEffects(tile, "Cultist", 0, summon, 12, 0, kSkillNone);
    EXPECT_EQ(arena.CGame().Party().size(), 6u);
    EXPECT_EQ(arena.Area().Actors().back()->GetAttitude(), kAttitudeHostile);
    const auto lines = arena.TakeLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::to_string(expiry) +
                            " 18 Hero's spell fizzles; the party can't summon any more creatures.");
}

TEST(EffectsKinds, HealRecoveriesStatusesDispelItemsAndRaise)
{
    CArena arena(6);
    CActor& hero = arena.MakeFighter(arena.Hero(), 2, "", "");
    hero.SetBaseAttribute(2, 5); // Durability 5: two recoveries
    hero.SetDamageTaken(5);
    const CSpell& heal = arena.Spell("heal");
    // Heals at 0, 1 and 2 used; the limit of 2 is passed and the next refused.
    for (int i = 0; i < 4; ++i)
        arena.Engine().ApplySpellEffects(&hero, "Priest", 0, heal, 1, 0, kSkillNone);
    EXPECT_EQ(hero.GetFurtherCounter(), 3);
    EXPECT_EQ(hero.GetDamageTaken(), 0);
    auto lines = arena.TakeLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].substr(0, 28), "1000 28 Priest heals Hero fo");
    EXPECT_EQ(lines[3], "1000 18 Priest can't heal Hero (no Recoveries left).");

    // Fear laid and lifted; Cleanse does not talk about what is not there.
    hero.SetSaveBase(2, -500);
    std::uint32_t seed = 1;
    while (RollsOf(seed, 1)[0] >= 96)
        ++seed;
    SeedRandom(seed);
    arena.Engine().ApplySpellEffects(&hero, "Cultist", 0, arena.Spell("fear"), 100, 0, kSkillNone);
    ASSERT_TRUE(hero.HasStatus(kStatusFear));
    arena.Engine().ApplySpellEffects(&hero, "Priest", 1, arena.Spell("cleanse"), 1, 0, kSkillNone);
    EXPECT_FALSE(hero.HasStatus(kStatusFear));
    lines = arena.TakeLines();
    EXPECT_EQ(lines.back(), "1000 28 Priest (Cleanse) removes Fear from Hero.");
    EXPECT_EQ(lines[lines.size() - 2], "1000 27 Cultist (Terror) inflicts Fear on Hero.");

    // Dispel many of the penalties: lowest level first, never a power's.
    hero.AddModifier(std::make_shared<CModifier>("Curse", 0, 1, -5, 0, 40, false));
    hero.AddModifier(std::make_shared<CModifier>("Hex", 0, 1, -3, 0, 10, false));
    hero.AddModifier(std::make_shared<CModifier>("Blessing", 0, 1, 4, 0, 1, false));
    hero.AddSneakAttackModifier(2, -1, 0);
    SeedRandom(3);
    const std::vector<int> rolls = RollsOf(3, 2);
    SeedRandom(3);
    arena.Engine().ApplySpellEffects(&hero, "Priest", 1, arena.Spell("dispel"), 60, 0, kSkillNone);
    lines = arena.TakeLines();
    ASSERT_EQ(lines.size(), 2u);
    const auto verdict = [&](int roll, int level)
    {
        return roll > 5 && (roll > 95 || 60 + roll > level + 50) ? " dispelled "
                                                                 : " failed to dispel ";
    };
    EXPECT_NE(lines[0].find(verdict(rolls[0], 10) + FormatRollVsTarget(60, rolls[0], 60) + " Hex."),
              std::string::npos);
    EXPECT_NE(
        lines[1].find(verdict(rolls[1], 40) + FormatRollVsTarget(60, rolls[1], 90) + " Curse."),
        std::string::npos);
    EXPECT_EQ(hero.GetModifiers().size(), 4u - (lines[0].find(" dispelled ") != std::string::npos) -
                                              (lines[1].find(" dispelled ") != std::string::npos));

    // Conjured bread, with its expiry as the second creation value.
    arena.Engine().ApplySpellEffects(&hero, "Hero", 1, arena.Spell("conjure_bread"), 5, 0,
                                     kSkillNone);
    ASSERT_EQ(hero.GetBackpackItems().size(), 1u);
    EXPECT_EQ(hero.GetBackpackItems()[0]->GetValue2(), 1000u + 8 * 3600 * 30);
    EXPECT_EQ(arena.TakeLines().back(), "1000 29 Hero (Conjure Bread) creates Bread.");

    // Raise: a dead member with recoveries comes back beside the target.
    auto friendActor = std::make_shared<CActor>(arena.CGame().NewThingId(3));
    arena.MakeFighter(*friendActor, 2, "", "");
    friendActor->SetName("Mira");
    friendActor->SetRadius(0.75);
    arena.CGame().AddPartyMember(friendActor);
    arena.TakeLines();
    friendActor->SetActivityState(kActivityDead);
    friendActor->SetFurtherCounter(1);
    arena.Engine().ApplySpellEffects(&hero, "Hero", 1, arena.Spell("raise"), 5, 0, kSkillNone);
    EXPECT_EQ(friendActor->GetActivityState(), kActivityIdle);
    EXPECT_EQ(friendActor->GetFurtherCounter(), 2);
    EXPECT_EQ(friendActor->GetDamageTaken(), 0);
    EXPECT_LT(friendActor->DistanceTo(hero.GetX(), hero.GetY()), 15.0);
    arena.Engine().ApplySpellEffects(&hero, "Hero", 1, arena.Spell("raise"), 5, 0, kSkillNone);
    EXPECT_EQ(
        arena.TakeLines(),
        (std::vector<std::string>{
            "1000 28 Hero (Raise) raises Mira from the dead.",
            "1000 18 Hero (Raise) tries to raise the dead, but no-one in the party is dead."}));

    // A Durability bonus that the raise clears: the recoveries left (9 - 2)
    // stay, so the count is 7 - 7 + 1 against the bare limit of 7.
    friendActor->AddModifier(std::make_shared<CModifier>("Toughness", 0, 0x4000, 4, 1, 1, false));
    friendActor->SetActivityState(kActivityDead);
    arena.Engine().ApplySpellEffects(&hero, "Hero", 1, arena.Spell("raise"), 5, 0, kSkillNone);
    EXPECT_EQ(friendActor->GetActivityState(), kActivityIdle);
    EXPECT_TRUE(friendActor->GetModifiers().empty());
    EXPECT_EQ(friendActor->GetFurtherCounter(), 1);

    // Only a member exactly at its limit of 7 is refused; one healed past
    // it is raised, its overdraft kept (7 - (7 - 9) + 1).
    arena.TakeLines();
    for (const int used : {9, 7})
    {
        friendActor->SetActivityState(kActivityDead);
        friendActor->SetFurtherCounter(used);
        arena.Engine().ApplySpellEffects(&hero, "Hero", 1, arena.Spell("raise"), 5, 0, kSkillNone);
    }
    EXPECT_EQ(
        arena.TakeLines(),
        (std::vector<std::string>{
            "1000 28 Hero (Raise) raises Mira from the dead.",
            "1000 18 Hero (Raise) tries to raise Mira, but Mira has no recoveries.",
            "1000 18 Hero (Raise) tries to raise the dead, but no-one in the party is dead."}));
    EXPECT_EQ(friendActor->GetActivityState(), kActivityDead);
    EXPECT_EQ(friendActor->GetFurtherCounter(), 7);
}

TEST(EffectsKinds, RepulseThrowsTheTargetAway)
{
    CArena arena(8);
    CActor& skeleton = arena.Spawn("skeleton", 50.0, 50.0);
    skeleton.SetSaveBase(2, -500);
    skeleton.SetSpellResistanceBase(0);
    std::uint32_t seed = 1;
    while (RollsOf(seed, 1)[0] >= 96)
        ++seed;
    SeedRandom(seed);
    arena.Engine().ApplySpellEffects(&skeleton, "Hero", 1, arena.Spell("repulse"), 50, 0,
                                     kSkillNone);
    EXPECT_GT(skeleton.DistanceTo(50.0, 50.0), 20.0);
    EXPECT_EQ(arena.Area().GetEffects().size(), 1u);
}
