// What AI behaviours decide for the actors that carry them.

#include "rules/engine.h"
#include "world/ai.h"

namespace VARD
{

// Filled by the AI rules.
CActor* CAI::FindTarget(CEngine&, CActor&, std::uint32_t, const CSpell*, double)
{
    return nullptr;
}

} // namespace VARD
