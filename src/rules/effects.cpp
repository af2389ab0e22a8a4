// Effects in flight: movement, arrival and resolution.

#include "rules/engine.h"

namespace VARD
{

// Filled by the effect-resolution rules.
void CEngine::UpdateEffects() {}

} // namespace VARD
