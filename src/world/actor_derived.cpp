// The numbers of an actor that the rules compute on demand: attributes and
// their bonuses, hit and energy points, skill ratings and checks, saves,
// resistance, speeds, distances, sight, load, and the checks on equipment
// and item use. Nothing is cached: every value follows the fields and the
// modifier total of the moment.

#include "world/actor.h"

#include "common/exception.h"
#include "world/actor_rule_ids.h"
#include "world/actor_template.h"
#include "world/spell.h"
#include "world/world_object.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace VARD
{

using namespace ActorRules;

namespace
{

constexpr int kActionAttack = 2;
constexpr int kActionCast = 11;

constexpr double kReach = 5.0;
constexpr double kTileReach = 7.5;
constexpr double kMeleeRange = 12.5;
constexpr double kSpottingRange = 150.0;
constexpr double kSneakingPace = 0.6666666666666666;

// Sides as the rules group them: party and friends against everyone else.
bool IsOnFriendlySide(std::uint32_t attitude)
{
    return attitude == kAttitudeParty || attitude == kAttitudeFriendly;
}

} // namespace

// ------------------------------------------------------------ attributes

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

// ------------------------------------------------------ hit and energy points

std::int32_t CActor::GetMaxHitPoints() const
{
    const std::int32_t durability = GetAttributeBonus(GetAttribute(kAttributeDurability));
    return static_cast<std::int32_t>(m_Level) * durability +
           static_cast<std::int32_t>(m_HitPointBase);
}

std::int32_t CActor::GetHitPoints() const
{
    if (IsDead())
        return 0;
    return GetMaxHitPoints() - m_DamageTaken;
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
    const std::int64_t intelligence = GetAttribute(kAttributeIntelligence);
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

// ------------------------------------------------------------ skills

std::int32_t CActor::GetSkillValue(int skill) const
{
    // A monster holds 83 as its class skill; it rates nothing.
    if (skill == kSkillNone || !HasSkill(skill))
        return 0;
    if (skill == kSkillWands)
        return GetBaseSpellcasterBonus() + (m_Class == kClassRogue ? 10 : 0);
    std::int32_t value = (static_cast<std::int32_t>(m_Level) + m_LevelBonus + 1) * 5;
    if (GetSkillInfo(skill).category == kSkillCategorySkill && m_Class == kClassRogue)
        value += 20;
    return value;
}

std::int32_t CActor::GetSkillTotal(int skill) const
{
    const std::int32_t value = GetSkillValue(skill);
    if (value == 0)
        return 0;
    const int attribute = GetSkillInfo(skill).attribute;
    if (attribute == kAttributeNone)
        return value;
    return value + GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(attribute)));
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

// ------------------------------------------------------ saves and resistance

std::int32_t CActor::GetSave(std::uint32_t save) const
{
    if (save >= static_cast<std::uint32_t>(kSaveCount))
        throw CVARDException(2, "no save " + std::to_string(save));
    const CSaveInfo& row = GetSaveInfo(static_cast<int>(save));
    std::int32_t value = m_SaveBases[save];
    if (HasSkill(row.improvedSkill))
        value += static_cast<std::int32_t>(m_Level * 10u / 3u);
    else
        value += static_cast<std::int32_t>(m_Level * 5u / 3u);
    const std::int32_t attributeBonus =
        GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(row.attribute)));
    if (HasSkill(row.greaterSkill))
        value += std::max(attributeBonus, 10);
    value += attributeBonus;
    return value + GetModifierTotal(kModEscape << save);
}

std::int32_t CActor::GetSpellResistance() const
{
    const std::int32_t mods = GetModifierTotal(kModSpellResistance);
    if (m_SpellResistanceBase == 0 && mods == 0)
        return 0;
    return static_cast<std::int32_t>(m_SpellResistanceBase) + mods + 50;
}

// ------------------------------------------------------------ speeds

double CActor::GetMovementSpeed() const
{
    const std::int32_t total = m_MovementSpeedBase + GetModifierTotal(kModMovementSpeed);
    const double speed = total / 5.0 + 10.0;
    return IsSneaking() ? speed * kSneakingPace : speed;
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

// ------------------------------------------------------------ distances

double CActor::DistanceTo(double x, double y) const
{
    const double dx = x - m_X;
    const double dy = y - m_Y;
    return std::sqrt(dx * dx + dy * dy);
}

bool CActor::IsWithinReachOf(const CThing& thing) const
{
    double distance = 0.0;
    // An object is reached at the edge of its footprint, where the use step
    // stops walking: a broad shrine or chest is not out of reach from there.
    if (const auto* object = dynamic_cast<const CObject*>(&thing))
        distance = object->DistanceToFootprint(m_X, m_Y);
    else if (const auto* actor = dynamic_cast<const CActor*>(&thing))
        distance = DistanceTo(actor->GetX(), actor->GetY());
    else
        throw CVARDException(2, "thing " + std::to_string(thing.Id()) + " has no place to reach");
    return distance <= m_Radius + kReach;
}

bool CActor::IsWithinReachOfTile(std::uint32_t tileId) const
{
    const std::uint32_t number = ThingNumberOf(tileId);
    const double x = (number % 1000u) * 2.5 + 1.25;
    const double y = (number / 1000u) * 2.5 + 1.25;
    const double dx = x - m_X;
    const double dy = y - m_Y;
    const double reach = m_Radius + kTileReach;
    return dx * dx + dy * dy < reach * reach;
}

bool CActor::IsInMeleeRangeOf(const CActor& other) const
{
    if (IsDead() || other.IsDead())
        return false;
    return DistanceTo(other.m_X, other.m_Y) <= kMeleeRange + m_Radius + other.m_Radius;
}

// ------------------------------------------------------------ sight

bool CActor::IsSneaking() const
{
    return m_Power != nullptr && m_Power->GetSkill() == kSkillSneak;
}

bool CActor::HasSneakSkill() const
{
    return HasSkill(kSkillSneak);
}

bool CActor::IsVisibleTo(const CActor& other) const
{
    if (IsOnFriendlySide(m_Attitude) == IsOnFriendlySide(other.m_Attitude))
        return true;
    return !IsSneaking();
}

bool CActor::IsSpottedBy(const CActor& observer) const
{
    const double distance = DistanceTo(observer.m_X, observer.m_Y);
    if (distance > kSpottingRange)
        return false;
    const std::int32_t hider = GetSkillTotal(kSkillSneak) + GetModifierTotal(kModStealth);
    const std::int32_t closeness =
        static_cast<std::int32_t>(std::trunc((50.0 - std::min(distance, 50.0)) * 0.5));
    const std::int32_t seeker = observer.GetSkillTotal(kSkillObservation) +
                                observer.GetModifierTotal(kModObservation) + closeness;
    return seeker >= hider;
}

// ------------------------------------------------------------ load

double CActor::GetCarriedWeight() const
{
    double weight = 0.0;
    const auto add = [&weight](const std::shared_ptr<CItem>& item)
    {
        if (item)
            weight += item->GetValue1() * item->GetTemplate()->GetWeight();
    };
    std::for_each(m_Equipment.begin(), m_Equipment.end(), add);
    std::for_each(m_Backpack.begin(), m_Backpack.end(), add);
    return weight;
}

bool CActor::IsOverburdened() const
{
    if (m_Attitude != kAttitudeParty)
        return false;
    const double limit = std::trunc(25.0 * std::pow(2.0, GetAttribute(kAttributeStrength) / 5.0));
    return GetCarriedWeight() > limit;
}

// ------------------------------------------------------ equipment and items

bool CActor::CanEquipInSlot(std::uint32_t slot, const CItem& item) const
{
    bool fits = false;
    switch (ItemTypeOf(item))
    {
    case kItemTypeWeapon:
    {
        const CItemAttributeWeapon* weapon = WeaponOf(item);
        const bool twoHanded = weapon != nullptr && weapon->IsTwoHanded();
        fits = slot == kSlotMainHand ||
               (slot == kSlotOffHand && HasSkill(kSkillDualWieldStyle) && !twoHanded);
        break;
    }
    case kItemTypeArmor:
        fits = slot == kSlotBody;
        break;
    case kItemTypeShield:
        fits = slot == kSlotOffHand;
        break;
    case kItemTypeHelmet:
        fits = slot == kSlotHead;
        break;
    case kItemTypeAmulet:
        fits = slot == kSlotNeck;
        break;
    case kItemTypeRing:
        fits = slot == kSlotRing1 || slot == kSlotRing2;
        break;
    default:
        break;
    }
    if (!fits)
        return false;
    for (const auto& attribute : item.GetTemplate()->GetAttributes())
    {
        if (attribute->GetKind() != kItemAttributeAttributeReq)
            continue;
        const auto& requirement = static_cast<const CItemAttributeAttributeReq&>(*attribute);
        if (GetAttribute(requirement.GetAttribute()) <
            static_cast<std::int32_t>(requirement.GetRequiredValue()))
            return false;
    }
    return true;
}

bool CActor::CanUseWieldedWeapons() const
{
    if (!m_Attacks.empty())
        return true;
    for (const std::uint32_t slot : {kSlotMainHand, kSlotOffHand})
    {
        const auto& item = m_Equipment[slot];
        if (item && ItemTypeOf(*item) == kItemTypeWeapon && !CanEquipInSlot(slot, *item))
            return false;
    }
    return true;
}

bool CActor::CanUseItem(const CItem& item, bool restricted) const
{
    switch (ItemTypeOf(item))
    {
    case kItemTypePotion:
        return !restricted;
    case kItemTypeWand:
    {
        if (restricted || !HasSkill(kSkillWands))
            return false;
        const CSpell* spell = CarriedSpellOf(item);
        return spell != nullptr && GetSkillValue(kSkillWands) >= spell->GetLevel();
    }
    case kItemTypeScroll:
    {
        if (!HasSkill(kSkillArcaneMagic))
            return false;
        const CSpell* spell = CarriedSpellOf(item);
        return spell != nullptr && !KnowsSpell(*spell) &&
               GetBaseSpellcasterBonus() >= spell->GetLevel();
    }
    default:
        return false;
    }
}

const CSpell* CActor::GetAttackSpell(std::uint32_t hand, const CModule& module) const
{
    if (!m_Attacks.empty())
    {
        // A creature has only the attacks of its list; others launch nothing.
        if (hand >= m_Attacks.size() || m_Attacks[hand]->GetSpellName().empty())
            return nullptr;
        return module.FindSpell(m_Attacks[hand]->GetSpellName());
    }
    if (hand != kSlotMainHand && hand != kSlotOffHand)
        throw CVARDException(2, VARDCommon::QuoteForMessage(m_Name) + " has no hand " +
                                    std::to_string(hand));
    const auto& item = m_Equipment[hand];
    if (!item || ItemTypeOf(*item) != kItemTypeWeapon)
        return nullptr;
    return CarriedSpellOf(*item);
}

// ------------------------------------------------------------ fighting style

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
    switch (ItemTypeOf(*offHand))
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
    // A monster holds skill 83 as its class skill, and 83 is its style.
    if (HasSkill(GetFightingStyle()))
        return true;
    const auto& mainHand = m_Equipment[kSlotMainHand];
    if (!mainHand)
        return false;
    const CItemAttributeWeapon* weapon = WeaponOf(*mainHand);
    if (weapon == nullptr)
        throw CVARDException(2, "the main-hand item of " + VARDCommon::QuoteForMessage(m_Name) +
                                    " is no weapon");
    const int mastery =
        LinkedSkillOf(GetWeaponKindSkill(static_cast<int>(weapon->GetWeaponKind())));
    return mastery != kSkillNone && HasSkill(mastery);
}

bool CActor::MeetsPowerWeaponRequirement(const CSpell& power) const
{
    if (!power.IsPower())
        return false;
    const int kind = power.GetRequiredWeaponKind();
    if (kind != kWeaponKindNone)
    {
        const auto& mainHand = m_Equipment[kSlotMainHand];
        if (!mainHand || ItemTypeOf(*mainHand) != kItemTypeWeapon)
            return false;
        const CItemAttributeWeapon* weapon = WeaponOf(*mainHand);
        if (weapon == nullptr || weapon->GetWeaponKind() != static_cast<std::uint32_t>(kind))
            return false;
        const auto& offHand = m_Equipment[kSlotOffHand];
        if (offHand && ItemTypeOf(*offHand) == kItemTypeWeapon)
        {
            const CItemAttributeWeapon* second = WeaponOf(*offHand);
            if (second == nullptr || second->GetWeaponKind() != static_cast<std::uint32_t>(kind))
                return false;
        }
    }
    const int style = power.GetRequiredSkill();
    return style == kSkillNone || style == GetFightingStyle();
}

// ------------------------------------------------------------ spells

bool CanSpellAffect(const CSpell& spell, const CActor& actor)
{
    return spell.CanAffect(actor.IsSummoned(), static_cast<int>(actor.GetCreatureKind()),
                           [&actor](int saveKind)
                           { return actor.GetSave(static_cast<std::uint32_t>(saveKind)); });
}

} // namespace VARD
