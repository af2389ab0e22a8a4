// Entering and leaving areas, placing the party, resurrection.

#include "rules/engine.h"
#include "rules/rules_util.h"

#include "common/exception.h"
#include "world/actor.h"
#include "world/area.h"
#include "world/game.h"
#include "world/modifier.h"
#include "world/module.h"
#include "world/script_record.h"

namespace VARD
{

namespace
{

// Eight game hours.
constexpr std::uint32_t kResurrectionTicks = 864000;

} // namespace

// Whole health and no lingering effects: what resurrection and the console's
// heal give.
void CEngine::RestoreMember(CActor& actor)
{
    const auto modifiers = actor.GetModifiers();
    for (const auto& modifier : modifiers)
        actor.RemoveModifier(modifier.get());
    const auto statuses = actor.GetStatuses();
    for (const auto& status : statuses)
        actor.RemoveStatus(status->GetKind());
    actor.SetDamageTaken(0);
    actor.SetLastDamage(0);
    actor.SetLastDamageSource(0);
    actor.SetFurtherCounter(0);
    actor.SetEnergySpent(0);
    actor.SetActivityState(kActivityIdle);
    actor.ClearCurrentTarget();
    actor.SetInterrupted(false);
}

void CEngine::EnterArea()
{
    CGame& game = Game();
    if (game.GetState() != kGameDestinationKnown)
        throw CVARDException(2, "no destination to enter");

    LoadTravelArea();
    PlaceParty(game.GetTravelEntry());

    game.SetState(kGameRunning);
    game.SetCombatFlag(0);
    game.PendingList().clear();
    ScheduleAmbience();

    CArea& area = CurrentArea(game);
    if (area.GetName() != game.GetEnteredArea())
        game.SetEntered(game.GetTravelArea(), game.GetTravelEntry());

    if (const CAreaEntry* entry = area.FindEntry(game.GetTravelEntry()))
    {
        // The script may replace the layout; keep the entry's script alive.
        if (const std::shared_ptr<CScript> script = entry->GetSharedScript())
            RunScript(*script, nullptr);
    }

    CheckAreaExits();
    Tick();
}

void CEngine::LoadTravelArea()
{
    CGame& game = Game();
    const CModule& module = Module();
    const std::string& name = game.GetTravelArea();
    auto& visited = game.VisitedAreas();
    const auto found = visited.find(name);
    if (found != visited.end())
    {
        game.SetCurrentArea(found->second.get());
        found->second->Load(game.GetLeftArea(), module);
        return;
    }
    // Entered among the visited areas only once it has read whole.
    auto area = std::make_shared<CArea>(&game);
    area->ReadFile(game.GetLeftArea(), name, module, kAreaReadFresh, false);
    visited[name] = area;
    game.SetCurrentArea(area.get());
}

void CEngine::PlaceParty(const std::string& entryName)
{
    const CAreaEntry* entry = CurrentArea(Game()).FindEntry(entryName);
    if (entry == nullptr)
        throw CVARDException(1, "the area has no entry " + VARDCommon::QuoteForMessage(entryName));
    PlacePartyMember(*entry);
}

void CEngine::PlacePartyMember(const CAreaEntry& entry)
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);
    for (const auto& member : game.GetParty())
    {
        if (member->IsDead())
            continue;
        const std::shared_ptr<CActor> actor = game.FindSharedActor(member.get());
        // Piles and objects left near the entry over a long game must not
        // shut the party out while the area has room anywhere.
        if (!area.FindFreeSpotNear(entry.GetColumn(), entry.GetRow(), true, actor) &&
            !area.FindFreeSpotAnywhere(entry.GetColumn(), entry.GetRow(), actor))
            throw CVARDException(
                2, "no free spot for " + VARDCommon::QuoteForMessage(actor->GetName()) +
                       " at entry " + VARDCommon::QuoteForMessage(entry.GetName()));
    }
}

void CEngine::LeaveArea()
{
    CGame& game = Game();
    CArea& area = CurrentArea(game);

    if (CScript* script = game.GetExitScript())
        RunScript(*script, nullptr);

    ProcessDeaths();
    area.Reset();

    const auto party = game.GetParty();
    for (const auto& member : party)
    {
        if (!member->IsDead())
        {
            if (area.FindActorById(member->Id()) != nullptr)
                game.AddNonLocated(area.RemoveActor(member.get()));
            else
                game.AddNonLocated(member);
        }
    }
    for (const auto& member : party)
    {
        member->SetInterrupted(true);
        member->SetDetourMode(0);
        member->Detour().waitCounter = 0;
    }

    game.SetLeftArea(area.GetName());
    game.SetCurrentArea(nullptr);

    const std::int32_t state = game.GetState();
    if (state != kGameTravelAtExit && state != kGameTravelByScript)
    {
        game.SetState(kGameLeftForRest);
        return;
    }
    if (game.GetTravelEntry().empty())
    {
        game.LoadWorldMap(game.GetTravelArea(), *m_Factory);
        game.SetState(kGameOnWorldMap);
    }
    else
    {
        game.SetState(kGameDestinationKnown);
    }
}

void CEngine::ResurrectParty()
{
    CGame& game = Game();
    if (game.GetState() != kGameLeftForRest)
        throw CVARDException(2, "the party has not left its area to rest");
    game.SetTick(game.GetTick() + kResurrectionTicks);

    for (const auto& member : game.GetParty())
    {
        if (member->IsDead())
            game.AddMessage(kMessageInfo, member->GetName() + " is resurrected.");
        else if (member->GetHitPoints() < member->GetMaxHitPoints())
            game.AddMessage(kMessageInfo, member->GetName() + " is healed.");
        RestoreMember(*member);
    }

    game.SetState(kGameDestinationKnown);
    EnterArea();
}

} // namespace VARD
