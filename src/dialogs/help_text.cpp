#include "dialogs/help_text.h"

#include "dialogs/spell_help.h"
#include "world/actor.h"
#include "world/faction.h"
#include "world/journal.h"
#include "world/module.h"
#include "world/rule_tables.h"
#include "world/spell.h"

#include <array>
#include <functional>

namespace
{

constexpr const char* kLine = " LINE ";

// The skill's own class column; only asked for a real skill.
int ClassColumnOf(int skill)
{
    return VARD::GetSkillInfo(skill).category;
}

// One statistic of a modifier mask and the name the list writes for it.
struct CStatisticName
{
    std::uint32_t bit;
    std::function<std::string()> name;
};

const std::array<CStatisticName, 20>& StatisticNames()
{
    using namespace VARD;
    static const std::array<CStatisticName, 20> names{{
        {0x1000, [] { return GetAttributeDisplayName(0); }},
        {0x2000, [] { return GetAttributeDisplayName(1); }},
        {0x4000, [] { return GetAttributeDisplayName(2); }},
        {0x8000, [] { return GetAttributeDisplayName(3); }},
        {0x10000, [] { return GetAttributeDisplayName(4); }},
        {0x1, [] { return GetCombatStatName(0); }},
        {0x2, [] { return GetCombatStatName(1); }},
        {0x4, [] { return GetCombatStatName(2); }},
        {0x10, [] { return GetSaveDisplayName(0); }},
        {0x20, [] { return GetSaveDisplayName(1); }},
        {0x40, [] { return GetSaveDisplayName(2); }},
        {0x80, [] { return GetSpecialStatDisplayName(0); }},
        {0x100, [] { return GetSpecialStatDisplayName(1); }},
        {0x200, [] { return GetSpecialStatDisplayName(2); }},
        {0x400, [] { return GetSpecialStatDisplayName(3); }},
        {0x800, [] { return GetSpecialStatDisplayName(4); }},
        {0x20000, [] { return std::string("Spellcasting"); }},
        {0x40000, [] { return std::string("Spell Resistance"); }},
        {0x80000, [] { return std::string("Action Speed (5 per second)"); }},
        {0x100000, [] { return std::string("Movement Speed (feet per 5 seconds)"); }},
    }};
    return names;
}

// The requirement a spell's level stands for, by its skill's class column.
void WriteRequirementLine(const VARD::CSpell& spell, std::ostream& out)
{
    const int skill = spell.GetSkill();
    if (skill != VARD::kSkillNone)
    {
        switch (ClassColumnOf(skill))
        {
        case VARD::kSkillCategoryMartial:
            out << "Base Attack Bonus: ";
            break;
        case VARD::kSkillCategorySkill:
            out << VARD::GetSkillDisplayName(skill) << ": ";
            break;
        case VARD::kSkillCategoryMagic:
            out << "Base Spellcaster Bonus: ";
            break;
        default:
            break;
        }
    }
    out << spell.GetLevel() << kLine;
}

void WritePrerequisiteLines(const VARD::CSkillInfo& row, std::ostream& out)
{
    const auto& prerequisites = row.prerequisites;
    if (prerequisites[0] != VARD::kSkillNone && row.category != VARD::kSkillCategorySkill)
        out << "Prerequisite: " << VARD::GetSkillDisplayName(prerequisites[0]) << kLine;
    for (int slot : {1, 2})
        if (prerequisites[slot] != VARD::kSkillNone)
            out << "Prerequisite: " << VARD::GetSkillDisplayName(prerequisites[slot]) << kLine;
    if (row.requiredRating == 0)
        return;
    out << "Prerequisite: ";
    if (row.category == VARD::kSkillCategoryMartial)
        out << "Base Attack Bonus +";
    else if (row.category == VARD::kSkillCategoryMagic)
        out << "Spellcaster Bonus +";
    else if (prerequisites[0] != VARD::kSkillNone)
        out << VARD::GetSkillDisplayName(prerequisites[0]) << " ";
    out << static_cast<std::uint32_t>(row.requiredRating) << kLine;
}

// One granted ability of a faction rank. A key the module lacks is written as
// it stands rather than failing the whole text.
void WriteFactionSpellLine(const VARD::CFactionSpell& entry, const VARD::CModule& module,
                           std::ostream& out)
{
    const VARD::CSpell* spell = module.FindSpell(entry.spellName);
    if (spell == nullptr)
    {
        out << "- " << entry.spellName << kLine;
        return;
    }
    out << "- " << spell->GetDisplayName() << " (";
    if (entry.skill != VARD::kSkillNone)
        out << VARD::GetSkillDisplayName(entry.skill) << ", ";
    if (spell->GetSkill() != VARD::kSkillNone)
        out << VARD::GetSkillDisplayName(spell->GetSkill()) << " ";
    out << spell->GetLevel() << ")" << kLine;
}

} // namespace

const char* GetHelpLineBreak(int form)
{
    return form != kHelpFormDialog ? "<br />\n" : kLine;
}

void WriteHelpLink(std::ostream& out, const std::string& file, const std::string& anchor,
                   const std::string& text)
{
    out << "<a href=\"" << file << "#" << anchor << "\">" << text << "</a>";
}

void WriteClassLink(int characterClass, int form, std::ostream& out)
{
    const std::string name = VARD::GetClassDisplayName(characterClass);
    if (form != kHelpFormDialog)
        WriteHelpLink(out, kRulesHelpFile, "Class", name);
    else
        out << name;
}

void WriteSkillLink(int skill, int form, std::ostream& out)
{
    const VARD::CSkillInfo& row = VARD::GetSkillInfo(skill);
    if (form != kHelpFormDialog)
        WriteHelpLink(out, kAppendixHelpFile, std::string("skill_") + row.key, row.displayName);
    else
        out << row.displayName;
}

void WriteSpellLink(const VARD::CSpell& spell, int form, std::ostream& out)
{
    if (form != kHelpFormDialog)
        WriteHelpLink(out, kAppendixHelpFile, "spell_" + spell.GetKey(), spell.GetDisplayName());
    else
        out << spell.GetDisplayName();
}

void WriteHelpListingHeader(int form, const std::string& title, const std::string& anchor,
                            std::ostream& out)
{
    if (form == kHelpFormDialog)
    {
        out << title << " LINE LINE ";
        return;
    }
    out << "<table class=\"listingtable\"> <tr>\n<th>";
    if (anchor.empty())
        out << title;
    else
        out << "<a name=\"" << anchor << "\">" << title << "</a>";
    out << "</th> </tr> <tr> <td>\n";
}

void WriteSpellHelp(const VARD::CSpell& spell, std::ostream& out, const VARD::CModule& module,
                    const VARD::CActor* actor)
{
    WriteHelpListingHeader(kHelpFormDialog, spell.GetDisplayName(), "spell_" + spell.GetKey(), out);
    out << (spell.IsPower() ? "Type: Ongoing Power " : "Type: Spell ") << kLine;
    const int skill = spell.GetSkill();
    if (skill != VARD::kSkillNone && ClassColumnOf(skill) != VARD::kSkillCategorySkill)
        out << "Skill: " << VARD::GetSkillDisplayName(skill) << kLine;
    WriteRequirementLine(spell, out);
    if (actor != nullptr)
        out << actor->GetTalkName() << " Bonus: " << actor->GetSpellAttackBonus(spell) << kLine;
    out << "Energy Cost: " << spell.GetEnergyCost();
    if (spell.IsPower())
        out << " (ongoing)";
    out << kLine;
    WriteSpellRulesHelp(spell, &module, actor, kHelpFormDialog, out, kSpellCarrierNone);
    out << spell.GetDescription() << kLine << kLine;
}

void WriteSkillHelp(int skill, std::ostream& out, const VARD::CModule& module)
{
    const VARD::CSkillInfo& row = VARD::GetSkillInfo(skill);
    WriteHelpListingHeader(kHelpFormDialog, row.displayName, std::string("skill_") + row.key, out);
    out << "Class: ";
    WriteClassLink(row.category, kHelpFormDialog, out);
    out << kLine;
    if (row.attribute != VARD::kAttributeNone)
        out << "Attribute: " << VARD::GetAttributeDisplayName(row.attribute) << kLine;
    if (row.spellBonus != 0)
        out << "Spell Bonus: " << (row.spellBonus > 0 ? "+" : "") << row.spellBonus << kLine;
    WritePrerequisiteLines(row, out);
    out << kLine << row.description << kLine;
    WriteClassAbilities(module, out, 1, skill);
    WriteClassAbilities(module, out, 0, skill);
    out << kLine;
}

void WriteClassAbilities(const VARD::CModule& module, std::ostream& out, int grants, int skill)
{
    const int highest = VARD::GetClassInfo(0).attackRate * 20 / 24 + 20;
    const bool spellcasterBonus =
        skill == VARD::kSkillNone || ClassColumnOf(skill) == VARD::kSkillCategoryMagic;
    bool anyWritten = false;
    // One pass over the spell map per level keeps each level's spells together
    // in key order without sorting.
    for (int level = 0; level <= highest; ++level)
    {
        bool levelWritten = false;
        for (const auto& [key, spell] : module.GetSpells())
        {
            if (spell->GetSkill() == VARD::kSkillSneak)
                continue;
            const int compared = grants == 1 ? spell->GetSecondSkill() : spell->GetSkill();
            if (skill != VARD::kSkillNone && skill != compared)
                continue;
            if (spell->GetLevel() != level)
                continue;
            if (!anyWritten)
                out << kLine << (grants == 1 ? "Grants Abilities:" : "Usable Abilities:") << kLine;
            if (!levelWritten)
                out << "- " << (spellcasterBonus ? "Base Spellcaster Bonus " : "Base Bonus ")
                    << level << ":" << kLine;
            anyWritten = true;
            levelWritten = true;
            out << "- ";
            WriteSpellLink(*spell, kHelpFormDialog, out);
            out << kLine;
        }
    }
}

void WriteFactionHelp(const VARD::CFaction& faction, const VARD::CModule& module, std::ostream& out)
{
    WriteHelpListingHeader(kHelpFormDialog, faction.GetDisplayName(),
                           "faction_" + faction.GetName(), out);
    out << faction.GetDescription() << kLine << kLine;
    const auto& ranks = faction.GetRankTitles();
    for (std::size_t rank = 0; rank < ranks.size(); ++rank)
    {
        out << "Rank " << static_cast<std::uint32_t>(rank + 1) << " (" << ranks[rank] << ")"
            << kLine;
        for (const auto& entry : faction.GetSpells())
            if (entry->rank >= 0 && static_cast<std::size_t>(entry->rank) == rank)
                WriteFactionSpellLine(*entry, module, out);
        out << kLine;
    }
    out << kLine;
}

void WritePersonHelp(const VARD::CPeopleJournalEntry& entry, std::ostream& out)
{
    out << "Location: " << entry.text << kLine << kLine;
    for (const std::string& line : entry.lines)
        out << line << kLine;
}

void WriteStatisticList(std::ostream& out, int form, std::uint32_t mask)
{
    const bool html = form != kHelpFormDialog;
    if (html)
        out << "<ul>\n";
    for (const CStatisticName& statistic : StatisticNames())
    {
        if ((mask & statistic.bit) == 0)
            continue;
        if (html)
            out << "<li>" << statistic.name() << "</li>\n";
        else
            out << "- " << statistic.name() << kLine;
    }
    if (html)
        out << "</ul>\n";
}
