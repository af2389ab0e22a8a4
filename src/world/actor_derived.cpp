// The derived values of an actor that its orders, powers and the party need:
// attributes with their modifiers, the base bonuses, skill ratings, energy,
// the casting bonus, action times, the fighting style, and the level-up test.

#include "world/actor.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/spell.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace VARD
{

namespace
{

// Skills the formulas name.
constexpr int kSkillShieldStyle = 8;
constexpr int kSkillDuelistStyle = 9;
constexpr int kSkillMarksmanStyle = 10;
constexpr int kSkillTwoHandedStyle = 11;
constexpr int kSkillDualWieldStyle = 12;
constexpr int kSkillArmoredSpellcasting = 60;
constexpr int kSkillArmoredSpellcastingMastery = 61;
constexpr int kSkillSpellcastingAlacrity = 62;
constexpr int kSkillWands = 73;

constexpr int kClassRogue = 1;
constexpr int kWeaponKindBow = 5;
constexpr std::uint32_t kItemTypeWeapon = 0;
constexpr std::uint32_t kItemTypeShield = 2;

constexpr int kActionAttack = 2;
constexpr int kActionCast = 11;

constexpr std::uint32_t kLevelCeiling = 20;

const CItemAttributeWeapon* WeaponOf(const CItem& item)
{
    return static_cast<const CItemAttributeWeapon*>(
        item.GetTemplate()->FindAttribute(kItemAttributeWeapon));
}

const CItemAttributeArmor* ArmorOf(const CItem& item)
{
    return static_cast<const CItemAttributeArmor*>(
        item.GetTemplate()->FindAttribute(kItemAttributeArmor));
}

// Points a level brings: class pool and general pool of a non-rogue, the one
// pool of a rogue.
struct CLevelPoints
{
    std::uint32_t classPool;
    std::uint32_t generalPool;
    std::uint32_t roguePool;
};

CLevelPoints LevelPoints(std::uint32_t level)
{
    if (level <= 1)
        return {2, 1, 3};
    switch ((level - 2) % 3)
    {
    case 0:
        return {1, 0, 1};
    case 1:
        return {0, 0, 1};
    default:
        return {0, 1, 1};
    }
}

} // namespace

std::int32_t CActor::GetAttribute(std::uint32_t attribute) const
{
    const std::int32_t base = static_cast<std::int32_t>(GetBaseAttribute(attribute));
    return base + GetModifierTotal(kModAttributeFirst << attribute);
}

std::int32_t CActor::GetBaseAttackBonus() const
{
    const std::uint32_t rate =
        static_cast<std::uint32_t>(GetClassInfo(static_cast<int>(m_Class)).attackRate);
    return static_cast<std::int32_t>(rate * m_Level / 24u) + (m_LevelBonus * 5 + 5);
}

std::int32_t CActor::GetBaseSpellcasterBonus() const
{
    const std::uint32_t rate =
        static_cast<std::uint32_t>(GetClassInfo(static_cast<int>(m_Class)).castingRate);
    return static_cast<std::int32_t>(rate * m_Level / 24u) + (m_LevelBonus * 5 + 5) / 2;
}

std::int32_t CActor::GetSkillValue(int skill) const
{
    if (skill == kSkillNone || !HasSkill(skill))
        return 0;
    if (skill == kSkillWands)
        return GetBaseSpellcasterBonus() + (m_Class == kClassRogue ? 10 : 0);
    std::int32_t value = (static_cast<std::int32_t>(m_Level) + m_LevelBonus + 1) * 5;
    if (GetSkillInfo(skill).category == kSkillCategorySkill && m_Class == kClassRogue)
        value += 20;
    return value;
}

std::int32_t CActor::GetSkillCheck(std::uint32_t stat) const
{
    if (stat >= static_cast<std::uint32_t>(kSpecialStatCount))
        throw CVARDException(2, "no special stat " + std::to_string(stat));
    const int skill = GetSpecialStatInfo(static_cast<int>(stat)).skill;
    std::int32_t value = GetSkillValue(skill);
    const int attribute = GetSkillInfo(skill).attribute;
    if (HasSkill(skill) && attribute != kAttributeNone)
        value += GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(attribute)));
    return value + GetModifierTotal(kModSpecialStatFirst << stat);
}

std::int32_t CActor::GetMaxEnergyPoints() const
{
    const std::int64_t l = static_cast<std::int64_t>(m_Level) + m_LevelBonus + 1;
    std::int64_t k = 0;
    std::int64_t r = l;
    if (l >= 4)
    {
        k = (l - 4) / 3 + 1;
        r = l - 3 * k;
    }
    // Past any level a module could reach the doubling would overflow.
    k = std::min<std::int64_t>(k, 40);
    const std::int64_t base = 2 * (r + 2) * (std::int64_t(1) << k);
    const std::int64_t intelligence = GetAttribute(3);
    const std::int64_t part = ((intelligence - 10) * 5) / 2 * (l / 5 + 1);
    std::int64_t result = base + part;
    if (result < l)
        result = l;
    if (result < 1)
        result = 1;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(result, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t CActor::GetEnergyPoints() const
{
    if (IsDead())
        return 0;
    return GetMaxEnergyPoints() - m_EnergySpent;
}

std::int32_t CActor::GetSpellAttackBonus(const CSpell& spell) const
{
    const int skill = spell.GetSkill();
    if (spell.IsPower())
    {
        // A power without a skill has no category to rate it by.
        if (skill == kSkillNone)
            return 0;
        const CSkillInfo& row = GetSkillInfo(skill);
        switch (row.category)
        {
        case kSkillCategoryMartial:
            return GetBaseAttackBonus();
        case kSkillCategorySkill:
        {
            std::int32_t rating = GetSkillValue(skill);
            if (row.attribute != kAttributeNone)
                rating +=
                    GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(row.attribute)));
            return rating;
        }
        default:
            return GetBaseSpellcasterBonus();
        }
    }

    std::int32_t bonus = GetBaseSpellcasterBonus();
    if (skill != kSkillNone)
    {
        const CSkillInfo& row = GetSkillInfo(skill);
        bonus += row.spellBonus;
        if (row.attribute != kAttributeNone)
            bonus += GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(row.attribute)));
        // 83 stands for no linked skill, though a monster holds 83 as its class skill.
        if (row.linkedSkill != kSkillNone && HasSkill(row.linkedSkill))
            bonus += 10;
    }

    std::int32_t penalty = 0;
    if (const auto& body = m_Equipment[kSlotBody])
        if (const CItemAttributeArmor* armor = ArmorOf(*body))
            penalty += armor->GetSpellPenalty();
    if (const auto& offHand = m_Equipment[kSlotOffHand])
        if (offHand->GetTemplate()->GetItemType() == kItemTypeShield)
            if (const CItemAttributeArmor* armor = ArmorOf(*offHand))
                penalty += armor->GetSpellPenalty();
    if (HasSkill(kSkillArmoredSpellcasting))
        penalty -= 10;
    if (HasSkill(kSkillArmoredSpellcastingMastery))
        penalty -= 10;
    if (penalty >= 1)
        bonus -= penalty;
    return bonus + GetModifierTotal(kModCastingBonus);
}

double CActor::GetActionTime(int kind, std::int32_t* speed) const
{
    std::int32_t part = 0;
    if (kind == kActionAttack && HasStyleOrWeaponMastery())
        part = GetBaseAttackBonus() / 5;
    else if (kind == kActionCast && HasSkill(kSkillSpellcastingAlacrity))
        part = GetBaseSpellcasterBonus() * 2 / 5;
    const std::int32_t total = part + m_ActionSpeedBase + GetModifierTotal(kModActionSpeed);
    if (speed != nullptr)
        *speed = total;
    return std::max(4.0 - total / 5.0, 0.5);
}

int CActor::GetFightingStyle() const
{
    const auto& mainHand = m_Equipment[kSlotMainHand];
    if (!mainHand)
        return kSkillNone;
    const CItemAttributeWeapon* weapon = WeaponOf(*mainHand);
    if (weapon == nullptr)
        return kSkillNone;
    if (weapon->GetWeaponKind() == kWeaponKindBow)
        return kSkillMarksmanStyle;
    if (weapon->IsTwoHanded())
        return kSkillTwoHandedStyle;
    const auto& offHand = m_Equipment[kSlotOffHand];
    if (!offHand)
        return kSkillDuelistStyle;
    switch (offHand->GetTemplate()->GetItemType())
    {
    case kItemTypeShield:
        return kSkillShieldStyle;
    case kItemTypeWeapon:
        return kSkillDualWieldStyle;
    default:
        return kSkillNone;
    }
}

bool CActor::HasStyleOrWeaponMastery() const
{
    const int style = GetFightingStyle();
    if (style != kSkillNone && HasSkill(style))
        return true;
    const auto& mainHand = m_Equipment[kSlotMainHand];
    if (!mainHand)
        return false;
    const CItemAttributeWeapon* weapon = WeaponOf(*mainHand);
    if (weapon == nullptr)
        throw CVARDException(2, "the main-hand item of \"" + m_Name + "\" is no weapon");
    const int weaponSkill = GetWeaponKindSkill(static_cast<int>(weapon->GetWeaponKind()));
    const int mastery = GetSkillInfo(weaponSkill).linkedSkill;
    return mastery != kSkillNone && HasSkill(mastery);
}

std::uint32_t CActor::GetExperienceThreshold(std::uint32_t level) const
{
    const std::int64_t sum = static_cast<std::int64_t>(level) + m_LevelBonus;
    if (sum == 0)
        return 0;
    const double threshold = std::trunc(std::pow(10.0, (sum + 1) / 5.0) * 1000.0);
    if (threshold >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
        return std::numeric_limits<std::uint32_t>::max();
    return threshold <= 0.0 ? 0u : static_cast<std::uint32_t>(threshold);
}

// The level table ends at 20: no level is gained above it.
bool CActor::TryLevelUp()
{
    if (m_Level >= kLevelCeiling || m_Experience < GetExperienceThreshold(m_Level + 1))
        return false;
    ++m_Level;
    const CClassInfo& row = GetClassInfo(static_cast<int>(m_Class));
    const int half = row.hitDie / 2;
    if (half > 0)
        m_HitPointBase += static_cast<std::uint32_t>(half + RandomDie(half));
    const CLevelPoints points = LevelPoints(m_Level);
    if (m_Class == kClassRogue)
    {
        m_ClassSkillPoints += points.roguePool;
    }
    else
    {
        m_ClassSkillPoints += points.classPool;
        m_GeneralSkillPoints += points.generalPool;
    }
    if (m_Level % 4 == 0)
        ++m_AttributePoints;
    return true;
}

} // namespace VARD
