#pragma once

// Skill ids, item types and item-data lookups that the actor's rule files
// (actor_derived, actor_combat, actor_levels) share. Not for other callers.

#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/module.h"
#include "world/rule_tables.h"

#include <cstdint>

namespace VARD
{
namespace ActorRules
{

// Skills the actor's formulas name.
constexpr int kSkillShieldStyle = 8;
constexpr int kSkillDuelistStyle = 9;
constexpr int kSkillMarksmanStyle = 10;
constexpr int kSkillTwoHandedStyle = 11;
constexpr int kSkillDualWieldStyle = 12;
constexpr int kSkillShieldFocus = 13;
constexpr int kSkillDuelistDefense = 14;
constexpr int kSkillDeadlyMarksman = 15;
constexpr int kSkillTwoHandedPower = 16;
constexpr int kSkillImprovedDualWield = 17;
constexpr int kSkillArcaneMagic = 40;
constexpr int kSkillArmoredSpellcasting = 60;
constexpr int kSkillArmoredSpellcastingMastery = 61;
constexpr int kSkillSpellcastingAlacrity = 62;
constexpr int kSkillObservation = 68;
constexpr int kSkillImprovedFlank = 70;
constexpr int kSkillWands = 73;

constexpr std::uint32_t kClassRogue = 1;

constexpr std::uint32_t kWeaponKindLightBlade = 0;
constexpr std::uint32_t kWeaponKindBow = 5;

constexpr std::uint32_t kItemTypeWeapon = 0;
constexpr std::uint32_t kItemTypeArmor = 1;
constexpr std::uint32_t kItemTypeShield = 2;
constexpr std::uint32_t kItemTypeHelmet = 3;
constexpr std::uint32_t kItemTypeAmulet = 4;
constexpr std::uint32_t kItemTypeRing = 5;

constexpr std::uint32_t kAttributeStrength = 0;
constexpr std::uint32_t kAttributeAgility = 1;
constexpr std::uint32_t kAttributeDurability = 2;
constexpr std::uint32_t kAttributeIntelligence = 3;

inline std::uint32_t ItemTypeOf(const CItem& item)
{
    return item.GetTemplate()->GetItemType();
}

inline const CItemAttributeWeapon* WeaponOf(const CItem& item)
{
    return static_cast<const CItemAttributeWeapon*>(item.FindAttribute(kItemAttributeWeapon));
}

inline const CItemAttributeArmor* ArmorOf(const CItem& item)
{
    return static_cast<const CItemAttributeArmor*>(item.FindAttribute(kItemAttributeArmor));
}

// The spell a potion, scroll, wand or weapon carries; null without one.
inline const CSpell* CarriedSpellOf(const CItem& item)
{
    const auto* attribute =
        static_cast<const CItemAttributeSpell*>(item.FindAttribute(kItemAttributeSpell));
    return attribute != nullptr ? attribute->GetSpell() : nullptr;
}

// The skill whose holder masters another one; 83 stands for none, so a
// monster (which holds 83 as its class skill) gains nothing by it.
inline int LinkedSkillOf(int skill)
{
    return skill == kSkillNone ? kSkillNone : GetSkillInfo(skill).linkedSkill;
}

} // namespace ActorRules
} // namespace VARD
