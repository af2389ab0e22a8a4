// Derived values of an actor: attributes and bonuses, points, skills, saves,
// resistance, speeds, distances, sight, load and the equipment checks.

#include "actor_rules_test_util.h"

#include "world/actor_template.h"
#include "world/attack_info.h"

#include <string>
#include <vector>

using namespace VARD;
using namespace ActorRulesTest;

// ------------------------------------------------------------ attributes

TEST(ActorAttributes, BonusTruncatesTowardZero)
{
    struct Case
    {
        std::int32_t value;
        std::int32_t bonus;
    };
    const std::vector<Case> cases{{10, 0}, {9, -2},  {15, 12}, {11, 2},  {8, -5},
                                  {7, -7}, {3, -17}, {0, -25}, {20, 25}, {6, -10}};
    for (const Case& c : cases)
        EXPECT_EQ(CActor::GetAttributeBonus(c.value), c.bonus) << "value " << c.value;
}

TEST(ActorAttributes, EachAttributeTakesItsOwnModifier)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    for (std::uint32_t a = 0; a < 5; ++a)
        actor->SetBaseAttribute(a, 10 + a);
    actor->AddModifier(Mod(0x1000u << 2, 3)); // Durability
    actor->AddModifier(Mod(0x10000, -4));     // Personality
    EXPECT_EQ(actor->GetAttribute(0), 10);
    EXPECT_EQ(actor->GetAttribute(1), 11);
    EXPECT_EQ(actor->GetAttribute(2), 15);
    EXPECT_EQ(actor->GetAttribute(3), 13);
    EXPECT_EQ(actor->GetAttribute(4), 10);
    EXPECT_EQ(CodeOf([&] { actor->GetAttribute(5); }), 2);
}

TEST(ActorAttributes, BaseBonusesDivideLevelsUnsignedAndHalveTowardZero)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::int32_t levelBonus;
        std::int32_t attack;
        std::int32_t caster;
    };
    const std::vector<Case> cases{
        {kFighter, 1, 0, 10, 3},
        {kFighter, 5, 0, 30, 8},
        {kRogue, 4, 0, 20, 9},
        {kSpellcaster, 7, 0, 22, 19},
        {kSpellcaster, 1, -1, 2, 2},
        {kMonster, 3, 0, 20, 9},
        // (−2 × 5 + 5) / 2 is −2, not −3.
        {kFighter, 1, -2, 0, -1},
        {kSpellcaster, 20, 1, 60, 55},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, c.level);
        actor->SetLevelBonus(c.levelBonus);
        EXPECT_EQ(actor->GetBaseAttackBonus(), c.attack)
            << "class " << c.characterClass << " level " << c.level;
        EXPECT_EQ(actor->GetBaseSpellcasterBonus(), c.caster)
            << "class " << c.characterClass << " level " << c.level;
    }
}

// ------------------------------------------------------------ points

TEST(ActorPoints, HitPointsByLevelAndDurability)
{
    struct Case
    {
        std::uint32_t level;
        std::uint32_t durability;
        std::uint32_t base;
        std::int32_t maximum;
    };
    const std::vector<Case> cases{
        {1, 10, 8, 8}, {3, 14, 20, 50}, {2, 9, 30, 26}, {4, 15, 0, 48}, {5, 7, 40, 5}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, c.level);
        actor->SetBaseAttribute(2, c.durability);
        actor->SetHitPointBase(c.base);
        EXPECT_EQ(actor->GetMaxHitPoints(), c.maximum) << "level " << c.level;
    }
}

TEST(ActorPoints, HitPointsCountDamageAndDeath)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 2);
    actor->SetHitPointBase(30);
    actor->AddModifier(Mod(0x4000, 2)); // Durability 12: bonus 5
    EXPECT_EQ(actor->GetMaxHitPoints(), 40);
    actor->SetDamageTaken(15);
    EXPECT_EQ(actor->GetHitPoints(), 25);
    actor->SetActivityState(kActivityDead);
    EXPECT_EQ(actor->GetHitPoints(), 0);
    EXPECT_EQ(actor->GetMaxHitPoints(), 40);
}

TEST(ActorPoints, EnergyByLevelAndIntelligence)
{
    struct Case
    {
        std::uint32_t level;
        std::int32_t levelBonus;
        std::uint32_t intelligence;
        std::int32_t maximum;
    };
    const std::vector<Case> cases{
        {1, 0, 10, 8},   // 2 × (2 + 2) × 1
        {1, -1, 10, 6},  // L = 1
        {3, 0, 10, 12},  // L = 4: k = 1, r = 1
        {6, 0, 14, 44},  // 2 × 3 × 4 + 10 × 2
        {9, 0, 10, 48},  // L = 10: k = 3, r = 1
        {4, 0, 11, 20},  // 16 + 2 × 2
        {1, 0, 9, 6},    // (−5) / 2 is −2
        {2, 0, 3, 3},    // raised to L
        {1, -3, 2, 1},   // L = −1, raised to 1
        {19, 1, 16, 715} // L = 21: k = 6, r = 3; 2 × 5 × 64 + 15 × 5
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kSpellcaster, c.level);
        actor->SetLevelBonus(c.levelBonus);
        actor->SetBaseAttribute(3, c.intelligence);
        EXPECT_EQ(actor->GetMaxEnergyPoints(), c.maximum)
            << "level " << c.level << " bonus " << c.levelBonus << " Int " << c.intelligence;
    }
}

TEST(ActorPoints, EnergyCountsSpendingAndDeath)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->AddModifier(Mod(0x8000, 4)); // Intelligence 14: + 10 × (2 / 5 + 1)
    EXPECT_EQ(actor->GetMaxEnergyPoints(), 18);
    actor->SetEnergySpent(5);
    EXPECT_EQ(actor->GetEnergyPoints(), 13);
    actor->SetActivityState(kActivityDead);
    EXPECT_EQ(actor->GetEnergyPoints(), 0);
}

// ------------------------------------------------------------ skills

TEST(ActorSkills, SkillValuesByClassAndCategory)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::int32_t levelBonus;
        int skill;
        std::int32_t value;
    };
    const std::vector<Case> cases{
        {kFighter, 1, 0, 65, 10}, {kRogue, 1, 0, 65, 30},       {kFighter, 3, 0, 0, 20},
        {kRogue, 3, 0, 0, 20},    {kFighter, 1, 0, 73, 3},      {kRogue, 4, 0, 73, 19},
        {kFighter, 1, -1, 65, 5}, {kSpellcaster, 2, 0, 43, 15},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, c.level);
        actor->SetLevelBonus(c.levelBonus);
        EXPECT_EQ(actor->GetSkillValue(c.skill), 0) << "skill " << c.skill << " not held";
        actor->Skills().insert(c.skill);
        EXPECT_EQ(actor->GetSkillValue(c.skill), c.value)
            << "class " << c.characterClass << " skill " << c.skill;
    }
}

TEST(ActorSkills, MonsterClassSkillRatesNothing)
{
    CRulesWorld world;
    auto monster = world.Character(kMonster, 3);
    monster->Skills().insert(kSkillNone);
    EXPECT_EQ(monster->GetSkillValue(kSkillNone), 0);
    EXPECT_EQ(monster->GetSkillTotal(kSkillNone), 0);
}

TEST(ActorSkills, SkillTotalAddsTheAttributeOnlyToARating)
{
    CRulesWorld world;
    auto rogue = world.Character(kRogue, 1);
    rogue->SetBaseAttribute(4, 14);
    EXPECT_EQ(rogue->GetSkillTotal(kSkillSneak), 0);
    rogue->Skills().insert(kSkillSneak);
    EXPECT_EQ(rogue->GetSkillTotal(kSkillSneak), 40);
    // Wands (Intelligence) for a rogue: 45 / 24 + 5 / 2 + 10 = 13, Int 8 gives −5.
    rogue->SetBaseAttribute(3, 8);
    rogue->Skills().insert(73);
    EXPECT_EQ(rogue->GetSkillTotal(73), 8);
    // Improved Flank has no attribute.
    rogue->Skills().insert(70);
    EXPECT_EQ(rogue->GetSkillTotal(70), 30);
}

TEST(ActorSkills, SkillChecksOfTheFiveStats)
{
    struct Case
    {
        std::uint32_t stat;
        int skill;
        std::uint32_t attribute;
        std::uint32_t mask;
    };
    // Locks, Traps, Diplomacy, Stealth, Observation.
    const std::vector<Case> cases{{0, 66, 3, 0x80},
                                  {1, 65, 3, 0x100},
                                  {2, 69, 4, 0x200},
                                  {3, 67, 4, 0x400},
                                  {4, 68, 3, 0x800}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto rogue = world.Character(kRogue, 1);
        rogue->SetBaseAttribute(c.attribute, 12);
        rogue->AddModifier(Mod(c.mask, 4));
        // Without the skill the attribute does not count, the modifiers do.
        EXPECT_EQ(rogue->GetSkillCheck(c.stat), 4) << "stat " << c.stat;
        rogue->Skills().insert(c.skill);
        EXPECT_EQ(rogue->GetSkillCheck(c.stat), 30 + 5 + 4) << "stat " << c.stat;
    }
    auto actor = world.Character(kRogue, 1);
    EXPECT_EQ(CodeOf([&] { actor->GetSkillCheck(5); }), 2);
}

// ------------------------------------------------------ saves and resistance

TEST(ActorSaves, SavesByRowSkillsAndAttribute)
{
    struct Case
    {
        std::uint32_t save;
        std::vector<int> skills;
        std::int32_t base;
        std::int32_t value;
    };
    // Level 4: 4 × 5 / 3 = 6, 4 × 10 / 3 = 13. Agility 14 (+10), Durability
    // 12 (+5), Personality 8 (−5).
    const std::vector<Case> cases{
        {0, {}, 0, 16}, {0, {76}, 0, 23}, {0, {76, 77}, 0, 33},
        {1, {}, 0, 11}, {1, {74}, 0, 18}, {1, {74, 75}, 0, 28},
        {2, {}, 0, 1},  {2, {78}, 3, 11}, {2, {79}, 0, 11},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 4);
        actor->SetBaseAttribute(1, 14);
        actor->SetBaseAttribute(2, 12);
        actor->SetBaseAttribute(4, 8);
        actor->SetSaveBase(c.save, c.base);
        for (const int skill : c.skills)
            actor->Skills().insert(skill);
        EXPECT_EQ(actor->GetSave(c.save), c.value) << "save " << c.save;
    }
}

TEST(ActorSaves, GreaterSkillTakesTheLargerOfBonusAndTen)
{
    CRulesWorld world;
    auto actor = world.Character(kRogue, 3);
    actor->SetBaseAttribute(1, 20); // +25
    actor->Skills().insert(77);
    // 15 / 3 + 25 + 25
    EXPECT_EQ(actor->GetSave(0), 55);
}

TEST(ActorSaves, ModifiersOfEachSave)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 3);
    actor->AddModifier(Mod(0x10, 1));
    actor->AddModifier(Mod(0x20, 2));
    actor->AddModifier(Mod(0x40, 3));
    EXPECT_EQ(actor->GetSave(0), 6);
    EXPECT_EQ(actor->GetSave(1), 7);
    EXPECT_EQ(actor->GetSave(2), 8);
    EXPECT_EQ(CodeOf([&] { actor->GetSave(3); }), 2);
}

TEST(ActorSaves, SpellResistance)
{
    struct Case
    {
        std::uint32_t base;
        std::int32_t mods;
        std::int32_t resistance;
    };
    const std::vector<Case> cases{{0, 0, 0}, {10, 0, 60}, {0, 5, 55}, {10, -10, 50}, {0, -5, 45}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetSpellResistanceBase(c.base);
        if (c.mods != 0)
            actor->AddModifier(Mod(0x40000, c.mods));
        EXPECT_EQ(actor->GetSpellResistance(), c.resistance) << "base " << c.base;
    }
}

TEST(ActorSaves, SpellsAskTheActorsSave)
{
    CRulesWorld world;
    const CSpell& curse =
        AddSpell(world.module, SpellRecord("sp_curse", "Curse", "0", 1, "( fortitude 5 )"));
    const CSpell& bind =
        AddSpell(world.module, SpellRecord("sp_bind", "Bind", "0", 1, "0", "summontarget"));
    auto actor = world.Character(kFighter, 3); // fortitude 5
    EXPECT_TRUE(CanSpellAffect(curse, *actor));
    actor->SetSaveBase(1, 1);
    EXPECT_FALSE(CanSpellAffect(curse, *actor));
    EXPECT_FALSE(CanSpellAffect(bind, *actor));
    actor->SetSummonExpiryTick(900);
    EXPECT_TRUE(CanSpellAffect(bind, *actor));
}

// The actor's own check reads the save limit itself: it must answer as the
// spell's general check does, at the limit and on either side of it, for a
// power (whose stacking slot is no save) and for kinds the spell leaves out.
TEST(ActorSaves, SpellAffectAnswersAsTheSpellsOwnCheck)
{
    CRulesWorld world;
    const std::vector<const CSpell*> spells{
        &AddSpell(world.module, SpellRecord("sp_curse", "Curse", "0", 1, "( fortitude 5 )")),
        &AddSpell(world.module, SpellRecord("sp_daze", "Daze", "0", 1, "( resolve 12 )")),
        &AddSpell(world.module, SpellRecord("sp_grip", "Grip", "0", 1, "( escape 30 )", "power")),
        &AddSpell(world.module,
                  SpellRecord("sp_bind", "Bind", "0", 1, "( resolve 4 )", "summontarget")),
        &AddSpell(world.module,
                  SpellRecord("sp_rest", "Rest", "0", 1, "0", "<notrace> skeleton </notrace>")),
    };
    int affected = 0;
    int cases = 0;
    for (const std::int32_t save : {-40, 1, 4, 5, 6, 12, 13, 29, 30, 31})
        for (const std::uint32_t kind : {5u, 10u})
            for (const bool summoned : {false, true})
            {
                auto actor = world.Character(kFighter, 3);
                for (std::uint32_t slot = 0; slot < 3; ++slot)
                    actor->SetSaveBase(slot, save + static_cast<std::int32_t>(slot));
                actor->SetCreatureKind(kind);
                if (summoned)
                    actor->SetSummonExpiryTick(900);
                for (const CSpell* spell : spells)
                {
                    const bool plain = spell->CanAffect(
                        actor->IsSummoned(), static_cast<int>(kind),
                        [&](int saveKind)
                        { return actor->GetSave(static_cast<std::uint32_t>(saveKind)); });
                    EXPECT_EQ(CanSpellAffect(*spell, *actor), plain)
                        << spell->GetKey() << " save " << save << " kind " << kind
                        << (summoned ? " summoned" : "");
                    affected += plain ? 1 : 0;
                    ++cases;
                }
            }
    // Both answers come up often enough to tell a wrong shortcut.
    EXPECT_GT(affected, cases / 4);
    EXPECT_LT(affected, cases * 3 / 4);
}

// ------------------------------------------------------------ speeds

TEST(ActorSpeeds, MovementSpeed)
{
    CRulesWorld world;
    auto actor = world.Character(kRogue, 1);
    EXPECT_DOUBLE_EQ(actor->GetMovementSpeed(), 10.0);
    actor->SetMovementSpeedBase(10);
    actor->AddModifier(Mod(0x100000, 3));
    // (10 + 3) / 5.0 is real: 2.6
    EXPECT_DOUBLE_EQ(actor->GetMovementSpeed(), 12.6);
    const CSpell sneak(kSneakPowerKey);
    actor->Skills().insert(kSkillSneak);
    ASSERT_TRUE(actor->ActivatePower(sneak, 1));
    EXPECT_TRUE(actor->IsSneaking());
    EXPECT_DOUBLE_EQ(actor->GetMovementSpeed(), 12.6 * 0.6666666666666666);
}

TEST(ActorSpeeds, ActionTimes)
{
    struct Case
    {
        int kind;
        std::int32_t base;
        std::vector<int> skills;
        std::int32_t speed;
        double seconds;
    };
    // A level-5 fighter with a sword: base attack bonus 30, spellcaster 8.
    const std::vector<Case> cases{
        {0, 0, {}, 0, 4.0},    {0, 5, {}, 5, 3.0},    {0, -5, {}, -5, 5.0}, {0, 20, {}, 20, 0.5},
        {0, 17, {}, 17, 0.6},  {2, 0, {}, 0, 4.0},    {2, 0, {19}, 6, 2.8}, {2, 1, {9}, 7, 2.6},
        {11, 0, {19}, 0, 4.0}, {11, 0, {62}, 3, 3.4}, {2, 0, {62}, 0, 4.0},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 5);
        world.Equip(*actor, kSlotMainHand, "i_sword");
        actor->SetActionSpeedBase(c.base);
        for (const int skill : c.skills)
            actor->Skills().insert(skill);
        std::int32_t speed = -99;
        EXPECT_DOUBLE_EQ(actor->GetActionTime(c.kind, &speed), c.seconds)
            << "kind " << c.kind << " base " << c.base;
        EXPECT_EQ(speed, c.speed) << "kind " << c.kind << " base " << c.base;
    }
}

// ------------------------------------------------------------ distances

TEST(ActorDistances, DistanceAndReachOfAThing)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetRadius(1.5);
    EXPECT_DOUBLE_EQ(actor->DistanceTo(3.0, 4.0), 5.0);
    auto other = world.Character(kFighter, 1);
    other->SetPosition(6.5, 0.0);
    EXPECT_TRUE(actor->IsWithinReachOf(*other)); // equal distance reaches
    other->SetPosition(6.5001, 0.0);
    EXPECT_FALSE(actor->IsWithinReachOf(*other));
    auto item = world.Item("i_bread");
    EXPECT_EQ(CodeOf([&] { actor->IsWithinReachOf(*item); }), 2);
}

TEST(ActorDistances, ReachOfATileIsStrict)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetRadius(0.5);
    // Column 2, row 1: centre (6.25, 3.75); reach 8.0.
    const std::uint32_t tile = MakeThingId(kThingKindTile, 1 * 1000 + 2);
    const std::vector<std::pair<double, bool>> cases{
        {6.25 + 8.0, false}, {6.25 + 7.99, true}, {6.25 - 8.0, false}, {6.25, true}};
    for (const auto& [x, within] : cases)
    {
        actor->SetPosition(x, 3.75);
        EXPECT_EQ(actor->IsWithinReachOfTile(tile), within) << "x " << x;
    }
    actor->SetPosition(6.25, 3.75 + 7.99);
    EXPECT_TRUE(actor->IsWithinReachOfTile(tile));
    actor->SetPosition(6.25, 3.75 + 8.0);
    EXPECT_FALSE(actor->IsWithinReachOfTile(tile));
}

TEST(ActorDistances, MeleeRangeIncludesTheBoundary)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    auto other = world.Character(kFighter, 1);
    actor->SetRadius(1.0);
    other->SetRadius(1.5);
    other->SetPosition(15.0, 0.0);
    EXPECT_TRUE(actor->IsInMeleeRangeOf(*other));
    EXPECT_TRUE(other->IsInMeleeRangeOf(*actor));
    other->SetPosition(15.01, 0.0);
    EXPECT_FALSE(actor->IsInMeleeRangeOf(*other));
    other->SetPosition(1.0, 0.0);
    other->SetActivityState(kActivityDead);
    EXPECT_FALSE(actor->IsInMeleeRangeOf(*other));
    other->SetActivityState(kActivityIdle);
    actor->SetActivityState(kActivityDead);
    EXPECT_FALSE(actor->IsInMeleeRangeOf(*other));
}

// ------------------------------------------------------------ sight

TEST(ActorSight, ASneakerIsHiddenFromTheOtherSideOnly)
{
    CRulesWorld world;
    const CSpell sneak(kSneakPowerKey);
    struct Case
    {
        std::uint32_t sneaker;
        std::uint32_t viewer;
        bool visible;
    };
    const std::vector<Case> cases{
        {kAttitudeParty, kAttitudeFriendly, true},    {kAttitudeParty, kAttitudeHostile, false},
        {kAttitudeFriendly, kAttitudeNeutral, false}, {kAttitudeNeutral, kAttitudeHostile, true},
        {kAttitudeBerserk, kAttitudeParty, false},
    };
    for (const Case& c : cases)
    {
        auto actor = world.Character(kRogue, 1);
        auto viewer = world.Character(kFighter, 1);
        actor->SetAttitude(c.sneaker);
        viewer->SetAttitude(c.viewer);
        EXPECT_TRUE(actor->IsVisibleTo(*viewer));
        ASSERT_TRUE(actor->ActivatePower(sneak, 1));
        EXPECT_EQ(actor->IsVisibleTo(*viewer), c.visible)
            << "attitudes " << c.sneaker << " and " << c.viewer;
    }
}

TEST(ActorSight, SpottingByDistance)
{
    struct Case
    {
        double distance;
        bool spotted;
    };
    // Hider: rogue Stealth 30. Seeker: Observation 10 + (50 − d) / 2 truncated.
    const std::vector<Case> cases{{0.0, true},   {9.0, true},   {10.0, true},
                                  {11.0, false}, {12.0, false}, {60.0, false}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto hider = world.Character(kRogue, 1);
        hider->Skills().insert(kSkillSneak);
        auto observer = world.Character(kFighter, 1);
        observer->Skills().insert(68);
        observer->SetPosition(c.distance, 0.0);
        EXPECT_EQ(hider->IsSpottedBy(*observer), c.spotted) << "distance " << c.distance;
    }
}

TEST(ActorSight, SpottingModifiersAndRange)
{
    CRulesWorld world;
    auto hider = world.Character(kFighter, 1);
    auto observer = world.Character(kFighter, 1);
    observer->SetPosition(150.0, 0.0);
    EXPECT_TRUE(hider->IsSpottedBy(*observer)); // 0 against 0
    observer->SetPosition(150.001, 0.0);
    EXPECT_FALSE(hider->IsSpottedBy(*observer));
    observer->SetPosition(0.0, 40.0); // +5
    hider->AddModifier(Mod(0x400, 8));
    EXPECT_FALSE(hider->IsSpottedBy(*observer));
    observer->AddModifier(Mod(0x800, 3));
    EXPECT_TRUE(hider->IsSpottedBy(*observer));
    // The observer's own Stealth modifier does not help it.
    hider->AddModifier(Mod(0x800, 50));
    EXPECT_TRUE(hider->IsSpottedBy(*observer));
}

// ------------------------------------------------------------ load

TEST(ActorLoad, CarriedWeightCountsSlotsAndBackpack)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    world.Equip(*actor, kSlotMainHand, "i_sword");
    world.Equip(*actor, kSlotBody, "i_mail");
    actor->AddBackpackItem(world.Item("i_bread", 3));
    actor->AddBackpackItem(world.Item("i_gold", 100));
    EXPECT_DOUBLE_EQ(actor->GetCarriedWeight(), 3.5 + 20.0 + 1.5 + 1.0);
}

TEST(ActorLoad, OverburdeningLimitIsTruncated)
{
    struct Case
    {
        std::uint32_t strength;
        std::uint32_t loaves; // half a unit each
        std::uint32_t attitude;
        bool overburdened;
    };
    // Strength 10: 25 × 2^2 = 100; Strength 12: 25 × 2^2.4 = 131.9... → 131.
    const std::vector<Case> cases{
        {10, 200, kAttitudeParty, false},    {10, 201, kAttitudeParty, true},
        {12, 262, kAttitudeParty, false},    {12, 263, kAttitudeParty, true},
        {12, 263, kAttitudeFriendly, false}, {12, 2000, kAttitudeHostile, false},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetAttitude(c.attitude);
        actor->SetBaseAttribute(0, c.strength);
        actor->AddBackpackItem(world.Item("i_bread", c.loaves));
        EXPECT_EQ(actor->IsOverburdened(), c.overburdened)
            << "Strength " << c.strength << " loaves " << c.loaves;
    }
}

// ------------------------------------------------------ equipment and items

TEST(ActorEquipment, SlotsByItemType)
{
    struct Case
    {
        std::string item;
        std::vector<std::uint32_t> slots;
    };
    const std::vector<Case> cases{
        {"i_sword", {0}},  {"i_great", {0}},   {"i_mail", {2}}, {"i_shield", {1}}, {"i_helm", {3}},
        {"i_amulet", {4}}, {"i_ring", {5, 6}}, {"i_bread", {}}, {"i_potion", {}},  {"i_gold", {}},
    };
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    for (const Case& c : cases)
    {
        auto item = world.Item(c.item);
        for (std::uint32_t slot = 0; slot < kEquipmentSlotCount; ++slot)
        {
            const bool expected = std::find(c.slots.begin(), c.slots.end(), slot) != c.slots.end();
            EXPECT_EQ(actor->CanEquipInSlot(slot, *item), expected)
                << c.item << " in slot " << slot;
        }
    }
}

TEST(ActorEquipment, OffHandWeaponNeedsDualWieldAndOneHand)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    auto dagger = world.Item("i_dagger");
    auto great = world.Item("i_great");
    EXPECT_FALSE(actor->CanEquipInSlot(kSlotOffHand, *dagger));
    actor->Skills().insert(12);
    EXPECT_TRUE(actor->CanEquipInSlot(kSlotOffHand, *dagger));
    EXPECT_FALSE(actor->CanEquipInSlot(kSlotOffHand, *great));
    EXPECT_TRUE(actor->CanEquipInSlot(kSlotMainHand, *great));
}

TEST(ActorEquipment, AttributeRequirementsCountModifiers)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    auto bow = world.Item("i_bow");
    EXPECT_FALSE(actor->CanEquipInSlot(kSlotMainHand, *bow));
    actor->AddModifier(Mod(0x1000, 2));
    EXPECT_TRUE(actor->CanEquipInSlot(kSlotMainHand, *bow));
    actor->SetBaseAttribute(0, 9);
    EXPECT_FALSE(actor->CanEquipInSlot(kSlotMainHand, *bow));
}

TEST(ActorEquipment, WieldedWeaponsStillUsable)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    EXPECT_TRUE(actor->CanUseWieldedWeapons());
    world.Equip(*actor, kSlotMainHand, "i_sword");
    world.Equip(*actor, kSlotOffHand, "i_shield");
    EXPECT_TRUE(actor->CanUseWieldedWeapons()); // a shield is not tested
    world.Equip(*actor, kSlotOffHand, "i_dagger");
    EXPECT_FALSE(actor->CanUseWieldedWeapons());
    actor->Skills().insert(12);
    EXPECT_TRUE(actor->CanUseWieldedWeapons());
    world.Equip(*actor, kSlotMainHand, "i_bow");
    EXPECT_FALSE(actor->CanUseWieldedWeapons()); // Strength 12 wanted
    actor->Attacks().push_back(
        std::make_shared<CActorMonsterAttack>(CAttackInfo{"Bite", 1, 4, 0}, ""));
    EXPECT_TRUE(actor->CanUseWieldedWeapons());
}

TEST(ActorItems, UsingPotionsScrollsAndWands)
{
    CRulesWorld world;
    auto potion = world.Item("i_potion");
    auto scroll = world.Item("i_scroll");
    auto wand = world.Item("i_wand");          // level 3
    auto loreWand = world.Item("i_lore_wand"); // level 9
    auto sword = world.Item("i_sword");
    auto actor = world.Character(kSpellcaster, 1); // spellcaster bonus 4
    EXPECT_TRUE(actor->CanUseItem(*potion, false));
    EXPECT_FALSE(actor->CanUseItem(*potion, true));
    EXPECT_FALSE(actor->CanUseItem(*sword, false));

    EXPECT_FALSE(actor->CanUseItem(*wand, false));
    actor->Skills().insert(73);
    EXPECT_TRUE(actor->CanUseItem(*wand, false));
    EXPECT_FALSE(actor->CanUseItem(*wand, true));
    EXPECT_FALSE(actor->CanUseItem(*loreWand, false));
    actor->SetLevel(3); // 180 / 24 + 2 = 9
    EXPECT_TRUE(actor->CanUseItem(*loreWand, false));

    actor->SetLevel(1);
    EXPECT_FALSE(actor->CanUseItem(*scroll, false));
    actor->Skills().insert(40);
    EXPECT_TRUE(actor->CanUseItem(*scroll, true));
    actor->AddSpell(*world.module.FindSpell("sp_fire"));
    EXPECT_FALSE(actor->CanUseItem(*scroll, false));
}

TEST(ActorItems, ScrollsNeedTheSpellcasterBonus)
{
    CRulesWorld world;
    auto scroll = world.Item("i_scroll");        // level 3
    auto fighter = world.Character(kFighter, 1); // spellcaster bonus 3
    fighter->Skills().insert(40);
    EXPECT_TRUE(fighter->CanUseItem(*scroll, false));
    fighter->SetLevelBonus(-1); // 1 + 0
    EXPECT_FALSE(fighter->CanUseItem(*scroll, false));
}

TEST(ActorItems, AttackSpells)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    EXPECT_EQ(actor->GetAttackSpell(0, world.module), nullptr);
    world.Equip(*actor, kSlotMainHand, "i_flame");
    world.Equip(*actor, kSlotOffHand, "i_sword");
    EXPECT_EQ(actor->GetAttackSpell(0, world.module), world.module.FindSpell("sp_fire"));
    EXPECT_EQ(actor->GetAttackSpell(1, world.module), nullptr);
    world.Equip(*actor, kSlotOffHand, "i_flame");
    EXPECT_EQ(actor->GetAttackSpell(1, world.module), world.module.FindSpell("sp_fire"));
    EXPECT_EQ(CodeOf([&] { actor->GetAttackSpell(2, world.module); }), 2);

    auto monster = world.Character(kMonster, 2);
    monster->Attacks().push_back(
        std::make_shared<CActorMonsterAttack>(CAttackInfo{"Claw", 1, 4, 0}, ""));
    monster->Attacks().push_back(
        std::make_shared<CActorMonsterAttack>(CAttackInfo{"Breath", 1, 6, 0}, "sp_fire"));
    EXPECT_EQ(monster->GetAttackSpell(0, world.module), nullptr);
    EXPECT_EQ(monster->GetAttackSpell(1, world.module), world.module.FindSpell("sp_fire"));
    EXPECT_EQ(monster->GetAttackSpell(2, world.module), nullptr);
}

// ------------------------------------------------------------ fighting style

TEST(ActorStyle, FightingStyleByWieldedItems)
{
    struct Case
    {
        std::string mainHand;
        std::string offHand;
        int style;
    };
    const std::vector<Case> cases{
        {"", "", 83},
        {"i_bow", "", 10},
        {"i_great", "", 11},
        {"i_sword", "", 9},
        {"i_sword", "i_shield", 8},
        {"i_sword", "i_dagger", 12},
        {"i_sword", "i_bread", 83},
        {"i_stick", "", 83},
        {"", "i_dagger", 83},
        {"i_bow", "i_dagger", 10},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        if (!c.mainHand.empty())
            world.Equip(*actor, kSlotMainHand, c.mainHand);
        if (!c.offHand.empty())
            world.Equip(*actor, kSlotOffHand, c.offHand);
        EXPECT_EQ(actor->GetFightingStyle(), c.style) << c.mainHand << " + " << c.offHand;
    }
}

TEST(ActorStyle, StyleOrWeaponMastery)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    EXPECT_FALSE(actor->HasStyleOrWeaponMastery());
    world.Equip(*actor, kSlotMainHand, "i_sword");
    EXPECT_FALSE(actor->HasStyleOrWeaponMastery());
    actor->Skills().insert(9);
    EXPECT_TRUE(actor->HasStyleOrWeaponMastery());
    actor->Skills().erase(9);
    actor->Skills().insert(18); // light blade mastery: not this weapon's
    EXPECT_FALSE(actor->HasStyleOrWeaponMastery());
    actor->Skills().insert(19);
    EXPECT_TRUE(actor->HasStyleOrWeaponMastery());
    world.Equip(*actor, kSlotMainHand, "i_stick");
    EXPECT_EQ(CodeOf([&] { actor->HasStyleOrWeaponMastery(); }), 2);

    // Unarmed, the style is 83, which a monster holds as its class skill.
    auto monster = world.Character(kMonster, 1);
    EXPECT_FALSE(monster->HasStyleOrWeaponMastery());
    monster->Skills().insert(kSkillNone);
    EXPECT_TRUE(monster->HasStyleOrWeaponMastery());
}

TEST(ActorStyle, PowerWeaponRequirement)
{
    struct Case
    {
        int weaponKind;
        int style;
        std::string mainHand;
        std::string offHand;
        bool met;
    };
    const std::vector<Case> cases{
        {6, 83, "", "", true},
        {6, 8, "i_sword", "i_shield", true},
        {6, 8, "i_sword", "", false},
        {0, 83, "i_dagger", "", true},
        {0, 83, "i_sword", "", false},
        {0, 83, "", "", false},
        {0, 83, "i_dagger", "i_sword", false},
        {0, 83, "i_dagger", "i_dagger", true},
        {0, 83, "i_dagger", "i_shield", true},
        {0, 12, "i_dagger", "i_dagger", true},
        {0, 9, "i_dagger", "i_dagger", false},
        {1, 83, "i_stick", "", false},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        const CSpell power("pw_test", "Test", 0, "A test.", 18, 83, 10, c.weaponKind, c.style, 1, 2,
                           0x1);
        auto actor = world.Character(kFighter, 1);
        if (!c.mainHand.empty())
            world.Equip(*actor, kSlotMainHand, c.mainHand);
        if (!c.offHand.empty())
            world.Equip(*actor, kSlotOffHand, c.offHand);
        EXPECT_EQ(actor->MeetsPowerWeaponRequirement(power), c.met)
            << "kind " << c.weaponKind << " style " << c.style << ": " << c.mainHand << " + "
            << c.offHand;
    }
    auto actor = world.Character(kFighter, 1);
    EXPECT_FALSE(actor->MeetsPowerWeaponRequirement(*world.module.FindSpell("sp_fire")));
}
