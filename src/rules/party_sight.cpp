// The flood that marks the cells around the party.

#include "rules/engine.h"

namespace VARD
{

// Filled by the sight rules.
void CEngine::UpdatePartySight() {}

} // namespace VARD
