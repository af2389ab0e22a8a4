#include "dialogs/help_text.h"

#include "common/exception.h"
#include "dialogs/spell_help.h"
#include "world/item_attribute.h"
#include "world/item_template.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"

namespace
{

// The skills an item's spell asks for: to write a scroll, to use a wand.
constexpr int kSkillArcaneMagic = 40;
constexpr int kSkillWands = 73;
constexpr std::uint32_t kWeaponKindBow = 5;

// The item-type row, which must carry the type's own number.
const VARD::CItemTypeInfo& ItemTypeRow(std::uint32_t itemType)
{
    if (itemType >= static_cast<std::uint32_t>(VARD::kItemTypeCount))
        throw CVARDException(2, "item type " + std::to_string(itemType) + " has no help text");
    const VARD::CItemTypeInfo& row = VARD::GetItemTypeInfo(static_cast<int>(itemType));
    if (row.index != static_cast<int>(itemType))
        throw CVARDException(2, "the item-type table row " + std::to_string(itemType) +
                                    " carries number " + std::to_string(row.index));
    return row;
}

void WriteWeapon(const VARD::CItemAttributeWeapon& weapon, const VARD::CItem& item, const char* br,
                 std::ostream& out)
{
    out << "Weapon Type: "
        << VARD::GetWeaponKindDisplayName(static_cast<int>(weapon.GetWeaponKind()));
    if (weapon.IsTwoHanded())
        out << " (Requires two hands)";
    out << br;
    out << "Damage: " << VARD::FormatDiceRange(weapon.GetDieSize(), weapon.GetDamageBase()) << br;
    // A bow that needs Strength adds that Strength's bonus to its damage.
    if (weapon.GetWeaponKind() == kWeaponKindBow)
    {
        const auto* requirement = dynamic_cast<const VARD::CItemAttributeAttributeReq*>(
            item.FindAttribute(VARD::kItemAttributeAttributeReq));
        if (requirement != nullptr && requirement->GetAttribute() == 0)
        {
            const std::int32_t required =
                static_cast<std::int32_t>(requirement->GetRequiredValue());
            out << VARD::GetAttributeDisplayName(0) << " Damage: " << (5 * required - 50) / 2 << br;
        }
    }
    if (weapon.GetAttackBonus() != 0)
        out << "Attack Bonus: " << weapon.GetAttackBonus() << br;
    out << br;
}

void WriteArmor(const VARD::CItemAttributeArmor& armor, const char* br, std::ostream& out)
{
    // Armour that needs no skill has no type to name.
    if (armor.GetArmorSkill() != static_cast<std::uint32_t>(VARD::kSkillNone))
        out << "Armor Type: " << VARD::GetSkillDisplayName(static_cast<int>(armor.GetArmorSkill()))
            << br;
    out << "Defense Class: " << armor.GetDefenseClass() << br;
    if (armor.HasMaxAgilityBonus())
        out << "Maximum Agility Bonus: " << armor.GetMaxAgilityBonus() << br;
    out << "Non-Proficient Attack Penalty: " << armor.GetAttackPenalty() << br;
    out << "Spellcasting Penalty: " << armor.GetSpellPenalty() << br;
    out << br;
}

void WriteCarriedSpell(const VARD::CSpell& spell, std::uint32_t itemType,
                       const VARD::CModule* module, int form, std::ostream& out)
{
    const char* br = GetHelpLineBreak(form);
    if (itemType == VARD::kItemTypeScroll)
    {
        out << "Requires: ";
        WriteSkillLink(kSkillArcaneMagic, form, out);
        out << " to inscribe." << br;
        out << "Requires: Base Spellcaster Bonus " << spell.GetLevel() << " to inscribe." << br;
    }
    else if (itemType == VARD::kItemTypeWand)
    {
        out << "Requires: ";
        WriteSkillLink(kSkillWands, form, out);
        out << " " << spell.GetLevel() << " to use." << br;
    }
    if (itemType == VARD::kItemTypeScroll)
    {
        out << "Spell: ";
        WriteSpellLink(spell, form, out);
        if (spell.GetSkill() != VARD::kSkillNone)
        {
            out << " (";
            WriteSkillLink(spell.GetSkill(), form, out);
            out << " " << spell.GetLevel() << ")";
        }
        out << br << br;
        return;
    }
    out << (itemType == VARD::kItemTypePotion ? "Potion Effect: " : "Spell Attack: ")
        << spell.GetDisplayName() << br;
    WriteSpellRulesHelp(spell, module, nullptr, form, out, static_cast<int>(itemType));
}

void WriteModify(const VARD::CModifier& modifier, int form, std::ostream& out)
{
    const char* br = GetHelpLineBreak(form);
    const bool bonus = modifier.GetValue() > 0;
    out << (bonus ? "Grants a bonus to statistics:" : "Inflicts a penalty to statistics:") << br;
    WriteStatisticList(out, form, modifier.GetMask());
    out << (bonus ? "Bonus Points: " : "Penalty Points: ")
        << VARD::FormatSignedNumber(modifier.GetValue()) << br;
    // An item's modifier stacks in a kind of its own unless it names a save.
    if (modifier.GetStackingKind() != VARD::kStackingItem)
        out << "Save Effect Type: "
            << VARD::GetSaveDisplayName(static_cast<int>(modifier.GetStackingKind())) << br;
    out << br;
}

void WriteProperty(const VARD::CItemAttribute& property, const VARD::CItem& item,
                   const VARD::CModule* module, int form, std::ostream& out)
{
    const char* br = GetHelpLineBreak(form);
    const VARD::CItemTemplate& itemTemplate = *item.GetTemplate();
    switch (property.GetKind())
    {
    case VARD::kItemAttributeWeapon:
        WriteWeapon(dynamic_cast<const VARD::CItemAttributeWeapon&>(property), item, br, out);
        break;
    case VARD::kItemAttributeArmor:
        WriteArmor(dynamic_cast<const VARD::CItemAttributeArmor&>(property), br, out);
        break;
    case VARD::kItemAttributeAttributeReq:
    {
        const auto& requirement = dynamic_cast<const VARD::CItemAttributeAttributeReq&>(property);
        out << "Attribute: "
            << VARD::GetAttributeDisplayName(static_cast<int>(requirement.GetAttribute())) << " "
            << requirement.GetRequiredValue() << br << br;
        break;
    }
    case VARD::kItemAttributeSpell:
        WriteCarriedSpell(*dynamic_cast<const VARD::CItemAttributeSpell&>(property).GetSpell(),
                          itemTemplate.GetItemType(), module, form, out);
        break;
    case VARD::kItemAttributeQuest:
        break;
    case VARD::kItemAttributeModify:
        WriteModify(*dynamic_cast<const VARD::CItemAttributeModify&>(property).GetModifier(), form,
                    out);
        break;
    default:
        throw CVARDException(4, "item property kind " + std::to_string(property.GetKind()) +
                                    " has no help text");
    }
}

} // namespace

void WriteItemHelp(const VARD::CItem& item, std::ostream& out, const VARD::CModule* module,
                   int form)
{
    const char* br = GetHelpLineBreak(form);
    const VARD::CItemTemplate& itemTemplate = *item.GetTemplate();
    WriteHelpListingHeader(form, itemTemplate.GetDisplayName(), "item_" + itemTemplate.GetName(),
                           out);
    const VARD::CItemTypeInfo& type = ItemTypeRow(itemTemplate.GetItemType());
    out << "Type: " << type.displayName << br;
    out << "Value: " << itemTemplate.GetValue() << br;
    out << "Weight: " << itemTemplate.GetWeight() << br;
    if (itemTemplate.HasFlag(VARD::kItemFlagNoGive))
        out << "Can't be given or dropped." << br;
    if (type.burnOutChance != 0)
        out << "Has a " << static_cast<std::uint32_t>(type.burnOutChance)
            << "% chance of burning out on use." << br;
    out << br;
    for (const auto& property : itemTemplate.GetAttributes())
        WriteProperty(*property, item, module, form, out);
    out << itemTemplate.GetDescription() << br;
    if (form != kHelpFormDialog)
        out << "</td> </tr> </table>\n"
            << "<br />\n";
    else
        out << " LINE ";
}
