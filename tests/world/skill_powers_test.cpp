#include "world/skill_powers.h"

#include "rule_test_util.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;

namespace
{

struct CPowerRow
{
    const char* key;
    int skill;
    int bonusSkill;
    int weaponKind;
    int requiredSkill;
    std::uint32_t mask;
    std::array<int, 3> levels;
    const char* description;
};

const std::vector<CPowerRow>& PowerRows()
{
    // clang-format off
    static const std::vector<CPowerRow> rows = {
        {"s_light-blade-lunge", 18, 26, 0, 83, 1, {50, 75, 100},
         "The actor attacks with a fearless lunge, giving a bonus to his Attack Bonus."},
        {"s_heavy-blade-precision", 19, 27, 1, 83, 1, {50, 75, 100},
         "The actor concentrates on the weak points in his enemies' defense, giving a bonus to "
         "his Attack Bonus."},
        {"s_whirling-staff", 20, 28, 2, 83, 4, {50, 75, 100},
         "The actor whirls his staff in a vicious spin, granting a bonus to his Defense Class."},
        {"s_bludgeon-repulsion", 21, 29, 3, 83, 4, {50, 75, 100},
         "The actor wards off his enemies with his bludgeon, granting a bonus to his Defense "
         "Class."},
        {"s_tremendous-axe-strike", 22, 30, 4, 83, 2, {50, 75, 100},
         "The actor deals a tremendous blow with his axe, granting a bonus to his Attack "
         "Damage."},
        {"s_power-bowshot", 23, 31, 5, 83, 2, {50, 75, 100},
         "The actor fires his bow with extra power, granting a bonus to his Attack Damge."},
        {"s_shield-wall", 8, 32, 6, 8, 4, {50, 75, 100},
         "The actor forms a living wall with his shield, granting a bonus to his Defense "
         "Class."},
        {"s_duelist-maneuver", 9, 33, 6, 9, 4, {50, 75, 100},
         "The actor maneuvers adroitly, granting a bonus to his Defense Class."},
        {"s_marksman-bullseye", 10, 34, 6, 10, 1, {50, 75, 100},
         "The actor targets the smallest chinks in his target's armor, granting a bonus to his "
         "Attack Bonus."},
        {"s_two-handed-berserk", 11, 35, 6, 11, 2, {50, 75, 100},
         "The actor wields his great weapon with a berserk rage, granting a bonus to his "
         "Attack Damage."},
        {"s_dual-wield-skirmish", 12, 36, 6, 12, 1, {50, 75, 100},
         "The actor darts and dances around his opponent, granting a bonus to his Attack "
         "Bonus."},
        {"s_stand-stout", 80, 80, 6, 83, 32, {70, 95, 120},
         "The actor stands stout before the onslaught, granting a bonus to his Fortitude Save."},
        {"s_acrobatic-evasion", 81, 81, 6, 83, 16, {70, 95, 120},
         "The actor acrobats wildly around, granting a bonus to his Escape Save."},
        {"s_resolute-belief", 82, 82, 6, 83, 64, {70, 95, 120},
         "The actor stays strong in his beliefs, granting a bonus to his Resolve Save."},
    };
    // clang-format on

    return rows;
}

} // namespace

TEST(SkillPowers, EveryGradeOfEveryRow)
{
    StringMap<CSpell> spells;
    AddSkillPowers(spells);
    EXPECT_EQ(spells.size(), PowerRows().size() * 3 + 1);

    for (const CPowerRow& row : PowerRows())
    {
        for (int grade = 1; grade <= 3; ++grade)
        {
            const std::string key = row.key + std::to_string(grade);
            const CSpell* power = StringMapGet(spells, key);
            ASSERT_NE(power, nullptr) << key;
            EXPECT_EQ(power->GetKey(), key);
            EXPECT_EQ(power->GetDisplayName(),
                      GetSkillDisplayName(row.bonusSkill) + " " + std::to_string(grade));
            EXPECT_EQ(power->GetDescription(), row.description) << key;
            EXPECT_EQ(power->GetColor(), 0x00FFFFFFu);
            EXPECT_EQ(power->GetSkill(), row.skill) << key;
            EXPECT_EQ(power->GetSecondSkill(), row.bonusSkill) << key;
            EXPECT_EQ(power->GetLevel(), row.levels[static_cast<std::size_t>(grade - 1)]);
            EXPECT_EQ(power->GetRequiredWeaponKind(), row.weaponKind) << key;
            EXPECT_EQ(power->GetRequiredSkill(), row.requiredSkill) << key;
            EXPECT_EQ(power->GetFlags(), kSpellFlagPower);
            EXPECT_EQ(power->GetTargetMode(), kSpellTargetSelf);
            EXPECT_EQ(power->GetDeclaredSaveKind(), kSaveKindNone);
            EXPECT_DOUBLE_EQ(power->GetRange(), 10.0);
            EXPECT_FALSE(power->IsHostile());

            ASSERT_EQ(power->GetEffects().size(), 1u);
            const auto& modify =
                dynamic_cast<const CSpellEffectModify&>(*power->GetEffects().front());
            EXPECT_EQ(modify.GetStatMask(), row.mask) << key;
            EXPECT_EQ(modify.GetMagnitude()->GetFixedAtLow(), 5 + 5 * grade);
            EXPECT_EQ(modify.GetMagnitude()->GetFixedAtHigh(), 5 + 5 * grade);
            EXPECT_EQ(modify.GetMagnitude()->GetLowBonus(), power->GetLevel() + 10);
            EXPECT_TRUE(modify.GetDuration()->IsIndefinite());
        }
    }
}

TEST(SkillPowers, NamesCostsAndReplacement)
{
    StringMap<CSpell> spells;
    spells["s_shield-wall2"] = nullptr; // a read spell of the same key is replaced
    AddSkillPowers(spells);
    ASSERT_NE(spells["s_shield-wall2"], nullptr);
    EXPECT_EQ(spells["s_light-blade-lunge1"]->GetDisplayName(), "Light Blade Lunge 1");
    EXPECT_EQ(spells["s_resolute-belief3"]->GetDisplayName(), "Resolute Belief 3");
    EXPECT_EQ(spells["s_shield-wall2"]->GetDisplayName(), "Shield Wall 2");
    EXPECT_EQ(spells["s_light-blade-lunge1"]->GetEnergyCost(), 10);
    EXPECT_EQ(spells["s_stand-stout1"]->GetEnergyCost(), 10); // a skill-category power: 70 - 20
    EXPECT_EQ(spells["s_stand-stout3"]->GetEnergyCost(), 20);
    EXPECT_EQ(spells["s_light-blade-lunge1"]->GetSaveKind(), 3);
}

TEST(SneakPower, BuiltIn)
{
    StringMap<CSpell> spells;
    AddSkillPowers(spells);
    const CSpell* sneak = StringMapGet(spells, "s_power-sneak");
    ASSERT_NE(sneak, nullptr);
    EXPECT_EQ(sneak->GetDisplayName(), "Sneak");
    EXPECT_EQ(sneak->GetDescription(), "The actor hides in the shadows, becoming invisible until "
                                       "spotted by an observant enemy.");
    EXPECT_EQ(sneak->GetColor(), 0x00FFFFFFu);
    EXPECT_EQ(sneak->GetEffectGraphic(), "");
    EXPECT_EQ(sneak->GetSkill(), 67);
    EXPECT_EQ(sneak->GetSecondSkill(), 67);
    EXPECT_EQ(sneak->GetLevel(), 0);
    EXPECT_EQ(sneak->GetFlags(), kSpellFlagPower);
    EXPECT_EQ(sneak->GetTargetMode(), kSpellTargetSelf);
    EXPECT_FALSE(sneak->IsHostile());
    EXPECT_TRUE(sneak->GetEffects().empty());
    EXPECT_EQ(sneak->GetEnergyCost(), 0);
    EXPECT_EQ(sneak->GetRequiredWeaponKind(), 6);
    EXPECT_EQ(sneak->GetRequiredSkill(), 83);

    EXPECT_EQ(CodeOf([] { CSpell power(std::string("s_power-hide")); }), 2);
}
