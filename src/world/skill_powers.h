#pragma once

#include "world/module.h"

namespace VARD
{

// Adds the graded powers of the weapon, style and save skills (three grades
// per skill, keys such as s_light-blade-lunge1) and the sneaking power to a
// spell map, each replacing a read spell of the same key.
void AddSkillPowers(StringMap<CSpell>& spells);

} // namespace VARD
