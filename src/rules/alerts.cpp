// Alerts spreading between non-party actors.

#include "rules/engine.h"

namespace VARD
{

// Filled by the alert rules.
void CEngine::PropagateAlerts() {}
void CEngine::AlertOnAttack(CActor&) {}
void CEngine::SpreadAlert(CActor&, CBrain&) {}

} // namespace VARD
