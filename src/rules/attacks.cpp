// Melee and ranged attacks.

#include "rules/engine.h"

namespace VARD
{

// Filled by the attack rules.
void CEngine::DoMeleeAttack(CActor&, const COrder&) {}
void CEngine::DoRangedAttack(CActor&, const COrder&) {}

} // namespace VARD
