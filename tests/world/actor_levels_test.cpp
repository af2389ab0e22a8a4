// Levels, skill points, attributes and known spells of an actor, with the
// casting bonus of its spells and powers.

#include "actor_rules_test_util.h"

#include "common/random.h"
#include "world/faction.h"

#include <string>
#include <vector>

using namespace VARD;
using namespace ActorRulesTest;

namespace
{

std::vector<std::string> InfoMessages(const CGame& game)
{
    std::vector<std::string> texts;
    for (const auto& event : game.GetEvents())
        if (const auto* message = dynamic_cast<const CMessageEvent*>(event.get()))
            if (message->GetKind() == 18)
                texts.push_back(message->GetText());
    return texts;
}

std::vector<std::string> SpellKeys(const CActor& actor)
{
    std::vector<std::string> keys;
    for (const CSpell* spell : actor.GetSpells())
        keys.push_back(spell->GetKey());
    return keys;
}

} // namespace

// ------------------------------------------------------------ levels

TEST(ActorLevels, ExperienceThresholds)
{
    struct Case
    {
        std::uint32_t level;
        std::int32_t levelBonus;
        std::uint32_t threshold;
    };
    const std::vector<Case> cases{
        {1, 0, 2511}, {2, 0, 3981},  {4, 0, 10000}, {9, 0, 100000},     {20, 0, 15848931},
        {1, -1, 0},   {2, -1, 2511}, {3, -1, 3981}, {21, -1, 15848931}, {0, 0, 0},
    };
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    for (const Case& c : cases)
    {
        actor->SetLevelBonus(c.levelBonus);
        EXPECT_EQ(actor->GetExperienceThreshold(c.level), c.threshold)
            << "level " << c.level << " bonus " << c.levelBonus;
    }
}

TEST(ActorLevels, LevelUpAtTheThresholdOnly)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetLevelBonus(-1);
    actor->SetExperience(2510);
    EXPECT_FALSE(actor->TryLevelUp());
    EXPECT_EQ(actor->GetLevel(), 1u);
    actor->SetExperience(2511);
    SeedRandom(5);
    ASSERT_TRUE(actor->TryLevelUp());
    EXPECT_EQ(actor->GetLevel(), 2u);
    EXPECT_GE(actor->GetHitPointBase(), 26u);
    EXPECT_LE(actor->GetHitPointBase(), 50u);
    // One level per call.
    EXPECT_FALSE(actor->TryLevelUp());
}

TEST(ActorLevels, LevelsUpToTheCeiling)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t classPool;
        std::uint32_t generalPool;
        std::uint32_t minimumHitPoints; // per level gained: h + 1
        std::uint32_t maximumHitPoints; // per level gained: 2 h
    };
    const std::vector<Case> cases{
        {kFighter, 7, 6, 26, 50},
        {kRogue, 19, 0, 21, 40},
        {kSpellcaster, 7, 6, 16, 30},
        {kMonster, 7, 6, 0, 0},
    };
    SeedRandom(7);
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, 1);
        actor->SetExperience(0xFFFFFFFFu);
        std::uint32_t gained = 0;
        std::uint32_t attributePoints = 0;
        while (actor->TryLevelUp())
        {
            ++gained;
            if (actor->GetLevel() % 4 == 0)
                ++attributePoints;
            EXPECT_EQ(actor->GetAttributePoints(), attributePoints)
                << "class " << c.characterClass << " level " << actor->GetLevel();
            ASSERT_LE(gained, 19u);
        }
        EXPECT_EQ(actor->GetLevel(), 20u);
        EXPECT_EQ(attributePoints, 5u);
        EXPECT_EQ(actor->GetClassSkillPoints(), c.classPool) << "class " << c.characterClass;
        EXPECT_EQ(actor->GetGeneralSkillPoints(), c.generalPool) << "class " << c.characterClass;
        EXPECT_GE(actor->GetHitPointBase(), 19 * c.minimumHitPoints);
        EXPECT_LE(actor->GetHitPointBase(), 19 * c.maximumHitPoints);
    }
}

TEST(ActorLevels, RollHitPoints)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::uint32_t minimum;
        std::uint32_t maximum;
    };
    const std::vector<Case> cases{
        {kFighter, 1, 26, 50},      {kFighter, 3, 78, 150}, {kRogue, 2, 42, 80},
        {kSpellcaster, 4, 64, 120}, {kMonster, 5, 0, 0},
    };
    CRulesWorld world;
    for (std::uint32_t seed = 1; seed <= 20; ++seed)
    {
        SeedRandom(seed);
        for (const Case& c : cases)
        {
            auto actor = world.Character(c.characterClass, c.level);
            actor->SetHitPointBase(999);
            actor->SetDamageTaken(12);
            actor->RollHitPoints();
            EXPECT_GE(actor->GetHitPointBase(), c.minimum) << "class " << c.characterClass;
            EXPECT_LE(actor->GetHitPointBase(), c.maximum) << "class " << c.characterClass;
            EXPECT_EQ(actor->GetDamageTaken(), 0);
        }
    }
}

TEST(ActorLevels, ResetCharacterStats)
{
    CRulesWorld world;
    auto actor = world.Character(kFighter, 1);
    actor->SetLevelBonus(-1);
    actor->SetLevel(2);
    actor->SetClassSkillPoints(3);
    actor->SetGeneralSkillPoints(2);
    actor->SetAttributePoints(9);
    for (std::uint32_t a = 0; a < 5; ++a)
        actor->SetBaseAttribute(a, 14 + a);
    actor->SetSpellResistanceBase(10);
    actor->SetDefenseBase(4);
    actor->SetActionSpeedBase(5);
    actor->SetMovementSpeedBase(6);
    for (std::uint32_t s = 0; s < 3; ++s)
        actor->SetSaveBase(s, 7);
    actor->SetDamageTaken(20);
    actor->SetHitPointBase(60);
    actor->ResetCharacterStats();
    EXPECT_EQ(actor->GetExperience(), 2511u);
    EXPECT_EQ(actor->GetClassSkillPoints(), 0u);
    EXPECT_EQ(actor->GetGeneralSkillPoints(), 0u);
    EXPECT_EQ(actor->GetAttributePoints(), 0u);
    for (std::uint32_t a = 0; a < 5; ++a)
        EXPECT_EQ(actor->GetBaseAttribute(a), 6u);
    EXPECT_EQ(actor->GetSpellResistanceBase(), 0u);
    EXPECT_EQ(actor->GetDefenseBase(), 0);
    EXPECT_EQ(actor->GetActionSpeedBase(), 0);
    EXPECT_EQ(actor->GetMovementSpeedBase(), 0);
    for (std::uint32_t s = 0; s < 3; ++s)
        EXPECT_EQ(actor->GetSaveBase(s), 0);
    EXPECT_EQ(actor->GetDamageTaken(), 0);
    EXPECT_EQ(actor->GetHitPointBase(), 1u);
    EXPECT_EQ(actor->GetLevel(), 2u);
}

// ------------------------------------------------------------ attributes

TEST(ActorAttributePoints, RaiseCosts)
{
    struct Case
    {
        std::uint32_t value;
        std::uint32_t cost;
    };
    const std::vector<Case> cases{{0, 1},  {5, 1},  {6, 1},  {7, 1},   {8, 2},  {9, 2},
                                  {10, 3}, {13, 4}, {19, 7}, {20, 72}, {25, 72}};
    for (const Case& c : cases)
        EXPECT_EQ(CActor::GetAttributeRaiseCost(c.value), c.cost) << "value " << c.value;
}

TEST(ActorAttributePoints, RaiseAttribute)
{
    struct Case
    {
        std::uint32_t value;
        std::uint32_t points;
        bool raised;
        std::uint32_t pointsAfter;
    };
    const std::vector<Case> cases{{5, 1, true, 0},  {10, 3, true, 0},    {10, 2, false, 2},
                                  {19, 9, true, 2}, {20, 71, false, 71}, {20, 80, true, 8},
                                  {6, 0, false, 0}};
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(kFighter, 1);
        actor->SetBaseAttribute(3, c.value);
        actor->SetAttributePoints(c.points);
        if (c.raised)
        {
            actor->RaiseAttribute(3);
            EXPECT_EQ(actor->GetBaseAttribute(3), c.value + 1) << "value " << c.value;
        }
        else
        {
            EXPECT_EQ(CodeOf([&] { actor->RaiseAttribute(3); }), 2) << "value " << c.value;
            EXPECT_EQ(actor->GetBaseAttribute(3), c.value) << "value " << c.value;
        }
        EXPECT_EQ(actor->GetAttributePoints(), c.pointsAfter) << "value " << c.value;
    }
    auto actor = world.Character(kFighter, 1);
    actor->SetAttributePoints(5);
    EXPECT_EQ(CodeOf([&] { actor->RaiseAttribute(5); }), 2);
    EXPECT_EQ(actor->GetAttributePoints(), 5u);
}

// ------------------------------------------------------------ skill points

TEST(ActorSkillPoints, PoolsPerClassAndLevel)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::uint32_t classPool;
        std::uint32_t generalPool;
        int classSkill;
    };
    const std::vector<Case> cases{
        {kFighter, 1, 2, 1, 74},     {kRogue, 1, 3, 0, 76},       {kFighter, 4, 3, 2, 74},
        {kRogue, 4, 6, 0, 76},       {kSpellcaster, 7, 4, 3, 78}, {kFighter, 20, 9, 7, 74},
        {kRogue, 20, 22, 0, 76},     {kMonster, 3, 3, 1, 83},     {kSpellcaster, 2, 3, 1, 78},
        {kSpellcaster, 3, 3, 1, 78}, {kFighter, 25, 9, 7, 74},    {kRogue, 30, 22, 0, 76},
        {kFighter, 0, 0, 0, 74},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, c.level);
        actor->SetClassSkillPoints(5);
        actor->SetGeneralSkillPoints(5);
        actor->ResetSkillPoints();
        EXPECT_EQ(actor->GetClassSkillPoints(), c.classPool)
            << "class " << c.characterClass << " level " << c.level;
        EXPECT_EQ(actor->GetGeneralSkillPoints(), c.generalPool)
            << "class " << c.characterClass << " level " << c.level;
        EXPECT_EQ(actor->GetSkills(), SkillSet{c.classSkill});
    }
}

TEST(ActorSkillPoints, CanLearnByPool)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t classPool;
        std::uint32_t generalPool;
        int skill;
        bool can;
    };
    // Skill 0 martial, 65 skill, 43 magic; none needs a rating.
    const std::vector<Case> cases{
        {kFighter, 1, 0, 0, true},      {kFighter, 1, 0, 43, false},
        {kFighter, 0, 1, 43, true},     {kFighter, 0, 1, 0, true},
        {kFighter, 0, 0, 0, false},     {kSpellcaster, 0, 1, 43, true},
        {kSpellcaster, 1, 0, 43, true}, {kSpellcaster, 1, 0, 65, false},
        {kRogue, 1, 0, 43, true},       {kRogue, 1, 0, 0, true},
        {kRogue, 0, 1, 65, true},       {kMonster, 1, 0, 0, false},
        {kMonster, 0, 1, 0, true},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, 1);
        actor->SetClassSkillPoints(c.classPool);
        actor->SetGeneralSkillPoints(c.generalPool);
        EXPECT_EQ(actor->CanLearnSkill(c.skill), c.can)
            << "class " << c.characterClass << " pools " << c.classPool << "/" << c.generalPool
            << " skill " << c.skill;
    }
}

TEST(ActorSkillPoints, CanLearnByPrerequisitesAndRating)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::vector<int> held;
        int skill;
        bool can;
    };
    const std::vector<Case> cases{
        // Heavy Armor needs Light Armor.
        {kFighter, 1, {}, 7, false},
        {kFighter, 1, {6}, 7, true},
        // Shield style needs a base attack bonus of 25.
        {kFighter, 3, {}, 8, false}, // 15 + 5
        {kFighter, 4, {}, 8, true},  // 20 + 5
        // Improved Flank rates Stealth, its first prerequisite, against 45.
        {kRogue, 3, {67}, 70, false}, // 4 × 5 + 20
        {kRogue, 4, {67}, 70, true},
        {kRogue, 4, {}, 70, false},
        // Arcane Magic needs a spellcaster bonus of 7.
        {kSpellcaster, 1, {}, 40, false}, // 2 + 2
        {kSpellcaster, 2, {}, 40, true},  // 5 + 2
        // Every prerequisite counts.
        {kSpellcaster, 5, {43, 44}, 49, false},
        {kSpellcaster, 5, {43, 44, 45}, 49, true},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, c.level);
        actor->SetClassSkillPoints(1);
        actor->SetGeneralSkillPoints(1);
        for (const int skill : c.held)
            actor->Skills().insert(skill);
        EXPECT_EQ(actor->CanLearnSkill(c.skill), c.can)
            << "class " << c.characterClass << " level " << c.level << " skill " << c.skill;
    }
}

TEST(ActorSkillPoints, LearnSkillPaysFromTheRightPool)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t classPool;
        std::uint32_t generalPool;
        int skill;
        std::uint32_t classAfter;
        std::uint32_t generalAfter;
    };
    const std::vector<Case> cases{
        {kFighter, 1, 1, 0, 0, 1},      {kFighter, 1, 1, 43, 1, 0}, {kFighter, 0, 1, 0, 0, 0},
        {kRogue, 1, 1, 43, 0, 1},       {kRogue, 0, 1, 43, 0, 0},   {kSpellcaster, 2, 1, 43, 1, 1},
        {kSpellcaster, 2, 1, 65, 2, 0},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        auto actor = world.Character(c.characterClass, 1);
        actor->SetClassSkillPoints(c.classPool);
        actor->SetGeneralSkillPoints(c.generalPool);
        actor->LearnSkill(c.skill);
        EXPECT_TRUE(actor->HasSkill(c.skill));
        EXPECT_EQ(actor->GetClassSkillPoints(), c.classAfter)
            << "class " << c.characterClass << " skill " << c.skill;
        EXPECT_EQ(actor->GetGeneralSkillPoints(), c.generalAfter)
            << "class " << c.characterClass << " skill " << c.skill;
    }
}

TEST(ActorSkillPoints, RefusedPurchaseLeavesTheSkillUnlearned)
{
    CRulesWorld world;
    auto fighter = world.Character(kFighter, 1);
    fighter->SetClassSkillPoints(2);
    EXPECT_EQ(CodeOf([&] { fighter->LearnSkill(43); }), 2);
    EXPECT_FALSE(fighter->HasSkill(43));
    EXPECT_EQ(fighter->GetClassSkillPoints(), 2u);
    EXPECT_EQ(fighter->GetGeneralSkillPoints(), 0u);

    auto rogue = world.Character(kRogue, 1);
    EXPECT_EQ(CodeOf([&] { rogue->LearnSkill(65); }), 2);
    EXPECT_TRUE(rogue->GetSkills().empty());
}

// ------------------------------------------------------------ spells

TEST(ActorSpells, MeetsRequirementByCategory)
{
    struct Case
    {
        std::uint32_t characterClass;
        std::uint32_t level;
        std::vector<int> held;
        std::string skill;
        int spellLevel;
        bool met;
    };
    const std::vector<Case> cases{
        {kSpellcaster, 1, {43}, "matter_magic", 5, false}, // 4
        {kSpellcaster, 2, {43}, "matter_magic", 7, true},  // 7
        {kSpellcaster, 9, {}, "matter_magic", 1, false},
        {kFighter, 1, {0}, "light_blade", 10, true}, // base attack 10
        {kFighter, 1, {0}, "light_blade", 11, false},
        {kRogue, 1, {67}, "sneak", 30, true},    // 30
        {kFighter, 1, {67}, "sneak", 30, false}, // 10
        {kMonster, 9, {83}, "0", 0, false},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        CModule module;
        const CSpell& spell = AddSpell(module, SpellRecord("sp_x", "X", c.skill, c.spellLevel));
        auto actor = world.Character(c.characterClass, c.level);
        for (const int skill : c.held)
            actor->Skills().insert(skill);
        EXPECT_EQ(actor->MeetsRequirement(spell), c.met)
            << "class " << c.characterClass << " " << c.skill << " level " << c.spellLevel;
    }
}

TEST(ActorSpells, LearnQualifyingSpellsInMapOrder)
{
    CRulesWorld world;
    CModule module;
    AddSpell(module, SpellRecord("sp_c_ward", "Ward", "matter_magic", 1));
    AddSpell(module, SpellRecord("sp_a_storm", "Storm", "matter_magic", 20));
    AddSpell(module, SpellRecord("sp_b_free", "Free", "0", 0));
    AddSpell(module, SpellRecord("sp_d_spark", "Spark", "energy_magic", 1));
    AddSpell(module, SpellRecord("sp_b_mend", "Mend", "matter_magic", 4));
    auto actor = world.Character(kSpellcaster, 1); // spellcaster bonus 4
    actor->Skills().insert(43);
    actor->LearnQualifyingSpells(module, &world.game);
    EXPECT_EQ(SpellKeys(*actor), (std::vector<std::string>{"sp_b_mend", "sp_c_ward"}));
    EXPECT_EQ(InfoMessages(world.game),
              (std::vector<std::string>{"Mira inscribes Mend.", "Mira inscribes Ward."}));

    // Known spells are not learned twice; a new skill brings its spells.
    actor->Skills().insert(44);
    actor->LearnQualifyingSpells(module, nullptr);
    EXPECT_EQ(SpellKeys(*actor),
              (std::vector<std::string>{"sp_b_mend", "sp_c_ward", "sp_d_spark"}));
    EXPECT_EQ(InfoMessages(world.game).size(), 2u);
}

TEST(ActorSpells, LearnFactionSpellsUpToTheRank)
{
    CRulesWorld world;
    CModule module;
    AddSpell(module, SpellRecord("s_low", "Low", "0", 0));
    AddSpell(module, SpellRecord("s_skilled", "Skilled", "religion", 30));
    AddSpell(module, SpellRecord("s_other", "Other", "religion", 1));
    AddSpell(module, SpellRecord("s_high", "High", "0", 0));
    CFaction faction("f_temple", "Temple", "A temple.");
    faction.AddSpell(0, "s_low", 83);
    faction.AddSpell(1, "s_skilled", 41);
    faction.AddSpell(1, "s_other", 42);
    faction.AddSpell(2, "s_high", 83);
    faction.AddSpell(0, "s_missing", 83);

    auto actor = world.Character(kFighter, 1);
    actor->LearnFactionSpells(module, &world.game);
    EXPECT_TRUE(actor->GetSpells().empty());

    actor->Skills().insert(41);
    actor->SetFaction(&faction, 1);
    actor->AddSpell(*module.FindSpell("s_low"));
    actor->LearnFactionSpells(module, &world.game);
    // Granted spells need no rating: a fighter learns a level-30 spell.
    EXPECT_EQ(SpellKeys(*actor), (std::vector<std::string>{"s_low", "s_skilled"}));
    EXPECT_EQ(InfoMessages(world.game), (std::vector<std::string>{"Mira inscribes Skilled."}));

    actor->SetFaction(&faction, 2);
    actor->LearnFactionSpells(module, nullptr);
    EXPECT_EQ(SpellKeys(*actor), (std::vector<std::string>{"s_low", "s_skilled", "s_high"}));
    EXPECT_EQ(InfoMessages(world.game).size(), 1u);
}

// ------------------------------------------------------------ casting bonus

TEST(ActorSpells, SpellCastingBonus)
{
    struct Case
    {
        std::string skill;
        std::vector<int> held;
        std::vector<std::string> armor;
        std::int32_t bonus;
    };
    // A level-1 spellcaster (bonus 4) with Intelligence 14 and Personality 8.
    const std::vector<Case> cases{
        {"matter_magic", {}, {}, 4 + 10},
        {"matter_magic", {51}, {}, 4 + 10 + 10},
        {"void_magic", {}, {}, 4 - 5 - 5},
        {"elemental_magic", {}, {}, 4 + 5 + 10},
        {"0", {}, {}, 4},
        {"matter_magic", {}, {"i_mail"}, 14 - 15},
        {"matter_magic", {}, {"i_mail", "i_shield"}, 14 - 25},
        {"matter_magic", {60}, {"i_mail"}, 14 - 5},
        {"matter_magic", {60, 61}, {"i_mail"}, 14},
        {"matter_magic", {60}, {"i_robe"}, 14},
        {"matter_magic", {60}, {"i_shield"}, 14},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        CModule module;
        const CSpell& spell = AddSpell(module, SpellRecord("sp_x", "X", c.skill, 1));
        auto actor = world.Character(kSpellcaster, 1);
        actor->SetBaseAttribute(3, 14);
        actor->SetBaseAttribute(4, 8);
        for (const int skill : c.held)
            actor->Skills().insert(skill);
        for (const std::string& item : c.armor)
            world.Equip(*actor, item == "i_shield" ? kSlotOffHand : kSlotBody, item);
        EXPECT_EQ(actor->GetSpellAttackBonus(spell), c.bonus) << c.skill;
        actor->AddModifier(Mod(0x20000, 2));
        EXPECT_EQ(actor->GetSpellAttackBonus(spell), c.bonus + 2) << c.skill;
    }
}

TEST(ActorSpells, PowerCastingBonusIsTheRatingAlone)
{
    struct Case
    {
        std::uint32_t characterClass;
        int skill;
        std::int32_t bonus;
    };
    // Level 2, Personality 14 (+10); armour and casting modifiers do not count.
    const std::vector<Case> cases{
        {kFighter, 18, 15},                             // base attack 10 + 5
        {kRogue, 67, 35 + 10},                          // Stealth 3 × 5 + 20, plus Personality
        {kFighter, 67, 15 + 10}, {kSpellcaster, 51, 7}, // spellcaster bonus 5 + 2
        {kFighter, 83, 0},
    };
    CRulesWorld world;
    for (const Case& c : cases)
    {
        const CSpell power("pw_x", "X", 0, "A power.", c.skill, 83, 10, 6, 83, 1, 2, 0x1);
        auto actor = world.Character(c.characterClass, 2);
        actor->SetBaseAttribute(4, 14);
        actor->Skills().insert(c.skill);
        world.Equip(*actor, kSlotBody, "i_mail");
        actor->AddModifier(Mod(0x20000, 2));
        EXPECT_EQ(actor->GetSpellAttackBonus(power), c.bonus)
            << "class " << c.characterClass << " skill " << c.skill;
    }
}
