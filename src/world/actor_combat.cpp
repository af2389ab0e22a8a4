// An actor's attack and defence: the attack bonus, the values one swing is
// rolled with, the defence class, and their breakdowns for the character
// sheet. The breakdown lines come in the order the amounts are added, each
// ended by " LINE ", where the text widgets break.

#include "world/actor.h"

#include "common/exception.h"
#include "world/actor_rule_ids.h"
#include "world/actor_template.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace VARD
{

using namespace ActorRules;

namespace
{

constexpr std::int32_t kNonProficientPenalty = 20;
constexpr std::int32_t kStyleBonus = 5;
constexpr std::int32_t kMasteryBonus = 5;
constexpr std::int32_t kFlankingBonus = 10;
constexpr std::int32_t kImprovedFlankingBonus = 20;
constexpr std::int32_t kUnarmedDie = 15;
constexpr std::int32_t kBaseDefense = 50;
constexpr std::int32_t kShieldFocusBonus = 10;
constexpr std::int32_t kDuelistDefenseBonus = 10;

// Writes breakdown lines into an optional text; without a text it does
// nothing, so the arithmetic reads the same either way.
class CBreakdown
{
public:
    explicit CBreakdown(std::string* text) : m_Text(text) {}

    void Title(const std::string& title) { Append(title + "LINE "); }
    // A line only for an amount that is not 0.
    void Line(const std::string& label, std::int32_t amount)
    {
        if (amount != 0)
            Always(label, amount);
    }
    void Always(const std::string& label, std::int32_t amount)
    {
        Append(label + std::to_string(amount) + " LINE ");
    }
    void Text(const std::string& label, const std::string& value)
    {
        Append(label + value + " LINE ");
    }

private:
    void Append(const std::string& piece)
    {
        if (m_Text != nullptr)
            *m_Text += piece;
    }

    std::string* m_Text;
};

std::string SkillLabel(int skill)
{
    return "+ " + GetSkillDisplayName(skill) + ": +";
}

// What the off hand costs both hands: nothing for a light blade once the
// off hand is trained, the most for a heavy weapon in an untrained one.
std::int32_t OffhandPenalty(const CItem& offHand, bool improved)
{
    const CItemAttributeWeapon* weapon = WeaponOf(offHand);
    const bool lightBlade = weapon != nullptr && weapon->GetWeaponKind() == kWeaponKindLightBlade;
    if (improved)
        return lightBlade ? 0 : 10;
    return lightBlade ? 10 : 20;
}

const CItemAttributeAttributeReq* AttributeRequirementOf(const CItem& item)
{
    return static_cast<const CItemAttributeAttributeReq*>(
        item.FindAttribute(kItemAttributeAttributeReq));
}

} // namespace

std::int32_t CActor::GetArmorPenalty() const
{
    std::int32_t penalty = 0;
    const auto addFor = [this, &penalty](const CItem& item)
    {
        const CItemAttributeArmor* armor = ArmorOf(item);
        if (armor == nullptr)
            return;
        // Armour of skill 83 burdens everyone who does not hold 83 (every
        // character class but the monsters').
        if (!HasSkill(static_cast<int>(armor->GetArmorSkill())))
            penalty += armor->GetAttackPenalty();
    };
    if (const auto& body = m_Equipment[kSlotBody])
        addFor(*body);
    if (const auto& offHand = m_Equipment[kSlotOffHand])
        if (ItemTypeOf(*offHand) == kItemTypeShield)
            addFor(*offHand);
    return penalty;
}

std::int32_t CActor::GetAttackBonus() const
{
    return GetBaseAttackBonus() + GetAttributeBonus(GetAttribute(kAttributeAgility)) +
           GetModifierTotal(kModAttackBonus) - GetArmorPenalty();
}

CAttackInfo CActor::DescribeAttack(std::uint32_t hand, bool flanking, std::string* text) const
{
    CBreakdown breakdown(text);
    CAttackInfo info;

    if (!m_Attacks.empty())
    {
        if (hand >= m_Attacks.size())
            throw CVARDException(2, VARDCommon::QuoteForMessage(m_Name) + " has no attack " +
                                        std::to_string(hand));
        const CAttackInfo& attack = *m_Attacks[hand]->GetAttackInfo();
        const std::int32_t attackMods = GetModifierTotal(kModAttackBonus);
        const std::int32_t damageMods = GetModifierTotal(kModAttackDamage);
        info.name = m_Name + " (" + attack.name + ")";
        info.attackBonus = attack.attackBonus + attackMods;
        info.dieSize = attack.dieSize;
        info.base = attack.base + damageMods;
        breakdown.Title("Attack Bonus: ");
        breakdown.Always("+ " + attack.name + " Attack Bonus: ", attack.attackBonus);
        breakdown.Line("+ Effects: ", attackMods);
        breakdown.Title("Attack Damage: ");
        breakdown.Text("+ " + attack.name + " Damage: ",
                       FormatDiceRange(attack.dieSize, attack.base));
        breakdown.Line("+ Effects: ", damageMods);
        return info;
    }

    if (hand != kSlotMainHand && hand != kSlotOffHand)
        throw CVARDException(2, VARDCommon::QuoteForMessage(m_Name) + " has no hand " +
                                    std::to_string(hand));
    const CItem* weaponItem = nullptr;
    if (const auto& item = m_Equipment[hand])
        if (WeaponOf(*item) != nullptr &&
            (hand == kSlotMainHand || ItemTypeOf(*item) == kItemTypeWeapon))
            weaponItem = item.get();
    const CItemAttributeWeapon* weapon = weaponItem ? WeaponOf(*weaponItem) : nullptr;
    const std::string weaponName = weaponItem ? weaponItem->GetTemplate()->GetDisplayName() : "";
    const int weaponSkill =
        weapon ? GetWeaponKindSkill(static_cast<int>(weapon->GetWeaponKind())) : kSkillNone;
    const int attribute =
        weapon ? GetSkillInfo(weaponSkill).attribute : static_cast<int>(kAttributeStrength);
    const int style = GetFightingStyle();
    const int mastery = weapon ? LinkedSkillOf(weaponSkill) : kSkillNone;
    const bool hasMastery = mastery != kSkillNone && HasSkill(mastery);
    const std::int32_t armorPenalty = GetArmorPenalty();
    info.name = m_Name;

    // Attack bonus.
    breakdown.Title(hand == kSlotOffHand ? "Offhand Attack Bonus: " : "Attack Bonus: ");
    std::int32_t attack = GetBaseAttackBonus();
    breakdown.Always("+ Base Attack Bonus: ", attack);
    if (weapon != nullptr)
    {
        if (!HasSkill(weaponSkill))
        {
            attack -= kNonProficientPenalty;
            breakdown.Line("+ Non-Proficient Penalty: -", kNonProficientPenalty);
        }
        attack += weapon->GetAttackBonus();
        breakdown.Line("+ " + weaponName + " Attack Bonus: ", weapon->GetAttackBonus());
    }
    else
    {
        attack -= kNonProficientPenalty;
        breakdown.Line("+ Unarmed Penalty: -", kNonProficientPenalty);
    }
    attack -= armorPenalty;
    breakdown.Line("+ Armor Penalty: -", armorPenalty);
    std::vector<int> styleSkills;
    for (const int styleSkill : {kSkillDuelistStyle, kSkillMarksmanStyle})
        if (HasSkill(styleSkill) && style == styleSkill)
            styleSkills.push_back(styleSkill);
    for (const int styleSkill : styleSkills)
    {
        attack += kStyleBonus;
        breakdown.Line(SkillLabel(styleSkill), kStyleBonus);
    }
    if (hasMastery)
    {
        attack += kMasteryBonus;
        breakdown.Line(SkillLabel(mastery), kMasteryBonus);
    }
    if (const auto& offHand = m_Equipment[kSlotOffHand])
    {
        if (ItemTypeOf(*offHand) == kItemTypeWeapon)
        {
            const std::int32_t penalty =
                OffhandPenalty(*offHand, HasSkill(kSkillImprovedDualWield));
            attack -= penalty;
            breakdown.Line("+ Offhand Penalty: -", penalty);
        }
    }
    if (flanking)
    {
        const std::int32_t bonus =
            HasSkill(kSkillImprovedFlank) ? kImprovedFlankingBonus : kFlankingBonus;
        attack += bonus;
        breakdown.Line("+ Flanking: +", bonus);
    }
    const std::int32_t attackMods = GetModifierTotal(kModAttackBonus);
    attack += attackMods;
    breakdown.Line("+ Effects: ", attackMods);
    if (attribute != kAttributeNone)
    {
        const std::int32_t bonus =
            GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(attribute)));
        attack += bonus;
        breakdown.Line("+ " + GetAttributeDisplayName(attribute) + " Modifier: ", bonus);
    }
    info.attackBonus = attack;

    // Damage.
    breakdown.Title("Attack Damage: ");
    std::int32_t die = kUnarmedDie;
    std::int32_t damage = 0;
    if (weapon != nullptr)
    {
        die = weapon->GetDieSize();
        damage = weapon->GetDamageBase();
        breakdown.Text("+ " + weaponName + " Damage: ", FormatDiceRange(die, damage));
    }
    else
    {
        breakdown.Text("+ Unarmed Damage: ", FormatDiceRange(die, damage));
    }
    if (attribute == static_cast<int>(kAttributeAgility))
    {
        if (HasSkill(kSkillDeadlyMarksman))
        {
            const std::int32_t half = GetAttributeBonus(GetAttribute(kAttributeAgility)) / 2;
            damage += half;
            breakdown.Line("+ " + GetSkillDisplayName(kSkillDeadlyMarksman) + ": ", half);
        }
        if (const CItemAttributeAttributeReq* requirement = AttributeRequirementOf(*weaponItem))
        {
            const std::int32_t bonus =
                GetAttributeBonus(static_cast<std::int32_t>(requirement->GetRequiredValue()));
            damage += bonus;
            breakdown.Line("+ " + weaponName + " Strength: +", bonus);
        }
    }
    else if (attribute != kAttributeNone)
    {
        std::int32_t bonus = GetAttributeBonus(GetAttribute(static_cast<std::uint32_t>(attribute)));
        std::string styleName;
        if (HasSkill(kSkillTwoHandedStyle) && style == kSkillTwoHandedStyle)
        {
            bonus = HasSkill(kSkillTwoHandedPower) ? bonus * 2 : bonus * 3 / 2;
            styleName = " (" + GetSkillDisplayName(kSkillTwoHandedStyle) + ")";
        }
        if (hand == kSlotOffHand)
        {
            bonus /= 2;
            styleName = " (" + GetSkillDisplayName(kSkillDualWieldStyle) + ")";
        }
        damage += bonus;
        breakdown.Line("+ " + GetAttributeDisplayName(attribute) + styleName + " Modifier: ",
                       bonus);
    }
    damage -= armorPenalty;
    breakdown.Line("+ Armor Penalty: -", armorPenalty);
    for (const int styleSkill : styleSkills)
    {
        damage += kStyleBonus;
        breakdown.Line(SkillLabel(styleSkill), kStyleBonus);
    }
    if (hasMastery)
    {
        damage += kMasteryBonus;
        breakdown.Line(SkillLabel(mastery), kMasteryBonus);
    }
    if (flanking)
    {
        damage += kFlankingBonus;
        if (HasSkill(kSkillImprovedFlank))
        {
            const std::int32_t stealth = std::max(GetSkillTotal(kSkillSneak), 0);
            die += stealth;
            breakdown.Text("+ Flanking: ", FormatDiceRange(stealth, kFlankingBonus));
        }
        else
        {
            breakdown.Line("+ Flanking: +", kFlankingBonus);
        }
    }
    const std::int32_t damageMods = GetModifierTotal(kModAttackDamage);
    damage += damageMods;
    breakdown.Line("+ Effects: ", damageMods);
    info.dieSize = die;
    info.base = damage;
    return info;
}

std::int32_t CActor::DescribeDefense(bool ignoreArmor, std::string* text) const
{
    CBreakdown breakdown(text);
    breakdown.Title("Defense Class: ");
    std::int32_t defense = m_DefenseBase + kBaseDefense;
    breakdown.Always("+ Base Defense Class: ", defense);
    std::int32_t agility = GetAttributeBonus(GetAttribute(kAttributeAgility));

    // Mastery of the body armour worn.
    std::int32_t mastery = 0;
    int masterySkill = kSkillNone;
    const CItem* body = m_Equipment[kSlotBody].get();
    const CItemAttributeArmor* bodyArmor = body ? ArmorOf(*body) : nullptr;
    if (bodyArmor != nullptr)
    {
        const int linked = LinkedSkillOf(static_cast<int>(bodyArmor->GetArmorSkill()));
        if (linked != kSkillNone && HasSkill(linked))
        {
            mastery = GetBaseAttackBonus() / 5;
            masterySkill = linked;
        }
    }

    if (bodyArmor != nullptr)
    {
        if (!ignoreArmor)
        {
            defense += bodyArmor->GetDefenseClass();
            breakdown.Line("+ " + body->GetTemplate()->GetDisplayName() + " Defense Class: +",
                           bodyArmor->GetDefenseClass());
        }
        if (bodyArmor->HasMaxAgilityBonus())
            agility = std::min(agility, bodyArmor->GetMaxAgilityBonus() + mastery);
    }

    const CItem* offHand = m_Equipment[kSlotOffHand].get();
    if (offHand != nullptr && ItemTypeOf(*offHand) == kItemTypeShield)
    {
        if (const CItemAttributeArmor* shield = ArmorOf(*offHand))
        {
            if (!ignoreArmor)
            {
                defense += shield->GetDefenseClass();
                breakdown.Line("+ " + offHand->GetTemplate()->GetDisplayName() +
                                   " Defense Class: +",
                               shield->GetDefenseClass());
                if (HasSkill(kSkillShieldFocus))
                {
                    defense += kShieldFocusBonus;
                    breakdown.Line(SkillLabel(kSkillShieldFocus), kShieldFocusBonus);
                }
            }
            if (shield->HasMaxAgilityBonus())
                agility = std::min(agility, shield->GetMaxAgilityBonus() + mastery);
        }
    }

    if (GetFightingStyle() == kSkillDuelistStyle && HasSkill(kSkillDuelistDefense))
    {
        defense += kDuelistDefenseBonus;
        breakdown.Line(SkillLabel(kSkillDuelistDefense), kDuelistDefenseBonus);
    }

    defense += agility;
    breakdown.Line("+ Agility Bonus: ", agility);
    defense += mastery;
    if (masterySkill != kSkillNone)
        breakdown.Line(SkillLabel(masterySkill), mastery);
    const std::int32_t mods = GetModifierTotal(kModDefense);
    defense += mods;
    breakdown.Line("+ Effects: ", mods);
    return defense;
}

} // namespace VARD
