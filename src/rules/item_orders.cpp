// Wield, unwield, get, drop, split, combine and give.

#include "rules/engine.h"

namespace VARD
{

// Filled by the item-order rules.
void CEngine::DoWield(CActor&, const COrder&) {}
void CEngine::DoUnwield(CActor&, const COrder&) {}
void CEngine::DoGet(CActor&, const COrder&) {}
void CEngine::DoDrop(CActor&, const COrder&) {}
void CEngine::DoSplit(CActor&, const COrder&) {}
void CEngine::DoCombine(CActor&, const COrder&) {}
void CEngine::DoGive(CActor&, const COrder&) {}
bool CEngine::PickLock(CActor&, CObject&)
{
    return true;
}

} // namespace VARD
