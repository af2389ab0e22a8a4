#pragma once

#include <ostream>
#include <string>
#include <vector>

// The wording of a spell's rules and of each of its effects, in either form of
// the help text. The carrier is the item type of the item that carries the
// spell (0 weapon .. 10 money), or 11 for a spell described by itself: only
// then do magnitudes and durations show how they grow with the spell bonus.

namespace VARD
{
class CActor;
class CModule;
class CSpell;
class CSpellDuration;
class CSpellEffect;
class CSpellMagnitude;
} // namespace VARD

constexpr int kSpellCarrierNone = 11;

// The module may be absent (the combat statistics pass none); a creature or
// item an effect names is then written by its key.
void WriteSpellRulesHelp(const VARD::CSpell& spell, const VARD::CModule* module,
                         const VARD::CActor* actor, int form, std::ostream& out, int carrier);
void WriteSpellEffectHelp(std::ostream& out, const VARD::CSpellEffect& effect,
                          const VARD::CActor* actor, int carrier, int form,
                          const VARD::CModule* module, const VARD::CSpell* spell);
// The actor's line is written only when a name is given.
void WriteMagnitudeHelp(std::ostream& out, const VARD::CSpellMagnitude& magnitude,
                        const std::string& label, const std::string& unit,
                        const std::string& bonusName, const std::string* actorName, int actorBonus,
                        int carrier, int form);
void WriteDurationHelp(std::ostream& out, const VARD::CSpellDuration& duration,
                       const VARD::CActor* actor, int actorBonus, int carrier, int form);
// "1 hours 30 minutes", "1 minutes 30 seconds", "0 seconds".
void WriteGameLength(int seconds, std::ostream& out);
// Display names separated by ", ".
void WriteRaceList(const std::vector<int>& races, std::ostream& out);
