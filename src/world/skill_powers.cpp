#include "world/skill_powers.h"

#include "world/rule_tables.h"
#include "world/spell.h"

#include <array>
#include <iterator>
#include <memory>
#include <string>

namespace VARD
{

namespace
{

// One row of a power table: the grades share everything but the level and
// the size of the bonus.
struct CSkillPowerRow
{
    const char* key;
    int skill;
    int bonusSkill;
    int weaponKind;
    std::uint32_t statMask;
    const char* description;
};

// Which of the row's values become the power's requirements.
enum class Requirement
{
    WeaponKind, // the row's weapon kind, no style
    OwnStyle,   // no weapon kind, the power's own skill as the style
    None,
};

struct CSkillPowerTable
{
    const CSkillPowerRow* rows;
    std::size_t rowCount;
    std::array<int, 3> levels;
    Requirement requirement;
};

constexpr int kNoWeapon = kWeaponKindNone;

constexpr CSkillPowerRow kWeaponPowers[] = {
    {"s_light-blade-lunge", 18, 26, 0, 1,
     "The actor attacks with a fearless lunge, giving a bonus to his Attack Bonus."},
    {"s_heavy-blade-precision", 19, 27, 1, 1,
     "The actor concentrates on the weak points in his enemies' defense, giving a bonus to his "
     "Attack Bonus."},
    {"s_whirling-staff", 20, 28, 2, 4,
     "The actor whirls his staff in a vicious spin, granting a bonus to his Defense Class."},
    {"s_bludgeon-repulsion", 21, 29, 3, 4,
     "The actor wards off his enemies with his bludgeon, granting a bonus to his Defense Class."},
    {"s_tremendous-axe-strike", 22, 30, 4, 2,
     "The actor deals a tremendous blow with his axe, granting a bonus to his Attack Damage."},
    {"s_power-bowshot", 23, 31, 5, 2,
     "The actor fires his bow with extra power, granting a bonus to his Attack Damge."},
};

constexpr CSkillPowerRow kStylePowers[] = {
    {"s_shield-wall", 8, 32, kNoWeapon, 4,
     "The actor forms a living wall with his shield, granting a bonus to his Defense Class."},
    {"s_duelist-maneuver", 9, 33, kNoWeapon, 4,
     "The actor maneuvers adroitly, granting a bonus to his Defense Class."},
    {"s_marksman-bullseye", 10, 34, kNoWeapon, 1,
     "The actor targets the smallest chinks in his target's armor, granting a bonus to his "
     "Attack Bonus."},
    {"s_two-handed-berserk", 11, 35, kNoWeapon, 2,
     "The actor wields his great weapon with a berserk rage, granting a bonus to his Attack "
     "Damage."},
    {"s_dual-wield-skirmish", 12, 36, kNoWeapon, 1,
     "The actor darts and dances around his opponent, granting a bonus to his Attack Bonus."},
};

constexpr CSkillPowerRow kSavePowers[] = {
    {"s_stand-stout", 80, 80, kNoWeapon, 32,
     "The actor stands stout before the onslaught, granting a bonus to his Fortitude Save."},
    {"s_acrobatic-evasion", 81, 81, kNoWeapon, 16,
     "The actor acrobats wildly around, granting a bonus to his Escape Save."},
    {"s_resolute-belief", 82, 82, kNoWeapon, 64,
     "The actor stays strong in his beliefs, granting a bonus to his Resolve Save."},
};

constexpr std::array<CSkillPowerTable, 3> kPowerTables{{
    {kWeaponPowers, std::size(kWeaponPowers), {50, 75, 100}, Requirement::WeaponKind},
    {kStylePowers, std::size(kStylePowers), {50, 75, 100}, Requirement::OwnStyle},
    {kSavePowers, std::size(kSavePowers), {70, 95, 120}, Requirement::None},
}};

// The bonus of grades 1, 2 and 3, the same at both ends of the bonus span.
constexpr std::array<int, 3> kGradeBonus{10, 15, 20};

constexpr std::uint32_t kWhite = 0x00FFFFFFu;

} // namespace

void AddSkillPowers(StringMap<CSpell>& spells)
{
    for (const CSkillPowerTable& table : kPowerTables)
    {
        for (std::size_t r = 0; r < table.rowCount; ++r)
        {
            const CSkillPowerRow& row = table.rows[r];
            const int weaponKind =
                table.requirement == Requirement::WeaponKind ? row.weaponKind : kWeaponKindNone;
            const int style = table.requirement == Requirement::OwnStyle ? row.skill : kSkillNone;
            for (int grade = 1; grade <= 3; ++grade)
            {
                const std::string gradeText = std::to_string(grade);
                const int bonus = kGradeBonus[static_cast<std::size_t>(grade - 1)];
                auto power = std::make_shared<CSpell>(
                    row.key + gradeText, GetSkillDisplayName(row.bonusSkill) + " " + gradeText,
                    kWhite, row.description, row.skill, row.bonusSkill,
                    table.levels[static_cast<std::size_t>(grade - 1)], weaponKind, style, bonus,
                    bonus, row.statMask);
                spells[power->GetKey()] = power;
            }
        }
    }
    spells[kSneakPowerKey] = std::make_shared<CSpell>(std::string(kSneakPowerKey));
}

} // namespace VARD
