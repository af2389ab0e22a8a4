#include "dialogs/spell_help.h"

#include "common/exception.h"
#include "dialogs/help_text.h"
#include "world/actor.h"
#include "world/actor_template.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"
#include "world/spell_effect.h"

#include <memory>

namespace
{

// What a carrier leaves out: a weapon's spell goes off on a hit and a potion's
// on drinking, so neither has a range; a weapon's has no casting rules at all.
constexpr int kCarrierWeapon = 0;
constexpr int kCarrierPotion = 6;

// The name of the bonus a Modify effect grows with, after the spell's skill.
std::string ModifyBonusName(const VARD::CSpell* spell)
{
    if (spell == nullptr || spell->GetSkill() == VARD::kSkillNone)
        return "Base Attack Bonus";
    const int column = VARD::GetSkillInfo(spell->GetSkill()).category;
    switch (column)
    {
    case VARD::kSkillCategoryMartial:
        return "Base Attack Bonus";
    case VARD::kSkillCategorySkill:
        return VARD::GetSkillDisplayName(spell->GetSkill());
    case VARD::kSkillCategoryMagic:
        return "Base Spellcaster Bonus";
    default:
        throw CVARDException(2, "skill class column " + std::to_string(column) + " names no bonus");
    }
}

void WriteRange(const VARD::CSpell& spell, const char* br, std::ostream& out)
{
    if (spell.GetTargetMode() == VARD::kSpellTargetSelf)
        out << "Range: Caster only" << br;
    else
        out << "Range: " << spell.GetRange() << " feet" << br;
    if (spell.HasFlag(VARD::kSpellFlagTouch))
        out << "Attack: Touch required" << br;
}

void WriteSave(const VARD::CSpell& spell, const char* br, std::ostream& out)
{
    const int save = spell.GetDeclaredSaveKind();
    if (save == VARD::kSaveKindNone)
        return;
    const std::string saveName = VARD::GetSaveDisplayName(save);
    out << (spell.HasFlag(VARD::kSpellFlagNoSave) ? "Effect Type: " : "Save: ") << saveName << br;
    if (spell.GetSaveLimit() != 0)
        out << "Immune: " << saveName << " greater than " << spell.GetSaveLimit() << br;
}

void WriteAttribute(const VARD::CSpell& spell, const VARD::CActor* actor, const char* br,
                    std::ostream& out)
{
    if (spell.IsPower() || spell.GetSkill() == VARD::kSkillNone)
        return;
    const int attribute = VARD::GetSkillInfo(spell.GetSkill()).attribute;
    if (attribute == VARD::kAttributeNone)
        return;
    out << "Attribute: " << VARD::GetAttributeDisplayName(attribute);
    if (actor != nullptr)
        out << " ("
            << VARD::FormatSignedNumber(VARD::CActor::GetAttributeBonus(
                   actor->GetAttribute(static_cast<std::uint32_t>(attribute))))
            << ")";
    out << br;
}

void WriteRequirements(const VARD::CSpell& spell, const char* br, std::ostream& out)
{
    if (spell.GetRequiredWeaponKind() != VARD::kWeaponKindNone)
        out << "Weapon Requirement: "
            << VARD::GetWeaponKindDisplayName(spell.GetRequiredWeaponKind()) << br;
    if (spell.GetRequiredSkill() != VARD::kSkillNone)
        out << "Style Requirement: " << VARD::GetSkillDisplayName(spell.GetRequiredSkill()) << br;
    out << br;
}

void WriteSaveEffects(const VARD::CSpell& spell, const VARD::CModule* module,
                      const VARD::CActor* actor, int form, std::ostream& out, int carrier)
{
    const char* br = GetHelpLineBreak(form);
    if (spell.HasFlag(VARD::kSpellFlagNoSave) || spell.GetDeclaredSaveKind() == VARD::kSaveKindNone)
        return;
    if (spell.GetSaveEffects().empty())
        out << "Effect on Save: none" << br;
    else
    {
        out << "Effect on Save:" << br;
        for (const auto& effect : spell.GetSaveEffects())
            WriteSpellEffectHelp(out, *effect, actor, carrier, form, module, &spell);
    }
    out << br;
}

// "Summon: Skeleton (Common 2)". A creature the module lacks, or any creature
// when there is no module to look in, is written by its key.
void WriteSummonedCreature(const VARD::CSpellEffectSummon& summon, const VARD::CModule* module,
                           int form, const char* br, std::ostream& out)
{
    const VARD::CActorTemplate* creature =
        module != nullptr ? summon.FindCreature(*module) : nullptr;
    out << "Summon: ";
    if (creature == nullptr)
    {
        out << summon.GetCreature() << br;
        return;
    }
    out << creature->GetDisplayName() << " (";
    // The template's level counts class levels; its level bonus alone is the
    // level of a creature without them.
    if (creature->GetLevel() != 0)
    {
        WriteClassLink(static_cast<int>(creature->GetClass()), form, out);
        out << " " << static_cast<std::uint32_t>(creature->GetLevelBonus()) + creature->GetLevel();
    }
    else
        out << "Level " << creature->GetLevelBonus();
    out << ")" << br;
}

// "Create Item: " and the whole text of one such item, made for the occasion.
void WriteCreatedItem(const VARD::CSpellEffectItem& effect, const VARD::CModule* module, int form,
                      const char* br, std::ostream& out)
{
    out << "Create Item: " << br;
    if (module == nullptr)
    {
        out << effect.GetItem() << br;
        return;
    }
    const std::shared_ptr<VARD::CItem> item = module->CreateItem(effect.GetItem(), 1, 0, 0);
    WriteItemHelp(*item, out, module, form);
}

void WriteDispel(const VARD::CSpellEffectDispel& dispel, const char* br, std::ostream& out)
{
    if (dispel.IsDispelHostile())
        out << (dispel.IsMany() ? "Dispels: Multiple Penalty Effects"
                                : "Dispels: One Penalty Effect");
    else
        out << (dispel.IsMany() ? "Dispels: Multiple Bonus Effects" : "Dispels: One Bonus Effect");
    out << br;
    if (dispel.GetSlotFilter() != VARD::CSpellEffectDispel::kAnySlot)
        out << "Dispels: " << VARD::GetSaveDisplayName(dispel.GetSlotFilter()) << " Effects" << br;
}

} // namespace

void WriteSpellRulesHelp(const VARD::CSpell& spell, const VARD::CModule* module,
                         const VARD::CActor* actor, int form, std::ostream& out, int carrier)
{
    const char* br = GetHelpLineBreak(form);
    if (carrier != kCarrierWeapon && carrier != kCarrierPotion)
        WriteRange(spell, br, out);
    WriteSave(spell, br, out);
    if (carrier != kCarrierWeapon)
        WriteAttribute(spell, actor, br, out);
    if (carrier != kCarrierPotion && spell.HasFlag(VARD::kSpellFlagMultiTarget))
        out << "Affects: Multiple creatures" << br;
    if (spell.HasFlag(VARD::kSpellFlagSummonTarget))
        out << "Affects: Summoned creatures" << br;
    if (!spell.GetRaces().empty())
    {
        out << "Affects: ";
        WriteRaceList(spell.GetRaces(), out);
        out << br;
    }
    if (!spell.GetExcludedRaces().empty())
    {
        out << "Immune: ";
        WriteRaceList(spell.GetExcludedRaces(), out);
        out << br;
    }
    if (carrier != kCarrierWeapon)
        WriteRequirements(spell, br, out);
    out << "Effect:" << br;
    for (const auto& effect : spell.GetEffects())
        WriteSpellEffectHelp(out, *effect, actor, carrier, form, module, &spell);
    if (carrier != kCarrierWeapon)
        out << br;
    WriteSaveEffects(spell, module, actor, form, out, carrier);
}

void WriteSpellEffectHelp(std::ostream& out, const VARD::CSpellEffect& effect,
                          const VARD::CActor* actor, int carrier, int form,
                          const VARD::CModule* module, const VARD::CSpell* spell)
{
    using namespace VARD;
    const char* br = GetHelpLineBreak(form);
    const int actorBonus =
        actor != nullptr && spell != nullptr ? actor->GetSpellAttackBonus(*spell) : 0;
    // Only a caster who may cast the spell sees its own magnitude.
    std::string actorName;
    const std::string* qualifiedName = nullptr;
    if (actor != nullptr && spell != nullptr && actor->MeetsRequirement(*spell))
    {
        actorName = actor->GetTalkName();
        qualifiedName = &actorName;
    }
    const auto magnitude = [&](const CSpellMagnitude& value, const char* label, const char* unit,
                               const std::string& bonusName)
    {
        WriteMagnitudeHelp(out, value, label, unit, bonusName, qualifiedName, actorBonus, carrier,
                           form);
    };
    const auto duration = [&](const CSpellDuration& value)
    { WriteDurationHelp(out, value, actor, actorBonus, carrier, form); };

    switch (effect.GetKind())
    {
    case kSpellEffectModify:
    {
        const auto& modify = dynamic_cast<const CSpellEffectModify&>(effect);
        const CSpellMagnitude& value = *modify.GetMagnitude();
        const bool bonus = value.GetDieAtLow() + value.GetFixedAtLow() > 0;
        const std::string bonusName = ModifyBonusName(spell);
        out << (bonus ? "Grants a bonus to statistics:" : "Inflicts a penalty to statistics:")
            << br;
        WriteStatisticList(out, form, modify.GetStatMask());
        magnitude(value, bonus ? "Bonus" : "Penalty", "points", bonusName);
        if (spell == nullptr || !spell->IsPower())
            duration(*modify.GetDuration());
        break;
    }
    case kSpellEffectSummon:
    {
        const auto& summon = dynamic_cast<const CSpellEffectSummon&>(effect);
        WriteSummonedCreature(summon, module, form, br, out);
        duration(*summon.GetDuration());
        out << "Creature Attitude: " << GetAttitudeDisplayName(summon.GetAttitude()) << br;
        break;
    }
    case kSpellEffectHeal:
        magnitude(*dynamic_cast<const CSpellEffectHeal&>(effect).GetMagnitude(), "Heal",
                  "hit points", "Spell Bonus");
        out << "Cost: 1 Recovery" << br;
        break;
    case kSpellEffectDamage:
        magnitude(*dynamic_cast<const CSpellEffectDamage&>(effect).GetMagnitude(), "Damage",
                  "hit points", "Spell Bonus");
        break;
    case kSpellEffectTeleport:
    {
        const auto& teleport = dynamic_cast<const CSpellEffectTeleport&>(effect);
        out << (teleport.IsParty() ? "Teleport: Party" : "Teleport: Caster") << br;
        if (teleport.IsReturn())
            out << "Teleport: Return to Area Entry" << br;
        break;
    }
    case kSpellEffectStatus:
    {
        const auto& status = dynamic_cast<const CSpellEffectStatus&>(effect);
        out << "Status: " << GetStatusDisplayName(status.GetStatus()) << br;
        duration(*status.GetDuration());
        break;
    }
    case kSpellEffectMana:
        magnitude(*dynamic_cast<const CSpellEffectHeal&>(effect).GetMagnitude(), "Restore",
                  "energy points", "Spell Bonus");
        out << "Cost: 1 Recovery" << br;
        break;
    case kSpellEffectRemove:
        out << "Removes: "
            << GetStatusDisplayName(dynamic_cast<const CSpellEffectRemove&>(effect).GetStatus())
            << br;
        break;
    case kSpellEffectDispel:
        WriteDispel(dynamic_cast<const CSpellEffectDispel&>(effect), br, out);
        break;
    case kSpellEffectItem:
    {
        const auto& item = dynamic_cast<const CSpellEffectItem&>(effect);
        duration(*item.GetDuration());
        WriteCreatedItem(item, module, form, br, out);
        break;
    }
    case kSpellEffectRepulse:
        out << "Repulses: Enemy" << br;
        break;
    case kSpellEffectRaise:
        out << "Raises: One dead party member" << br;
        if (dynamic_cast<const CSpellEffectRaise&>(effect).IsHeal())
            out << "Heals: All damage" << br;
        out << "Cost: 1 Recovery" << br;
        break;
    default:
        throw CVARDException(4, "spell effect kind " + std::to_string(effect.GetKind()) +
                                    " has no help text");
    }
}

void WriteMagnitudeHelp(std::ostream& out, const VARD::CSpellMagnitude& magnitude,
                        const std::string& label, const std::string& unit,
                        const std::string& bonusName, const std::string* actorName, int actorBonus,
                        int carrier, int form)
{
    const char* br = GetHelpLineBreak(form);
    const auto dice = [&](int bonus)
    {
        int die = 0;
        int fixed = 0;
        magnitude.GetDiceAt(bonus, die, fixed);
        return VARD::FormatDiceRange(die, fixed);
    };
    const int low = magnitude.GetLowBonus();
    const int high = magnitude.GetHighBonus();
    if (carrier == kSpellCarrierNone && low != high)
    {
        out << "Base " << label << ": " << dice(low) << " " << unit << " (at " << bonusName << " "
            << low << ")" << br;
        out << "Max " << label << ": " << dice(high) << " " << unit << " (at " << bonusName << " "
            << high << ")" << br;
    }
    else
        out << label << ": " << dice(0) << " " << unit << br;
    if (actorName != nullptr && low != high)
        out << *actorName << " " << label << ": " << dice(actorBonus) << " " << unit << br;
}

void WriteDurationHelp(std::ostream& out, const VARD::CSpellDuration& duration,
                       const VARD::CActor* actor, int actorBonus, int carrier, int form)
{
    const char* br = GetHelpLineBreak(form);
    if (duration.IsIndefinite())
    {
        out << "Duration: indefinite" << br;
        return;
    }
    const int low = duration.GetLowBonus();
    const int high = duration.GetHighBonus();
    if (carrier == kSpellCarrierNone && low != high)
    {
        out << "Base Duration: ";
        WriteGameLength(duration.GetLengthAt(low), out);
        out << " (at Spell Bonus " << low << ")" << br;
        out << "Max Duration: ";
        WriteGameLength(duration.GetLengthAt(high), out);
        out << " (at Spell Bonus " << high << ")" << br;
    }
    else
    {
        out << "Duration: ";
        WriteGameLength(duration.GetLengthAt(0), out);
        out << br;
    }
    if (actor != nullptr && low != high)
    {
        out << actor->GetTalkName() << " Duration: ";
        WriteGameLength(duration.GetLengthAt(actorBonus), out);
        out << br;
    }
}

void WriteGameLength(int seconds, std::ostream& out)
{
    const int hours = seconds / 3600;
    const int minutes = (seconds / 60) % 60;
    const int rest = seconds % 60;
    if (hours != 0)
    {
        out << hours << " hours";
        if (minutes != 0)
            out << " " << minutes << " minutes";
    }
    else if (minutes != 0)
    {
        out << minutes << " minutes";
        if (rest != 0)
            out << " " << rest << " seconds";
    }
    else
        out << rest << " seconds";
}

void WriteRaceList(const std::vector<int>& races, std::ostream& out)
{
    const char* separator = "";
    for (int race : races)
    {
        out << separator << VARD::GetRaceDisplayName(race);
        separator = ", ";
    }
}
