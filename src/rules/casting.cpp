// Spellcasting: starting and completing casts, targets, teleports.

#include "rules/engine.h"

namespace VARD
{

// Filled by the spellcasting rules.
bool CEngine::BeginCast(CActor&, const CSpell&, bool, CThing*, double, double)
{
    return true;
}
bool CEngine::CompleteCast(CItem*, CThing*, CActor&, const CSpell&, bool, double, double)
{
    return true;
}
bool CEngine::TeleportActor(CActor&, const CSpell*, std::uint32_t, std::uint32_t, std::int32_t,
                            std::uint8_t)
{
    return false;
}

} // namespace VARD
