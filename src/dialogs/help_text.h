#pragma once

#include <cstdint>
#include <ostream>
#include <string>

// The help text of spells, skills, factions, items and people, as the
// information dialogs show it. The dialog form is plain words in which " LINE "
// ends a line; the HTML form writes fragments of help pages with named
// anchors and links into the two help files. Every function writes to the
// caller's stream; a failure is a CVARDException and leaves what was written.

namespace VARD
{
class CActor;
class CFaction;
class CItem;
class CModule;
class CSpell;
struct CPeopleJournalEntry;
} // namespace VARD

// Form flags: anything other than the dialog form is HTML.
constexpr int kHelpFormDialog = 0;
constexpr int kHelpFormHtml = 1;

// The help files the HTML form links into.
inline constexpr const char* kRulesHelpFile = "rules.htm";
inline constexpr const char* kAppendixHelpFile = "appendix.htm";

// "<br />\n" in the HTML form, " LINE " in the dialog form.
const char* GetHelpLineBreak(int form);

// <a href="file#anchor">text</a>
void WriteHelpLink(std::ostream& out, const std::string& file, const std::string& anchor,
                   const std::string& text);
// The display name, linked in the HTML form.
void WriteClassLink(int characterClass, int form, std::ostream& out);
void WriteSkillLink(int skill, int form, std::ostream& out);
void WriteSpellLink(const VARD::CSpell& spell, int form, std::ostream& out);

// The title of an entry: an open listing table in the HTML form (only the
// item text closes it), the title and an empty line in the dialog form.
void WriteHelpListingHeader(int form, const std::string& title, const std::string& anchor,
                            std::ostream& out);

// Dialog form only. With an actor the spell text carries its own bonus.
void WriteSpellHelp(const VARD::CSpell& spell, std::ostream& out, const VARD::CModule& module,
                    const VARD::CActor* actor);
void WriteSkillHelp(int skill, std::ostream& out, const VARD::CModule& module);
void WriteFactionHelp(const VARD::CFaction& faction, const VARD::CModule& module,
                      std::ostream& out);
void WritePersonHelp(const VARD::CPeopleJournalEntry& entry, std::ostream& out);
// The spells a skill grants (grants 1) or makes usable (grants 0), grouped by
// level; skill 83 lists every spell.
void WriteClassAbilities(const VARD::CModule& module, std::ostream& out, int grants, int skill);

// Either form. The module is needed only for items that carry a spell whose
// effects name creatures or items.
void WriteItemHelp(const VARD::CItem& item, std::ostream& out, const VARD::CModule* module,
                   int form);
// The statistics a modifier mask names.
void WriteStatisticList(std::ostream& out, int form, std::uint32_t mask);
