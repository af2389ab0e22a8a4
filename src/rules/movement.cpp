// The movement step and its obstacle detours.

#include "rules/engine.h"

namespace VARD
{

// Filled by the movement rules.
bool CEngine::MoveActorToward(CActor&, double, double)
{
    return false;
}

} // namespace VARD
