// Actor update, maintained powers and the timed orders.

#include "rules/engine.h"

namespace VARD
{

// Filled by the movement and actor-update rules.
void CEngine::UpdateActors() {}
void CEngine::UpkeepPowers() {}
void CEngine::ExecuteTimedOrders() {}
bool CEngine::DoCast(CActor&, std::uint32_t, const CSpell&, bool, CItem*)
{
    return true;
}

} // namespace VARD
