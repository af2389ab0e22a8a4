// Talk, leaving the party, spending points, powers, the store, and the
// party's refresh.

#include "rules/engine.h"

#include "world/actor.h"
#include "world/game.h"
#include "world/module.h"

namespace VARD
{

void CEngine::RefreshPartyMembers()
{
    CGame& game = Game();
    const CModule& module = Module();
    for (const auto& member : game.GetParty())
    {
        if (member->IsSummoned() || member->IsDead())
            continue;
        member->LearnQualifyingSpells(module, &game);
        member->LearnFactionSpells(module, &game);
    }
}

// Filled by the talk, party, points, power and store rules.
void CEngine::DoTalk(CActor&, const COrder&) {}
void CEngine::DismissPartyMember(CActor&, const COrder&) {}
void CEngine::DoSpendPoints(CActor&, const COrder&) {}
void CEngine::DoPower(CActor&, const COrder&) {}
void CEngine::DoStore(CActor&, const COrder&) {}
void CEngine::RunTalkState(CActor&, CTalkState&, CTalkTarget&) {}
void CEngine::CastPowerSpell(CActor&, const CSpell&) {}

} // namespace VARD
