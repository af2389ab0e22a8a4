// Using items, doors and containers.

#include "rules/engine.h"

namespace VARD
{

// Filled by the item-use rules.
void CEngine::DoUse(CActor&, const COrder&) {}

} // namespace VARD
