// How an actor grows: experience thresholds and levels, hit points, the two
// skill-point pools, buying skills, raising attributes, and learning spells
// by qualification and by faction rank; with the casting bonus the learned
// spells are cast at.

#include "world/actor.h"

#include "common/exception.h"
#include "common/random.h"
#include "world/actor_rule_ids.h"
#include "world/faction.h"
#include "world/game.h"
#include "world/spell.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace VARD
{

using namespace ActorRules;

namespace
{

// Points a level brings: class pool and general pool of a non-rogue, the one
// (class) pool of a rogue.
struct CLevelRow
{
    std::uint32_t level;
    std::uint32_t classPool;
    std::uint32_t generalPool;
    std::uint32_t roguePool;
};

constexpr std::uint32_t kLevelCeiling = 20;

// clang-format off
constexpr std::array<CLevelRow, kLevelCeiling> kLevelTable{{
    {1, 2, 1, 3},
    {2, 1, 0, 1}, {3, 0, 0, 1}, {4, 0, 1, 1},
    {5, 1, 0, 1}, {6, 0, 0, 1}, {7, 0, 1, 1},
    {8, 1, 0, 1}, {9, 0, 0, 1}, {10, 0, 1, 1},
    {11, 1, 0, 1}, {12, 0, 0, 1}, {13, 0, 1, 1},
    {14, 1, 0, 1}, {15, 0, 0, 1}, {16, 0, 1, 1},
    {17, 1, 0, 1}, {18, 0, 0, 1}, {19, 0, 1, 1},
    {20, 1, 0, 1},
}};
// clang-format on

const CLevelRow& LevelRow(std::uint32_t level)
{
    if (level < 1 || level > kLevelCeiling)
        throw CVARDException(2, "no level " + std::to_string(level) + " in the level table");
    return kLevelTable[level - 1];
}

constexpr std::uint32_t kBaseAttributeValue = 6;
constexpr std::uint32_t kTopAttributeCost = 72;
constexpr std::uint32_t kCheapAttributeBelow = 6;
constexpr std::uint32_t kTopAttributeFrom = 20;

constexpr std::int32_t kInfoMessage = 18;

} // namespace

// ------------------------------------------------------------ levels

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

void CActor::ResetCharacterStats()
{
    m_Experience = GetExperienceThreshold(m_Level);
    m_ClassSkillPoints = 0;
    m_GeneralSkillPoints = 0;
    m_AttributePoints = 0;
    m_Attributes.fill(kBaseAttributeValue);
    m_SpellResistanceBase = 0;
    m_DefenseBase = 0;
    m_ActionSpeedBase = 0;
    m_MovementSpeedBase = 0;
    m_SaveBases.fill(0);
    m_DamageTaken = 0;
    m_HitPointBase = 1;
}

std::uint32_t CActor::GetAttributeRaiseCost(std::uint32_t value)
{
    if (value < kCheapAttributeBelow)
        return 1;
    if (value < kTopAttributeFrom)
        return (value - 4u) / 2u;
    return kTopAttributeCost;
}

void CActor::RaiseAttribute(std::uint32_t attribute)
{
    const std::uint32_t value = GetBaseAttribute(attribute);
    const std::uint32_t cost = GetAttributeRaiseCost(value);
    if (m_AttributePoints < cost)
        throw CVARDException(2, VARDCommon::QuoteForMessage(m_Name) + " has " +
                                    std::to_string(m_AttributePoints) +
                                    " attribute points; raising costs " + std::to_string(cost));
    m_Attributes[attribute] = value + 1;
    m_AttributePoints -= cost;
}

void CActor::ResetSkillPoints()
{
    m_ClassSkillPoints = 0;
    m_GeneralSkillPoints = 0;
    // The table ends at the level ceiling; levels past it bring nothing.
    const std::uint32_t top = std::min(m_Level, kLevelCeiling);
    for (std::uint32_t level = 1; level <= top; ++level)
    {
        const CLevelRow& row = LevelRow(level);
        if (m_Class == kClassRogue)
        {
            m_ClassSkillPoints += row.roguePool;
        }
        else
        {
            m_ClassSkillPoints += row.classPool;
            m_GeneralSkillPoints += row.generalPool;
        }
    }
    m_Skills.insert(GetClassInfo(static_cast<int>(m_Class)).classSkill);
}

void CActor::RollHitPoints()
{
    const int half = GetClassInfo(static_cast<int>(m_Class)).hitDie / 2;
    std::uint32_t total = 0;
    if (half > 0)
        for (std::uint32_t level = 1; level <= m_Level; ++level)
            total += static_cast<std::uint32_t>(half + RandomDie(half));
    m_HitPointBase = total;
    m_DamageTaken = 0;
}

// No level is gained past the end of the level table.
bool CActor::TryLevelUp()
{
    if (m_Level >= kLevelCeiling || m_Experience < GetExperienceThreshold(m_Level + 1))
        return false;
    ++m_Level;
    const int half = GetClassInfo(static_cast<int>(m_Class)).hitDie / 2;
    if (half > 0)
        m_HitPointBase += static_cast<std::uint32_t>(half + RandomDie(half));
    const CLevelRow& row = LevelRow(m_Level);
    if (m_Class == kClassRogue)
    {
        m_ClassSkillPoints += row.roguePool;
    }
    else
    {
        m_ClassSkillPoints += row.classPool;
        m_GeneralSkillPoints += row.generalPool;
    }
    if (m_Level % 4u == 0)
        ++m_AttributePoints;
    return true;
}

// ------------------------------------------------------------ skills

std::int32_t CActor::GetCategoryRating(int category, int skill) const
{
    switch (category)
    {
    case kSkillCategoryMartial:
        return GetBaseAttackBonus();
    case kSkillCategorySkill:
        return GetSkillValue(skill);
    case kSkillCategoryMagic:
        return GetBaseSpellcasterBonus();
    default:
        throw CVARDException(1, "skill category " + std::to_string(category) + " rates nothing");
    }
}

// A rogue's one pool pays for everything, and so does a class pool for skills
// of the class's own category; anything else is a general purchase.
bool CActor::CanLearnSkill(int skill) const
{
    const CSkillInfo& row = GetSkillInfo(skill);
    const bool generalOnly = m_Class != kClassRogue && row.category != static_cast<int>(m_Class);
    const bool canPay =
        generalOnly ? m_GeneralSkillPoints > 0 : m_ClassSkillPoints > 0 || m_GeneralSkillPoints > 0;
    if (!canPay)
        return false;
    for (const int prerequisite : row.prerequisites)
        if (prerequisite != kSkillNone && !HasSkill(prerequisite))
            return false;
    if (row.requiredRating == 0)
        return true;
    return GetCategoryRating(row.category, row.prerequisites[0]) >= row.requiredRating;
}

void CActor::LearnSkill(int skill)
{
    const CSkillInfo& row = GetSkillInfo(skill);
    const bool generalOnly = m_Class != kClassRogue && row.category != static_cast<int>(m_Class);
    std::uint32_t& pool =
        (generalOnly || m_ClassSkillPoints == 0) ? m_GeneralSkillPoints : m_ClassSkillPoints;
    // Checked before the skill joins the set, so a refusal leaves nothing unpaid.
    if (pool == 0)
        throw CVARDException(2, VARDCommon::QuoteForMessage(m_Name) +
                                    " has no skill point to pay for " + GetSkillDisplayName(skill));
    m_Skills.insert(skill);
    --pool;
}

// ------------------------------------------------------------ spells

bool CActor::MeetsRequirement(const CSpell& spell) const
{
    const int skill = spell.GetSkill();
    // A monster holds 83, but no skill gives no rating to reach a level with.
    if (skill == kSkillNone || !HasSkill(skill))
        return false;
    return GetCategoryRating(GetSkillInfo(skill).category, skill) >= spell.GetLevel();
}

bool CActor::KnowsSpell(const CSpell& spell) const
{
    return std::find(m_Spells.begin(), m_Spells.end(), &spell) != m_Spells.end();
}

void CActor::LearnSpell(const CSpell& spell, CGame* announceTo)
{
    if (KnowsSpell(spell))
        return;
    // Announced first: a script run that cannot afford the line stops with
    // the spell still to learn, rather than learnt unannounced.
    if (announceTo != nullptr)
        announceTo->AddMessage(kInfoMessage, m_Name + " inscribes " + spell.GetDisplayName() + ".");
    AddSpell(spell);
}

void CActor::LearnQualifyingSpells(const CModule& module, CGame* announceTo)
{
    for (const auto& [key, spell] : module.GetSpells())
        if (MeetsRequirement(*spell))
            LearnSpell(*spell, announceTo);
}

void CActor::LearnFactionSpells(const CModule& module, CGame* announceTo)
{
    if (m_Faction == nullptr)
        return;
    const auto granted = m_Faction->GetGrantedSpells(module, m_FactionRank,
                                                     [this](int skill) { return HasSkill(skill); });
    for (const CSpell* spell : granted)
        LearnSpell(*spell, announceTo);
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
        std::int32_t rating = GetCategoryRating(row.category, skill);
        if (row.category == kSkillCategorySkill && row.attribute != kAttributeNone)
            rating += GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(row.attribute)));
        return rating;
    }

    std::int32_t bonus = GetBaseSpellcasterBonus();
    if (skill != kSkillNone)
    {
        const CSkillInfo& row = GetSkillInfo(skill);
        bonus += row.spellBonus;
        if (row.attribute != kAttributeNone)
            bonus += GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(row.attribute)));
        const int linked = LinkedSkillOf(skill);
        if (linked != kSkillNone && HasSkill(linked))
            bonus += 10;
    }

    std::int32_t penalty = 0;
    if (const auto& body = m_Equipment[kSlotBody])
        if (const CItemAttributeArmor* armor = ArmorOf(*body))
            penalty += armor->GetSpellPenalty();
    if (const auto& offHand = m_Equipment[kSlotOffHand])
        if (ItemTypeOf(*offHand) == kItemTypeShield)
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

} // namespace VARD
