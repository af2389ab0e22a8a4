// Using items, doors and containers.

#include "rules/engine.h"

namespace VARD
{

// Filled by the item-use rules.
void CEngine::DoUse(CActor&, const COrder&, bool) {}
void CEngine::InscribeScroll(CActor&, CItem&) {}
bool CEngine::UseSpellItemA(CActor&, CItem&, std::uint32_t)
{
    return true;
}
bool CEngine::UseSpellItemB(CActor&, CItem&)
{
    return true;
}
void CEngine::OpenDoor(CActor&, const COrder&) {}
void CEngine::OpenContainerOrTalk(CActor&, const COrder&) {}

} // namespace VARD
